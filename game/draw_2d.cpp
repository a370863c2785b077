// The game's 2D layer, queued into batches (see draw_2d.h).
//
// A batch is a run of primitives with one state: fixed-function quads with one texture and
// one blend function, or explosion sprites with one ramp. Vertices carry position, texture
// coordinate, colour and (for sprites) the ramp position and row, so one draw call reproduces
// the calls it replaces. Explosion batches run through a program built from "expl.frag" itself
// with its two float uniforms turned into per-vertex inputs; when that cannot be built, the
// sprites are drawn one call each through the ordinary program.
#include "game/draw_2d.h"

#include "core/clock.h"          // tween
#include "core/frame_values.h"   // sceneStartMs
#include "game/game_state.h"     // gameCameraX, gameCameraY, playerX, playerY, heroTurnAngle
#include "gfx/shaders.h"
#include "platform/gl_api.h"
#include "render/overlay.h"  // pushScreenFrame, popScreenFrame

#include <algorithm>  // std::clamp, std::swap
#include <chrono>     // the time spent sending
#include <cmath>
#include <cstddef>  // offsetof
#include <cstdlib>  // free
#include <cstring>
#include <regex>
#include <string>

bool batching2D = true;
Draw2DStats draw2DStats = {0, 0, 0.0};

namespace {

constexpr GLuint SPRITE_PARAMS_LOCATION = 6;
constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;

struct Vertex2D {
    float x, y;
    float u, v;
    float r, g, b, a;
    float colourIndex, colourSelect;
};

enum class BatchKind : uint8_t { None, Dot, Rotated, Quad, Sprite };

struct BatchState {
    BatchKind kind = BatchKind::None;
    uint32_t texture = 0;  // the picture on unit 0, or the ramp of a sprite batch
    Blend2D blend = Blend2D::Alpha;
};

struct Batch {
    BatchState state;
    Vertex2D vertices[BATCH_2D_CAPACITY];
    int count = 0;
};

// Additive sprites add up the same in any order (the targets hold 8-bit channels, and a
// saturating sum of the sprites' rounded shares does not depend on their order), so a run of
// them that alternates between the two ramps (an explosion's smoke and sparks) fills one batch
// per ramp: the open one takes the latest sprite, the held one the other ramp's, and the held
// one goes out first.
Batch batchStore[2];
Batch* openBatch = &batchStore[0];
Batch* heldBatch = &batchStore[1];
#define batch (*openBatch)
// What the last rotated quad's own call would leave behind.
float lastAngle = 0, lastX = 0, lastY = 0;
float drawColour[4] = {1, 1, 1, 1};

GLuint batchArray = 0;
GLuint batchBuffer = 0;
int spriteProgramState = 0;  // 0 not tried, 1 built, -1 unavailable
GLuint spriteProgram = 0;

bool sameState(const BatchState& a, const BatchState& b)
{
    return a.kind == b.kind && a.texture == b.texture && a.blend == b.blend;
}

void applyBlend(Blend2D blend)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, blend == Blend2D::Additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

GLuint compileShader(GLenum type, const std::string& source)
{
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// "expl.frag" with `uniform float colorIndex;` and `colorSelect` read from the vertices.
void buildSpriteProgram()
{
    spriteProgramState = -1;
    char* text = readShaderSource("expl.frag");
    if (!text)
        return;
    std::string fragment(text);
    std::free(text);
    const std::regex version(R"(#version\s+(\d+)[^\n]*)");
    std::smatch versionMatch;
    if (!std::regex_search(fragment, versionMatch, version) || std::stoi(versionMatch[1].str()) < 330)
        return;
    const std::string versionLine = versionMatch[0].str();  // the match points into `fragment`
    const std::regex indexUniform(R"(uniform\s+float\s+colorIndex\s*;)");
    const std::regex selectUniform(R"(uniform\s+float\s+colorSelect\s*;)");
    if (!std::regex_search(fragment, indexUniform) || !std::regex_search(fragment, selectUniform))
        return;
    fragment = std::regex_replace(fragment, indexUniform, "in float colorIndex;");
    fragment = std::regex_replace(fragment, selectUniform, "in float colorSelect;");
    const std::string vertex = versionLine + "\n"
        "in vec2 spriteParams;\n"
        "out vec2 texCoord;\n"
        "out float colorIndex;\n"
        "out float colorSelect;\n"
        "void main()\n"
        "{\n"
        "    texCoord = gl_MultiTexCoord0.xy;\n"
        "    colorIndex = spriteParams.x;\n"
        "    colorSelect = spriteParams.y;\n"
        "    gl_FrontColor = gl_Color;\n"
        "    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;\n"
        "}\n";
    GLuint vs = compileShader(GL_VERTEX_SHADER, vertex);
    GLuint fs = compileShader(GL_FRAGMENT_SHADER, fragment);
    if (!vs || !fs) {
        if (vs)
            glDeleteShader(vs);
        if (fs)
            glDeleteShader(fs);
        return;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, SPRITE_PARAMS_LOCATION, "spriteParams");
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        glDeleteProgram(program);
        return;
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "colorMap"), 0);
    glUniform1i(glGetUniformLocation(program, "colorGradient"), 1);
    glUseProgram(static_cast<GLuint>(currentShaderProgram));
    spriteProgram = program;
    spriteProgramState = 1;
}

