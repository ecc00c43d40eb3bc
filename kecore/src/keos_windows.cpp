// keos_windows.cpp - the OS layer's Windows calls: the named mutex, the window class and icon
// resource, folders by their UTF-8 names, sleeping, and the debugger's channel.
#define SDL_MAIN_HANDLED  // main() is the game's own; SDL is told below that it may start
#include <SDL.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "kelog.h"
#include "keos_plat.h"

namespace {

const int kIconResource = 101;  // the executable's icon, compiled in from its resource file

struct WindowsState {
  HANDLE mutex = nullptr;
  bool timerFine = false;
};
WindowsState gWin;

// SDL hands out UTF-8; Windows' own wide calls take any folder name a player may unzip into.
std::wstring Wide(const char* utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out((size_t)n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &out[0], n);
  out.resize((size_t)n - 1);
  return out;
}

}  // namespace

// The named mutex is Windows' own answer: a second copy sees it exists and steps aside.
bool PlatLockAcquire(const char* product) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, product);
  if (!mutex) {
    LogPrint("[os] cannot create the instance mutex (error %lu); starting anyway\n", GetLastError());
    return true;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  gWin.mutex = mutex;
  return true;
}

void PlatLockRelease() {
  if (!gWin.mutex) return;
  CloseHandle(gWin.mutex);
  gWin.mutex = nullptr;
}

// The window class is registered under the game's own name, with the icon resource on it.
void PlatBeforeVideo() {
  SDL_SetMainReady();
  char icon[16];
  snprintf(icon, sizeof icon, "%d", kIconResource);
  SDL_SetHint(SDL_HINT_WINDOWS_INTRESOURCE_ICON, icon);
  SDL_SetHint(SDL_HINT_WINDOWS_INTRESOURCE_ICON_SMALL, icon);
  if (SDL_RegisterApp("Window Class", CS_BYTEALIGNCLIENT | CS_OWNDC, GetModuleHandleA(nullptr)) != 0)
    LogPrint("[os] cannot register the window class: %s\n", SDL_GetError());
}

// The XInput DLL that SDL loaded for the pads stays mapped until the process ends. Wine's XInput
// runs a thread of its own that can still be inside the DLL when SDL unloads it at shut-down, and
// it then crashes on the unmapped code; pinning costs nothing on Windows itself.
void PlatAfterContext() {
  for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, name, &module);
  }
}

bool PlatFolderReadable(const char* path) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PlatEnterFolder(const char* path) {
  return SetCurrentDirectoryW(Wide(path).c_str()) != 0;
}

// Sleep() rounds to the system tick (15.6 ms unless asked for 1 ms), which would make every frame
// late; the frame pacing spins the last two milliseconds itself.
void PlatSleepSeconds(double seconds) {
  if (!gWin.timerFine) gWin.timerFine = timeBeginPeriod(1) == TIMERR_NOERROR;
  DWORD ms = (DWORD)(seconds * 1000.0);
  Sleep(ms);
}

double PlatThreadSeconds() {
  FILETIME created, ended, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user)) return 0.0;
  auto ticks = [](FILETIME t) { return ((unsigned long long)t.dwHighDateTime << 32) | t.dwLowDateTime; };
  return (double)(ticks(kernel) + ticks(user)) * 1e-7;  // 100 ns units
}

void LogDebugChannel(const char* text) {
  OutputDebugStringA(text);
}

// A program without a console may have no standard error at all: then there is nothing to quiet.
int PlatQuietBegin() {
  fflush(stderr);
  int saved = _dup(2);
  if (saved < 0) return -1;
  int null = _open("NUL", _O_WRONLY);
  bool quiet = null >= 0 && _dup2(null, 2) == 0;
  if (null >= 0) _close(null);
  if (!quiet) {
    _close(saved);
    return -1;
  }
  return saved;
}

void PlatQuietEnd(int token) {
  if (token < 0) return;
  fflush(stderr);
  _dup2(token, 2);
  _close(token);
}
