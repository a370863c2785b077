// Reads a PNG written by demo-capture into RGBA8, top row first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <png.h>
#include <string>
#include <vector>

struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    // (x, y) with y counted from the bottom row, as in the 1920 x 1080 frame.
    const uint8_t* at(int x, int yFromBottom) const
    {
        return &pixels[(static_cast<size_t>(height - 1 - yFromBottom) * width + x) * 4];
    }
};

inline bool readPng(const std::string& path, RgbaPicture& picture)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr) != 0;
}
