// The tile-map flyby: a landscape of tile models read from the character map "level.level",
// scrolled row by row and drawn through the shadow-map passes. Only the shadowed test scenes
// draw it.
//
// The map file: 214 records of 16 bytes, one per row, row 0 first; bytes 0 to 12 of a record
// are the row's cells, the rest is padding. A cell byte ' ' is empty (0), any other byte b is
// tile code b - 64 ('A' is 1). Codes 1 to 7 draw a tile; every other code draws nothing.
#pragma once

#include <cstddef>
#include <cstdint>

struct Model;

constexpr int FLYBY_ROWS = 214;
constexpr int FLYBY_CELLS = 13;
constexpr int FLYBY_RECORD_BYTES = 16;
constexpr size_t FLYBY_FILE_BYTES = static_cast<size_t>(FLYBY_ROWS) * FLYBY_RECORD_BYTES;  // 3424
constexpr int FLYBY_DRAWN_ROWS = 120;
constexpr int FLYBY_TILE_SLOTS = 6;
constexpr float FLYBY_CELL_SIZE = 4.26f;  // view units between cells and between rows

extern uint8_t flybyMap[FLYBY_ROWS][FLYBY_CELLS];
extern float flybyScroll;                               // 0 .. FLYBY_CELL_SIZE, the sub-row scroll
extern Model* flybyTileModels[FLYBY_TILE_SLOTS];        // tile models 1 to 6; null slots draw nothing
extern float flybyTileFrames[2];                        // 0..1: animation frames of codes 3 and 4

// Cells from the bytes of a map file. Only the first FLYBY_FILE_BYTES count; a shorter file
// leaves the cells it does not reach empty. No allocation, any bytes accepted.
void decodeFlybyMap(const uint8_t* bytes, size_t size, uint8_t out[FLYBY_ROWS][FLYBY_CELLS]);

// Reads the data-folder "level.level" into flybyMap, prints "\nflyby level map loaded." and
// loads the sky textures. A missing file ends the program: "File error" on stderr, status 1
// ("Memory error", status 2, and "Reading error", status 3, for the other failures).
void loadFlybyMap();
// Advances flybyScroll and, each time it wraps, moves every row up by one (row 0 goes last).
void scrollFlybyMap();
// One row rotation of the map.
void rotateFlybyMapRows();
// The first 120 rows into the current pass: depth with shadowDepthProgram, and lit with
// shadowFogProgram (the lit pass then scrolls the map).
void drawFlybyMapShadowPass();
void drawFlybyMapLitPass();
// The model and animation frame a cell code draws with; false for codes that draw nothing
// (outside 1 to 7, or an empty slot).
bool flybyTileFor(uint8_t code, Model*& model, int& frame);
// flybyTileFrames from the scene clock, 0.01 per 60 Hz frame: code 3's tiles loop through their
// frames once every 100 frames, code 4's swing forwards and back at the same pace.
void animateFlybyTileFrames();

// The shadow tuning keys, on the held key table (SDL scancodes), applied once per call for
// every key held: U / I step sf (with right SHIFT sfbg) by -/+0.001, J / K sfz (sfzbg) the
// same; 1 / 2 step zsc by -/+0.5, 3 / 4 ysc by +/-0.5, 5 / 6 xsc by -/+0.5. Each step sends the
// values it changed to the diagnostic log.
void adjustShadowTuning();
