#include "render/model_list_draw.h"

#include "gfx/scene_file.h"        // ModelList, MAX_SCENE_OBJECTS
#include "gfx/model.h"             // scaleModel
#include "platform/crt_random.h"   // crtSrand, crtRand: the tints' sequence
#include "platform/gl_api.h"
#include "render/depth_prepass.h"  // drawModelDepthPrepass, modelColourMapOpaque
#include "render/light_space.h"    // drawModelDepth
#include "render/model_draw.h"     // drawSkinnedModel, drawStaticModelShadowed

#include <algorithm>
#include <cmath>

// Tint components: base plus (draw % TINT_STEPS) hundredths.
static const int TINT_STEPS = 5;
static const float TINT_RED_BASE = 1.05f;
static const float TINT_GREEN_BLUE_BASE = 1.15f;
// The fade timer's middle (alpha 1) and its advance per call.
static const float FADE_HALF_CYCLE = 1000.0f;
static const float FADE_STEP_BASE = 8.333333f;
static const float FADE_STEP_FRAMES = 30.0f;
static const double FADE_STEP_POWER = 1.7;

// The entries a list really holds: never past its capacity.
static uint32_t listLength(const ModelList& list)
{
    return std::min<uint32_t>(list.count, static_cast<uint32_t>(MAX_SCENE_OBJECTS));
}

void drawModelList(const ModelList& list)
{
    for (uint32_t i = 0; i < listLength(list); ++i)
        if (list.items[i])
            drawSkinnedModel(*list.items[i], 0, -1);
}

void drawModelListDepth(const ModelList& list, int program)
{
    for (uint32_t i = 0; i < listLength(list); ++i)
        if (list.items[i])
            drawModelDepth(*list.items[i], -1, program);
}

void drawStaticModelList(const ModelList& list, int program)
{
    for (uint32_t i = 0; i < listLength(list); ++i)
        if (list.items[i])
            drawStaticModelShadowed(*list.items[i], program);
}

void drawModelListDepthPrepass(const ModelList& list)
{
    for (uint32_t i = 0; i < listLength(list); ++i)
        if (list.items[i])
            drawModelDepthPrepass(*list.items[i]);
}

bool modelListColourMapsOpaque(const ModelList& list)
{
    for (uint32_t i = 0; i < listLength(list); ++i)
        if (list.items[i] && !modelColourMapOpaque(*list.items[i]))
            return false;
    return true;
}

// The tint sequence, in one place: the seed, then three draws for each model present, the
// same whether the models are drawn or not.
template <typename Use>
static void forEachModelTint(const ModelList& list, Use use)
{
    crtSrand(TINT_SEED);
    for (uint32_t i = 0; i < listLength(list); ++i) {
        if (!list.items[i])
            continue;
        const int r1 = crtRand();
        const int r2 = crtRand();
        const int r3 = crtRand();
        use(*list.items[i], r1, r2, r3);
    }
}

void drawStaticModelListTinted(const ModelList& list, int program)
{
    forEachModelTint(list, [program](Model& model, int r1, int r2, int r3) {
        glColor4f(TINT_RED_BASE + static_cast<float>(r1 % TINT_STEPS) / 100.0f,
                  TINT_GREEN_BLUE_BASE + static_cast<float>(r2 % TINT_STEPS) / 100.0f,
                  TINT_GREEN_BLUE_BASE + static_cast<float>(r3 % TINT_STEPS) / 100.0f, 1.0f);
        drawStaticModelShadowed(model, program);
    });
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void takeModelListTints(const ModelList& list)
{
    forEachModelTint(list, [](Model&, int, int, int) {});
}

void scaleModelList(const ModelList& list, float s)
{
    for (uint32_t i = 0; i < listLength(list); ++i)
        if (list.items[i])
            scaleModel(*list.items[i], s);
}

void advanceFadeTimer(float& fadeTimer)
{
    float step = FADE_STEP_BASE * substepFactor * FADE_STEP_FRAMES;
    double advanced = fadeTimer + std::pow(static_cast<double>(step), FADE_STEP_POWER);
    fadeTimer = advanced > FADE_CYCLE_LENGTH ? 0.0f : static_cast<float>(advanced);
}

void drawStaticModelFading(Model& model, int program, float& fadeTimer)
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f - (fadeTimer - FADE_HALF_CYCLE) / FADE_HALF_CYCLE);
    advanceFadeTimer(fadeTimer);
    drawStaticModelShadowed(model, program);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
