#include "game/missiles.h"

void drawHomingMissiles() {}
