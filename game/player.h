// The one player: position, vitals, motion, posture and life cycle, and updatePlayer, which
// reads the keys and moves the player once per substep. Boxes push the player afterwards
// (game/collision.h). Level space as in game/boxes.h; (playerX, playerY) is the lower-left
// corner. Speeds are units per 60 Hz frame; jumpTime grows by 0.1 per 60 Hz frame.
#pragma once

#include <cstdint>

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

// One substep of player control: keys, walking, crouching, jumps, the jump and fall curve, the
// respawn and the death by health.
void updatePlayer();
// The player's death, once per life: sound, flash light, the burst, one life less.
void killPlayer();
