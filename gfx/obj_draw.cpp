#include "gfx/obj_draw.h"

#include "gfx/obj_ops.h"  // fitting, scaling and facet normals for the slots
#include "gfx/obj_read.h"
#include "gfx/shaders.h"  // defaultShaderProgram, shaderLoader
#include "gfx/tga.h"
#include "platform/gl_api.h"
#include "platform/os_services.h"  // showMessageBox

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>
#include <string>

static const float NO_LIGHTS[OBJ_LIGHT_COUNT] = {};

ObjLightSwitches objLightSwitches;
ObjModel* objSlots[OBJ_SLOT_CAPACITY] = {};
const char* lastObjSlotPath = nullptr;
uint32_t objSlotLists[OBJ_SLOT_CAPACITY][OBJ_SLOT_LISTS] = {};
int objSlotListCounts[OBJ_SLOT_CAPACITY] = {};

static const int TEXTURE_UNITS = 4;
static const char* const SAMPLER_NAMES[TEXTURE_UNITS] = {"colorMap", "normalMap", "lightMap", "specularMap"};
static const float WIREFRAME_LINE_WIDTH = 9.0f;
static const float SLOT_SCALE = 5.0f;
static const float GL_MAX_SHININESS = 128.0f;
static const unsigned MESSAGE_BOX_OK = 0;  // an OK button, no icon

// Entry `index` of a 1-based array of `count` entries `width` floats wide, or null outside it.
static const float* entryAt(const std::vector<float>& array, uint32_t count, uint32_t index, size_t width)
{
    if (index < 1 || index > count || width * (static_cast<size_t>(index) + 1) > array.size())
        return nullptr;
    return &array[width * index];
}

static const ObjMaterial* materialOf(const ObjModel& model, const ObjGroup& group)
{
    if (group.material < 0 || static_cast<size_t>(group.material) >= model.materials.size())
        return model.materials.empty() ? nullptr : &model.materials[0];
    return &model.materials[static_cast<size_t>(group.material)];
}

static uint32_t textureIdOf(const ObjModel& model, int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= model.textures.size())
        return 0;
    return model.textures[static_cast<size_t>(index)].id;
}

static void setMaterialColours(const ObjMaterial& material)
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material.ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material.specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::min(std::max(material.shininess, 0.0f), GL_MAX_SHININESS));
}

static void uploadLightSwitch(uint32_t program, const char* name, const float* values)
{
    GLint location = glGetUniformLocation(program, name);
    if (location >= 0)
        glUniform1fv(location, OBJ_LIGHT_COUNT, values ? values : NO_LIGHTS);
}

// Material colours, textures with the default program, and the tangent attribute's location
// (-1 when there is none to feed).
static GLint setUpGroup(const ObjModel& model, const ObjGroup& group, unsigned mode)
{
    const ObjMaterial* material = materialOf(model, group);
    if ((mode & OBJ_MATERIAL) && material)
        setMaterialColours(*material);
    if ((mode & OBJ_TEXTURE) && material) {
        if (material->diffuseMap == -1) {
            glBindTexture(GL_TEXTURE_2D, 0);
        } else {
            shaderLoader.use(defaultShaderProgram);
            const int32_t maps[TEXTURE_UNITS] = {material->diffuseMap, material->normalMap, material->chraberMap,
                                                 material->specularMap};
            for (int unit = 0; unit < TEXTURE_UNITS; ++unit) {
                glActiveTexture(GL_TEXTURE0 + unit);
                glBindTexture(GL_TEXTURE_2D, textureIdOf(model, maps[unit]));
                if (defaultShaderProgram) {
                    GLint location = glGetUniformLocation(defaultShaderProgram, SAMPLER_NAMES[unit]);
                    if (location >= 0)
                        glUniform1i(location, unit);
                }
            }
            glActiveTexture(GL_TEXTURE0);
            if (defaultShaderProgram) {
                uploadLightSwitch(defaultShaderProgram, "lightsEnabled", objLightSwitches.enabled);
                uploadLightSwitch(defaultShaderProgram, "lightsinvRadius", objLightSwitches.invRadius);
                uploadLightSwitch(defaultShaderProgram, "lightMapSelect", objLightSwitches.mapSelect);
            }
        }
    }
    return defaultShaderProgram ? glGetAttribLocation(defaultShaderProgram, "vTangent") : -1;
}

