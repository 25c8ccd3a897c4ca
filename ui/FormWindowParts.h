#pragma once
// What the window builder keeps per font and per control, seen by both of its
// halves: FormWindow.cpp builds and scales the controls, FormLook.cpp gives
// them their fonts, colours and paint.
#include <windows.h>

#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "i18n/Translate.h"
#include "ui/FormData.h"
#include "ui/FormWindow.h"
#include "ui/Zanth.Panel.h"

// A font object of the window: controls that share a face, height and colour
// share one, so a new face name reaches all of them at once.
struct TFormWindow::TFontObj : TTranslatable {
    TFormWindow* window = nullptr;
    std::string designFace;
    std::string face;
    int height = 0;
    COLORREF color = 0;
    COLORREF designColor = 0;
    TFontHandle handle;

    std::vector<TTextProperty> TextProperties() override
    {
        return {{[this] { return face; },
                 [this](const std::string& value) {
                     face = value;
                     window->RecreateFont(*this);
                 }}};
    }
    std::vector<TTranslatable*> Children() override { return {}; }
};

struct TFormWindow::TControl : TTranslatable {
    TFormWindow* window = nullptr;
    const TControlDesc* desc = nullptr;
    TControl* parent = nullptr;
    HWND wnd = nullptr;
    TZanthPanel* panel = nullptr;
    TFontObj* font = nullptr;
    std::string caption;  // pages', panels' and the picture box's captions, which no window shows

    std::vector<TTextProperty> TextProperties() override
    {
        switch (desc->kind) {
        case TControlKind::Label:
        case TControlKind::Button:
        case TControlKind::Edit:
            return {{[this] { return WindowTextOf(wnd); },
                     [this](const std::string& value) {
                         SetWindowTextA(wnd, value.c_str());
                         window->AutoSizeLabel(*this);
                     }}};
        case TControlKind::ZanthPanel:
            return {{[this] { return panel ? panel->Caption() : std::string(); },
                     [this](const std::string& value) {
                         if (panel)
                             panel->SetCaption(value);
                     }}};
        case TControlKind::Page:
        case TControlKind::Panel:
            return {{[this] { return caption; }, [this](const std::string& value) { caption = value; }}};
        case TControlKind::Image:
            return {{[this] { return caption; },
                     [this](const std::string& value) {
                         caption = value;
                         window->NameImage(*this);
                     }},
                    {[this] { return window->noLogoText_; },
                     [this](const std::string& value) {
                         window->noLogoText_ = value;
                         window->NameImage(*this);
                     }}};
        default:
            return {};
        }
    }
    std::vector<TTranslatable*> Children() override
    {
        std::vector<TTranslatable*> children;
        if (font)
            children.push_back(font);
        const TCtl page = window->activePage_;
        if (desc->kind == TControlKind::PageControl && page != TCtl::None)
            children.push_back(window->controls_[static_cast<size_t>(page)].get());
        return children;
    }
};
