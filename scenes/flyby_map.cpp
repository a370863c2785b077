#include "scenes/flyby_map.h"

#include "core/frame_values.h"     // sceneStartMs
#include "core/clock.h"            // tween
#include "core/keyboard.h"         // keyboardState
#include "core/data_files.h"       // openDataFile, debugLog
#include "gfx/shadow_map.h"        // shadowDepthProgram, shadowFogProgram
#include "platform/gl_api.h"
#include "render/light_space.h"    // drawModelDepth, the shadow tuning values
#include "render/shadowed_draw.h"  // drawModelShadowed
#include "scenes/toolkit.h"        // loadSkyTextures
#include "core/program_exit.h"     // exitWithError

#include <cstdio>
#include <cstdlib>
#include <cstring>

uint8_t flybyMap[FLYBY_ROWS][FLYBY_CELLS];
float flybyScroll = 0.0f;
Model* flybyTileModels[FLYBY_TILE_SLOTS] = {};
float flybyTileFrames[2] = {0.0f, 0.0f};

static constexpr float FLYBY_ROW_HEIGHT = 27.69f;
static constexpr float FLYBY_SCROLL_SPEED = 0.2f;  // per 60 Hz frame
static constexpr int FLYBY_ANIMATION_FRAMES = 99;
// One pass through a tile's frames takes 100 frames of the scene clock (about 1.7 s): slow
// enough to read as motion on the 4.26-unit tiles, quick enough to show in a short capture.
static constexpr float FLYBY_FRAME_SPEED = 0.01f;  // of the 0..1 range, per 60 Hz frame

void loadFlybyMap()
{
    FILE* file = openDataFile("level.level", "rb");
    if (!file)
        exitWithError(ExitCode::LOAD_FAILED, "File error");
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::rewind(file);
    if (size < 0)
        exitWithError(ExitCode::MAP_READ_FAILED, "Reading error");
    // Only the bytes the map uses are kept, whatever the file's size.
    size_t wanted = static_cast<size_t>(size) < FLYBY_FILE_BYTES ? static_cast<size_t>(size) : FLYBY_FILE_BYTES;
    uint8_t* buffer = static_cast<uint8_t*>(std::malloc(wanted > 0 ? wanted : 1));
    if (!buffer)
        exitWithError(ExitCode::MAP_MEMORY_FAILED, "Memory error");
    if (std::fread(buffer, 1, wanted, file) != wanted)
        exitWithError(ExitCode::MAP_READ_FAILED, "Reading error");
    std::fclose(file);
    decodeFlybyMap(buffer, wanted, flybyMap);
    std::free(buffer);
    std::puts("\nflyby level map loaded.");
    loadSkyTextures();
}

void rotateFlybyMapRows()
{
    uint8_t first[FLYBY_CELLS];
    std::memcpy(first, flybyMap[0], sizeof(first));
    std::memmove(flybyMap[0], flybyMap[1], sizeof(uint8_t) * (FLYBY_ROWS - 1) * FLYBY_CELLS);
    std::memcpy(flybyMap[FLYBY_ROWS - 1], first, sizeof(first));
}

void scrollFlybyMap()
{
    float previous = flybyScroll;
    tween(sceneStartMs, 0.0, FLYBY_CELL_SIZE, TWEEN_WRAP, FLYBY_SCROLL_SPEED, &flybyScroll);
    if (flybyScroll < previous)
        rotateFlybyMapRows();
}

bool flybyTileFor(uint8_t code, Model*& model, int& frame)
{
    // Codes 1 and 2 are tile models 1 and 2; 3 and 4 both tile model 3 at their own frame; 5 to
    // 7 tile models 4 to 6.
    static const int SLOT_OF_CODE[8] = {-1, 0, 1, 2, 2, 3, 4, 5};
    if (code < 1 || code > 7)
        return false;
    model = flybyTileModels[SLOT_OF_CODE[code]];
    if (!model)
        return false;
    frame = -1;
    if (code == 3 || code == 4)
        frame = static_cast<int>(FLYBY_ANIMATION_FRAMES * flybyTileFrames[code - 3] + 1);
    return true;
}

template <typename Draw>
static void drawFlybyRows(const Draw& draw)
{
    for (int row = 0; row < FLYBY_DRAWN_ROWS; ++row) {
        glLoadIdentity();
        glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
        glTranslatef((row - 60) * FLYBY_CELL_SIZE - flybyScroll, FLYBY_ROW_HEIGHT, 0.0f);
        glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
        for (int cell = 0; cell < FLYBY_CELLS; ++cell) {
            Model* model = nullptr;
            int frame = -1;
            if (flybyTileFor(flybyMap[row][cell], model, frame))
                draw(*model, frame);
            glTranslatef(FLYBY_CELL_SIZE, 0.0f, 0.0f);
        }
    }
}

void drawFlybyMapShadowPass()
{
    drawFlybyRows([](Model& model, int frame) { drawModelDepth(model, frame, static_cast<int>(shadowDepthProgram)); });
}

void drawFlybyMapLitPass()
{
    drawFlybyRows([](Model& model, int frame) { drawModelShadowed(model, static_cast<int>(shadowFogProgram), frame); });
    scrollFlybyMap();
}

void animateFlybyTileFrames()
{
    tween(sceneStartMs, 0.0, 1.0, TWEEN_WRAP, FLYBY_FRAME_SPEED, &flybyTileFrames[0]);
    tween(sceneStartMs, 0.0, 1.0, TWEEN_PING_PONG, FLYBY_FRAME_SPEED, &flybyTileFrames[1]);
}

namespace {

constexpr float SHADOW_BOX_STEP = 0.001f;
constexpr float LIGHT_STEP = 0.5f;
constexpr int RIGHT_SHIFT = 229;

// One tuning key: the value it steps, the value it steps while right SHIFT is held (the same
// for the light keys), and the step.
struct TuningKey {
    int scancode;
    float* value;
    float* shiftedValue;
    float step;
};

const TuningKey TUNING_KEYS[] = {
    {24, &sf, &sfbg, -SHADOW_BOX_STEP},    {12, &sf, &sfbg, SHADOW_BOX_STEP},
    {13, &sfz, &sfzbg, -SHADOW_BOX_STEP},  {14, &sfz, &sfzbg, SHADOW_BOX_STEP},
    {30, &zsc, &zsc, -LIGHT_STEP},         {31, &zsc, &zsc, LIGHT_STEP},
    {32, &ysc, &ysc, LIGHT_STEP},          {33, &ysc, &ysc, -LIGHT_STEP},
    {34, &xsc, &xsc, -LIGHT_STEP},         {35, &xsc, &xsc, LIGHT_STEP},
};

}  // namespace

void adjustShadowTuning()
{
    const bool shifted = keyboardState.held[RIGHT_SHIFT] != 0;
    for (const TuningKey& key : TUNING_KEYS) {
        if (!keyboardState.held[key.scancode])
            continue;
        float* value = shifted ? key.shiftedValue : key.value;
        *value += key.step;
        if (value == &sf || value == &sfz)
            debugLog("sf = %f, sfz= %f\n", static_cast<double>(sf), static_cast<double>(sfz));
        else if (value == &sfbg || value == &sfzbg)
            debugLog("sfbg = %f, sfzbg= %f\n", static_cast<double>(sfbg), static_cast<double>(sfzbg));
        else
            debugLog("xsc = %f, ysc = %f, zsc= %f\n", static_cast<double>(xsc), static_cast<double>(ysc),
                     static_cast<double>(zsc));
    }
}
