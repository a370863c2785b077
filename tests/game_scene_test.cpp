// The game's 3D picture of a small world set up in the tables (a ground block, a slab and a
// wall, a walker, an orb and the player), rendered by the game scene into screen target 1: each
// tile covers the rectangle its box projects to, the hero stands on the player's rectangle, a
// respawned hero appears from the feet up and a collected orb fades frame by frame. Also: the
// assets load once, the flyer layout is the seeded one, and the shadowed test scenes draw the
// hero and the flyby tiles with finite light matrices.
#include "core/clock.h"
#include "core/frame_values.h"
#include "core/screen_frame.h"
#include "game/boxes.h"
#include "game/enemies.h"
#include "game/enemy_draw.h"
#include "game/game_assets.h"
#include "game/game_camera.h"
#include "game/game_frame.h"
#include "game/game_resources.h"
#include "game/game_scene.h"
#include "game/hero.h"
#include "game/player.h"
#include "game/restart.h"
#include "game/shadowed_test_scenes.h"
#include "gfx/model.h"
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "platform/crt_random.h"
#include "platform/os_services.h"
#include "render/camera.h"
#include "render/depth_prepass.h"  // depthPrepassEnabled
#include "render/model_draw.h"   // modelDrawStats
#include "render/overlay.h"
#include "scenes/flyby_map.h"

#include "gl_test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int W = 1920, H = 1080;
const float TILE_VIEW_X = 2048.0f * 5.38f / 1980.0f / 1000.0f;
const float TILE_VIEW_Y = 2048.0f * 2.9f / 1080.0f / 1000.0f;
const float HALF_VIEW_HEIGHT = 10.0f * std::tan(17.5f * 3.14159265f / 180.0f);  // at the tile plane

struct Rect {
    int x0, y0, x1, y1;  // pixels, inclusive-exclusive, y up
};

