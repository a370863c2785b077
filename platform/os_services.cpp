#include "platform/os_services.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

static MessageBoxAnswer presetAnswer = MessageBoxAnswer::PERSON;

void presetMessageBoxAnswer(MessageBoxAnswer answer)
{
    presetAnswer = answer;
}

// A dialog only where someone sits at this terminal in front of a real display: a box on
// Xvfb (xvfb-run keeps its authority file in a folder of its name) would wait forever.
static bool personCanAnswer()
{
    if (presetAnswer != MessageBoxAnswer::PERSON)
        return false;
    if (!isatty(STDIN_FILENO) || !isatty(STDERR_FILENO) || std::getenv("CI") != nullptr)
        return false;
    const char* authority = std::getenv("XAUTHORITY");
    return !(authority && std::strstr(authority, "xvfb-run"));
}

static Uint32 dialogKind(unsigned flags)
{
    switch (flags & MESSAGE_BOX_ICON_MASK) {
    case MESSAGE_BOX_ICON_WARNING: return SDL_MESSAGEBOX_WARNING;
    case MESSAGE_BOX_ICON_INFORMATION: return SDL_MESSAGEBOX_INFORMATION;
    default: return SDL_MESSAGEBOX_ERROR;
    }
}

void showMessageBox(const char* text, const char* caption, unsigned flags)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (!personCanAnswer())
        return;
    SDL_ShowSimpleMessageBox(dialogKind(flags), caption, text, nullptr);
}

bool askYesNo(const char* text, const char* caption, unsigned flags)
{
    std::fprintf(stderr, "%s: %s [Yes/No]\n", caption, text);
    if (presetAnswer != MessageBoxAnswer::PERSON) {
        const bool yes = presetAnswer == MessageBoxAnswer::YES;
        std::fprintf(stderr, "%s: answered %s\n", caption, yes ? "Yes" : "No");
        return yes;
    }
    if (personCanAnswer()) {
        const SDL_MessageBoxButtonData buttons[] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        };
        const SDL_MessageBoxData box = {dialogKind(flags), nullptr, caption, text, 2, buttons, nullptr};
        int pressed = -1;
        if (SDL_ShowMessageBox(&box, &pressed) == 0 && pressed >= 0)
            return pressed == 1;
    }
    std::fprintf(stderr, "%s: nobody to answer, taking Yes\n", caption);
    return true;
}

void showMouseCursor(bool visible)
{
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}
