// The nine timeline scenes: an init that start-up calls once and a draw that the frame routine
// calls once per frame while the timeline is in the scene's state.
#pragma once

void initPictureScene();
void drawPictureScene();
void initPaletteLogoScene();
void drawPaletteLogoScene();
void initRadialBlurScene();
void drawRadialBlurScene();
void initDiscoBallScene();
void drawDiscoBallScene();
void initTunnelScene();
void drawTunnelScene();
void initRingsScene();
void drawRingsScene();
void initPlasmaScene();
void drawPlasmaScene();
void initFlyoverScene();
void drawFlyoverScene();
void initLogoGlowScene();
void drawLogoGlowScene();

// What the frame routine tells the scenes besides drawing them.
// On the frame the timeline enters the picture: the opening hold starts again.
void enterPictureScene();
// On the frame the timeline enters the flyover, after sceneStartMs is set: two warm-up draws.
void enterFlyoverScene();
// On the frame the timeline enters the tunnel or the rings: mainCamera takes the pose the scene
// is seen through, since its draw sets the camera only for the frames after its own.
void enterTunnelScene();
void enterRingsScene();
// Every flyover frame before its draw: the timeline position since the scene began.
void updateFlyoverScene(float sinceBeginT);
// The Return key: the flyover's next draw takes its first-frame pose again.
void restartFlyoverFirstFrame();
// After every frame: the path camera's current values become the previous frame's.
void endPathCameraFrame();
