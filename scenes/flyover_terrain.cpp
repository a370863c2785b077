#include "scenes/flyover_terrain.h"

#include "core/data_files.h"        // debugLog
#include "gfx/model.h"             // Model, the hand-built models' arrays and GL objects
#include "gfx/tangents.h"          // the landscape's and the ribbons' tangents
#include "gfx/textures.h"          // loadTextureSet
#include "platform/gl_api.h"
#include "render/light_space.h"    // computeLightMatrices
#include "render/model_draw.h"     // beginShadowedSubmission, uploadFogUniforms
#include "render/shadowed_draw.h"  // drawModelVolumetric
#include "scenes/toolkit.h"        // rotateVectorByAngles

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <thread>
#include <vector>

const float terrainGrid = 20.0f;
const float terrainHeightScale = 75.0f;
const float terrainHeightBase = 23.0f;
const float tailHeightBase = 5.0f;
const float terrainScrollDivisor = 4.0f;
const int tailFaceCount = TAIL_SEGMENTS * TAIL_SEGMENT_TRIANGLES;

TerrainBuffers terrainBuffers = {};
Model* terrainModel = nullptr;
Model* tailModels[TAIL_RIBBON_COUNT] = {};
Model* tailPieceModels[TAIL_PIECE_COUNT] = {};
TailScratch tailScratch = {};

// Rows of the landscape in terrainModel's GL buffers (0 until createTerrainMesh sent them).
static int terrainGpuRows = 0;

static constexpr const char* TERRAIN_HEIGHT_PICTURE = "terrainh.tga";
static constexpr const char* TAIL_RIBBON_NAMES[TAIL_RIBBON_COUNT] = {"tail1", "tail2"};
static constexpr float TAIL_RIBBON_RADII[TAIL_RIBBON_COUNT] = {2.0f, 0.4f};
static constexpr const char* TAIL_PIECE_FILES[TAIL_PIECE_COUNT] = {"taila.3dm", "tailb.3dm", "tailc.3dm"};
static constexpr int TAIL_ANGLE_STEP = 785;  // 1/2000 radian: 16 steps of 0.3925
static constexpr float TAIL_TEXTURE_END = 0.9f;
static constexpr int POSITION_FLOATS = 9;  // per triangle
static constexpr int TEXCOORD_FLOATS = 6;
static constexpr int HANDEDNESS_FLOATS = 3;
static constexpr int TERRAIN_BUILD_THREADS = 8;
static constexpr int TERRAIN_TANGENT_BLOCK_ROWS = 32;

float terrainHeightFromRed(uint8_t red)
{
    return static_cast<float>(red) / 256.0f * terrainHeightScale + terrainHeightBase;
}

float terrainHeightAt(int row, int column)
{
    if (!terrainBuffers.heights)
        return 0.0f;
    row = std::clamp(row, 0, TERRAIN_ROWS - 1);
    column = std::clamp(column, 0, TERRAIN_COLUMNS - 1);
    return terrainBuffers.heights[static_cast<size_t>(row) * TERRAIN_COLUMNS + static_cast<size_t>(column)];
}

void fillGridHeights(const uint8_t* picture, int rows, int columns, float* heights)
{
    const size_t points = static_cast<size_t>(rows) * static_cast<size_t>(columns);
    for (size_t p = 0; p < points; ++p)
        heights[p] = terrainHeightFromRed(picture[4 * p]);
}

// Index of the first float of vertex k of triangle t of cell (i, j), `floats` per vertex.
static inline size_t cellVertex(int i, int j, int t, int k, int columns, int floats)
{
    return ((((static_cast<size_t>(i) * columns + j) * TERRAIN_CELL_TRIANGLES + t) * 3) + k) * floats;
}

// The grid points of the six vertices of cell (i, j): A = (i, j), (i, j+1), (i+1, j+1);
// B = (i, j), (i+1, j+1), (i+1, j); as (row, column) pairs.
static const int CELL_CORNERS[6][2] = {{0, 0}, {0, 1}, {1, 1}, {0, 0}, {1, 1}, {1, 0}};

