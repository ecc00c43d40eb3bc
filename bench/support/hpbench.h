// hpbench.h - benchmark support: starts the real game headless (virtual or real clock) with every
// screen's callbacks timed, pushes keys, and summarises per-frame figures.
#pragma once
#include <cstddef>
#include <vector>

#include "kegsm.h"

// Seconds of wall time, of this thread's CPU and of the whole process's CPU (which includes the
// software renderer's worker threads).
double BenchWall();
double BenchThreadCpu();
double BenchProcessCpu();

// Engine (window w by h, or full screen at the display's size), the four audio instances and the
// eight screens with timed callbacks, starting on the given state. Settings at their defaults.
bool BenchGameStart(GameStateId first, bool virtualClock, bool fullscreen = true, int w = 1920,
                    int h = 1080);
// Quits (Free and Unload of the current screen run) and stops everything BenchGameStart started.
void BenchGameStop();
// Runs n frames; false once the loop has ended.
bool BenchStep(int frames = 1);

// Main-thread CPU seconds of the last call of each callback of a state.
struct BenchStateTimes {
  double load = 0, init = 0, update = 0, draw = 0;
  double loadWall = 0, initWall = 0;
};
const BenchStateTimes& BenchTimesOf(GameStateId id);

// Key events through SDL's queue and the engine's translation, as real ones.
void BenchKeyDown(int vk);
void BenchKeyUp(int vk);

// The match the battle starts with (both players at 3 health).
void BenchSetMatch(int hero1, int hero2, int spell10, int spell11, int spell20, int spell21);

// Order statistics of a sample, in the sample's units.
struct BenchSummary {
  double min = 0, mean = 0, p50 = 0, p90 = 0, p99 = 0, max = 0, stddev = 0;
};
BenchSummary BenchSummarise(std::vector<double> samples);
