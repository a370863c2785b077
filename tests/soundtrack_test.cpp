// The generated soundtrack "mornglow.mp3", decoded with libmpg123 and its default gapless
// trimming (as the demo's player decodes it): the stream format, the start at time 0, the beat
// on every bar start and the stronger accent every 64 rows, audible section changes at the
// scene changes, the end fade and a clean master.
#include <mpg123.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr long SOUNDTRACK_RATE_HZ = 44100;
constexpr int SOUNDTRACK_CHANNELS = 2;
constexpr double ROW_SEC = 60.0 / (137.0 * 4.0);
constexpr int ROWS_PER_BAR = 16;
constexpr double BAR_SEC = ROWS_PER_BAR * ROW_SEC;
constexpr int BARS_PER_ACCENT = 4;
constexpr double MIN_LENGTH_SEC = 176.0;
constexpr double MAX_LENGTH_SEC = 180.0;
constexpr double DEMO_END_SEC = 175.01;
constexpr int LAST_BAR_BEFORE_FADE = 98;  // bar 99 starts at 173.4 s and fades out
constexpr double BEAT_WINDOW_SEC = 0.03;
constexpr int BITRATE_KBPS = 192;
constexpr size_t DECODE_CHUNK_BYTES = 1 << 16;

// Scene changes, seconds after the music start.
constexpr double SCENE_CHANGE_SEC[] = {12.09, 29.61, 41.87, 55.88, 84.79, 104.93, 111.94, 160.99};
constexpr int SCENE_COUNT = static_cast<int>(std::size(SCENE_CHANGE_SEC)) + 1;

const char* soundtrackPath()
{
    return RUN_DIR "/mornglow.mp3";
}

struct ChannelStats {
    float peak = 0.0f;
    double sum = 0.0;
};

// The decoded stream as the mean of both channels, plus the level statistics of each channel.
struct Soundtrack {
    long rate = 0;
    int channels = 0;
    std::vector<float> mono;
    ChannelStats channelStats[SOUNDTRACK_CHANNELS];
    std::string error;
};

Soundtrack decodeSoundtrack(const char* path)
{
    Soundtrack track;
    mpg123_init();
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) {
        track.error = "mpg123_new failed";
        return track;
    }
    int encoding = 0;
    if (mpg123_open(mh, path) != MPG123_OK || mpg123_getformat(mh, &track.rate, &track.channels, &encoding) != MPG123_OK) {
        track.error = std::string("cannot open ") + path + ": " + mpg123_strerror(mh);
        mpg123_delete(mh);
        return track;
    }
    // Keep the stream's own rate and channels, as 16-bit samples.
    mpg123_format_none(mh);
    mpg123_format(mh, track.rate, track.channels, MPG123_ENC_SIGNED_16);
    off_t expected = mpg123_length(mh);
    if (expected > 0)
        track.mono.reserve(static_cast<size_t>(expected));
    std::vector<unsigned char> chunk(DECODE_CHUNK_BYTES);
    for (;;) {
        size_t bytes = 0;
        int result = mpg123_read(mh, chunk.data(), chunk.size(), &bytes);
        const int16_t* samples = reinterpret_cast<const int16_t*>(chunk.data());
        size_t count = bytes / sizeof(int16_t);
        for (size_t i = 0; i + 1 < count && track.channels == SOUNDTRACK_CHANNELS; i += 2) {
            float frame[SOUNDTRACK_CHANNELS] = {samples[i] / 32768.0f, samples[i + 1] / 32768.0f};
            for (int c = 0; c < SOUNDTRACK_CHANNELS; ++c) {
                track.channelStats[c].peak = std::max(track.channelStats[c].peak, std::fabs(frame[c]));
                track.channelStats[c].sum += frame[c];
            }
            track.mono.push_back(0.5f * (frame[0] + frame[1]));
        }
        if (result == MPG123_DONE)
            break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            track.error = std::string("decoding failed: ") + mpg123_strerror(mh);
            break;
        }
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    return track;
}

double seconds(const Soundtrack& track)
{
    return static_cast<double>(track.mono.size()) / SOUNDTRACK_RATE_HZ;
}

double rmsOf(const std::vector<float>& x, double startSec, double lengthSec)
{
    long a = std::max(0L, std::lround(startSec * SOUNDTRACK_RATE_HZ));
    long b = std::min(static_cast<long>(x.size()), std::lround((startSec + lengthSec) * SOUNDTRACK_RATE_HZ));
    if (b <= a)
        return 0.0;
    double sum = 0.0;
    for (long i = a; i < b; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / (b - a));
}