// Cells of rows first .. end - 1 (each a row of the grid but the last).
static void fillGridCellRows(const float* heights, int rows, int columns, int first, int end, float* positions,
                             float* texcoords)
{
    for (int i = first; i < end && i + 1 < rows; ++i) {
        for (int j = 0; j + 1 < columns; ++j) {
            for (int v = 0; v < 6; ++v) {
                const int pi = i + CELL_CORNERS[v][0];
                const int pj = j + CELL_CORNERS[v][1];
                float* p = positions + cellVertex(i, j, v / 3, v % 3, columns, 3);
                p[0] = terrainGrid * static_cast<float>(pj);
                p[1] = terrainGrid * static_cast<float>(pi);
                p[2] = heights[static_cast<size_t>(pi) * columns + pj];
                float* uv = texcoords + cellVertex(i, j, v / 3, v % 3, columns, 2);
                uv[0] = static_cast<float>(pj) / static_cast<float>(columns);
                uv[1] = static_cast<float>(pi) / static_cast<float>(rows);
            }
        }
    }
}

void fillGridCells(const float* heights, int rows, int columns, float* positions, float* texcoords)
{
    fillGridCellRows(heights, rows, columns, 0, rows, positions, texcoords);
}

// (A - P) x (B - P), normalised, added to `sum`.
static inline void addTriangleNormal(const float* p, const float* a, const float* b, float* sum)
{
    const float ax = a[0] - p[0], ay = a[1] - p[1], az = a[2] - p[2];
    const float bx = b[0] - p[0], by = b[1] - p[1], bz = b[2] - p[2];
    const float nx = ay * bz - az * by;
    const float ny = az * bx - ax * bz;
    const float nz = ax * by - ay * bx;
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    sum[0] += nx / length;
    sum[1] += ny / length;
    sum[2] += nz / length;
}

static void computeGridNormalRows(const float* heights, int rows, int columns, int first, int end,
                                  float* vertexNormals)
{
    // Neighbour offsets as (column, row); interior points use all eight in this order, border
    // points the four edge neighbours W, N, E, S.
    static const int RING[8][2] = {{-1, 0}, {-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}};
    static const int EDGES[4][2] = {{-1, 0}, {0, 1}, {1, 0}, {0, -1}};
    for (int i = first; i < end; ++i) {
        for (int j = 0; j < columns; ++j) {
            // Points q = (column, height, row), one unit apart horizontally.
            auto point = [&](int dj, int di, float* q) {
                q[0] = static_cast<float>(j + dj);
                q[1] = heights[static_cast<size_t>(i + di) * columns + (j + dj)];
                q[2] = static_cast<float>(i + di);
            };
            float p[3];
            point(0, 0, p);
            float sum[3] = {0.0f, 0.0f, 0.0f};
            const bool interior = i > 0 && j > 0 && i + 1 < rows && j + 1 < columns;
            if (interior) {
                float q[8][3];
                for (int k = 0; k < 8; ++k)
                    point(RING[k][0], RING[k][1], q[k]);
                for (int k = 0; k < 8; ++k)
                    addTriangleNormal(p, q[k], q[(k + 1) % 8], sum);
            } else {
                float q[4][3];
                bool exists[4];
                for (int k = 0; k < 4; ++k) {
                    const int nj = j + EDGES[k][0], ni = i + EDGES[k][1];
                    exists[k] = nj >= 0 && nj < columns && ni >= 0 && ni < rows;
                    if (exists[k])
                        point(EDGES[k][0], EDGES[k][1], q[k]);
                }
                for (int k = 0; k < 4; ++k)
                    if (exists[k] && exists[(k + 1) % 4])
                        addTriangleNormal(p, q[k], q[(k + 1) % 4], sum);
            }
            float* n = vertexNormals + (static_cast<size_t>(i) * columns + j) * 3;
            const float length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
            if (length > 0.0f) {
                n[0] = sum[0] / length;
                n[1] = sum[1] / length;
                n[2] = -(sum[2] / length);
            } else {
                // A grid one point wide has no triangle at all: it faces straight up.
                n[0] = 0.0f;
                n[1] = 1.0f;
                n[2] = 0.0f;
            }
        }
    }
}

void computeGridNormals(const float* heights, int rows, int columns, float* vertexNormals)
{
    computeGridNormalRows(heights, rows, columns, 0, rows, vertexNormals);
}

static void copyGridNormalRows(const float* vertexNormals, int rows, int columns, int first, int end, float* normals)
{
    for (int i = first; i < end && i + 1 < rows; ++i) {
        for (int j = 0; j + 1 < columns; ++j) {
            for (int v = 0; v < 6; ++v) {
                const int pi = i + CELL_CORNERS[v][0];
                const int pj = j + CELL_CORNERS[v][1];
                std::memcpy(normals + cellVertex(i, j, v / 3, v % 3, columns, 3),
                            vertexNormals + (static_cast<size_t>(pi) * columns + pj) * 3, 3 * sizeof(float));
            }
        }
    }
}

