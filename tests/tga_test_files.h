// Small TGA files built byte by byte for the reader and texture tests, and a throw-away data
// folder to load them from.
#pragma once

#include "gfx/tga.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using TgaBytes = std::vector<uint8_t>;

// The 18 header bytes of an accepted file (image type 2 or 10, no ID, no colour map).
inline TgaBytes tgaHeader(uint8_t imageType, uint16_t width, uint16_t height, uint8_t bpp, uint8_t descriptor = 0)
{
    TgaBytes bytes(18, 0);
    bytes[2] = imageType;
    bytes[12] = static_cast<uint8_t>(width & 0xFF);
    bytes[13] = static_cast<uint8_t>(width >> 8);
    bytes[14] = static_cast<uint8_t>(height & 0xFF);
    bytes[15] = static_cast<uint8_t>(height >> 8);
    bytes[16] = bpp;
    bytes[17] = descriptor;
    return bytes;
}

inline TgaBytes joinBytes(std::initializer_list<TgaBytes> parts)
{
    TgaBytes all;
    for (const TgaBytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Distinct file-order (B, G, R(, A)) values for `count` pixels.
inline TgaBytes patternPixels(size_t count, size_t bytesPerPixel, unsigned seed = 0)
{
    TgaBytes bytes;
    for (size_t i = 0; i < count; ++i)
        for (size_t c = 0; c < bytesPerPixel; ++c)
            bytes.push_back(static_cast<uint8_t>(i * 37 + c * 91 + seed * 13 + 5));
    return bytes;
}

// The same pixels as the reader returns them: R, G, B(, A).
inline TgaBytes swappedPixels(const TgaBytes& filePixels, size_t bytesPerPixel)
{
    TgaBytes out = filePixels;
    for (size_t i = 0; i + 2 < out.size(); i += bytesPerPixel)
        std::swap(out[i], out[i + 2]);
    return out;
}

// A whole file read through the silent or the message-box reader, from memory.
inline bool readTgaBytes(const TgaBytes& bytes, TgaImage& image, TgaFault& fault, bool withMessages = false,
                         const char* name = "test.tga")
{
    static uint8_t empty = 0;
    FILE* file = fmemopen(bytes.empty() ? &empty : const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (!file)
        return false;
    return withMessages ? readTgaFileWithMessages(image, name, file, &fault) : readTgaFile(image, name, file, &fault);
}

inline bool writeFileBytes(const std::string& path, const TgaBytes& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// A 1 x 1 uncompressed 32-bit picture of one colour.
inline TgaBytes solidTga(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
{
    return joinBytes({tgaHeader(2, 1, 1, 32), {b, g, r, a}});
}

// Makes a fresh temporary working directory with an empty data/ and enters it; the previous
// working directory comes back (and the folder goes) when the object ends.
struct ScopedDataFolder {
    std::filesystem::path previous;
    std::filesystem::path root;

    ScopedDataFolder()
    {
        previous = std::filesystem::current_path();
        char pattern[] = "/tmp/tga_data_XXXXXX";
        if (const char* made = mkdtemp(pattern)) {
            root = made;
            std::filesystem::create_directory(root / "data");
            std::filesystem::current_path(root);
        }
    }
    ~ScopedDataFolder()
    {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        if (!root.empty())
            std::filesystem::remove_all(root, ignored);
    }
    bool write(const std::string& name, const TgaBytes& bytes) const
    {
        return writeFileBytes((root / "data" / name).string(), bytes);
    }
};
