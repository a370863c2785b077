// The four 1920 x 1080 screen render targets and the screen programs.
#pragma once

#include <cstdint>

struct RenderTarget {
    uint32_t framebuffer;
    uint32_t colorTexture;
    uint32_t renderbuffer;
};

extern RenderTarget screenTarget1;
extern RenderTarget screenTarget2;
extern RenderTarget screenTarget3;
extern RenderTarget screenTarget4;

void createScreenTargets();
