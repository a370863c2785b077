// The tube wall's texture set and the sphere's.
//
// The wall: organic plates (cells of a jittered lattice, their borders warped by noise) with
// glowing seams, two light rings per repeat across the tube, a rail of running lights along it
// and a few glowing nodes. One repeat of the picture covers a quarter of the tube's
// circumference (u) and TUNNEL_TEXTURE_LENGTH units along it (v); everything tiles.
//
// The lit program multiplies the base picture by the sum of the lights' ambient and diffuse
// terms, which the scene's light preset makes large and blue; the base therefore holds the
// wanted colour divided by that sum (WALL_LIGHT_SUM), so the wall shows the colours designed
// here. "xmix.tga" holds the same wall as it should appear: the sphere reflects it unlit.
#include "tools/tunnel_plasma_data/tunnel_plasma_data.h"

#include "tools/common/tga_write.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

constexpr float PI = 3.14159265358979f;

constexpr int WALL_WIDTH = 512;    // u
constexpr int WALL_HEIGHT = 1024;  // v
constexpr int RAMP_WIDTH = 256;
constexpr int RAMP_HEIGHT = 16;
constexpr int FLAT_SIDE = 16;
constexpr int PANEL_SIDE = 512;

// World size of one repeat of the wall picture.
const float WALL_TILE_WIDTH = 2.0f * PI * TUNNEL_RADIUS / static_cast<float>(TUNNEL_U_TILES);
constexpr float WALL_TILE_LENGTH = TUNNEL_TEXTURE_LENGTH;
// Plate lattice per repeat.
constexpr int CELLS_ACROSS = 4;
constexpr int CELLS_ALONG = 7;
constexpr float CELL_JITTER = 0.8f;
constexpr float RINGS_PER_TILE = 2.0f;
constexpr float RAIL_LIGHT_SPACING = 0.5f;  // world units between the rail's lights
constexpr float NODE_CHANCE = 0.3f;

// Ambient plus diffuse of the scene's lights on the wall, per channel (see the top).
constexpr Rgb WALL_LIGHT_SUM = {2.7f, 3.0f, 5.9f};
// Depth of the wall relief in world units, for the normal map.
constexpr float RELIEF_DEPTH = 0.035f;

constexpr Rgb PLATE = {0.075f, 0.06f, 0.115f};
constexpr Rgb SEAM_CORE = {0.3f, 0.95f, 1.0f};
constexpr Rgb SEAM_HALO = {0.02f, 0.22f, 0.32f};
constexpr Rgb RING_CORE = {1.0f, 0.32f, 0.72f};
constexpr Rgb RING_HALO = {0.32f, 0.06f, 0.26f};
constexpr Rgb RAIL_CORE = {0.85f, 0.95f, 1.0f};
constexpr Rgb RAIL_HALO = {0.08f, 0.18f, 0.42f};
constexpr Rgb NODE_CORE = {1.0f, 0.66f, 0.22f};
constexpr Rgb NODE_HALO = {0.3f, 0.12f, 0.02f};

struct WallSample {
    Rgb colour;       // as it should appear
    float height;     // relief, 0 (grooves) to 1 (plate tops)
    float specular;   // shine of the metal
};

// Tiling noise over one repeat: `cellsU` x `cellsV` lattice cells in it.
float tileNoise(float u, float v, uint32_t seed, int cellsU, int cellsV, int octaves)
{
    return sampleFractalNoise(u * static_cast<float>(cellsU), v * static_cast<float>(cellsV), seed, octaves, 0.5f,
                              cellsU, cellsV);
}

int wrapIndex(int i, int n)
{
    return ((i % n) + n) % n;
}

