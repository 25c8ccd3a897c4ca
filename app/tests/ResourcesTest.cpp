// Marquill.exe's resources as Windows reads them: the version information,
// the manifest and the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MarquillVersion.h"
#include "base/WinHandles.h"
#include "ui/resource.h"

namespace {
// The build hands over a Unix path; Wine reaches the whole Unix tree as Z:.
std::string ExePath()
{
    std::string path = MARQUILL_EXE_PATH;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class TDataModule {
public:
    explicit TDataModule(const std::string& path)
        : m_module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~TDataModule()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    TDataModule(const TDataModule&) = delete;
    TDataModule& operator=(const TDataModule&) = delete;
    HMODULE Get() const { return m_module; }

private:
    HMODULE m_module;
};

std::string ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC res = FindResourceA(module, name, type);
    if (!res)
        return {};
    HGLOBAL data = LoadResource(module, res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        return {};
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, res));
}

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR param)
{
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(ExePath().c_str(), &handle);
        ASSERT_NE(size, 0u) << ExePath() << " has no version information (error " << GetLastError() << ")";
        m_versionInfo.assign(size, '\xdd');
        ASSERT_TRUE(GetFileVersionInfoA(ExePath().c_str(), 0, size, &m_versionInfo[0]));
    }

    // A value of the string table the translation list names first.
    std::string VersionString(const char* name)
    {
        struct TLangCodePage {
            WORD language;
            WORD codePage;
        }* translation = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(&m_versionInfo[0], "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                            &length) ||
            length < sizeof *translation)
            return "<no translation list>";
        char path[128];
        wsprintfA(path, "\\StringFileInfo\\%04x%04x\\%s", translation->language, translation->codePage, name);
        char* value = nullptr;
        if (!VerQueryValueA(&m_versionInfo[0], path, reinterpret_cast<void**>(&value), &length) || !value)
            return "<missing>";
        return std::string(value, length && value[length - 1] == 0 ? length - 1 : length);
    }

    std::vector<char> m_versionInfo;
};

TEST_F(ResourcesTest, VersionNumbersAreTheProjectVersion)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(&m_versionInfo[0], "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(MARQUILL_VERSION_MINOR, MARQUILL_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, MARQUILL_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(ResourcesTest, VersionStringsNameTheProduct)
{
    // The about page shows the same version: both come from the project version.
    EXPECT_STREQ(MARQUILL_VERSION, "4.0.2402");
    const struct {
        const char* name;
        const char* value;
    } cases[] = {
        {"ProductName", "Marquill"},
        {"ProductVersion", MARQUILL_VERSION},
        {"FileVersion", MARQUILL_VERSION},
        {"OriginalFilename", "Marquill.exe"},
        {"InternalName", "Marquill"},
        {"LegalCopyright", "Copyright (c) 2026 The Marquill developers"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionString(c.name), c.value) << c.name;
    std::string description = VersionString("FileDescription");
    EXPECT_NE(description.find("OEM information"), std::string::npos) << description;
}

TEST_F(ResourcesTest, ManifestAsksForVisualStylesAsInvokerAndDpiAwareness)
{
    TDataModule exe(ExePath());
    ASSERT_TRUE(exe.Get()) << "error " << GetLastError();
    // Two manifests (say, one added by the toolchain) would leave it to chance which one counts.
    int manifests = 0;
    EnumResourceNamesA(exe.Get(), MAKEINTRESOURCEA(24), CountName, reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(manifests, 1);

    std::string manifest = ResourceBytes(exe.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_FALSE(manifest.empty());
    size_t controls = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(controls, std::string::npos) << manifest;
    size_t identityEnd = manifest.find("/>", controls);
    size_t version = manifest.find("version=\"6.0.0.0\"", manifest.rfind("<assemblyIdentity", controls));
    EXPECT_LT(version, identityEnd) << "the common controls are not asked for in version 6";
    const char* const holds[] = {
        // Reading needs no elevation; without a level Windows would run the
        // program with UAC virtualization.
        "level=\"asInvoker\"",
        // Windows XP rejects the asm.v3 form of trustInfo; asm.v2 works everywhere.
        "<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">",
        // The program's own identity carries the project version.
        "<assemblyIdentity type=\"win32\" name=\"Marquill\" version=\"" MARQUILL_VERSION ".0\"",
        // System dpi awareness, in the namespace XP's loader skips.
        "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
    };
    for (const char* fragment : holds)
        EXPECT_NE(manifest.find(fragment), std::string::npos) << fragment << " missing from\n" << manifest;
    // Windows 8.1 and later report their true version only to programs that
    // declare them; this one is meant to see 6 there.
    EXPECT_EQ(manifest.find("supportedOS"), std::string::npos);
    EXPECT_EQ(manifest.find("<compatibility"), std::string::npos);
}

TEST_F(ResourcesTest, ManifestIsOneWindowsCanActivate)
{
    // Windows (and Wine) parse the manifest when they build the activation
    // context; malformed XML or a wrong identity fails here as it would at start.
    std::string path = ExePath();
    ACTCTXA ctx = {};
    ctx.cbSize = sizeof ctx;
    ctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    ctx.lpSource = path.c_str();
    ctx.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE actCtx = CreateActCtxA(&ctx);
    ASSERT_NE(actCtx, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    ReleaseActCtx(actCtx);
}

TEST_F(ResourcesTest, IconHasSmallLargeAndExtraLargeImages)
{
    TDataModule exe(ExePath());
    ASSERT_TRUE(exe.Get());
    std::string group = ResourceBytes(exe.Get(), MAKEINTRESOURCEA(IDI_MARQUILL), MAKEINTRESOURCEA(14));
    // GRPICONDIR: reserved, type, count, then 14-byte entries starting with width and height.
    ASSERT_GE(group.size(), 6u);
    unsigned count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
    ASSERT_EQ(group.size(), 6 + 14 * count);
    for (int side : {16, 32, 48}) {
        SCOPED_TRACE(side);
        bool found = false;
        for (unsigned i = 0; i < count; ++i)
            found |= static_cast<unsigned char>(group[6 + 14 * i]) == side &&
                     static_cast<unsigned char>(group[7 + 14 * i]) == side;
        EXPECT_TRUE(found);
        // The image the system picks for that size decodes into an icon.
        int id = LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(&group[0]), TRUE, side, side, LR_DEFAULTCOLOR);
        ASSERT_NE(id, 0);
        std::string image = ResourceBytes(exe.Get(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));
        ASSERT_FALSE(image.empty());
        std::unique_ptr<HICON__, decltype(&DestroyIcon)> icon(
            CreateIconFromResourceEx(reinterpret_cast<BYTE*>(&image[0]), static_cast<DWORD>(image.size()), TRUE,
                                     0x00030000, side, side, LR_DEFAULTCOLOR),
            DestroyIcon);
        ASSERT_TRUE(icon);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        TGdiObject color(info.hbmColor);
        TGdiObject mask(info.hbmMask);
        BITMAP bm = {};
        ASSERT_TRUE(GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm));
        EXPECT_EQ(bm.bmWidth, side);
    }
}
}  // namespace