// The group's triangles inside one GL_TRIANGLES batch.
static void emitTriangles(const ObjModel& model, const ObjGroup& group, bool normals, bool texcoords,
                          GLint tangentLocation)
{
    glBegin(GL_TRIANGLES);
    for (uint32_t i = 0; i < group.numtriangles && i < group.triangles.size(); ++i) {
        if (group.triangles[i] >= model.triangles.size())
            continue;
        const ObjTriangle& triangle = model.triangles[group.triangles[i]];
        const float* vertex[3];
        bool whole = true;
        for (int k = 0; k < 3; ++k) {
            vertex[k] = entryAt(model.vertices, model.numvertices, triangle.vindices[k], 3);
            whole = whole && vertex[k];
        }
        if (!whole)
            continue;
        for (int k = 0; k < 3; ++k) {
            if (tangentLocation >= 0) {
                size_t entry = triangle.tangentIndices[k];
                if (3 * entry + 2 < model.tangents.size()) {
                    const float* t = &model.tangents[3 * entry];
                    glVertexAttrib3f(static_cast<GLuint>(tangentLocation), t[0], t[1], t[2]);
                }
            }
            if (normals)
                if (const float* n = entryAt(model.normals, model.numnormals, triangle.nindices[k], 3))
                    glNormal3fv(n);
            if (texcoords)
                if (const float* t = entryAt(model.texcoords, model.numtexcoords, triangle.tindices[k], 2))
                    glTexCoord2fv(t);
            glVertex3fv(vertex[k]);
        }
    }
    glEnd();
}

void objDrawShaded(ObjModel& model, unsigned mode, const char* group)
{
    assert(!model.vertices.empty());
    for (ObjGroup* g = model.groups; g; g = g->next) {
        if (group && g->name != group)
            continue;
        GLint tangent = setUpGroup(model, *g, mode);
        emitTriangles(model, *g, true, true, tangent);
        shaderLoader.unuse();
    }
}

void objDrawAll(ObjModel& model, unsigned mode)
{
    objDrawShaded(model, mode, nullptr);
}

void objDrawAdditive(ObjModel& model, unsigned mode)
{
    assert(!model.vertices.empty());
    for (ObjGroup* g = model.groups; g; g = g->next) {
        const ObjMaterial* material = materialOf(model, *g);
        if (material)
            setMaterialColours(*material);
        if ((mode & OBJ_TEXTURE) && material) {
            if (material->diffuseMap == -1) {
                glBindTexture(GL_TEXTURE_2D, 0);
            } else {
                glActiveTexture(GL_TEXTURE0);
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, textureIdOf(model, material->diffuseMap));
            }
        }
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        emitTriangles(model, *g, true, true, -1);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_LIGHTING);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

void objDrawWireframe(ObjModel& model, unsigned /*mode*/, const char* group)
{
    assert(!model.vertices.empty());
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(WIREFRAME_LINE_WIDTH);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glDepthMask(GL_FALSE);
    for (ObjGroup* g = model.groups; g; g = g->next)
        if (!group || g->name == group)
            emitTriangles(model, *g, false, false, -1);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
}

uint32_t objCompileList(ObjModel& model, unsigned mode)
{
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    objDrawAll(model, mode);
    glEndList();
    return list;
}

const char* objUnderscoreSuffix(const char* name)
{
    const char* last = std::strrchr(name, '_');
    if (!last || last == name)
        return "";
    return last + 1;
}

static int componentsOf(uint32_t format)
{
    switch (format) {
    case GL_RGB:
    case GL_BGR:
        return 3;
    case GL_RGBA:
    case GL_BGRA:
        return 4;
    case GL_LUMINANCE:
        return 1;
    default:
        return 0;
    }
}

