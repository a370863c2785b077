// The flyover's smaller pictures.
//
// - "ship2" set: pale grey hull plates with dark seams, orange flashes along the spine and the
//   wing roots, a dark glass canopy. The picture is a top projection of the ship (u across
//   x = -3.8..3.8, v along y = -4.6..4.6); its alpha is the shine mask of the lit program.
// - Glow sets ("taila", "tailb", "tailc" for the exhaust, "tail1" and "tail2" for the ribbons):
//   drawn additively, so colour times alpha is the light they add. The exhaust fades from the
//   nozzle (v = 0) to the tip (v = 1); the ribbons from the ship (v = 0) to their end (v = 0.9).
// - Dust sprites "dustparticle.tga" .. "dustparticle4.tga": soft sandy puffs of four shapes with
//   alpha; the "dustparticle" set is also the texture set of the dust's shadow stand-in.
// The other pictures of each set are written too (flat normals, a white light ramp for the glows
// so their colour stays as painted, a dull specular map).
#include "tools/flyover_data/flyover_data.h"

#include "tools/common/canvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int SHIP_SIDE = 512;
constexpr int GLOW_WIDTH = 64;
constexpr int GLOW_HEIGHT = 256;
constexpr int SPRITE_SIDE = 128;
constexpr int SMALL_SIDE = 8;
constexpr int RAMP_WIDTH = 256;
constexpr int RAMP_HEIGHT = 4;
constexpr float UV_HALF_SPAN = 3.8f;
constexpr float UV_REAR = -4.6f;
constexpr float UV_LENGTH = 9.2f;
constexpr float PANEL_SIZE = 0.55f;  // hull plates, world units
constexpr float SEAM_WIDTH = 0.035f;
constexpr uint32_t SEED_HULL = 3101;
constexpr uint32_t SEED_DUST = 3203;

// Distance of a value to the nearest multiple of `size`.
float distanceToGrid(float value, float size)
{
    const float f = value / size;
    return std::fabs(f - std::round(f)) * size;
}

// 0 on a seam between hull plates, 1 inside a plate. Plates are longer than wide and every
// other row is shifted by half a plate.
float plateMask(float x, float y)
{
    const float plateLength = PANEL_SIZE * 1.6f;
    const float row = std::floor(y / plateLength);
    const float shift = std::fmod(std::fabs(row), 2.0f) * 0.5f * PANEL_SIZE;
    const float seam = std::min(distanceToGrid(x + shift, PANEL_SIZE), distanceToGrid(y, plateLength));
    return smoothStep(0.0f, SEAM_WIDTH, seam);
}

struct ShipTexel {
    Rgb colour;
    float shine;
    float groove;  // 1 inside plates, 0 in seams (the relief of the normal map)
};

ShipTexel shipTexel(float x, float y)
{
    const float plates = plateMask(x, y);
    const float variation = 0.9f + 0.2f * hashUnit(static_cast<uint32_t>(std::floor(x / PANEL_SIZE) + 100),
                                                   static_cast<uint32_t>(std::floor(y / (PANEL_SIZE * 1.6f)) + 100),
                                                   SEED_HULL);
    Rgb colour = scaleRgb(Rgb{0.30f, 0.32f, 0.36f}, variation);
    float shine = 0.55f;
    // Orange flashes: a pair along the spine, bands over the wing roots.
    const float spine = std::fabs(std::fabs(x) - 0.3f) < 0.06f && y > -3.6f && y < 2.6f ? 1.0f : 0.0f;
    const float wingBand = std::fabs(x) > 1.2f && std::fabs(x) < 1.45f && y < 0.0f ? 1.0f : 0.0f;
    const float flash = std::max(spine, wingBand);
    colour = mixRgb(colour, Rgb{0.46f, 0.17f, 0.04f}, flash);
    shine = shine + (0.35f - shine) * flash;
    // Dark seams.
    colour = mixRgb(Rgb{0.09f, 0.09f, 0.11f}, colour, 0.35f + 0.65f * plates);
    shine *= 0.3f + 0.7f * plates;
    // Canopy: dark glass with a lighter frame line.
    const float cx = x / 0.36f, cy = (y - 1.25f) / 0.85f;
    const float canopy = cx * cx + cy * cy;
    float groove = plates;
    if (canopy < 1.0f) {
        const float frame = smoothStep(0.8f, 0.9f, canopy);
        colour = mixRgb(Rgb{0.03f, 0.05f, 0.09f}, Rgb{0.2f, 0.21f, 0.24f}, frame);
        shine = 1.0f - 0.5f * frame;
        groove = 1.0f;
    }
    return ShipTexel{colour, shine, groove};
}

