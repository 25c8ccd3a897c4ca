#pragma once
// Structural checks of the four picture file kinds, done before any byte of
// a file reaches the platform's decoders, and the bitmap decoder itself.
// Each kind has a file of its own (BitmapCheck, IconCheck, EnhMetafileCheck,
// MetafileCheck), all reading through TByteReader.
// Nothing here knows Windows, so it also builds natively under sanitizers.
//
// Every check takes the whole file in memory and trusts none of its lengths,
// counts or offsets: all arithmetic on them is done in 64 bits and compared
// with the file's size before anything is read.
#include <cstddef>
#include <cstdint>
#include <string>

enum class TPictureKind { Unknown, Bitmap, Icon, EnhMetafile, Metafile };

// The text after the last "." of the last path element, as written; empty
// when that element has no ".".
std::string PictureFileExtension(const std::string& path);
// The kind named by an extension, compared without regard to letter case.
TPictureKind PictureKindFromExtension(const std::string& ext);

// Caps that keep a hostile file from making us allocate without bound.
constexpr uint64_t MaxPictureFileSize = 64u * 1024 * 1024;
constexpr uint64_t MaxBitmapPixels = 64u * 1024 * 1024;
constexpr int32_t MaxPictureSide = 32767;
constexpr uint64_t MaxRlePixelsPerByte = 1024;
constexpr uint64_t MaxRlePixelsAnyway = 1024 * 1024;

// ---- Bitmap -------------------------------------------------------------

enum class TBitmapCheck { Valid, TooShort, NotBitmap, Invalid };

// Compression codes as they stand in the info header.
enum : uint32_t { BmpRgb = 0, BmpRle8 = 1, BmpRle4 = 2, BmpBitfields = 3, BmpAlphaBitfields = 6 };

// The fields of a DIB's info header that the checks rely on, whether the
// DIB stands in a .bmp file or inside a metafile record.
struct TDibHeader {
    int32_t width = 0;
    int32_t height = 0;  // always positive; see topDown
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = BmpRgb;
    uint32_t colorsUsed = 0;
    uint32_t sizeImage = 0;
};

// A checked .bmp file: its header, and where its colours and pixels are.
struct TBitmapLayout : TDibHeader {
    uint32_t masks[4] = {};      // red, green, blue, alpha for 16 and 32 bits
    uint32_t paletteOffset = 0;  // from the file's start
    uint32_t paletteEntries = 0;
    uint32_t paletteEntrySize = 4;  // 3 in a 12-byte core header
    uint64_t bitsOffset = 0;
    uint64_t bitsSize = 0;       // bytes of pixel data the decoder may read
};

// Checks a whole .bmp file (file header included). `size` 0 is not a bitmap
// error: the caller treats an empty file as an empty picture before this.
TBitmapCheck CheckBitmapFile(const uint8_t* data, size_t size, TBitmapLayout& layout);

// Decodes the checked bitmap into `dest`: width * height pixels, top row
// first, each 0x00RRGGBB. Returns false when the pixel data turns out to be
// malformed (an RLE stream running off the image); `dest` is then partly
// written. Never reads outside [data, data + size).
bool DecodeBitmap(const uint8_t* data, size_t size, const TBitmapLayout& layout, uint32_t* dest);

// ---- Icon ---------------------------------------------------------------

struct TIconImage {
    uint32_t offset = 0;   // of the chosen image's bytes in the file
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool png = false;
};

// Checks the directory and every entry of an .ico file and picks the image
// to show: the one of `preferredSide` pixels with the most colours, else the
// largest. Entries whose own header is unsound are passed over, and so are
// PNG images unless `pngDecodable` (Windows decodes them from Vista on); the
// file is valid when at least one entry is usable and every directory entry
// lies inside the file.
bool CheckIconFile(const uint8_t* data, size_t size, int preferredSide, bool pngDecodable, TIconImage& image);

// ---- Enhanced metafile --------------------------------------------------

struct TEnhMetafileInfo {
    uint32_t bytes = 0;                   // the metafile's own length (nBytes)
    int32_t frameLeft = 0, frameTop = 0;  // in 0.01 mm, from the header
    int32_t frameRight = 0, frameBottom = 0;
};

bool CheckEnhMetafile(const uint8_t* data, size_t size, TEnhMetafileInfo& info);

// ---- Windows metafile ---------------------------------------------------

struct TMetafileInfo {
    bool placeable = false;
    int16_t left = 0, top = 0, right = 0, bottom = 0;  // placeable bounding box
    uint16_t unitsPerInch = 0;
    uint32_t bitsOffset = 0;  // where the metafile proper starts (0 or 22)
    // Its length in bytes up to and including the end record, and its longest
    // record in words: what its header should say. The caller writes both
    // into the header it hands on, so no decoder relies on the file's own.
    uint32_t bitsSize = 0;
    uint32_t maxRecordWords = 0;
    // The first SetWindowExt record's extent, used for the size of a file
    // without the placeable header; 0 when there is none.
    int16_t windowExtX = 0, windowExtY = 0;
};

bool CheckMetafile(const uint8_t* data, size_t size, TMetafileInfo& info);
