#include "tools/capture/frame_grab.h"

#include "app/main_window.h"
#include "platform/gl_api.h"
#include "tools/capture/png_write.h"

#include <cstdint>
#include <vector>

bool writeWindowPng(const std::string& path)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;
    return writePngBottomUp(path, SCREEN_WIDTH, SCREEN_HEIGHT, pixels.data());
}