bool writeShipSet(const std::string& dataDir, std::string& error)
{
    Picture base = makePicture(SHIP_SIDE, SHIP_SIDE);
    Picture normal = makePicture(SHIP_SIDE, SHIP_SIDE);
    std::vector<float> groove(static_cast<size_t>(SHIP_SIDE) * SHIP_SIDE);
    for (int py = 0; py < SHIP_SIDE; ++py) {
        for (int px = 0; px < SHIP_SIDE; ++px) {
            const float x = ((px + 0.5f) / SHIP_SIDE) * 2.0f * UV_HALF_SPAN - UV_HALF_SPAN;
            const float y = UV_REAR + ((py + 0.5f) / SHIP_SIDE) * UV_LENGTH;
            const ShipTexel t = shipTexel(x, y);
            setPixel(base, px, py, t.colour.r, t.colour.g, t.colour.b, t.shine);
            groove[static_cast<size_t>(py) * SHIP_SIDE + px] = t.groove;
        }
    }
    auto at = [&](int x, int y) {
        x = std::clamp(x, 0, SHIP_SIDE - 1);
        y = std::clamp(y, 0, SHIP_SIDE - 1);
        return groove[static_cast<size_t>(y) * SHIP_SIDE + x];
    };
    for (int y = 0; y < SHIP_SIDE; ++y) {
        for (int x = 0; x < SHIP_SIDE; ++x) {
            const float dx = 0.8f * (at(x + 1, y) - at(x - 1, y));
            const float dy = 0.8f * (at(x, y + 1) - at(x, y - 1));
            const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
            setPixel(normal, x, y, 0.5f - 0.5f * dx / length, 0.5f - 0.5f * dy / length, 0.5f + 0.5f / length, 1.0f);
        }
    }
    static const GradientStop RAMP[] = {
        {0.0f, {0.05f, 0.06f, 0.1f}},
        {0.5f, {0.55f, 0.56f, 0.62f}},
        {1.0f, {1.0f, 0.97f, 0.92f}},
    };
    Picture ramp = makePicture(RAMP_WIDTH, RAMP_HEIGHT);
    for (int x = 0; x < RAMP_WIDTH; ++x) {
        const Rgb c = sampleGradient(RAMP, 3, (x + 0.5f) / RAMP_WIDTH);
        for (int y = 0; y < RAMP_HEIGHT; ++y)
            setPixel(ramp, x, y, c.r, c.g, c.b, 1.0f);
    }
    Picture specular = makePicture(SMALL_SIDE, SMALL_SIDE);
    for (int y = 0; y < SMALL_SIDE; ++y)
        for (int x = 0; x < SMALL_SIDE; ++x)
            setPixel(specular, x, y, 0.6f, 0.6f, 0.6f, 1.0f);
    return writePicture(dataDir, "ship2.tga", base, 32, error) &&
           writePicture(dataDir, "ship2_normal.tga", normal, 24, error) &&
           writePicture(dataDir, "ship2_chraber.tga", ramp, 24, error) &&
           writePicture(dataDir, "ship2_specular.tga", specular, 24, error);
}

