// Plain Windows bitmaps: recognised by their header, and written from any
// picture.
#include "picture/PlainBitmap.h"

#include "base/Error.h"
#include "base/PlatformApi.h"
#include "base/WinHandles.h"
#include "base/Wow64.h"
#include "picture/ByteReader.h"
#include "picture/Picture.h"
#include "picture/PictureCheck.h"

#include <new>

namespace {

void Put16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;
constexpr size_t PlainHeaderBytes = FileHeaderSize + InfoHeaderSize;

bool WriteAll(HANDLE file, const void* data, size_t size)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool ReadFileStart(const std::string& path, uint8_t* buffer, size_t size, size_t& got)
{
    THandle file(PlatformApi.CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD read = 0;
    if (!file.Valid() || !ReadFile(file.Get(), buffer, static_cast<DWORD>(size), &read, nullptr))
        return false;
    got = read;
    return true;
}

}  // namespace

bool IsPlainBitmapHeader(const uint8_t* data, size_t size)
{
    const TByteReader file(data, size);
    if (!file.Holds(0, FileHeaderSize + 4) || file.U8(0) != 'B' || file.U8(1) != 'M')
        return false;
    const uint32_t headerSize = file.U32(FileHeaderSize);
    if (headerSize == 12)
        return true;
    if (headerSize != InfoHeaderSize || !file.Holds(0, PlainHeaderBytes))
        return false;
    const uint16_t bitCount = file.U16(FileHeaderSize + 14);
    switch (file.U32(FileHeaderSize + 16)) {
    case BmpRgb: return true;
    case BmpRle8: return bitCount == 8;
    case BmpRle4: return bitCount == 4;
    case BmpBitfields: return bitCount == 16 || bitCount == 32;
    default: return false;
    }
}

namespace {

// `picture` at its own size as an uncompressed 24-bit bitmap file with a
// 40-byte header, on `background` where the picture leaves it uncovered;
// empty when it cannot be drawn.
std::string PlainBitmapBytes(const TPicture& picture, COLORREF background)
{
    const int width = picture.Width();
    const int height = picture.Height();
    // Rows of three bytes a pixel, each padded to four bytes.
    const uint64_t rowBytes = (uint64_t(width) * 3 + 3) & ~uint64_t(3);
    const uint64_t pixelBytes = rowBytes * uint64_t(height);
    if (width <= 0 || height <= 0 || PlainHeaderBytes + pixelBytes > 0x7FFFFFFF)
        return std::string();

    BITMAPINFO info = {};
    info.bmiHeader.biSize = InfoHeaderSize;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom row first, as every reader expects
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.Valid() || !bits)
        return std::string();
    {
        TMemoryDC dc(nullptr, bitmap.Get());
        if (!dc.Get())
            return std::string();
        const RECT all = {0, 0, width, height};
        TBrushHandle brush(CreateSolidBrush(background));
        FillRect(dc.Get(), &all, brush.Get());
        picture.Draw(dc.Get(), 0, 0);
        GdiFlush();
    }

    uint8_t header[PlainHeaderBytes] = {'B', 'M'};
    Put32(header + 2, static_cast<uint32_t>(PlainHeaderBytes + pixelBytes));
    Put32(header + 10, PlainHeaderBytes);
    Put32(header + 14, InfoHeaderSize);
    Put32(header + 18, static_cast<uint32_t>(width));
    Put32(header + 22, static_cast<uint32_t>(height));
    Put16(header + 26, 1);
    Put16(header + 28, 24);
    Put32(header + 34, static_cast<uint32_t>(pixelBytes));
    std::string file(reinterpret_cast<const char*>(header), sizeof header);
    file.append(static_cast<const char*>(bits), static_cast<size_t>(pixelBytes));
    return file;
}

bool WriteBitmapFile(const std::string& bytes, const std::string& path)
{
    if (bytes.empty())
        return false;
    THandle file(PlatformApi.CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    if (WriteAll(file.Get(), bytes.data(), bytes.size()))
        return true;
    // A cut-off bitmap would be shown as nothing, or as garbage.
    file.Reset();
    DeleteFileA(path.c_str());
    return false;
}

}  // namespace

bool InstallAsPlainBitmap(const std::string& source, const std::string& dest, bool redirectionOff)
{
    // Only the file reads and writes happen with the redirection off; the
    // picture is decoded and drawn with it on.
    std::string bytes;
    const bool convert = WithRedirectionOff(redirectionOff, [&] {
        uint8_t start[PlainHeaderBytes] = {};
        size_t got = 0;
        if (!ReadFileStart(source, start, sizeof start, got) || IsPlainBitmapHeader(start, got))
            return false;
        try {
            bytes = TPicture::ReadFile(source);
        } catch (const EMarquillError&) {
            return false;
        }
        return true;
    });
    std::string converted;
    if (convert) {
        TPicture picture;
        bool loaded = true;
        try {
            picture.LoadFromBytes(source, std::move(bytes));
        } catch (const EMarquillError&) {
            loaded = false;
        }
        if (loaded && !picture.Empty()) {
            converted = PlainBitmapBytes(picture, GetSysColor(COLOR_3DFACE));
            if (converted.empty())
                return false;
        }
    }
    return WithRedirectionOff(redirectionOff, [&] {
        if (!converted.empty())
            return WriteBitmapFile(converted, dest);
        return PlatformApi.CopyFileA(source.c_str(), dest.c_str(), FALSE) != FALSE;
    });
}