double barStartSec(int bar, int row = 0)
{
    return (bar * ROWS_PER_BAR + row) * ROW_SEC;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

class SoundtrackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { track = new Soundtrack(decodeSoundtrack(soundtrackPath())); }
    static void TearDownTestSuite()
    {
        delete track;
        track = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(track->error.empty()) << track->error;
        ASSERT_EQ(track->channels, SOUNDTRACK_CHANNELS);
        ASSERT_FALSE(track->mono.empty());
    }
    static Soundtrack* track;
};

Soundtrack* SoundtrackTest::track = nullptr;

TEST_F(SoundtrackTest, IsStereo44100AndOutlastsTheDemo)
{
    EXPECT_EQ(track->rate, SOUNDTRACK_RATE_HZ);
    EXPECT_GE(seconds(*track), MIN_LENGTH_SEC);
    EXPECT_LE(seconds(*track), MAX_LENGTH_SEC);
}

// Every frame is MPEG-1 layer III at 44.1 kHz and the same bit rate, and the first one carries
// the "Info" tag (the constant-bit-rate form of the LAME tag) that tells decoders the delay.
TEST(SoundtrackFile, IsConstantBitRateWithAnInfoTag)
{
    static constexpr int LAYER3_KBPS[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    FILE* file = std::fopen(soundtrackPath(), "rb");
    ASSERT_NE(file, nullptr) << soundtrackPath();
    std::vector<unsigned char> bytes;
    unsigned char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);

    size_t pos = 0;
    int frames = 0;
    int wrongFrames = 0;
    while (pos + 4 <= bytes.size()) {
        const unsigned char* h = &bytes[pos];
        ASSERT_TRUE(h[0] == 0xFF && (h[1] & 0xE0) == 0xE0) << "no frame sync at byte " << pos;
        bool mpeg1Layer3 = (h[1] & 0x1E) == 0x1A;
        int kbps = LAYER3_KBPS[h[2] >> 4];
        bool rate44100 = ((h[2] >> 2) & 3) == 0;
        if (!mpeg1Layer3 || kbps != BITRATE_KBPS || !rate44100)
            ++wrongFrames;
        ASSERT_GT(kbps, 0) << "free or bad bit rate at byte " << pos;
        if (frames == 0) {
            std::string first(bytes.begin() + pos, bytes.begin() + std::min(bytes.size(), pos + 64));
            EXPECT_NE(first.find("Info"), std::string::npos) << "first frame has no Info tag";
        }
        pos += 144000 * kbps / SOUNDTRACK_RATE_HZ + ((h[2] >> 1) & 1);
        ++frames;
    }
    EXPECT_EQ(pos, bytes.size()) << "trailing bytes after the last frame";
    EXPECT_EQ(wrongFrames, 0);
    EXPECT_GT(frames, MIN_LENGTH_SEC * SOUNDTRACK_RATE_HZ / 1152);
}

// The demo counts the music position from the start of playback: the first kick must be at
// sample 0 of the decoded stream, not one encoder delay (about 25 ms) later.
TEST_F(SoundtrackTest, FirstBeatIsAtTimeZero)
{
    constexpr float ONSET_LEVEL = 0.02f;
    constexpr double MAX_ONSET_SEC = 0.003;
    size_t first = 0;
    while (first < track->mono.size() && std::fabs(track->mono[first]) < ONSET_LEVEL)
        ++first;
    EXPECT_LT(static_cast<double>(first) / SOUNDTRACK_RATE_HZ, MAX_ONSET_SEC);
}

