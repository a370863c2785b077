// Homing missiles. (Placeholder until the missiles land.)
#pragma once

void drawHomingMissiles();
