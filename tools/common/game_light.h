// How the game lights what it draws, for the generators of its textures: a table of 13 white
// lights whose ambient terms alone add up to about (1.9, 2.15, 4.2) and whose diffuse terms
// reach about 2.3 more on faces turned to them, through the light ramp. Base colours are stored
// divided by the light a front face gets, and the ramps keep the diffuse share small, so the
// colours a generator asks for are what the player sees.
#pragma once

#include "tools/common/canvas.h"

constexpr Rgb GAME_FRONT_LIGHT = {2.6f, 2.85f, 4.9f};
constexpr float GAME_RAMP_TOP = 0.25f;

inline Rgb underGameLight(Rgb seen)
{
    return {seen.r / GAME_FRONT_LIGHT.r, seen.g / GAME_FRONT_LIGHT.g, seen.b / GAME_FRONT_LIGHT.b};
}
