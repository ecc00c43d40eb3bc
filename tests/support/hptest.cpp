// hptest.cpp - the test support layer over the real engine, SDL's event queue and the GPU.
#include "hptest.h"

#include <SDL.h>
#include <imgui.h>
#include <stb_image_write.h>

#include <dlfcn.h>

#include <cstdio>

#include "kegraphics.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "game.h"
#include "framework/gameobject.h"
#include "screens/screen.h"

namespace {

struct TestState {
  std::vector<CapturedMessageBox> boxes;
  bool capture = false;
  std::vector<uint8_t> frame;  // RGBA, bottom row first
  int frameW = 0, frameH = 0;
};
TestState gTest;

void CaptureBox(const char* text, const char* caption, uint32_t style) {
  gTest.boxes.push_back({text ? text : "", caption ? caption : "", style});
}

void GrabFrame() {
  if (!gTest.capture) return;
  OsGetClientSize(&gTest.frameW, &gTest.frameH);
  gTest.frame.resize((size_t)gTest.frameW * gTest.frameH * 4);
  GfxReadPixels(0, 0, gTest.frameW, gTest.frameH, gTest.frame.data());
}

SDL_Scancode ScancodeFromVk(int vk) {
  if (vk >= 'A' && vk <= 'Z') return (SDL_Scancode)(SDL_SCANCODE_A + (vk - 'A'));
  if (vk >= '1' && vk <= '9') return (SDL_Scancode)(SDL_SCANCODE_1 + (vk - '1'));
  if (vk == '0') return SDL_SCANCODE_0;
  if (vk >= VK_F1 && vk <= VK_F12) return (SDL_Scancode)(SDL_SCANCODE_F1 + (vk - VK_F1));
  if (vk == VK_NUMPAD0) return SDL_SCANCODE_KP_0;
  if (vk > VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return (SDL_Scancode)(SDL_SCANCODE_KP_1 + (vk - VK_NUMPAD0 - 1));
  switch (vk) {
    case VK_LEFT: return SDL_SCANCODE_LEFT;
    case VK_UP: return SDL_SCANCODE_UP;
    case VK_RIGHT: return SDL_SCANCODE_RIGHT;
    case VK_DOWN: return SDL_SCANCODE_DOWN;
    case VK_ESCAPE: return SDL_SCANCODE_ESCAPE;
    case VK_RETURN: return SDL_SCANCODE_RETURN;
    case VK_SPACE: return SDL_SCANCODE_SPACE;
    case VK_TAB: return SDL_SCANCODE_TAB;
    case VK_BACK: return SDL_SCANCODE_BACKSPACE;
    case VK_DELETE: return SDL_SCANCODE_DELETE;
    case VK_SHIFT: return SDL_SCANCODE_LSHIFT;
    case VK_CONTROL: return SDL_SCANCODE_LCTRL;
    case VK_MENU: return SDL_SCANCODE_LALT;
    case VK_CAPITAL: return SDL_SCANCODE_CAPSLOCK;
    case VK_OEM_1: return SDL_SCANCODE_SEMICOLON;
    case VK_OEM_PLUS: return SDL_SCANCODE_EQUALS;
    case VK_OEM_COMMA: return SDL_SCANCODE_COMMA;
    case VK_OEM_MINUS: return SDL_SCANCODE_MINUS;
    case VK_OEM_PERIOD: return SDL_SCANCODE_PERIOD;
    default: return SDL_SCANCODE_UNKNOWN;
  }
}

void PushKey(int vk, bool down, bool alt) {
  SDL_Event e = {};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = ScancodeFromVk(vk);
  e.key.keysym.sym = SDL_GetKeyFromScancode(e.key.keysym.scancode);
  e.key.keysym.mod = alt ? KMOD_LALT : KMOD_NONE;
  SDL_PushEvent(&e);
}

}  // namespace

// The GL driver is unloaded when SDL shuts down; keep it mapped so leak reports from inside it
// still name it (and the suppressions for system libraries apply).
void KeepDriverLoaded() {
  static bool done = false;
  if (done) return;
  done = true;
  dlopen("libGLX_mesa.so.0", RTLD_NOW | RTLD_NODELETE);
  dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
  const char* libs[] = {"libdbus-1.so.3", "libX11.so.6", "libX11-xcb.so.1", "libxcb.so.1",
                        "libXext.so.6", "libXcursor.so.1", "libXi.so.6", "libXrandr.so.2",
                        "libXss.so.1", "libXfixes.so.3", "libXrender.so.1", "libXxf86vm.so.1"};
  for (const char* lib : libs) dlopen(lib, RTLD_NOW | RTLD_NODELETE);
}


bool TestEngineStart(int w, int h, bool fullscreen) {
  KeepDriverLoaded();
  OsClockSetVirtual(true);
  OsSetMessageBoxHook(CaptureBox);
  gTest.boxes.clear();
  GsmReset();
  // Tests may run states of their own under the game's ids: they get the game's lists and flags.
  ScreenUseTable(GameScreens(), kGameScreenCount);
  if (!SysInit("Hollow Pikes")) return false;
  SysSetBeforeSwapHook(GrabFrame);
  // Test programs run side by side in one folder: keep Dear ImGui off the shared imgui.ini.
  ImGui::GetIO().IniFilename = nullptr;
  if (!fullscreen) {
    SysSetFullscreen(false);
    SysSetWindowSize(w, h);
  }
  return true;
}

void TestEngineStop() {
  SysSetBeforeSwapHook(nullptr);
  SysShutdown();
  GsmReset();
  gTest.capture = false;
}

std::vector<CapturedMessageBox>& TestMessageBoxes() {
  return gTest.boxes;
}

void TestRunState(GameStateId id, GsmCallback load, GsmCallback init, GsmCallback update,
                  GsmCallback draw, GsmCallback free, GsmCallback unload) {
  GsmAddState(id, load, init, update, draw, free, unload);
  GsmInit(id);
}

bool TestStep(int frames) {
  for (int i = 0; i < frames; ++i)
    if (!GsmStep()) return false;
  return true;
}

void TestKeyDown(int vk, bool alt) { PushKey(vk, true, alt); }
void TestKeyUp(int vk, bool alt) { PushKey(vk, false, alt); }

void TestPushQuit() {
  SDL_Event e = {};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
}

void TestCaptureFrames(bool on) {
  gTest.capture = on;
}

uint32_t TestPixel(int x, int y) {
  if (x < 0 || y < 0 || x >= gTest.frameW || y >= gTest.frameH) return 0;
  const uint8_t* p = &gTest.frame[((size_t)(gTest.frameH - 1 - y) * gTest.frameW + x) * 4];
  return (uint32_t)p[3] << 24 | (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
}

int TestFrameWidth() { return gTest.frameW; }
int TestFrameHeight() { return gTest.frameH; }

bool TestSaveFrame(const std::string& path) {
  if (gTest.frame.empty()) return false;
  stbi_flip_vertically_on_write(1);
  return stbi_write_png(path.c_str(), gTest.frameW, gTest.frameH, 4, gTest.frame.data(), gTest.frameW * 4) != 0;
}