bool spriteBatchAvailable()
{
    if (spriteProgramState == 0)
        buildSpriteProgram();
    return spriteProgramState == 1;
}

// The 2D layer's frame is the screen frame of the overlay quads.
void beginScreenMatrices()
{
    pushScreenFrame();
}

void endScreenMatrices()
{
    popScreenFrame();
}

// The batch array: positions, texture coordinates, colours and sprite values from one buffer
// that each batch refills; the pointers are set once with the array.
void bindBatchArray()
{
    if (!batchArray) {
        glGenVertexArrays(1, &batchArray);
        glGenBuffers(1, &batchBuffer);
        glBindVertexArray(batchArray);
        glBindBuffer(GL_ARRAY_BUFFER, batchBuffer);
        const GLsizei stride = sizeof(Vertex2D);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(Vertex2D, x)));
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(Vertex2D, u)));
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(Vertex2D, r)));
        glVertexAttribPointer(SPRITE_PARAMS_LOCATION, 2, GL_FLOAT, GL_FALSE, stride,
            reinterpret_cast<const void*>(offsetof(Vertex2D, colourIndex)));
        glEnableVertexAttribArray(SPRITE_PARAMS_LOCATION);
        return;
    }
    glBindVertexArray(batchArray);
    glBindBuffer(GL_ARRAY_BUFFER, batchBuffer);
}

// The state every batch shares, set once for a run of batches between two flushes.
struct LayerState {
    bool open = false;
    BatchKind lastKind = BatchKind::None;
    int blend = -1;          // Blend2D of the last batch, -1 before the first
    GLuint program = ~0u;    // program of the last batch
    GLuint texture0 = ~0u;
    GLuint texture1 = ~0u;
    int used = 0;            // vertices of the buffer taken by this run's batches
};
LayerState layer;
bool batchBufferFresh = true;  // the buffer has no store yet
// The buffer holds many batches: they fill it from the front, run after run, and only a full
// buffer takes a fresh store, so a batch is one sub-upload and one draw.
constexpr int LAYER_BUFFER_VERTICES = 4 * BATCH_2D_CAPACITY;

void orphanLayerBuffer()
{
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(LAYER_BUFFER_VERTICES) * static_cast<GLsizeiptr>(sizeof(Vertex2D)),
        nullptr, GL_STREAM_DRAW);
    layer.used = 0;
}

void openLayer()
{
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    beginScreenMatrices();
    bindBatchArray();
    glNormal3f(1.0f, 1.0f, 1.0f);
    const int used = layer.used;
    const bool fresh = batchBufferFresh;
    layer = LayerState{};
    layer.open = true;
    layer.used = used;
    if (fresh) {
        orphanLayerBuffer();
        batchBufferFresh = false;
    }
}

