// The palette-blur logo scene's module values and the steps its draw is made of; the palette
// program and the plasma layer are shared with the radial-blur and disco-ball scenes.
//
// Conventions: times in clockNowMs milliseconds since sceneStartMs; countdowns and per-frame
// steps in 60 Hz frames scaled by frameDt; screen positions in the fixed 1920 x 1080 frame.
#pragma once

#include <cstdint>

struct Model;

constexpr int PALETTE_LOGO_COPIES = 120;
// The tuning key of the palette scenes (scancode of M) and the disco ball's spin key (N).
constexpr int KEY_BEAT_KICK = 16;
constexpr int KEY_SPIN_KICK = 17;
// Where the title picture waits while it is not shown: just right of the frame.
constexpr int TITLE_HIDDEN_X = 1920;
// The title stays hidden until this many milliseconds after the scene start.
constexpr int TITLE_HIDDEN_UNTIL_MS = 3499;

struct PalettePrograms {
    uint32_t palette;  // "passthroughvertexshader.vert" + "blurpalette.frag"
    uint32_t plasma;   // "passthroughvertexshader.vert" + "plasma7.frag"
};

struct PaletteTextures {
    uint32_t palette;        // "blurpalette.tga"
    uint32_t overlay;        // "blurpaletteoverlay.tga"
    uint32_t title;          // "ovantra.tga"
    uint32_t plasmaColours;  // "7.tga"
};

// The phases of the 120 copies in one frame: spin in degrees, q1 to q4 in radians.
struct PaletteLogoPhases {
    float spin;
    float q1, q2, q3, q4;
};

extern Model* paletteLogoModel;  // "thinlogo.3dm"; null before initPaletteLogoScene
extern PalettePrograms palettePrograms;
extern PaletteTextures paletteTextures;
// Frames drawn since start-up; only its first value matters (the camera is set then), so it
// stops counting at 1 instead of running towards an overflow.
extern int paletteLogoFrameCount;

// The plasma layer over the whole screen framebuffer, coloured by `texture`, fading out over
// its first seven seconds after sceneStartMs.
void drawPlasmaLayer(int texture);

// The palette program in use with "colorMap" = unit 0 holding `source`, "palette" = unit 1
// holding `palette` and "verticalpalettepos" = `row`. Leaves unit 1 active.
void usePaletteProgram(uint32_t source, uint32_t palette, float row);

// One frame of the border and countdown: a kick (key 16) raises the border to 400 less this
// frame's shrink and starts a 25-frame countdown; while a countdown runs the border shrinks by
// 35 per frame; it never goes below 10.
void stepPaletteBorder(bool kick);

// The title picture's x at the current clock: hidden for the first 3.5 s, then swinging in
// from the left with an amplitude that falls to 0 over 4.5 s.
int paletteTitleX();

// The model transform of copy `index` (modelview identity, then the copy's rotations and
// offset) and the phases of the current clock.
PaletteLogoPhases paletteLogoPhasesNow();
void loadPaletteLogoTransform(const PaletteLogoPhases& phases, int index);
// The 120 additive copies with selfIllumProgram in the current colour, as 120 drawSkinnedModel
// calls would draw them.
void drawPaletteLogoCopies(Model& model, const PaletteLogoPhases& phases);
