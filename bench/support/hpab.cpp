// hpab.cpp - alternating A/B frames over the renderer's fill paths, with wall and CPU per frame.
#include "hpab.h"

#include "hpbench.h"
#include "hppeer.h"
#include "kegraphics.h"
#include "keos.h"
#include "kesystem.h"

#include <stb_image_write.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string gShotPath;  // where the next frame's picture goes, empty for none

// Before the swap, which leaves the back buffer undefined.
void SaveFrame() {
  SysSetBeforeSwapHook(nullptr);
  int w = 0, h = 0;
  OsGetClientSize(&w, &h);
  std::vector<uint8_t> rgba((size_t)w * h * 4);
  GfxReadPixels(0, 0, w, h, rgba.data());
  stbi_flip_vertically_on_write(1);
  stbi_write_png(gShotPath.c_str(), w, h, 4, rgba.data(), w * 4);
  stbi_flip_vertically_on_write(0);
}

// HP_BENCH_SHOT=prefix keeps the first frame of each half as prefix-on.png and prefix-off.png
// (those two frames then carry the picture's cost: take figures from a run without it).
void ShootNext(int k) {
  const char* prefix = getenv("HP_BENCH_SHOT");
  if (!prefix) return;
  gShotPath = std::string(prefix) + (k ? "-off.png" : "-on.png");
  SysSetBeforeSwapHook(SaveFrame);
}

}  // namespace

void BenchFillAB(benchmark::State& state, uint32_t off, bool (*frame)(), bool peer) {
  double wall[2] = {0, 0}, cpu[2] = {0, 0}, sdl = 0, sdlCpu = 0;
  int n[2] = {0, 0}, i = 0;
  for (auto _ : state) {
    int k = i++ & 1;
    GfxSetFillPaths(k ? GFX_FILL_ALL & ~off : GFX_FILL_ALL);
    if (i <= 2) ShootNext(k);
    if (!PeerFrame(frame, &wall[k], &cpu[k])) {
      state.SkipWithError("the screen ended");
      break;
    }
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