// Leaves the state the last primitive's own call would have left.
void closeLayer()
{
    if (!layer.open)
        return;
    layer.open = false;
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    endScreenMatrices();
    glColor4fv(drawColour);
    const BatchKind kind = layer.lastKind;
    if (kind == BatchKind::Sprite) {
        // The sprite's own call leaves the explosion program in use with red as the colour.
        shaderLoader.use(explosionProgram);
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    } else {
        shaderLoader.unuse();
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    if (kind == BatchKind::Rotated) {
        // A rotated quad leaves the projection current, holding the frame, its corner and turn.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, SCREEN_W, 0.0, SCREEN_H, -1.0, 1.0);
        glTranslatef(lastX, lastY, 0.0f);
        glRotatef(lastAngle, 0.0f, 0.0f, 1.0f);
    } else if (kind == BatchKind::Dot || kind == BatchKind::Sprite) {
        glLoadIdentity();  // both load the identity into the current matrix first
    }
}

// One batch out; the layer's shared state stays set until the next flush. Without a GL
// context (the world stepped in a test) the queue is simply dropped.
void sendBatch()
{
    if (batch.count == 0 || !glContextCurrent()) {
        batch.count = 0;
        batch.state.kind = BatchKind::None;
        return;
    }
    const auto sendStart = std::chrono::steady_clock::now();
    if (!layer.open)
        openLayer();
    const BatchState& s = batch.state;
    if (layer.blend != static_cast<int>(s.blend)) {
        glBlendFunc(GL_SRC_ALPHA, s.blend == Blend2D::Additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        layer.blend = static_cast<int>(s.blend);
    }
    const GLuint program = s.kind == BatchKind::Sprite ? spriteProgram : 0;
    if (layer.program != program) {
        glUseProgram(program);
        layer.program = program;
    }
    const GLuint texture0 = s.kind == BatchKind::Sprite ? explosionParticleTexture : s.texture;
    if (layer.texture0 != texture0) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture0);
        layer.texture0 = texture0;
    }
    if (s.kind == BatchKind::Sprite && layer.texture1 != s.texture) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, s.texture);
        glActiveTexture(GL_TEXTURE0);
        layer.texture1 = s.texture;
    }
    if (layer.used + batch.count > LAYER_BUFFER_VERTICES)
        orphanLayerBuffer();
    const GLsizeiptr vertexBytes = static_cast<GLsizeiptr>(sizeof(Vertex2D));
    glBufferSubData(GL_ARRAY_BUFFER, layer.used * vertexBytes, batch.count * vertexBytes, batch.vertices);
    glDrawArrays(GL_TRIANGLES, layer.used, batch.count);
    layer.used += batch.count;
    draw2DStats.drawCalls += 1;
    layer.lastKind = s.kind;
    batch.count = 0;
    batch.state.kind = BatchKind::None;
    draw2DStats.sendMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sendStart).count();
}

void sendHeldBatch()
{
    if (heldBatch->count == 0)
        return;
    std::swap(openBatch, heldBatch);
    sendBatch();
    std::swap(openBatch, heldBatch);
}

bool additiveSprite(const BatchState& s)
{
    return s.kind == BatchKind::Sprite && s.blend == Blend2D::Additive;
}

// Room for six vertices of a primitive with `state`, sending the batch first when needed.
Vertex2D* reserve(const BatchState& state)
{
    if (!sameState(batch.state, state) && additiveSprite(state) && additiveSprite(batch.state) && batch.count > 0) {
        if (heldBatch->count > 0 && !sameState(heldBatch->state, state))
            sendHeldBatch();
        std::swap(openBatch, heldBatch);
        if (batch.count == 0)
            batch.state = state;
    }
    if (!sameState(batch.state, state) || batch.count + 6 > BATCH_2D_CAPACITY) {
        sendHeldBatch();
        sendBatch();
        batch.state = state;
    }
    Vertex2D* out = &batch.vertices[batch.count];
    batch.count += 6;
    draw2DStats.primitives += 1;
    return out;
}

void putVertex(Vertex2D& v, float x, float y, float u, float tv, const float colour[4], float ci, float cs)
{
    v = Vertex2D{x, y, u, tv, colour[0], colour[1], colour[2], colour[3], ci, cs};
}

