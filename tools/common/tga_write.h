// TGA encoder for the data generators: the subset the engine reads. True colour at 24 or 32
// bits, uncompressed (image type 2) or run-length encoded (image type 10), no ID field, no
// colour map, origin (0, 0). Rows are stored in the order given, and the engine hands them to
// GL in file order, so callers pass the bottom row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int TGA_WRITE_HEADER_BYTES = 18;
constexpr int TGA_WRITE_MAX_SIDE = 65535;         // width and height are 16-bit fields
constexpr int TGA_WRITE_MAX_PACKET_PIXELS = 128;  // one packet header covers 1..128 pixels
constexpr uint8_t TGA_WRITE_TYPE_UNCOMPRESSED = 2;
constexpr uint8_t TGA_WRITE_TYPE_RUN_LENGTH = 10;

enum class TgaEncoding { Uncompressed, RunLength };

// A picture to encode: width x height pixels of R, G, B, A bytes, bottom row first. At 24 bits
// the alpha bytes are dropped.
struct TgaSource {
    int width = 0;
    int height = 0;
    const uint8_t* rgba = nullptr;
};

// Encodes `source` into `file` (replacing its contents). Run-length packets never cross a row
// end, so other readers that insist on that accept the files too. False, with `error` set, for
// a size the format cannot hold, a depth other than 24 or 32, or missing pixels.
bool encodeTga(const TgaSource& source, int bitsPerPixel, TgaEncoding encoding,
    std::vector<uint8_t>& file, std::string& error);

// encodeTga, then writes the bytes to `path`; false with `error` set when anything fails.
bool writeTgaFile(const std::string& path, const TgaSource& source, int bitsPerPixel,
    TgaEncoding encoding, std::string& error);
