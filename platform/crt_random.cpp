#include "platform/crt_random.h"

#include <cstdint>

static uint32_t crtRandState = 1;

void crtSrand(unsigned seed)
{
    crtRandState = seed;
}

int crtRand()
{
    crtRandState = crtRandState * 214013u + 2531011u;
    return static_cast<int>((crtRandState >> 16) & 0x7FFF);
}

unsigned crtRandStateValue()
{
    return crtRandState;
}
