// hpab.cpp - alternating A/B frames over the renderer's fill paths, with wall and CPU per frame.
#include "hpab.h"

#include "hpbench.h"
#include "hppeer.h"
#include "kegraphics.h"

void BenchFillAB(benchmark::State& state, uint32_t off, bool (*frame)(), bool peer) {
  double wall[2] = {0, 0}, cpu[2] = {0, 0}, sdl = 0, sdlCpu = 0;
  int n[2] = {0, 0}, i = 0;
  for (auto _ : state) {
    int k = i++ & 1;
    GfxSetFillPaths(k ? GFX_FILL_ALL & ~off : GFX_FILL_ALL);
    double w0 = BenchWall(), c0 = BenchProcessCpu();
    if (!frame()) {
      state.SkipWithError("the screen ended");
      break;
    }
    wall[k] += BenchWall() - w0;
    cpu[k] += BenchProcessCpu() - c0;
    ++n[k];
    if (!peer) continue;
    state.PauseTiming();
    sdl += PeerReplay(&sdlCpu);
    state.ResumeTiming();
  }
  GfxSetFillPaths(GFX_FILL_ALL);
  if (n[0] == 0 || n[1] == 0) return;
  state.counters["on_ms"] = wall[0] / n[0] * 1e3;
  state.counters["off_ms"] = wall[1] / n[1] * 1e3;
  state.counters["on_cpu_ms"] = cpu[0] / n[0] * 1e3;
  state.counters["off_cpu_ms"] = cpu[1] / n[1] * 1e3;
  state.counters["saved_pct"] = (1 - (wall[0] / n[0]) / (wall[1] / n[1])) * 100;
  if (!peer) return;
  double sdlFrame = sdl / (n[0] + n[1]);
  state.counters["sdl_ms"] = sdlFrame * 1e3;
  state.counters["on_vs_sdl"] = wall[0] / n[0] / sdlFrame;
  state.counters["off_vs_sdl"] = wall[1] / n[1] / sdlFrame;
  double sdlCpuFrame = sdlCpu / (n[0] + n[1]);
  state.counters["on_vs_sdl_cpu"] = cpu[0] / n[0] / sdlCpuFrame;
  state.counters["off_vs_sdl_cpu"] = cpu[1] / n[1] / sdlCpuFrame;
}
