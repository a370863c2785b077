// The landscape: a long, gently rolling valley floor straight down the flight line, walled by
// ridged mountains that roll lower towards the far edges (where the fog takes them).
//
// Pictures:
// - "terrainh.tga" (TERRAIN_COLUMNS x TERRAIN_ROWS): the height in red (green and blue repeat it
//   so the picture reads as grey in a viewer).
// - "terrain.tga" (the same size): the ground colour of each grid point, which the scene stretches
//   over the whole landscape (u across, v along the flight): fields and meadow on the floor,
//   rock with strata on the slopes, snow on the high ground.
// - "terrain_normal.tga" (TERRAIN_DETAIL_SIDE square, tiling): relief that the terrain shader
//   repeats every 8 cells, gentle at the scale of the tile so the low sun does not mottle the
//   ground, with clumps and grain of a few units; its alpha is the ground's fine brightness.
// - "terrain_chraber.tga": the dawn light ramp (shadowed side violet, lit side warm).
// - "terrain_specular.tga": a dull surface.
#include "tools/flyover_data/flyover_data.h"

#include "tools/common/canvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int TERRAIN_DETAIL_SIDE = 512;
constexpr int TERRAIN_DETAIL_PERIOD = 8;  // noise cells across the tile
constexpr float TERRAIN_DETAIL_RELIEF = 0.45f;
constexpr int RAMP_WIDTH = 256;
constexpr int RAMP_HEIGHT = 4;
constexpr int FLAT_SIDE = 8;
constexpr float PI = 3.14159265358979f;

constexpr uint32_t SEED_WALL = 1101;
constexpr uint32_t SEED_FLOOR = 1203;
constexpr uint32_t SEED_MOUNTAIN = 1307;
constexpr uint32_t SEED_HILLS = 1409;
constexpr uint32_t SEED_GRASS = 1511;
constexpr uint32_t SEED_ROCK = 1613;
constexpr uint32_t SEED_DETAIL = 1717;
constexpr uint32_t SEED_FIELDS = 1819;

float fractal(float x, float y, uint32_t seed, int octaves)
{
    return sampleFractalNoise(x, y, seed, octaves, 0.5f);
}

// Sharp crests where the noise crosses its middle.
float ridged(float x, float y, uint32_t seed, int octaves)
{
    float sum = 0.0f, total = 0.0f, amplitude = 1.0f, scale = 1.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        const float n = sampleValueNoise(x * scale, y * scale, seed + static_cast<uint32_t>(octave) * 53u);
        const float crest = 1.0f - std::fabs(2.0f * n - 1.0f);
        sum += amplitude * crest * crest;
        total += amplitude;
        amplitude *= 0.5f;
        scale *= 2.0f;
    }
    return sum / total;
}

// v, leaning smoothly into `limit` over the last `knee` below it (a hard clamp would leave a
// flat shelf with a crease along its edge).
float softCeiling(float v, float limit, float knee)
{
    const float start = limit - knee;
    return v < start ? v : start + knee * std::tanh((v - start) / knee);
}

float softFloor(float v, float limit, float knee)
{
    return -softCeiling(-v, -limit, knee);
}

float heightRed(int row, int column)
{
    const float i = static_cast<float>(row);
    const float j = static_cast<float>(column);
    const float dx = std::fabs(j - static_cast<float>(TERRAIN_CENTRE_COLUMN));
    // The valley narrows and widens slowly (5.5 to 8.5 cells to the foot of the walls).
    const float wall = 7.0f + 3.0f * (fractal(i / 70.0f, 0.5f, SEED_WALL, 2) - 0.5f);
    // The floor rolls in long swells the ship rides over.
    float floorRed = 30.0f + 130.0f * sampleFractalNoise(j / 12.0f, i / 40.0f, SEED_FLOOR, 3, 0.4f);
    floorRed += 14.0f * std::sin(2.0f * PI * i / 160.0f);
    floorRed = softFloor(softCeiling(floorRed, 150.0f, 30.0f), 30.0f, 15.0f);
    float mountainRed = 90.0f + 185.0f * ridged(j / 20.0f, i / 26.0f, SEED_MOUNTAIN, 3);
    const float hills = 50.0f + 150.0f * sampleFractalNoise(j / 26.0f, i / 36.0f, SEED_HILLS, 3, 0.4f);
    mountainRed = mountainRed + (hills - mountainRed) * 0.6f * smoothStep(30.0f, 90.0f, dx);
    const float t = smoothStep(wall, wall + 8.0f, dx);
    float red = floorRed + (mountainRed - floorRed) * t;
    if (dx <= static_cast<float>(TERRAIN_CORRIDOR_CELLS))
        red = softCeiling(red, static_cast<float>(TERRAIN_CENTRE_RED_LIMIT), 20.0f);
    return std::clamp(red, 0.0f, 255.0f);
}

