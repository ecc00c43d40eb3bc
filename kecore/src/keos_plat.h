// keos_plat.h - the few OS calls that differ between Linux and Windows, behind the OS layer.
// One file per platform implements them (keos_linux.cpp, keos_windows.cpp), chosen by CMake.
#pragma once

#include <cstddef>

bool PlatLockAcquire(const char* product);  // false: another copy of the game holds it
void PlatLockRelease();
void PlatBeforeVideo();                     // before SDL's video starts: the window class
void PlatAfterContext();                    // once the OpenGL context exists: libraries pinned
bool PlatFolderReadable(const char* path);  // a folder that can be listed and entered
bool PlatEnterFolder(const char* path);
void PlatSleepSeconds(double seconds);      // the real clock, at least this long
double PlatThreadSeconds();                 // processor time this thread has used
// Standard error silenced for a noisy probe: Begin returns a token for End (negative: not silenced).
int PlatQuietBegin();
void PlatQuietEnd(int token);