// Two triangles (0,0)-(1,0)-(1,1) and (0,0)-(0,1)-(1,1) of the quad from p to p + w, p + h in
// texture order, the layout all of the game's quads share.
void putQuad(Vertex2D* out, const float corner[4][2], const float colour[4], float ci, float cs)
{
    putVertex(out[0], corner[0][0], corner[0][1], 0, 0, colour, ci, cs);
    putVertex(out[1], corner[1][0], corner[1][1], 1, 0, colour, ci, cs);
    putVertex(out[2], corner[2][0], corner[2][1], 1, 1, colour, ci, cs);
    putVertex(out[3], corner[0][0], corner[0][1], 0, 0, colour, ci, cs);
    putVertex(out[4], corner[3][0], corner[3][1], 0, 1, colour, ci, cs);
    putVertex(out[5], corner[2][0], corner[2][1], 1, 1, colour, ci, cs);
}

void emitTexturedTriangles(const float corner[4][2])
{
    glBegin(GL_TRIANGLES);
    glNormal3f(1.0f, 1.0f, 1.0f);
    const float uv[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {0, 1}, {1, 1}};
    const int index[6] = {0, 1, 2, 0, 3, 2};
    for (int i = 0; i < 6; ++i) {
        glTexCoord2f(uv[i][0], uv[i][1]);
        glVertex3f(corner[index[i]][0], corner[index[i]][1], 0.0f);
    }
    glEnd();
}

// The single-call forms, as the game draws each primitive when not batching.
void drawDotDirect(int x, int y)
{
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    beginScreenMatrices();
    glDisable(GL_CULL_FACE);
    applyBlend(Blend2D::Alpha);
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, gameWhitePixelTexture);
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float corner[4][2] = {{fx, fy}, {fx + DOT_SIZE, fy}, {fx + DOT_SIZE, fy + DOT_SIZE}, {fx, fy + DOT_SIZE}};
    emitTexturedTriangles(corner);
    endScreenMatrices();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    draw2DStats.drawCalls += 1;
}

void drawRotatedQuadDirect(float x0, float y0, float x1, float y1, float angle, uint32_t texture)
{
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, SCREEN_W, 0.0, SCREEN_H, -1.0, 1.0);
    glDisable(GL_CULL_FACE);
    applyBlend(Blend2D::Additive);
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTranslatef(x0, y0, 0.0f);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    const float w = x1 - x0;
    const float h = y1 - y0;
    const float corner[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    emitTexturedTriangles(corner);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    draw2DStats.drawCalls += 1;
}

// The sprite's colour, program, textures and uniforms.
void bindExplosionSprite(float colourIndex, int small, float colourSelect)
{
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    shaderLoader.use(explosionProgram);
    const int* u = explosionUniforms.of(explosionProgram);
    glActiveTexture(GL_TEXTURE0);
    glUniform1i(u[EXPLOSION_COLOR_MAP], 0);
    glBindTexture(GL_TEXTURE_2D, explosionParticleTexture);
    glActiveTexture(GL_TEXTURE1);
    glUniform1i(u[EXPLOSION_COLOR_GRADIENT], 1);
    glBindTexture(GL_TEXTURE_2D, small ? explosionRampSmallTexture : explosionRampTexture);
    glUniform1f(u[EXPLOSION_COLOR_INDEX], colourIndex);
    glUniform1f(u[EXPLOSION_COLOR_SELECT], colourSelect);
}

void drawExplosionSpriteDirect(float cx, float cy, float size, float colourIndex, int small, float colourSelect)
{
    bindExplosionSprite(colourIndex, small, colourSelect);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    pushScreenFrame(false);
    glDisable(GL_CULL_FACE);
    applyBlend(Blend2D::Additive);
    const float s = size * 0.5f;
    const float corner[4][2] = {{cx - s, cy - s}, {cx + s, cy - s}, {cx + s, cy + s}, {cx - s, cy + s}};
    emitTexturedTriangles(corner);
    endScreenMatrices();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    draw2DStats.drawCalls += 1;
}

// The sprite without its screen frame: no matrix, depth, lighting or culling changes.
void drawExplosionSpriteInPlaceDirect(float cx, float cy, float size, float colourIndex, int small, float colourSelect)
{
    bindExplosionSprite(colourIndex, small, colourSelect);
    applyBlend(Blend2D::Additive);
    const float s = size * 0.5f;
    const float corner[4][2] = {{cx - s, cy - s}, {cx + s, cy - s}, {cx + s, cy + s}, {cx - s, cy + s}};
    emitTexturedTriangles(corner);
    draw2DStats.drawCalls += 1;
}

