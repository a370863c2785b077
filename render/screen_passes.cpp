// The full-screen passes over the screen targets: quads in the screen frame, bloom, screen
// shade, motion blur, lens grade, the scene target's present and the shadow-map view.
//
// The texture a pass renders into is never sampled at another texel during that pass: the
// bloom blur alternates between target 2 and its own second buffer, and the passes that
// combine a target with itself read only the texel they write, after a texture barrier.
#include "render/screen_passes.h"

#include "core/clock.h"            // tween: the shade and lens animations
#include "gfx/pass_timer.h"
#include "gfx/render_targets.h"    // the targets, screen programs and textures
#include "gfx/shaders.h"           // shaderLoader
#include "gfx/shadow_map.h"        // shadowTarget: the shadow-map view
#include "platform/crt_random.h"   // the screen shade's noise offsets
#include "platform/gl_api.h"
#include "render/overlay.h"        // pushScreenFrame, drawCornerOverlay

RenderTarget bloomBlurTarget = {};
BloomMaskScroll bloomMaskScroll = {0.0f, 0.0f};

static const float BLOOM_MASK_STEP_X = 0.002f;
static const float BLOOM_MASK_STEP_Y = 0.001f;
static const float SHADOW_VIEW_LEFT = 840.0f;

void drawScreenSpanQuad(float x0, float x1, bool disableBlending)
{
    glDisable(GL_DEPTH_TEST);
    pushScreenFrame();

    glDisable(GL_CULL_FACE);
    if (disableBlending)
        glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    const float h = static_cast<float>(SCREEN_HEIGHT);
    const float corners[6][4] = {
        {x0, 0.0f, 0.0f, 0.0f}, {x1, 0.0f, 1.0f, 0.0f}, {x1, h, 1.0f, 1.0f},
        {x0, 0.0f, 0.0f, 0.0f}, {x0, h, 0.0f, 1.0f},    {x1, h, 1.0f, 1.0f},
    };
    glBegin(GL_TRIANGLES);
    for (const float* c : corners) {
        glNormal3f(1.0f, 1.0f, 1.0f);
        glTexCoord2f(c[2], c[3]);
        // Programs that read the model attribute "textureCoord" (location 2) see it as well.
        glVertexAttrib2f(2, c[2], c[3]);
        glVertex2f(c[0], c[1]);
    }
    glEnd();

    popScreenFrame();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
}

void drawFullScreenQuad()
{
    drawScreenSpanQuad(0.0f, static_cast<float>(SCREEN_WIDTH), true);
}

void drawCenteredScreenQuad()
{
    drawScreenSpanQuad(480.0f, 1440.0f, false);
}

// A pass that reads the target it draws into, texel for texel: the barrier makes the earlier
// writes visible and the shader reads only the texel of its own fragment.
static void drawFullScreenQuadInPlace()
{
    glTextureBarrier();
    drawFullScreenQuad();
}

// Bloom steps 1 to 4: threshold, blur, screen blend into `framebuffer`.
static void composeBloom(uint32_t framebuffer)
{
    shaderLoader.use(tresholdProgram);
    const int* tresholdAt = tresholdUniforms.of(tresholdProgram);
    bindSampler(tresholdAt[TRESHOLD_COLOR_MAP], 0, screenTarget1.colorTexture);
    bindSampler(tresholdAt[TRESHOLD_MASK_MAP], 1, glowMaskTexture);
    glUniform1f(tresholdAt[TRESHOLD_MASK_X], bloomMaskScroll.maskx);
    glUniform1f(tresholdAt[TRESHOLD_MASK_Y], bloomMaskScroll.masky);
    bloomMaskScroll.maskx += BLOOM_MASK_STEP_X;
    bloomMaskScroll.masky += BLOOM_MASK_STEP_Y;
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    drawFullScreenQuad();

    // Four successive blur passes over the thresholded picture, alternating between target 2
    // and the second buffer so that the last one lands in target 2 again.
    prepareBloom();
    shaderLoader.use(hblurProgram);
    const int* hblurAt = hblurUniforms.of(hblurProgram);
    for (int pass = 0; pass < BLOOM_BLUR_PASSES; ++pass) {
        const RenderTarget& source = pass % 2 == 0 ? screenTarget2 : bloomBlurTarget;
        const RenderTarget& destination = pass % 2 == 0 ? bloomBlurTarget : screenTarget2;
        bindSampler(hblurAt[COLOR_MAP_SAMPLER], 0, source.colorTexture);
        glBindFramebuffer(GL_FRAMEBUFFER, destination.framebuffer);
        drawFullScreenQuad();
    }

    shaderLoader.use(screenBlendProgram);
    const int* screenBlendAt = screenBlendUniforms.of(screenBlendProgram);
    bindSampler(screenBlendAt[SCREEN_BLEND_COLOR_MAP], 0, screenTarget1.colorTexture);
    bindSampler(screenBlendAt[SCREEN_BLEND_BLOOM_MAP], 1, screenTarget2.colorTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (framebuffer == screenTarget2.framebuffer)
        drawFullScreenQuadInPlace();
    else
        drawFullScreenQuad();
}

// The second buffer is made when a user of the bloom loads (only the game and its editor bloom,
// and a new 1920 x 1080 texture costs start-up time), or else at the first bloom.
void prepareBloom()
{
    if (!bloomBlurTarget.framebuffer)
        createScreenTarget(bloomBlurTarget, 0, 0);
}

void skipCoveredBloom()
{
    bloomMaskScroll.maskx += BLOOM_MASK_STEP_X;
    bloomMaskScroll.masky += BLOOM_MASK_STEP_Y;
    // The state the corner overlay's quad leaves.
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, overlayTexture);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
}

