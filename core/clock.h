// The millisecond clock on the performance counter, two stopwatches, and tween.
// Milliseconds are whole milliseconds since startClock; tween speeds are per 60 Hz frame.
#pragma once

struct ClockState {
    long long frequency;        // counts per second
    long long clockStart;       // zero of clockNowMs
    long long stopwatchAStart;
    long long stopwatchBStart;
};

extern ClockState clockState;
// Set by the debug keys; serviced once a frame (by the lens pass, where the Parts put it),
// which restarts the clock and both stopwatches.
extern unsigned char clockRestartRequest;

void initClockFrequency();
void startClock();
int clockNowMs();
void startStopwatchA();
void startStopwatchB();
int readStopwatchA();
int readStopwatchB();
void sampleStopwatchA();
void busyWaitMs(int n);
// Restarts the clock and stopwatches when clockRestartRequest is set, then clears it.
void serviceClockRestartRequest();

// What tween does once the value passes `to`.
enum TweenMode {
    TWEEN_PING_PONG = 0,  // bounces back towards `from`
    TWEEN_WRAP = 1,       // starts again at `from`
    TWEEN_CLAMP = 2,      // stays at `to`
};

void tween(double startMs, double from, double to, TweenMode mode, double speedPerFrame, float* out);
int toThousandths(double x);
int pingPongInt(int a, int b, int c);
double pingPong(double from, double to, double offset);
int wrapInt(int a, int b, int c);
double wrapRange(double from, double to, double offset);
void testPingPong();
