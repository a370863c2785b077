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

void initClockFrequency();
void startClock();
int clockNowMs();
void startStopwatchA();
void startStopwatchB();
int readStopwatchA();
int readStopwatchB();
void sampleStopwatchA();
void busyWaitMs(int n);

// mode 0 bounces past `to`, mode 1 wraps, any other mode clamps at `to`.
void tween(double startMs, double from, double to, int mode, double speedPerFrame, float* out);
int toThousandths(double x);
int pingPongInt(int a, int b, int c);
double pingPong(double from, double to, double offset);
int wrapInt(int a, int b, int c);
double wrapRange(double from, double to, double offset);
void testPingPong();
