// The frame routine's legacy environment state: two chrome models turning in a mirrored studio
// from a fixed camera, each inside a lit ring, between letterbox bands. The timeline never
// assigns its state (STATE_LEGACY_MODELS), nothing in the program calls its set-up, and
// nothing loads its models; `demo-capture --effect legacy-models` does all three.
//
// Units: angles in degrees, tween speeds per 60 Hz frame from sceneStartMs; the studio's turn
// ("scroll" of the env program) in whole turns.
#pragma once

#include <cstdint>

struct Model;

constexpr int LEGACY_MODEL_COUNT = 2;
// The light preset the state runs on: preset 3's orbiting lights without their upload, which
// the state then does itself.
constexpr int LEGACY_LIGHT_PRESET = 4;
// Height of each letterbox band in screen pixels.
constexpr int LEGACY_BAND_HEIGHT = 120;

extern uint32_t envProgram;       // "env.vert" + "env.frag"
extern uint32_t envLightTexture;  // "angerlight.tga": the models' rim-light ramp
extern uint32_t envCubeTexture;   // "cube.tga": the studio the models mirror
// The two chrome models ("discoball.3dm", "zu5metal.3dm") and the rings round them
// ("ring2.3dm", "ring4.3dm"); empty slots are skipped.
extern Model* legacyModels[LEGACY_MODEL_COUNT];
extern Model* legacyRingModels[LEGACY_MODEL_COUNT];

// Builds the env program through the shader loader and loads its two pictures.
void initEnvShader();
// Fills the model slots (scaled and uploaded).
void loadLegacyModels();
// The two chrome models, each turning about its own axis by a tween and bobbing on a sine, in
// the studio under the state's fixed camera (loaded into the projection, which stays).
void drawLegacyModelsScene();
// The state as the frame routine draws it on framebuffer 0: the light preset and its upload,
// drawLegacyModelsScene, the rings through the legacy model program, the letterbox bands.
void drawLegacyState();
