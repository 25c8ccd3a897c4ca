#pragma once
// The logo file Windows shows: which pictures it reads as they are, and the
// bitmap any other picture becomes. Everything is made from a loaded
// picture's checked bytes, so an installer never reads the file again, and
// the same picture gives the same bytes in every session.
#include <windows.h>

#include "picture/PictureCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>

class TPicture;

// What reads the logo file.
enum class TLogoTarget {
    // oemlogo.bmp before Vista: converted to 24 bits per pixel, no alpha.
    Legacy,
    // The logo the registry names from Vista on: a bitmap of any form is
    // read as it is; an icon or metafile is converted to 32 bits per pixel
    // whose alpha says where the picture is transparent.
    Registry,
};

// A conversion draws the picture at its own size, or scaled down to fit a
// square of this side keeping its proportions.
constexpr int MaxLogoSide = 256;
// Nothing LogoBitmapBytes gives is longer: a copy is bounded by the picture
// checks, a conversion by MaxLogoSide. The stores' readers must take this.
constexpr uint64_t MaxLogoBitmapBytes = MaxPictureFileSize;

// The .bmp file `data` names a bitmap that the running Windows reads itself:
// a 12-byte header, or a 40-byte one uncompressed, RLE-coded at 4 or 8 bits,
// or with bit fields at 16 or 32 bits; on 95, 98 and ME only with the bit
// fields those releases draw (5-5-5 or 5-6-5 at 16 bits, 8-8-8 at 32).
// False for a file that fails the bitmap check.
bool IsPlainBitmap(const uint8_t* data, size_t size);

// Whether `picture` must be drawn into a new bitmap for `target` rather than
// installed as its own bytes. False for an empty picture.
bool LogoNeedsConversion(const TPicture& picture, TLogoTarget target);

// The bytes of the logo file for `picture` and `target`: its checked bytes
// when it needs no conversion, else the converted bitmap (40-byte header,
// bottom row first, on white). No file is touched. False for an empty
// picture, or when the platform cannot draw it.
bool LogoBitmapBytes(const TPicture& picture, TLogoTarget target, std::string& bytes);