// The demo's beat clock flags every bar start (16 rows): there the music must peak, above every
// other row of the bar (from row 2 on, past the kick's own tail), and start on time: the window
// just before the bar start is far quieter than the one after it.
TEST_F(SoundtrackTest, BarStartsAreTheEnergyPeaks)
{
    constexpr double MIN_PEAK_RATIO = 1.2;
    constexpr double MIN_ONSET_RATIO = 3.0;
    constexpr double MIN_SHARE_OF_BARS = 0.9;
    int bars = 0;
    int peaked = 0;
    int onTime = 0;
    std::string misses;
    for (int bar = 0; bar <= LAST_BAR_BEFORE_FADE; ++bar) {
        double start = rmsOf(track->mono, barStartSec(bar), BEAT_WINDOW_SEC);
        double other = 0.0;
        for (int row = 2; row < ROWS_PER_BAR; ++row)
            other = std::max(other, rmsOf(track->mono, barStartSec(bar, row), BEAT_WINDOW_SEC));
        double before = rmsOf(track->mono, barStartSec(bar) - BEAT_WINDOW_SEC, BEAT_WINDOW_SEC);
        ++bars;
        if (start >= MIN_PEAK_RATIO * other)
            ++peaked;
        else
            misses += " " + std::to_string(bar);
        if (start >= MIN_ONSET_RATIO * before)
            ++onTime;
    }
    EXPECT_GE(peaked, MIN_SHARE_OF_BARS * bars) << "bars without a clear peak at the start:" << misses;
    EXPECT_GE(onTime, MIN_SHARE_OF_BARS * bars);
}

// Every fourth bar (64 rows) the accent: stronger than the other bar starts of its four bars.
TEST_F(SoundtrackTest, AccentsEverySixtyFourRowsAreStronger)
{
    constexpr double MIN_GROUP_RATIO = 1.1;
    constexpr double MIN_MEAN_RATIO = 1.15;
    constexpr double MIN_SHARE_OF_GROUPS = 0.8;
    int groups = 0;
    int stronger = 0;
    double ratioSum = 0.0;
    for (int bar = 0; bar + BARS_PER_ACCENT - 1 <= LAST_BAR_BEFORE_FADE; bar += BARS_PER_ACCENT) {
        double accent = rmsOf(track->mono, barStartSec(bar), BEAT_WINDOW_SEC);
        double others = 0.0;
        for (int k = 1; k < BARS_PER_ACCENT; ++k)
            others += rmsOf(track->mono, barStartSec(bar + k), BEAT_WINDOW_SEC) / (BARS_PER_ACCENT - 1);
        ASSERT_GT(others, 0.0) << "silent bars after bar " << bar;
        double ratio = accent / others;
        ++groups;
        ratioSum += ratio;
        if (ratio >= MIN_GROUP_RATIO)
            ++stronger;
    }
    EXPECT_GE(stronger, MIN_SHARE_OF_GROUPS * groups);
    EXPECT_GE(ratioSum / groups, MIN_MEAN_RATIO);
}

// The flyover's main theme is louder and brighter (drums, arpeggios, lead) than the calm intro.
TEST_F(SoundtrackTest, FlyoverIsLouderAndDenserThanTheIntro)
{
    constexpr double MIN_LEVEL_RATIO = 1.8;
    constexpr double MIN_BRIGHTNESS_RATIO = 3.0;
    std::vector<float> change(track->mono.size(), 0.0f);
    for (size_t i = 1; i < change.size(); ++i)
        change[i] = track->mono[i] - track->mono[i - 1];
    double introEnd = SCENE_CHANGE_SEC[0];
    double flyStart = SCENE_CHANGE_SEC[6];
    double flyLength = SCENE_CHANGE_SEC[7] - flyStart;
    EXPECT_GE(rmsOf(track->mono, flyStart, flyLength), MIN_LEVEL_RATIO * rmsOf(track->mono, 0.0, introEnd));
    EXPECT_GE(rmsOf(change, flyStart, flyLength), MIN_BRIGHTNESS_RATIO * rmsOf(change, 0.0, introEnd));
}

