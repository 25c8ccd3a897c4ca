// TPicture under Wine: real files of each kind written here, loaded through
// the picture-loading rule, drawn into memory and read back pixel by pixel;
// every message of the rule; and damaged files of every kind, which must
// give their kind's message and never take the process down.
#include "picture/Picture.h"

#include "base/Error.h"
#include "base/ResText.h"
#include "base/WinHandles.h"
#include "picture/tests/PictureTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace picture_test;

namespace {

const char* const BitmapInvalid = "Bitmap image is not valid";
const char* const IconInvalid = "Icon image is not valid";
const char* const MetafileInvalid = "Metafile is not valid";
const char* const StreamRead = "Stream read error";

// A 32-bit top-down DIB section with a memory DC, pre-filled with 0xDD so
// that whatever a drawing leaves untouched shows.
class TCanvas {
public:
    static constexpr uint32_t Untouched = 0xDDDDDD;

    TCanvas(int width, int height)
        : width_(width), bitmap_(CreateBits(width, height, bits_)), dc_(nullptr, bitmap_.Get())
    {
        if (bits_) std::memset(bits_, 0xDD, size_t(width) * size_t(height) * 4);
    }

    bool Ready() const { return dc_.Get() && bitmap_.Get() && bits_; }
    HDC Dc() const { return dc_.Get(); }
    uint32_t At(int x, int y) const
    {
        GdiFlush();
        return bits_[size_t(y) * size_t(width_) + size_t(x)] & 0xFFFFFF;
    }

private:
    static HBITMAP CreateBits(int width, int height, uint32_t*& bits)
    {
        void* raw = nullptr;
        const HBITMAP bitmap = CreateTopDownDib32(width, height, &raw);
        bits = static_cast<uint32_t*>(raw);
        return bitmap;
    }

    int width_;
    uint32_t* bits_ = nullptr;
    // The bitmap outlives the DC that has it selected.
    TGdiObject bitmap_;
    TMemoryDC dc_;
};

struct TProbe {
    int x, y;
    uint32_t color;
};

// Files written by a test go into a folder of its own, removed afterwards.
class PictureFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        dir_ = std::string(temp) + "marquill-picture-" + std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    void TearDown() override
    {
        for (const std::string& path : written_) DeleteFileA(path.c_str());
        for (const std::string& path : dirs_) RemoveDirectoryA(path.c_str());
        RemoveDirectoryA(dir_.c_str());
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir_ + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, file) << path;
        if (file == INVALID_HANDLE_VALUE) return path;
        DWORD done = 0;
        EXPECT_TRUE(bytes.empty() || WriteFile(file, bytes.data(), DWORD(bytes.size()), &done, nullptr));
        EXPECT_EQ(bytes.size(), done);
        CloseHandle(file);
        written_.insert(path);
        return path;
    }
    std::string MakeDir(const std::string& name)
    {
        const std::string path = dir_ + name;
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        dirs_.insert(path);
        return path;
    }

    // The message LoadFromFile raises, or "" when it loads.
    static std::string LoadError(TPicture& picture, const std::string& path)
    {
        try {
            picture.LoadFromFile(path);
        } catch (const EMarquillError& e) {
            return e.what();
        }
        return std::string();
    }

    std::string dir_;
    std::set<std::string> written_;
    std::set<std::string> dirs_;
};

void ExpectPixels(const TCanvas& canvas, const std::vector<TProbe>& probes)
{
    for (const TProbe& p : probes)
        EXPECT_EQ(p.color, canvas.At(p.x, p.y)) << std::hex << "at " << std::dec << p.x << "," << p.y;
}

}  // namespace

