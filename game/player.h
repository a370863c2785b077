// The one player: position, vitals, motion, posture and life cycle, and updatePlayer, which
// reads the keys and moves the player once per substep. Boxes push the player afterwards
// (game/collision.h). Level space as in game/boxes.h; (playerX, playerY) is the lower-left
// corner. Speeds are units per 60 Hz frame; jumpTime grows by 0.1 per 60 Hz frame.
#pragma once

#include "game/game_state.h"  // the player's values
#include <cstdint>

// One substep of player control: keys, walking, crouching, jumps, the jump and fall curve, the
// respawn and the death by health.
void updatePlayer();
// The player's death, once per life: sound, flash light, the burst, one life less.
void killPlayer();
