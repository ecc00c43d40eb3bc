// bench_idle.cpp - the idle game at the main menu on the real clock: the CPU our sleep-then-spin
// pacing uses against a busy-wait pacing of the same frame length, and the spread of the frame
// period the engine measures.
#include <benchmark/benchmark.h>

#include <cmath>

#include "framework/gameobject.h"
#include "hpbench.h"
#include "screens/screen.h"
#include "keos.h"
#include "kesystem.h"
#include "states.h"

namespace {

const int kFrames = 300;
const double kFrameLength = 1.0 / 60.0;

// The logo sequence plays to its end (some 9 s), as for a player who waits, then the menu idles.
// Argument 1: full screen (1920x1080); 0: the 800x600 window.
bool StartAtMenu(benchmark::State& state) {
  bool fullscreen = state.range(0) != 0;
  if (!BenchGameStart(GS_MainMenu, false, fullscreen, 800, 600)) return false;
  double start = BenchWall();
  while (BenchWall() - start < 9.5) BenchStep(1);
  return BenchStep(30) && GsmGetCurrentState() == GS_MainMenu;
}

void Report(benchmark::State& state, double wall, double cpu, double thread,
            const std::vector<double>& periods) {
  BenchSummary p = BenchSummarise(periods);
  state.counters["cpu_pct"] = cpu / wall * 100;          // of one core, all threads
  state.counters["main_thread_pct"] = thread / wall * 100;
  state.counters["period_min_ms"] = p.min * 1e3;
  state.counters["period_mean_ms"] = p.mean * 1e3;
  state.counters["period_max_ms"] = p.max * 1e3;
  state.counters["period_stddev_ms"] = p.stddev * 1e3;
  state.counters["frames"] = (double)periods.size();
  // What the menu draws each frame: objects and the screen area their quads cover.
  Vec2 f = ScreenScale();
  double px = 0;
  int drawn = 0;
  for (GameObject* o : ObjectListOf(GS_MainMenu)->objects) {
    if (!o->alive || !o->visible) continue;
    ++drawn;
    if (!o->tinted || (o->color >> 24) != 0) px += std::fabs((double)o->scale.x * o->scale.y * f.x * f.y);
  }
  state.counters["drawn"] = drawn;
  state.counters["fill_Mpx"] = px * 1e-6;
}

// The engine's own pacing: sleep until 2 ms before the frame's end, then spin.
void BM_IdleMenu_SleepThenSpin(benchmark::State& state) {
  if (!StartAtMenu(state)) {
    state.SkipWithError("the menu did not start");
    return;
  }
  for (auto _ : state) {
    std::vector<double> periods;
    double w0 = BenchWall(), c0 = BenchProcessCpu(), t0 = BenchThreadCpu();
    for (int i = 0; i < kFrames; ++i) {
      BenchStep(1);
      periods.push_back(SysGetFrameTime());
    }
    Report(state, BenchWall() - w0, BenchProcessCpu() - c0, BenchThreadCpu() - t0, periods);
  }
  BenchGameStop();
}
BENCHMARK(BM_IdleMenu_SleepThenSpin)->Arg(1)->Arg(0)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// The same menu frames with a wait that spins on the real clock for the whole rest of the frame.
// After the logos the engine switches to the virtual clock so that its own wait takes no time;
// the period is measured on the real clock around each frame.
void BM_IdleMenu_BusyWait(benchmark::State& state) {
  if (!StartAtMenu(state)) {
    state.SkipWithError("the menu did not start");
    return;
  }
  OsClockSetVirtual(true);  // between frames: each frame reads one clock throughout
  for (auto _ : state) {
    std::vector<double> periods;
    double w0 = BenchWall(), c0 = BenchProcessCpu(), t0 = BenchThreadCpu();
    double start = w0;
    for (int i = 0; i < kFrames; ++i) {
      BenchStep(1);
      double now;
      while ((now = BenchWall()) - start < kFrameLength) {
      }
      periods.push_back(now - start);
      start = now;
    }
    Report(state, BenchWall() - w0, BenchProcessCpu() - c0, BenchThreadCpu() - t0, periods);
  }
  BenchGameStop();
}
BENCHMARK(BM_IdleMenu_BusyWait)->Arg(1)->Arg(0)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
