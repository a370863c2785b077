// Checks every test of the program gets without asking: each context the tests make (their own
// or the demo's window) sends its GL errors here, so a GL error fails the test whose call raised
// it, with the driver's message; and a shader program that fails to build during a test fails
// it, unless the test meant it (ExpectedShaderBuildFailures).
#include "gfx/shaders.h"
#include "platform/gl_api.h"

#include <gtest/gtest.h>

namespace {

void failRunningTest(const char* message)
{
    ADD_FAILURE() << "GL error: " << message;
}

// Runs before the result printer's end of test (end events go to the listeners in reverse), so
// its failure shows on the test it belongs to.
class ShaderBuildCheck : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override { failuresBefore = shaderBuildFailures; }
    void OnTestEnd(const testing::TestInfo&) override
    {
        if (shaderBuildFailures > failuresBefore)
            ADD_FAILURE() << shaderBuildFailures - failuresBefore
                          << " shader program(s) failed to build during the test (logs on stderr)";
    }

private:
    int failuresBefore = 0;
};

struct InstallChecks {
    InstallChecks()
    {
        glErrorSink = failRunningTest;
        testing::UnitTest::GetInstance()->listeners().Append(new ShaderBuildCheck);
    }
} installChecks;

}  // namespace
