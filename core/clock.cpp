#include "core/clock.h"

#include "platform/os_services.h"

ClockState clockState = {};
unsigned char clockRestartRequest = 0;

static int millisecondsSince(long long start)
{
    long long now = readPerformanceCounter();
    return static_cast<int>(static_cast<double>(now - start) * 1000.0 / static_cast<double>(clockState.frequency));
}

void initClockFrequency()
{
    clockState.frequency = readPerformanceFrequency();
}

void startClock()
{
    clockState.clockStart = readPerformanceCounter();
}

int clockNowMs()
{
    return millisecondsSince(clockState.clockStart);
}

void startStopwatchA()
{
    clockState.stopwatchAStart = readPerformanceCounter();
}

void startStopwatchB()
{
    clockState.stopwatchBStart = readPerformanceCounter();
}

int readStopwatchA()
{
    return millisecondsSince(clockState.stopwatchAStart);
}

int readStopwatchB()
{
    return millisecondsSince(clockState.stopwatchBStart);
}

void sampleStopwatchA()
{
    (void)readStopwatchA();
}

void busyWaitMs(int n)
{
    int first = readStopwatchA();
    while (readStopwatchA() - first < n) {
    }
}

int toThousandths(double x)
{
    return static_cast<int>(x * 1000.0);
}

// A zero span (from and to equal in thousandths) has no bounce or wrap: it stays at a.
int pingPongInt(int a, int b, int c)
{
    int d = b - a;
    if (d == 0)
        return a;
    int q = c / d;
    int r = c % d;
    return (q % 2 == 0) ? a + r : b - r;
}

int wrapInt(int a, int b, int c)
{
    int d = b - a;
    if (d == 0)
        return a;
    return a + c % d;
}

double pingPong(double from, double to, double offset)
{
    return pingPongInt(toThousandths(from), toThousandths(to), toThousandths(offset)) / 1000.0;
}

double wrapRange(double from, double to, double offset)
{
    return wrapInt(toThousandths(from), toThousandths(to), toThousandths(offset)) / 1000.0;
}

void tween(double startMs, double from, double to, TweenMode mode, double speedPerFrame, float* out)
{
    const double frameMs = static_cast<double>(16.666666f);
    double now = static_cast<double>(clockNowMs());
    double elapsedFrames = (now - startMs) / frameMs;
    double offset = speedPerFrame * elapsedFrames;
    double v = from + offset;
    if (v > to) {
        if (mode == TWEEN_PING_PONG)
            v = pingPong(from, to, offset);
        else if (mode == TWEEN_WRAP)
            v = wrapRange(from, to, offset);
        else
            v = to;
    }
    *out = static_cast<float>(v);
}

void testPingPong()
{
    volatile double sink = 0.0;
    for (double x = 0.0; x < 1000.0; x += static_cast<double>(0.1f))
        sink = pingPong(2.5, 7.5, x);
    (void)sink;
}

void serviceClockRestartRequest()
{
    if (!clockRestartRequest)
        return;
    startClock();
    startStopwatchA();
    startStopwatchB();
    clockRestartRequest = 0;
}
