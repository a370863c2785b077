#include "game/game_frame_render.h"

#include "game/game_effects.h"
#include "game/game_scene.h"
#include "game/game_state.h"  // gameHasGlContext, gameCameraX, gameCameraY
#include "game/nuke.h"
#include "gfx/pass_timer.h"
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "platform/gl_api.h"
#include "render/screen_passes.h"  // full-screen quad and passes

void renderGameFrame()
{
    const bool gl = gameHasGlContext();
    renderGameScene();
    // The bloom's composite on the screen is covered by the frame's last full-screen pass, and
    // nothing reads its targets before the next scene clears them: only its effects on the
    // state and the mask scroll remain.
    if (gl) {
        skipCoveredBloom();
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    }
    beginPass("effects_2d");
    drawGameEffects();
    endPass();
    if (nukeRadius > 0.0f) {
        beginPass("nuke_rings");
        updateNukeShockwave();
        endPass();
        if (!gl)
            return;
        beginPass("nuke_composite");
        // The shockwave composite: the rings of target 3 push the scene of target 1.
        shaderLoader.use(nukeFxProgram);
        const int* u = nukeFxUniforms.of(nukeFxProgram);
        bindSampler(u[NUKE_FX_CIRCLE_MAP], 0, screenTarget3.colorTexture);
        bindSampler(u[NUKE_FX_COLOR_MAP], 1, screenTarget1.colorTexture);
        glActiveTexture(GL_TEXTURE0);
        glUniform1f(u[NUKE_FX_XC], nukeCentreX - gameCameraX);
        glUniform1f(u[NUKE_FX_YC], nukeCentreY - gameCameraY);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        drawFullScreenQuad();
        endPass();
        return;
    }
    if (!gl)
        return;
    beginPass("present");
    shaderLoader.use(passthroughProgram);
    bindSampler(passthroughUniforms.of(passthroughProgram)[COLOR_MAP_SAMPLER], 1, screenTarget1.colorTexture);
    glActiveTexture(GL_TEXTURE0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
    endPass();
}