void applyBloom()
{
    beginPass("bloom");
    composeBloom(0);
    drawCornerOverlay();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    endPass();
}

void applyScreenShade()
{
    beginPass("screen_shade");
    composeBloom(screenTarget2.framebuffer);

    shaderLoader.use(screenShadeProgram);
    const int* screenShadeAt = screenShadeUniforms.of(screenShadeProgram);
    bindSampler(screenShadeAt[SCREEN_SHADE_COLOR_MAP], 0, screenTarget2.colorTexture);
    bindSampler(screenShadeAt[SCREEN_SHADE_SHADE_MAP], 1, blueShadeTexture);
    bindSampler(screenShadeAt[SCREEN_SHADE_SCANLINES], 2, scanlinesTexture);
    bindSampler(screenShadeAt[SCREEN_SHADE_NOISE_PIC], 3, screenNoiseTexture);
    glUniform1f(screenShadeAt[SCREEN_SHADE_SHADE_TONE], 0.991f);
    float noiseX = static_cast<float>(crtRand() % SCREEN_WIDTH) / SCREEN_WIDTH;
    float noiseY = static_cast<float>(crtRand() % SCREEN_HEIGHT) / SCREEN_HEIGHT;
    glUniform1f(screenShadeAt[SCREEN_SHADE_NOISE_X], noiseX);
    glUniform1f(screenShadeAt[SCREEN_SHADE_NOISE_Y], noiseY);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    drawFullScreenQuadInPlace();

    float amp = 0.0f, scroll = 0.0f, scrollY = 0.0f;
    tween(0.0, 0.0, 1.0, TWEEN_PING_PONG, 0.014, &amp);
    tween(0.0, 0.0, 1.0, TWEEN_WRAP, 0.024, &scroll);
    tween(0.0, 0.0, 1.0, TWEEN_WRAP, 0.031, &scrollY);
    shaderLoader.use(offsetXProgram);
    const int* offsetXAt = offsetXUniforms.of(offsetXProgram);
    bindSampler(offsetXAt[OFFSET_X_COLOR_MAP], 0, screenTarget2.colorTexture);
    bindSampler(offsetXAt[OFFSET_X_OFFSET_MAP], 1, offsetXTexture);
    glUniform1f(offsetXAt[OFFSET_X_AMP], amp);
    glUniform1f(offsetXAt[OFFSET_X_SCROLL], scroll);
    glUniform1f(offsetXAt[OFFSET_X_SCROLL_Y], scrollY);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
    endPass();
}

void applyMotionBlur()
{
    beginPass("motion_blur");
    shaderLoader.use(motionBlurProgram);
    const int* motionBlurAt = motionBlurUniforms.of(motionBlurProgram);
    for (int i = 0; i < MOTION_BLUR_FRAMES; ++i) {
        const int blend = MOTION_BLUR_FRAMES + i;
        glBindFramebuffer(GL_FRAMEBUFFER, motionBlurFramebuffers[blend]);
        glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        bindSampler(motionBlurAt[MOTION_BLUR_COLOR_MAP1], 0, motionBlurTextures[blend]);
        bindSampler(motionBlurAt[MOTION_BLUR_COLOR_MAP2], 1, motionBlurTextures[i]);
        glUniform1f(motionBlurAt[MOTION_BLUR_BLURFRAMES], static_cast<float>(MOTION_BLUR_FRAMES));
        drawFullScreenQuadInPlace();
    }
    shaderLoader.use(screenPassthroughProgram);
    bindSampler(screenPassthroughUniforms.of(screenPassthroughProgram)[COLOR_MAP_SAMPLER], 0,
                motionBlurTextures[MOTION_BLUR_TARGET_COUNT - 1]);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
    endPass();
}

void applyLensGrade()
{
    beginPass("lens_grade");
    serviceClockRestartRequest();
    composeBloom(screenTarget2.framebuffer);

    shaderLoader.use(colorGradientProgram);
    const int* colorGradientAt = colorGradientUniforms.of(colorGradientProgram);
    bindSampler(colorGradientAt[COLOR_GRADIENT_COLOR_MAP], 0, screenTarget2.colorTexture);
    bindSampler(colorGradientAt[COLOR_GRADIENT_SHADE_MAP], 1, blueShadeTexture);
    glUniform1f(colorGradientAt[COLOR_GRADIENT_SHADE_TONE], 0.999f);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    drawFullScreenQuadInPlace();

    float lensFactor = 0.0f;
    tween(0.0, 0.0, 4.0, TWEEN_PING_PONG, 0.03, &lensFactor);
    shaderLoader.use(lensProgram);
    const int* lensAt = lensUniforms.of(lensProgram);
    bindSampler(lensAt[LENS_COLOR_MAP], 0, screenTarget2.colorTexture);
    glUniform1f(lensAt[LENS_FACTOR], lensFactor);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
    endPass();
}

void presentSceneTarget()
{
    beginPass("present");
    shaderLoader.use(screenPassthroughProgram);
    bindSampler(screenPassthroughUniforms.of(screenPassthroughProgram)[COLOR_MAP_SAMPLER], 0, screenTarget1.colorTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
    drawCornerOverlay();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    endPass();
}

void drawShadowMapView()
{
    shaderLoader.use(screenPassthroughProgram);
    bindSampler(screenPassthroughUniforms.of(screenPassthroughProgram)[COLOR_MAP_SAMPLER], 0,
                shadowTarget.colorTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawScreenSpanQuad(SHADOW_VIEW_LEFT, static_cast<float>(SCREEN_WIDTH), true);
}
