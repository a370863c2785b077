// env-pictures <run dir>: the legacy environment state's pictures.
//
// "cube.tga" is the inside of a cube-shaped studio seen from its centre, stored by direction:
// u is the turn about the vertical axis (0 at -z, a full turn across the width), v the
// elevation (bottom row straight down, top row straight up). Every wall is a dark panel grid;
// the ceiling holds a cross of soft light strips, the floor a faint reflection of them, a warm
// and a cool window light the side walls, a broad softbox the wall behind the eye (+z) and two
// tall strips the wall ahead, so a chrome model shows a clear horizon, highlights and colour
// from every side.
//
// "angerlight.tga" is a ramp for the rim of those models: u runs from the part of a surface
// facing the eye (black) to its silhouette (white-hot), v picks one of the ramp's rows,
// which run from deep red through orange to a magenta glow and back, so a scroll through v
// cycles the rim's colour seamlessly.
#include "tools/common/generator_main.h"
#include "tools/common/tga_write.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr float PI = 3.14159265358979f;
constexpr int CUBE_WIDTH = 1024;
constexpr int CUBE_HEIGHT = 512;
constexpr int RAMP_WIDTH = 256;
constexpr int RAMP_HEIGHT = 64;
constexpr int PANELS_PER_WALL = 6;

struct Colour {
    float r, g, b;
};

Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Colour operator*(Colour a, float s) { return {a.r * s, a.g * s, a.b * s}; }

float smooth(float edge0, float edge1, float x)
{
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Brightness of a grid line across a wall coordinate in -1..1: thin dark grooves between the
// panels.
float panelGroove(float a)
{
    float cell = (a + 1.0f) * 0.5f * PANELS_PER_WALL;
    float d = std::fabs(cell - std::round(cell));
    return smooth(0.0f, 0.06f, d);
}

// A soft strip of light along one wall axis, `width` wide around `centre`.
float strip(float a, float centre, float width)
{
    return 1.0f - smooth(width * 0.6f, width, std::fabs(a - centre));
}

Colour cubeColour(float dx, float dy, float dz)
{
    const float ax = std::fabs(dx), ay = std::fabs(dy), az = std::fabs(dz);
    const Colour wall = {0.13f, 0.14f, 0.18f};
    if (ay >= ax && ay >= az) {
        // Ceiling and floor: the point where the ray meets the face, in -1..1.
        float u = dx / ay, w = dz / ay;
        float lights = std::max(strip(u, 0.0f, 0.12f) * strip(w, 0.0f, 0.9f), strip(w, 0.0f, 0.12f) * strip(u, 0.0f, 0.9f));
        float groove = panelGroove(u) * panelGroove(w);
        if (dy > 0.0f)
            return wall * (0.6f + 0.4f * groove) + Colour{1.0f, 0.97f, 0.92f} * (1.6f * lights);
        // The floor: a darker, slightly warm plate with a blurred echo of the lights.
        return Colour{0.05f, 0.045f, 0.045f} * (0.5f + 0.5f * groove) + Colour{0.5f, 0.45f, 0.4f} * (0.35f * lights);
    }
    float across, up, side;
    if (ax >= az) {
        across = dz / ax;
        up = dy / ax;
        side = dx > 0.0f ? 1.0f : -1.0f;
    } else {
        across = dx / az;
        up = dy / az;
        side = dz > 0.0f ? 2.0f : -2.0f;
    }
    float groove = panelGroove(across) * panelGroove(up);
    // A horizon band of light at eye height on every wall, brighter towards the windows.
    Colour c = wall * (0.55f + 0.45f * groove) + Colour{0.25f, 0.3f, 0.4f} * (0.5f * strip(up, -0.05f, 0.05f));
    float window = strip(across, 0.0f, 0.45f) * strip(up, 0.15f, 0.35f);
    if (side == 1.0f)
        c = c + Colour{1.0f, 0.6f, 0.25f} * (1.8f * window);   // warm window
    else if (side == -1.0f)
        c = c + Colour{0.3f, 0.6f, 1.0f} * (1.6f * window);    // cool window
    else if (side == 2.0f)
        c = c + Colour{0.85f, 0.9f, 1.0f} * (1.2f * strip(across, 0.0f, 0.6f) * strip(up, 0.1f, 0.45f));  // softbox
    else
        c = c + Colour{0.8f, 0.8f, 0.85f} * (0.7f * (strip(across, -0.5f, 0.06f) + strip(across, 0.5f, 0.06f)) *
                                             strip(up, 0.0f, 0.8f));
    return c;
}

uint8_t toByte(float v)
{
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

bool writePicture(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba, std::string& error)
{
    TgaSource source;
    source.width = width;
    source.height = height;
    source.rgba = rgba.data();
    return writeTgaFile(path, source, 24, TgaEncoding::Uncompressed, error);
}

bool writeCube(const std::string& dataDir, std::string& error)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(CUBE_WIDTH) * CUBE_HEIGHT * 4);
    // Four samples per pixel keep the grooves and strip edges from stepping.
    for (int y = 0; y < CUBE_HEIGHT; ++y)
        for (int x = 0; x < CUBE_WIDTH; ++x) {
            Colour sum = {0, 0, 0};
            for (int s = 0; s < 4; ++s) {
                float u = (x + 0.25f + 0.5f * (s & 1)) / CUBE_WIDTH;
                float v = (y + 0.25f + 0.5f * (s >> 1)) / CUBE_HEIGHT;
                float turn = u * 2.0f * PI;
                float elevation = (v - 0.5f) * PI;
                float dx = std::sin(turn) * std::cos(elevation);
                float dz = -std::cos(turn) * std::cos(elevation);
                float dy = std::sin(elevation);
                sum = sum + cubeColour(dx, dy, dz) * 0.25f;
            }
            uint8_t* p = &rgba[(static_cast<size_t>(y) * CUBE_WIDTH + x) * 4];
            p[0] = toByte(sum.r);
            p[1] = toByte(sum.g);
            p[2] = toByte(sum.b);
            p[3] = 255;
        }
    return writePicture(dataDir + "/cube.tga", CUBE_WIDTH, CUBE_HEIGHT, rgba, error);
}

