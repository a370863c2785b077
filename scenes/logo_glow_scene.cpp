// The closing scene: a three-part metal logo ("zu5") turns over a background picture crossed
// by a horizontal raster band; its self-illuminated parts are drawn again over black, blurred
// in ten ping-pong rounds between two screen targets and added over the sharp picture.
//
// Targets: screenTarget3 holds the sharp picture, screenTarget2 and screenTarget4 the glow.
// Times: the logo's angle and the band's strip position follow the scene clock (tween from
// sceneStartMs, speeds per 60 Hz frame); the scene keeps no state between frames.
#include "scenes/logo_glow_scene.h"

#include "core/clock.h"            // tween
#include "core/frame_values.h"            // sceneStartMs
#include "core/screen_frame.h"  // the screen frame and its perspective
#include "gfx/model.h"            // loadModel, scaleModel, uploadModelVertices
#include "gfx/render_targets.h"   // screen targets
#include "gfx/shaders.h"          // shaderLoader
#include "gfx/textures.h"         // loadTexture
#include "gfx/uniform_table.h"
#include "platform/gl_api.h"
#include "render/camera.h"        // mainCamera
#include "render/lights.h"        // applyLightPreset
#include "render/model_draw.h"    // drawModelFrame, drawSkinnedModel, cacheModelProgramUniforms
#include "render/overlay.h"       // drawQuad, beginBlendedScreenQuads
#include "render/screen_passes.h" // drawFullScreenQuad
#include "scenes/scenes.h"

namespace {

constexpr float LOGO_SCALE = 0.125f;
constexpr int LOGO_LIGHT_PRESET = 6;
constexpr int GLOW_ROUNDS = 10;  // each round: one horizontal and one vertical blur pass
constexpr int UNSKINNED = -1;

constexpr float SPIN_END_DEGREES = 3600.0f;
constexpr float SPIN_SPEED = 2.0f;                 // degrees per frame
constexpr float RASTER_SPEED = 1.0f / 4096.0f;     // strip widths per frame
constexpr float RASTER_BOTTOM = 434.5f;            // the band in the 1920 x 1080 frame
constexpr float RASTER_TOP = 645.5f;

constexpr double FIELD_OF_VIEW = 65.0;
constexpr double FAR_PLANE = 100.0;

struct LogoModels {
    Model* metal = nullptr;  // "zu5metal.3dm", lit
    Model* front = nullptr;  // "zu5front.3dm", glowing
    Model* back = nullptr;   // "zu5back.3dm", glowing
};

struct LogoTextures {
    uint32_t background = 0;  // "zu5bkgnd.tga"
    uint32_t raster = 0;      // "zu5backraster.tga"
};

// The glow programs, each with "passthroughvertexshader.vert".
struct LogoGlowPrograms {
    uint32_t blur = 0;        // "logoblurfx.frag": built, not drawn with
    uint32_t blurAcross = 0;  // "logoblurfx1.frag"
    uint32_t blurUp = 0;      // "logoblurfx2.frag"
    uint32_t composite = 0;   // "logoblurfx3.frag"
};

LogoModels logoModels;
LogoTextures logoTextures;
LogoGlowPrograms logoGlowPrograms;

Model* loadScaledModel(const char* name)
{
    Model* model = loadModel(name);
    if (model)
        scaleModel(*model, LOGO_SCALE);
    uploadModelVertices(model);
    return model;
}

// The blur passes' sampler, and the composite's two.
ColorMapUniforms blurAcrossUniforms(COLOR_MAP_UNIFORM_NAMES);
ColorMapUniforms blurUpUniforms(COLOR_MAP_UNIFORM_NAMES);
enum CompositeUniform { COMPOSITE_COLOR_MAP, COMPOSITE_BLUR_MAP, COMPOSITE_UNIFORM_COUNT };
const char* const COMPOSITE_UNIFORM_NAMES[COMPOSITE_UNIFORM_COUNT] = {"colorMap", "blurMap"};
UniformTable<COMPOSITE_UNIFORM_COUNT> compositeUniforms(COMPOSITE_UNIFORM_NAMES);

// A screen pass of `program` reading `source` on unit 0 into `target`.
void blurPass(uint32_t program, ColorMapUniforms& uniforms, uint32_t source, const RenderTarget& target)
{
    shaderLoader.use(program);
    glUniform1i(uniforms.of(program)[COLOR_MAP_SAMPLER], 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    drawFullScreenQuad();
}

void drawGlowingParts()
{
    if (logoModels.back)
        drawSkinnedModel(*logoModels.back, UNSKINNED, static_cast<int>(selfIllumProgram));
    if (logoModels.front)
        drawSkinnedModel(*logoModels.front, UNSKINNED, static_cast<int>(selfIllumProgram));
}

// The band: one column u of the strip stretched across the frame, so its colours vary only
// from bottom to top and change as u runs through the strip.
void drawRasterBand()
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, logoTextures.raster);
    beginBlendedScreenQuads(false);
    float u = 0.0f;
    tween(sceneStartMs, 0.0, 1.0, TWEEN_WRAP, static_cast<double>(RASTER_SPEED), &u);
    const float width = static_cast<float>(SCREEN_WIDTH);
    glBegin(GL_QUADS);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(u, 0.0f);
    glVertex3f(0.0f, RASTER_BOTTOM, 0.0f);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(u, 0.0f);
    glVertex3f(width, RASTER_BOTTOM, 0.0f);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(u, 1.0f);
    glVertex3f(width, RASTER_TOP, 0.0f);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(u, 1.0f);
    glVertex3f(0.0f, RASTER_TOP, 0.0f);
    glEnd();
    endScreenQuads();
}

