#pragma once
// Helpers shared by the tests that run under Wine.
#include <windows.h>

#include <functional>
#include <string>

// Pumps this thread's messages until `done` gives true; false when it has not
// within `timeoutMs`. Never a fixed sleep.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000);

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
bool ReadWholeFile(const std::string& path, std::string& out);
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
// "#RRGGBB", for readable failure messages.
std::string ColorText(COLORREF color);

// True when neither the window nor any visible window inside it waits for
// WM_PAINT: what the screen shows is final.
bool FullyPainted(HWND top);

// The pixels of a captioned frame panel's client area that break its frame:
// the five one-pixel lines in `border` (left edge at x 1, top edge on row
// caption.cy / 2 broken from x 12 to caption.cx + 18, right edge at width - 3,
// bottom edge on the last row), nothing in `border` in the caption's gap or
// beside the side edges. Empty when the frame is right; at most 10 entries.
std::vector<std::string> CaptionedFrameErrors(const TPixels& px, SIZE caption, COLORREF border);
