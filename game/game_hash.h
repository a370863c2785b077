// A fingerprint of the whole game state for determinism checks, and the named values the
// capture tool dumps. The hash covers every table and scalar of the game module and the runtime
// generator's state, byte by byte (FNV-1a, 64 bits), so two runs agree exactly when their states
// do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GameStateValue {
    std::string name;   // as the game's variables are named: "playerX", "enemy3.health"
    std::string value;  // integers in decimal, floats with nine significant digits
};

uint64_t hashGameState();
// playerX, playerY, heroDrawnX, heroDrawnY (where the hero model is drawn, in level units),
// playerHealth, playerLives, playerScore, orbsLeft, editorMode, playerHeight,
// playerCrouched, playerActive, jumpCount, deathBurstTimer, viewRestartActive, restartCount,
// gameCameraX, gameCameraY, then enemy<i>.type, .x, .y, .health for i = 1 .. enemyCount.
std::vector<GameStateValue> listGameState();
