// The depth pre-pass of the lit, shadow-mapped draws of unskinned models: their depth goes down
// first through a program that shades nothing, then the lit draws run with the depth test
// GL_EQUAL, so a pixel covered by several surfaces pays the lit program once, not once per
// surface drawn back to front.
//
// The picture stays the plain pass's to the byte where depthPrepassKeepsPicture holds: with the
// depth test GL_LEQUAL the plain pass shows, at each pixel, the last drawn of the nearest
// fragments, which is what GL_EQUAL after the pre-pass keeps; and a fragment that blends to its
// own colour hides what lay under it, so the farther surfaces the pre-pass leaves out never
// showed. The pre-pass program is the lit pass's unskinned vertex shader ("shmappass2static.vert"),
// whose position is invariant, so both passes compute the same depth.
#pragma once

struct Model;

// Off, every lit pass draws without a pre-pass or cover mark: for comparing pictures.
extern bool depthPrepassEnabled;

// The pre-pass program ("shmappass2static.vert" with "depth_only.frag"); at load.
void loadDepthPrepassProgram();
// The model's colour map has no alpha channel, so its lit fragments carry the alpha of the
// draw's colour. Asks GL: for load time.
bool modelColourMapOpaque(const Model& model);
// The pre-pass leaves the picture of the lit draws that follow as it was: it is enabled, the
// program is loaded, the depth test is on with GL_LEQUAL, the stencil test is off, and blending
// is off or the draws' fragments have alpha 1 (`opaqueFragments`) under (GL_SRC_ALPHA,
// GL_ONE_MINUS_SRC_ALPHA) adding.
// The same state makes a pass of such draws over a cleared depth buffer replace every pixel it
// covers, which is what the cover mark below needs of its later pass.
bool depthPrepassKeepsPicture(bool opaqueFragments);
// Colour writes off, depth writes on, the pre-pass program.
void beginDepthPrepass();
// The model's unskinned triangles at the current modelview.
void drawModelDepthPrepass(Model& model);
// Colour writes as they were, no program, the default vertex array object, and the depth test
// GL_EQUAL for the lit draws of the same models.
void endDepthPrepass();
// The depth test back to GL_LEQUAL after the lit draws.
void endPrepassedDraws();

// The cover mark: where a later pass will draw over everything with fragments that replace the
// colour, the draws before it need not shade. The mark's draws (drawModelDepthPrepass, the same
// models placed as the later pass places them) set stencil 1 and write neither colour nor depth;
// between endCoverMark and endCoverTest draws reach only unmarked pixels. The stencil buffer
// must be 0 at the start, and the later pass must not test it before clearing it.
void beginCoverMark();
void endCoverMark();
// Stencil test off, its function and operations GL's defaults again.
void endCoverTest();
