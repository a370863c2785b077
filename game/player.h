// The one player's control: updatePlayer, which reads the keys and moves the player once per
// substep, and the death. Boxes push the player afterwards (game/collision.h). The player's
// position, vitals, motion, posture and life cycle are shared state (game/game_state.h).
#pragma once

#include "game/game_state.h"  // the player's values

// One substep of player control: keys, walking, crouching, jumps, the jump and fall curve, the
// respawn and the death by health.
void updatePlayer();
// The player's death, once per life: sound, flash light, the burst, one life less.
void killPlayer();
