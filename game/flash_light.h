// A flash light at a game object: the player for a negative index, enemy `index` otherwise;
// nothing for an index outside the enemy table.
#pragma once

void spawnFlashLight(int index);
