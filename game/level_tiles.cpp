#include "game/level_tiles.h"

#include "game/boxes.h"
#include "game/game_camera.h"     // gameCameraX, gameCameraY, boxNearView
#include "game/game_resources.h"  // tileModelFor, tileDepthProgram, tileLitProgram
#include "game/game_state.h"  // gameCameraX, gameCameraY, paletteMode, paletteCount
#include "platform/gl_api.h"
#include "render/depth_prepass.h" // the tiles' depth first
#include "render/light_space.h"   // drawModelDepth
#include "render/shadowed_draw.h" // drawModelShadowed

// The tiles' own view scales and corner offsets.
static constexpr float TILE_SCALE_X = 5.38f;
static constexpr float TILE_SCALE_Y = 2.9f;
static constexpr float TILE_OFFSET_X = 34.0f;
static constexpr float TILE_OFFSET_Y = 4.0f;

void placeTile(int box)
{
    glLoadIdentity();
    glTranslatef((boxTable.x[box] + TILE_OFFSET_X - gameCameraX - 990.0f) / 1000.0f * 2048.0f * TILE_SCALE_X / 1980.0f,
                 (boxTable.y[box] + TILE_OFFSET_Y - gameCameraY - 540.0f) / 1000.0f * 2048.0f * TILE_SCALE_Y / 1080.0f,
                 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
}

// The boxes a pass visits: the palette entries in palette mode, else the level's boxes.
static void tileRange(int& first, int& last)
{
    if (paletteMode) {
        first = PALETTE_FIRST_SLOT;
        last = PALETTE_FIRST_SLOT + paletteCount;
    } else {
        first = 1;
        last = boxCount;
    }
    if (last > BOX_SLOTS - 1)
        last = BOX_SLOTS - 1;
}

void drawTilesShadowPass()
{
    int first = 0, last = -1;
    tileRange(first, last);
    glDisable(GL_CULL_FACE);
    for (int i = first; i <= last; ++i) {
        placeTile(i);
        if (Model* model = tileModelFor(boxTable.meshId[i]))
            drawModelDepth(*model, -1, static_cast<int>(tileDepthProgram));
    }
}

// The tiles of the lit pass, each placed: lit, or only their depth for its pre-pass.
static void drawVisibleTiles(bool depthOnly)
{
    int first = 0, last = -1;
    tileRange(first, last);
    for (int i = first; i <= last; ++i) {
        placeTile(i);
        if (!paletteMode && !boxNearView(i))
            continue;
        Model* model = tileModelFor(boxTable.meshId[i]);
        if (!model)
            continue;
        if (depthOnly)
            drawModelDepthPrepass(*model);
        else
            drawModelShadowed(*model, static_cast<int>(tileLitProgram), -1);
    }
}

void drawTilesLitPassDepth()
{
    drawVisibleTiles(true);
}

void drawTilesLitPass()
{
    // Boxes drawn in level order cover one another: their depth first, then each pixel lit once.
    // The tiles take the current colour as theirs.
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    const bool prepass = depthPrepassKeepsPicture(tileModelsOpaque && colour[3] == 1.0f);
    if (prepass) {
        beginDepthPrepass();
        drawVisibleTiles(true);
        endDepthPrepass();
    }
    drawVisibleTiles(false);
    if (prepass)
        endPrepassedDraws();
}