void copyGridNormals(const float* vertexNormals, int rows, int columns, float* normals)
{
    copyGridNormalRows(vertexNormals, rows, columns, 0, rows, normals);
}

bool acceptTerrainPictureSize(int width, int height)
{
    if (width == TERRAIN_COLUMNS && height == TERRAIN_ROWS)
        return true;
    std::fprintf(stderr, "%s is %d x %d, not %d x %d: the landscape is not read from it\n", TERRAIN_HEIGHT_PICTURE,
                 width, height, TERRAIN_COLUMNS, TERRAIN_ROWS);
    return false;
}

bool readTerrainPicture(uint32_t texture, uint8_t* picture)
{
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    // The array holds exactly one landscape picture: any other size would be written past it.
    if (!picture || !acceptTerrainPictureSize(width, height))
        return false;
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, picture);
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    return true;
}

// The landscape arrays are large (about 95 MB) and filled once: they are mapped fresh (so
// they start zeroed) with transparent huge pages, since first-touch page faults would otherwise
// cost more than the construction itself.
static constexpr size_t HUGE_PAGE_BYTES = 2u << 20;

static size_t mappedBytes(size_t bytes)
{
    return (bytes + HUGE_PAGE_BYTES - 1) / HUGE_PAGE_BYTES * HUGE_PAGE_BYTES;
}

template <typename T>
static bool allocZeroed(T*& array, size_t count)
{
    if (array)
        return true;
    const size_t bytes = mappedBytes(count * sizeof(T));
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return false;
    madvise(block, bytes, MADV_HUGEPAGE);  // a hint: without it the build is only slower
    array = static_cast<T*>(block);
    return true;
}

template <typename T>
static void releaseMapped(T*& array, size_t count)
{
    if (array)
        munmap(array, mappedBytes(count * sizeof(T)));
    array = nullptr;
}

static constexpr size_t TERRAIN_POINTS = static_cast<size_t>(TERRAIN_ROWS) * TERRAIN_COLUMNS;
// Only the rows GL receives get triangles: the rest of the height field is never drawn.
static constexpr size_t TERRAIN_SLOTS = static_cast<size_t>(TERRAIN_GPU_ROWS) * TERRAIN_ROW_TRIANGLES;

void releaseTerrainTriangleArrays()
{
    TerrainBuffers& b = terrainBuffers;
    releaseMapped(b.positions, POSITION_FLOATS * TERRAIN_SLOTS);
    releaseMapped(b.normals, POSITION_FLOATS * TERRAIN_SLOTS);
    releaseMapped(b.texcoords, TEXCOORD_FLOATS * TERRAIN_SLOTS);
    releaseMapped(b.tangents, POSITION_FLOATS * TERRAIN_SLOTS);
    releaseMapped(b.handedness, HANDEDNESS_FLOATS * TERRAIN_SLOTS);
}

static void releaseTerrainBuffers()
{
    TerrainBuffers& b = terrainBuffers;
    releaseMapped(b.picture, static_cast<size_t>(TERRAIN_PICTURE_BYTES));
    releaseMapped(b.heights, TERRAIN_POINTS);
    releaseMapped(b.vertexNormals, 3 * TERRAIN_POINTS);
    releaseTerrainTriangleArrays();
}

bool allocTerrainBuffers()
{
    TerrainBuffers& b = terrainBuffers;
    const bool ok = allocZeroed(b.picture, static_cast<size_t>(TERRAIN_PICTURE_BYTES)) &&
                    allocZeroed(b.heights, TERRAIN_POINTS) && allocZeroed(b.vertexNormals, 3 * TERRAIN_POINTS) &&
                    allocZeroed(b.positions, POSITION_FLOATS * TERRAIN_SLOTS) &&
                    allocZeroed(b.normals, POSITION_FLOATS * TERRAIN_SLOTS) &&
                    allocZeroed(b.texcoords, TEXCOORD_FLOATS * TERRAIN_SLOTS) &&
                    allocZeroed(b.tangents, POSITION_FLOATS * TERRAIN_SLOTS) &&
                    allocZeroed(b.handedness, HANDEDNESS_FLOATS * TERRAIN_SLOTS);
    if (!ok) {
        std::fprintf(stderr, "flyover: not enough memory for the landscape; it is left out\n");
        releaseTerrainBuffers();
    }
    return ok;
}

