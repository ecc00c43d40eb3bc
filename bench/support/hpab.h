// hpab.h - A/B runs for the benchmarks: the same frames with the renderer's fill paths on and
// with some of them off, frame by frame in turn, so a shared machine's load falls on both alike.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdint>

// Each iteration runs one frame, alternately with every fill path on ("on") and with the paths in
// `off` turned off ("off"). Reports wall and process CPU per frame of both and the saving; with
// `peer`, SDL_Renderer replays its recorded list after each frame (untimed) and both get a vs_sdl.
void BenchFillAB(benchmark::State& state, uint32_t off, bool (*frame)(), bool peer = false);