float redAt(const std::vector<uint8_t>& heights, int row, int column)
{
    row = std::clamp(row, 0, TERRAIN_ROWS - 1);
    column = std::clamp(column, 0, TERRAIN_COLUMNS - 1);
    return heights[static_cast<size_t>(row) * TERRAIN_COLUMNS + static_cast<size_t>(column)];
}

// The field a cell of the valley floor belongs to: parcels about 9 cells across and 14 along the
// flight, each row of parcels shifted by its own amount, one crop per parcel.
Rgb fieldColour(int row, int column)
{
    constexpr int PARCEL_ALONG = 14;
    constexpr int PARCEL_ACROSS = 9;
    static const Rgb CROPS[] = {
        {0.34f, 0.48f, 0.15f},  // young wheat
        {0.70f, 0.58f, 0.26f},  // ripe wheat
        {0.28f, 0.44f, 0.19f},  // pasture
        {0.40f, 0.29f, 0.19f},  // ploughed earth
        {0.76f, 0.68f, 0.22f},  // rapeseed
        {0.25f, 0.36f, 0.16f},  // clover
    };
    const uint32_t parcelRow = static_cast<uint32_t>(row / PARCEL_ALONG);
    const int shift = static_cast<int>(hashUnit(parcelRow, 0u, SEED_FIELDS) * PARCEL_ACROSS);
    const uint32_t parcelColumn = static_cast<uint32_t>((column + shift) / PARCEL_ACROSS);
    const float pick = hashUnit(parcelRow, parcelColumn, SEED_FIELDS + 1u);
    const Rgb crop = CROPS[static_cast<int>(pick * 6.0f) % 6];
    const Rgb field = scaleRgb(crop, 0.90f + 0.20f * hashUnit(parcelRow, parcelColumn, SEED_FIELDS + 2u));
    // A hedge along each parcel's first row and column: the patchwork still reads from high up.
    const bool hedge = row % PARCEL_ALONG == 0 || (column + shift) % PARCEL_ACROSS == 0;
    return hedge ? mixRgb(field, Rgb{0.12f, 0.20f, 0.09f}, 0.45f) : field;
}

// Fields on the low, gentle floor of the valley; meadow, then rock on the slopes; snow on the
// high ground where it is not too steep. The thresholds wander with noise of several cells, so
// the lines between them neither trace contours nor break into single-cell specks.
Rgb groundColour(const std::vector<uint8_t>& heights, int row, int column)
{
    const float red = redAt(heights, row, column);
    const float gx = 0.5f * (redAt(heights, row, column + 1) - redAt(heights, row, column - 1));
    const float gy = 0.5f * (redAt(heights, row + 1, column) - redAt(heights, row - 1, column));
    const float slope = std::sqrt(gx * gx + gy * gy);  // red levels per cell
    const float i = static_cast<float>(row);
    const float j = static_cast<float>(column);

    const Rgb meadow{0.34f, 0.42f, 0.19f};
    const Rgb dryMeadow{0.52f, 0.48f, 0.29f};
    const Rgb rock{0.47f, 0.42f, 0.37f};
    const Rgb darkRock{0.31f, 0.28f, 0.27f};
    const Rgb snow{0.93f, 0.93f, 0.97f};
    const float wander = fractal(j / 14.0f, i / 18.0f, SEED_ROCK + 7u, 3) - 0.5f;
    Rgb colour = mixRgb(meadow, dryMeadow, smoothStep(0.35f, 0.7f, fractal(j / 18.0f, i / 26.0f, SEED_GRASS, 3)));
    // Farmland keeps to the valley and its gentle sides, not the far hills.
    const float fromValley = std::fabs(j - static_cast<float>(TERRAIN_CENTRE_COLUMN));
    const float farmland = (1.0f - smoothStep(3.0f, 7.0f, slope + 3.0f * wander))
        * (1.0f - smoothStep(150.0f, 185.0f, red + 30.0f * wander)) * (1.0f - smoothStep(14.0f, 26.0f, fromValley + 6.0f * wander));
    colour = mixRgb(colour, fieldColour(row, column), farmland);
    const Rgb stone = mixRgb(darkRock, rock, smoothStep(0.3f, 0.7f, fractal(j / 9.0f, i / 12.0f, SEED_ROCK, 3)));
    const float rockiness =
        smoothStep(5.0f, 14.0f, slope + 6.0f * wander) + 0.85f * smoothStep(125.0f, 185.0f, red + 40.0f * wander);
    colour = mixRgb(colour, stone, clampUnit(rockiness));
    const float snowiness =
        smoothStep(200.0f, 238.0f, red + 30.0f * wander) * (1.0f - 0.7f * smoothStep(12.0f, 24.0f, slope));
    return mixRgb(colour, snow, snowiness);
}

