// The tunnel scene's module values, read by the environment-mapped model draw
// (render/shadowed_draw.h) and by the tests, and the steps its draw is made of.
//
// Units: tunnelScroll in texture repeats (0..1, added to the tunnel's v), tunnelFlash is the
// sphere's colour 0..0.5, frame steps in 60 Hz frames (frameDt).
#pragma once

#include <cstdint>
#include <vector>

struct Model;

// Scale of the tunnel and of the sphere after the 0.05 of the loader.
constexpr float TUNNEL_MODEL_SCALE = 2.0f;
constexpr float TUNNEL_SPHERE_SCALE = 0.01f;
// v of the tunnel's texture coordinates is stretched by this before the scroll is added.
constexpr float TUNNEL_V_REPEAT = 2.5f;
constexpr float TUNNEL_FLASH_PEAK = 0.5f;
constexpr float TUNNEL_FLASH_FADE = 0.02f;  // per 60 Hz frame
// Key 17 of the key tables (SDL scancode of N) flashes the sphere like a beat.
constexpr int TUNNEL_FLASH_KEY = 17;

extern uint32_t tunnelProgram;  // "env2.vert" + "env2.frag"
extern uint32_t tunnelTexture;  // "xmix.tga": the sphere's colour and environment map
extern Model* tunnelModel;      // "tunnel.3dm"
extern Model* tunnelSphereModel;  // "xmixsphere.3dm"
// The tunnel's unscrolled texture coordinates, two floats per vertex.
extern std::vector<float> tunnelUvBackup;
extern float tunnelScroll;
extern float tunnelFlash;

// Every texture coordinate of `model` becomes (u, v x TUNNEL_V_REPEAT + scroll) from the
// backup (as far as both hold), and only the texture-coordinate array is marked for upload.
void scrollTunnelTexcoords(Model& model, const std::vector<float>& backup, float scroll);
// The sphere's flash after one frame: back to the peak (less one frame's fade) on a beat,
// otherwise one frame's fade down to 0.
float stepTunnelFlash(float flash, bool beat, float dt);
