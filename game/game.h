// The action game and its editor, entered only from the frame routine's game state.
#pragma once

#include "game/editor.h"       // initEditor
#include "game/game_assets.h"  // initDefaultLights
#include "game/game_frame.h"   // gameFrame
#include "game/restart.h"      // restartGame
