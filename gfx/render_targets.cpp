#include "gfx/render_targets.h"

RenderTarget screenTarget1 = {};
RenderTarget screenTarget2 = {};
RenderTarget screenTarget3 = {};
RenderTarget screenTarget4 = {};

// Placeholder until the render targets land: everything draws to the window.
void createScreenTargets() {}