// The jittered centre of lattice cell (i, j), in lattice units.
void cellCentre(int i, int j, float& x, float& y)
{
    const uint32_t hi = static_cast<uint32_t>(wrapIndex(i, CELLS_ACROSS));
    const uint32_t hj = static_cast<uint32_t>(wrapIndex(j, CELLS_ALONG));
    x = static_cast<float>(i) + 0.5f + CELL_JITTER * (hashUnit(hi, hj, 0x7A11u) - 0.5f);
    y = static_cast<float>(j) + 0.5f + CELL_JITTER * (hashUnit(hi, hj, 0x7A12u) - 0.5f);
}

struct CellHit {
    float edge;        // world distance to the nearest cell border
    float centre;      // world distance to the own cell's centre
    uint32_t cell;     // id of the own cell
};

// Cells measured in world units (the lattice is anisotropic in u and v).
CellHit nearestCell(float u, float v)
{
    const float cellW = WALL_TILE_WIDTH / CELLS_ACROSS;
    const float cellH = WALL_TILE_LENGTH / CELLS_ALONG;
    const float px = u * CELLS_ACROSS;
    const float py = v * CELLS_ALONG;
    const int ix = static_cast<int>(std::floor(px));
    const int iy = static_cast<int>(std::floor(py));
    float best = 1e9f, bestX = 0, bestY = 0;
    int bestI = 0, bestJ = 0;
    for (int dj = -2; dj <= 2; ++dj)
        for (int di = -2; di <= 2; ++di) {
            float cx, cy;
            cellCentre(ix + di, iy + dj, cx, cy);
            const float dx = (cx - px) * cellW, dy = (cy - py) * cellH;
            const float d = dx * dx + dy * dy;
            if (d < best) {
                best = d;
                bestX = dx;
                bestY = dy;
                bestI = ix + di;
                bestJ = iy + dj;
            }
        }
    float edge = 1e9f;
    for (int dj = -2; dj <= 2; ++dj)
        for (int di = -2; di <= 2; ++di) {
            if (ix + di == bestI && iy + dj == bestJ)
                continue;
            float cx, cy;
            cellCentre(ix + di, iy + dj, cx, cy);
            const float dx = (cx - px) * cellW, dy = (cy - py) * cellH;
            // Distance from the point to the bisector of the two centres.
            const float mx = 0.5f * (bestX + dx), my = 0.5f * (bestY + dy);
            const float nx = dx - bestX, ny = dy - bestY;
            const float length = std::sqrt(nx * nx + ny * ny);
            if (length <= 0.0f)
                continue;
            edge = std::fmin(edge, (mx * nx + my * ny) / length);
        }
    CellHit hit;
    hit.edge = std::fmax(edge, 0.0f);
    hit.centre = std::sqrt(best);
    hit.cell = static_cast<uint32_t>(wrapIndex(bestI, CELLS_ACROSS) + CELLS_ACROSS * wrapIndex(bestJ, CELLS_ALONG));
    return hit;
}

void addScaled(Rgb& to, Rgb c, float s)
{
    to.r += c.r * s;
    to.g += c.g * s;
    to.b += c.b * s;
}