// Runs work(firstRow, endRow) over rows 0 .. rows - 1 split into one contiguous range per
// thread. The construction steps write disjoint rows and only read shared input, so the result
// is the same as in one pass.
template <typename Work>
static void forTerrainRows(int rows, const Work& work)
{
    const unsigned hardware = std::thread::hardware_concurrency();
    const int threads = std::clamp(static_cast<int>(hardware), 1, TERRAIN_BUILD_THREADS);
    const int rowsPerThread = (rows + threads - 1) / threads;
    std::vector<std::thread> workers;
    for (int first = rowsPerThread; first < rows; first += rowsPerThread)
        workers.emplace_back(work, first, std::min(first + rowsPerThread, rows));
    work(0, std::min(rowsPerThread, rows));
    for (std::thread& worker : workers)
        worker.join();
}

void fillTerrainFromPicture()
{
    if (!terrainBuffers.positions)
        return;
    fillGridHeights(terrainBuffers.picture, TERRAIN_ROWS, TERRAIN_COLUMNS, terrainBuffers.heights);
    forTerrainRows(TERRAIN_GPU_ROWS, [](int first, int end) {
        fillGridCellRows(terrainBuffers.heights, TERRAIN_ROWS, TERRAIN_COLUMNS, first, end, terrainBuffers.positions,
                         terrainBuffers.texcoords);
    });
}

void computeTerrainNormals()
{
    std::puts("terrain compute normals");
    if (!terrainBuffers.vertexNormals)
        return;
    // The triangles of the rows GL receives read the normals of one more row of points.
    forTerrainRows(std::min(TERRAIN_GPU_ROWS + 1, TERRAIN_ROWS), [](int first, int end) {
        computeGridNormalRows(terrainBuffers.heights, TERRAIN_ROWS, TERRAIN_COLUMNS, first, end,
                              terrainBuffers.vertexNormals);
    });
}

void copyTerrainNormals()
{
    if (!terrainBuffers.normals)
        return;
    forTerrainRows(TERRAIN_GPU_ROWS, [](int first, int end) {
        copyGridNormalRows(terrainBuffers.vertexNormals, TERRAIN_ROWS, TERRAIN_COLUMNS, first, end,
                           terrainBuffers.normals);
    });
}

void generateTerrainTangentsOfLandscape()
{
    if (!terrainBuffers.tangents)
        return;
    // The tangent rule over the slots of the rows GL receives, as generateTerrainTangents applies
    // it. Every vertex belongs to one triangle, so blocks of rows are independent: each block runs
    // with small sums of its own instead of two full-size ones.
    forTerrainRows(TERRAIN_GPU_ROWS, [](int first, int end) {
        const size_t blockTriangles = static_cast<size_t>(TERRAIN_TANGENT_BLOCK_ROWS) * TERRAIN_ROW_TRIANGLES;
        std::vector<float> sumS(POSITION_FLOATS * blockTriangles);
        std::vector<float> sumT(POSITION_FLOATS * blockTriangles);
        for (int row = first; row < end; row += TERRAIN_TANGENT_BLOCK_ROWS) {
            const size_t triangle = static_cast<size_t>(row) * TERRAIN_ROW_TRIANGLES;
            const int rows = std::min(TERRAIN_TANGENT_BLOCK_ROWS, end - row);
            generateTangents(terrainBuffers.positions + POSITION_FLOATS * triangle,
                             terrainBuffers.normals + POSITION_FLOATS * triangle,
                             terrainBuffers.texcoords + TEXCOORD_FLOATS * triangle,
                             static_cast<int64_t>(rows) * TERRAIN_ROW_TRIANGLES,
                             terrainBuffers.tangents + POSITION_FLOATS * triangle,
                             terrainBuffers.handedness + HANDEDNESS_FLOATS * triangle, sumS.data(), sumT.data());
        }
    });
}

