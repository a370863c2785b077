// The depth pass of the model draw family, from the shadow light of render/light_matrices.h.
#pragma once

// Every caller of the depth pass sets the light and its box first.
#include "render/light_matrices.h"

struct Model;

// Renders a model into whatever target is bound with a depth program: skinned at slot frame
// when frame >= 1 and the model has that slot, else unskinned. A negative program keeps the
// current program. Leaves counter-clockwise front faces, depth writes on and no program.
void submitModelDepth(Model& model, int frame, int program);
// computeLightMatrices, then submitModelDepth.
void drawModelDepth(Model& model, int frame, int program);
// A second name of drawModelDepth.
void drawModelDepthAlt(Model& model, int frame, int program);
