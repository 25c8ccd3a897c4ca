// Feeds arbitrary bytes to the picture checks. The first byte picks the
// kind, the rest is the file, held in a block of exactly its size. Whatever
// a check accepts must describe bytes inside the file, and a bitmap it
// accepts must decode without a read or write outside its buffers.
#include "picture/PictureCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t inputSize)
{
    if (inputSize < 1) return 0;
    const size_t size = inputSize - 1;
    std::unique_ptr<uint8_t[]> file(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(file.get(), input + 1, size);
    switch (input[0] % 4) {
    case 0: {
        TBitmapLayout layout;
        if (CheckBitmapFile(file.get(), size, layout) != TBitmapCheck::Valid) return 0;
        if (layout.bitsOffset + layout.bitsSize > size) std::abort();
        // Decoding a huge claim is not what is under test here.
        if (uint64_t(layout.width) * uint64_t(layout.height) > (1u << 22)) return 0;
        std::vector<uint32_t> pixels(size_t(layout.width) * size_t(layout.height));
        DecodeBitmap(file.get(), size, layout, pixels.data());
        break;
    }
    case 1: {
        TIconImage image;
        const bool pngDecodable = size % 2 == 0;
        if (CheckIconFile(file.get(), size, 32, pngDecodable, image) &&
            (uint64_t(image.offset) + image.size > size || (image.png && !pngDecodable)))
            std::abort();
        break;
    }
    case 2: {
        TEnhMetafileInfo info;
        if (CheckEnhMetafile(file.get(), size, info) && info.bytes > size) std::abort();
        break;
    }
    default: {
        TMetafileInfo info;
        if (CheckMetafile(file.get(), size, info) && uint64_t(info.bitsOffset) + info.bitsSize > size) std::abort();
        break;
    }
    }
    return 0;
}
