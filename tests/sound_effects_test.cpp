#include "core/sound.h"
#include "program_runner.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int EFFECT_RATE_HZ = 44100;
constexpr double FULL_SCALE = 32768.0;
constexpr int MIX_VOLUME_FULL = 128;

// The file name below "data\", as it lies in the run directory's data/.
std::string effectFileName(int index)
{
    std::string name = soundFiles[index];
    return name.substr(name.find('\\') + 1);
}

struct WavSamples {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
};

bool readWav(const std::string& path, WavSamples& wav)
{
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &format, &buffer, &length))
        return false;
    bool ok = format.format == AUDIO_S16LSB;
    if (ok) {
        wav.rate = format.freq;
        wav.channels = format.channels;
        wav.samples.resize(length / sizeof(int16_t));
        std::copy(buffer, buffer + wav.samples.size() * sizeof(int16_t), reinterpret_cast<Uint8*>(wav.samples.data()));
    }
    SDL_FreeWAV(buffer);
    return ok;
}

int peakOf(const std::vector<int16_t>& samples, size_t first, size_t end)
{
    int peak = 0;
    for (size_t i = first; i < end && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
}

// Sign changes per second of the first channel over [start, end) seconds: a rough pitch.
double crossingRate(const WavSamples& wav, double start, double end)
{
    size_t first = static_cast<size_t>(start * wav.rate);
    size_t last = static_cast<size_t>(end * wav.rate);
    int crossings = 0;
    for (size_t i = first + 1; i < last; ++i) {
        int16_t a = wav.samples[(i - 1) * wav.channels];
        int16_t b = wav.samples[i * wav.channels];
        if ((a < 0) != (b < 0))
            ++crossings;
    }
    return crossings / (end - start);
}

TEST(SoundEffectFiles, AreShortCleanAndNormalised)
{
    for (int i = 0; i < SOUND_COUNT; ++i) {
        const std::string name = effectFileName(i);
        SCOPED_TRACE(name);
        WavSamples wav;
        ASSERT_TRUE(readWav(std::string(RUN_DIR) + "/data/" + name, wav)) << SDL_GetError();
        EXPECT_EQ(wav.rate, EFFECT_RATE_HZ);
        ASSERT_TRUE(wav.channels == 1 || wav.channels == 2);
        const size_t frames = wav.samples.size() / wav.channels;
        const double seconds = static_cast<double>(frames) / wav.rate;
        EXPECT_GE(seconds, 0.1);
        EXPECT_LE(seconds, 1.5);
        const double peakDb = 20.0 * std::log10(peakOf(wav.samples, 0, wav.samples.size()) / FULL_SCALE);
        EXPECT_NEAR(peakDb, -3.0, 0.3);
        // Starts and ends at rest: no click when the mixer starts or drops the chunk.
        const size_t edge = static_cast<size_t>(0.001 * wav.rate) * wav.channels;
        EXPECT_LT(peakOf(wav.samples, 0, wav.channels), 100);
        EXPECT_LT(peakOf(wav.samples, wav.samples.size() - edge, wav.samples.size()), 300);
        double sum = 0.0;
        for (int16_t s : wav.samples)
            sum += s;
        EXPECT_LT(std::fabs(sum / wav.samples.size()), 0.002 * FULL_SCALE) << "DC offset";
    }
}

TEST(SoundEffectFiles, PitchMovesAsTheirNamesSay)
{
    WavSamples laser, appear, homing;
    ASSERT_TRUE(readWav(std::string(RUN_DIR) + "/data/launchlaser.wav", laser));
    ASSERT_TRUE(readWav(std::string(RUN_DIR) + "/data/appear.wav", appear));
    ASSERT_TRUE(readWav(std::string(RUN_DIR) + "/data/launchhoming.wav", homing));
    EXPECT_GT(crossingRate(laser, 0.0, 0.04), 2.0 * crossingRate(laser, 0.15, 0.25)) << "the zap descends";
    EXPECT_LT(crossingRate(appear, 0.0, 0.07), crossingRate(appear, 0.25, 0.4)) << "the chime rises";
    EXPECT_LT(2.0 * crossingRate(homing, 0.0, 0.15), crossingRate(homing, 0.5, 0.7)) << "the whoosh rises";
}

// ---- Runs in a child process: each needs its own SDL audio state and driver. ----

// Reads SOUND_TEST_PLAY (an index to play), SOUND_TEST_PUMP_MS (how long to let the device
// mix) and SOUND_TEST_FLOOD (play effect 0 more often than there are channels).
TEST(SoundEffectChild, DISABLED_InitPlayAndFree)
{
    initSound();
    for (int i = 0; i < SOUND_COUNT; ++i)
        std::printf("slot %d %s\n", i, soundChunks[i] ? "loaded" : "empty");
    if (const char* play = std::getenv("SOUND_TEST_PLAY"))
        playSound(std::atoi(play));
    if (std::getenv("SOUND_TEST_FLOOD")) {
        for (int n = 0; n < SOUND_MIX_CHANNELS + 8; ++n)
            playSound(0);
        std::printf("playing %d\n", Mix_Playing(-1));
    }
    if (const char* pump = std::getenv("SOUND_TEST_PUMP_MS"))
        SDL_Delay(static_cast<Uint32>(std::atoi(pump)));
    freeSound();
    SDL_Quit();
}

std::string selfPath()
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    path[n > 0 ? n : 0] = '\0';
    return path;
}

