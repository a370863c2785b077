// Runs `demo-capture` (a timeline or an effect capture) into a scratch folder and reads the
// frames back.
#pragma once

#include "tests/png_read.h"
#include "tests/program_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

// Runs demo-capture with `arguments` and an --out folder of this process's own named after
// `name`, and reads back the pictures its "capture <ms> <kind> <value> <file>" lines name, in
// the order printed. With `expectedState` at 0 or more, each timeline picture must be of it.
inline std::vector<RgbaPicture> capturePictures(const std::string& name, const std::string& arguments,
                                                int expectedState = -1)
{
    std::filesystem::path out = scratchPath(name);
    std::filesystem::remove_all(out);
    ProgramRun run = runProgram(std::string(BINARY_DIR) + "/demo-capture " + arguments + " --out '" + out.string() + "'");
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    std::vector<RgbaPicture> pictures;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        long long ms = 0;
        char kind[16] = {};
        char value[64] = {};
        char file[512] = {};
        if (std::sscanf(line.c_str(), "capture %lld %15s %63s %511s", &ms, kind, value, file) != 4)
            continue;
        if (expectedState >= 0 && std::string(kind) == "state") {
            EXPECT_EQ(std::atoi(value), expectedState) << line;
        }
        RgbaPicture picture;
        EXPECT_TRUE(readPng(file, picture)) << file;
        pictures.push_back(picture);
    }
    std::filesystem::remove_all(out);
    return pictures;
}

// Frames of an effect at the given times (seconds after the effect's start, "a,b,..."), in
// time order.
inline std::vector<RgbaPicture> captureEffect(const std::string& effect, const std::string& times,
    double stepMs = 16.667)
{
    return capturePictures("mornglow-effect-" + effect,
                           "--effect " + effect + " --step-ms " + std::to_string(stepMs) + " --at " + times);
}

inline int levelDifference(const uint8_t* a, const uint8_t* b)
{
    int d = 0;
    for (int c = 0; c < 3; ++c)
        d = std::max(d, std::abs(a[c] - b[c]));
    return d;
}

inline bool isBlack(const uint8_t* p, int tolerance = 0)
{
    return p[0] <= tolerance && p[1] <= tolerance && p[2] <= tolerance;
}