bool writeHeightsAndColours(const std::string& dataDir, std::string& error)
{
    const std::vector<uint8_t> heights = makeTerrainHeights();
    Picture heightPicture = makePicture(TERRAIN_COLUMNS, TERRAIN_ROWS);
    Picture colourPicture = makePicture(TERRAIN_COLUMNS, TERRAIN_ROWS);
    for (int row = 0; row < TERRAIN_ROWS; ++row) {
        for (int column = 0; column < TERRAIN_COLUMNS; ++column) {
            const uint8_t red = heights[static_cast<size_t>(row) * TERRAIN_COLUMNS + static_cast<size_t>(column)];
            uint8_t* p = &heightPicture.rgba[(static_cast<size_t>(row) * TERRAIN_COLUMNS + column) * 4];
            p[0] = p[1] = p[2] = red;
            p[3] = 255;
            const Rgb c = groundColour(heights, row, column);
            setPixel(colourPicture, column, row, c.r, c.g, c.b, 1.0f);
        }
    }
    return writePicture(dataDir, "terrainh.tga", heightPicture, 24, error) &&
           writePicture(dataDir, "terrain.tga", colourPicture, 24, error);
}

// Tiling relief in three scales: gentle swells over the tile, clumps of a few units and a fine
// grain, so the ground up close has texture of its own under the stretched colour picture.
// Normals come from the slope of the summed height; alpha is the ground's fine brightness,
// darker in the hollows and flecked by the grain.
bool writeDetail(const std::string& dataDir, std::string& error)
{
    const int n = TERRAIN_DETAIL_SIDE;
    std::vector<float> height(static_cast<size_t>(n) * n);
    std::vector<float> fleck(static_cast<size_t>(n) * n);
    const float cell = static_cast<float>(n) / TERRAIN_DETAIL_PERIOD;
    constexpr int CLUMPS = TERRAIN_DETAIL_PERIOD * 4;
    constexpr int GRAIN = TERRAIN_DETAIL_PERIOD * 16;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const float swell = sampleFractalNoise(fx / cell, fy / cell, SEED_DETAIL, 3, 0.5f, TERRAIN_DETAIL_PERIOD,
                                                   TERRAIN_DETAIL_PERIOD);
            const float clump = sampleFractalNoise(fx / n * CLUMPS, fy / n * CLUMPS, SEED_DETAIL + 1u, 2, 0.5f, CLUMPS,
                                                   CLUMPS);
            const float grain = sampleValueNoise(fx / n * GRAIN, fy / n * GRAIN, SEED_DETAIL + 2u, GRAIN, GRAIN);
            const size_t i = static_cast<size_t>(y) * n + x;
            height[i] = 0.5f * swell + 0.10f * clump + 0.03f * grain;
            fleck[i] = 0.5f * clump + 0.5f * grain;
        }
    auto at = [&](int x, int y) { return height[static_cast<size_t>((y + n) % n) * n + (x + n) % n]; };
    Picture picture = makePicture(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const float dx = (at(x + 1, y) - at(x - 1, y)) * cell * TERRAIN_DETAIL_RELIEF;
            const float dy = (at(x, y + 1) - at(x, y - 1)) * cell * TERRAIN_DETAIL_RELIEF;
            const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
            const float f = fleck[static_cast<size_t>(y) * n + x];
            const float shade = 0.80f + 0.05f * smoothStep(0.1f, 0.4f, at(x, y)) + 0.15f * smoothStep(0.3f, 0.7f, f);
            setPixel(picture, x, y, 0.5f - 0.5f * dx / length, 0.5f - 0.5f * dy / length, 0.5f + 0.5f / length,
                     shade);
        }
    }
    return writePicture(dataDir, "terrain_normal.tga", picture, 32, error);
}

