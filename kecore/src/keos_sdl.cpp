// keos_sdl.cpp - the OS layer on SDL2: window, context, event translation, clock, message boxes
// and the single-instance lock. Gamepads live in keos_pad.cpp.
#include "keos.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "kekeys.h"
#include "kelog.h"
#include "keos_plat.h"

namespace {

void DefaultMessageBox(const char* text, const char* caption, uint32_t style);

struct OsState {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  bool displayMissing = false;
  bool virtualClock = false;
  uint64_t virtualCounter = 0;
  bool hidden = false;
  OsMessageBoxFn messageBox = DefaultMessageBox;
};
OsState gOs;

const uint64_t kVirtualFrequency = 1000000000ull;  // nanoseconds

// The icon is one value of the style's icon field (0xF0), not a set of bits: the exclamation
// 0x30 contains the error bit 0x10.
Uint32 MessageBoxIcon(uint32_t style) {
  switch (style & 0xF0) {
    case OS_MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
    case OS_MB_ICONEXCLAMATION: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
  }
}

void DefaultMessageBox(const char* text, const char* caption, uint32_t style) {
  SDL_ShowSimpleMessageBox(MessageBoxIcon(style), caption, text, nullptr);
}

// Physical keys to virtual-key numbers, so W A S D stay in place on any layout.
int VirtualKeyFromScancode(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) return '0';
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    default: return 0;
  }
}

void TranslateEvent(const SDL_Event& e, OsMessageFn fn) {
  switch (e.type) {
    case SDL_QUIT:
      fn(OS_WM_DESTROY, 0, 0);
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) fn(OS_WM_DESTROY, 0, 0);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      int vk = VirtualKeyFromScancode(e.key.keysym.scancode);
      if (vk == 0) break;
      bool alt = (e.key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
      uint32_t msg = e.type == SDL_KEYDOWN ? (alt ? OS_WM_SYSKEYDOWN : OS_WM_KEYDOWN)
                                           : (alt ? OS_WM_SYSKEYUP : OS_WM_KEYUP);
      fn(msg, (uint64_t)vk, 0);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      bool down = e.type == SDL_MOUSEBUTTONDOWN;
      if (e.button.button == SDL_BUTTON_LEFT) fn(down ? OS_WM_LBUTTONDOWN : OS_WM_LBUTTONUP, 0, 0);
      if (e.button.button == SDL_BUTTON_RIGHT) fn(down ? OS_WM_RBUTTONDOWN : OS_WM_RBUTTONUP, 0, 0);
      if (e.button.button == SDL_BUTTON_MIDDLE) fn(down ? OS_WM_MBUTTONDOWN : OS_WM_MBUTTONUP, 0, 0);
      break;
    }
    case SDL_MOUSEWHEEL: {
      if (e.wheel.y == 0) break;  // sideways scrolling is another message, not the wheel
      int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      uint16_t delta = (uint16_t)(int16_t)(notches * 120);
      fn(OS_WM_MOUSEWHEEL, (uint64_t)delta << 16, 0);
      break;
    }
    default:
      break;
  }
}

// The drivers that can show a window, in SDL's order: never the invisible ones, and Wayland only
// when a Wayland display is named (without one its library complains on standard error).
void ListVisibleDrivers(char* out, size_t size) {
  out[0] = '\0';
  bool wayland = SDL_getenv("WAYLAND_DISPLAY") != nullptr;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* d = SDL_GetVideoDriver(i);
    bool invisible = !strcmp(d, "offscreen") || !strcmp(d, "dummy") || !strcmp(d, "evdev");
    if (invisible || (!wayland && !strcmp(d, "wayland")))
      continue;
    size_t used = strlen(out);
    snprintf(out + used, size - used, "%s%s", used ? "," : "", d);
  }
}

// A game nobody can see would run for ever, so SDL may not settle for a driver that shows
// nothing; one asked for by name is used as asked. Connecting to the display can fail for a
// moment (seen under Xvfb right after another client left): try a named display again.
bool InitVideo() {
  PlatBeforeVideo();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (!asked || !*asked) {
    char drivers[256];
    ListVisibleDrivers(drivers, sizeof drivers);
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers);
  }
  bool named = SDL_getenv("DISPLAY") || SDL_getenv("WAYLAND_DISPLAY");
  for (int attempt = 0; attempt < (named ? 10 : 1); ++attempt) {
    if (attempt > 0) SDL_Delay(50);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
  }
  return false;
}