Model* createTerrainMesh()
{
    Model* model = new Model;
    std::strcpy(model->name, "terrain");
    model->textureSet = loadTextureSet("terrain");
    *model->animFlag = 0;
    model->hasList = 0;
    model->triangleCount = TERRAIN_WINDOW_TRIANGLES;
    createModelGlObjects(*model);
    // The reachable rows go to GL once, straight from the landscape arrays; the model keeps no
    // copy of its own, and its buffers count as up to date so no other draw replaces them.
    const float* arrays[MODEL_ATTRIBUTE_BONES] = {terrainBuffers.positions, terrainBuffers.normals,
                                                  terrainBuffers.texcoords, terrainBuffers.tangents,
                                                  terrainBuffers.handedness};
    terrainGpuRows = terrainBuffers.positions ? TERRAIN_GPU_ROWS : 0;
    const size_t vertices = static_cast<size_t>(terrainGpuRows) * TERRAIN_ROW_TRIANGLES * 3;
    glBindVertexArray(model->vao);
    for (int i = 0; i < MODEL_ATTRIBUTE_BONES; ++i) {
        glBindBuffer(GL_ARRAY_BUFFER, model->buffers[i]);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices * MODEL_ATTRIBUTE_SIZES[i] * sizeof(float)),
                     arrays[i], GL_STATIC_DRAW);
        glVertexAttribPointer(i, MODEL_ATTRIBUTE_SIZES[i], GL_FLOAT, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(i);
        model->uploadedVersion[i] = model->vertexDataVersion;
    }
    glBindVertexArray(0);
    debugLog("terrain faces %d\n", TERRAIN_WINDOW_TRIANGLES);
    return model;
}

void drawTerrainWindow(Model& model, int program, int row)
{
    if (terrainGpuRows < TERRAIN_WINDOW_ROWS || model.vao == 0)
        return;
    row = std::clamp(row, 0, terrainGpuRows - TERRAIN_WINDOW_ROWS);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(-TERRAIN_WINDOW_SHIFT_XY, -TERRAIN_WINDOW_SHIFT_XY - terrainGrid * static_cast<float>(row),
                 -TERRAIN_WINDOW_SHIFT_Z);
    computeLightMatrices();
    glBindVertexArray(model.vao);
    uploadFogUniforms(beginShadowedSubmission(model, program, false));
    const GLint first = row * TERRAIN_ROW_TRIANGLES * 3;
    glDrawArrays(GL_TRIANGLES, first, TERRAIN_WINDOW_TRIANGLES * 3);
    modelDrawStats.drawCalls++;
    endModelSubmission(true);
    glPopMatrix();
}

Model* createTailMesh(const char* name, int triangleCount)
{
    Model* model = new Model;
    std::snprintf(model->name, sizeof(model->name), "%s", name);
    model->textureSet = loadTextureSet(name);
    *model->animFlag = 0;
    model->hasList = 0;
    allocModelVertexArrays(*model, triangleCount);
    createModelGlObjects(*model);
    debugLog("tail faces %d\n", triangleCount);
    return model;
}

void initTails()
{
    for (int r = 0; r < TAIL_RIBBON_COUNT; ++r)
        tailModels[r] = createTailMesh(TAIL_RIBBON_NAMES[r], tailFaceCount);
    const size_t triangles = static_cast<size_t>(tailFaceCount);
    tailScratch.positions = new float[POSITION_FLOATS * triangles]();
    tailScratch.normals = new float[POSITION_FLOATS * triangles]();
    tailScratch.texcoords = new float[TEXCOORD_FLOATS * triangles]();
    allocTangentScratch(*tailModels[0]);
    for (int k = 0; k < TAIL_PIECE_COUNT; ++k) {
        tailPieceModels[k] = loadModel(TAIL_PIECE_FILES[k]);
        if (tailPieceModels[k])
            scaleModel(*tailPieceModels[k], 1.0f);
        uploadModelVertices(tailPieceModels[k]);
    }
}

// The ribbon's unit radial direction at angle step k: (0, 1, 0) turned about z.
static RotationVector tailRadial(int k)
{
    rotationAngles = RotationVector{0.0f, 0.0f, static_cast<float>(TAIL_ANGLE_STEP * k)};
    rotationInput = RotationVector{0.0f, 1.0f, 0.0f};
    rotateVectorByAngles();
    return rotationOutput;
}

static float tailTextureV(int segment)
{
    const float v = TAIL_TEXTURE_END * std::min(1.0f, static_cast<float>(segment) / static_cast<float>(TAIL_SEGMENTS));
    return v < 0.0f ? 0.0f : v;
}

