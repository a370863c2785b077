#include "game/game_state.h"

#include "platform/gl_api.h"  // glContextCurrent

bool gameHasGlContext()
{
    return glContextCurrent();
}

// The game frame's timing and mode.
int32_t substepCount = 20;
float substepFactor = 1.0f;
float frameStepFactor = 0.0f;
int32_t gameFrameMs = 0;
int32_t prevGameFrameMs = 0;
float prevPlayerX = 0.0f;
float prevPlayerY = 0.0f;
float wipeX = 0.0f;
unsigned char editorMode = 0;
unsigned char editorRequest = 0;

// The camera.
float gameCameraX = 0.0f;
float gameCameraY = 0.0f;

// The hero's placement.
float heroWalkPhase = 0.0f;
float muzzleFlashFade = 0.0f;
float gunBob = 0.0f;
float heroSmoothX = 0.0f;
float heroSmoothY = 0.0f;
float heroDrawX = 0.0f;
float heroDrawY = 0.0f;
float heroYOffset = 0.0f;

// The collision pass's decision.
float resolvedX = 0.0f;
float resolvedY = 0.0f;

// The game scene's switches.
unsigned char backgroundPropsEnabled = 1;
unsigned char debugOverlay = 0;

// The height profiles.
int32_t floorProfileId = -1;
int32_t ceilingProfileId = -1;

// The editor's palette.
bool paletteMode = false;
int paletteCount = 0;

// The enemy models' animation.
float walkFrame = 0.0f;
float spinAngle = 0.0f;

// The player.
float playerX = 130.0f;
float playerY = 1030.0f;
float playerWidth = PLAYER_WIDTH;
float playerHeight = STAND_HEIGHT;

float playerHealth = PLAYER_FULL_HEALTH;
int32_t playerLives = PLAYER_START_LIVES;
int32_t playerWeapon = 1;
int32_t playerAmmo[2] = {100, 3};
int32_t playerScore = 0;
int32_t orbsLeft = 0;
float healthBarTimer = 0.0f;

float walkSpeed = 7.5f;
int32_t playerFacing = FACING_LEFT;
float stepDx = 0.0f;
unsigned char playerMoving = 0;
int32_t playerAirborne = 1;
float jumpTime = 0.0f;
float jumpTimeStart = 0.0f;
float jumpStartY = 1030.0f;   // the initial playerY
float jumpSpeed = 0.0f;
int32_t jumpCount = 0;
unsigned char jumpLatch = 0;
int32_t standingBoxIndex = 0;

unsigned char playerCrouched = 0;
unsigned char crawlStepActive = 0;
float playerCrawlTime = 0.1f;
float heroCrouchFrame = 202.0f;
float crouchBlend = 0.0f;
float heroTurnAngle = 0.0f;
float heroIdleBlend = 0.0f;
float heroJumpPose = 0.0f;
float heroJumpPoseSpeed = 0.0f;
float heroJumpPoseAccel = 0.0f;
int32_t heroAppearStartMs = 0;
float heroViewYOffset = 0.0f;

unsigned char playerActive = 0;
unsigned char playerDead = 0;
unsigned char respawnPending = 0;
unsigned char deathBurstActive = 0;
float deathBurstTimer = 0.0f;