// The camera's perspective and look-at in the projection; the logo upright (models are z-up)
// and turned `spin` degrees about its vertical axis in the modelview.
void placeLogo(float spin)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, FRAME_ASPECT, FRAME_NEAR_PLANE, FAR_PLANE);
    mainCamera.applyLookAt();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(spin, 0.0f, 0.0f, 1.0f);
}

}  // namespace

uint32_t selfIllumProgram = 0;

void initLogoGlowScene()
{
    logoModels.metal = loadScaledModel("zu5metal.3dm");
    logoModels.front = loadScaledModel("zu5front.3dm");
    logoModels.back = loadScaledModel("zu5back.3dm");
    logoTextures.background = loadTexture("zu5bkgnd.tga");
    selfIllumProgram = shaderLoader.load("passthroughvertexshader.vert", "selfillum.frag");
    cacheModelProgramUniforms(selfIllumProgram);
    logoGlowPrograms.blur = shaderLoader.load("passthroughvertexshader.vert", "logoblurfx.frag");
    logoGlowPrograms.blurAcross = shaderLoader.load("passthroughvertexshader.vert", "logoblurfx1.frag");
    logoGlowPrograms.blurUp = shaderLoader.load("passthroughvertexshader.vert", "logoblurfx2.frag");
    logoGlowPrograms.composite = shaderLoader.load("passthroughvertexshader.vert", "logoblurfx3.frag");
    blurAcrossUniforms.lookUp(logoGlowPrograms.blurAcross);
    blurUpUniforms.lookUp(logoGlowPrograms.blurUp);
    compositeUniforms.lookUp(logoGlowPrograms.composite);
    logoTextures.raster = loadTexture("zu5backraster.tga");
}

void drawSelfIllumModel(Model* model, int frame)
{
    if (model)
        drawSkinnedModel(*model, frame, static_cast<int>(selfIllumProgram));
}

void drawLogoGlowScene()
{
    applyLightPreset(LOGO_LIGHT_PRESET);
    mainCamera.set(-1.3404f, 0.3625f, 1.8822f, 0.7192f, -0.0295f, -0.9914f, 0.0f, 1.0f, 0.0f);

    // The sharp picture: background, band, the metal body and its glowing parts.
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget3.framebuffer);
    glClearColor(1.0f, 0.4f, 0.1f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawQuad(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, logoTextures.background);
    shaderLoader.unuse();

    drawRasterBand();

    float spin = 0.0f;
    tween(sceneStartMs, 0.0, static_cast<double>(SPIN_END_DEGREES), TWEEN_WRAP, static_cast<double>(SPIN_SPEED),
          &spin);
    placeLogo(spin);
    if (logoModels.metal)
        drawModelFrame(*logoModels.metal, UNSKINNED);
    drawGlowingParts();

    // The glowing parts alone, over black.
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawGlowingParts();

    for (int round = 0; round < GLOW_ROUNDS; ++round) {
        blurPass(logoGlowPrograms.blurAcross, blurAcrossUniforms, screenTarget2.colorTexture, screenTarget4);
        blurPass(logoGlowPrograms.blurUp, blurUpUniforms, screenTarget4.colorTexture, screenTarget2);
    }

    // Sharp picture plus glow onto the screen.
    const uint32_t composite = logoGlowPrograms.composite;
    shaderLoader.use(composite);
    const int* u = compositeUniforms.of(composite);
    glUniform1i(u[COMPOSITE_COLOR_MAP], 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, screenTarget3.colorTexture);
    glUniform1i(u[COMPOSITE_BLUR_MAP], 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, screenTarget2.colorTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
}
