// Until a scene is built it fills the frame with its own colour, so the timeline can be seen.
#pragma once

#include "platform/gl_api.h"

inline void fillPlaceholderScene(float r, float g, float b)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}
