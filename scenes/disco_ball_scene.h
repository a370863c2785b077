// The disco-ball scene's module values and the steps of its beat reactions.
//
// Conventions: angles in degrees; countdowns in 60 Hz frames scaled by frameDt; the ball's bob
// and the logo's wobble in the units of the scene's camera (eye at the origin looking down +z).
#pragma once

#include <cstdint>

struct Model;

constexpr int DISCO_LOGO_COUNT = 2;  // the silhouette, then the glow
constexpr float DISCO_GLOW_COUNTDOWN = 20.0f;
constexpr float DISCO_SPIN_COUNTDOWN = 20.0f;
constexpr float DISCO_BALL_DEPTH = 5.0f;
constexpr float DISCO_LOGO_DEPTH = 3.0f;

extern uint32_t discoSelfIllumProgram;
extern Model* discoBallModel;                     // "discoball.3dm", scale 0.5
extern Model* discoLogoModels[DISCO_LOGO_COUNT];  // "thinlogo2.3dm", "thinlogo3.3dm", scale 0.2
extern uint32_t discoPalette;                     // "blurpalette3.tga"
extern float discoAngles[3];                      // about x, y, z; within 0..360
extern float discoGlow;                           // -0.5 (flash) .. 0 (rest)
extern float discoSpinCountdown;

// The ball's bob at the current clock.
struct DiscoBob {
    float x, y;
};

// Bit 0 (or key 16): the logo flashes and jumps 0.5 nearer, easing back by 0.04 per frame
// while beatCountdown runs; when the 20-frame countdown ends the glow is cut to rest.
void stepDiscoGlow(bool beat);
// Bit 1 (or key 17): the fast spin rates for 20 frames, else the slow ones; each angle grows
// by its rate x frameDt and is brought back into 0..360 when it passes 360.
void stepDiscoSpin(bool accent);
DiscoBob discoBobNow();
// The radial blur's centre for a bob: the ball's place on the screen, in pixels.
void discoBlurCentre(const DiscoBob& bob, int& centreX, int& centreY);
