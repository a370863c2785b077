#include "png_write.h"

#include <cstdio>
#include <png.h>
#include <vector>

namespace {

// Encodes into an open file; false when libpng or a write reported an error.
bool encodePng(FILE* file, int width, int height, const uint8_t* rgba)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    // libpng's own writes check fwrite and jump here when one falls short.
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = height - 1; y >= 0; --y)
        png_write_row(png, const_cast<png_bytep>(rgba + static_cast<size_t>(y) * width * 4));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePngBottomUp(const std::string& path, int width, int height, const uint8_t* rgba)
{
    // Written under a temporary name and renamed when every write, the flush and the close
    // succeeded: a full disk leaves no cut-short picture under the real name, and no temporary.
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool ok = encodePng(file, width, height, rgba);
    ok = std::fflush(file) == 0 && !std::ferror(file) && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}
