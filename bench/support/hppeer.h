// hppeer.h - the SDL_Renderer peer: records the draw list of one of our frames (texture, the
// quad's screen corners, which carry its rectangle, rotation and mirroring, tint and blend mode,
// in order) and replays it through SDL_Renderer in a second window of the same size.
#pragma once
#include <benchmark/benchmark.h>

// Recording covers the frames run between Start and Stop (run exactly one).
void PeerRecordStart();
void PeerRecordStop();
int PeerRecordedDraws();

// A second window of w by h with SDL_Renderer (OpenGL back end, linear filtering) and the
// recorded pictures uploaded at their own sizes. The game's context stays current afterwards.
bool PeerOpen(int w, int h);
// Clears, replays the recorded list and presents; returns the wall seconds it took, and adds the
// process CPU seconds (llvmpipe's threads included) to *cpu if given.
double PeerReplay(double* cpu = nullptr);
void PeerClose();

// Records the list of one frame run by `frame`, then opens the peer at full screen or at 800x600.
bool PeerRecordAndOpen(bool (*frame)(), bool fullscreen);
// Each iteration runs one of our frames (timed), then the peer's replay (untimed); reports our
// wall and process CPU per frame, SDL_Renderer's wall, and vs_sdl in wall and in CPU.
void PeerCompare(benchmark::State& state, bool (*frame)(), bool peer);
