// What a player hears: the game run by the capture tool in a working folder without the
// soundtrack, with SDL's disk audio driver writing the mixed output; one laser shot puts the
// laser sound into that output (found by normalised correlation), a run without keys does not.
#include "program_runner.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int DECIMATION = 2;            // correlate at 22050 Hz
constexpr double TEMPLATE_SECONDS = 0.05;  // the sound's onset, before later sounds overlap it

// Mono samples of the run's mixed output (16-bit stereo), averaged over DECIMATION samples.
std::vector<float> readMixedOutput(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t frames = bytes.size() / 4;
    std::vector<float> mono;
    mono.reserve(frames / DECIMATION);
    for (size_t f = 0; f + DECIMATION <= frames; f += DECIMATION) {
        float sum = 0;
        for (int k = 0; k < DECIMATION; ++k) {
            const int16_t* s = reinterpret_cast<const int16_t*>(&bytes[(f + k) * 4]);
            sum += 0.5f * (static_cast<float>(s[0]) + static_cast<float>(s[1]));
        }
        mono.push_back(sum / DECIMATION);
    }
    return mono;
}

std::vector<float> laserOnset()
{
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    std::vector<float> onset;
    if (!SDL_LoadWAV((std::string(RUN_DIR) + "/data/launchlaser.wav").c_str(), &format, &buffer, &length))
        return onset;
    const int16_t* samples = reinterpret_cast<const int16_t*>(buffer);
    const size_t count = length / sizeof(int16_t) / format.channels;
    const size_t wanted = static_cast<size_t>(TEMPLATE_SECONDS * format.freq);
    for (size_t f = 0; f + DECIMATION <= std::min(count, wanted); f += DECIMATION) {
        float sum = 0;
        for (int k = 0; k < DECIMATION; ++k)
            sum += static_cast<float>(samples[(f + k) * format.channels]);
        onset.push_back(sum / DECIMATION);
    }
    SDL_FreeWAV(buffer);
    return onset;
}

// The best normalised correlation of `pattern` anywhere in `signal` (0 for silence).
double bestCorrelation(const std::vector<float>& signal, const std::vector<float>& pattern)
{
    double patternEnergy = 0;
    for (float p : pattern)
        patternEnergy += static_cast<double>(p) * p;
    if (signal.size() < pattern.size() || patternEnergy <= 0)
        return 0;
    double windowEnergy = 0;
    for (size_t i = 0; i < pattern.size(); ++i)
        windowEnergy += static_cast<double>(signal[i]) * signal[i];
    double best = 0;
    for (size_t lag = 0; lag + pattern.size() <= signal.size(); ++lag) {
        if (lag > 0) {
            const double out = signal[lag - 1];
            const double in = signal[lag + pattern.size() - 1];
            windowEnergy += in * in - out * out;
        }
        if (windowEnergy < 1e3 * pattern.size())  // quieter than a few levels of noise
            continue;
        double dot = 0;
        for (size_t i = 0; i < pattern.size(); ++i)
            dot += static_cast<double>(signal[lag + i]) * pattern[i];
        best = std::max(best, dot / std::sqrt(patternEnergy * windowEnergy));
    }
    return best;
}

double laserInRun(const char* name, const std::string& script)
{
    const std::filesystem::path dir = scratchPath(std::string("mornglow-audio-") + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::create_directory_symlink(std::filesystem::path(RUN_DIR) / "data", dir / "data");
    std::filesystem::copy_file(std::filesystem::path(LEVELS_DIR) / "level1.level", dir / "level1.level");
    std::ofstream(dir / "keys.txt") << script;
    const ProgramRun run = runProgram("cd '" + dir.string() + "' && GALLIUM_NOOP=1 SDL_AUDIODRIVER=disk "
        "SDL_DISKAUDIOFILE=out.raw " BINARY_DIR "/demo-capture --game --keys keys.txt --out out --frames 260 --real-time "
        ">/dev/null 2>&1");
    EXPECT_EQ(run.exitStatus, 0) << name;
    const std::vector<float> mixed = readMixedOutput(dir / "out.raw");
    std::filesystem::remove_all(dir);
    EXPECT_GT(mixed.size(), 22050u) << name << ": less than a second of output";
    return bestCorrelation(mixed, laserOnset());
}

// The frames are paced in real time, so the shot at frame 200 comes more than three seconds
// after the start-up's own sounds, however fast the machine runs the frames.
TEST(WeaponAudio, OneLaserShotIsHeardAndSilenceIsNot)
{
    ASSERT_GT(laserOnset().size(), 500u);
    const double firing = laserInRun("firing", "1 +RIGHT\n2 -RIGHT\n200 +RCTRL\n201 -RCTRL\n");
    const double quiet = laserInRun("quiet", "");
    EXPECT_GT(firing, 0.8);
    EXPECT_LT(quiet, 0.5);
}

}  // namespace
