// hppeer.h - the SDL_Renderer peer: records the draw list of each of our frames (texture, the
// quad's screen corners, which carry its rectangle, rotation and mirroring, tint and blend mode,
// in order) and replays it through SDL_Renderer in a second window of the same size.
#pragma once
#include <benchmark/benchmark.h>

// A second window, full screen's size or 800x600, with SDL_Renderer (OpenGL back end, linear
// filtering). The game's context stays current afterwards.
bool PeerOpen(bool fullscreen);
// Runs one of our frames, recording its list while the peer is open, and adds its wall and
// process CPU seconds (what recording cost taken out) to *wall and *cpu. Every frame is recorded
// because the game's frames differ: a list kept from one frame would be replayed against others.
bool PeerFrame(bool (*frame)(), double* wall, double* cpu);
// Clears, replays the last recorded frame's list (its new pictures uploaded first, at their own
// sizes, untimed) and presents; returns the wall seconds it took, and adds the process CPU
// seconds (llvmpipe's threads included) to *cpu if given.
double PeerReplay(double* cpu = nullptr);
// What recording has cost the frame being run so far (the game's thread, seconds), for
// figures taken within the frame.
double PeerRecordingSeconds();
// The draws of a replayed frame, on average.
double PeerDrawsPerFrame();
void PeerClose();

// Each iteration runs one of our frames (timed), then the peer's replay of it (untimed); reports
// our wall and process CPU per frame, SDL_Renderer's wall, and vs_sdl in wall and in CPU.
void PeerCompare(benchmark::State& state, bool (*frame)(), bool peer);
