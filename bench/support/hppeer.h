// hppeer.h - the SDL_Renderer peer: records the draw list of one of our frames (texture, the
// quad's screen corners, which carry its rectangle, rotation and mirroring, tint and blend mode,
// in order) and replays it through SDL_Renderer in a second window of the same size.
#pragma once

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
