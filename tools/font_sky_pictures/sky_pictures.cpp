// The textures of the sky and cloud programs. The noise and the clouds tile: their noise
// lattices repeat with the picture, so the programs can scroll them without seams.
#include "tools/font_sky_pictures/pictures.h"

#include <algorithm>  // std::minmax_element
#include <cstddef>
#include <vector>

namespace {

constexpr int NOISE_CHANNELS = 3;
constexpr int NOISE_OCTAVES = 2;
constexpr float NOISE_GAIN = 0.5f;
// Lattice cells across the picture per channel: the blue channel is twice as fine.
constexpr int NOISE_CELLS[NOISE_CHANNELS] = {16, 16, 32};
constexpr uint32_t NOISE_SEEDS[NOISE_CHANNELS] = {0x5EED1u, 0x5EED2u, 0x5EED3u};

constexpr int CLOUD_CELLS = 8;  // lattice cells across the cloud picture
constexpr int CLOUD_OCTAVES = 6;
constexpr float CLOUD_GAIN = 0.52f;
constexpr uint32_t CLOUD_SEED = 0xC10D5u;
constexpr float CLOUD_COVER_LOW = 0.46f;   // normalised noise where cloud starts
constexpr float CLOUD_COVER_HIGH = 0.74f;  // and where it is fully dense
constexpr int CLOUD_LIGHT_OFFSET = 5;      // pixels towards the light for the shading
constexpr float CLOUD_LIGHT_GAIN = 7.0f;
constexpr Rgb CLOUD_LIT = {1.00f, 0.98f, 0.95f};
constexpr Rgb CLOUD_SHADOW = {0.50f, 0.54f, 0.66f};

// Evening palettes along the elevation: dark haze below the horizon (u < 0.1), the glow on the
// horizon, and the sky darkening towards the zenith.
constexpr GradientStop DUSK[] = {
    {0.00f, {0.05f, 0.05f, 0.10f}}, {0.10f, {0.30f, 0.22f, 0.30f}}, {0.14f, {1.00f, 0.62f, 0.38f}},
    {0.22f, {0.95f, 0.50f, 0.45f}}, {0.40f, {0.55f, 0.40f, 0.62f}}, {0.70f, {0.20f, 0.25f, 0.55f}},
    {1.00f, {0.05f, 0.08f, 0.25f}},
};
constexpr GradientStop WARM_EVENING[] = {
    {0.00f, {0.08f, 0.06f, 0.08f}}, {0.10f, {0.45f, 0.30f, 0.25f}}, {0.14f, {1.00f, 0.80f, 0.45f}},
    {0.25f, {1.00f, 0.62f, 0.35f}}, {0.45f, {0.70f, 0.55f, 0.60f}}, {0.75f, {0.35f, 0.45f, 0.70f}},
    {1.00f, {0.15f, 0.25f, 0.55f}},
};
constexpr int DUSK_STOPS = sizeof(DUSK) / sizeof(DUSK[0]);
constexpr int WARM_EVENING_STOPS = sizeof(WARM_EVENING) / sizeof(WARM_EVENING[0]);

size_t pixelIndex(const Canvas& canvas, int x, int y)
{
    return static_cast<size_t>(y) * static_cast<size_t>(canvas.width) + static_cast<size_t>(x);
}

// Tiling fractal noise over the whole picture, stretched to 0..1.
std::vector<float> tilingNoise(int width, int height, int cells, uint32_t seed, int octaves, float gain)
{
    std::vector<float> values(static_cast<size_t>(width) * static_cast<size_t>(height));
    const float perPixelX = static_cast<float>(cells) / static_cast<float>(width);
    const float perPixelY = static_cast<float>(cells) / static_cast<float>(height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            values[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]
                = sampleFractalNoise(static_cast<float>(x) * perPixelX, static_cast<float>(y) * perPixelY,
                    seed, octaves, gain, cells, cells);
    const auto range = std::minmax_element(values.begin(), values.end());
    const float low = *range.first;
    const float span = *range.second - low > 0.0f ? *range.second - low : 1.0f;
    for (float& v : values)
        v = (v - low) / span;
    return values;
}

bool requirePowerOfTwo(const Canvas& canvas, std::string& error)
{
    auto powerOfTwo = [](int n) { return n > 0 && (n & (n - 1)) == 0; };
    if (!powerOfTwo(canvas.width) || !powerOfTwo(canvas.height)) {
        error = "tiling textures need power-of-two sides";
        return false;
    }
    return true;
}

}  // namespace

bool drawNoise(Canvas& canvas, std::string& error)
{
    if (!requirePowerOfTwo(canvas, error))
        return false;
    std::vector<float> channels[NOISE_CHANNELS];
    for (int c = 0; c < NOISE_CHANNELS; ++c)
        channels[c] = tilingNoise(canvas.width, canvas.height, NOISE_CELLS[c], NOISE_SEEDS[c], NOISE_OCTAVES,
            NOISE_GAIN);
    for (size_t i = 0; i < canvas.pixels.size(); ++i)
        canvas.pixels[i] = Rgba{channels[0][i], channels[1][i], channels[2][i], 1.0f};
    return true;
}

bool drawSkyColor(Canvas& canvas, std::string&)
{
    for (int y = 0; y < canvas.height; ++y) {
        const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(canvas.height);
        for (int x = 0; x < canvas.width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(canvas.width);
            const Rgb colour = mixRgb(sampleGradient(DUSK, DUSK_STOPS, u),
                sampleGradient(WARM_EVENING, WARM_EVENING_STOPS, u), smoothStep(0.0f, 1.0f, v));
            canvas.pixels[pixelIndex(canvas, x, y)] = Rgba{colour.r, colour.g, colour.b, 1.0f};
        }
    }
    return true;
}

bool drawSkyClouds(Canvas& canvas, std::string& error)
{
    if (!requirePowerOfTwo(canvas, error))
        return false;
    const std::vector<float> noise
        = tilingNoise(canvas.width, canvas.height, CLOUD_CELLS, CLOUD_SEED, CLOUD_OCTAVES, CLOUD_GAIN);
    auto noiseAt = [&](int x, int y) {
        // Power-of-two sides: the mask wraps the neighbour reads around the tile.
        return noise[pixelIndex(canvas, x & (canvas.width - 1), y & (canvas.height - 1))];
    };
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float here = noiseAt(x, y);
            const float density = smoothStep(CLOUD_COVER_LOW, CLOUD_COVER_HIGH, here);
            // Where the cloud thins towards the light its surface faces the light.
            const float facing = here - noiseAt(x, y + CLOUD_LIGHT_OFFSET);
            const float light = clampUnit(0.7f + CLOUD_LIGHT_GAIN * facing) * (1.0f - 0.3f * density);
            const Rgb colour = mixRgb(CLOUD_SHADOW, CLOUD_LIT, light);
            canvas.pixels[pixelIndex(canvas, x, y)]
                = Rgba{colour.r * density, colour.g * density, colour.b * density, density};
        }
    return true;
}
