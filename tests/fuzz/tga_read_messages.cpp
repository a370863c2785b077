// Fuzz target: the message-box TGA reader over arbitrary bytes. It must show at most one box,
// exactly when the fault has a text, with a caption, and never on success.
#include "gfx/tga.h"
#include "tests/fuzz/fuzz_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

static int boxesShown = 0;

void showMessageBox(const char* text, const char* caption, unsigned)
{
    if (!text || !caption || !*text)
        std::abort();
    ++boxesShown;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    boxesShown = 0;
    TgaImage image;
    TgaFault fault = TgaFault::NONE;
    bool ok = readTgaFileWithMessages(image, "fuzz.tga", file, &fault);
    if (ok != (fault == TgaFault::NONE) || ok != (image.data != nullptr))
        std::abort();
    if (boxesShown != (tgaFaultText(fault) ? 1 : 0) || (ok && boxesShown != 0))
        std::abort();
    if (ok)
        requireAddressable(image.data, static_cast<size_t>(image.bpp / 8) * image.width * image.height);
    releaseTgaImage(image);
    return 0;
}