Picture flatPicture(int side, float r, float g, float b)
{
    Picture picture = makePicture(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            setPixel(picture, x, y, r, g, b, 1.0f);
    return picture;
}

// The normal, light-ramp and specular pictures of a set that is drawn without lighting.
bool writeQuietSetParts(const std::string& dataDir, const std::string& key, std::string& error)
{
    const Picture normal = flatPicture(SMALL_SIDE, 0.5f, 0.5f, 1.0f);
    const Picture ramp = flatPicture(SMALL_SIDE, 1.0f, 1.0f, 1.0f);
    const Picture specular = flatPicture(SMALL_SIDE, 0.0f, 0.0f, 0.0f);
    return writePicture(dataDir, (key + "_normal.tga").c_str(), normal, 24, error) &&
           writePicture(dataDir, (key + "_chraber.tga").c_str(), ramp, 24, error) &&
           writePicture(dataDir, (key + "_specular.tga").c_str(), specular, 24, error);
}

struct GlowLook {
    const char* key;
    Rgb hot;      // colour at v = 0
    Rgb cool;     // colour towards the end
    float vEnd;   // where the glow has faded out
    float power;  // how fast it fades
    float alpha;  // strength at v = 0
};

const GlowLook GLOWS[] = {
    {"taila", {1.0f, 0.92f, 0.75f}, {1.0f, 0.42f, 0.12f}, 1.0f, 1.6f, 1.0f},
    {"tailb", {0.45f, 0.65f, 1.0f}, {0.35f, 0.25f, 0.9f}, 1.0f, 1.2f, 0.7f},
    {"tailc", {1.0f, 0.85f, 0.6f}, {1.0f, 0.35f, 0.1f}, 1.0f, 1.5f, 0.9f},
    {"tail1", {1.0f, 0.52f, 0.26f}, {0.85f, 0.25f, 0.35f}, 0.9f, 1.4f, 0.55f},
    {"tail2", {1.0f, 0.93f, 0.75f}, {1.0f, 0.55f, 0.3f}, 0.9f, 2.0f, 0.9f},
};

bool writeGlowSets(const std::string& dataDir, std::string& error)
{
    for (const GlowLook& look : GLOWS) {
        Picture picture = makePicture(GLOW_WIDTH, GLOW_HEIGHT);
        for (int y = 0; y < GLOW_HEIGHT; ++y) {
            const float v = (y + 0.5f) / GLOW_HEIGHT;
            const float along = clampUnit(v / look.vEnd);
            const float fade = std::pow(1.0f - along, look.power);
            const Rgb c = mixRgb(look.hot, look.cool, std::sqrt(along));
            for (int x = 0; x < GLOW_WIDTH; ++x) {
                // A faint flicker of streaks along the flow.
                const float streak = 0.85f + 0.15f * std::sin(6.2831853f * 3.0f * (x + 0.5f) / GLOW_WIDTH);
                setPixel(picture, x, y, c.r, c.g, c.b, look.alpha * fade * streak);
            }
        }
        if (!writePicture(dataDir, (std::string(look.key) + ".tga").c_str(), picture, 32, error) ||
            !writeQuietSetParts(dataDir, look.key, error))
            return false;
    }
    return true;
}

// Dust puff of one of four shapes: round, noisy, a stretched wisp, a clump of blobs.
float dustCoverage(int shape, float x, float y)
{
    const float r = std::sqrt(x * x + y * y);
    const float n = sampleFractalNoise(x * 3.0f + 5.0f * shape, y * 3.0f, SEED_DUST + static_cast<uint32_t>(shape), 4, 0.55f);
    switch (shape) {
    case 0: return std::pow(clampUnit(1.0f - r), 2.0f);
    case 1: return std::pow(clampUnit(1.0f - r * (0.75f + 0.5f * n)), 1.6f);
    case 2: {
        const float e = std::sqrt(x * x * 0.45f + y * y * 2.6f);
        return std::pow(clampUnit(1.0f - e * (0.8f + 0.4f * n)), 1.5f);
    }
    default: {
        float c = 0.0f;
        const float blobs[4][3] = {{-0.3f, -0.2f, 0.45f}, {0.25f, -0.15f, 0.5f}, {0.0f, 0.3f, 0.42f}, {0.35f, 0.35f, 0.3f}};
        for (const auto& b : blobs) {
            const float d = std::sqrt((x - b[0]) * (x - b[0]) + (y - b[1]) * (y - b[1])) / b[2];
            c = std::max(c, std::pow(clampUnit(1.0f - d), 1.8f));
        }
        return c * (0.8f + 0.4f * n);
    }
    }
}

bool writeDustPictures(const std::string& dataDir, std::string& error)
{
    const char* const names[4] = {"dustparticle.tga", "dustparticle2.tga", "dustparticle3.tga", "dustparticle4.tga"};
    for (int shape = 0; shape < 4; ++shape) {
        Picture picture = makePicture(SPRITE_SIDE, SPRITE_SIDE);
        for (int y = 0; y < SPRITE_SIDE; ++y) {
            for (int x = 0; x < SPRITE_SIDE; ++x) {
                const float fx = (x + 0.5f) / SPRITE_SIDE * 2.0f - 1.0f;
                const float fy = (y + 0.5f) / SPRITE_SIDE * 2.0f - 1.0f;
                const float c = clampUnit(dustCoverage(shape, fx, fy));
                // Edges fully transparent so the quad's border never shows.
                const float edge = 1.0f - smoothStep(0.85f, 1.0f, std::max(std::fabs(fx), std::fabs(fy)));
                setPixel(picture, x, y, 0.86f, 0.76f, 0.62f, c * edge);
            }
        }
        if (!writePicture(dataDir, names[shape], picture, 32, error))
            return false;
    }
    return writeQuietSetParts(dataDir, "dustparticle", error);
}

}  // namespace

bool writeFlyoverPictures(const std::string& dataDir, std::string& error)
{
    return writeShipSet(dataDir, error) && writeGlowSets(dataDir, error) && writeDustPictures(dataDir, error);
}