WallSample sampleWall(float u, float v)
{
    // Warp the plate lattice a little: the borders meander like grown tissue.
    const float wu = u + 0.035f * (tileNoise(u, v, 0x3101u, 6, 10, 3) - 0.5f);
    const float wv = v + 0.025f * (tileNoise(u, v, 0x3102u, 6, 10, 3) - 0.5f);
    const CellHit cell = nearestCell(wu - std::floor(wu), wv - std::floor(wv));
    const float x = u * WALL_TILE_WIDTH, y = v * WALL_TILE_LENGTH;

    WallSample s;
    const float cellShade = 0.75f + 0.5f * hashUnit(cell.cell, 0x51u, 0x52u);
    const float grain = 0.8f + 0.4f * tileNoise(u, v, 0x3201u, 16, 32, 4);
    s.colour = scaleRgb(PLATE, cellShade * grain);
    // A faint wet sheen: the scene's many lights would wash bright metal out to grey.
    s.specular = 0.1f * cellShade * (0.4f + 0.6f * tileNoise(u, v, 0x3301u, 8, 16, 3));

    // Plates: bevelled at the seams, slightly domed, with a fine organic grain.
    float height = smoothStep(0.0f, 0.09f, cell.edge) * (0.85f + 0.15f * grain);
    const float seamCore = 1.0f - smoothStep(0.006f, 0.02f, cell.edge);
    const float seamHalo = std::exp(-cell.edge / 0.05f);
    addScaled(s.colour, SEAM_CORE, seamCore);
    addScaled(s.colour, SEAM_HALO, seamHalo);
    s.specular *= smoothStep(0.01f, 0.05f, cell.edge);

    // Rings across the tube, rippled around it, each in its own groove.
    const float ripple = 0.08f * std::sin(2.0f * PI * 2.0f * u) + 0.04f * std::sin(2.0f * PI * 5.0f * u + 1.0f);
    const float ringPeriod = WALL_TILE_LENGTH / RINGS_PER_TILE;
    const float rt = (y + ripple) / ringPeriod;
    const float ringDistance = std::fabs(rt - std::floor(rt + 0.5f)) * ringPeriod;
    const float ringCore = std::exp(-(ringDistance / 0.045f) * (ringDistance / 0.045f));
    const float ringHalo = std::exp(-ringDistance / 0.22f);
    height *= smoothStep(0.03f, 0.11f, ringDistance);
    addScaled(s.colour, RING_CORE, ringCore);
    addScaled(s.colour, RING_HALO, ringHalo);
    s.specular *= smoothStep(0.05f, 0.15f, ringDistance);

    // The rail along the tube in the middle of the repeat, with running lights in it.
    const float railDistance = std::fabs(x - 0.5f * WALL_TILE_WIDTH);
    const float lightPhase = std::cos(2.0f * PI * y / RAIL_LIGHT_SPACING);
    const float lights = 0.2f + 0.8f * std::pow(0.5f + 0.5f * lightPhase, 8.0f);
    const float railCore = 1.0f - smoothStep(0.01f, 0.026f, railDistance);
    const float railHalo = std::exp(-railDistance / 0.07f);
    height *= smoothStep(0.035f, 0.075f, railDistance);
    addScaled(s.colour, RAIL_CORE, railCore * lights);
    addScaled(s.colour, RAIL_HALO, railHalo * (0.3f + 0.7f * lights));
    s.specular *= smoothStep(0.04f, 0.09f, railDistance);

    // Glowing nodes in the middle of some plates.
    if (hashUnit(cell.cell, 0x61u, 0x62u) < NODE_CHANCE) {
        const float nodeCore = 1.0f - smoothStep(0.025f, 0.04f, cell.centre);
        const float nodeHalo = std::exp(-cell.centre / 0.06f);
        addScaled(s.colour, NODE_CORE, nodeCore);
        addScaled(s.colour, NODE_HALO, nodeHalo);
        height *= 1.0f - 0.6f * nodeCore;
    }
    s.height = height;
    return s;
}

// Runs fill(x, y) for every pixel of a width x height grid on a few threads.
template <typename Fill>
void forEachPixel(int width, int height, const Fill& fill)
{
    std::vector<std::thread> workers;
    const int rows = (height + PAINT_THREAD_COUNT - 1) / PAINT_THREAD_COUNT;
    for (int first = 0; first < height; first += rows)
        workers.emplace_back([&, first]() {
            const int end = std::min(height, first + rows);
            for (int y = first; y < end; ++y)
                for (int x = 0; x < width; ++x)
                    fill(x, y);
        });
    for (std::thread& worker : workers)
        worker.join();
}

void setOpaque(Rgba& pixel, Rgb c)
{
    pixel = Rgba{clampUnit(c.r), clampUnit(c.g), clampUnit(c.b), 1.0f};
}