class GameScene : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!glTestContext().ready || restartCount > 0)
            return;
        initClockFrequency();
        startClock();
        createScreenTargets();
        initShadowPrograms();
        loadOverlayTextures();
        restartGame();
    }
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        // The clock stands still, so a picture does not depend on how long the renderer took
        // (the orb glow turns with the clock).
        useVirtualCounter(true);
        buildWorld();
    }
    void TearDown() override { useVirtualCounter(false); }

    // Ground block (400 x 200 at -50), a slab and a wall; a walker and an orb; the player on the
    // ground facing right.
    static void buildWorld()
    {
        setBox(2, 0, -50, 400, 200, 5);
        setBox(3, 600, 300, 200, 50, 0);
        setBox(4, 1400, 150, 50, 300, 4);
        boxCount = 4;
        boxTable.meshId[1] = -1;
        setEnemy(1, ENEMY_WALKER, 1000, 150, 100);
        setEnemy(2, ENEMY_ORB, 800, 420, 100);
        enemyCount = 2;
        gameCameraX = gameCameraY = 0;
        playerX = prevPlayerX = heroSmoothX = 300;
        playerY = prevPlayerY = heroSmoothY = 150;
        playerFacing = 1;
        heroTurnAngle = 90;
        playerActive = 1;
        heroViewYOffset = 1.1f;
        heroIdleBlend = 1;
        crouchBlend = 0;
        heroJumpPose = heroJumpPoseSpeed = heroJumpPoseAccel = 0;
        heroCrouchFrame = 202;
        playerCrouched = 0;
        muzzleFlashFade = 0;
        substepFactor = 0.05f;
        frameStepFactor = 1.5f * substepFactor;
        backgroundPropsEnabled = 0;
        shadowDebugView = -1;
    }
    static void setBox(int i, float x, float y, float w, float h, int mesh)
    {
        boxTable.x[i] = x;
        boxTable.y[i] = y;
        boxTable.width[i] = w;
        boxTable.height[i] = h;
        boxTable.type[i] = BOX_STANDARD;
        boxTable.meshId[i] = mesh;
    }
    static void setEnemy(int i, int type, float x, float y, float health)
    {
        enemyTable.type[i] = type;
        enemyTable.x[i] = x;
        enemyTable.y[i] = y;
        enemyTable.width[i] = enemyDefaults[type].width;
        enemyTable.height[i] = enemyDefaults[type].height;
        enemyTable.health[i] = health;
        enemyTable.animPhase[i] = 0;
    }

    // One game scene as the frame routine sets it up; the picture of screen target 1.
    static std::vector<uint8_t> render()
    {
        // Every picture at the same clock: the walk cycles, spins and cloud scroll stand still.
        startClock();
        sceneStartMs = 0;
        mainCamera.set(0, 0, 10, 0, 0, -1, 0, 1, 0);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(35.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 500.0);
        mainCamera.applyLookAt();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, 0, -20);
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        renderGameScene();
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
        std::vector<uint8_t> pixels = readPixelsRgba(0, 0, W, H);
        if (const char* dump = std::getenv("GAME_SCENE_DUMP")) {
            FILE* f = std::fopen(dump, "wb");
            std::fprintf(f, "P6 %d %d 255\n", W, H);
            for (int y = H - 1; y >= 0; --y)
                for (int x = 0; x < W; ++x)
                    std::fwrite(&pixels[(static_cast<size_t>(y) * W + x) * 4], 1, 3, f);
            std::fclose(f);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return pixels;
    }

    static bool differs(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x, int y)
    {
        size_t i = (static_cast<size_t>(y) * W + x) * 4;
        for (int c = 0; c < 3; ++c)
            if (std::abs(int(a[i + c]) - int(b[i + c])) > 12)
                return true;
        return false;
    }
    static float shareDiffering(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, Rect r)
    {
        int n = 0, d = 0;
        for (int y = std::max(r.y0, 0); y < std::min(r.y1, H); ++y)
            for (int x = std::max(r.x0, 0); x < std::min(r.x1, W); ++x, ++n)
                d += differs(a, b, x, y);
        return n ? float(d) / n : 0.0f;
    }
    // A pixel of `a` brighter than in `b` in some channel: drawn, not just shadowed.
    static bool brighter(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x, int y)
    {
        size_t i = (static_cast<size_t>(y) * W + x) * 4;
        for (int c = 0; c < 3; ++c)
            if (int(a[i + c]) - int(b[i + c]) > 12)
                return true;
        return false;
    }
    static long absoluteDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, Rect r)
    {
        long sum = 0;
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x)
                for (int c = 0; c < 3; ++c) {
                    size_t i = (static_cast<size_t>(y) * W + x) * 4 + c;
                    sum += std::abs(int(a[i]) - int(b[i]));
                }
        return sum;
    }
    static bool bounds(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, Rect& out, bool drawnOnly = false,
                       Rect window = {0, 0, W, H})
    {
        out = {W, H, -1, -1};
        for (int y = std::max(window.y0, 0); y < std::min(window.y1, H); ++y)
            for (int x = std::max(window.x0, 0); x < std::min(window.x1, W); ++x)
                if (drawnOnly ? brighter(a, b, x, y) : differs(a, b, x, y)) {
                    out.x0 = std::min(out.x0, x);
                    out.y0 = std::min(out.y0, y);
                    out.x1 = std::max(out.x1, x + 1);
                    out.y1 = std::max(out.y1, y + 1);
                }
        return out.x1 > 0;
    }
    // The rectangle box i projects to: its placement corner and its size in the tiles' view
    // units on the tile plane, through the frame's projection.
    static Rect projectedBox(int i)
    {
        float vx0 = (boxTable.x[i] + 34 - gameCameraX - 990) / 1000 * 2048 * 5.38f / 1980;
        float vy0 = (boxTable.y[i] + 4 - gameCameraY - 540) / 1000 * 2048 * 2.9f / 1080;
        float vx1 = vx0 + boxTable.width[i] * TILE_VIEW_X, vy1 = vy0 + boxTable.height[i] * TILE_VIEW_Y;
        auto px = [](float vx) { return static_cast<int>(W / 2 + vx / (HALF_VIEW_HEIGHT * 16 / 9) * W / 2); };
        auto py = [](float vy) { return static_cast<int>(H / 2 + vy / HALF_VIEW_HEIGHT * H / 2); };
        return {px(vx0), py(vy0), px(vx1), py(vy1)};
    }
};

