// The bench's frame figures (nearest-rank percentiles, the longest frame) and its per-frame
// CSV, which appears whole or not at all.
#include "bench/frame_stats.h"
#include "tests/png_read.h"
#include "tests/program_runner.h"  // runProgram, scratchPath

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

TEST(BenchFrameFigures, PercentilesAndTheLongestFrame)
{
    std::vector<double> hundred;
    for (int i = 0; i < 100; ++i)
        hundred.push_back((i * 37) % 100 + 1.0);  // 1 to 100, shuffled; 100 at index 27
    const struct {
        const char* what;
        std::vector<double> times;
        FrameSummary expected;
    } cases[] = {
        {"no frames", {}, {0, 0, 0, 0, 0}},
        {"one frame", {5.0}, {5.0, 5.0, 5.0, 5.0, 1}},
        {"a hundred frames", hundred, {50.0, 95.0, 99.0, 100.0, 28}},
        {"ten frames: the top percentiles are the longest", {4, 2, 9, 1, 10, 3, 8, 5, 7, 6}, {5, 10, 10, 10, 5}},
        {"equal longest frames: the first", {3, 7, 7, 1}, {3, 7, 7, 7, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FrameSummary s = summarizeFrames(c.times);
        EXPECT_EQ(s.p50, c.expected.p50);
        EXPECT_EQ(s.p95, c.expected.p95);
        EXPECT_EQ(s.p99, c.expected.p99);
        EXPECT_EQ(s.max, c.expected.max);
        EXPECT_EQ(s.longestFrame, c.expected.longestFrame);
    }
    EXPECT_EQ(frameFigures("cpu_", {2.0, 1.0}),
              "cpu_p50_ms 1.000 cpu_p95_ms 2.000 cpu_p99_ms 2.000 cpu_max_ms 2.000 cpu_longest_frame 1");
}

std::string fileText(const std::filesystem::path& path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

TEST(BenchFrameFigures, CsvIsWholeOrAbsent)
{
    const std::filesystem::path dir = scratchPath("bench-csv");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / "frames.csv";
    std::string error;
    {
        FrameCsv csv;
        ASSERT_TRUE(csv.open(path.string(), error)) << error;
        csv.addFrames("tunnel", {0.5, 0.25}, {1.5, 1.25});
        csv.addFrames("idle", {2.0}, {3.0});
        ASSERT_TRUE(csv.close(error)) << error;
    }
    EXPECT_EQ(fileText(path), "scene,frame,cpu_ms,wall_ms\ntunnel,1,0.5000,1.5000\ntunnel,2,0.2500,1.2500\n"
                              "idle,1,2.0000,3.0000\n");
    {
        // A run that ends before close() (a failed start-up) leaves the old file and no part file.
        FrameCsv csv;
        ASSERT_TRUE(csv.open(path.string(), error));
        csv.addFrames("plasma", {1.0}, {1.0});
    }
    EXPECT_EQ(fileText(path).rfind("scene,frame,cpu_ms,wall_ms\ntunnel,1,", 0), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);

    FrameCsv unwritable;
    EXPECT_FALSE(unwritable.open((dir / "missing" / "frames.csv").string(), error));
    EXPECT_EQ(error.rfind("cannot write " + (dir / "missing" / "frames.csv").string() + ": ", 0), 0u) << error;
    std::filesystem::remove_all(dir);
}

// The plot script draws a CSV the bench wrote; a file that is not one is named in one line.
TEST(BenchFrameFigures, PlotScriptDrawsTheCsv)
{
    const std::filesystem::path dir = scratchPath("bench-plot");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string error;
    {
        FrameCsv csv;
        ASSERT_TRUE(csv.open((dir / "frames.csv").string(), error));
        std::vector<double> cpu, wall;
        for (int i = 0; i < 50; ++i) {
            cpu.push_back(1.0 + (i % 7) * 0.1);
            wall.push_back(i == 20 ? 40.0 : 2.0 + (i % 5) * 0.2);  // one spike
        }
        csv.addFrames("tunnel", cpu, wall);
        csv.addFrames("rings", wall, cpu);
        ASSERT_TRUE(csv.close(error));
    }
    std::ofstream(dir / "other.csv") << "a,b\n1,2\n";
    const std::string script = std::string("python3 '") + SOURCE_DIR + "/tools/plot/plot_frame_times.py' ";
    const std::string png = (dir / "frames.png").string();
    ProgramRun run = runProgram(script + "'" + (dir / "frames.csv").string() + "' '" + png + "'");
    ASSERT_EQ(run.exitStatus, 0);
    RgbaPicture picture;
    ASSERT_TRUE(readPng(png, picture));
    EXPECT_EQ(picture.width, 1600);
    EXPECT_EQ(picture.height, 600);

    run = runProgram(script + "'" + (dir / "other.csv").string() + "' '" + (dir / "other.png").string() + "' 2>&1");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.output, "plot_frame_times: " + (dir / "other.csv").string() +
                              ": not a demo-bench --csv file (its first line is not scene,frame,cpu_ms,wall_ms)\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "other.png"));
    std::filesystem::remove_all(dir);
}

}  // namespace
