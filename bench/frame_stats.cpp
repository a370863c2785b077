#include "bench/frame_stats.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <unistd.h>

FrameSummary summarizeFrames(const std::vector<double>& times)
{
    FrameSummary summary;
    if (times.empty())
        return summary;
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    auto rank = [&](double share) {
        size_t index = static_cast<size_t>(std::ceil(share * static_cast<double>(sorted.size())));
        return sorted[std::max<size_t>(index, 1) - 1];
    };
    summary.p50 = rank(0.50);
    summary.p95 = rank(0.95);
    summary.p99 = rank(0.99);
    summary.max = sorted.back();
    summary.longestFrame = static_cast<int>(std::max_element(times.begin(), times.end()) - times.begin()) + 1;
    return summary;
}

std::string frameFigures(const std::string& prefix, const std::vector<double>& times)
{
    FrameSummary s = summarizeFrames(times);
    char text[256];
    std::snprintf(text, sizeof text, "%sp50_ms %.3f %sp95_ms %.3f %sp99_ms %.3f %smax_ms %.3f %slongest_frame %d",
                  prefix.c_str(), s.p50, prefix.c_str(), s.p95, prefix.c_str(), s.p99, prefix.c_str(), s.max,
                  prefix.c_str(), s.longestFrame);
    return text;
}

FrameCsv::~FrameCsv()
{
    if (file_) {
        std::fclose(file_);
        unlink(temporaryPath_.c_str());
    }
}

bool FrameCsv::open(const std::string& path, std::string& error)
{
    if (path.empty())
        return true;
    path_ = path;
    temporaryPath_ = path + ".part";
    file_ = std::fopen(temporaryPath_.c_str(), "w");
    if (!file_) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::fputs("scene,frame,cpu_ms,wall_ms\n", file_);
    return true;
}

void FrameCsv::addFrames(const std::string& scene, const std::vector<double>& cpuMs, const std::vector<double>& wallMs)
{
    if (!file_)
        return;
    for (size_t i = 0; i < cpuMs.size() && i < wallMs.size(); ++i)
        std::fprintf(file_, "%s,%zu,%.4f,%.4f\n", scene.c_str(), i + 1, cpuMs[i], wallMs[i]);
}

bool FrameCsv::close(std::string& error)
{
    if (!file_)
        return true;
    bool written = !std::ferror(file_);
    written = std::fclose(file_) == 0 && written;
    file_ = nullptr;
    if (!written || std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        unlink(temporaryPath_.c_str());
        return false;
    }
    return true;
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
