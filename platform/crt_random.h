// The pseudo-random generator of the runtime the light presets and scenes were made with:
// state = state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 0x7FFF, seed 1 at start.
// Its sequence is part of the picture, so the engine never calls the C library's rand.
#pragma once

constexpr int CRT_RAND_MAX = 32767;

void crtSrand(unsigned seed);
int crtRand();
// The generator's whole state (the state hash of the game reads it).
unsigned crtRandStateValue();
