// bench_idle.cpp - the idle game at the main menu: the CPU our sleeping pacing uses against the
// sleep-then-spin it replaced and a busy wait, with the frame period's spread; and what a menu
// frame costs against SDL_Renderer drawing the same list.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>

#include "framework/gameobject.h"
#include "hpab.h"
#include "hpbench.h"
#include "hppeer.h"
#include "screens/screen.h"
#include "kegraphics.h"
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
  state.counters["period_p99_ms"] = p.p99 * 1e3;
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

// Figures of one pacing gathered over its blocks of frames.
struct Pacing {
  double wall = 0, cpu = 0, thread = 0;
  std::vector<double> periods;
};

// Blocks of frames with one pacing; the period is the real time from one frame's end to the next.
// The first frame of a block is not counted: it may still carry the other pacing's clock.
void PacedBlock(Pacing* p, bool spin, int frames) {
  OsClockSetVirtual(spin);
  double start = BenchWall();
  BenchStep(1);
  start = BenchWall();
  double w0 = start, c0 = BenchProcessCpu(), t0 = BenchThreadCpu();
  for (int i = 0; i < frames; ++i) {
    BenchStep(1);
    double now = BenchWall();
    // The engine's wait before this change, here on the real clock while the engine's own
    // takes no time: sleep until 2 ms before the frame's end, then spin.
    while (spin && (now = BenchWall()) - start < kFrameLength) {
      double remaining = kFrameLength - (now - start);
      if (remaining > 0.002) usleep((useconds_t)((remaining - 0.002) * 1e6));
    }
    p->periods.push_back(now - start);
    start = now;
  }
  p->wall += BenchWall() - w0;
  p->cpu += BenchProcessCpu() - c0;
  p->thread += BenchThreadCpu() - t0;
}

// The engine's own pacing (sleep to the frame's end) against the sleep-then-spin it replaced,
// in alternate blocks of 20 frames so both see the same load.
void BM_IdleMenu_Pacing(benchmark::State& state) {
  if (!StartAtMenu(state)) {
    state.SkipWithError("the menu did not start");
    return;
  }
  for (auto _ : state) {
    Pacing sleep, spin;
    for (int i = 0; i < kFrames / 20; ++i) {
      PacedBlock(&sleep, false, 20);
      PacedBlock(&spin, true, 20);
    }
    OsClockSetVirtual(false);
    Report(state, sleep.wall, sleep.cpu, sleep.thread, sleep.periods);
    BenchSummary s = BenchSummarise(spin.periods);
    state.counters["spin_cpu_pct"] = spin.cpu / spin.wall * 100;
    state.counters["spin_main_thread_pct"] = spin.thread / spin.wall * 100;
    state.counters["spin_period_mean_ms"] = s.mean * 1e3;
    state.counters["spin_period_p99_ms"] = s.p99 * 1e3;
  }
  BenchGameStop();
}
BENCHMARK(BM_IdleMenu_Pacing)->Arg(1)->Arg(0)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

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

bool MenuFrame() { return BenchStep(1); }

// One menu frame's work without any wait (virtual clock), and SDL_Renderer drawing the same
// list after it (outside the timing): vs_sdl is our wall time per frame over SDL_Renderer's.
void BM_IdleMenuFrame(benchmark::State& state) {
  if (!StartAtMenu(state)) {
    state.SkipWithError("the menu did not start");
    return;
  }
  OsClockSetVirtual(true);
  bool fullscreen = state.range(0) != 0;
  bool peer = PeerOpen(fullscreen);
  PeerCompare(state, MenuFrame, peer);
  if (peer) PeerClose();
  BenchGameStop();
}
BENCHMARK(BM_IdleMenuFrame)->Arg(1)->Arg(0)->Iterations(300)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// Menu frames full screen with the renderer's fill paths all on and all off, in turn.
void BM_IdleMenuFillPaths(benchmark::State& state) {
  if (!StartAtMenu(state)) {
    state.SkipWithError("the menu did not start");
    return;
  }
  OsClockSetVirtual(true);
  BenchFillAB(state, (uint32_t)state.range(0), MenuFrame);
  BenchGameStop();
}
BENCHMARK(BM_IdleMenuFillPaths)->Arg(GFX_FILL_ALL)->Arg(GFX_FILL_STILL)->Iterations(300)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
