// The start-up sequence: default GL state, the loading screen with its bar, the loading steps
// in their fixed order, then the clocks and the music.
#pragma once

#include <cstdint>

constexpr float LOADING_BAR_STEPS = 9.0f;
constexpr int LOADING_BAR_X = 850;
constexpr int LOADING_BAR_Y = 490;
constexpr int LOADING_BAR_WIDTH = 220;
constexpr int LOADING_BAR_HEIGHT = 3;

extern uint32_t loadingTexture;
extern uint32_t whitePixelTexture;
extern float loadingProgress;

// Called before and after every loading step's work with the step's name (tools time them).
extern void (*loadStepObserver)(const char* step, bool finished);
void beginLoadStep(const char* name);
void endLoadStep(const char* name);

int initDemo();
void advanceLoadingBar();
int initDemoContent();
void startupHook();
// The bar's width in pixels after `steps` redraws.
int loadingBarWidth(float steps);
