// The nine timeline scenes: an init that start-up calls once and a draw that the frame routine
// calls once per frame while the timeline is in the scene's state.
#pragma once

// Values the frame routine writes into the scenes module.
extern unsigned char pictureHoldDone;
extern float flyoverCameraSegment;
extern int flyoverFrameCount;
extern float pathCameraHistory[12];  // six previous-frame values, then six current ones

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
