// Binary PPM pictures (P6) for the OBJ library, without any GL.
//
// Header: "P6", then width, height and maximum value as decimal numbers separated by any
// whitespace, with "#" comments to the end of a line anywhere between them; one whitespace byte
// ends the header and width x height x 3 bytes of R, G, B follow, top row first. Refused: other
// magic numbers (P3 included), sizes outside 1 .. PPM_MAX_DIMENSION, maximum values outside
// 1 .. 255 (two-byte samples), and files that end before their pixels do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int PPM_MAX_DIMENSION = 16384;
constexpr int PPM_MAX_SAMPLE = 255;

struct PpmImage {
    int width = 0;
    int height = 0;
    int maxValue = 0;
    std::vector<uint8_t> pixels; // width x height x 3
};

// False with the reason in `error` ("Not a raw PPM file" for a wrong magic number).
bool decodePpm(const uint8_t* data, size_t size, PpmImage& out, std::string& error);

// Reads the file at `path` as given. Returns a new[] RGB buffer with the size in *width and
// *height, or null after a line on stderr ("PATH: reason").
uint8_t* objReadPPM(const char* path, int* width, int* height);
