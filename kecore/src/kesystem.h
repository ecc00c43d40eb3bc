// kesystem.h - the engine's platform side: start-up and shut-down of the window and renderer,
// the two halves of a frame with its 60 Hz pacing, the window procedure and window modes.
#pragma once
#include <cstddef>
#include <cstdint>

// Single instance: false while another copy of the product runs. The lock is held until released
// (or the process ends).
bool SysInstanceLockAcquire(const char* product);
void SysInstanceLockRelease();
// Makes the folder that holds data/ the working directory: beside the executable, or the
// installed share/<installName>; otherwise the working directory stays.
void SysEnterDataFolder(const char* installName);

// Before SysInit: a run nobody watches. The window is never shown and stays at its first size,
// time runs on the virtual clock (every frame exactly 1/60 s, no sleeping), pictures are not
// decoded (their sizes are read), screens are not drawn and frames neither cleared nor
// presented, and a message box is only its line on standard error.
void SysSetHeadless(bool on);
bool SysIsHeadless();
// Window, hidden cursor, renderer, input, frame timing, then full screen; false on failure.
bool SysInit(const char* title);
// After a failed SysInit: it failed for want of a display to open.
bool SysDisplayMissing();
// Shut-down: leak report and release of graphics resources, rumble stopped, window closed.
// False when graphics resources were left for it to release (the leak report was given).
bool SysShutdown();
// The window's small icon from a picture file; false (and the default icon) if it cannot be read.
bool SysSetIcon(const char* path);

void SysFrameStart();
void SysFrameEnd();
// Called in place of the sleep to each frame's end while the clock is real (null: the plain
// sleep), with the seconds left; it may return a little early and is then called again.
void SysSetFrameWaitHook(void (*wait)(double seconds));
// Called at the end of every frame before the swap, while the back buffer holds the frame
// (screenshots and tests read it there). Null removes it.
void SysSetBeforeSwapHook(void (*fn)());

// Window procedure: records key and button transitions; a destroyed window stops the run.
int64_t SysWindowProc(uint32_t msg, uint64_t wparam, int64_t lparam);

double SysGetFrameTime();
double SysGetFrameRate();
// While on, the two above answer the target frame time and rate instead of the measured ones:
// a simulation two machines run in step must not read the clock.
void SysSetFrameTimeFixed(bool on);
uint32_t SysGetFrameCount();
void SysFrameRateLimit(double fps);
bool SysIsRunning();
int SysGetWindowWidth();
int SysGetWindowHeight();
const char* SysGetWindowTitle();

// Seconds from the performance counter, exact for large counts.
double SysGetTime();
// Processor seconds the game's thread has used (waits and sleeps do not count).
double SysThreadSeconds();

// A folder of the player's own for files the game writes (created if missing, ends in a slash);
// empty when there is none.
void SysUserFolder(const char* product, char* out, size_t size);

// Window modes.
void SysSetFullscreen(bool on);
void SysSetWindowSize(int w, int h);
bool SysIsFullscreen();

// Window state the screens read every frame, and the size full screen takes.
bool SysIsMinimised();
bool SysHasFocus();
void SysMinimise();
void SysGetDisplaySize(int* w, int* h);