// Near every scene change the sound changes: the rhythm profile (per-row level of the bass band
// and of the treble) of the two bars before a bar boundary and the two bars after it differs
// clearly more than it does between bars inside the two sections.
TEST_F(SoundtrackTest, SoundChangesWithinABarOfEveryScene)
{
    constexpr double MIN_CHANGE_RATIO = 1.4;
    constexpr double BASS_BAND_HZ = 200.0;
    constexpr int PROFILE_BARS = 2;
    constexpr int PROFILE_SIZE = 2 * ROWS_PER_BAR;
    constexpr double LEVEL_FLOOR = 1e-4;
    std::vector<float> bass(track->mono.size());
    std::vector<float> treble(track->mono.size(), 0.0f);
    float state = 0.0f;
    float coef = static_cast<float>(1.0 - std::exp(-2.0 * PI * BASS_BAND_HZ / SOUNDTRACK_RATE_HZ));
    for (size_t i = 0; i < bass.size(); ++i) {
        state += coef * (track->mono[i] - state);
        bass[i] = state;
        if (i > 0)
            treble[i] = track->mono[i] - track->mono[i - 1];
    }
    auto profile = [&](int firstBar, double* out) {
        for (int row = 0; row < ROWS_PER_BAR; ++row) {
            out[row] = 0.0;
            out[ROWS_PER_BAR + row] = 0.0;
            for (int b = 0; b < PROFILE_BARS; ++b) {
                out[row] += rmsOf(bass, barStartSec(firstBar + b, row), ROW_SEC);
                out[ROWS_PER_BAR + row] += rmsOf(treble, barStartSec(firstBar + b, row), ROW_SEC);
            }
        }
    };
    // Mean absolute log ratio between the profiles before and after the boundary at `bar`.
    auto changeAt = [&](int bar) {
        double before[PROFILE_SIZE];
        double after[PROFILE_SIZE];
        profile(bar - PROFILE_BARS, before);
        profile(bar, after);
        double sum = 0.0;
        for (int i = 0; i < PROFILE_SIZE; ++i)
            sum += std::fabs(std::log((after[i] + LEVEL_FLOOR) / (before[i] + LEVEL_FLOOR)));
        return sum / PROFILE_SIZE;
    };
    // Boundaries that a scene change may sit next to: the bars around each change time.
    int sceneBar[SCENE_COUNT + 1];
    sceneBar[0] = 0;
    for (int s = 1; s < SCENE_COUNT; ++s)
        sceneBar[s] = static_cast<int>(std::floor(SCENE_CHANGE_SEC[s - 1] / BAR_SEC));
    sceneBar[SCENE_COUNT] = static_cast<int>(DEMO_END_SEC / BAR_SEC);
    for (int s = 1; s < SCENE_COUNT; ++s) {
        int bar = sceneBar[s];
        double change = std::max(changeAt(bar), changeAt(bar + 1));
        // Reference: boundaries inside the scene before and the scene after, away from the change.
        std::vector<double> inside;
        for (int k = sceneBar[s - 1] + PROFILE_BARS; k <= sceneBar[s + 1] - PROFILE_BARS; ++k)
            if (k < bar - PROFILE_BARS || k > bar + 1 + PROFILE_BARS)
                inside.push_back(changeAt(k));
        ASSERT_FALSE(inside.empty());
        EXPECT_GE(change, MIN_CHANGE_RATIO * median(inside))
            << "scene change at " << SCENE_CHANGE_SEC[s - 1] << " s (bar " << bar << ")";
    }
}

// The music plays up to the demo's end and then fades out: over the fade every quarter second
// is a little quieter than the one before, never louder (a late hit) and never suddenly silent
// (a cut); the very end of the file is silent.
TEST_F(SoundtrackTest, EndsWithAFadeAfterTheDemo)
{
    constexpr double FADE_FROM_SEC = 174.0;
    constexpr double FADE_TO_SEC = 176.25;
    constexpr double STEP_SEC = 0.25;
    constexpr double MAX_RISE = 1.1;
    constexpr double MIN_STEP_RATIO = 0.25;
    constexpr double MIN_LEVEL_AT_END = 0.02;
    constexpr double SILENCE = 0.001;
    EXPECT_GE(rmsOf(track->mono, DEMO_END_SEC - 2.0, 1.5), MIN_LEVEL_AT_END);
    double previous = rmsOf(track->mono, FADE_FROM_SEC, STEP_SEC);
    for (double t = FADE_FROM_SEC + STEP_SEC; t + STEP_SEC <= FADE_TO_SEC + 1e-9; t += STEP_SEC) {
        double level = rmsOf(track->mono, t, STEP_SEC);
        EXPECT_LE(level, MAX_RISE * previous + SILENCE) << "at " << t << " s";
        EXPECT_GE(level, MIN_STEP_RATIO * previous) << "cut at " << t << " s";
        previous = level;
    }
    double total = seconds(*track);
    EXPECT_LT(rmsOf(track->mono, total - 0.3, 0.3), SILENCE);
}

// Soft-limited master: no sample at full scale, no offset.
TEST_F(SoundtrackTest, MasterHasNoClippingAndNoOffset)
{
    constexpr float MAX_PEAK = 0.99f;
    constexpr double MAX_OFFSET = 0.002;
    for (const ChannelStats& channel : track->channelStats) {
        EXPECT_LT(channel.peak, MAX_PEAK);
        EXPECT_LT(std::fabs(channel.sum / track->mono.size()), MAX_OFFSET);
    }
}

}  // namespace
