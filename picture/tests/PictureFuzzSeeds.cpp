// Writes the tests' sample pictures into a folder as the fuzzer's first
// inputs, each prefixed with the byte that picks its kind.
#include "picture/tests/PictureTestFiles.h"

#include <cstdio>
#include <string>

using namespace picture_test;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::vector<uint32_t> four = {Red, Green, Blue, White};
    const struct { const char* name; char kind; std::string bytes; } seeds[] = {
        {"rgb24.bmp", 0, SampleBmp()},
        {"rle8.bmp", 0, MakeBmp({"rle8", 7, 5, 8, 1, 40, four, {0, 0, 0}}, Quadrants(7, 5))},
        {"rle4.bmp", 0, MakeBmp({"rle4", 9, 5, 4, 2, 40, four, {0, 0, 0}}, Quadrants(9, 5))},
        {"v5.bmp", 0, MakeBmp({"v5", 7, 5, 32, 3, 124, {}, {0xFF0000, 0xFF00, 0xFF}}, Quadrants(7, 5))},
        {"multi.ico", 1, MakeIco({{16, 4, four}, {32, 8, four}, {32, 32, {}}})},
        {"png.ico", 1, PngIco(16, Red)},
        {"rich.emf", 2, RichEmf()},
        {"rich.wmf", 3, RichWmf()},
        {"plain.wmf", 3, SampleWmf(false)},
    };
    for (const auto& seed : seeds) {
        const std::string path = std::string(argv[1]) + "/" + seed.name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return 1;
        const std::string data = std::string(1, seed.kind) + seed.bytes;
        const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
        if (std::fclose(f) != 0 || !written) return 1;
    }
    return 0;
}
