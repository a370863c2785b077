// The figures of a run of frames, and the CSV of every frame. Times in milliseconds; frames
// numbered from 1, the first of their scene or scenario.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct FrameSummary {
    double p50 = 0.0, p95 = 0.0, p99 = 0.0, max = 0.0;
    int longestFrame = 0;  // the frame whose time is `max`, the first of equals; 0 for no frames
};

// Nearest-rank percentiles: the smallest time at least that share of the frames reaches.
FrameSummary summarizeFrames(const std::vector<double>& times);

// "<prefix>p50_ms <x> <prefix>p95_ms <x> <prefix>p99_ms <x> <prefix>max_ms <x>
//  <prefix>longest_frame <i>", the keys of a bench line.
std::string frameFigures(const std::string& prefix, const std::vector<double>& times);

// The rows "scene,frame,cpu_ms,wall_ms" of a run, written under a temporary name from the
// start (so a folder that takes no file is found before the start-up) and renamed to the file
// only once the run has ended well, so a failed run leaves no half file.
class FrameCsv {
public:
    FrameCsv() = default;
    ~FrameCsv();
    FrameCsv(const FrameCsv&) = delete;
    FrameCsv& operator=(const FrameCsv&) = delete;

    // No file and every call a no-op for an empty path; false with `error` when it cannot be made.
    bool open(const std::string& path, std::string& error);
    void addFrames(const std::string& scene, const std::vector<double>& cpuMs, const std::vector<double>& wallMs);
    // Renames the finished file into place; false with `error` on a failed write.
    bool close(std::string& error);

private:
    std::string path_;
    std::string temporaryPath_;
    std::FILE* file_ = nullptr;
};

// This thread's processor time in milliseconds (a busy machine does not inflate it).
double threadCpuMs();
