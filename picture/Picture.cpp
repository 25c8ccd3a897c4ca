// Loading a picture file after its structural check, and drawing it.
#include "picture/Picture.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/ResText.h"
#include "base/SystemError.h"
#include "base/WinFiles.h"
#include "base/WinHandles.h"
#include "base/WindowsVersion.h"
#include "picture/PictureCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* english, std::initializer_list<std::string_view> args = {})
{
    throw EMarquillError(FormatText(ResText(english), args));
}

[[noreturn]] void FailInvalid(TPictureKind kind)
{
    switch (kind) {
    case TPictureKind::Icon: Fail(N_("Icon image is not valid"));
    case TPictureKind::EnhMetafile:
    case TPictureKind::Metafile: Fail(N_("Metafile is not valid"));
    default: Fail(N_("Bitmap image is not valid"));
    }
}

// Others may read the file while it is loaded, but not write it.
std::string ReadPictureFile(const std::string& path, TPictureKind kind)
{
    TWholeFile file = ReadWholeFile(path, MaxPictureFileSize, FILE_SHARE_READ);
    if (!file.Opened)
        Fail(N_("Cannot open file \"%s\". %s"),
             {FullPathName(path), SystemErrorText(file.Error, ResText(N_("System error %d")))});
    if (file.Error == ERROR_FILE_TOO_LARGE) FailInvalid(kind);
    if (!file.Read()) Fail(N_("Stream read error"));
    return std::move(file.Bytes);
}

// The bytes of a file read whole, as the checks and GDI take them.
uint8_t* Data(std::string& bytes) { return reinterpret_cast<uint8_t*>(&bytes[0]); }
const uint8_t* Data(const std::string& bytes) { return reinterpret_cast<const uint8_t*>(bytes.data()); }

int ScreenPixelsPerInch()
{
    const TWindowDc screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
    return dpi > 0 ? dpi : 96;
}

// A length in `units` per inch as pixels at `dpi`; -1 when it does not fit.
int ToPixels(int64_t length, int64_t unitsPerInch, int dpi)
{
    if (length < 0 || unitsPerInch <= 0) return -1;
    const int64_t pixels = (length * dpi + unitsPerInch / 2) / unitsPerInch;
    return pixels <= MaxPictureSide ? static_cast<int>(pixels) : -1;
}

// The size a conversion draws a metafile at. Only its proportions matter
// once it is capped, so a size past what the screen could show is brought
// down to the largest side, keeping them.
constexpr int ConversionDpi = 96;

SIZE ConversionSize(int64_t width, int64_t height, int64_t unitsPerInch)
{
    if (unitsPerInch <= 0) return SIZE{};
    int64_t w = (std::max<int64_t>(0, width) * ConversionDpi + unitsPerInch / 2) / unitsPerInch;
    int64_t h = (std::max<int64_t>(0, height) * ConversionDpi + unitsPerInch / 2) / unitsPerInch;
    const int64_t longest = std::max(w, h);
    if (longest > MaxPictureSide) {
        w = w * MaxPictureSide / longest;
        h = h * MaxPictureSide / longest;
    }
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

}  // namespace

namespace {

struct TPictureData {
    TPictureKind kind = TPictureKind::Unknown;
    std::string bytes;  // as checked
    int width = 0;
    int height = 0;
    SIZE at96Dpi = {};
    TBitmapHandle bitmap;  // 32-bit top-down DIB section
    TIconHandle icon;
    TEnhMetaFileHandle metafile;  // a Windows metafile is held converted
};

}  // namespace

