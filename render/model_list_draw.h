// Thin helpers over the model draw family for the model list of a scene file and for single
// props of the game: draw every model of a list with one member, scale a list, draw the
// background props each with a fixed pseudo-random tint, and draw a prop that pulses through a
// fade cycle kept in a timer of its own.
//
// Every list routine visits entries 0 to count - 1 in order (at most MAX_SCENE_OBJECTS; empty
// entries are skipped); a count of 0 visits none.
#pragma once

struct Model;
struct ModelList;

// The game's motion of one substep in 60 Hz frames (min(frame ms, 80) / 20 x 0.06), defined by
// the game frame (game/game_frame.h).
extern float substepFactor;

// The seed of the background tints: the same model gets the same tint on every frame and run.
constexpr unsigned TINT_SEED = 1911;
// The fade timer runs from 0 to FADE_CYCLE_LENGTH and then starts again at 0.
constexpr float FADE_CYCLE_LENGTH = 2000.0f;

// drawSkinnedModel(model, 0, -1) for every model.
void drawModelList(const ModelList& list);
// drawModelDepth(model, -1, program) for every model: unskinned whatever their skeletons.
void drawModelListDepth(const ModelList& list, int program);
// drawStaticModelShadowed(model, program) for every model.
void drawStaticModelList(const ModelList& list, int program);
// drawModelDepthPrepass(model) for every model (render/depth_prepass.h).
void drawModelListDepthPrepass(const ModelList& list);
// modelColourMapOpaque of every model.
bool modelListColourMapsOpaque(const ModelList& list);
// Reseeds the runtime generator with TINT_SEED, then per model three draws r1, r2, r3 give the
// colour (1.05 + (r1 % 5) / 100, 1.15 + (r2 % 5) / 100, 1.15 + (r3 % 5) / 100, 1) that
// drawStaticModelShadowed passes on as "glColor". The colour is white afterwards.
void drawStaticModelListTinted(const ModelList& list, int program);
// What the tinted draw does to the runtime generator, without drawing: the same reseed and
// draws, so that the game's later draws (debris, sparks) follow the same sequence.
void takeModelListTints(const ModelList& list);
// scaleModel(model, s) for every model.
void scaleModelList(const ModelList& list, float s);
// Draws the model with drawStaticModelShadowed and the colour (1, 1, 1, 1 - (t - 1000) / 1000)
// from the timer t as it was (alpha 2 at 0 down to 0 at 2000), then advances the timer by
// (8.333333 x substepFactor x 30) ^ 1.7, wrapping to 0 past FADE_CYCLE_LENGTH. The enemy
// drawing passes the health value of the enemy slot whose prop it draws. The colour is white
// afterwards.
void drawStaticModelFading(Model& model, int program, float& fadeTimer);
// The fade timer's step alone (what a fading draw does to the timer without a picture).
void advanceFadeTimer(float& fadeTimer);
