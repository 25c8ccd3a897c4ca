#pragma once
// Bitmap files that every Windows reads: telling them apart from the kinds
// only our own decoder knows, and writing any picture as one.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

// The start of a .bmp file names a bitmap that Windows 95 and later read
// themselves: a 12-byte header, or a 40-byte one uncompressed, RLE-coded at
// 4 or 8 bits, or with bit fields at 16 or 32 bits.
bool IsPlainBitmapHeader(const uint8_t* data, size_t size);

// Puts the picture file `source` at `dest` as a bitmap that Windows shows:
// a plain bitmap, and a file that does not load as a picture at all, are
// copied byte for byte; any other picture is drawn into a plain bitmap on
// the dialog face colour, where Windows draws the logo. False on failure.
// With `redirectionOff`, both files are read and written with the WOW64
// redirection off (the picture is decoded with it on).
bool InstallAsPlainBitmap(const std::string& source, const std::string& dest, bool redirectionOff);