// Tangent-space normals from a tiling height grid (heights in world units per `depth`).
Canvas normalMapFromHeights(const std::vector<float>& heights, int width, int height, float pixelW, float pixelH,
                            float depth)
{
    Canvas canvas = makeCanvas(width, height, static_cast<float>(width), static_cast<float>(height));
    forEachPixel(width, height, [&](int x, int y) {
        auto h = [&](int i, int j) {
            return heights[static_cast<size_t>(wrapIndex(j, height)) * width + wrapIndex(i, width)] * depth;
        };
        const float dx = (h(x + 1, y) - h(x - 1, y)) / (2.0f * pixelW);
        const float dy = (h(x, y + 1) - h(x, y - 1)) / (2.0f * pixelH);
        float n[3] = {-dx, -dy, 1.0f};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        setOpaque(canvas.pixels[static_cast<size_t>(y) * width + x],
                  Rgb{0.5f + 0.5f * n[0] / length, 0.5f + 0.5f * n[1] / length, 0.5f + 0.5f * n[2] / length});
    });
    return canvas;
}

// A light ramp: brightness by light facing along u, `tint` shifting towards `rowTint` up the
// rows (the shader picks a row per light).
Canvas lightRamp(Rgb tint, Rgb rowTint, float gain)
{
    Canvas canvas = makeCanvas(RAMP_WIDTH, RAMP_HEIGHT, RAMP_WIDTH, RAMP_HEIGHT);
    for (int y = 0; y < RAMP_HEIGHT; ++y)
        for (int x = 0; x < RAMP_WIDTH; ++x) {
            const float facing = (static_cast<float>(x) + 0.5f) / RAMP_WIDTH;
            const float row = (static_cast<float>(y) + 0.5f) / RAMP_HEIGHT;
            const Rgb c = scaleRgb(mixRgb(tint, rowTint, row), gain * std::pow(facing, 0.8f));
            setOpaque(canvas.pixels[static_cast<size_t>(y) * RAMP_WIDTH + x], c);
        }
    return canvas;
}

Canvas flatPicture(Rgb c)
{
    Canvas canvas = makeCanvas(FLAT_SIDE, FLAT_SIDE, FLAT_SIDE, FLAT_SIDE);
    fillOpaque(canvas, c);
    return canvas;
}

struct WallPictures {
    Canvas appearance;  // as seen
    Canvas base;        // appearance / WALL_LIGHT_SUM
    Canvas specular;
    Canvas normal;
};

WallPictures paintWall()
{
    WallPictures w;
    w.appearance = makeCanvas(WALL_WIDTH, WALL_HEIGHT, WALL_WIDTH, WALL_HEIGHT);
    w.base = makeCanvas(WALL_WIDTH, WALL_HEIGHT, WALL_WIDTH, WALL_HEIGHT);
    w.specular = makeCanvas(WALL_WIDTH, WALL_HEIGHT, WALL_WIDTH, WALL_HEIGHT);
    std::vector<float> heights(static_cast<size_t>(WALL_WIDTH) * WALL_HEIGHT);
    forEachPixel(WALL_WIDTH, WALL_HEIGHT, [&](int x, int y) {
        const WallSample s = sampleWall((static_cast<float>(x) + 0.5f) / WALL_WIDTH,
                                        (static_cast<float>(y) + 0.5f) / WALL_HEIGHT);
        const size_t i = static_cast<size_t>(y) * WALL_WIDTH + x;
        setOpaque(w.appearance.pixels[i], s.colour);
        setOpaque(w.base.pixels[i], Rgb{s.colour.r / WALL_LIGHT_SUM.r, s.colour.g / WALL_LIGHT_SUM.g,
                                        s.colour.b / WALL_LIGHT_SUM.b});
        setOpaque(w.specular.pixels[i], Rgb{s.specular, s.specular, s.specular});
        heights[i] = s.height;
    });
    w.normal = normalMapFromHeights(heights, WALL_WIDTH, WALL_HEIGHT, WALL_TILE_WIDTH / WALL_WIDTH,
                                    WALL_TILE_LENGTH / WALL_HEIGHT, RELIEF_DEPTH);
    return w;
}

