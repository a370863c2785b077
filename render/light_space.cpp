#include "render/light_space.h"

#include "gfx/model.h"
#include "render/model_draw.h"  // the submission steps

void submitModelDepth(Model& model, int frame, int program)
{
    bool skinned = isSkinnedModelDraw(model, frame);
    if (skinned)
        poseModelBones(model, frame);
    submitModelVertices(model, skinned);
    beginDepthSubmission(model, program, skinned);
    drawModelTriangles(model, skinned);
    endModelSubmission(true);
}

void drawModelDepth(Model& model, int frame, int program)
{
    computeLightMatrices();
    submitModelDepth(model, frame, program);
}

void drawModelDepthAlt(Model& model, int frame, int program)
{
    drawModelDepth(model, frame, program);
}
