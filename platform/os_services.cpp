#include "platform/os_services.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

static bool virtualCounterEnabled = false;
static int64_t virtualCounterTicks = 0;
static constexpr int64_t VIRTUAL_FREQUENCY = 1000000000;

int64_t readPerformanceCounter()
{
    if (virtualCounterEnabled)
        return virtualCounterTicks;
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t readPerformanceFrequency()
{
    if (virtualCounterEnabled)
        return VIRTUAL_FREQUENCY;
    return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

void useVirtualCounter(bool enabled)
{
    virtualCounterEnabled = enabled;
}

void setVirtualCounter(int64_t ticks)
{
    virtualCounterTicks = ticks;
}

bool virtualCounterInUse()
{
    return virtualCounterEnabled;
}

static bool personCanAnswer()
{
    return isatty(STDIN_FILENO) && isatty(STDERR_FILENO) && std::getenv("CI") == nullptr;
}

void showMessageBox(const char* text, const char* caption, unsigned flags)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (!personCanAnswer())
        return;
    Uint32 kind = (flags & MESSAGE_BOX_ICON_WARNING) == MESSAGE_BOX_ICON_WARNING ? SDL_MESSAGEBOX_WARNING
                                                                                 : SDL_MESSAGEBOX_ERROR;
    SDL_ShowSimpleMessageBox(kind, caption, text, nullptr);
}

void showMouseCursor(bool visible)
{
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}
