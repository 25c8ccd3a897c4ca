// The logo file: a bitmap Windows reads as it is, or one drawn from the
// picture, always from the bytes that were checked.
#include "picture/PlainBitmap.h"

#include "base/Error.h"
#include "base/WinHandles.h"
#include "base/WindowsVersion.h"
#include "picture/ByteReader.h"
#include "picture/Picture.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;
constexpr size_t PlainHeaderBytes = FileHeaderSize + InfoHeaderSize;

// The bit fields that 95, 98 and ME draw; they show any other as nothing.
struct TNineXMasks {
    uint16_t bitCount;
    uint32_t red, green, blue;
};
constexpr TNineXMasks NineXMasks[] = {
    {16, 0x7C00, 0x03E0, 0x001F},
    {16, 0xF800, 0x07E0, 0x001F},
    {32, 0xFF0000, 0x00FF00, 0x0000FF},
};

// The masks of a 40-byte header follow it, as they stand in the file.
bool NineXDrawsMasks(const TByteReader& file, uint16_t bitCount)
{
    const uint32_t red = file.U32(PlainHeaderBytes), green = file.U32(PlainHeaderBytes + 4),
                   blue = file.U32(PlainHeaderBytes + 8);
    for (const TNineXMasks& m : NineXMasks)
        if (m.bitCount == bitCount && m.red == red && m.green == green && m.blue == blue) return true;
    return false;
}

// `size` scaled down to fit a MaxLogoSide square, keeping its proportions.
SIZE FitLogoSide(SIZE size)
{
    const int64_t longest = std::max(size.cx, size.cy);
    if (longest <= MaxLogoSide) return size;
    auto scaled = [&](int64_t side) {
        return static_cast<LONG>(std::max<int64_t>(1, (side * MaxLogoSide + longest / 2) / longest));
    };
    return SIZE{scaled(size.cx), scaled(size.cy)};
}

// The picture drawn at `size` on `background`: top row first, 0x00RRGGBB.
bool Render(const TPicture& picture, SIZE size, COLORREF background, std::vector<uint32_t>& pixels)
{
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateTopDownDib32(size.cx, size.cy, &bits));
    if (!bitmap.Valid() || !bits) return false;
    {
        TMemoryDC dc(nullptr, bitmap.Get());
        if (!dc.Get()) return false;
        const RECT all = {0, 0, size.cx, size.cy};
        TBrushHandle brush(CreateSolidBrush(background));
        if (!brush.Valid() || !FillRect(dc.Get(), &all, brush.Get())) return false;
        if (size.cx == picture.Width() && size.cy == picture.Height())
            picture.Draw(dc.Get(), 0, 0);
        else
            picture.StretchDraw(dc.Get(), all);
        GdiFlush();
    }
    const uint32_t* drawn = static_cast<const uint32_t*>(bits);
    pixels.resize(size_t(size.cx) * size_t(size.cy));
    std::transform(drawn, drawn + pixels.size(), pixels.begin(), [](uint32_t p) { return p & 0xFFFFFF; });
    return true;
}

// How opaque each pixel is, from the picture drawn on white and on black:
// what shows of the background through it.
std::vector<uint8_t> AlphaOf(const std::vector<uint32_t>& onWhite, const std::vector<uint32_t>& onBlack)
{
    std::vector<uint8_t> alpha(onWhite.size());
    for (size_t i = 0; i < onWhite.size(); ++i) {
        int through = 0;
        for (int shift = 0; shift < 24; shift += 8)
            through = std::max(through, int((onWhite[i] >> shift) & 0xFF) - int((onBlack[i] >> shift) & 0xFF));
        alpha[i] = static_cast<uint8_t>(255 - through);
    }
    return alpha;
}

void Put16(std::string& s, size_t at, uint32_t v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, size_t at, uint32_t v)
{
    Put16(s, at, v);
    Put16(s, at + 2, v >> 16);
}

