#include "app/offline_driver.h"

#include "core/clock.h"
#include "app/frame.h"
#include "app/main_window.h"
#include "app/music.h"
#include "core/sound.h"
#include "app/startup.h"
#include "platform/os_services.h"

#include <SDL.h>
#include <cmath>

static constexpr double TICKS_PER_MS = 1.0e6;

static long long gameClockZero = 0;

bool startDemoOffline()
{
    useVirtualCounter(true);
    setVirtualCounter(0);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!createMainWindow())
        return false;
    initClockFrequency();
    if (!initDemo())
        return false;
    frameRoutineEnabled = 1;
    initSound();
    return true;
}

void setMusicTimeMs(double musicMs)
{
    double clockMs = static_cast<double>(musicStartMs) + musicMs;
    setVirtualCounter(clockState.clockStart + static_cast<long long>(std::llround(clockMs * TICKS_PER_MS)));
}

void seekMusicTimeMs(double musicMs, double stepMs)
{
    setMusicTimeMs(musicMs - stepMs);
    pollMusicRowClock();
    timelineT = static_cast<float>(static_cast<double>(musicTime) - TIMELINE_OFFSET);
}

void driveFrameAt(double musicMs, double stepMs)
{
    setMusicTimeMs(musicMs);
    frameDt = framesOfMs(static_cast<float>(stepMs));
    renderFrame();
}

void startGameOffline()
{
    timelineDrivesState = 0;
    demoState = STATE_GAME;
    gameClockZero = readPerformanceCounter();
}

void driveGameFrame(int frame)
{
    setVirtualCounter(gameClockZero + std::llround(static_cast<double>(frame) * GAME_FRAME_MS * TICKS_PER_MS));
    frameDt = framesOfMs(static_cast<float>(GAME_FRAME_MS));
    renderFrame();
}

bool offlineQuitRequested()
{
    static bool quitSeen = false;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT)
            quitSeen = true;
    return quitSeen;
}
