// Writes the game's two height-profile pictures into <run dir>/data/: "hfslope1.tga", a slope
// whose surface falls linearly from the left edge to the right, and "heightmap2.tga", a
// rolling floor of a few overlapping waves.
//
// The profile reader takes, per column, the first stored row whose red byte differs from the
// first stored row, as a fraction of the height. Rows are stored first row first and viewers
// show row 0 at the bottom, so the solid ground (one red value) fills rows 0..surface-1 and
// the open space above it another red value; shading lives in green and blue only, which the
// reader ignores. Both pictures are 32-bit and power-of-two sized.
#include "tools/common/generator_main.h"
#include "tools/common/tga_write.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

static constexpr int SLOPE_WIDTH = 256;
static constexpr int SLOPE_HEIGHT = 256;
static constexpr int FLOOR_WIDTH = 512;
static constexpr int FLOOR_HEIGHT = 256;
static constexpr uint8_t GROUND_RED = 255;
static constexpr uint8_t SPACE_RED = 0;
static constexpr float TWO_PI = 6.28318530718f;

// Surface row of every column: rows below it are ground.
using SurfaceRows = std::vector<int>;

// Rows run from 1 (the surface just above the bottom) to height - 1 (a full-height column:
// the reader's value for a column with no change).
static SurfaceRows slopeSurface(int width, int height)
{
    SurfaceRows rows(width);
    for (int x = 0; x < width; ++x) {
        float u = static_cast<float>(x) / (width - 1);
        rows[x] = static_cast<int>(std::lround((height - 1) + u * (1 - (height - 1))));
    }
    return rows;
}

// Three waves with whole periods across the width, so the floor joins up when boxes repeat.
static SurfaceRows rollingSurface(int width, int height)
{
    SurfaceRows rows(width);
    for (int x = 0; x < width; ++x) {
        float u = static_cast<float>(x) / width;
        float v = 0.5f + 0.2f * std::sin(TWO_PI * u) + 0.1f * std::sin(TWO_PI * 3.0f * u + 1.0f) +
                  0.05f * std::sin(TWO_PI * 7.0f * u + 2.0f);
        rows[x] = std::clamp(static_cast<int>(std::lround(v * height)), 1, height - 1);
    }
    return rows;
}

// Ground darkens with depth below the surface and the space above is a pale gradient; only
// green and blue carry the shading.
static std::vector<uint8_t> paintProfile(const SurfaceRows& surface, int width, int height)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            bool ground = y < surface[x];
            if (ground) {
                float depth = static_cast<float>(surface[x] - y) / height;
                p[0] = GROUND_RED;
                p[1] = static_cast<uint8_t>(std::lround(170.0f - 110.0f * depth));
                p[2] = static_cast<uint8_t>(std::lround(60.0f - 40.0f * depth));
            } else {
                float up = static_cast<float>(y) / height;
                p[0] = SPACE_RED;
                p[1] = static_cast<uint8_t>(std::lround(90.0f + 60.0f * up));
                p[2] = static_cast<uint8_t>(std::lround(160.0f + 80.0f * up));
            }
            p[3] = 255;
        }
    }
    return rgba;
}

static bool writeProfile(const std::string& path, const SurfaceRows& surface, int width, int height,
                         std::string& error)
{
    std::vector<uint8_t> rgba = paintProfile(surface, width, height);
    TgaSource source;
    source.width = width;
    source.height = height;
    source.rgba = rgba.data();
    return writeTgaFile(path, source, 32, TgaEncoding::Uncompressed, error);
}

int main(int argc, char** argv)
{
    return runGenerator("height_pictures", argc, argv, [](const std::string& dataDir, std::string& error) {
        return writeProfile(dataDir + "/hfslope1.tga", slopeSurface(SLOPE_WIDTH, SLOPE_HEIGHT), SLOPE_WIDTH,
                            SLOPE_HEIGHT, error) &&
               writeProfile(dataDir + "/heightmap2.tga", rollingSurface(FLOOR_WIDTH, FLOOR_HEIGHT), FLOOR_WIDTH,
                            FLOOR_HEIGHT, error);
    });
}
