// Run as Windows 98 sees it: a shrunk bitmap is drawn in COLORONCOLOR, the
// best mode the 9x family has (its GDI knows no HALFTONE and would keep the
// default mode, which darkens what it shrinks).
#include "picture/Picture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A 32x32 bitmap of one-pixel black and white checks, shrunk to 8x8 by the
// picture and by StretchBlt itself in `mode`, pixel for pixel.
std::vector<COLORREF> Shrunk(HDC screen, const std::function<void(HDC, HDC)>& draw)
{
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HDC source = CreateCompatibleDC(screen);
    HBITMAP checks = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ oldChecks = SelectObject(source, checks);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            SetPixel(source, x, y, (x + y) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    draw(dc, source);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(source, oldChecks);
    DeleteObject(checks);
    DeleteDC(source);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

TEST(StretchMode, ShrunkPicturesUseColorOnColorOnTheNineXFamily)
{
    ASSERT_EQ(GetVersion() & 0x80000000u, 0x80000000u) << "this test must see a Windows of the 9x family";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "marquill-stretch-mode.bmp";
    ASSERT_TRUE(WriteWholeFile(path, MakeBmp24(32, 32, [](int x, int y) {
        return (x + y) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    })));
    TPicture picture;
    picture.LoadFromFile(path);
    DeleteFileA(path.c_str());

    HDC screen = GetDC(nullptr);
    const RECT dest = {0, 0, 8, 8};
    const auto drawn = Shrunk(screen, [&](HDC dc, HDC) { picture.StretchDraw(dc, dest); });
    const auto expected = Shrunk(screen, [](HDC dc, HDC source) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, 8, 8, source, 0, 0, 32, 32, SRCCOPY);
    });
    const auto halftone = Shrunk(screen, [](HDC dc, HDC source) {
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, 8, 8, source, 0, 0, 32, 32, SRCCOPY);
    });
    ReleaseDC(nullptr, screen);
    ASSERT_NE(expected, halftone) << "the two modes must draw differently for this test to tell them apart";
    EXPECT_EQ(drawn, expected);
}

}  // namespace
