#pragma once
// The program's one window and what it does: the editing page with the OEM
// information, the about page and the bottom bar of buttons. Built by
// TFormWindow from the description in FormData, it loads the information
// from the store in force while it is created, writes it back or clears it
// on the user's request, changes pages and moves the focus.
#include <windows.h>

#include <string>
#include <vector>

#include "i18n/Translate.h"
#include "picture/Picture.h"
#include "ui/FormData.h"
#include "ui/FormWindow.h"
#include "ui/PictureDialog.h"

class TAppFrm : public TTranslatable {
public:
    // Builds the window from its description, runs FormCreate and shows it.
    // An error in FormCreate is shown in the error box; the window still opens.
    TAppFrm();
    ~TAppFrm() override;
    TAppFrm(const TAppFrm&) = delete;
    TAppFrm& operator=(const TAppFrm&) = delete;

    HWND Handle() const { return window_.Handle(); }
    HWND Control(TCtl id) const { return window_.Control(id); }
    // "T_XP" or "T_About".
    std::string ActivePageName() const;
    const TPicture& Image1Picture() const { return picture_; }
    const TOpenPictureDialog& OpenPictureDialog1() const { return dialog_.dialog; }

    // The program body's message loop hands every message here first: Tab
    // and Shift+Tab move the focus through the controls in their tab order,
    // Enter presses the focused button, Escape leaves the about page.
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
    // The dialog's filter is one of the window's translated texts.
    struct TDialogObj : TTranslatable {
        TOpenPictureDialog dialog;
        std::vector<TTextProperty> TextProperties() override;
        std::vector<TTranslatable*> Children() override { return {}; }
    };

    void FormCreate();
    void FormClose();
    void ShowPage(TCtl page);
    void BuildControl(TCtl id);
    void Focus(HWND control);
    void FocusFirstIn(HWND container);
    std::vector<HWND> TabSequence() const;
    void TabKey(bool backwards);
    void ShowFocusCues();
    // Names the picture box after the logo path Apply would store.
    void NameImage();
    void ShowError(const std::string& message);
    template <class F> void Guarded(F handler);

    LRESULT HandleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void HandleCommand(int id, HWND control, int code);

    TFormWindow window_;
    bool creating_ = true;
    // How far FormCreate came: the window's texts translated, and the
    // editing page shaped for the store mode.
    bool translated_ = false;
    bool shaped_ = false;
    TDialogObj dialog_;
    HWND lastFocus_ = nullptr;
    // Focus rectangles and the field's focus cue show: the keyboard was used.
    bool cuesShown_ = false;
    TPicture picture_;
    // Label_Logo keeps its designed placeholder until a logo path is given to
    // it; Apply stores no path then.
    bool logoAssigned_ = false;
};

// The program's window while it runs.
extern TAppFrm* AppFrm;