bool writeAngerLight(const std::string& dataDir, std::string& error)
{
    const Colour hues[] = {{0.9f, 0.05f, 0.02f}, {1.0f, 0.4f, 0.05f}, {0.85f, 0.1f, 0.45f}};
    const int hueCount = static_cast<int>(sizeof(hues) / sizeof(hues[0]));
    std::vector<uint8_t> rgba(static_cast<size_t>(RAMP_WIDTH) * RAMP_HEIGHT * 4);
    for (int y = 0; y < RAMP_HEIGHT; ++y) {
        // The rows blend round the hues and back to the first, so v wraps without a seam.
        float h = static_cast<float>(y) / RAMP_HEIGHT * hueCount;
        int i = static_cast<int>(h) % hueCount;
        float f = smooth(0.0f, 1.0f, h - std::floor(h));
        Colour hue = hues[i] * (1.0f - f) + hues[(i + 1) % hueCount] * f;
        for (int x = 0; x < RAMP_WIDTH; ++x) {
            float t = static_cast<float>(x) / (RAMP_WIDTH - 1);
            // Nothing over most of the surface, the hue rising towards the rim, white at its edge.
            float glow = std::pow(smooth(0.5f, 1.0f, t), 2.0f);
            float hot = smooth(0.92f, 1.0f, t);
            Colour c = hue * (1.1f * glow) + Colour{1.0f, 0.9f, 0.7f} * (0.5f * hot);
            uint8_t* p = &rgba[(static_cast<size_t>(y) * RAMP_WIDTH + x) * 4];
            p[0] = toByte(c.r);
            p[1] = toByte(c.g);
            p[2] = toByte(c.b);
            p[3] = 255;
        }
    }
    return writePicture(dataDir + "/angerlight.tga", RAMP_WIDTH, RAMP_HEIGHT, rgba, error);
}

}  // namespace

int main(int argc, char** argv)
{
    return runGenerator("env-pictures", argc, argv, [](const std::string& dataDir, std::string& error) {
        return writeCube(dataDir, error) && writeAngerLight(dataDir, error);
    });
}
