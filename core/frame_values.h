// Values of the frame routine, the console and the screenshot writer that the game reads and
// writes. They are defined with their owners in app/; the declarations sit here so the game can
// use them without including a layer above its own. Units as in app/frame.h: sceneStartMs in
// clockNowMs milliseconds, timelineT in 32-row units.
#pragma once

extern int sceneStartMs;
extern float timelineT;
extern int shadowDebugView;            // 0 or more shows the shadow-map view
extern unsigned char gameFirstFrame;   // the frame routine's first-game-frame set-up is due
extern unsigned char screenshotRequested;
extern unsigned char consoleVisible;   // the text console overlay is shown (app/console.h)
