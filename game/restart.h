// The player's life cycle around the world update: the crush count, the death burst and its
// hand-over to the respawn and the view-restart wipe, and restartGame, which puts the whole
// game back to its start.
#pragma once

#include <cstdint>

constexpr int PLAYER_DEBRIS_COUNT = 500;
constexpr float DEATH_BURST_LENGTH = 100.0f;   // timer units; falls by 10 x frameStepFactor

// The death burst's particles, relative to the centre of the player's box.
struct PlayerDebris {
    float kind[PLAYER_DEBRIS_COUNT];   // 0 smoke, 1 spark
    float offsetX[PLAYER_DEBRIS_COUNT];
    float offsetY[PLAYER_DEBRIS_COUNT];
    float velocityX[PLAYER_DEBRIS_COUNT];
    float velocityY[PLAYER_DEBRIS_COUNT];
    float size[PLAYER_DEBRIS_COUNT];
    float growth[PLAYER_DEBRIS_COUNT];
    float life[PLAYER_DEBRIS_COUNT];
};

extern PlayerDebris playerDebris;
extern int32_t restartCount;   // restartGame calls so far
// False while the wipe draws its second view: the burst is drawn there but ages once a frame.
extern bool deathBurstAges;
// Set by the restart's clear of the screen targets, cleared by the game frame around its drawing:
// restarts with no drawing between them clear the targets once.
extern bool screenTargetsCleared;

// The boxes overlapping the player when one of them is a lift and one reaches above the
// player's head, else 0; the game frame kills the player above 1.
int countCrushingBoxes();
// Refills the burst, gives the player back control and asks for a respawn.
void resetDeathBurst();
// One frame of the burst (drawn by the effect layer); at its end the respawn and the wipe.
void updateDeathBurst();
// Restart: ammunition, lives, score, the burst, the player's size and curve, the ground strip
// and lifts, the enemies, no shot, spark, missile or nuke left, the orb count, cleared targets
// and the projection; a running wipe ends. The enemy table as it stands is kept as the level's
// start: every caller but F2 restarts right after the level was read or edited.
void restartGame();
// F2's restart: the enemies go back to the level's start kept by the restart before (where they
// stood, their health and paths), then restartGame.
void restartGameFromLevelStart();