void drawQuad2DDirect(const Corner2D c[4], uint32_t texture, Blend2D blend)
{
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    beginScreenMatrices();
    glDisable(GL_CULL_FACE);
    applyBlend(blend);
    glBegin(GL_TRIANGLES);
    glNormal3f(1.0f, 1.0f, 1.0f);
    const int index[6] = {0, 1, 2, 0, 2, 3};
    for (int i : index) {
        glTexCoord2f(c[i].u, c[i].v);
        glVertex3f(c[i].x, c[i].y, 0.0f);
    }
    glEnd();
    endScreenMatrices();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    draw2DStats.drawCalls += 1;
}

}  // namespace

bool hasGlContext2D()
{
    return glContextCurrent();
}

void setDrawColor(float r, float g, float b, float a)
{
    drawColour[0] = r;
    drawColour[1] = g;
    drawColour[2] = b;
    drawColour[3] = a;
    if (!batching2D && hasGlContext2D())
        glColor4f(r, g, b, a);
}

bool dotOnScreen(int x, int y)
{
    return x > -DOT_SIZE && x < SCREEN_WIDTH && y > -DOT_SIZE && y < SCREEN_HEIGHT;
}

void drawDot(float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 1e8f || std::fabs(y) > 1e8f)
        return;
    const int ix = static_cast<int>(x);
    const int iy = static_cast<int>(y);
    if (!dotOnScreen(ix, iy))
        return;
    if (!batching2D) {
        draw2DStats.primitives += 1;
        if (hasGlContext2D())
            drawDotDirect(ix, iy);
        return;
    }
    Vertex2D* out = reserve(BatchState{BatchKind::Dot, gameWhitePixelTexture, Blend2D::Alpha});
    const float fx = static_cast<float>(ix);
    const float fy = static_cast<float>(iy);
    const float corner[4][2] = {{fx, fy}, {fx + DOT_SIZE, fy}, {fx + DOT_SIZE, fy + DOT_SIZE}, {fx, fy + DOT_SIZE}};
    putQuad(out, corner, drawColour, 0, 0);
}

// The dots of one whole unit of the longer axis each; only the stretch of the walk whose dots
// can land on the screen is visited.
void drawDottedLine(float x0, float y0, float x1, float y1)
{
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    const double ddx = std::trunc(static_cast<double>(x1) - x0);
    const double ddy = std::trunc(static_cast<double>(y1) - y0);
    if (std::fabs(ddx) > 1e7 || std::fabs(ddy) > 1e7)
        return;
    const int dx = static_cast<int>(ddx);
    const int dy = static_cast<int>(ddy);
    if (dx == 0 && dy == 0)
        return;
    const bool alongY = std::abs(dx) < std::abs(dy);
    const int steps = alongY ? std::abs(dy) : std::abs(dx);
    const int sign = (alongY ? dy : dx) > 0 ? 1 : -1;
    // The coordinate along the walk is start + sign * n; keep n where it lies within the screen
    // (with a dot's margin); the other coordinate is tested per dot.
    const float start = alongY ? y0 : x0;
    const float limit = alongY ? SCREEN_H : SCREEN_W;
    int first = 0;
    int last = steps - 1;  // the end point itself is not drawn
    const double enter = sign > 0 ? (-DOT_SIZE - 1 - start) : (start - limit - 1);
    const double leave = sign > 0 ? (limit + 1 - start) : (start + DOT_SIZE + 1);
    first = static_cast<int>(std::clamp(std::floor(enter), 0.0, static_cast<double>(steps)));
    last = static_cast<int>(std::clamp(std::ceil(leave), -1.0, static_cast<double>(last)));
    const float slope = alongY ? static_cast<float>(dx) / static_cast<float>(dy)
                               : static_cast<float>(dy) / static_cast<float>(dx);
    for (int n = first; n <= last; ++n) {
        const int i = sign * n;
        if (alongY)
            drawDot(std::trunc(static_cast<float>(i) * slope + x0), std::trunc(y0 + static_cast<float>(i)));
        else
            drawDot(std::trunc(static_cast<float>(i) + x0), std::trunc(slope * static_cast<float>(i) + y0));
    }
}

