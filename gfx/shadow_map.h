// The 4096 x 4096 shadow target, the light-space matrices that go with it, and the shadow,
// depth-of-field and screen-mix programs.
//
// The shadow map is a colour target: the depth program ("shmappass1") writes the light depth
// packed into 24 bits of RGB (red the top byte), and the lit programs ("shmappass2*") unpack it
// and compare it with the position mapped through depthBiasMVP. A texel cleared to white reads
// as the far plane. depthMVP and depthBiasMVP are 4 x 4 floats in GL column-major order.
#pragma once

#include "gfx/uniform_table.h"

#include <cstdint>

constexpr int SHADOW_MAP_SIZE = 4096;
constexpr int LIGHT_ANIMATION_ANGLE_COUNT = 4;

struct ShadowMap {
    uint32_t framebuffer;
    uint32_t colorTexture;       // RGB 4096 x 4096, NEAREST; sampled as "shadowMap"
    uint32_t depthRenderbuffer;  // DEPTH_COMPONENT 4096 x 4096
    uint32_t drawBuffers[1];     // colour attachment 0
};

extern ShadowMap shadowTarget;
// Light view-projection times the modelview of the draw; identity until the first shadowed draw.
extern float depthMVP[16];
// depthMVP mapped into texture space (x, y, z scaled by 0.5 and moved by 0.5).
extern float depthBiasMVP[16];
// The light position, uniform "Light".
extern float lightVector[4];
// Angles (radians) of the light animation; entries 1 to 3 drive the light transforms.
extern float lightAnimationAngles[LIGHT_ANIMATION_ANGLE_COUNT];

extern uint32_t passthroughProgram;
extern uint32_t dofBlurProgram;
extern uint32_t nukeFxProgram;
extern uint32_t viewMixProgram;
extern uint32_t dofBlur1Program;
extern uint32_t shadowDepthProgram;
extern uint32_t shadowLitProgram;
extern uint32_t shadowFogProgram;
extern uint32_t shadowSpecularProgram;
extern uint32_t dofBlurIntensityTexture;  // "dofblurintensity.tga"

// Uniforms of the screen-mix programs, looked up when initShadowPrograms builds them.
enum DofBlurUniform { DOF_BLUR_DEPTH_MAP, DOF_BLUR_COLOR_MAP, DOF_BLUR_INTENSITY, DOF_BLUR_UNIFORM_COUNT };
enum NukeFxUniform { NUKE_FX_CIRCLE_MAP, NUKE_FX_COLOR_MAP, NUKE_FX_XC, NUKE_FX_YC, NUKE_FX_UNIFORM_COUNT };
enum ViewMixUniform { VIEW_MIX_COLOR_MAP2, VIEW_MIX_COLOR_MAP, VIEW_MIX_XC, VIEW_MIX_UNIFORM_COUNT };
extern ColorMapUniforms passthroughUniforms;
extern UniformTable<DOF_BLUR_UNIFORM_COUNT> dofBlurUniforms;
extern UniformTable<NUKE_FX_UNIFORM_COUNT> nukeFxUniforms;
extern UniformTable<VIEW_MIX_UNIFORM_COUNT> viewMixUniforms;

// Creates the shadow target and loads the nine programs and the blur-intensity texture.
void initShadowPrograms();
// Creates the shadow target; leaves its framebuffer bound.
void createShadowTarget();
// The start of a depth pass: the shadow target bound over its whole 4096 x 4096 viewport,
// cleared to white (the far plane) and depth 1, then depth writes on for the pass (after the
// clears, so the depth clear follows the caller's mask).
void beginShadowTargetPass();

void setLightTransformTilted();
void setLightTransform();
void setTiltTransform();
void setIdentityTransform();
