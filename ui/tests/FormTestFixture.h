#pragma once
// What the window tests share: opening the real window in this process with
// a fresh OEMInfo, driving it through its message path, preparing the
// machine's OEM information from outside the code under test.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Format.h"
#include "base/PlatformApi.h"
#include "base/WinHandles.h"
#include "base/Wow64.h"
#include "i18n/Translate.h"
#include "oeminfo/WinOEMInfo.h"
#include "tests/support/TestSupport.h"
#include "ui/MainForm.h"
#include "ui/Zanth.Panel.h"

namespace formtest {

constexpr const char* OemKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";

// The description's row named `name`; a name that is no row fails the test.
inline const TControlDesc* FindControlDesc(const char* name)
{
    for (const TControlDesc& desc : FormControls)
        if (std::string(desc.name) == name)
            return &desc;
    ADD_FAILURE() << "no control is named " << name;
    return nullptr;
}

// The window of the control named `name` (for tables of names); a name that
// is no row fails the test.
inline HWND ControlNamed(const TAppFrm& form, const char* name)
{
    const TControlDesc* desc = FindControlDesc(name);
    return desc ? form.Control(desc->id) : nullptr;
}

// Pumps this thread's messages as the program's loop does (Tab included)
// until `done` holds; false after `timeoutMs`.
inline bool PumpUntil(TAppFrm& form, const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    return WaitFor(done, timeoutMs, [&form](MSG& msg) { return form.IsFormMessage(msg); });
}

// A catalog folder that does not exist: the texts stay English.
constexpr const char* NoCatalogs = "C:\\marquill-no-catalogs\\";

// The window as the program starts it, in the language already chosen;
// fails the test when it does not show.
inline std::unique_ptr<TAppFrm> OpenTranslatedForm()
{
    OEMInfo = TOEMInfo{};
    auto form = std::make_unique<TAppFrm>();
    EXPECT_TRUE(WaitFor([&] { return form->Handle() && IsWindowVisible(form->Handle()) != FALSE; }))
        << "the window did not appear";
    return form;
}

// The same with the English texts.
inline std::unique_ptr<TAppFrm> OpenForm()
{
    ResetTranslation("C", NoCatalogs);
    return OpenTranslatedForm();
}

inline std::string Text(const TAppFrm& form, const char* name)
{
    HWND wnd = ControlNamed(form, name);
    EXPECT_NE(wnd, nullptr) << name;
    char buf[4096] = {};
    if (wnd)
        GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

inline void SetText(const TAppFrm& form, const char* name, const std::string& text)
{
    HWND wnd = ControlNamed(form, name);
    ASSERT_NE(wnd, nullptr) << name;
    ASSERT_TRUE(SetWindowTextA(wnd, text.c_str()));
}

inline void Click(const TAppFrm& form, const char* name)
{
    HWND wnd = ControlNamed(form, name);
    ASSERT_NE(wnd, nullptr) << name;
    SendMessageA(wnd, BM_CLICK, 0, 0);
}

inline bool Shown(const TAppFrm& form, const char* name)
{
    HWND wnd = ControlNamed(form, name);
    return wnd && IsWindowVisible(wnd);
}

// The control's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND wnd)
{
    RECT rect = {};
    GetWindowRect(wnd, &rect);
    MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The name of the control `wnd`, or of the one that has the focus; "" for
// any other window.
inline std::string NameOf(const TAppFrm& form, HWND wnd)
{
    for (size_t i = 0; i < FormControlCount; ++i)
        if (wnd && form.Control(FormControls[i].id) == wnd)
            return FormControls[i].name;
    return "";
}

inline std::string FocusName(const TAppFrm& form)
{
    return NameOf(form, GetFocus());
}

inline bool PressTab(TAppFrm& form)
{
    HWND before = GetFocus();
    PostMessageA(before, WM_KEYDOWN, VK_TAB, 1);
    return PumpUntil(form, [&] { return GetFocus() != before; }, 2000);
}

inline std::string ExeDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

// The shipped catalogs, built beside Marquill.exe in app/.
inline std::string ShippedCatalogs()
{
    return ExeDir() + "..\\..\\app\\locale\\";
}

// A 24-bit bitmap file of one colour.
inline std::string MakeBmp(int width, int height, COLORREF color)
{
    return MakeBmp24(width, height, [color](int, int) { return color; });
}

// The colour the screen shows at (x, y) of the window's client area.
inline COLORREF PixelAt(HWND wnd, int x, int y)
{
    HDC dc = GetDC(wnd);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return color;
}

inline HKEY OpenOemKey()
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, OemKey, 0, nullptr, 0, KEY_READ | KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key,
                    nullptr);
    return key;
}

inline void SetRegValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = OpenOemKey();
    ASSERT_NE(key, nullptr);
    const LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    ASSERT_EQ(result, ERROR_SUCCESS) << name;
}

