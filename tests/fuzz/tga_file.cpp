// Fuzz target: the TGA file library's header and pixel reading over arbitrary bytes, then grey
// conversion of what loaded. A success must hold exactly the picture's bytes, taken from the
// file with bytes 0 and 2 swapped in pixels of 3 or more bytes and kept as stored in smaller
// ones; any failure must leave no pixels. Conversion turns only pictures of 3 or more bytes a
// pixel into 8-bit grey and leaves the others as they are.
#include "gfx/tga_file.h"
#include "tests/fuzz/fuzz_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    TgaFileInfo info = {};
    tgaReadHeader(file, info);
    if (info.status == TGA_STATUS_OK)
        tgaReadPixels(file, info);
    std::fclose(file);
    if ((info.status == TGA_STATUS_OK) != (info.data != nullptr))
        std::abort();
    if (info.status != TGA_STATUS_OK)
        return 0;
    if (info.width < 0 || info.height < 0)
        std::abort();
    const size_t bytesPerPixel = info.bpp / 8;
    const size_t pixels = static_cast<size_t>(info.width) * static_cast<size_t>(info.height);
    const size_t bytes = pixels * bytesPerPixel;
    if (size < TGA_FILE_HEADER_BYTES + bytes)
        std::abort();
    requireAddressable(info.data, bytes);
    const uint8_t* stored = data + TGA_FILE_HEADER_BYTES;
    if (bytesPerPixel < 3) {
        if (bytes && std::memcmp(info.data, stored, bytes) != 0)
            std::abort();
    } else {
        const uint8_t* end = info.data + bytes;
        for (const uint8_t* p = info.data; p != end; p += bytesPerPixel, stored += bytesPerPixel)
            if (p[0] != stored[2] || p[1] != stored[1] || p[2] != stored[0] ||
                std::memcmp(p + 3, stored + 3, bytesPerPixel - 3) != 0)
                std::abort();
    }
    const uint8_t bppBefore = info.bpp;
    tgaConvertToGrey(info);
    if (info.bpp != (bytesPerPixel >= 3 ? 8 : bppBefore) || !info.data)
        std::abort();
    requireAddressable(info.data, info.bpp == 8 ? pixels : bytes);
    std::free(info.data);
    return 0;
}
