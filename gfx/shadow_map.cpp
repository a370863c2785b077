// The shadow target, its programs and the on-screen view of the shadow map.
#include "gfx/shadow_map.h"

#include "core/data_files.h"
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"

#include <cmath>
#include <cstdio>

ShadowMap shadowTarget = {};
float depthMVP[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float depthBiasMVP[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float lightVector[4] = {0.0f, 0.0f, 0.0f, 0.0f};
float lightAnimationAngles[LIGHT_ANIMATION_ANGLE_COUNT] = {};

uint32_t passthroughProgram = 0;
uint32_t dofBlurProgram = 0;
uint32_t nukeFxProgram = 0;
uint32_t viewMixProgram = 0;

static const char* const DOF_BLUR_UNIFORM_NAMES[DOF_BLUR_UNIFORM_COUNT] = {"depthMap", "colorMap", "blurintensity"};
static const char* const NUKE_FX_UNIFORM_NAMES[NUKE_FX_UNIFORM_COUNT] = {"nukecircleMap", "colorMap", "xc", "yc"};
static const char* const VIEW_MIX_UNIFORM_NAMES[VIEW_MIX_UNIFORM_COUNT] = {"colorMap2", "colorMap", "xc"};
ColorMapUniforms passthroughUniforms(COLOR_MAP_UNIFORM_NAMES);
UniformTable<DOF_BLUR_UNIFORM_COUNT> dofBlurUniforms(DOF_BLUR_UNIFORM_NAMES);
UniformTable<NUKE_FX_UNIFORM_COUNT> nukeFxUniforms(NUKE_FX_UNIFORM_NAMES);
UniformTable<VIEW_MIX_UNIFORM_COUNT> viewMixUniforms(VIEW_MIX_UNIFORM_NAMES);
uint32_t dofBlur1Program = 0;
uint32_t shadowDepthProgram = 0;
uint32_t shadowLitProgram = 0;
uint32_t shadowFogProgram = 0;
uint32_t shadowSpecularProgram = 0;
uint32_t dofBlurIntensityTexture = 0;

// The shadow-map view: the right-hand 1080 x 1080 square of the frame.
static const float TILT_ANGLE_DEGREES = 270.0f;

void createShadowTarget()
{
    glGenFramebuffers(1, &shadowTarget.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glGenTextures(1, &shadowTarget.colorTexture);
    glBindTexture(GL_TEXTURE_2D, shadowTarget.colorTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    glGenRenderbuffers(1, &shadowTarget.depthRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, shadowTarget.depthRenderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, shadowTarget.depthRenderbuffer);

    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, shadowTarget.colorTexture, 0);
    shadowTarget.drawBuffers[0] = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, shadowTarget.drawBuffers);

    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::printf("can't create framebuffer for render to texture");
    std::printf("shmap init %d, %d\n", static_cast<int>(shadowTarget.framebuffer),
                static_cast<int>(shadowTarget.colorTexture));
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
        std::puts("shadow mapping buffer created");
    else
        std::puts("shadow mapping buffer not created");
}

void beginShadowTargetPass()
{
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(GL_TRUE);
    glViewport(0, 0, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE);
}

void initShadowPrograms()
{
    createShadowTarget();
    passthroughProgram = shaderLoader.load("passthroughvertexshader.vert", "passthroughfragmentshader.frag");
    dofBlurProgram = shaderLoader.load("passthroughvertexshader.vert", "dofblur.frag");
    nukeFxProgram = shaderLoader.load("passthroughvertexshader.vert", "nukefx.frag");
    viewMixProgram = shaderLoader.load("passthroughvertexshader.vert", "viewmix.frag");
    passthroughUniforms.lookUp(passthroughProgram);
    dofBlurUniforms.lookUp(dofBlurProgram);
    nukeFxUniforms.lookUp(nukeFxProgram);
    viewMixUniforms.lookUp(viewMixProgram);
    dofBlur1Program = shaderLoader.load("tutorial2.vert", "dofblur1.frag");
    dofBlurIntensityTexture = loadTexture("dofblurintensity.tga");
    shadowDepthProgram = shaderLoader.load("shmappass1.vert", "shmappass1.frag");
    glUseProgram(shadowDepthProgram);
    shadowLitProgram = shaderLoader.load("shmappass2.vert", "shmappass2.frag");
    shadowFogProgram = shaderLoader.load("shmappass2fog.vert", "shmappass2fog.frag");
    shadowSpecularProgram = shaderLoader.load("shmappass2fog.vert", "shmappass2specular.frag");
    static const char* const PROGRESS_TEXTS[] = {"f1\n", "f2\n", "f3\n", "f4\n", "f5\n",
                                                 "f6\n", "f7\n", "f8\n", "f9\n"};
    for (const char* text : PROGRESS_TEXTS)
        debugLog("%s", text);
}

void setLightTransform()
{
    const double a = lightAnimationAngles[1];
    const double b = lightAnimationAngles[2];
    const double c = lightAnimationAngles[3];
    const float x = static_cast<float>(std::sin(c));
    const float y = static_cast<float>(3.0 * std::sin(a) + 8.0);
    const float z = static_cast<float>(7.0 * std::sin(b));
    glLoadIdentity();
    glTranslatef(x, y, z);
}

void setLightTransformTilted()
{
    setLightTransform();
    glRotatef(TILT_ANGLE_DEGREES, 1.0f, 0.0f, 0.0f);
}

void setTiltTransform()
{
    glLoadIdentity();
    glRotatef(TILT_ANGLE_DEGREES, 1.0f, 0.0f, 0.0f);
}

void setIdentityTransform()
{
    glLoadIdentity();
}
