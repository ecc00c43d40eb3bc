// bench_battle.cpp - what a heavy battle costs per frame (update, draw, the whole frame with the
// renderer's threads), and the worst frames of a long round, on the virtual clock at 1920x1080.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "hpbench.h"
#include "hpheavy.h"
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

// One iteration is one frame of a battle that has been running for a while. Argument 1: full
// screen (1920x1080); 0: the 800x600 window.
void BM_HeavyBattleFrame(benchmark::State& state) {
  if (!HeavyBattleStart(state.range(0) != 0)) {
    state.SkipWithError("the battle did not start");
    return;
  }
  for (int i = 0, n = WarmUpFrames(); i < n; ++i) HeavyBattleFrame();
  const BenchStateTimes& t = BenchTimesOf(GS_Battle);
  double update = 0, draw = 0;
  for (auto _ : state) {
    HeavyBattleFrame();
    update += t.update;
    draw += t.draw;
  }
  double n = (double)state.iterations();
  Ms(state, "update_ms", update / n);
  Ms(state, "draw_ms", draw / n);
  state.counters["alive"] = HeavyAliveTroops();
  state.counters["roster"] = HeavyRosterSize();
  state.counters["objects"] = HeavyObjectCount();
  state.counters["drawn"] = HeavyDrawnObjects();
  state.counters["fill_Mpx"] = HeavyFillMegapixels();
  HeavyBattleStop();
}
BENCHMARK(BM_HeavyBattleFrame)->Arg(1)->Arg(0)->Iterations(300)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

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

}  // namespace

BENCHMARK_MAIN();
