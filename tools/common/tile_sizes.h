// One size per tile mesh id: the box a level gives each tile model, in world units, and the box
// type whose solid part the model shows. The level generator builds its boxes to these sizes and
// the tile model generator builds its meshes to them, so a tile fills the rectangle of its box.
//
// Placement of a tile by the game: the model's origin sits at the box's lower-left corner and the
// model is drawn under a 270 degree rotation about x, so a model authored z-up with its front
// facing -y shows model x along world x, model z along world y and model +y going away from the
// viewer. Model file units reach the view through the loader's 0.05 and the tiles' scale 0.111;
// one world unit is 2048 x 5.38 / 1980 / 1000 view units across and 2048 x 2.9 / 1080 / 1000 up.
// A tile of width w and height h therefore spans model x 0..w x TILE_MODEL_UNITS_PER_WORLD_X and
// model z 0..h x TILE_MODEL_UNITS_PER_WORLD_Y; its front face lies at model y 0 (view z 0, just
// behind the hero at view z 0.15) and it reaches TILE_DEPTH world units (x scale) back from it.
#pragma once

constexpr int TILE_MESH_COUNT = 10;

constexpr double TILE_LOADER_SCALE = 0.05;
constexpr double TILE_MODEL_SCALE = 0.111;
constexpr double TILE_VIEW_UNITS_PER_WORLD_X = 2048.0 * 5.38 / 1980.0 / 1000.0;
constexpr double TILE_VIEW_UNITS_PER_WORLD_Y = 2048.0 * 2.9 / 1080.0 / 1000.0;
constexpr double TILE_MODEL_UNITS_PER_WORLD_X = TILE_VIEW_UNITS_PER_WORLD_X / (TILE_LOADER_SCALE * TILE_MODEL_SCALE);
constexpr double TILE_MODEL_UNITS_PER_WORLD_Y = TILE_VIEW_UNITS_PER_WORLD_Y / (TILE_LOADER_SCALE * TILE_MODEL_SCALE);

constexpr float TILE_DEPTH = 150.0f;

// Box type numbers as the level files store them.
constexpr int TILE_SHAPE_STANDARD = 0;
constexpr int TILE_SHAPE_LEFT_SLOPE = 2;          // solid below the top-left to bottom-right diagonal
constexpr int TILE_SHAPE_RIGHT_SLOPE = 3;         // solid below the bottom-left to top-right diagonal
constexpr int TILE_SHAPE_BOTTOM_LEFT_SLOPE = 4;   // solid above the top-left to bottom-right diagonal
constexpr int TILE_SHAPE_BOTTOM_RIGHT_SLOPE = 5;  // solid above the bottom-left to top-right diagonal
constexpr int TILE_SHAPE_HEIGHTMAP_FLOOR = 6;     // bottom edge up to the "hfslope1.tga" profile
constexpr int TILE_SHAPE_HEIGHTMAP_CEILING = 7;   // the "heightmap2.tga" profile up to the top edge

struct TileSize {
    const char* file;  // model file in data/
    float width;       // world units
    float height;      // world units
    int shape;         // box type the model is shaped for; lifts (type 1) use the standard tiles
};

// Indexed by meshId.
constexpr TileSize TILE_SIZES[TILE_MESH_COUNT] = {
    {"tile_1.3dm", 200.0f, 50.0f, TILE_SHAPE_STANDARD},            // slab: ledges and lifts
    {"tile_2.3dm", 50.0f, 50.0f, TILE_SHAPE_STANDARD},             // small block (the palette's default entry)
    {"tile_floor2.3dm", 400.0f, 100.0f, TILE_SHAPE_HEIGHTMAP_FLOOR},
    {"tile_floor3.3dm", 400.0f, 100.0f, TILE_SHAPE_HEIGHTMAP_CEILING},
    {"tile_wall1.3dm", 50.0f, 300.0f, TILE_SHAPE_STANDARD},        // thin wall
    {"tile_wall2.3dm", 400.0f, 200.0f, TILE_SHAPE_STANDARD},       // masonry block, also ground
    {"tile_tlbr1.3dm", 200.0f, 100.0f, TILE_SHAPE_LEFT_SLOPE},
    {"tile_bltr1.3dm", 200.0f, 100.0f, TILE_SHAPE_RIGHT_SLOPE},
    {"tile_bltr2.3dm", 200.0f, 100.0f, TILE_SHAPE_BOTTOM_RIGHT_SLOPE},
    {"tile_bltr3.3dm", 200.0f, 100.0f, TILE_SHAPE_BOTTOM_LEFT_SLOPE},
};