TEST_F(GameScene, EachTileCoversTheRectangleItsBoxProjectsTo)
{
    // The tiles alone: no hero or enemy to shade them or stand in the way.
    playerActive = 0;
    enemyCount = 0;
    std::vector<uint8_t> all = render();
    for (int box = 2; box <= 4; ++box) {
        const int mesh = boxTable.meshId[box];
        boxTable.meshId[box] = -1;
        std::vector<uint8_t> without = render();
        boxTable.meshId[box] = mesh;
        Rect r = projectedBox(box);
        // Inset by a few pixels: the edges may fall either way.
        Rect inner{r.x0 + 4, r.y0 + 4, r.x1 - 4, r.y1 - 4};
        EXPECT_GT(shareDiffering(all, without, inner), 0.85f) << "box " << box << " mesh " << mesh;
        // The tile reaches back 150 level units: its far face is the front scaled towards the
        // view centre. Around both faces the picture is the same.
        const float k = 10.0f / (10.0f + 150.0f * TILE_VIEW_X);
        auto toBack = [k](int v, int centre) { return static_cast<int>(centre + (v - centre) * k); };
        const Rect extent{std::min(r.x0, toBack(r.x0, W / 2)), std::min(r.y0, toBack(r.y0, H / 2)),
                          std::max(r.x1, toBack(r.x1, W / 2)), std::max(r.y1, toBack(r.y1, H / 2))};
        const int gap = 8, ring = 40;
        const Rect around[4] = {
            {extent.x0 - gap - ring, extent.y0 - gap - ring, extent.x1 + gap + ring, extent.y0 - gap},
            {extent.x0 - gap - ring, extent.y1 + gap, extent.x1 + gap + ring, extent.y1 + gap + ring},
            {extent.x0 - gap - ring, extent.y0 - gap, extent.x0 - gap, extent.y1 + gap},
            {extent.x1 + gap, extent.y0 - gap, extent.x1 + gap + ring, extent.y1 + gap}};
        for (const Rect& side : around)
            EXPECT_LT(shareDiffering(all, without, side), 0.02f) << "box " << box << " spills";
    }
}

TEST_F(GameScene, TheHeroStandsOnThePlayersRectangle)
{
    playerActive = 0;
    std::vector<uint8_t> without = render();
    playerActive = 1;
    std::vector<uint8_t> with = render();
    const float px = playerX - gameCameraX, py = playerY - gameCameraY;
    // A window of three player widths and twice its height around the player's rectangle; the
    // walker and the orb lie outside it.
    const Rect window{int(px) - 130, int(py) - 90, int(px) + 195, int(py) + 360};
    Rect hero;
    ASSERT_TRUE(bounds(with, without, hero, true, window));
    EXPECT_GT(hero.x0, window.x0) << "the hero reaches the window's edge";
    EXPECT_LT(hero.x1, window.x1);
    EXPECT_LT(hero.y1, window.y1);
    EXPECT_NEAR((hero.x0 + hero.x1) / 2.0f, px + 32.5f, 40.0f);
    EXPECT_NEAR(hero.y0, py, 20.0f) << "the feet stand on the player's bottom edge";
    EXPECT_NEAR(hero.y1 - hero.y0, 180.0f, 30.0f);
}

