#pragma once
// The program's one window: the editing page with the OEM information, the
// about page, and the bottom bar of buttons. It is built from the description
// in FormData, loads the information from the store in force while it is
// created, and writes it back or clears it on the user's request.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "i18n/Translate.h"
#include "ui/FormData.h"
#include "picture/Picture.h"
#include "ui/PictureDialog.h"

class TZanthPanel;

class TAppFrm : public TTranslatable {
public:
    // Builds the window from its description, runs FormCreate and shows it.
    // An error in FormCreate is shown in the error box; the window still opens.
    TAppFrm();
    ~TAppFrm() override;
    TAppFrm(const TAppFrm&) = delete;
    TAppFrm& operator=(const TAppFrm&) = delete;

    HWND Handle() const { return wnd_; }
    // The window of the control named in the description; nullptr if unknown.
    HWND Control(const char* name) const;
    // "T_XP" or "T_About".
    std::string ActivePageName() const;
    const TPicture& Image1Picture() const { return picture_; }
    const TOpenPictureDialog& OpenPictureDialog1() const;

    // The program body's message loop hands every message here first: Tab
    // and Shift+Tab move the focus through the controls in their tab order.
    // True when the message was used.
    bool IsFormMessage(MSG& msg);

    // Set by the program body: destroying the window ends the message loop.
    bool QuitOnDestroy = false;

    // Event handlers, named after the control and the event.
    void Btn_OpenClick();
    void Btn_ApplyClick();
    void Btn_RemoveClick();
    void Button4Cli();
    void Btn_BackClick();

    // TTranslatable: the caption, and every control, font and the dialog.
    std::vector<TTextProperty> TextProperties() override;
    std::vector<TTranslatable*> Children() override;

private:
    struct TFontObj;
    struct TControl;
    struct TDialogObj;

    void FormCreate();
    void FormClose();
    void Release();
    void BuildControls();
    void CreateChildrenOf(TControl& parent);
    void CreateControl(TControl& control);
    TFontObj* FontFor(const TControlDesc& desc, TFontObj* inherited);
    void ApplyFont(TControl& control);
    void RecreateFont(TFontObj& font);
    void AutoSizeLabel(TControl& control);
    // Labels designed without a size take the size of their text.
    static bool IsAutoSized(const TControl& control);
    SIZE LabelSize(const TControl& control, const std::string& text) const;
    void AlignControls();
    void ShowPage(const char* name);
    void Focus(TControl& control);
    void FocusFirstIn(TControl& container);
    std::vector<TControl*> TabSequence();
    std::vector<TControl*> ChildrenOf(const TControl& parent);
    TControl* Find(const char* name) const;
    TControl* FromHandle(HWND wnd) const;
    COLORREF BackgroundOf(const TControl& control) const;
    HBRUSH Brush(COLORREF color);
    int Scale(int value) const;
    std::string TextOf(const char* name) const;
    void SetTextOf(const char* name, const std::string& text);
    std::string LogoPathForStore() const;
    void ShowError(const std::string& message);
    template <class F> void Guarded(F handler);

    static LRESULT CALLBACK FormProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ContainerProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ImageProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleCtlColor(HDC dc, HWND control);
    void HandleCommand(int id, int code);
    void FillBackground(HWND wnd, HDC dc);
    void PaintImage(HWND wnd, HDC dc);

    HWND wnd_ = nullptr;
    bool creating_ = true;
    int scaleNum_ = FormDesignTextHeight;
    int scaleDen_ = FormDesignTextHeight;
    int dpi_ = FormDesignDpi;
    // The screen DC that measures labels while the window is built.
    HDC measureDc_ = nullptr;
    std::vector<std::unique_ptr<TControl>> controls_;
    std::vector<std::unique_ptr<TFontObj>> fonts_;
    std::unique_ptr<TDialogObj> dialog_;
    std::map<COLORREF, HBRUSH> brushes_;
    TControl* activePage_ = nullptr;
    HWND lastFocus_ = nullptr;
    TPicture picture_;
    // Label_Logo keeps its designed placeholder until a logo path is given to
    // it; Apply stores no path then.
    bool logoAssigned_ = false;
};

// The program's window while it runs.
extern TAppFrm* AppFrm;
