// bench_battle.cpp - what a heavy battle costs per frame (update, draw, the whole frame with the
// renderer's threads), and the worst frames of a long round, on the virtual clock at 1920x1080.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include "hpab.h"
#include "hpbench.h"
#include "hpheavy.h"
#include "hppeer.h"
#include "kegraphics.h"
#include "kegsm.h"
#include "states.h"

namespace {

double EnvSeconds(const char* name, double fallback) {
  const char* s = getenv(name);
  return s ? atof(s) : fallback;
}
// By default 20 s of warm-up (the lanes have filled and met in the middle) and a one-minute round.
int WarmUpFrames() { return (int)(EnvSeconds("HP_BENCH_WARMUP_SECONDS", 20) * 60); }
double RoundSeconds() { return EnvSeconds("HP_BENCH_ROUND_SECONDS", 60); }

void Ms(benchmark::State& state, const char* name, double seconds) {
  state.counters[name] = benchmark::Counter(seconds * 1e3);
}

// The battle's own Update and Draw, main-thread CPU, summed over the timed frames.
struct GameTimes {
  double update = 0, draw = 0;
};
GameTimes gTimes;

bool TimedBattleFrame() {
  bool ok = HeavyBattleFrame();
  const BenchStateTimes& t = BenchTimesOf(GS_Battle);
  gTimes.update += t.update;
  gTimes.draw += t.draw - PeerRecordingSeconds();
  return ok;
}

// One iteration is one frame of a battle that has been running for a while. Argument 1: full
// screen (1920x1080); 0: the 800x600 window. After each frame (outside the timing) the draw list
// of the first timed frame is replayed through SDL_Renderer; vs_sdl is our wall time per frame
// over SDL_Renderer's.
void BM_HeavyBattleFrame(benchmark::State& state) {
  bool fullscreen = state.range(0) != 0;
  if (!HeavyBattleStart(fullscreen)) {
    state.SkipWithError("the battle did not start");
    return;
  }
  for (int i = 0, n = WarmUpFrames(); i < n; ++i) HeavyBattleFrame();
  bool peer = PeerOpen(fullscreen);
  gTimes = GameTimes();
  PeerCompare(state, TimedBattleFrame, peer);
  if (peer) PeerClose();
  double n = (double)state.iterations();
  Ms(state, "update_ms", gTimes.update / n);
  Ms(state, "draw_ms", gTimes.draw / n);
  Ms(state, "game_cpu_ms", (gTimes.update + gTimes.draw) / n);
  state.counters["alive"] = HeavyAliveTroops();
  state.counters["roster"] = HeavyRosterSize();
  state.counters["objects"] = HeavyObjectCount();
  state.counters["drawn"] = HeavyDrawnObjects();
  state.counters["fill_Mpx"] = HeavyFillMegapixels();
  HeavyBattleStop();
}
BENCHMARK(BM_HeavyBattleFrame)->Arg(1)->Arg(0)->Iterations(300)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// The heavy battle with the renderer's fill paths on and with some off, frame by frame in turn,
// each followed by SDL_Renderer's replay. Argument: the paths turned off (GfxFillPath bits).
void FillPathsAB(benchmark::State& state, bool fullscreen) {
  if (!HeavyBattleStart(fullscreen)) {
    state.SkipWithError("the battle did not start");
    return;
  }
  for (int i = 0, n = WarmUpFrames(); i < n; ++i) HeavyBattleFrame();
  bool peer = PeerOpen(fullscreen);
  BenchFillAB(state, (uint32_t)state.range(0), HeavyBattleFrame, peer);
  if (peer) PeerClose();
  HeavyBattleStop();
}
void BM_HeavyBattleFillPaths(benchmark::State& state) { FillPathsAB(state, true); }
BENCHMARK(BM_HeavyBattleFillPaths)->Arg(GFX_FILL_ALL)->Arg(GFX_FILL_NO_DEPTH)->Arg(GFX_FILL_LEAN_SHADER)->Arg(GFX_FILL_OPAQUE_NO_BLEND)->Arg(GFX_FILL_STILL)->Arg(GFX_FILL_TRIM)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);
// The 800x600 window, where the screen pictures are drawn at half their stored size and a
// path's saving can differ from full screen's.
void BM_HeavyBattleFillPathsWindow(benchmark::State& state) { FillPathsAB(state, false); }
BENCHMARK(BM_HeavyBattleFillPathsWindow)->Arg(GFX_FILL_ALL)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);

