// The game's pictures: the texture sets of the tiles (tiling materials from a height field),
// the character atlases (4 x 4 cells of flat materials, which the meshes map their parts into),
// the cloud layers and mask (tiling), the orb glow sprite and the six orb glow ramps.
//
// Every texture set is KEY.tga, KEY_normal.tga (tangent space, u right, v up), KEY_chraber.tga
// (the light ramp the lit programs look the lighting term up in: u = facing, one row per light
// map select) and KEY_specular.tga. Rows are stored bottom row first.
#include "tools/game_data/game_data.h"

#include "tools/common/canvas.h"
#include "tools/common/game_light.h"
#include "tools/common/tga_write.h"

#include <cmath>
#include <functional>

namespace {

const int SIDE = 256;
const int RAMP_WIDTH = 256;
const int RAMP_ROWS = 4;
const Rgb NO_COLOR = {0, 0, 0};

float coordinate(int i, int n) { return (static_cast<float>(i) + 0.5f) / n; }

float tiledNoise(float u, float v, int cells, uint32_t seed, int octaves = 4, float gain = 0.5f)
{
    return sampleFractalNoise(u * cells, v * cells, seed, octaves, gain, cells, cells);
}

bool writePicture(const std::string& path, const Canvas& canvas, int bits, uint32_t dither, std::string& error)
{
    std::vector<uint8_t> rgba = canvasToRgba8(canvas, dither, NO_COLOR);
    TgaSource source;
    source.width = canvas.width;
    source.height = canvas.height;
    source.rgba = rgba.data();
    if (!writeTgaFile(path, source, bits, bits == 32 ? TgaEncoding::RunLength : TgaEncoding::Uncompressed, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

// A light ramp: a floor of ambient light, a soft shoulder, tinted.
Canvas lightRamp(Rgb tint, float floor)
{
    Canvas ramp = makeCanvas(RAMP_WIDTH, RAMP_ROWS, RAMP_WIDTH, RAMP_ROWS);
    for (int y = 0; y < RAMP_ROWS; ++y)
        for (int x = 0; x < RAMP_WIDTH; ++x) {
            float t = static_cast<float>(x) / (RAMP_WIDTH - 1);
            float level = GAME_RAMP_TOP * (floor + (1.0f - floor) * (1.0f - (1.0f - t) * (1.0f - t)));
            ramp.pixels[static_cast<size_t>(y) * RAMP_WIDTH + x] = {level * tint.r, level * tint.g, level * tint.b, 1};
        }
    return ramp;
}

// Base, normal and specular pictures from a height field with a colouring.
struct Surface {
    std::function<float(float, float)> height;
    std::function<Rgb(float, float, float)> colour;
    std::function<float(float, float, float)> shine;
    float bump;
};

bool writeSet(const std::string& dataDir, const std::string& key, const Surface& s, Rgb rampTint, uint32_t seed,
              std::string& error)
{
    const int n = SIDE;
    std::vector<float> h(static_cast<size_t>(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            h[static_cast<size_t>(y) * n + x] = s.height(coordinate(x, n), coordinate(y, n));
    auto at = [&](int x, int y) { return h[static_cast<size_t>((y + n) % n) * n + (x + n) % n]; };
    Canvas base = makeCanvas(n, n, n, n), normal = makeCanvas(n, n, n, n), specular = makeCanvas(n, n, n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            size_t i = static_cast<size_t>(y) * n + x;
            float u = coordinate(x, n), v = coordinate(y, n);
            Rgb c = underGameLight(s.colour(u, v, at(x, y)));
            base.pixels[i] = {c.r, c.g, c.b, 1};
            float du = 0.5f * (at(x + 1, y) - at(x - 1, y)) * s.bump * n / 64.0f;
            float dv = 0.5f * (at(x, y + 1) - at(x, y - 1)) * s.bump * n / 64.0f;
            float l = std::sqrt(du * du + dv * dv + 1);
            normal.pixels[i] = {0.5f - 0.5f * du / l, 0.5f - 0.5f * dv / l, 0.5f + 0.5f / l, 1};
            float g = s.shine(u, v, at(x, y));
            specular.pixels[i] = {g, g, g, 1};
        }
    const std::string path = dataDir + "/" + key;
    return writePicture(path + ".tga", base, 24, seed, error) && writePicture(path + "_normal.tga", normal, 24, 0, error) &&
           writePicture(path + "_chraber.tga", lightRamp(rampTint, 0.22f), 24, 0, error) &&
           writePicture(path + "_specular.tga", specular, 24, 0, error);
}

// Blocks of a running bond: distance to the nearest joint (in block units) and the block id.
void bond(float u, float v, int columns, int rows, float& edge, int& id)
{
    float fy = v * rows;
    int row = static_cast<int>(std::floor(fy));
    float fx = u * columns + (row % 2) * 0.5f;
    int column = static_cast<int>(std::floor(fx));
    float ex = fx - column, ey = fy - row;
    edge = std::fmin(std::fmin(ex, 1 - ex) * rows / columns * 2.0f, std::fmin(ey, 1 - ey));
    id = (row * 31 + ((column % columns) + columns) % columns) & 0xFF;
}

Surface stoneBlocks(Rgb dark, Rgb light, int columns, int rows, uint32_t seed)
{
    Surface s;
    s.height = [=](float u, float v) {
        float edge;
        int id;
        bond(u, v, columns, rows, edge, id);
        float bevel = smoothStep(0.0f, 0.12f, edge);
        return clampUnit(0.2f + 0.65f * bevel + 0.15f * tiledNoise(u, v, 16, seed, 4, 0.5f));
    };
    s.colour = [=](float u, float v, float h) {
        float edge;
        int id;
        bond(u, v, columns, rows, edge, id);
        float tone = hashUnit(static_cast<uint32_t>(id), seed, 7);
        Rgb c = mixRgb(dark, light, 0.35f + 0.5f * tone);
        c = scaleRgb(c, 0.82f + 0.3f * tiledNoise(u, v, 32, seed + 1, 3, 0.5f));
        Rgb mortar = scaleRgb(dark, 0.55f);
        return mixRgb(mortar, c, smoothStep(0.03f, 0.08f, edge) * (0.6f + 0.4f * h));
    };
    s.shine = [](float, float, float h) { return 0.12f * h; };
    s.bump = 4.0f;
    return s;
}

Surface metalPlates(uint32_t seed)
{
    Surface s;
    s.height = [=](float u, float v) {
        float fx = u * 2, fy = v * 2;
        float ex = fx - std::floor(fx), ey = fy - std::floor(fy);
        float edge = std::fmin(std::fmin(ex, 1 - ex), std::fmin(ey, 1 - ey));
        float plate = smoothStep(0.01f, 0.04f, edge);
        // Rivets along the plate borders.
        float rx = std::fabs(ex * 8 - std::floor(ex * 8) - 0.5f), ry = std::fabs(ey - 0.09f);
        float rivet = (ry < 0.03f && rx < 0.2f) ? 0.3f : 0.0f;
        return clampUnit(0.4f + 0.4f * plate + rivet + 0.05f * tiledNoise(u, v, 32, seed, 3, 0.5f));
    };
    s.colour = [=](float u, float v, float h) {
        float stripe = std::fmod(u * 8 + v * 8, 2.0f) < 1.0f ? 1.0f : 0.0f;
        float border = v < 0.06f || (v > 0.5f && v < 0.56f) ? 1.0f : 0.0f;
        Rgb steel = scaleRgb(rgbFromBytes(120, 132, 146), 0.75f + 0.35f * h);
        Rgb hazard = stripe > 0 ? rgbFromBytes(230, 180, 40) : rgbFromBytes(40, 40, 44);
        Rgb c = mixRgb(steel, hazard, border);
        float grime = tiledNoise(u, v, 8, seed + 2, 4, 0.55f);
        return scaleRgb(c, 0.8f + 0.25f * grime);
    };
    s.shine = [](float, float, float h) { return 0.5f * h; };
    s.bump = 3.0f;
    return s;
}

Surface mossyRock(uint32_t seed)
{
    Surface s;
    s.height = [=](float u, float v) { return tiledNoise(u, v, 4, seed, 5, 0.55f); };
    s.colour = [=](float u, float v, float h) {
        Rgb rock = mixRgb(rgbFromBytes(92, 84, 70), rgbFromBytes(150, 138, 112), h);
        float moss = smoothStep(0.45f, 0.7f, tiledNoise(u, v, 3, seed + 5, 4, 0.5f) * 0.6f + h * 0.5f);
        Rgb green = mixRgb(rgbFromBytes(58, 104, 40), rgbFromBytes(110, 160, 60), tiledNoise(u, v, 32, seed + 6, 2, 0.5f));
        return mixRgb(rock, green, 0.85f * moss);
    };
    s.shine = [](float, float, float h) { return 0.08f * h; };
    s.bump = 5.0f;
    return s;
}

Surface caveRock(uint32_t seed)
{
    Surface s;
    s.height = [=](float u, float v) {
        float n = tiledNoise(u, v, 5, seed, 5, 0.5f);
        float crystal = smoothStep(0.72f, 0.78f, tiledNoise(u, v, 6, seed + 9, 2, 0.4f));
        return clampUnit(0.8f * n + 0.3f * crystal);
    };
    s.colour = [=](float u, float v, float h) {
        Rgb rock = mixRgb(rgbFromBytes(40, 32, 58), rgbFromBytes(96, 80, 120), h);
        float crystal = smoothStep(0.72f, 0.78f, tiledNoise(u, v, 6, seed + 9, 2, 0.4f));
        return mixRgb(rock, rgbFromBytes(120, 230, 255), crystal);
    };
    s.shine = [=](float u, float v, float) { return 0.7f * smoothStep(0.72f, 0.78f, tiledNoise(u, v, 6, seed + 9, 2, 0.4f)); };
    s.bump = 4.0f;
    return s;
}

// A character atlas: 16 cells, each a flat material with a little grain.
struct Cell {
    Rgb colour;
    float shine;
    float grain;
};

bool writeAtlas(const std::string& dataDir, const std::string& key, const Cell cells[16], uint32_t seed,
                std::string& error)
{
    const int n = SIDE, cellSide = SIDE / 4;
    Canvas base = makeCanvas(n, n, n, n), normal = makeCanvas(n, n, n, n), specular = makeCanvas(n, n, n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            size_t i = static_cast<size_t>(y) * n + x;
            const Cell& c = cells[(y / cellSide) * 4 + x / cellSide];
            float g = tiledNoise(coordinate(x, n), coordinate(y, n), 32, seed, 3, 0.5f);
            Rgb col = underGameLight(scaleRgb(c.colour, 1.0f + c.grain * (g - 0.5f)));
            base.pixels[i] = {col.r, col.g, col.b, 1};
            normal.pixels[i] = {0.5f, 0.5f, 1.0f, 1};
            specular.pixels[i] = {c.shine, c.shine, c.shine, 1};
        }
    const std::string path = dataDir + "/" + key;
    return writePicture(path + ".tga", base, 24, seed, error) && writePicture(path + "_normal.tga", normal, 24, 0, error) &&
           writePicture(path + "_chraber.tga", lightRamp({1.0f, 0.97f, 0.94f}, 0.35f), 24, 0, error) &&
           writePicture(path + "_specular.tga", specular, 24, 0, error);
}

bool writeCharacterSets(const std::string& dataDir, std::string& error)
{
    const Rgb grey = rgbFromBytes(90, 90, 96);
    const Cell hero[16] = {
        {rgbFromBytes(242, 196, 164), 0.1f, 0.05f},  // skin
        {rgbFromBytes(214, 64, 36), 0.25f, 0.3f},    // hair
        {rgbFromBytes(28, 150, 150), 0.2f, 0.12f},   // jacket
        {rgbFromBytes(250, 214, 80), 0.3f, 0.05f},   // trim
        {rgbFromBytes(40, 48, 92), 0.1f, 0.12f},     // trousers
        {rgbFromBytes(112, 66, 38), 0.3f, 0.15f},    // boots
        {rgbFromBytes(150, 158, 170), 0.8f, 0.1f},   // blaster
        {rgbFromBytes(90, 240, 255), 0.9f, 0.0f},    // glow: goggles, sight, muzzle
        {rgbFromBytes(60, 40, 30), 0.2f, 0.1f},      // belt, cell
        {grey, 0, 0}, {grey, 0, 0}, {grey, 0, 0}, {grey, 0, 0}, {grey, 0, 0}, {grey, 0, 0}, {grey, 0, 0},
    };
    auto machine = [&](Rgb shell, Rgb joint, Rgb eye, Rgb trim, const char* key, uint32_t seed) {
        Cell cells[16];
        for (Cell& c : cells)
            c = {grey, 0, 0};
        cells[0] = {shell, 0.6f, 0.1f};
        cells[1] = {joint, 0.4f, 0.1f};
        cells[2] = {eye, 0.9f, 0.0f};
        cells[3] = {trim, 0.5f, 0.1f};
        return writeAtlas(dataDir, key, cells, seed, error);
    };
    return writeAtlas(dataDir, "girla", hero, 0x6A11u, error) &&
           machine(rgbFromBytes(170, 60, 50), rgbFromBytes(60, 60, 66), rgbFromBytes(255, 230, 70),
                   rgbFromBytes(230, 230, 220), "enemywalker", 0x6A12u) &&
           machine(rgbFromBytes(120, 60, 160), rgbFromBytes(70, 70, 80), rgbFromBytes(90, 255, 140),
                   rgbFromBytes(200, 210, 230), "enemyflyer", 0x6A13u) &&
           machine(rgbFromBytes(210, 214, 222), rgbFromBytes(80, 84, 96), rgbFromBytes(255, 150, 60),
                   rgbFromBytes(60, 110, 200), "flyer", 0x6A14u);
}

// The six collectibles' colours; the ramps run from their dark to their hot colour.
struct OrbColour {
    const char* key;
    const char* ramp;
    Rgb dark, body, hot;
};

const OrbColour ORB_COLOURS[6] = {
    {"orbruby", "orb_color.tga", {0.25f, 0.0f, 0.02f}, {0.85f, 0.08f, 0.12f}, {1.0f, 0.75f, 0.6f}},
    {"orbgold", "orb_color2.tga", {0.25f, 0.12f, 0.0f}, {0.95f, 0.72f, 0.12f}, {1.0f, 1.0f, 0.7f}},
    {"orbsapphire", "orb_color3.tga", {0.0f, 0.04f, 0.3f}, {0.12f, 0.35f, 0.95f}, {0.7f, 0.9f, 1.0f}},
    {"orbemerald", "orb_color4.tga", {0.0f, 0.2f, 0.05f}, {0.1f, 0.8f, 0.35f}, {0.75f, 1.0f, 0.8f}},
    {"orbrose", "orb_color5.tga", {0.3f, 0.02f, 0.15f}, {0.98f, 0.35f, 0.65f}, {1.0f, 0.85f, 0.95f}},
    {"orbviolet", "orb_color6.tga", {0.12f, 0.0f, 0.28f}, {0.6f, 0.25f, 0.95f}, {0.92f, 0.8f, 1.0f}},
};

bool writeOrbPictures(const std::string& dataDir, std::string& error)
{
    for (int k = 0; k < 6; ++k) {
        const OrbColour& o = ORB_COLOURS[k];
        Surface s;
        s.height = [=](float u, float v) { return tiledNoise(u, v, 8, 0x700u + k, 3, 0.5f); };
        s.colour = [=](float u, float v, float h) {
            float sparkle = smoothStep(0.8f, 0.9f, tiledNoise(u, v, 24, 0x710u + k, 2, 0.5f));
            return mixRgb(mixRgb(o.body, o.hot, 0.25f * h), o.hot, sparkle);
        };
        s.shine = [](float, float, float) { return 0.9f; };
        s.bump = 1.0f;
        if (!writeSet(dataDir, o.key, s, {1.0f, 1.0f, 1.0f}, 0x720u + k, error))
            return false;
        // Glow ramp: u from the faint edge to the hot centre, a slightly different hue per row.
        const int w = 256, rows = 16;
        Canvas ramp = makeCanvas(w, rows, w, rows);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < w; ++x) {
                float t = coordinate(x, w), row = coordinate(y, rows);
                const GradientStop stops[] = {{0.0f, {0, 0, 0}}, {0.3f, o.dark}, {0.7f, o.body}, {1.0f, o.hot}};
                Rgb c = sampleGradient(stops, 4, t);
                c = mixRgb(c, scaleRgb(c, 1.2f), row - 0.5f);
                ramp.pixels[static_cast<size_t>(y) * w + x] = {c.r, c.g, c.b, 1};
            }
        if (!writePicture(dataDir + "/" + o.ramp, ramp, 24, 0, error))
            return false;
    }
    // The glow sprite: white with a soft round alpha.
    const int n = 64;
    Canvas sprite = makeCanvas(n, n, n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float dx = coordinate(x, n) * 2 - 1, dy = coordinate(y, n) * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::pow(clampUnit(1 - r), 2.0f);
            sprite.pixels[static_cast<size_t>(y) * n + x] = {a, a, a, a};
        }
    return writePicture(dataDir + "/orbparticle.tga", sprite, 32, 0, error);
}

// Cloud layers: white with the density as alpha and grey level; all three tile.
bool writeCloudPictures(const std::string& dataDir, std::string& error)
{
    auto layer = [&](const char* name, int cells, uint32_t seed, float low, float high, int octaves) {
        Canvas c = makeCanvas(SIDE, SIDE, SIDE, SIDE);
        for (int y = 0; y < SIDE; ++y)
            for (int x = 0; x < SIDE; ++x) {
                float n = tiledNoise(coordinate(x, SIDE), coordinate(y, SIDE), cells, seed, octaves, 0.55f);
                float d = smoothStep(low, high, n);
                c.pixels[static_cast<size_t>(y) * SIDE + x] = {d, d, d, d};
            }
        return writePicture(dataDir + "/" + name, c, 32, seed, error);
    };
    return layer("clouds1.tga", 4, 0x800u, 0.42f, 0.8f, 5) && layer("clouds2.tga", 8, 0x801u, 0.35f, 0.85f, 4) &&
           layer("cloudsmask.tga", 2, 0x802u, 0.3f, 0.7f, 3);
}

} // namespace

bool writeGamePictures(const std::string& dataDir, std::string& error)
{
    return writeSet(dataDir, "tilestone", stoneBlocks(rgbFromBytes(86, 92, 110), rgbFromBytes(168, 172, 186), 2, 4, 0x900u),
                    {1.0f, 0.98f, 0.95f}, 0x901u, error) &&
           writeSet(dataDir, "tilemetal", metalPlates(0x910u), {0.95f, 0.98f, 1.0f}, 0x911u, error) &&
           writeSet(dataDir, "tilegrass", mossyRock(0x920u), {1.0f, 1.0f, 0.92f}, 0x921u, error) &&
           writeSet(dataDir, "tilecave", caveRock(0x930u), {0.92f, 0.9f, 1.0f}, 0x931u, error) &&
           writeSet(dataDir, "tilebrick", stoneBlocks(rgbFromBytes(110, 52, 40), rgbFromBytes(182, 96, 70), 4, 8, 0x940u),
                    {1.0f, 0.96f, 0.9f}, 0x941u, error) &&
           writeCharacterSets(dataDir, error) && writeOrbPictures(dataDir, error) && writeCloudPictures(dataDir, error);
}