bool writeRampAndSpecular(const std::string& dataDir, std::string& error)
{
    static const GradientStop RAMP[] = {
        {0.0f, {0.20f, 0.18f, 0.32f}},
        {0.35f, {0.52f, 0.38f, 0.44f}},
        {0.7f, {0.92f, 0.70f, 0.55f}},
        {1.0f, {1.0f, 0.90f, 0.76f}},
    };
    Picture ramp = makePicture(RAMP_WIDTH, RAMP_HEIGHT);
    for (int x = 0; x < RAMP_WIDTH; ++x) {
        const Rgb c = sampleGradient(RAMP, 4, (x + 0.5f) / RAMP_WIDTH);
        for (int y = 0; y < RAMP_HEIGHT; ++y)
            setPixel(ramp, x, y, c.r, c.g, c.b, 1.0f);
    }
    Picture specular = makePicture(FLAT_SIDE, FLAT_SIDE);
    for (int y = 0; y < FLAT_SIDE; ++y)
        for (int x = 0; x < FLAT_SIDE; ++x)
            setPixel(specular, x, y, 0.08f, 0.08f, 0.08f, 1.0f);
    return writePicture(dataDir, "terrain_chraber.tga", ramp, 24, error) &&
           writePicture(dataDir, "terrain_specular.tga", specular, 24, error);
}

}  // namespace

// The heights are rounded to bytes with the error carried on to the neighbours still to come
// (Floyd-Steinberg): the scene lights the ground with normals that exaggerate each level step
// twentyfold, and plain rounding left terraces along every contour that read as combed
// streaks across the whole landscape, from high up most of all.
std::vector<uint8_t> makeTerrainHeights()
{
    std::vector<uint8_t> heights(static_cast<size_t>(TERRAIN_ROWS) * TERRAIN_COLUMNS);
    std::vector<float> carried(static_cast<size_t>(TERRAIN_COLUMNS) + 2, 0.0f), next(carried.size(), 0.0f);
    for (int row = 0; row < TERRAIN_ROWS; ++row) {
        std::fill(next.begin(), next.end(), 0.0f);
        for (int column = 0; column < TERRAIN_COLUMNS; ++column) {
            float limit = 255.0f;
            if (std::fabs(static_cast<float>(column - TERRAIN_CENTRE_COLUMN)) <= TERRAIN_CORRIDOR_CELLS)
                limit = static_cast<float>(TERRAIN_CENTRE_RED_LIMIT);
            const float wanted = heightRed(row, column) + carried[static_cast<size_t>(column) + 1];
            const float red = std::clamp(std::round(wanted), 0.0f, limit);
            const float error = wanted - red;
            carried[static_cast<size_t>(column) + 2] += error * 7.0f / 16.0f;
            next[static_cast<size_t>(column)] += error * 3.0f / 16.0f;
            next[static_cast<size_t>(column) + 1] += error * 5.0f / 16.0f;
            next[static_cast<size_t>(column) + 2] += error * 1.0f / 16.0f;
            heights[static_cast<size_t>(row) * TERRAIN_COLUMNS + static_cast<size_t>(column)] = static_cast<uint8_t>(red);
        }
        std::swap(carried, next);
    }
    return heights;
}

bool writeTerrainData(const std::string& dataDir, std::string& error)
{
    return writeHeightsAndColours(dataDir, error) && writeDetail(dataDir, error) &&
           writeRampAndSpecular(dataDir, error);
}