// "DISPLAY=:0" or "DISPLAY unset": what the display search had to go on.
void DescribeVariable(const char* name, char* out, size_t size) {
  const char* value = SDL_getenv(name);
  if (value) snprintf(out, size, "%s=%s", name, value);
  else snprintf(out, size, "%s unset", name);
}

void ReportNoDisplay() {
  char x11[128], wayland[128], driver[128];
  DescribeVariable("DISPLAY", x11, sizeof x11);
  DescribeVariable("WAYLAND_DISPLAY", wayland, sizeof wayland);
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (asked && *asked) snprintf(driver, sizeof driver, ", SDL_VIDEODRIVER=%s: %s", asked, SDL_GetError());
  else driver[0] = '\0';
  LogPrint("[os] no display could be opened (tried X11 with %s, Wayland with %s%s)\n", x11,
           wayland, driver);
}

}  // namespace

bool OsInstanceLockAcquire(const char* product) {
  return PlatLockAcquire(product);
}

void OsInstanceLockRelease() {
  PlatLockRelease();
}

void OsEnterDataFolder(const char* installName) {
  char* base = SDL_GetBasePath();
  if (!base) return;
  char candidates[2][1024];  // paths longer than this are not searched
  snprintf(candidates[0], sizeof candidates[0], "%s", base);
  snprintf(candidates[1], sizeof candidates[1], "%s../share/%s/", base, installName);
  SDL_free(base);
  for (const char* dir : candidates) {
    char data[1040];
    if ((size_t)snprintf(data, sizeof data, "%.1024sdata", dir) >= sizeof data) continue;
    if (PlatFolderReadable(data)) {
      if (!PlatEnterFolder(dir)) LogPrint("[os] cannot enter %s\n", dir);
      return;
    }
  }
}

void OsUserFolder(const char* product, char* out, size_t size) {
  out[0] = '\0';
  char* path = SDL_GetPrefPath(nullptr, product);
  if (!path) return;
  snprintf(out, size, "%s", path);
  SDL_free(path);
}

void OsSetWindowHidden(bool hidden) {
  gOs.hidden = hidden;
}

bool OsWindowCreate(const char* title, int x, int y, int clientW, int clientH) {
  // Without this hint SDL reports every pad button as up while the window lacks focus.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (!InitVideo()) {
    gOs.displayMissing = true;
    ReportNoDisplay();
    return false;
  }
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) {
    LogPrint("[os] SDL_Init failed: %s\n", SDL_GetError());
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  Uint32 shown = gOs.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
  gOs.window = SDL_CreateWindow(title, x, y, clientW, clientH, SDL_WINDOW_OPENGL | shown);
  if (!gOs.window) {
    LogPrint("[os] cannot create the window: %s\n", SDL_GetError());
    return false;
  }
  return true;
}

bool OsDisplayMissing() {
  return gOs.displayMissing;
}

void OsWindowFree() {
  OsPadCloseAll();
  if (gOs.context) SDL_GL_DeleteContext(gOs.context);
  if (gOs.window) SDL_DestroyWindow(gOs.window);
  gOs.context = nullptr;
  gOs.window = nullptr;
  SDL_Quit();
}

bool OsGlCreateContext() {
  if (!gOs.window) return false;
  gOs.context = SDL_GL_CreateContext(gOs.window);
  if (!gOs.context) {
    LogPrint("[os] no OpenGL 3.3 core context: %s\n", SDL_GetError());
    return false;
  }
  SDL_GL_MakeCurrent(gOs.window, gOs.context);
  PlatAfterContext();
  return true;
}

void OsGlSwap() {
  if (gOs.window) SDL_GL_SwapWindow(gOs.window);
}

void OsGetClientSize(int* w, int* h) {
  *w = *h = 0;
  if (gOs.window) SDL_GL_GetDrawableSize(gOs.window, w, h);
}

void OsGetWindowPos(int* x, int* y) {
  *x = *y = 0;
  if (gOs.window) SDL_GetWindowPosition(gOs.window, x, y);
}

void OsSetWindowPos(int x, int y) {
  if (gOs.window) SDL_SetWindowPosition(gOs.window, x, y);
}

void OsSetClientSize(int w, int h) {
  if (gOs.window) SDL_SetWindowSize(gOs.window, w, h);
}

void OsSetBordered(bool bordered) {
  if (gOs.window) SDL_SetWindowBordered(gOs.window, bordered ? SDL_TRUE : SDL_FALSE);
}

void OsGetDisplaySize(int* w, int* h) {
  SDL_DisplayMode mode;
  int display = gOs.window ? SDL_GetWindowDisplayIndex(gOs.window) : 0;
  if (display < 0 || SDL_GetDesktopDisplayMode(display, &mode) != 0) {
    *w = 800;
    *h = 600;
    return;
  }
  *w = mode.w;
  *h = mode.h;
}

