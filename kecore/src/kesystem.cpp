// kesystem.cpp - start-up and shut-down of the engine's platform side, the two halves of a
// frame with the 60 Hz pacing, the window procedure and the full-screen/windowed modes.
#include "kesystem.h"

#include <stb_image.h>

#include <cstdio>

#include "kegraphics.h"
#include "keinput.h"
#include "kelog.h"
#include "keos.h"

namespace {

struct SysState {
  const char* title = "Kiln Engine";
  int width = 800, height = 600;           // requested client size
  bool running = false;
  double targetFrameRate = 60.0;
  double targetFrameTime = 1.0 / 60.0;
  double frameRate = 60.0;
  double frameTime = 1.0 / 60.0;
  uint32_t frameCount = 0;
  double frameStart = 0, frameEnd = 0;
  bool fullscreen = false;
  bool headless = false;
  bool fixedFrameTime = false;
  int savedWidth = 800, savedHeight = 600, savedX = 100, savedY = 100;
  void (*beforeSwap)() = nullptr;
  void (*frameWait)(double seconds) = nullptr;
};
SysState gSys;

void ResetFrameTiming() {
  gSys.targetFrameRate = 60.0;
  gSys.targetFrameTime = 1.0 / 60.0;
  gSys.frameRate = 60.0;
  gSys.frameTime = 1.0 / 60.0;
  gSys.frameCount = 0;
}

// Sleeps to the frame's end (the virtual clock just advances there); a wake-up a hair early (the
// sleep's clock and ours may differ by parts per million) sleeps again for the rest, so a frame
// is never shorter than its target. A spin for the last stretch would cost a tenth of a core and
// gain well under a millisecond.
void WaitForFrameEnd() {
  for (;;) {
    gSys.frameEnd = SysGetTime();
    double remaining = gSys.targetFrameTime - (gSys.frameEnd - gSys.frameStart);
    if (remaining <= 0) return;
    if (gSys.frameWait && !OsClockIsVirtual()) gSys.frameWait(remaining);
    else OsSleepSeconds(remaining);
  }
}

void PumpMessage(uint32_t msg, uint64_t wparam, int64_t lparam) {
  SysWindowProc(msg, wparam, lparam);
}

}  // namespace

double SysGetTime() {
  uint64_t f = OsClockFrequency(), c = OsClockCounter();
  return (double)(c / f) + (double)(c % f) / (double)f;
}

double SysThreadSeconds() { return OsThreadSeconds(); }

bool SysInstanceLockAcquire(const char* product) { return OsInstanceLockAcquire(product); }
void SysInstanceLockRelease() { OsInstanceLockRelease(); }
void SysEnterDataFolder(const char* installName) { OsEnterDataFolder(installName); }
bool SysDisplayMissing() { return OsDisplayMissing(); }
void SysUserFolder(const char* product, char* out, size_t size) { OsUserFolder(product, out, size); }

bool SysIsHeadless() { return gSys.headless; }

void SysSetHeadless(bool on) {
  gSys.headless = on;
  OsSetWindowHidden(on);
  OsClockSetVirtual(on);
  GfxTextureSetSizesOnly(on);
}

bool SysInit(const char* title) {
  gSys.title = title;
  gSys.width = 800;
  gSys.height = 600;
  gSys.fullscreen = false;
  if (!OsWindowCreate(gSys.title, 100, 100, gSys.width, gSys.height)) return false;
  gSys.running = true;
  OsShowCursor(false);  // hidden for the whole run
  if (!GfxInit()) return false;
  InputClearKeys();
  InputReset();
  ResetFrameTiming();
  if (gSys.headless) return true;
  SysSetFullscreen(true);
  // The OpenGL driver may take up a new window size only at a swap: present one cleared frame,
  // so the first real one is drawn at the full-screen size and not cut to 800 by 600.
  GfxClear();
  OsGlSwap();
  return true;
}

bool SysSetIcon(const char* path) {
  int w, h, n;
  unsigned char* rgba = stbi_load(path, &w, &h, &n, 4);
  if (!rgba) {
    LogPrint("[sys] no icon in %s\n", path);
    return false;
  }
  OsSetWindowIcon(w, h, rgba);
  stbi_image_free(rgba);
  return true;
}

bool SysShutdown() {
  bool clean = GfxShutdown();
  InputReset();
  OsWindowFree();
  gSys.running = false;
  return clean;
}

void SysFrameStart() {
  gSys.frameStart = SysGetTime();
  GfxFrameReset();
  if (!gSys.headless) GfxClear();
  GfxImGuiNewFrame(gSys.frameTime, gSys.width, gSys.height);
  int w, h;
  OsGetClientSize(&w, &h);
  GfxSetCameraBounds((float)w, (float)h);
  GfxUpdateProjection();
  float left, right, bottom, top;
  GfxGetCameraBounds(&left, &right, &bottom, &top);
  GfxSetViewport((int)(right - left), (int)(top - bottom));
  OsPumpMessages(PumpMessage);
  InputUpdate(gSys.frameTime, gSys.width, gSys.height);
}

