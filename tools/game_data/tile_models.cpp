// The ten level tiles. Each is the solid part of its box: a slab whose outline in x (level x)
// and z (level y) follows the box type, extruded backwards (+y, into the screen) so the camera
// sees a little of its top or underside. The front face sits at y = 0, the game's tile plane.
//
// Sizes, shapes, depth and the file units of a level unit are the shared tile table's, which the
// level generator builds its boxes from.
#include "tools/game_data/game_data.h"
#include "tools/game_data/mesh_kit.h"

#include "tools/common/tile_sizes.h"

#include <algorithm>
#include <cstdio>
#include <cstdint>

namespace {

const float TILE_FILE_PER_X = static_cast<float>(TILE_MODEL_UNITS_PER_WORLD_X);
const float TILE_FILE_PER_Y = static_cast<float>(TILE_MODEL_UNITS_PER_WORLD_Y);
const float TILE_DEPTH_FILE = TILE_DEPTH * TILE_FILE_PER_X;  // into the screen
const float TEXTURE_PERIOD = 128.0f;    // level units per texture repeat
const int MAX_PROFILE_STRIPS = 128;

// Outline of a tile as columns: at each x (0..1 across the box) the solid runs from bottom to
// top (fractions of the box height).
struct Column {
    float x, bottom, top;
};

std::vector<Column> tileColumns(const TileRecipe& recipe, const ProfileColumns& floorProfile,
                                const ProfileColumns& ceilingProfile)
{
    std::vector<Column> columns;
    auto line = [&](float b0, float t0, float b1, float t1) {
        columns.push_back({0, b0, t0});
        columns.push_back({1, b1, t1});
    };
    switch (recipe.shape) {
    case TileShape::BLOCK: line(0, 1, 0, 1); break;
    case TileShape::LEFT_SLOPE: line(0, 1, 0, 0); break;          // below the TL-BR diagonal
    case TileShape::RIGHT_SLOPE: line(0, 0, 0, 1); break;         // below the BL-TR diagonal
    case TileShape::BOTTOM_LEFT_SLOPE: line(1, 1, 0, 1); break;   // above the TL-BR diagonal
    case TileShape::BOTTOM_RIGHT_SLOPE: line(0, 1, 1, 1); break;  // above the BL-TR diagonal
    case TileShape::PROFILE_FLOOR:
    case TileShape::PROFILE_CEILING: {
        const std::vector<float>& v =
            recipe.shape == TileShape::PROFILE_FLOOR ? floorProfile.values : ceilingProfile.values;
        const int w = static_cast<int>(v.size());
        const int strips = std::min(w, MAX_PROFILE_STRIPS);
        for (int i = 0; i <= strips; ++i) {
            float x = float(i) / strips;
            // The column the game's surface query picks at this x (the last one at the right edge).
            int c = std::min(static_cast<int>(x * w), w - 1);
            float s = v[static_cast<size_t>(c)];
            if (recipe.shape == TileShape::PROFILE_FLOOR)
                columns.push_back({x, 0, s});
            else
                columns.push_back({x, s, 1});
        }
        break;
    }
    }
    return columns;
}

// A slab between consecutive columns: front, back, top and underside, and the two end caps.
void extrudeColumns(MeshBuilder& b, const std::vector<Column>& columns, float w, float h, float depth)
{
    const float period = TEXTURE_PERIOD * TILE_FILE_PER_X;
    auto at = [&](float x, float z, float y) { return V3{x * w, y, z * h}; };
    for (size_t i = 0; i + 1 < columns.size(); ++i) {
        const Column& c0 = columns[i];
        const Column& c1 = columns[i + 1];
        float x0 = c0.x * w, x1 = c1.x * w;
        float u0 = x0 / period, u1 = x1 / period;
        // Front (-y) and back: each strip a trapezoid, two triangles (a degenerate one is dropped
        // when an end meets a point).
        V3 fb0 = at(c0.x, c0.bottom, 0), ft0 = at(c0.x, c0.top, 0), fb1 = at(c1.x, c1.bottom, 0), ft1 = at(c1.x, c1.top, 0);
        auto frontUv = [&](V3 p, float& u, float& v) {
            u = p.x / period;
            v = p.z / period;
        };
        auto tri = [&](V3 a, V3 bb, V3 c) {
            if (length(cross(bb - a, c - a)) < 1e-6f)
                return;
            float ua, va, ub, vb, uc, vc;
            frontUv(a, ua, va);
            frontUv(bb, ub, vb);
            frontUv(c, uc, vc);
            b.triangle(a, bb, c, ua, va, ub, vb, uc, vc);
        };
        tri(fb0, fb1, ft1);
        tri(fb0, ft1, ft0);
        V3 back{0, depth, 0};
        tri(fb1 + back, fb0 + back, ft0 + back);
        tri(fb1 + back, ft0 + back, ft1 + back);
        // Top surface (faces up or along the slope) and underside.
        float dv = depth / period;
        b.quad(ft0, ft1, ft1 + back, ft0 + back, u0, 0, u1, dv);
        b.quad(fb1, fb0, fb0 + back, fb1 + back, u1, 0, u0, dv);
    }
    // End caps where the columns have height.
    const Column& first = columns.front();
    const Column& last = columns.back();
    V3 back{0, depth, 0};
    if (first.top - first.bottom > 1e-4f) {
        V3 b0 = at(first.x, first.bottom, 0), t0 = at(first.x, first.top, 0);
        b.quad(b0 + back, b0, t0, t0 + back, 0, b0.z / period, depth / period, t0.z / period);
    }
    if (last.top - last.bottom > 1e-4f) {
        V3 b1 = at(last.x, last.bottom, 0), t1 = at(last.x, last.top, 0);
        b.quad(b1, b1 + back, t1 + back, t1, 0, b1.z / period, depth / period, t1.z / period);
    }
}

} // namespace

