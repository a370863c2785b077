#include "gfx/render_targets.h"
#include "gfx/shadow_map.h"
#include "tests/gl_test_context.h"
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
static double nowMs() { return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count(); }
#define T(label, stmt) do { double a = nowMs(); stmt; glFinish(); std::fprintf(stderr, "%-40s %.1f ms\n", label, nowMs() - a); } while (0)
TEST(ShaderTiming, Pieces)
{
    REQUIRE_GL_CONTEXT();
    glFinish();
    testing::internal::CaptureStdout();
    for (int i = 0; i < 3; ++i) {
    T("createScreenTargets", createScreenTargets());
    T("initShadowPrograms", initShadowPrograms());
    }
    testing::internal::GetCapturedStdout();
}