// A whole long round from its first frame; the figures are per-frame CPU time of the process.
void BM_LongRoundFrames(benchmark::State& state) {
  int frames = (int)(RoundSeconds() * 60);
  for (auto _ : state) {
    state.PauseTiming();
    if (!HeavyBattleStart()) {
      state.SkipWithError("the battle did not start");
      return;
    }
    state.ResumeTiming();
    const BenchStateTimes& t = BenchTimesOf(GS_Battle);
    std::vector<double> cpu, update, draw;
    cpu.reserve(frames);
    double firstTen = 0, lastTen = 0;
    for (int i = 0; i < frames; ++i) {
      double c0 = BenchProcessCpu();
      HeavyBattleFrame();
      double c = BenchProcessCpu() - c0;
      cpu.push_back(c);
      update.push_back(t.update);
      draw.push_back(t.draw);
      if (i < 600) firstTen += c;
      if (i >= frames - 600) lastTen += c;
    }
    BenchSummary f = BenchSummarise(cpu), u = BenchSummarise(update), d = BenchSummarise(draw);
    state.counters["frames"] = frames;
    Ms(state, "frame_p50_ms", f.p50);
    Ms(state, "frame_p90_ms", f.p90);
    Ms(state, "frame_p99_ms", f.p99);
    Ms(state, "frame_max_ms", f.max);
    Ms(state, "update_p99_ms", u.p99);
    Ms(state, "update_max_ms", u.max);
    Ms(state, "draw_p99_ms", d.p99);
    Ms(state, "draw_max_ms", d.max);
    Ms(state, "first10s_mean_ms", firstTen / 600);
    Ms(state, "last10s_mean_ms", lastTen / 600);
    state.counters["roster_end"] = HeavyRosterSize();
    state.counters["objects_end"] = HeavyObjectCount();
    state.PauseTiming();
    HeavyBattleStop();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LongRoundFrames)->Iterations(1)->MeasureProcessCPUTime()->Unit(benchmark::kSecond);

double ResidentMegabytes() {
  long pages = 0, resident = 0;
  FILE* f = fopen("/proc/self/statm", "r");
  if (f) {
    if (fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    fclose(f);
  }
  return (double)resident * (double)sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}

// The heap as glibc sees it (every thread's arena, llvmpipe's textures included): what is in use,
// and what it keeps free but resident. Growth of the first is a leak; of the second, holes.
double HeapUsedMegabytes() {
  struct mallinfo2 m = mallinfo2();
  return (double)(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}
double HeapFreeMegabytes() { return (double)mallinfo2().fordblks / (1024.0 * 1024.0); }

// Many rounds in one session (HP_BENCH_ROUNDS, 100 by default; 30 frames of heavy battle each,
// in the 800x600 window): resident memory and the heap after the first round and after the last.
void BM_RoundsMemory(benchmark::State& state) {
  int rounds = (int)EnvSeconds("HP_BENCH_ROUNDS", 100);
  for (auto _ : state) {
    if (!HeavyBattleStart(false)) {
      state.SkipWithError("the battle did not start");
      return;
    }
    double first = 0, usedFirst = 0;
    for (int r = 1; r <= rounds; ++r) {
      for (int i = 0; i < 30; ++i) HeavyBattleFrame();
      if (!HeavyNextRound()) {
        state.SkipWithError("the next round did not start");
        break;
      }
      if (r == 1) {
        first = ResidentMegabytes();
        usedFirst = HeapUsedMegabytes();
      }
    }
    double last = ResidentMegabytes();
    state.counters["rounds"] = rounds;
    state.counters["rss_first_MB"] = first;
    state.counters["rss_last_MB"] = last;
    state.counters["rss_growth_pct"] = (last / first - 1) * 100;
    state.counters["heap_used_first_MB"] = usedFirst;
    state.counters["heap_used_last_MB"] = HeapUsedMegabytes();
    state.counters["heap_free_last_MB"] = HeapFreeMegabytes();
    HeavyBattleStop();
  }
}
BENCHMARK(BM_RoundsMemory)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
