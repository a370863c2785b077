#include "gfx/ppm_read.h"

#include "core/regular_file.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const NOT_RAW = "Not a raw PPM file";
// Room for the header with its comments.
const uint64_t PPM_MAX_HEADER_BYTES = 65536;

bool isSpace(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Skips whitespace and comments; false at the end of the data.
bool skipSeparators(const uint8_t* data, size_t size, size_t& at)
{
    while (at < size) {
        if (isSpace(data[at])) {
            ++at;
        } else if (data[at] == '#') {
            while (at < size && data[at] != '\n' && data[at] != '\r')
                ++at;
        } else {
            return true;
        }
    }
    return false;
}

// A decimal number; values past `cap` are refused as they are read, so nothing overflows.
bool readNumber(const uint8_t* data, size_t size, size_t& at, int64_t cap, int64_t& value)
{
    size_t start = at;
    value = 0;
    while (at < size && data[at] >= '0' && data[at] <= '9') {
        value = value * 10 + (data[at] - '0');
        if (value > cap)
            return false;
        ++at;
    }
    return at > start;
}

} // namespace

bool decodePpm(const uint8_t* data, size_t size, PpmImage& out, std::string& error)
{
    out = PpmImage();
    if (size < 2 || data[0] != 'P' || data[1] != '6' || (size > 2 && !isSpace(data[2]) && data[2] != '#')) {
        error = NOT_RAW;
        return false;
    }
    const char* names[3] = {"width", "height", "maximum value"};
    const int64_t caps[3] = {PPM_MAX_DIMENSION, PPM_MAX_DIMENSION, PPM_MAX_SAMPLE};
    int64_t values[3] = {};
    size_t at = 2;
    for (int i = 0; i < 3; ++i) {
        if (!skipSeparators(data, size, at)) {
            error = std::string("the header ends before its ") + names[i];
            return false;
        }
        if (!readNumber(data, size, at, caps[i], values[i]) || values[i] < 1 ||
            (at < size && !isSpace(data[at]) && data[at] != '#')) {
            error = std::string("expected a ") + names[i] + " from 1 to " + std::to_string(caps[i]);
            return false;
        }
    }
    // One whitespace byte ends the header; a comment may not stand there.
    if (at >= size || !isSpace(data[at])) {
        error = "the header ends without its closing whitespace";
        return false;
    }
    ++at;
    size_t bytes = static_cast<size_t>(values[0]) * static_cast<size_t>(values[1]) * 3;
    if (size - at < bytes) {
        error = "expected " + std::to_string(bytes) + " bytes of pixels, found " + std::to_string(size - at);
        return false;
    }
    out.width = static_cast<int>(values[0]);
    out.height = static_cast<int>(values[1]);
    out.maxValue = static_cast<int>(values[2]);
    out.pixels.assign(data + at, data + at + bytes);
    return true;
}

uint8_t* objReadPPM(const char* path, int* width, int* height)
{
    // The largest picture and room for any header: a longer file is no picture of ours.
    constexpr uint64_t MAX_FILE_BYTES = 3ull * PPM_MAX_DIMENSION * PPM_MAX_DIMENSION + PPM_MAX_HEADER_BYTES;
    std::string text;
    std::string error;
    if (!readRegularFile(path, text, error, nullptr, MAX_FILE_BYTES)) {
        std::fprintf(stderr, "%s: %s\n", path, error.c_str());
        return nullptr;
    }
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text.data());
    PpmImage image;
    if (!decodePpm(bytes, text.size(), image, error)) {
        std::fprintf(stderr, "%s: %s\n", path, error.c_str());
        return nullptr;
    }
    uint8_t* pixels = new uint8_t[image.pixels.size()];
    std::memcpy(pixels, image.pixels.data(), image.pixels.size());
    if (width)
        *width = image.width;
    if (height)
        *height = image.height;
    return pixels;
}
