// The flyover's landscape and its two tail ribbons.
//
// The landscape is a height field of TERRAIN_COLUMNS x TERRAIN_ROWS grid points, built once at
// start-up from the height picture "terrainh.tga"; the rows the scene reaches
// (TERRAIN_GPU_ROWS) are turned into per-triangle arrays (positions, smoothed normals, texture
// coordinates, tangents, handedness) for GL. The scene draws a window of TERRAIN_WINDOW_ROWS
// rows of it each frame.
//
// Conventions:
// - Grid point (i, j): row i along the flight, column j across; position (20 j, 20 i, h(i, j))
//   in landscape space with h = red / 256 x 75 + 23; texture coordinate (j / 256, i / 4096).
// - Cell (i, j) holds two triangles in slot j of row i: A = (i, j), (i, j+1), (i+1, j+1) and
//   B = (i, j), (i+1, j+1), (i+1, j); three vertices each, vertex k of triangle t of the cell at
//   vertex index ((i x 256 + j) x 2 + t) x 3 + k. The last row and the last slot of each row
//   stay zero.
// - The window of rows r .. r + 255 is drawn at (x - 2560, y - 2560 - 20 r, z - 20). The rows
//   the scene can reach (TERRAIN_GPU_ROWS) are sent to GL once, and each frame's window is a
//   draw of that buffer from row r with the shift in the modelview, so no vertex data moves
//   per frame.
// - Tail ribbons are in world space (the scene draws them under an identity modelview): the
//   ship at the origin flies towards +z and the ribbons trail 400 units towards -z.
#pragma once

#include <cstddef>
#include <cstdint>

struct Model;

constexpr int TERRAIN_COLUMNS = 256;
constexpr int TERRAIN_ROWS = 4096;
constexpr int TERRAIN_CENTRE_COLUMN = 128;  // under the ship
constexpr int TERRAIN_WINDOW_ROWS = 256;
constexpr int TERRAIN_CELL_TRIANGLES = 2;
constexpr int TERRAIN_ROW_TRIANGLES = TERRAIN_COLUMNS * TERRAIN_CELL_TRIANGLES;
constexpr int TERRAIN_TRIANGLES = TERRAIN_ROWS * TERRAIN_ROW_TRIANGLES;                 // 2097152
constexpr int TERRAIN_WINDOW_TRIANGLES = TERRAIN_WINDOW_ROWS * TERRAIN_ROW_TRIANGLES;  // 131072
constexpr int TERRAIN_PICTURE_BYTES = TERRAIN_COLUMNS * TERRAIN_ROWS * 4;
// Rows kept in GL buffers. The scene lasts 49.1 s and scrolls 15 rows a second, so its last
// window starts near row 737 and ends below row 1000; the scroll stops where the last window
// of these rows begins.
constexpr int TERRAIN_GPU_ROWS = 1024;
constexpr int TERRAIN_LAST_WINDOW_ROW = TERRAIN_GPU_ROWS - TERRAIN_WINDOW_ROWS;
// Window shift in landscape units.
constexpr float TERRAIN_WINDOW_SHIFT_XY = 2560.0f;
constexpr float TERRAIN_WINDOW_SHIFT_Z = 20.0f;

constexpr int TAIL_SEGMENTS = 20;
constexpr int TAIL_SECTION_QUADS = 16;
constexpr int TAIL_SEGMENT_TRIANGLES = 2 * TAIL_SECTION_QUADS;
constexpr int TAIL_RIBBON_COUNT = 2;
constexpr int TAIL_PIECE_COUNT = 3;

extern const float terrainGrid;           // 20: grid spacing in world units
extern const float terrainHeightScale;    // 75
extern const float terrainHeightBase;     // 23
extern const float tailHeightBase;        // 5
extern const float terrainScrollDivisor;  // 4: the scroll moves terrainGrid / 4 per frame
extern const int tailFaceCount;           // 640 = TAIL_SEGMENTS x TAIL_SEGMENT_TRIANGLES