void buildTailSections(float ax, float bx, float ay, float by, float az, float bz, float radius, int segment)
{
    const float ringB = 2.0f * bz - az;  // one segment length beyond bz
    const float vA = tailTextureV(segment);
    const float vB = tailTextureV(segment + 1);
    for (int k = 0; k < TAIL_SECTION_QUADS; ++k) {
        const RotationVector n0 = tailRadial(k);
        const RotationVector n1 = tailRadial(k + 1);
        const float p1[3] = {ax + radius * n0.x, ay + radius * n0.y, az + radius * n0.z};
        const float p3[3] = {ax + radius * n1.x, ay + radius * n1.y, az + radius * n1.z};
        const float p2[3] = {bx + radius * n0.x, by + radius * n0.y, ringB + radius * n0.z};
        const float p4[3] = {bx + radius * n1.x, by + radius * n1.y, ringB + radius * n1.z};
        const float* corners[6] = {p1, p2, p4, p1, p4, p3};
        const RotationVector* normals[6] = {&n0, &n0, &n1, &n0, &n1, &n1};
        const float us[6] = {0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f};
        const float vs[6] = {vA, vB, vB, vA, vB, vA};
        for (int v = 0; v < 6; ++v) {
            const size_t vertex = static_cast<size_t>(6 * k + v);
            std::memcpy(&tailScratch.positions[3 * vertex], corners[v], 3 * sizeof(float));
            tailScratch.normals[3 * vertex] = normals[v]->x;
            tailScratch.normals[3 * vertex + 1] = normals[v]->y;
            tailScratch.normals[3 * vertex + 2] = normals[v]->z;
            tailScratch.texcoords[2 * vertex] = us[v];
            tailScratch.texcoords[2 * vertex + 1] = vs[v];
        }
    }
}

// The scratch's segment into the ribbon at triangle first; tangents (1, 1, 1) and handedness 0
// until the tangent update replaces them.
static void copyTailSegment(Model& ribbon, int first)
{
    const size_t vertex = 3 * static_cast<size_t>(first);
    const size_t vertices = 3 * static_cast<size_t>(TAIL_SEGMENT_TRIANGLES);
    std::memcpy(&ribbon.positions[3 * vertex], tailScratch.positions, 3 * vertices * sizeof(float));
    std::memcpy(&ribbon.normals[3 * vertex], tailScratch.normals, 3 * vertices * sizeof(float));
    std::memcpy(&ribbon.texcoords[2 * vertex], tailScratch.texcoords, 2 * vertices * sizeof(float));
    std::fill(&ribbon.tangents[3 * vertex], &ribbon.tangents[3 * (vertex + vertices)], 1.0f);
    std::fill(&ribbon.handedness[vertex], &ribbon.handedness[vertex + vertices], 0.0f);
}

void drawTails(int row, float offset)
{
    if (!tailModels[0] || !tailModels[1] || !tailScratch.positions)
        return;
    const int centre = TERRAIN_CENTRE_COLUMN;
    for (int i = 0; i < TAIL_SEGMENTS; ++i) {
        const float h0 = terrainHeightAt(row - i + 128, centre);
        const float h1 = terrainHeightAt(row - i + 127, centre);
        const float h2 = terrainHeightAt(row - i + 126, centre);
        const float a0 = tailHeightBase + 0.5f * h0;
        const float a1 = tailHeightBase + 0.5f * h1;
        const float a2 = tailHeightBase + 0.5f * h2;
        const float ay = (a0 * (offset + 20.0f) - offset * a1) / 20.0f - 10.0f;
        const float by = (a1 * (offset + 20.0f) - offset * a2) / 20.0f - 10.0f;
        const float az = -20.0f * static_cast<float>(i) - 5.0f;
        const float bz = 20.0f * (static_cast<float>(-i) - 0.5f) - 5.0f;
        for (int r = 0; r < TAIL_RIBBON_COUNT; ++r) {
            buildTailSections(0.0f, 0.0f, ay, by, az, bz, TAIL_RIBBON_RADII[r], i);
            copyTailSegment(*tailModels[r], TAIL_SEGMENT_TRIANGLES * i);
        }
    }
    for (Model* ribbon : tailModels) {
        markModelVertexDataChanged(*ribbon);
        updateModelTangents(*ribbon);
    }
    glDisable(GL_CULL_FACE);
    drawModelVolumetric(*tailModels[0], 0);
    drawModelVolumetric(*tailModels[1], 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
}