HBITMAP CreateTopDownDib32(int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

struct TPicture::TImpl : TPictureData {};

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Clear()
{
    impl_.reset();
    emptyBitmap_ = false;
}
bool TPicture::Empty() const { return !impl_; }
int TPicture::Width() const { return impl_ ? impl_->width : 0; }
int TPicture::Height() const { return impl_ ? impl_->height : 0; }
TPictureKind TPicture::Kind() const { return impl_ ? impl_->kind : TPictureKind::Unknown; }

const std::string& TPicture::Bytes() const
{
    static const std::string none;
    return impl_ ? impl_->bytes : none;
}

SIZE TPicture::SizeAt96Dpi() const { return impl_ ? impl_->at96Dpi : SIZE{}; }

namespace {

void LoadBitmapPicture(const std::string& bytes, TPictureData& impl)
{
    TBitmapLayout layout;
    switch (CheckBitmapFile(Data(bytes), bytes.size(), layout)) {
    case TBitmapCheck::Valid: break;
    case TBitmapCheck::TooShort: Fail(N_("Stream read error"));
    case TBitmapCheck::NotBitmap:
    case TBitmapCheck::Invalid: Fail(N_("Bitmap image is not valid"));
    }
    void* bits = nullptr;
    impl.bitmap.Reset(CreateTopDownDib32(layout.width, layout.height, &bits));
    if (!impl.bitmap.Valid() || !bits) Fail(N_("Bitmap image is not valid"));
    if (!DecodeBitmap(Data(bytes), bytes.size(), layout, static_cast<uint32_t*>(bits)))
        Fail(N_("Bitmap image is not valid"));
    GdiFlush();
    impl.width = layout.width;
    impl.height = layout.height;
    impl.at96Dpi = {impl.width, impl.height};
}

void LoadIconPicture(std::string& bytes, TPictureData& impl)
{
    TIconImage image;
    // Windows decodes PNG icon images from Vista on.
    if (!CheckIconFile(Data(bytes), bytes.size(), GetSystemMetrics(SM_CXICON), WindowsMajorVersion >= 6, image))
        Fail(N_("Icon image is not valid"));
    impl.icon.Reset(CreateIconFromResourceEx(Data(bytes) + image.offset, image.size, TRUE, 0x00030000,
                                               image.width, image.height, LR_DEFAULTCOLOR));
    if (!impl.icon.Valid()) Fail(N_("Icon image is not valid"));
    impl.width = image.width;
    impl.height = image.height;
    impl.at96Dpi = {impl.width, impl.height};
}

void LoadEnhMetafile(const std::string& bytes, TPictureData& impl)
{
    TEnhMetafileInfo info;
    if (!CheckEnhMetafile(Data(bytes), bytes.size(), info)) Fail(N_("Metafile is not valid"));
    // The frame is in hundredths of a millimetre: 2540 to the inch.
    const int dpi = ScreenPixelsPerInch();
    const int width = ToPixels(int64_t(info.frameRight) - info.frameLeft, 2540, dpi);
    const int height = ToPixels(int64_t(info.frameBottom) - info.frameTop, 2540, dpi);
    if (width < 0 || height < 0) Fail(N_("Metafile is not valid"));
    impl.metafile.Reset(SetEnhMetaFileBits(info.bytes, Data(bytes)));
    if (!impl.metafile.Valid()) Fail(N_("Metafile is not valid"));
    impl.width = width;
    impl.height = height;
    impl.at96Dpi = ConversionSize(int64_t(info.frameRight) - info.frameLeft,
                                  int64_t(info.frameBottom) - info.frameTop, 2540);
}

// Used when a metafile without the placeable header names no extent.
constexpr int DefaultMetafileSide = 96;

void LoadMetafile(const std::string& bytes, TPictureData& impl)
{
    TMetafileInfo info;
    if (!CheckMetafile(Data(bytes), bytes.size(), info)) Fail(N_("Metafile is not valid"));
    const int dpi = ScreenPixelsPerInch();
    int width, height;
    if (info.placeable) {
        const int64_t boxWidth = std::abs(int64_t(info.right) - info.left);
        const int64_t boxHeight = std::abs(int64_t(info.bottom) - info.top);
        width = ToPixels(boxWidth, info.unitsPerInch, dpi);
        height = ToPixels(boxHeight, info.unitsPerInch, dpi);
        impl.at96Dpi = ConversionSize(boxWidth, boxHeight, info.unitsPerInch);
    } else if (info.windowExtX && info.windowExtY) {
        width = std::abs(int(info.windowExtX));
        height = std::abs(int(info.windowExtY));
        impl.at96Dpi = {width, height};
    } else {
        width = height = DefaultMetafileSide;
        impl.at96Dpi = {width, height};
    }
    if (width < 0 || height < 0) Fail(N_("Metafile is not valid"));

    // Hand on exactly the checked records, with a header that says so. A
    // metafile of the disk type or of the first version has the same layout
    // but would be refused by the platform's converter as it stands. The
    // picture's own bytes stay as they were checked.
    std::string records = bytes.substr(info.bitsOffset, info.bitsSize);
    uint8_t* header = Data(records);
    header[0] = 1;
    header[1] = 0;
    header[4] = 0x00;
    header[5] = 0x03;
    const uint32_t words = info.bitsSize / 2;
    for (int i = 0; i < 4; ++i) header[6 + i] = static_cast<uint8_t>(words >> (8 * i));
    for (int i = 0; i < 4; ++i) header[12 + i] = static_cast<uint8_t>(info.maxRecordWords >> (8 * i));

    // The extent names the frame of the metafile held; taken from the size
    // at 96 dpi, that frame is the same whatever the screen's dpi, and so
    // is what a conversion draws.
    METAFILEPICT picture = {};
    picture.mm = MM_ANISOTROPIC;
    picture.xExt = MulDiv(impl.at96Dpi.cx, 2540, ConversionDpi);
    picture.yExt = MulDiv(impl.at96Dpi.cy, 2540, ConversionDpi);
    impl.metafile.Reset(SetWinMetaFileBits(info.bitsSize, header, nullptr, &picture));
    if (!impl.metafile.Valid()) Fail(N_("Metafile is not valid"));
    impl.width = width;
    impl.height = height;
}

}  // namespace

namespace {

TPictureKind KindOfPath(const std::string& path)
{
    const std::string ext = PictureFileExtension(path);
    const TPictureKind kind = PictureKindFromExtension(ext);
    if (kind == TPictureKind::Unknown) Fail(N_("Unknown picture file extension (.%s)"), {ext});
    return kind;
}

}  // namespace

std::string TPicture::ReadFile(const std::string& path)
{
    const TPictureKind kind = KindOfPath(path);
    // Memory runs short only for a file too large to show: say so of its kind.
    try {
        return ReadPictureFile(path, kind);
    } catch (const std::bad_alloc&) {
        FailInvalid(kind);
    }
}

void TPicture::LoadFromFile(const std::string& path)
{
    LoadFromBytes(ReadFile(path), path);
}

void TPicture::LoadFromBytes(std::string bytes, const std::string& pathForKind)
{
    const TPictureKind kind = KindOfPath(pathForKind);
    if (bytes.size() > MaxPictureFileSize) FailInvalid(kind);

    // Everything is built aside and only a complete picture replaces the old.
    std::unique_ptr<TImpl> fresh;
    try {
        if (kind == TPictureKind::Bitmap && bytes.empty()) {
            Clear();
            emptyBitmap_ = true;
            return;
        }
        fresh = std::make_unique<TImpl>();
        fresh->kind = kind;
        switch (kind) {
        case TPictureKind::Bitmap: LoadBitmapPicture(bytes, *fresh); break;
        case TPictureKind::Icon: LoadIconPicture(bytes, *fresh); break;
        case TPictureKind::EnhMetafile: LoadEnhMetafile(bytes, *fresh); break;
        case TPictureKind::Metafile: LoadMetafile(bytes, *fresh); break;
        case TPictureKind::Unknown: break;
        }
    } catch (const std::bad_alloc&) {
        FailInvalid(kind);
    }
    fresh->bytes = std::move(bytes);
    impl_ = std::move(fresh);
    emptyBitmap_ = false;
}

void TPicture::Draw(HDC dc, int x, int y) const
{
    if (!impl_) return;
    RECT dest = {x, y, x + impl_->width, y + impl_->height};
    if (impl_->bitmap.Valid()) {
        TMemoryDC source(dc, impl_->bitmap.Get());
        if (source.Get()) BitBlt(dc, x, y, impl_->width, impl_->height, source.Get(), 0, 0, SRCCOPY);
        return;
    }
    StretchDraw(dc, dest);
}

void TPicture::StretchDraw(HDC dc, const RECT& dest) const
{
    if (!impl_) return;
    const int width = dest.right - dest.left;
    const int height = dest.bottom - dest.top;
    if (impl_->bitmap.Valid()) {
        TMemoryDC source(dc, impl_->bitmap.Get());
        if (!source.Get()) return;
        // HALFTONE is NT-only; 95, 98 and ME would keep the default mode,
        // which drops or darkens pixels.
        const int oldMode = SetStretchBltMode(dc, IsWindows9xFamily() ? COLORONCOLOR : HALFTONE);
        POINT oldOrigin;
        SetBrushOrgEx(dc, 0, 0, &oldOrigin);
        StretchBlt(dc, dest.left, dest.top, width, height, source.Get(), 0, 0, impl_->width,
                   impl_->height, SRCCOPY);
        SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        if (oldMode) SetStretchBltMode(dc, oldMode);
    } else if (impl_->icon.Valid()) {
        DrawIconEx(dc, dest.left, dest.top, impl_->icon.Get(), width, height, 0, nullptr, DI_NORMAL);
    } else if (impl_->metafile.Valid()) {
        PlayEnhMetaFile(dc, impl_->metafile.Get(), &dest);
    }
}