void drawRotatedQuad(float x0, float y0, float x1, float y1, float angle, uint32_t texture)
{
    if (!batching2D) {
        draw2DStats.primitives += 1;
        if (hasGlContext2D())
            drawRotatedQuadDirect(x0, y0, x1, y1, angle, texture);
        return;
    }
    Vertex2D* out = reserve(BatchState{BatchKind::Rotated, texture, Blend2D::Additive});
    const double radians = static_cast<double>(angle) * DEGREES_TO_RADIANS;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double w = static_cast<double>(x1) - x0;
    const double h = static_cast<double>(y1) - y0;
    const double local[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    float corner[4][2];
    for (int i = 0; i < 4; ++i) {
        corner[i][0] = static_cast<float>(x0 + local[i][0] * c - local[i][1] * s);
        corner[i][1] = static_cast<float>(y0 + local[i][0] * s + local[i][1] * c);
    }
    putQuad(out, corner, drawColour, 0, 0);
    lastX = x0;
    lastY = y0;
    lastAngle = angle;
}

void drawLaserQuad(float x0, float y0, float x1, float y1, float angle)
{
    drawRotatedQuad(x0, y0, x1, y1, angle, laserTexture);
}

void drawExplosionSprite(float cx, float cy, float size, float colourIndex, int small, float colourSelect)
{
    if (!hasGlContext2D()) {
        draw2DStats.primitives += 1;
        return;
    }
    if (!batching2D || !spriteBatchAvailable()) {
        flush2D();
        draw2DStats.primitives += 1;
        drawExplosionSpriteDirect(cx, cy, size, colourIndex, small, colourSelect);
        return;
    }
    const uint32_t ramp = small ? explosionRampSmallTexture : explosionRampTexture;
    Vertex2D* out = reserve(BatchState{BatchKind::Sprite, ramp, Blend2D::Additive});
    const float red[4] = {1, 0, 0, 1};
    const float s = size * 0.5f;
    const float corner[4][2] = {{cx - s, cy - s}, {cx + s, cy - s}, {cx + s, cy + s}, {cx - s, cy + s}};
    putQuad(out, corner, red, colourIndex, colourSelect);
}

void drawExplosionSpriteInPlace(float cx, float cy, float size, float colourIndex, int small, float colourSelect)
{
    draw2DStats.primitives += 1;
    if (!hasGlContext2D())
        return;
    // Queued primitives were given before this one: they go out first, in the screen frame.
    flush2D();
    drawExplosionSpriteInPlaceDirect(cx, cy, size, colourIndex, small, colourSelect);
}

void drawQuad2D(const Corner2D corners[4], uint32_t texture, Blend2D blend)
{
    if (!batching2D) {
        draw2DStats.primitives += 1;
        if (hasGlContext2D())
            drawQuad2DDirect(corners, texture, blend);
        return;
    }
    Vertex2D* out = reserve(BatchState{BatchKind::Quad, texture, blend});
    const int index[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) {
        const Corner2D& c = corners[index[i]];
        putVertex(out[i], c.x, c.y, c.u, c.v, drawColour, 0, 0);
    }
}

void prepare2DLayer()
{
    spriteBatchAvailable();
    bindBatchArray();
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void flush2D()
{
    sendHeldBatch();
    sendBatch();
    const auto start = std::chrono::steady_clock::now();
    closeLayer();
    draw2DStats.sendMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The hero's placement built on the projection and given up again (the last identity load
// drops it); the variants differ only in where the placement stands.
static void placeHeroCopy(float x, float y, float turn)
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    shaderLoader.use(spareLitProgram);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glOrtho(0.0, SCREEN_W, 0.0, SCREEN_H, -1.0, 1.0);
    glOrtho(0.0, SCREEN_W, 0.0, SCREEN_H, -1.0, 1.0);
    glDisable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glLoadIdentity();
    glTranslatef(x, y, 0.0f);
    glRotatef(turn, 0.0f, 1.0f, 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    glLoadIdentity();
}

void setHeroTransformCopyA(float x, float y)
{
    if (hasGlContext2D())
        placeHeroCopy(x, y, heroTurnAngle);
}

void setHeroTransformCopyB()
{
    float turn = 0.0f;
    tween(sceneStartMs, 0.0, 360.0, TWEEN_WRAP, 1.0f, &turn);
    if (hasGlContext2D())
        placeHeroCopy(playerX - gameCameraX, playerY - gameCameraY, turn);
}
