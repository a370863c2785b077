// The dawn sky box: six 512 x 512 faces painted from one function of the view direction, so
// the faces meet without seams. The sun sits just above the horizon towards +x (a little towards
// -z, where the camera looks while the first flight segment rests); the sky is deep blue at the
// zenith, peach under the sun and, opposite it, the earth's shadow under a rose band; a broken
// cloud layer and thin streaks cover every direction.
//
// Face placement follows the sky box draw: slot s of the file list ("sky3", "sky2", "sky5",
// "sky4", "sky1", "sky6") has the corners below in box space with their texture coordinates,
// and the box is drawn turned 180 degrees about x around the eye, so a box point (x, y, z) is
// the world direction (x, -y, -z): "sky6" is the zenith and "sky1" the floor.
#include "tools/flyover_data/flyover_data.h"

#include "tools/common/canvas.h"

#include <cmath>

namespace {

constexpr int SKY_SIDE = 512;
constexpr int SKY_FACES = 6;
constexpr float UV_LOW = 1.0f / 512.0f;
constexpr float UV_HIGH = 511.0f / 512.0f;
constexpr uint32_t SEED_CLOUDS = 2203;
constexpr uint32_t SEED_DITHER = 2309;

struct Corner {
    float x, y, z, u, v;
};

constexpr float A = UV_LOW;
constexpr float B = UV_HIGH;
constexpr float H = 5.0f;

const char* const FACE_FILES[SKY_FACES] = {"sky3.tga", "sky2.tga", "sky5.tga", "sky4.tga", "sky1.tga", "sky6.tga"};
const Corner FACE_CORNERS[SKY_FACES][4] = {
    {{H, -H, -H, A, A}, {-H, -H, -H, B, A}, {-H, H, -H, B, B}, {H, H, -H, A, B}},
    {{H, -H, H, A, A}, {H, -H, -H, B, A}, {H, H, -H, B, B}, {H, H, H, A, B}},
    {{-H, -H, H, A, A}, {H, -H, H, B, A}, {H, H, H, B, B}, {-H, H, H, A, B}},
    {{-H, -H, -H, A, A}, {-H, -H, H, B, A}, {-H, H, H, B, B}, {-H, H, -H, A, B}},
    {{-H, H, -H, B, A}, {-H, H, H, B, B}, {H, H, H, A, B}, {H, H, -H, A, A}},
    {{-H, -H, -H, B, B}, {-H, -H, H, B, A}, {H, -H, H, A, A}, {H, -H, -H, A, B}},
};

Rgb fromArray(const float* c)
{
    return Rgb{c[0], c[1], c[2]};
}

// The world direction a texel of a face shows.
void faceDirection(int face, float u, float v, float out[3])
{
    const float s = clampUnit((u - UV_LOW) / (UV_HIGH - UV_LOW));
    const float t = clampUnit((v - UV_LOW) / (UV_HIGH - UV_LOW));
    float box[3] = {0.0f, 0.0f, 0.0f};
    for (const Corner& c : FACE_CORNERS[face]) {
        const float wu = c.u < 0.5f ? 1.0f - s : s;
        const float wv = c.v < 0.5f ? 1.0f - t : t;
        box[0] += wu * wv * c.x;
        box[1] += wu * wv * c.y;
        box[2] += wu * wv * c.z;
    }
    const float world[3] = {box[0], -box[1], -box[2]};
    const float length = std::sqrt(world[0] * world[0] + world[1] * world[1] + world[2] * world[2]);
    for (int k = 0; k < 3; ++k)
        out[k] = world[k] / length;
}

// Colour of the horizon in the direction whose horizontal part is (x, z).
Rgb horizonColour(float x, float z)
{
    const float length = std::sqrt(x * x + z * z);
    const float sunLength = std::sqrt(SUN_DIRECTION[0] * SUN_DIRECTION[0] + SUN_DIRECTION[2] * SUN_DIRECTION[2]);
    float facing = 0.0f;
    if (length > 1e-6f)
        facing = (x * SUN_DIRECTION[0] + z * SUN_DIRECTION[2]) / (length * sunLength);
    const float w = std::pow(0.5f + 0.5f * facing, HORIZON_SUN_POWER);
    return mixRgb(fromArray(HORIZON_AWAY), fromArray(HORIZON_SUN), w);
}

Rgb skyColour(const float d[3])
{
    const Rgb horizon = horizonColour(d[0], d[2]);
    const float elevation = d[1];
    if (elevation < 0.0f) {
        // Below the horizon only the haze past the landscape's edge shows.
        const Rgb deep = mixRgb(horizon, Rgb{0.16f, 0.14f, 0.2f}, 0.6f);
        return mixRgb(horizon, deep, smoothStep(0.0f, 0.35f, -elevation));
    }
    const Rgb middle{0.34f, 0.40f, 0.64f};
    const Rgb zenith{0.09f, 0.12f, 0.33f};
    Rgb colour = mixRgb(horizon, middle, smoothStep(0.0f, 0.38f, elevation));
    colour = mixRgb(colour, zenith, smoothStep(0.3f, 1.0f, elevation));

    // Opposite the sun the dawn shows the earth's shadow, a blue-grey band on the horizon,
    // under a rose band of sunlit haze.
    const float away = 1.0f - std::pow(0.5f + 0.5f * (d[0] * SUN_DIRECTION[0] + d[2] * SUN_DIRECTION[2]), 1.5f);
    const float belt = smoothStep(0.03f, 0.1f, elevation) * (1.0f - smoothStep(0.16f, 0.34f, elevation));
    colour = mixRgb(colour, Rgb{0.80f, 0.56f, 0.64f}, 0.7f * away * belt);
    colour = mixRgb(colour, Rgb{0.40f, 0.42f, 0.58f}, 0.5f * away * (1.0f - smoothStep(0.0f, 0.05f, elevation)));

    // Two cloud layers seen on a plane above the landscape, so they shrink towards the horizon
    // in every direction: high thin streaks, and a broken layer of soft heaps whose sun side
    // is lit warm and whose far side takes the rose of the sky opposite the sun.
    const float lift = elevation + 0.06f;
    const float px = d[0] / lift;
    const float pz = d[2] / lift;
    const float n = sampleFractalNoise(px * 0.55f + 11.0f, pz * 1.9f + 7.0f, SEED_CLOUDS, 5, 0.55f);
    const float streaks =
        smoothStep(0.52f, 0.72f, n) * smoothStep(0.015f, 0.1f, elevation) * (1.0f - smoothStep(0.35f, 0.8f, elevation));
    const float sunSide = 0.5f + 0.5f * (d[0] * SUN_DIRECTION[0] + d[2] * SUN_DIRECTION[2]);
    const Rgb rose{0.86f, 0.58f, 0.66f};
    const Rgb cloud = mixRgb(mixRgb(Rgb{0.42f, 0.33f, 0.48f}, rose, 0.5f * away), Rgb{1.0f, 0.60f, 0.50f}, sunSide * sunSide);
    colour = mixRgb(colour, cloud, 0.85f * streaks);

    const float qx = px * 0.22f, qz = pz * 0.22f;
    const float heap = sampleFractalNoise(qx + 3.0f, qz + 5.0f, SEED_CLOUDS + 17u, 5, 0.5f);
    // The heap's thickness a little towards the sun: where it is thinner there, light gets in.
    const float towardSun = sampleFractalNoise(qx + 3.0f + 0.08f * SUN_DIRECTION[0], qz + 5.0f + 0.08f * SUN_DIRECTION[2],
        SEED_CLOUDS + 17u, 5, 0.5f);
    const float cover = smoothStep(0.54f, 0.68f, heap) * smoothStep(0.02f, 0.12f, elevation);
    const float lit = clampUnit(0.5f + 6.0f * (heap - towardSun));
    const Rgb shadowSide = mixRgb(Rgb{0.30f, 0.28f, 0.42f}, Rgb{0.52f, 0.40f, 0.52f}, away);
    const Rgb litSide = mixRgb(Rgb{1.0f, 0.72f, 0.56f}, rose, away);
    const Rgb heapColour = mixRgb(shadowSide, litSide, lit * (0.6f + 0.4f * smoothStep(0.5f, 0.75f, heap)));
    colour = mixRgb(colour, heapColour, 0.9f * cover);

    // The sun: a wide warm glow, a tight bright halo and the disc.
    const float cosSun = d[0] * SUN_DIRECTION[0] + d[1] * SUN_DIRECTION[1] + d[2] * SUN_DIRECTION[2];
    const float toward = std::fmax(cosSun, 0.0f);
    const float glow = 0.25f * std::pow(toward, 8.0f) + 0.35f * std::pow(toward, 120.0f);
    colour = Rgb{colour.r + glow * 1.0f, colour.g + glow * 0.72f, colour.b + glow * 0.45f};
    const float disc = smoothStep(0.99955f, 0.99975f, cosSun);
    colour = Rgb{colour.r + disc, colour.g + disc * 0.95f, colour.b + disc * 0.85f};
    return colour;
}

}  // namespace

bool writeSkyData(const std::string& dataDir, std::string& error)
{
    for (int face = 0; face < SKY_FACES; ++face) {
        Picture picture = makePicture(SKY_SIDE, SKY_SIDE);
        for (int y = 0; y < SKY_SIDE; ++y) {
            for (int x = 0; x < SKY_SIDE; ++x) {
                float d[3];
                faceDirection(face, (x + 0.5f) / SKY_SIDE, (y + 0.5f) / SKY_SIDE, d);
                const Rgb c = skyColour(d);
                // Half a level of noise keeps the smooth gradients free of bands.
                const float dither = (hashUnit(static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                               SEED_DITHER + static_cast<uint32_t>(face)) - 0.5f) / 255.0f;
                setPixel(picture, x, y, c.r + dither, c.g + dither, c.b + dither, 1.0f);
            }
        }
        if (!writePicture(dataDir, FACE_FILES[face], picture, 24, error))
            return false;
    }
    return true;
}