// An uncompressed bitmap file, bottom row first as every reader expects, of
// 24 bits or (with `alpha`) 32 bits per pixel.
std::string EncodeBitmap(SIZE size, const std::vector<uint32_t>& pixels, const std::vector<uint8_t>* alpha)
{
    const size_t pixelSize = alpha ? 4 : 3;
    const size_t rowBytes = (size_t(size.cx) * pixelSize + 3) & ~size_t(3);
    const size_t pixelBytes = rowBytes * size_t(size.cy);
    std::string file(PlainHeaderBytes + pixelBytes, '\0');
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    Put32(file, 10, PlainHeaderBytes);
    Put32(file, 14, InfoHeaderSize);
    Put32(file, 18, static_cast<uint32_t>(size.cx));
    Put32(file, 22, static_cast<uint32_t>(size.cy));
    Put16(file, 26, 1);
    Put16(file, 28, static_cast<uint32_t>(pixelSize * 8));
    Put32(file, 34, static_cast<uint32_t>(pixelBytes));
    for (LONG y = 0; y < size.cy; ++y) {
        const size_t from = size_t(size.cy - 1 - y) * size_t(size.cx);
        char* out = &file[PlainHeaderBytes + size_t(y) * rowBytes];
        for (LONG x = 0; x < size.cx; ++x, out += pixelSize) {
            const uint32_t p = pixels[from + size_t(x)];
            out[0] = static_cast<char>(p & 0xFF);
            out[1] = static_cast<char>((p >> 8) & 0xFF);
            out[2] = static_cast<char>((p >> 16) & 0xFF);
            if (alpha) out[3] = static_cast<char>((*alpha)[from + size_t(x)]);
        }
    }
    return file;
}

// A fixed background, not the dialog face colour, so that every session
// (a user's, or a system service's) converts a picture to the same bytes.
constexpr COLORREF ConversionBackground = RGB(255, 255, 255);

bool ConvertPicture(const TPicture& picture, TLogoTarget target, std::string& bytes)
{
    const SIZE size = FitLogoSide(picture.SizeAt96Dpi());
    if (size.cx <= 0 || size.cy <= 0) return false;
    std::vector<uint32_t> onWhite;
    if (!Render(picture, size, ConversionBackground, onWhite)) return false;
    if (target == TLogoTarget::Legacy) {
        bytes = EncodeBitmap(size, onWhite, nullptr);
        return true;
    }
    // Only an icon has transparent parts; a metafile is opaque on white,
    // whatever it leaves undrawn.
    std::vector<uint8_t> alpha(onWhite.size(), 0xFF);
    if (picture.Kind() == TPictureKind::Icon) {
        std::vector<uint32_t> onBlack;
        if (!Render(picture, size, RGB(0, 0, 0), onBlack)) return false;
        alpha = AlphaOf(onWhite, onBlack);
    }
    bytes = EncodeBitmap(size, onWhite, &alpha);
    return true;
}

}  // namespace

bool IsPlainBitmap(const uint8_t* data, size_t size)
{
    TBitmapLayout layout;
    if (CheckBitmapFile(data, size, layout) != TBitmapCheck::Valid) return false;
    const TByteReader file(data, size);
    const uint32_t headerSize = file.U32(FileHeaderSize);
    if (headerSize == 12) return true;
    if (headerSize != InfoHeaderSize) return false;
    switch (layout.compression) {
    case BmpRgb:
    case BmpRle8:
    case BmpRle4: return true;  // the check matched them with their bit counts
    case BmpBitfields: return !IsWindows9xFamily() || NineXDrawsMasks(file, layout.bitCount);
    default: return false;
    }
}

bool LogoNeedsConversion(const TPicture& picture, TLogoTarget target)
{
    if (picture.Empty()) return false;
    if (picture.Kind() != TPictureKind::Bitmap) return true;
    if (target == TLogoTarget::Registry) return false;
    const std::string& bytes = picture.Bytes();
    return !IsPlainBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool LogoBitmapBytes(const TPicture& picture, TLogoTarget target, std::string& bytes)
{
    if (picture.Empty()) return false;
    try {
        if (!LogoNeedsConversion(picture, target)) {
            bytes = picture.Bytes();
            return true;
        }
        return ConvertPicture(picture, target, bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
