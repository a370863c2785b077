#include "render/depth_prepass.h"

#include "gfx/model_record.h"    // Model
#include "gfx/shaders.h"         // shaderLoader
#include "gfx/textures.h"        // textureSets
#include "platform/gl_api.h"
#include "render/model_draw.h"   // submitModelVertices, drawModelTriangles

bool depthPrepassEnabled = true;

static uint32_t prepassProgram = 0;
static GLboolean savedColourMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};

void loadDepthPrepassProgram()
{
    prepassProgram = shaderLoader.load("shmappass2static.vert", "depth_only.frag");
}

bool modelColourMapOpaque(const Model& model)
{
    // No set means no texture on unit 0, which samples as opaque black.
    if (model.textureSet < 0 || model.textureSet >= textureSetCount)
        return true;
    const uint32_t texture = textureSets[model.textureSet].baseTexture;
    if (texture == 0)
        return true;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint alphaBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return alphaBits == 0;
}

static GLint stateValue(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// Each fragment's colour replaces what lay under it.
static bool blendingReplaces(bool opaqueFragments)
{
    if (!glIsEnabled(GL_BLEND))
        return true;
    return opaqueFragments && stateValue(GL_BLEND_SRC_RGB) == GL_SRC_ALPHA &&
           stateValue(GL_BLEND_DST_RGB) == GL_ONE_MINUS_SRC_ALPHA && stateValue(GL_BLEND_SRC_ALPHA) == GL_SRC_ALPHA &&
           stateValue(GL_BLEND_DST_ALPHA) == GL_ONE_MINUS_SRC_ALPHA &&
           stateValue(GL_BLEND_EQUATION_RGB) == GL_FUNC_ADD && stateValue(GL_BLEND_EQUATION_ALPHA) == GL_FUNC_ADD;
}

bool depthPrepassKeepsPicture(bool opaqueFragments)
{
    return depthPrepassEnabled && prepassProgram != 0 && glIsEnabled(GL_DEPTH_TEST) && stateValue(GL_DEPTH_FUNC) == GL_LEQUAL &&
           !glIsEnabled(GL_STENCIL_TEST) && blendingReplaces(opaqueFragments);
}

// Colour writes off and the pre-pass program; the colour mask is kept to put back.
static void beginDepthOnlyDraws()
{
    glGetBooleanv(GL_COLOR_WRITEMASK, savedColourMask);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glUseProgram(prepassProgram);
}

static void endDepthOnlyDraws()
{
    glBindVertexArray(0);
    glUseProgram(0);
    glColorMask(savedColourMask[0], savedColourMask[1], savedColourMask[2], savedColourMask[3]);
}

void beginDepthPrepass()
{
    beginDepthOnlyDraws();
    // The lit draws write depth whatever the mask was; so does their pre-pass.
    glDepthMask(GL_TRUE);
}

void drawModelDepthPrepass(Model& model)
{
    submitModelVertices(model, false);
    drawModelTriangles(model, false);
}

void endDepthPrepass()
{
    endDepthOnlyDraws();
    glDepthFunc(GL_EQUAL);
}

void endPrepassedDraws()
{
    glDepthFunc(GL_LEQUAL);
}

void beginCoverMark()
{
    beginDepthOnlyDraws();
    // Every pixel drawn is marked, whatever lies nearer; the depth buffer is left as it is.
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
}

void endCoverMark()
{
    endDepthOnlyDraws();
    glEnable(GL_DEPTH_TEST);
    glStencilFunc(GL_EQUAL, 0, 0xFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
}

void endCoverTest()
{
    glDisable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0xFFFFFFFFu);
}