TEST_F(GameScene, ARespawnedHeroAppearsFromTheFeetUp)
{
    playerActive = 0;
    std::vector<uint8_t> without = render();
    playerActive = 1;
    int previousTop = -1;
    for (float offset : {0.25f, 0.6f, 1.1f}) {
        heroViewYOffset = offset;
        std::vector<uint8_t> with = render();
        const Rect window{int(playerX) - 130, int(playerY) - 90, int(playerX) + 195, int(playerY) + 360};
        Rect hero;
        ASSERT_TRUE(bounds(with, without, hero, true, window)) << "offset " << offset;
        EXPECT_NEAR(hero.y0, playerY - gameCameraY, 20.0f) << "the feet show first, offset " << offset;
        EXPECT_GT(hero.y1, previousTop + 30) << "offset " << offset;
        previousTop = hero.y1;
    }
}

TEST_F(GameScene, ACollectedOrbFadesFrameByFrame)
{
    enemyTable.health[2] = 0;  // a dead orb draws nothing
    std::vector<uint8_t> without = render();
    enemyTable.health[2] = ORB_COLLECTED_HEALTH;
    // A long frame: the fade clock takes big steps.
    substepFactor = 0.1f;
    Rect area{650, 300, 1050, 650};
    long previous = -1;
    for (int frame = 0; frame < 4; ++frame) {
        const float before = enemyTable.health[2];
        std::vector<uint8_t> with = render();
        EXPECT_GT(enemyTable.health[2], before) << "the draw advances the fade";
        long difference = absoluteDifference(with, without, area);
        if (previous >= 0) {
            EXPECT_LT(difference, previous) << "frame " << frame;
        }
        EXPECT_GT(difference, 0) << "frame " << frame;
        previous = difference;
    }
}

// The background's depth pre-pass, the tiles' cover mark and the tiles' pre-pass change no pixel
// of the game's picture, props and flyers included, under the start-up's depth test.
TEST_F(GameScene, TheDepthPrepassesLeaveThePictureAsDrawnWithout)
{
    glDepthFunc(GL_LEQUAL);
    float flyers[CLOUD_COUNT];
    std::copy(cloudX, cloudX + CLOUD_COUNT, flyers);
    std::vector<uint8_t> pictures[2];
    uint64_t calls[2] = {};
    for (int prepass = 0; prepass < 2; ++prepass) {
        // The same world and flyers each time (a draw moves the flyers and the hero's fade),
        // with a block in front of the wall and the slab: tiles covering tiles.
        buildWorld();
        backgroundPropsEnabled = 1;
        setBox(5, 1300, 200, 300, 200, 2);
        boxCount = 5;
        std::copy(flyers, flyers + CLOUD_COUNT, cloudX);
        depthPrepassEnabled = prepass == 1;
        const uint64_t before = modelDrawStats.drawCalls;
        pictures[prepass] = render();
        calls[prepass] = modelDrawStats.drawCalls - before;
    }
    depthPrepassEnabled = true;
    backgroundPropsEnabled = 0;
    glDepthFunc(GL_LESS);
    EXPECT_GT(calls[1], calls[0]) << "the pre-passes and the mark ran";
    size_t differing = 0;
    for (size_t i = 0; i < pictures[0].size(); i += 4)
        differing += !std::equal(&pictures[0][i], &pictures[0][i] + 3, &pictures[1][i]);
    EXPECT_EQ(differing, 0u);
}

