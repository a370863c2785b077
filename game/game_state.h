// The game's shared state: the values its parts read from one another, below all of them, so
// that a part includes the headers of the parts it calls and reads everything else here. Each
// part still owns the code that writes its values (the game frame its timing, player control
// the player, the camera, hero, collision, scene, assets, editor and enemy draws theirs).
// Level space as in game/boxes.h; speeds per 60 Hz frame.
#pragma once

#include "core/screen_frame.h"  // SCREEN_W, SCREEN_H: one level unit per frame pixel

#include <cstdint>

// Whether GL calls may be made (a context is current); the world runs without one in tests.
bool gameHasGlContext();

// The game frame's timing and mode (game/game_frame.h).
extern int32_t substepCount;       // 20; never changed
extern float substepFactor;        // motion of one substep in 60 Hz frames; 1.0 at start
extern float frameStepFactor;      // 1.5 x substepFactor, for the per-frame animations
extern int32_t gameFrameMs;
extern int32_t prevGameFrameMs;
extern float prevPlayerX;          // the player's position when the frame's substeps began
extern float prevPlayerY;
extern float wipeX;                // the wipe's position in screen pixels
extern unsigned char editorMode;
extern unsigned char editorRequest;

// The player (game/player.h); (playerX, playerY) is the lower-left corner. jumpTime grows by
// 0.1 per 60 Hz frame.
// Where every start, restart and respawn puts the player.
constexpr float PLAYER_START_X = 130.0f;
constexpr float PLAYER_START_Y = 160.0f;
constexpr float PLAYER_WIDTH = 65.0f;
constexpr float PLAYER_FULL_HEALTH = 100.0f;
constexpr int PLAYER_START_LIVES = 5;
constexpr float JUMP_SPEED = 40.0f;
constexpr float FALL_CURVE = 1.47f;       // y = y0 + v u - 1.47 u^2, u = 4 (t - t0)
constexpr float JUMP_LATCH_TIME = 2.2f;   // jumpTime after which a held key may jump again
constexpr float SLOW_WALK_SPEED = 1.0f;
// The crouched and standing heights; the head band between them decides whether a crouching
// player may stand up.
constexpr float CROUCH_HEIGHT = 115.0f;
constexpr float STAND_HEIGHT = 180.0f;

// Facings.
constexpr int FACING_LEFT = 0;
constexpr int FACING_RIGHT = 1;
constexpr int FACING_NONE = 2;

// Position and size.
extern float playerX;
extern float playerY;
extern float playerWidth;
extern float playerHeight;

// Vitals and inventory.
extern float playerHealth;
extern int32_t playerLives;
extern int32_t playerWeapon;     // 1 laser, 2 triple bullets, 3 homing missiles, 4 nuke
extern int32_t playerAmmo[2];    // missiles, nukes
extern int32_t playerScore;
extern int32_t orbsLeft;
extern float healthBarTimer;     // ms the health bar still shows

// Motion.
extern float walkSpeed;
extern int32_t playerFacing;
extern float stepDx;
extern unsigned char playerMoving;
extern int32_t playerAirborne;
extern float jumpTime;
extern float jumpTimeStart;
extern float jumpStartY;
extern float jumpSpeed;
extern int32_t jumpCount;
extern unsigned char jumpLatch;
extern int32_t standingBoxIndex;

// Posture and the hero's animation values that player control drives.
extern unsigned char playerCrouched;
extern unsigned char crawlStepActive;
extern float playerCrawlTime;
extern float heroCrouchFrame;
extern float crouchBlend;
extern float heroTurnAngle;
extern float heroIdleBlend;
extern float heroJumpPose;
extern float heroJumpPoseSpeed;
extern float heroJumpPoseAccel;
extern int32_t heroAppearStartMs;
extern float heroViewYOffset;    // appear fade, 0 to 1.1 over 1.1 s after a respawn

// Life cycle.
extern unsigned char playerActive;
extern unsigned char playerDead;
extern unsigned char respawnPending;
extern unsigned char deathBurstActive;
extern float deathBurstTimer;

// The game camera (game/game_camera.h): the lower-left corner of the 1920 x 1080 view in level
// units. Screen position = level position - camera.
constexpr float VIEW_WIDTH = SCREEN_W;
constexpr float VIEW_HEIGHT = SCREEN_H;
// The hero's view scales.
constexpr float VIEW_SCALE_X = 5.6f;
constexpr float VIEW_SCALE_Y = 3.0f;
extern float gameCameraX;
extern float gameCameraY;

// The hero's placement (game/hero.h).
extern float heroWalkPhase;     // 1..110
extern float muzzleFlashFade;   // 1 at a shot, fades to 0
extern float gunBob;
extern float heroSmoothX;
extern float heroSmoothY;
extern float heroDrawX;
extern float heroDrawY;
extern float heroYOffset;

// The decision of the player's collision pass (game/collision.h).
extern float resolvedX;
extern float resolvedY;   // 0: no vertical contact

// The game scene's switches (game/game_scene.h).
extern unsigned char backgroundPropsEnabled;   // C toggles
extern unsigned char debugOverlay;             // box and player outlines (F12)

// Height profiles of every heightmap floor and ceiling; -1 (reads 0) until loaded
// (game/game_assets.h).
extern int32_t floorProfileId;
extern int32_t ceilingProfileId;

// The editor's palette (game/editor.h): shown or not, and its entries at box slots
// PALETTE_FIRST_SLOT .. + paletteCount.
extern bool paletteMode;
extern int paletteCount;

// Written by the enemies' shadow pass, read by both passes and the orb halo: the walk frame and
// the spin of the models (game/enemy_draw.h).
extern float walkFrame;
extern float spinAngle;
