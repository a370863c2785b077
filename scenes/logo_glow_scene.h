// The closing metal-logo glow scene's shared values: the self-illumination program, which the
// palette-blur logo scene draws its logo copies with too, and its model draw.
#pragma once

#include <cstdint>

struct Model;

// "passthroughvertexshader.vert" + "selfillum.frag": a part glows in the current colour times
// its set's light ramp; built by initLogoGlowScene.
extern uint32_t selfIllumProgram;

// drawSkinnedModel with selfIllumProgram.
void drawSelfIllumModel(Model* model, int frame);