TEST_F(GameScene, AssetsLoadOnceAndTheFlyerLayoutIsTheSeededOne)
{
    // Texture names are handed out in order: the next one after the restart follows the probe.
    GLuint probe = 0;
    glGenTextures(1, &probe);
    restartGame();
    GLuint again = 0;
    glGenTextures(1, &again);
    EXPECT_EQ(again, probe + 1) << "a second restart created a texture";
    glDeleteTextures(1, &probe);
    glDeleteTextures(1, &again);
    crtSrand(2002);
    for (int i = 0; i < CLOUD_COUNT; ++i) {
        float x = 20.0f - static_cast<float>(crtRand() % 4000) / 100.0f;
        float y = static_cast<float>(crtRand() % 50) / 100.0f - 0.5f;
        float z = static_cast<float>(crtRand() % 100) / 100.0f - 7.5f;
        float direction = static_cast<float>(crtRand() % 2);
        float speed = (static_cast<float>(crtRand() % 100) / 100.0f) / 3.0f;
        // The layout is written once; the flyers drawn since have only moved along x.
        EXPECT_EQ(cloudY[i], y) << i;
        EXPECT_EQ(cloudZ[i], z) << i;
        EXPECT_EQ(cloudDirection[i], direction) << i;
        EXPECT_EQ(cloudSpeed[i], speed) << i;
        (void)x;
    }
}

TEST_F(GameScene, ShadowedTestScenesDrawTheHeroAndTheTiles)
{
    loadFlybyMap();
    ASSERT_NE(flybyTileModels[0], nullptr) << "the asset loader fills the flyby's tile slots";
    int tiles = 0;
    for (int row = 0; row < FLYBY_DRAWN_ROWS; ++row)
        for (int cell = 0; cell < FLYBY_CELLS; ++cell) {
            Model* model = nullptr;
            int frame = 0;
            tiles += flybyTileFor(flybyMap[row][cell], model, frame);
        }
    ASSERT_GT(tiles, 0);
    using Scene = void (*)();
    const Scene scenes[] = {drawShadowedSceneDof, drawShadowedScene, drawShadowedSceneForward};
    Model* slots[FLYBY_TILE_SLOTS];
    std::copy(flybyTileModels, flybyTileModels + FLYBY_TILE_SLOTS, slots);
    for (Scene scene : scenes) {
        // Without tiles only the hero draws; with them each of the two passes adds every tile of
        // the first 120 rows (the map moves by at most a row in between).
        std::fill(flybyTileModels, flybyTileModels + FLYBY_TILE_SLOTS, nullptr);
        uint64_t before = modelDrawStats.drawCalls;
        scene();
        const uint64_t heroCalls = modelDrawStats.drawCalls - before;
        EXPECT_GE(heroCalls, 2u);
        std::copy(slots, slots + FLYBY_TILE_SLOTS, flybyTileModels);
        before = modelDrawStats.drawCalls;
        scene();
        const uint64_t tileCalls = modelDrawStats.drawCalls - before - heroCalls;
        EXPECT_GT(tileCalls, static_cast<uint64_t>(2 * tiles - 2 * FLYBY_CELLS));
        EXPECT_LT(tileCalls, static_cast<uint64_t>(2 * tiles + 2 * FLYBY_CELLS));
        for (float v : depthMVP)
            EXPECT_TRUE(std::isfinite(v));
    }
    // The forward scene animates the two animated tile codes from the scene clock: two seconds
    // in, code 3 has looped once (frame about 20) and code 4 is on its way back (about 80).
    sceneStartMs = clockNowMs() - 2000;
    flybyTileFrames[0] = flybyTileFrames[1] = 0.0f;
    drawShadowedScene();
    Model* model = nullptr;
    int frame3 = 0, frame4 = 0;
    ASSERT_TRUE(flybyTileFor(3, model, frame3));
    ASSERT_TRUE(flybyTileFor(4, model, frame4));
    EXPECT_NEAR(frame3, 20, 1);
    EXPECT_NEAR(frame4, 80, 1);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const uint64_t before = modelDrawStats.drawCalls;
    const int program = static_cast<int>(explosionProgram);
    shaderLoader.use(static_cast<uint32_t>(program));
    drawShadowTestModels(0);
    EXPECT_EQ(modelDrawStats.drawCalls, before) << "empty test model slots draw nothing";
    EXPECT_EQ(shaderLoader.current(), program);
    shaderLoader.unuse();
}

} // namespace