void OsGetDisplayOrigin(int* x, int* y) {
  SDL_Rect bounds;
  int display = gOs.window ? SDL_GetWindowDisplayIndex(gOs.window) : 0;
  *x = *y = 0;
  if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0) return;
  *x = bounds.x;
  *y = bounds.y;
}

// A window manager may place a window from frame sizes that are stale right after a border
// change; let it process the change, then put the window where it was asked to be.
void OsSettleWindow(int x, int y, int w, int h) {
  if (!gOs.window) return;
  SDL_PumpEvents();
  for (int attempt = 0; attempt < 5; ++attempt) {
    int cx, cy, cw, ch;
    SDL_GetWindowPosition(gOs.window, &cx, &cy);
    SDL_GetWindowSize(gOs.window, &cw, &ch);
    if (cx == x && cy == y && cw == w && ch == h) return;
    SDL_SetWindowSize(gOs.window, w, h);
    SDL_SetWindowPosition(gOs.window, x, y);
    SDL_PumpEvents();
    if (!gOs.virtualClock) SDL_Delay(10);
  }
}

bool OsIsMinimised() {
  if (gOs.hidden) return false;
  return gOs.window && (SDL_GetWindowFlags(gOs.window) & SDL_WINDOW_MINIMIZED) != 0;
}

bool OsHasFocus() {
  if (gOs.hidden) return gOs.window != nullptr;
  return gOs.window && (SDL_GetWindowFlags(gOs.window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void OsMinimise() {
  if (gOs.window) SDL_MinimizeWindow(gOs.window);
}

void OsRestore() {
  if (gOs.window) SDL_RestoreWindow(gOs.window);
}

void OsShowCursor(bool show) {
  SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void OsSetWindowIcon(int w, int h, const uint8_t* rgba) {
  if (!gOs.window || !rgba) return;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom((void*)rgba, w, h, 32, w * 4, SDL_PIXELFORMAT_RGBA32);
  if (!s) return;
  SDL_SetWindowIcon(gOs.window, s);
  SDL_FreeSurface(s);
}

void OsPumpMessages(OsMessageFn fn) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) TranslateEvent(e, fn);
}

// While the pointer is over the window SDL's own position is exact. Once it leaves, SDL keeps
// the last point at the window's edge, so ask where the desktop pointer is instead.
void OsGetMouseState(int* x, int* y) {
  if (!gOs.window || SDL_GetMouseFocus() == gOs.window) {
    SDL_GetMouseState(x, y);
    return;
  }
  int gx = 0, gy = 0, wx = 0, wy = 0;
  SDL_GetGlobalMouseState(&gx, &gy);
  SDL_GetWindowPosition(gOs.window, &wx, &wy);
  *x = gx - wx;
  *y = gy - wy;
}

bool OsIsCapsLockOn() {
  return (SDL_GetModState() & KMOD_CAPS) != 0;
}

uint64_t OsClockCounter() {
  return gOs.virtualClock ? gOs.virtualCounter : SDL_GetPerformanceCounter();
}

uint64_t OsClockFrequency() {
  return gOs.virtualClock ? kVirtualFrequency : SDL_GetPerformanceFrequency();
}

void OsClockSetVirtual(bool on) {
  gOs.virtualClock = on;
}

bool OsClockIsVirtual() {
  return gOs.virtualClock;
}

void OsClockAdvance(double seconds) {
  if (gOs.virtualClock && seconds > 0) gOs.virtualCounter += (uint64_t)std::ceil(seconds * kVirtualFrequency);
}

void OsSleepSeconds(double seconds) {
  if (seconds <= 0) return;
  if (gOs.virtualClock) {
    OsClockAdvance(seconds);
    return;
  }
  PlatSleepSeconds(seconds);
}

double OsThreadSeconds() {
  return PlatThreadSeconds();
}

// The line on standard error always; the box only where someone can see and close it: a run
// with a hidden window would wait for ever on a box nobody clicks.
void OsMessageBox(const char* text, const char* caption, uint32_t style) {
  LogPrint("[os] %s: %s\n", caption, text);
  if (!gOs.hidden) gOs.messageBox(text, caption, style);
}

OsMessageBoxFn OsSetMessageBoxHook(OsMessageBoxFn fn) {
  OsMessageBoxFn old = gOs.messageBox;
  gOs.messageBox = fn ? fn : DefaultMessageBox;
  return old;
}