uint32_t objLoadTexture(const char* name, bool /*ignored*/, bool repeat, bool linear, bool mipmap, float* width,
                        float* height)
{
    while (*name == ' ' || *name == '\t')
        ++name;
    bool specular = std::strncmp(objUnderscoreSuffix(name), "spe", 3) == 0;
    if (width)
        *width = 0.0f;
    if (height)
        *height = 0.0f;
    TgaImage image;
    if (!loadTgaWithMessages(image, name)) {
        if (loadTgaWithMessages(image, specular ? "specular.tga" : "chraber.tga"))
            std::printf(specular ? "speculardefault loaded\n" : "chraberdefault loaded\n");
    }
    if (!image.data) {
        std::string text = std::string("Could not load texture ") + name + "!";
        showMessageBox(text.c_str(), "ERROR", MESSAGE_BOX_OK);
        return 0;
    }
    int components = componentsOf(image.glFormat);
    if (components == 0) {
        std::printf("objLoadTexture(): unknown type 0x%x", image.glFormat);
        releaseTgaImage(image);
        return 0;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, (components * image.width) % 4 == 0 ? 4 : 1);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    linear ? (mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR)
                           : (mipmap ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST));
    GLint wrap = repeat ? GL_REPEAT : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    GLsizei w = static_cast<GLsizei>(image.width);
    GLsizei h = static_cast<GLsizei>(image.height);
    if (mipmap)
        gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(image.glFormat), w, h, image.glFormat, GL_UNSIGNED_BYTE,
                          image.data);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.glFormat), w, h, 0, image.glFormat, GL_UNSIGNED_BYTE,
                     image.data);
    if (width)
        *width = static_cast<float>(image.width);
    if (height)
        *height = static_cast<float>(image.height);
    releaseTgaImage(image);
    return texture;
}

void objFreeModel(ObjModel* model)
{
    if (!model)
        return;
    for (const ObjTexture& texture : model->textures)
        if (texture.id)
            glDeleteTextures(1, &texture.id);
    delete model;
}

static bool slotInTable(const char* routine, int slot)
{
    if (slot >= 0 && slot < OBJ_SLOT_CAPACITY)
        return true;
    std::fprintf(stderr, "%s(): slot %d is outside the table (0 to %d)\n", routine, slot, OBJ_SLOT_CAPACITY - 1);
    return false;
}

void loadObjSlot(const char* path, int slot)
{
    if (!slotInTable("loadObjSlot", slot))
        return;
    if (path != lastObjSlotPath) {
        lastObjSlotPath = path;
        ObjModel* model = objReadOBJPath(path);
        objFreeModel(objSlots[slot]);
        objSlots[slot] = model;
        objFitToUnitCube(*model);
        objScaleVertices(*model, SLOT_SCALE);
        objComputeFacetNormals(*model);
    }
    objSlotHook();
}

void drawObjSlot(int slot, int style)
{
    if (!slotInTable("drawObjSlot", slot) || !objSlots[slot])
        return;
    if (style == 0)
        objDrawAll(*objSlots[slot], OBJ_SLOT_MODE);
    else if (style == 1)
        objDrawAdditive(*objSlots[slot], OBJ_SLOT_MODE);
}

void compileObjSlotLists(int slot, ObjModel& model)
{
    assert(!model.vertices.empty());
    if (!slotInTable("compileObjSlotLists", slot))
        return;
    int k = 0;
    for (ObjGroup* g = model.groups; g; g = g->next, ++k) {
        if (k >= OBJ_SLOT_LISTS) {
            std::fprintf(stderr, "compileObjSlotLists(): only the first %d groups get lists\n", OBJ_SLOT_LISTS);
            break;
        }
        GLint tangent = setUpGroup(model, *g, OBJ_SLOT_MODE);
        GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        emitTriangles(model, *g, true, true, tangent);
        glEndList();
        objSlotLists[slot][k] = list;
    }
    shaderLoader.unuse();
    objSlotListCounts[slot] = k;
}

void drawObjSlotLists(int slot, ObjModel& model)
{
    assert(!model.vertices.empty());
    if (!slotInTable("drawObjSlotLists", slot))
        return;
    int k = 0;
    for (ObjGroup* g = model.groups; g && k < objSlotListCounts[slot]; g = g->next, ++k) {
        setUpGroup(model, *g, OBJ_SLOT_MODE);
        glDisable(GL_LIGHTING);
        glCallList(objSlotLists[slot][k]);
        shaderLoader.unuse();
    }
}

void objSlotHook()
{
}

void resetProjectionMatrix()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void wrapAngleSixteenths(int& angle)
{
    while (angle < 0)
        angle += SIXTEENTHS_PER_TURN;
    while (angle > SIXTEENTHS_PER_TURN)
        angle -= SIXTEENTHS_PER_TURN;
}
