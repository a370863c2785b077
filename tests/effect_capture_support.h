// Runs `demo-capture --effect NAME` into a scratch folder and reads the frames back.
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

// Frames at the given times (seconds after the effect's start, "a,b,..."), in time order.
inline std::vector<RgbaPicture> captureEffect(const std::string& effect, const std::string& times,
    double stepMs = 16.667)
{
    std::filesystem::path out = scratchPath("mornglow-effect-" + effect);
    std::filesystem::remove_all(out);
    ProgramRun run = runProgram(std::string(BINARY_DIR) + "/demo-capture --effect " + effect + " --step-ms " +
                                std::to_string(stepMs) + " --out '" + out.string() + "' --at " + times);
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    std::vector<RgbaPicture> pictures;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        long long ms = 0;
        char name[64] = {};
        char file[512] = {};
        if (std::sscanf(line.c_str(), "capture %lld effect %63s %511s", &ms, name, file) != 3)
            continue;
        RgbaPicture picture;
        EXPECT_TRUE(readPng(file, picture)) << file;
        pictures.push_back(picture);
    }
    std::filesystem::remove_all(out);
    return pictures;
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