// Relief of the sphere's hull: square panels with bevelled grooves and a round port in every
// third panel, over one repeat of its texture coordinates.
Canvas paintSpherePanels()
{
    constexpr int PANELS = 8;
    constexpr float GROOVE = 0.06f;  // of a panel's side
    std::vector<float> heights(static_cast<size_t>(PANEL_SIDE) * PANEL_SIDE);
    forEachPixel(PANEL_SIDE, PANEL_SIDE, [&](int x, int y) {
        const float pu = (static_cast<float>(x) + 0.5f) / PANEL_SIDE * PANELS;
        const float pv = (static_cast<float>(y) + 0.5f) / PANEL_SIDE * PANELS;
        const float fu = pu - std::floor(pu), fv = pv - std::floor(pv);
        const float edge = std::fmin(std::fmin(fu, 1.0f - fu), std::fmin(fv, 1.0f - fv));
        float h = smoothStep(GROOVE * 0.5f, GROOVE * 1.5f, edge);
        const uint32_t panel = static_cast<uint32_t>(std::floor(pu)) + PANELS * static_cast<uint32_t>(std::floor(pv));
        if (panel % 3 == 1) {
            const float r = std::sqrt((fu - 0.5f) * (fu - 0.5f) + (fv - 0.5f) * (fv - 0.5f));
            const float port = 1.0f - smoothStep(0.015f, 0.04f, std::fabs(r - 0.2f));
            h *= 1.0f - 0.6f * port;
        }
        heights[static_cast<size_t>(y) * PANEL_SIDE + x] = h;
    });
    // One panel of the sphere is about 1/8 of half its circumference wide.
    const float panelWorld = PI * SPHERE_RADIUS / 8.0f;
    const float pixelWorld = panelWorld * 8.0f / PANEL_SIDE;
    return normalMapFromHeights(heights, PANEL_SIDE, PANEL_SIDE, pixelWorld, pixelWorld, panelWorld * 0.05f);
}

}  // namespace

bool writeCanvas(const std::string& path, const Canvas& canvas, bool withAlpha, uint32_t ditherSeed,
                 std::string& error)
{
    const std::vector<uint8_t> rgba = canvasToRgba8(canvas, ditherSeed, Rgb{0, 0, 0});
    TgaSource source;
    source.width = canvas.width;
    source.height = canvas.height;
    source.rgba = rgba.data();
    if (!writeTgaFile(path, source, withAlpha ? 32 : 24, TgaEncoding::RunLength, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool writeTunnelTextureSet(const std::string& dataDir, const std::string& key, std::string& error)
{
    const WallPictures wall = paintWall();
    const std::string stem = dataDir + "/" + key;
    return writeCanvas(stem + ".tga", wall.base, false, 0x7101u, error) &&
           writeCanvas(stem + "_normal.tga", wall.normal, false, 0, error) &&
           writeCanvas(stem + "_chraber.tga", lightRamp(Rgb{0.9f, 0.55f, 0.3f}, Rgb{0.75f, 0.4f, 0.6f}, 0.5f), false, 0,
                       error) &&
           writeCanvas(stem + "_specular.tga", wall.specular, false, 0x7102u, error);
}

bool writeSphereTextureSet(const std::string& dataDir, const std::string& key, std::string& error)
{
    const WallPictures wall = paintWall();
    const std::string stem = dataDir + "/" + key;
    return writeCanvas(stem + ".tga", wall.appearance, false, 0x7201u, error) &&
           writeCanvas(stem + "_normal.tga", paintSpherePanels(), false, 0, error) &&
           writeCanvas(stem + "_chraber.tga", lightRamp(Rgb{1.0f, 1.0f, 1.0f}, Rgb{0.85f, 0.9f, 1.0f}, 1.0f), false, 0,
                       error) &&
           writeCanvas(stem + "_specular.tga", flatPicture(Rgb{0.5f, 0.5f, 0.5f}), false, 0, error);
}
