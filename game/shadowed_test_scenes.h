// Shadowed test scenes: the hero, alone with depth of field or with the tile-map flyby under a
// moving light, through the shadow map. Nothing in the program calls them; tests do.
//
// The hero takes its walk cycle in these scenes: frame trunc(t) of a 1-to-100 tween (1 per 60 Hz
// frame), so it walks on the spot through the first 100 slots of its gait.
#pragma once

struct Model;

constexpr int SHADOW_TEST_MODEL_COUNT = 3;
// Three models drawn with the volumetric draw by drawShadowTestModels; nothing loads them, and
// empty slots are skipped.
extern Model* shadowTestModels[SHADOW_TEST_MODEL_COUNT];

// The three test models twice, 2 units apart, then the glow pass; the program current before
// is current again afterwards.
void drawShadowTestModels(unsigned char flag);
// The hero and the flyby tiles into the shadow map, lit into screen target 2 (hero in two
// stencil-marked passes), the hero's depth into screen target 3, combined with the
// depth-of-field program into screen target 1.
void drawShadowedSceneDof();
// The hero and the flyby tiles into the shadow map under the tilted moving light, then on
// framebuffer 0 the sky box, the lit hero, the lit tiles and the test models.
void drawShadowedScene();
void drawShadowedSceneForward();
// The hero's frame in the scenes above, from the scene clock.
int shadowTestHeroFrame();