// The landscape arrays (null until allocTerrainBuffers succeeds). The per-triangle arrays
// (positions to handedness) are released once createTerrainMesh has sent the rows the scene
// reaches to GL; the picture, heights and vertex normals stay for the whole run.
struct TerrainBuffers {
    uint8_t* picture;        // TERRAIN_PICTURE_BYTES: the height picture as RGBA, row r at 1024 r
    float* heights;          // [TERRAIN_ROWS][TERRAIN_COLUMNS]
    float* vertexNormals;    // [TERRAIN_ROWS][TERRAIN_COLUMNS][3]
    float* positions;        // 9 floats per triangle slot, rows 0 .. TERRAIN_GPU_ROWS - 1
    float* normals;          // 9
    float* texcoords;        // 6
    float* tangents;         // 9
    float* handedness;       // 3
};

extern TerrainBuffers terrainBuffers;
extern Model* terrainModel;
extern Model* tailModels[TAIL_RIBBON_COUNT];
extern Model* tailPieceModels[TAIL_PIECE_COUNT];

// One ribbon segment's section: 16 quads as 32 triangles of 3 vertices.
struct TailScratch {
    float* positions;  // 9 per triangle
    float* normals;    // 9 per triangle
    float* texcoords;  // 6 per triangle
};

extern TailScratch tailScratch;

// Height of a red byte of the height picture.
float terrainHeightFromRed(uint8_t red);
// h(row, column) of the landscape, with row and column clamped into the grid; 0 before the
// landscape is built.
float terrainHeightAt(int row, int column);

// GL-free parts of the construction, for any grid of rows x columns points (the landscape is
// TERRAIN_ROWS x TERRAIN_COLUMNS).
// Heights from RGBA picture rows (red byte, row r at byte 4 x columns x r).
void fillGridHeights(const uint8_t* picture, int rows, int columns, float* heights);
// Positions and texture coordinates of every cell into slot-per-column arrays (columns slots
// per row); the last row and the last slot of a row are left as they are.
void fillGridCells(const float* heights, int rows, int columns, float* positions, float* texcoords);
// Smoothed vertex normals (3 per point), as computeTerrainNormals does for the landscape.
void computeGridNormals(const float* heights, int rows, int columns, float* vertexNormals);
// The six normals of each cell from the vertex normals of its corners.
void copyGridNormals(const float* vertexNormals, int rows, int columns, float* normals);

// True for a height picture the landscape can be read from (TERRAIN_COLUMNS x TERRAIN_ROWS);
// otherwise prints why it is refused and returns false.
bool acceptTerrainPictureSize(int width, int height);
// Reads level 0 of `texture` as RGBA bytes into `picture` (TERRAIN_PICTURE_BYTES) when the
// texture has the landscape's size; leaves `picture` untouched and returns false otherwise.
bool readTerrainPicture(uint32_t texture, uint8_t* picture);

// The landscape arrays, zero-filled (reported and false when memory runs out).
bool allocTerrainBuffers();
void fillTerrainFromPicture();
// "terrain compute normals", then the vertex normals of the points the held triangles use
// (rows 0 .. TERRAIN_GPU_ROWS); the rows beyond stay zero.
void computeTerrainNormals();
void copyTerrainNormals();
// Tangents and handedness of every triangle slot held (the rule of gfx/tangents.h).
void generateTerrainTangentsOfLandscape();
// The "terrain" model: its texture set and GL buffers holding rows 0 .. TERRAIN_GPU_ROWS - 1.
Model* createTerrainMesh();
// Frees the per-triangle arrays (about 75 MB): after createTerrainMesh only GL reads them.
void releaseTerrainTriangleArrays();
// The windowed, shadowed draw of the landscape from `row` (clamped to 0 ..
// TERRAIN_LAST_WINDOW_ROW): what drawModelShadowed does for a model, with the window's shift
// multiplied into the current modelview for the draw.
void drawTerrainWindow(Model& model, int program, int row);

Model* createTailMesh(const char* name, int triangleCount);
void initTails();
void buildTailSections(float ax, float bx, float ay, float by, float az, float bz, float radius, int segment);
void drawTails(int row, float offset);
