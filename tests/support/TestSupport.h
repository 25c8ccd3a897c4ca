#pragma once
// Helpers shared by the tests that run under Wine.
#include <windows.h>

#include <functional>
#include <string>

// Puts `standIn` in place of one member of PlatformApi (or any function
// pointer) for the life of the guard.
template <class F>
class TApiSwap {
public:
    TApiSwap(F& member, F standIn) : Member(member), Saved(member) { Member = standIn; }
    ~TApiSwap() { Member = Saved; }
    TApiSwap(const TApiSwap&) = delete;
    TApiSwap& operator=(const TApiSwap&) = delete;

private:
    F& Member;
    F Saved;
};

// Pumps this thread's messages until `done` gives true; false when it has not
// within `timeoutMs`. Never a fixed sleep.
// `preDispatch`, when given, sees each message first and swallows it by
// returning true (as a window's own dialog-key handling does).
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000,
             const std::function<bool(MSG&)>& preDispatch = nullptr);

// The bytes of a 24-bit bitmap file, the colour of each pixel given by
// `color(x, y)` with (0, 0) at the top-left.
std::string MakeBmp24(int width, int height, const std::function<COLORREF(int x, int y)>& color);

// Catches the message boxes this thread opens while it lives: records the
// caption, the text and the style-relevant facts, and closes each with OK.
class TMessageBoxCatcher {
public:
    TMessageBoxCatcher();
    ~TMessageBoxCatcher();
    TMessageBoxCatcher(const TMessageBoxCatcher&) = delete;
    TMessageBoxCatcher& operator=(const TMessageBoxCatcher&) = delete;

    struct TBox {
        std::string caption;
        std::string text;
        HWND owner = nullptr;
        bool hasErrorIcon = false;
    };
    int Count() const;
    const TBox& Last() const;
    const TBox& At(int i) const;
    void Clear();
};

// The data of a value in the registry's 64-bit view, read straight through
// the API (not through the code under test). Returns false when missing.
bool ReadRegValue64(HKEY root, const char* path, const char* name, DWORD& type, std::string& data);

// The whole contents of a file; false when it cannot be read.
bool ReadFileInto(const std::string& path, std::string& out);
bool WriteWholeFile(const std::string& path, const std::string& data);

#include <vector>

// A window's client area as it shows on screen, read back with BitBlt from
// the window's DC (PrintWindow would miss child windows).
struct TPixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> data;  // row by row, RGB() values
    // CLR_INVALID outside the captured area.
    COLORREF At(int x, int y) const;
};
bool CaptureClient(HWND wnd, TPixels& out);
// What `draw` paints into a fresh width x height 32-bit bitmap (selected into
// a memory DC), read back; false when `draw` gives false or GDI fails. For
// drawing that goes to a DC of the test's own (WM_PRINTCLIENT, WM_PRINT).
bool CaptureDrawing(int width, int height, const std::function<bool(HDC)>& draw, TPixels& out);
// "#RRGGBB", for readable failure messages.
std::string ColorText(COLORREF color);

#include "tests/support/Painted.h"

// The pixels of a captioned frame panel's client area that break its frame:
// the five one-pixel lines in `border` (left edge at x 1, top edge on row
// caption.cy / 2 broken from x 12 to caption.cx + 18, right edge at width - 3,
// bottom edge on the last row), nothing in `border` in the caption's gap or
// beside the side edges. Empty when the frame is right; at most 10 entries.
// A capture too small to hold the frame and the caption's gap is an error.
std::vector<std::string> CaptionedFrameErrors(const TPixels& px, SIZE caption, COLORREF border);

// ---- Driving modal dialogs from inside their message loop ----
#include <functional>

// Steps run one after another from a thread timer while the code under test
// sits in a modal loop (a file dialog, a message box, a dialog opened from
// one). Each step is retried on every tick until it gives true; when its
// timeout passes first the test fails with the step's name (and `why`), and
// every dialog of this thread is cancelled, then destroyed if it ignores
// Cancel, so the modal call always returns. Steps should post, not send,
// anything that opens another modal loop: the script goes on inside it.
class TModalScript {
public:
    void Add(std::string name, std::function<bool()> done, DWORD timeoutMs = 8000,
             std::function<std::string()> why = nullptr);
    // Runs `modal` while the steps run. True when every step passed and the
    // modal loop ended within 5 s after the last one.
    bool Run(const std::function<void()>& modal);

private:
    struct TStep {
        std::string name;
        std::function<bool()> done;
        std::function<std::string()> why;
        DWORD timeoutMs;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();
    void Fail(const std::string& message);

    std::vector<TStep> steps_;
    size_t next_ = 0;
    DWORD stepStart_ = 0;
    DWORD abortedAt_ = 0;
    bool busy_ = false;
    bool aborted_ = false;
    std::string failure_;
};

// A window inside `parent` of class `cls`; with `directOnly`, a child of it.
HWND FindDescendant(HWND parent, const char* cls, bool directOnly = false);
// A visible top-level dialog of this thread, optionally with this caption
// and owner.
HWND FindThreadDialog(const char* caption = nullptr, HWND owner = nullptr);
// The visible file-open dialog of this thread.
HWND FindFileDialog();
// The field the user types the file name into. Wine's dialog has no edt1:
// the field is cmb13, a ComboBoxEx32 holding a ComboBox holding an Edit.
HWND FileDialogNameEdit(HWND dlg);
// The number of entries in the file list; -1 while there is no list yet.
int FileDialogListed(HWND dlg);
// The list index of the entry `name` (with or without its extension), or -1.
int FileDialogFind(HWND dlg, const char* name);
// Selects the entry as a click does (the dialog then sends CDN_SELCHANGE).
bool FileDialogSelect(HWND dlg, const char* name);
// Posts the click of button `id` to the dialog (IDOK opens, IDCANCEL cancels).
void PostButtonClick(HWND dlg, int id);
