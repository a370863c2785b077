#include "platform/display_loss.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <unistd.h>

// Status 1, as Xlib's own handler ends the process.
static constexpr int DISPLAY_LOSS_STATUS = 1;

void endProcessOnDisplayLoss(const char* displayName)
{
    std::fprintf(stderr, "X connection to %s lost: ending the program\n",
                 displayName ? displayName : "the display");
    std::fflush(nullptr);
    _exit(DISPLAY_LOSS_STATUS);
}

static int onDisplayLoss(Display* display)
{
    endProcessOnDisplayLoss(display ? DisplayString(display) : nullptr);
}

void installDisplayLossHandler()
{
    XSetIOErrorHandler(onDisplayLoss);
}