// The texture set of each tile, by meshId; sizes and shapes come from the shared tile table.
static const char* const TILE_OBJECT_NAMES[TILE_MESH_COUNT] = {
    "tilemetal_slab",       "tilestone_block",  "tilegrass_slope", "tilecave_ceiling",
    "tilebrick_wall",       "tilestone_masonry", "tilegrass_left",  "tilegrass_right",
    "tilecave_overhangright", "tilecave_overhangleft",
};

static TileShape shapeOf(int boxType)
{
    switch (boxType) {
    case TILE_SHAPE_LEFT_SLOPE: return TileShape::LEFT_SLOPE;
    case TILE_SHAPE_RIGHT_SLOPE: return TileShape::RIGHT_SLOPE;
    case TILE_SHAPE_BOTTOM_LEFT_SLOPE: return TileShape::BOTTOM_LEFT_SLOPE;
    case TILE_SHAPE_BOTTOM_RIGHT_SLOPE: return TileShape::BOTTOM_RIGHT_SLOPE;
    case TILE_SHAPE_HEIGHTMAP_FLOOR: return TileShape::PROFILE_FLOOR;
    case TILE_SHAPE_HEIGHTMAP_CEILING: return TileShape::PROFILE_CEILING;
    default: return TileShape::BLOCK;
    }
}

std::vector<TileRecipe> tileRecipes()
{
    std::vector<TileRecipe> recipes;
    for (int i = 0; i < TILE_MESH_COUNT; ++i)
        recipes.push_back({TILE_SIZES[i].file, TILE_OBJECT_NAMES[i], TILE_SIZES[i].width, TILE_SIZES[i].height,
                           shapeOf(TILE_SIZES[i].shape)});
    return recipes;
}

bool readProfileColumns(const std::string& path, ProfileColumns& out, std::string& error)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    uint8_t header[18];
    bool ok = std::fread(header, 1, sizeof(header), file) == sizeof(header) && header[2] == 2 && header[16] == 32;
    const int w = header[12] | header[13] << 8, h = header[14] | header[15] << 8;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    ok = ok && w > 0 && h > 1 && std::fread(pixels.data(), 1, pixels.size(), file) == pixels.size();
    std::fclose(file);
    if (!ok) {
        error = path + ": expected an uncompressed 32-bit TGA picture";
        return false;
    }
    // Blue, green, red, alpha per pixel: the first row whose red differs from row 0.
    out.values.assign(static_cast<size_t>(w), 0.0f);
    for (int x = 0; x < w; ++x) {
        int r = 1;
        while (r < h - 1 && pixels[(static_cast<size_t>(r) * w + x) * 4 + 2] == pixels[static_cast<size_t>(x) * 4 + 2])
            ++r;
        out.values[static_cast<size_t>(x)] = float(r) / h;
    }
    return true;
}

std::vector<GeneratedModel> buildTileModels(const ProfileColumns& floorProfile, const ProfileColumns& ceilingProfile)
{
    std::vector<GeneratedModel> tiles;
    for (const TileRecipe& recipe : tileRecipes()) {
        MeshBuilder b;
        extrudeColumns(b, tileColumns(recipe, floorProfile, ceilingProfile), recipe.width * TILE_FILE_PER_X,
                       recipe.height * TILE_FILE_PER_Y, TILE_DEPTH_FILE);
        GeneratedModel m;
        m.file = recipe.file;
        m.mesh = b.finish(recipe.objectName, 1.0f);
        tiles.push_back(std::move(m));
    }
    return tiles;
}
