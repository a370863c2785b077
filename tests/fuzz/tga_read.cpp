// Fuzz target: the silent TGA reader over arbitrary bytes. A success must describe a picture
// inside the caps; a failure must leave no pixels; uncompressed pixels must be the file's
// bytes with red and blue swapped.
#include "gfx/tga.h"
#include "tests/fuzz/fuzz_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The reader's message-box variant is linked in; this target never shows one.
void showMessageBox(const char*, const char*, unsigned)
{
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    TgaImage image;
    TgaFault fault = TgaFault::NONE;
    bool ok = readTgaFile(image, "fuzz.tga", file, &fault);
    if (ok != (fault == TgaFault::NONE) || ok != (image.data != nullptr))
        std::abort();
    if (!ok)
        return 0;
    if (image.width == 0 || image.height == 0 || image.width > TGA_MAX_DIMENSION ||
        image.height > TGA_MAX_DIMENSION || (image.bpp != 24 && image.bpp != 32))
        std::abort();
    const size_t bytesPerPixel = image.bpp / 8;
    const size_t pictureBytes = bytesPerPixel * image.width * image.height;
    if (data[2] == 2) {
        const size_t body = TGA_FIXED_HEADER_BYTES + TGA_IMAGE_FIELD_BYTES;
        if (size < body + pictureBytes)
            std::abort();
        const uint8_t* stored = data + body;
        for (const uint8_t* p = image.data; p != image.data + pictureBytes; p += bytesPerPixel, stored += bytesPerPixel)
            if (p[0] != stored[2] || p[1] != stored[1] || p[2] != stored[0] || (bytesPerPixel == 4 && p[3] != stored[3]))
                std::abort();
    } else {
        requireAddressable(image.data, pictureBytes);
    }
    releaseTgaImage(image);
    return 0;
}