TEST_F(PictureFileTest, EachKindLoadsAndDrawsAtItsOwnSize)
{
    const TWindowDc screen(nullptr);
    ASSERT_NE(nullptr, screen.Get());
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    ASSERT_EQ(96, dpi) << "the metafiles' expected sizes assume 96 dpi";
    ASSERT_EQ(32, GetSystemMetrics(SM_CXICON));

    // Each picture is drawn at (3, 4); probes are in canvas coordinates and
    // include points just outside the picture that must stay untouched.
    const struct {
        const char* name;
        std::string bytes;
        int width, height;
        std::vector<TProbe> probes;
    } cases[] = {
        {"quadrants.bmp", SampleBmp(200, 200), 200, 200,
         {{53, 54, Red}, {153, 54, Green}, {53, 154, Blue}, {153, 154, White}, {3, 4, Red}, {202, 203, White},
          {203, 100, TCanvas::Untouched}, {100, 204, TCanvas::Untouched}, {2, 100, TCanvas::Untouched}}},
        {"rle.bmp", MakeBmp({"rle8", 10, 6, 8, 1, 40, {Red, Green, Blue, White}, {0, 0, 0}}, Quadrants(10, 6)), 10, 6,
         {{3, 4, Red}, {12, 4, Green}, {3, 9, Blue}, {12, 9, White}, {13, 9, TCanvas::Untouched}}},
        {"two colours.ico", SampleIco(), 32, 32,
         {{8, 9, Black}, {30, 9, Black}, {8, 30, Black}, {18, 35, Black}, {19, 20, White}, {34, 35, White},
          {35, 20, TCanvas::Untouched}}},
        {"sixteen colours.ico", SampleColorIco(), 32, 32,
         {{8, 9, Red}, {30, 9, Green}, {8, 30, Blue}, {30, 30, White}, {35, 20, TCanvas::Untouched}}},
        {"png inside.ico", PngIco(48, Blue), 48, 48,
         {{3, 4, Blue}, {50, 51, Blue}, {51, 20, TCanvas::Untouched}, {20, 52, TCanvas::Untouched}}},
        {"true colour.ico", MakeIco({{32, 32, {}}}), 32, 32,
         {{8, 9, Red}, {30, 9, Green}, {8, 30, Blue}, {30, 30, White}, {3, 36, TCanvas::Untouched}}},
        {"filled.emf", SampleEmf(Green, 100, 50), 100, 50,
         {{10, 10, Green}, {53, 29, Green}, {95, 50, Green}, {110, 29, TCanvas::Untouched},
          {53, 60, TCanvas::Untouched}}},
        {"placeable.wmf", SampleWmf(true, Blue, 100, 50), 100, 50,
         {{10, 10, Blue}, {53, 29, Blue}, {95, 50, Blue}, {110, 29, TCanvas::Untouched}}},
        {"rich.emf", RichEmf(), 100, 50, {{43, 44, Green}, {73, 19, Red}, {110, 29, TCanvas::Untouched}}},
        {"rich.wmf", RichWmf(), 100, 50, {{43, 44, Green}, {73, 19, Red}, {110, 29, TCanvas::Untouched}}},
        {"plain.wmf", SampleWmf(false, Red, 80, 40), 80, 40,
         {{10, 10, Red}, {43, 24, Red}, {75, 40, Red}, {90, 24, TCanvas::Untouched}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        EXPECT_TRUE(picture.Empty());
        // The metafiles' first version and disk type show the same.
        if (std::string(c.name) == "placeable.wmf") {
            std::string first = c.bytes;
            Patch16(first, WmfPlaceableSize, 2);
            Patch16(first, WmfPlaceableSize + 4, 0x100);
            ASSERT_EQ("", LoadError(picture, Write("first version.wmf", first)));
            TCanvas canvas(256, 256);
            ASSERT_TRUE(canvas.Ready());
            picture.Draw(canvas.Dc(), 3, 4);
            ExpectPixels(canvas, c.probes);
        }
        ASSERT_EQ("", LoadError(picture, Write(c.name, c.bytes)));
        EXPECT_FALSE(picture.Empty());
        EXPECT_EQ(c.width, picture.Width());
        EXPECT_EQ(c.height, picture.Height());
        TCanvas canvas(256, 256);
        ASSERT_TRUE(canvas.Ready());
        picture.Draw(canvas.Dc(), 3, 4);
        ExpectPixels(canvas, c.probes);
    }
}

TEST_F(PictureFileTest, StretchDrawFillsTheRectangle)
{
    const struct {
        const char* name;
        std::string bytes;
        RECT dest;
        std::vector<TProbe> probes;
    } cases[] = {
        {"big.bmp", SampleBmp(200, 200), {10, 10, 60, 60},
         {{20, 20, Red}, {50, 20, Green}, {20, 50, Blue}, {50, 50, White}, {61, 30, TCanvas::Untouched}}},
        {"small.bmp", SampleBmp(4, 4), {0, 0, 80, 40},
         {{10, 5, Red}, {70, 5, Green}, {10, 35, Blue}, {70, 35, White}, {81, 20, TCanvas::Untouched}}},
        {"icon.ico", SampleColorIco(), {0, 0, 64, 64},
         {{10, 10, Red}, {54, 10, Green}, {10, 54, Blue}, {54, 54, White}, {65, 32, TCanvas::Untouched}}},
        {"wide.emf", SampleEmf(Blue, 100, 50), {0, 0, 200, 40}, {{190, 35, Blue}, {100, 20, Blue}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        ASSERT_EQ("", LoadError(picture, Write(c.name, c.bytes)));
        TCanvas canvas(256, 256);
        ASSERT_TRUE(canvas.Ready());
        picture.StretchDraw(canvas.Dc(), c.dest);
        ExpectPixels(canvas, c.probes);
    }
}

TEST_F(PictureFileTest, MessagesOfTheRule)
{
    const std::string bmp = SampleBmp();
    const struct { const char* name; std::string bytes; std::string message; } cases[] = {
        {"logo.png", bmp, "Unknown picture file extension (.png)"},
        {"logo", bmp, "Unknown picture file extension (.)"},
        {"logo.", bmp, "Unknown picture file extension (.)"},
        {"logo.Jpeg", bmp, "Unknown picture file extension (.Jpeg)"},
        {"Foo.BMP", bmp, ""},
        {"Upper.ICO", SampleIco(), ""},
        {"empty.bmp", "", ""},
        {"ten.bmp", std::string("BM\0\0\0\0\0\0\0\0", 10), StreamRead},
        {"thirteen.bmp", bmp.substr(0, 13), StreamRead},
        {"header only.bmp", bmp.substr(0, 14), BitmapInvalid},
        {"xx.bmp", "XX" + bmp.substr(2), BitmapInvalid},
        {"png inside.bmp", "\x89PNG\r\n\x1A\n" + std::string(64, '\0'), BitmapInvalid},
        {"empty.ico", "", IconInvalid},
        {"bitmap.ico", bmp, IconInvalid},
        {"empty.emf", "", MetafileInvalid},
        {"wmf.emf", SampleWmf(), MetafileInvalid},
        {"empty.wmf", "", MetafileInvalid},
        {"emf.wmf", SampleEmf(), MetafileInvalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        EXPECT_EQ(c.message, LoadError(picture, Write(c.name, c.bytes)));
    }
}

TEST_F(PictureFileTest, AnEmptyBitmapClearsThePicture)
{
    TPicture picture;
    ASSERT_EQ("", LoadError(picture, Write("full.bmp", SampleBmp())));
    ASSERT_FALSE(picture.Empty());
    ASSERT_EQ("", LoadError(picture, Write("empty.bmp", "")));
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(0, picture.Width());
    EXPECT_EQ(0, picture.Height());
}

TEST_F(PictureFileTest, CannotOpenNamesTheFullPathAndTheReason)
{
    // Put back even when an assertion ends the test early: a process left in
    // the test's folder keeps that folder from being removed.
    struct TCurrentDirectoryGuard {
        char saved[MAX_PATH] = {};
        ~TCurrentDirectoryGuard()
        {
            if (saved[0]) SetCurrentDirectoryA(saved);
        }
    } cwd;
    ASSERT_NE(0u, GetCurrentDirectoryA(MAX_PATH, cwd.saved));
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    const std::string folder = MakeDir("folder.bmp");
    const struct { const char* name; std::string path; std::string full; } cases[] = {
        {"missing, absolute", dir_ + "missing.bmp", dir_ + "missing.bmp"},
        {"missing, relative", "relative.ico", dir_ + "relative.ico"},
        {"missing folder", dir_ + "no such folder\\x.emf", dir_ + "no such folder\\x.emf"},
        {"a folder", folder, folder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        const std::string message = LoadError(picture, c.path);
        const std::string prefix = "Cannot open file \"" + c.full + "\". ";
        ASSERT_EQ(prefix, message.substr(0, prefix.size())) << message;
        const std::string reason = message.substr(prefix.size());
        ASSERT_FALSE(reason.empty());
        EXPECT_EQ(std::string::npos, std::string(" .\r\n\t").find(reason.back())) << "[" << reason << "]";
    }
}

// The file is read with writing by others denied: a writer holding it keeps
// us out, a reader does not.
TEST_F(PictureFileTest, OpensOnlyWhatNobodyWrites)
{
    const std::string path = Write("held.bmp", SampleBmp());
    const struct { const char* name; DWORD access; DWORD share; bool loads; } cases[] = {
        {"writer sharing nothing", GENERIC_WRITE, 0, false},
        {"writer sharing reads and writes", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
        {"reader sharing nothing", GENERIC_READ, 0, false},
        {"reader sharing reads", GENERIC_READ, FILE_SHARE_READ, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE other = CreateFileA(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, other);
        TPicture picture;
        const std::string message = LoadError(picture, path);
        CloseHandle(other);
        if (c.loads) {
            EXPECT_EQ("", message);
        } else {
            EXPECT_EQ(0u, message.find("Cannot open file \"" + path + "\". ")) << message;
        }
    }
}

// A file beyond 64 MB is refused before it is read, as not valid of its kind.
TEST_F(PictureFileTest, AFileTooLargeIsNotValid)
{
    const struct { const char* name; std::string start; const char* message; } cases[] = {
        {"huge.bmp", SampleBmp(), BitmapInvalid},
        {"huge.ico", SampleIco(), IconInvalid},
        {"huge.emf", SampleEmf(), MetafileInvalid},
        {"huge.wmf", SampleWmf(), MetafileInvalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Write(c.name, c.start);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        LARGE_INTEGER end;
        end.QuadPart = 64LL * 1024 * 1024 + 1;
        const bool grown = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
        CloseHandle(file);
        ASSERT_TRUE(grown);
        TPicture picture;
        EXPECT_EQ(c.message, LoadError(picture, path));
    }
}

namespace {

std::string FrenchText(const std::string& english)
{
    if (english == "Unknown picture file extension (.%s)") return "Extension d'image inconnue (.%s)";
    if (english == "Bitmap image is not valid") return "Image bitmap non valide";
    return english;
}

// Puts the untranslated texts back whatever the test's outcome.
struct TResTextHookGuard {
    explicit TResTextHookGuard(TResTextHook hook) { SetResTextHook(hook); }
    ~TResTextHookGuard() { SetResTextHook(nullptr); }
};

}  // namespace

// The template is translated before the extension is filled in, so one
// catalog entry serves every extension.
TEST_F(PictureFileTest, MessagesAreTranslatedBeforeTheyAreFilled)
{
    TResTextHookGuard guard(FrenchText);
    TPicture picture;
    EXPECT_EQ("Extension d'image inconnue (.gif)", LoadError(picture, Write("a.gif", "GIF89a")));
    EXPECT_EQ("Extension d'image inconnue (.)", LoadError(picture, Write("a", "")));
    EXPECT_EQ("Image bitmap non valide", LoadError(picture, Write("bad.bmp", std::string(20, 'x'))));
}

TEST_F(PictureFileTest, AFailedLoadKeepsThePicture)
{
    TPicture picture;
    ASSERT_EQ("", LoadError(picture, Write("keep.bmp", SampleBmp(40, 20))));
    std::string truncatedIco = SampleIco();
    truncatedIco.resize(100);
    const struct { const char* name; std::string bytes; } failures[] = {
        {"other.png", SampleBmp()},
        {"bad.bmp", "XX" + SampleBmp().substr(2)},
        {"short.bmp", "BM"},
        {"bad.ico", truncatedIco},
        {"bad.emf", SampleEmf().substr(0, 100)},
        {"bad.wmf", SampleWmf().substr(0, 30)},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        EXPECT_NE("", LoadError(picture, Write(f.name, f.bytes)));
        ASSERT_FALSE(picture.Empty());
        EXPECT_EQ(40, picture.Width());
        EXPECT_EQ(20, picture.Height());
        TCanvas canvas(64, 64);
        ASSERT_TRUE(canvas.Ready());
        picture.Draw(canvas.Dc(), 0, 0);
        ExpectPixels(canvas, {{5, 5, Red}, {35, 5, Green}, {5, 15, Blue}, {35, 15, White}, {41, 5, TCanvas::Untouched}});
    }
    EXPECT_NE("", LoadError(picture, dir_ + "missing.bmp"));
    EXPECT_EQ(40, picture.Width());
}

namespace {

struct TKindSample {
    const char* ext;
    std::string bytes;
    const char* message;  // of this kind
};

std::vector<TKindSample> KindSamples()
{
    return {
        {"bmp", SampleBmp(), BitmapInvalid},
        {"bmp", MakeBmp({"rle4", 9, 5, 4, 2, 40, {Red, Green, Blue, White}, {0, 0, 0}}, Quadrants(9, 5)), BitmapInvalid},
        {"ico", MakeIco({{16, 4, {Red, Green, Blue, White}}, {32, 1, {Red, Blue}}}), IconInvalid},
        {"ico", MakeIco({{32, 32, {}}}), IconInvalid},
        {"ico", PngIco(16, Red), IconInvalid},
        {"emf", SampleEmf(), MetafileInvalid},
        {"emf", RichEmf(), MetafileInvalid},
        {"wmf", RichWmf(), MetafileInvalid},
        {"wmf", SampleWmf(), MetafileInvalid},
        {"wmf", SampleWmf(false), MetafileInvalid},
    };
}

// The messages a file of this kind may raise.
bool KindMessage(const TKindSample& kind, const std::string& message)
{
    return message == kind.message || (std::string(kind.ext) == "bmp" && message == StreamRead);
}

}  // namespace

// A file cut at any of its first 150 bytes or at any header boundary gives
// exactly its kind's message (a bitmap shorter than its file header the
// stream error, an empty bitmap nothing at all).
TEST_F(PictureFileTest, EveryTruncationGivesItsKindsMessage)
{
    int n = 0;
    for (const TKindSample& kind : KindSamples()) {
        std::set<size_t> cuts;
        for (size_t i = 0; i < std::min<size_t>(150, kind.bytes.size()); ++i) cuts.insert(i);
        for (size_t boundary : {14, 18, 22, 40, 54, 88, 100, 108, 124})
            if (boundary < kind.bytes.size()) cuts.insert(boundary);
        cuts.insert(kind.bytes.size() - 1);
        for (size_t cut : cuts) {
            SCOPED_TRACE(std::string(kind.ext) + " cut at " + std::to_string(cut));
            TPicture picture;
            const std::string path = Write("cut" + std::to_string(n++) + "." + kind.ext, kind.bytes.substr(0, cut));
            const std::string message = LoadError(picture, path);
            if (std::string(kind.ext) == "bmp" && cut == 0) {
                EXPECT_EQ("", message);
            } else if (std::string(kind.ext) == "bmp" && cut < 14) {
                EXPECT_EQ(StreamRead, message);
            } else {
                EXPECT_EQ(kind.message, message);
            }
            DeleteFileA(path.c_str());
        }
    }
}

// Absurd values in the fields the checks guard, through the whole load.
TEST_F(PictureFileTest, AbsurdFieldsGiveTheirKindsMessage)
{
    const std::string bmp = SampleBmp(), ico = SampleIco(), emf = SampleEmf(), wmf = SampleWmf();
    const size_t icoImage = Get32(ico, IcoEntry(0) + 12);
    const struct { const char* name; const std::string& base; size_t at; uint32_t value; const char* message; } cases[] = {
        {"bmp width 0x7FFFFFFF", bmp, BmpWidth, 0x7FFFFFFF, BitmapInvalid},
        {"bmp height below INT_MIN", bmp, BmpHeight, 0x80000000, BitmapInvalid},
        {"bmp pixels past the end", bmp, BmpOffBits, 0x7FFFFFF0, BitmapInvalid},
        {"bmp colours used huge", bmp, BmpClrUsed, 0xFFFFFFFF, BitmapInvalid},
        {"ico count huge", ico, 4, 0x7FFF, IconInvalid},
        {"ico offset wraps", ico, IcoEntry(0) + 12, 0xFFFFFFF0, IconInvalid},
        {"ico image size past the file", ico, IcoEntry(0) + 8, 0x7FFFFFFF, IconInvalid},
        {"ico image width huge", ico, icoImage + 4, 0x40000000, IconInvalid},
        {"emf nBytes huge", emf, EmfBytes, 0xFFFFFFF0, MetafileInvalid},
        {"emf record size 0", emf, EmfFirstRecord + 4, 0, MetafileInvalid},
        {"emf record size not a multiple of 4", emf, EmfFirstRecord + 4, 26, MetafileInvalid},
        {"emf record past the end", emf, EmfFirstRecord + 4, 0x7FFFFFF0, MetafileInvalid},
        {"emf frame huge", emf, EmfFrameRight, 0x7FFFFFFF, MetafileInvalid},
        {"wmf size huge", wmf, WmfPlaceableSize + 6, 0x7FFFFFFF, MetafileInvalid},
        {"wmf record size 0", wmf, WmfPlaceableSize + 18, 0, MetafileInvalid},
        {"wmf record past the end", wmf, WmfPlaceableSize + 18, 0x40000000, MetafileInvalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = c.base;
        Patch32(bytes, c.at, c.value);
        const std::string ext = &c.base == &bmp ? "bmp" : &c.base == &ico ? "ico" : &c.base == &emf ? "emf" : "wmf";
        TPicture picture;
        EXPECT_EQ(c.message, LoadError(picture, Write(std::string("absurd.") + ext, bytes)));
    }
}

// Hundreds of damaged variants: each either loads, and then draws without
// harm, or raises its kind's message. Nothing else may happen.
TEST_F(PictureFileTest, MutatedFilesLoadOrGiveTheirKindsMessage)
{
    const std::vector<TKindSample> kinds = KindSamples();
    TCanvas canvas(128, 128);
    ASSERT_TRUE(canvas.Ready());
    int loaded = 0, refused = 0;
    for (uint32_t n = 0; n < 300; ++n) {
        for (size_t k = 0; k < kinds.size(); ++k) {
            const TKindSample& kind = kinds[k];
            SCOPED_TRACE("variant " + std::to_string(n) + " of sample " + std::to_string(k) + " (" + kind.ext + ")");
            const std::string path = Write("mutant." + std::string(kind.ext), Mutate(kind.bytes, n * 7 + uint32_t(k)));
            TPicture picture;
            try {
                picture.LoadFromFile(path);
                ++loaded;
                picture.Draw(canvas.Dc(), 0, 0);
                picture.StretchDraw(canvas.Dc(), RECT{10, 10, 100, 60});
            } catch (const EMarquillError& e) {
                ++refused;
                EXPECT_TRUE(KindMessage(kind, e.what())) << e.what();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "unexpected exception: " << e.what();
            }
        }
    }
    // Both outcomes must have happened, or the variants tested one path only.
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 100);
}