void SysFrameEnd() {
  if (!gSys.headless) GfxFrameFinish();
  GfxFlushDebugLines();
  GfxImGuiRender();
  if (gSys.beforeSwap) gSys.beforeSwap();
  if (!gSys.headless) OsGlSwap();
  WaitForFrameEnd();
  double dt = gSys.frameEnd - gSys.frameStart;
  gSys.frameRate = 1.0 / dt;
  gSys.frameCount += 1;
  gSys.frameTime = dt;
}

void SysSetFrameWaitHook(void (*wait)(double seconds)) {
  gSys.frameWait = wait;
}

void SysSetBeforeSwapHook(void (*fn)()) {
  gSys.beforeSwap = fn;
}

int64_t SysWindowProc(uint32_t msg, uint64_t wparam, int64_t lparam) {
  (void)lparam;
  switch (msg) {
    case OS_WM_DESTROY:
      gSys.running = false;
      return 0;
    case OS_WM_KEYDOWN:
    case OS_WM_SYSKEYDOWN:
      InputSetKey(wparam == VK_MENU ? KEY_ALT : (int)(wparam & 0xFF), 1);
      return 0;
    case OS_WM_KEYUP:
    case OS_WM_SYSKEYUP:
      InputSetKey(wparam == VK_MENU ? KEY_ALT : (int)(wparam & 0xFF), 0);
      return 0;
    case OS_WM_LBUTTONDOWN: InputSetMouseButton(0, 1); return 0;
    case OS_WM_LBUTTONUP: InputSetMouseButton(0, 0); return 0;
    case OS_WM_RBUTTONDOWN: InputSetMouseButton(1, 1); return 0;
    case OS_WM_RBUTTONUP: InputSetMouseButton(1, 0); return 0;
    case OS_WM_MBUTTONDOWN: InputSetMouseButton(2, 1); return 0;
    case OS_WM_MBUTTONUP: InputSetMouseButton(2, 0); return 0;
    case OS_WM_MOUSEWHEEL:
      InputSetMouseWheel((float)(int16_t)((wparam >> 16) & 0xFFFF) / 120.0f);
      return 0;
    default:
      return 0;
  }
}

double SysGetFrameTime() { return gSys.fixedFrameTime ? gSys.targetFrameTime : gSys.frameTime; }
double SysGetFrameRate() { return gSys.fixedFrameTime ? 1.0 / gSys.targetFrameTime : gSys.frameRate; }
void SysSetFrameTimeFixed(bool on) { gSys.fixedFrameTime = on; }
uint32_t SysGetFrameCount() { return gSys.frameCount; }
bool SysIsRunning() { return gSys.running; }
int SysGetWindowWidth() { return gSys.width; }
int SysGetWindowHeight() { return gSys.height; }
const char* SysGetWindowTitle() { return gSys.title; }

void SysFrameRateLimit(double fps) {
  gSys.targetFrameRate = fps;
}

void SysSetFullscreen(bool on) {
  if (on == gSys.fullscreen) return;
  gSys.fullscreen = on;
  // The display the window is on, which need not be the first: read before anything moves.
  int sw, sh, x, y;
  OsGetDisplaySize(&sw, &sh);
  OsGetDisplayOrigin(&x, &y);
  if (on) {
    gSys.savedWidth = gSys.width;
    gSys.savedHeight = gSys.height;
    OsGetWindowPos(&gSys.savedX, &gSys.savedY);
    OsSetBordered(false);
    SysSetWindowSize(sw, sh);
  } else {
    OsSetBordered(true);
    SysSetWindowSize(gSys.savedWidth, gSys.savedHeight);
    x = gSys.savedX;
    y = gSys.savedY;
  }
  OsSetWindowPos(x, y);
  OsSettleWindow(x, y, gSys.width, gSys.height);
}

void SysSetWindowSize(int w, int h) {
  if (w == gSys.width && h == gSys.height) return;
  gSys.width = w;
  gSys.height = h;
  OsSetClientSize(w, h);
  int cw, ch;
  OsGetClientSize(&cw, &ch);
  GfxSetCameraBounds((float)cw, (float)ch);
  GfxSetViewport(cw, ch);  // the rest of this frame draws at the new size too
}

bool SysIsFullscreen() {
  return gSys.fullscreen;
}

bool SysIsMinimised() { return OsIsMinimised(); }
bool SysHasFocus() { return OsHasFocus(); }
void SysMinimise() { OsMinimise(); }
void SysGetDisplaySize(int* w, int* h) { OsGetDisplaySize(w, h); }
