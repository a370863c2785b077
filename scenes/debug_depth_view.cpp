#include "scenes/debug_depth_view.h"

#include "gfx/shadow_map.h"        // shadowTarget, shadowDepthProgram
#include "platform/gl_api.h"
#include "render/light_space.h"    // submitModelDepth
#include "render/overlay.h"        // drawQuad
#include "render/particles.h"      // rotateParticles
#include "scenes/flyover_scene.h"  // dust particles and textures
#include "scenes/tunnel_scene.h"   // tunnelSphereModel

void debugDrawDepthView()
{
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glScalef(0.02f, 0.02f, 0.02f);
    if (tunnelSphereModel)
        submitModelDepth(*tunnelSphereModel, -1, static_cast<int>(shadowDepthProgram));
    if (dustParticles) {
        rotateParticles(dustParticles, 0.0f, 0.0f, 0.0f);
        glLoadIdentity();
        glScalef(0.02f, 0.02f, 0.02f);
        drawDustParticlesTinted(dustParticles);
    }
    drawQuad(0, 0, 500, 500, dustTextures[0]);
}
