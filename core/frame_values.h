// The timeline's per-frame values and the switches of the frame routine, the console and the
// screenshot writer that the scenes and the game read and write, declared below both so
// neither includes a layer above its own.
//
// sceneStartMs is in clockNowMs milliseconds, frameDt in 60 Hz frames (elapsed milliseconds x
// 0.06), beatFlags the beat bits of the music-row clock for this frame, timelineT in 32-row
// units. The first three are defined here, the others with their owners in app/.
#pragma once

extern int sceneStartMs;
extern int beatFlags;
// beatFlags bits (bits 2 and 3 mark pattern starts; no scene reads them).
constexpr int BEAT_BAR_BIT = 1;     // a bar starts
constexpr int BEAT_ACCENT_BIT = 2;  // an extra accent
extern float frameDt;
// Milliseconds as 60 Hz frames, the unit of frameDt and the tween speeds.
constexpr float FRAMES_PER_MS = 0.06f;
inline float framesOfMs(float ms)
{
    return FRAMES_PER_MS * ms;
}
extern float timelineT;
extern int shadowDebugView;            // 0 or more shows the shadow-map view
extern unsigned char cameraRollEnabled; // the frame routine rolls mainCamera's up vector
extern unsigned char gameFirstFrame;   // the frame routine's first-game-frame set-up is due
extern unsigned char screenshotRequested;
extern unsigned char consoleVisible;   // the text console overlay is shown (app/console.h)