inline void SetRegString(const char* name, const std::string& value)
{
    SetRegValue(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

inline void DeleteOemValues()
{
    HKEY key = OpenOemKey();
    if (!key)
        return;
    // Every value the program writes, those only the command line sets too:
    // a test that stops early leaves none of them behind.
    for (const TOEMField* field : OEMFieldsIn(TStoreMode::Registry))
        RegDeleteValueA(key, field->Name);
    RegCloseKey(key);
}

// The value as a 32-bit program stores it, in the 64-bit view.
inline void ExpectRegString(const char* name, const std::string& expected)
{
    SCOPED_TRACE(name);
    DWORD type = 0;
    std::string data = "\xdd\xdd";
    ASSERT_TRUE(ReadRegValue64(HKEY_LOCAL_MACHINE, OemKey, name, type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, expected + std::string(1, '\0'));
}

// One catalog at <temp>\<name>\de\LC_MESSAGES\Marquill.mo, removed afterwards.
class TScratchCatalog {
public:
    explicit TScratchCatalog(const std::string& bytes)
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "marquill-i18n-form-" + std::to_string(GetCurrentProcessId()) + "\\";
        for (const std::string& dir : {root_, root_ + "de\\", root_ + "de\\LC_MESSAGES\\"}) {
            EXPECT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
            dirs_.push_back(dir);
        }
        path_ = root_ + "de\\LC_MESSAGES\\Marquill.mo";
        EXPECT_TRUE(WriteWholeFile(path_, bytes));
    }
    ~TScratchCatalog()
    {
        DeleteFileA(path_.c_str());
        for (auto it = dirs_.rbegin(); it != dirs_.rend(); ++it)
            RemoveDirectoryA(it->c_str());
    }
    TScratchCatalog(const TScratchCatalog&) = delete;
    TScratchCatalog& operator=(const TScratchCatalog&) = delete;
    const std::string& Root() const { return root_; }
    const std::string& Path() const { return path_; }

private:
    std::string root_, path_;
    std::vector<std::string> dirs_;
};

// Deletes a file when it goes out of scope.
class TScratchFile {
public:
    TScratchFile(std::string path, const std::string& data) : path_(std::move(path))
    {
        EXPECT_TRUE(WriteWholeFile(path_, data)) << path_;
    }
    ~TScratchFile() { DeleteFileA(path_.c_str()); }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The layout tests hold at 96 dpi with the real Tahoma only.
inline void ExpectDesignScale()
{
    HDC dc = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    LOGFONTA lf = {};
    lf.lfHeight = -11;
    lstrcpyA(lf.lfFaceName, "Tahoma");
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE zero = {};
    GetTextExtentPoint32A(dc, "0", 1, &zero);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    ASSERT_STREQ(face, "Tahoma") << "Tahoma is not installed in this Wine prefix";
    ASSERT_EQ(zero.cy, FormDesignTextHeight);
}

// The description of the font a control was given; false when it has none.
inline bool FontOf(HWND wnd, LOGFONTA& lf)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0));
    lf = LOGFONTA{};
    return font && GetObjectA(font, sizeof lf, &lf);
}

// The font height a control was given (negative: a character height).
inline LONG FontHeightOf(HWND wnd)
{
    LOGFONTA lf;
    return FontOf(wnd, lf) ? lf.lfHeight : 0;
}

// The size of the panel's caption in the font it draws with, on its own DC.
inline SIZE CaptionExtent(const TZanthPanel& panel)
{
    TWindowDc dc(panel.Handle());
    TSelectGuard font(dc.Get(), panel.Font());
    SIZE size = {};
    GetTextExtentPoint32A(dc.Get(), panel.Caption().data(), static_cast<int>(panel.Caption().size()), &size);
    return size;
}

// The user's display settings as a test sets them, through the platform
// seam: high contrast (which Wine will not switch on) and keyboard cues
// shown from the start (off, so the first screen shows no focus cue); every
// other query goes to the system.
class TDisplaySettings {
public:
    static inline bool HighContrast = false;
    static inline bool KeyboardCues = false;

    TDisplaySettings() { HighContrast = KeyboardCues = false; }
    ~TDisplaySettings() { HighContrast = KeyboardCues = false; }
    TDisplaySettings(const TDisplaySettings&) = delete;
    TDisplaySettings& operator=(const TDisplaySettings&) = delete;

private:
    static BOOL WINAPI Query(UINT action, UINT param, PVOID value, UINT winIni)
    {
        switch (action) {
        case SPI_GETHIGHCONTRAST:
            static_cast<HIGHCONTRASTA*>(value)->dwFlags = HighContrast ? HCF_HIGHCONTRASTON | HCF_AVAILABLE : 0;
            return TRUE;
        case SPI_GETKEYBOARDCUES:
            *static_cast<BOOL*>(value) = KeyboardCues;
            return TRUE;
        default:
            return SystemParametersInfoA(action, param, value, winIni);
        }
    }
    TApiSwap<decltype(PlatformApi.SystemParametersInfoA)> swap_{PlatformApi.SystemParametersInfoA, Query};
};

// A window opened at the design scale and painted to the end, for tests
// that read its pixels; no message box may show meanwhile.
class TPaintedFormTest : public ::testing::Test {
protected:
    TDisplaySettings display_;
    void SetUp() override
    {
        ExpectDesignScale();
        if (HasFatalFailure())
            return;
        form_ = OpenForm();
        ASSERT_TRUE(form_ && IsWindowVisible(form_->Handle())) << "the window did not appear";
        ASSERT_TRUE(Painted()) << "the window never finished painting";
    }

    void TearDown() override
    {
        form_.reset();
        EXPECT_EQ(boxes_.Count(), 0) << "unexpected message box: " << (boxes_.Count() ? boxes_.Last().text : "");
    }

    bool Painted()
    {
        return PumpUntil(*form_, [this] { return FullyPainted(form_->Handle()); });
    }

    TMessageBoxCatcher boxes_;
    std::unique_ptr<TAppFrm> form_;
};

}  // namespace formtest