// Runs the child case in `workDir` with extra environment assignments ("A=1 B=2"); its
// standard error joins the output.
ProgramRun runSoundChild(const std::string& workDir, const std::string& environment)
{
    std::string command = "cd '" + workDir + "' && env " + environment + " '" + selfPath() +
                          "' --gtest_also_run_disabled_tests --gtest_filter=SoundEffectChild.DISABLED_InitPlayAndFree 2>&1";
    return runProgram(command);
}

std::vector<int16_t> readRawSamples(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
    std::copy(bytes.begin(), bytes.begin() + samples.size() * sizeof(int16_t), reinterpret_cast<char*>(samples.data()));
    return samples;
}

struct TempFolder {
    std::filesystem::path root;
    TempFolder()
    {
        char pattern[] = "/tmp/sound_effects_XXXXXX";
        if (const char* made = mkdtemp(pattern))
            root = made;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!root.empty())
            std::filesystem::remove_all(root, ignored);
    }
};

TEST(SoundEffectLoading, LoadsAllSixAndPlaysOnAtMost32Channels)
{
    ProgramRun run = runSoundChild(RUN_DIR, "SDL_AUDIODRIVER=dummy SOUND_TEST_FLOOD=1");
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    for (int i = 0; i < SOUND_COUNT; ++i)
        EXPECT_NE(run.output.find("slot " + std::to_string(i) + " loaded\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Unable to load wave file"), std::string::npos) << run.output;
    // The extra plays find no free channel and are dropped quietly.
    EXPECT_NE(run.output.find("playing " + std::to_string(SOUND_MIX_CHANNELS) + "\n"), std::string::npos) << run.output;
}

// A missing wav is reported and skipped: its slot stays empty, the others load, and playing
// it puts nothing into the mix.
TEST(SoundEffectLoading, ReportsAndSkipsAMissingFile)
{
    TempFolder folder;
    ASSERT_FALSE(folder.root.empty());
    std::filesystem::create_directory(folder.root / "data");
    const int missing = 4;
    for (int i = 0; i < SOUND_COUNT; ++i)
        if (i != missing)
            std::filesystem::copy_file(std::string(RUN_DIR) + "/data/" + effectFileName(i),
                folder.root / "data" / effectFileName(i));
    const std::string raw = (folder.root / "mix.raw").string();
    ProgramRun run = runSoundChild(folder.root.string(), "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + raw +
                                                             "' SOUND_TEST_PLAY=4 SOUND_TEST_PUMP_MS=300");
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_NE(run.output.find("Unable to load wave file: data\\orb.wav\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Unable to load wave file: data\\" + effectFileName(0)), std::string::npos);
    for (int i = 0; i < SOUND_COUNT; ++i)
        EXPECT_NE(run.output.find("slot " + std::to_string(i) + (i == missing ? " empty\n" : " loaded\n")),
            std::string::npos) << run.output;
    std::vector<int16_t> mix = readRawSamples(raw);
    ASSERT_GT(mix.size(), 0u);
    EXPECT_EQ(peakOf(mix, 0, mix.size()), 0);
}

// Every effect reaches the device's output, once, at the channel volume of 32 of 128.
TEST(SoundEffectPlayback, EachEffectReachesTheMix)
{
    TempFolder folder;
    ASSERT_FALSE(folder.root.empty());
    const int expectedPeak =
        static_cast<int>(FULL_SCALE * std::pow(10.0, -3.0 / 20.0) * SOUND_CHANNEL_VOLUME / MIX_VOLUME_FULL);
    for (int i = -1; i < SOUND_COUNT; ++i) {
        const bool silent = i < 0;
        SCOPED_TRACE(silent ? std::string("nothing played") : effectFileName(i));
        const std::string raw = (folder.root / ("mix" + std::to_string(i + 1) + ".raw")).string();
        std::string environment = "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + raw + "' SOUND_TEST_PUMP_MS=500";
        if (!silent)
            environment += " SOUND_TEST_PLAY=" + std::to_string(i);
        ProgramRun run = runSoundChild(RUN_DIR, environment);
        ASSERT_EQ(run.exitStatus, 0) << run.output;
        std::vector<int16_t> mix = readRawSamples(raw);
        ASSERT_GT(mix.size(), static_cast<size_t>(EFFECT_RATE_HZ / 4)) << "the device mixed too little";
        const int peak = peakOf(mix, 0, mix.size());
        if (silent) {
            EXPECT_EQ(peak, 0);
        } else {
            EXPECT_GT(peak, expectedPeak / 3);
            EXPECT_LT(peak, expectedPeak * 3 / 2);
        }
    }
}

}  // namespace
