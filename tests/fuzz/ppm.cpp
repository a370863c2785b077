// Fuzz target: the PPM decoder over arbitrary bytes. A picture that decodes holds exactly
// width x height x 3 bytes within the size caps; a refusal says why.
#include "gfx/ppm_read.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PpmImage image;
    std::string error;
    if (!decodePpm(data, size, image, error)) {
        if (error.empty() || !image.pixels.empty())
            std::abort();
        return 0;
    }
    if (image.width < 1 || image.width > PPM_MAX_DIMENSION || image.height < 1 || image.height > PPM_MAX_DIMENSION ||
        image.maxValue < 1 || image.maxValue > PPM_MAX_SAMPLE ||
        image.pixels.size() != size_t(image.width) * size_t(image.height) * 3 || image.pixels.size() > size)
        std::abort();
    return 0;
}
