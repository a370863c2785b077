// Hero placement: the pose values that ease once per setHeroTransform (three times per drawn
// game frame), the smoothed drawn position and the hero's model-view placement. The turn,
// idle, crouch and jump values are the player's (game/game_state.h).
#pragma once

#include "game/game_state.h"  // the hero's placement values

constexpr float HERO_TURN_RATE = 20.0f;   // degrees per 60 Hz frame
constexpr float HERO_IDLE_RATE = 0.4f;    // per 60 Hz frame
constexpr float VIEW_PULL_X = 20.0f;
constexpr float VIEW_PULL_Y = 20.0f;
// The drawn position follows the player by steps of at least these many whole units, and is
// never that far from it.
constexpr int HERO_SMOOTH_STEP_X = 5;
constexpr int HERO_SMOOTH_STEP_Y = 3;

// Eases the pose by one step of frameStepFactor and leaves the modelview set for the hero.
void setHeroTransform();
