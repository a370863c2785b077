// Build-time generator of the demo's soundtrack: composes the song, renders it and writes
// "<run dir>/mornglow.mp3". Same bytes on every run, whatever the number of cores. With more
// than one core the encoder runs on its own thread, a few blocks behind the mixer.
#include "app/tool_cli.h"
#include "mixer.h"
#include "mp3_writer.h"
#include "song.h"

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr int MAX_RENDER_THREADS = 8;
constexpr size_t MAX_QUEUED_BLOCKS = 4;

// Finished master blocks on their way from the mixer to the encoder thread.
struct BlockQueue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<StereoBuffer> blocks;
    bool closed = false;  // the mixer is done (or gave up)
    bool failed = false;  // the encoder gave up
};

bool pushBlock(BlockQueue& queue, const float* left, const float* right, size_t count)
{
    std::unique_lock<std::mutex> lock(queue.mutex);
    queue.changed.wait(lock, [&] { return queue.blocks.size() < MAX_QUEUED_BLOCKS || queue.failed; });
    if (queue.failed)
        return false;
    queue.blocks.push_back({std::vector<float>(left, left + count), std::vector<float>(right, right + count)});
    queue.changed.notify_all();
    return true;
}

void closeQueue(BlockQueue& queue)
{
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.closed = true;
    queue.changed.notify_all();
}

void encodeQueue(BlockQueue& queue, Mp3Encoder& encoder, std::string& error)
{
    for (;;) {
        StereoBuffer block;
        {
            std::unique_lock<std::mutex> lock(queue.mutex);
            queue.changed.wait(lock, [&] { return !queue.blocks.empty() || queue.closed; });
            if (queue.blocks.empty())
                return;
            block = std::move(queue.blocks.front());
            queue.blocks.pop_front();
            queue.changed.notify_all();
        }
        if (!encodeMp3(encoder, block.left.data(), block.right.data(), block.left.size(), error)) {
            std::lock_guard<std::mutex> lock(queue.mutex);
            queue.failed = true;
            queue.changed.notify_all();
            return;
        }
    }
}

bool renderAndEncode(const Score& score, int threads, Mp3Encoder& encoder, MixStats& stats, std::string& error)
{
    if (threads < 2) {
        return mixScore(
            score, 1,
            [&](const float* left, const float* right, size_t count) {
                return encodeMp3(encoder, left, right, count, error);
            },
            stats);
    }
    BlockQueue queue;
    std::thread encoderThread(encodeQueue, std::ref(queue), std::ref(encoder), std::ref(error));
    bool mixed = mixScore(
        score, threads,
        [&](const float* left, const float* right, size_t count) { return pushBlock(queue, left, right, count); },
        stats);
    closeQueue(queue);
    encoderThread.join();
    return mixed && !queue.failed;
}

// The cores this process may run on (a CI job pinned to one core gets one thread), not the
// machine's count.
int usableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return static_cast<int>(std::thread::hardware_concurrency());
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Composes the soundtrack and writes it as RUN_DIR/mornglow.mp3\n(the build runs it into build/run).",
                 "soundtrack_gen"};
    useToolRules(app);
    std::string runDir;
    app.add_option("RUN_DIR", runDir, "the run directory")->type_name("")->required();
    if (int status = parseToolCommandLine(app, argc, argv); status >= 0)
        return status;
    auto start = std::chrono::steady_clock::now();
    std::string path = runDir + "/mornglow.mp3";
    Score score = composeSong();
    std::string error;
    Mp3Encoder encoder;
    if (!beginMp3(encoder, score.lengthSec, error)) {
        std::fprintf(stderr, "soundtrack: %s\n", error.c_str());
        return 1;
    }
    int threads = std::clamp(usableCores(), 1, MAX_RENDER_THREADS);
    MixStats stats{};
    if (!renderAndEncode(score, threads, encoder, stats, error)) {
        releaseMp3(encoder);
        std::fprintf(stderr, "soundtrack: %s\n", error.c_str());
        return 1;
    }
    if (!finishMp3(encoder, path, error)) {
        std::fprintf(stderr, "soundtrack: %s\n", error.c_str());
        return 1;
    }
    std::printf("soundtrack: %zu notes, %.1f s, peak %.3f before the limiter (%.4f%% of samples limited), "
                "%d threads, %.0f ms -> %s\n",
                score.notes.size(), score.lengthSec, stats.peakBeforeLimiter, 100.0 * stats.limitedFraction, threads,
                millisecondsSince(start), path.c_str());
    return 0;
}
