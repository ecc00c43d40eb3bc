// kegraphicsogl_imgui.cpp - the Dear ImGui debug layer: its input record filled from the engine's
// keys and mouse every frame, new frame and render through its OpenGL 3 renderer.
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include <cstdio>

#include "kegraphics.h"
#include "keinput.h"
#include "kelog.h"
#include "keos.h"

namespace {

struct ImGuiGlue {
  bool ready = false;  // context and renderer made
};
ImGuiGlue gImGui;

// The engine's key slots hold virtual-key numbers, so the map names those.
void FillKeyMap(ImGuiIO& io) {
  io.KeyMap[ImGuiKey_Tab] = VK_TAB;
  io.KeyMap[ImGuiKey_LeftArrow] = VK_LEFT;
  io.KeyMap[ImGuiKey_RightArrow] = VK_RIGHT;
  io.KeyMap[ImGuiKey_UpArrow] = VK_UP;
  io.KeyMap[ImGuiKey_DownArrow] = VK_DOWN;
  io.KeyMap[ImGuiKey_PageUp] = VK_PRIOR;
  io.KeyMap[ImGuiKey_PageDown] = VK_NEXT;
  io.KeyMap[ImGuiKey_Home] = VK_HOME;
  io.KeyMap[ImGuiKey_End] = VK_END;
  io.KeyMap[ImGuiKey_Delete] = VK_DELETE;
  io.KeyMap[ImGuiKey_Backspace] = VK_BACK;
  io.KeyMap[ImGuiKey_Enter] = VK_RETURN;
  io.KeyMap[ImGuiKey_Escape] = VK_ESCAPE;
  io.KeyMap[ImGuiKey_A] = 'A';
  io.KeyMap[ImGuiKey_C] = 'C';
  io.KeyMap[ImGuiKey_V] = 'V';
  io.KeyMap[ImGuiKey_X] = 'X';
  io.KeyMap[ImGuiKey_Y] = 'Y';
  io.KeyMap[ImGuiKey_Z] = 'Z';
}

// The character a key pressed this frame types, or 0 for keys that type nothing.
unsigned TypedChar(int slot, bool capitals) {
  if (slot == 0 || slot == VK_BACK || slot == VK_DELETE) return 0;
  if (slot >= VK_LEFT && slot <= VK_DOWN) return 0;
  switch (slot) {
    case VK_OEM_1: return ';';
    case VK_OEM_PLUS: return '+';
    case VK_OEM_COMMA: return ',';
    case VK_OEM_MINUS: return '-';
    case VK_OEM_PERIOD: return '.';
  }
  if (slot >= 'A' && slot <= 'Z') return capitals ? (unsigned)slot : (unsigned)(slot - 'A' + 'a');
  if (slot >= VK_NUMPAD0 && slot <= VK_NUMPAD0 + 9) return (unsigned)('0' + slot - VK_NUMPAD0);
  return (unsigned)slot;  // digits, space, and control codes such as Enter
}

void FeedKeys(ImGuiIO& io) {
  for (int slot = 0; slot < 256; ++slot) io.KeysDown[slot] = InputGetKeyValue(slot) != 0;
  io.KeyCtrl = InputGetKeyValue(VK_CONTROL) != 0;
  io.KeyShift = InputGetKeyValue(VK_SHIFT) != 0;
  io.KeyAlt = false;
  io.KeySuper = false;
  // Caps Lock counts only while toggled on and not held, as the desktop key state reports it.
  bool caps = OsIsCapsLockOn() && InputGetKeyValue(VK_CAPITAL) == 0;
  for (int slot = 0; slot < 256; ++slot) {
    if (InputGetKeyValue(slot) != 2) continue;
    unsigned c = TypedChar(slot, io.KeyShift || caps);
    if (c) io.AddInputCharacter(c);
  }
}

void FeedMouse(ImGuiIO& io) {
  if (InputIsMouseInWindow()) {
    int x = 0, y = 0;
    InputGetMouseClient(&x, &y);
    io.MousePos = ImVec2((float)x, (float)y);
  } else {
    io.MousePos = ImVec2(-1, -1);
  }
  io.MouseDown[0] = InputMouseIsPressed(0);
  io.MouseDown[1] = InputMouseIsPressed(1);
  io.MouseWheel = InputGetMouseWheel();
}

}  // namespace

void GfxImGuiInit() {
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGui::GetIO().IniFilename = nullptr;  // the game keeps no settings: no imgui.ini beside it
  FillKeyMap(ImGui::GetIO());
  if (!ImGui_ImplOpenGL3_Init("#version 330")) {
    LogPrint("[gfx] Dear ImGui renderer could not start\n");
    ImGui::DestroyContext();
    return;
  }
  ImGui_ImplOpenGL3_CreateDeviceObjects();
  gImGui.ready = true;
}

void GfxImGuiShutdown() {
  if (!gImGui.ready) return;
  // The renderer's record would leak otherwise; the engine may start again in one process.
  ImGui_ImplOpenGL3_Shutdown();
  ImGui::DestroyContext();
  gImGui.ready = false;
}

void GfxImGuiNewFrame(double frameTime, int windowWidth, int windowHeight) {
  if (!gImGui.ready) return;
  ImGuiIO& io = ImGui::GetIO();
  io.DisplaySize = ImVec2((float)windowWidth, (float)windowHeight);
  io.DisplayFramebufferScale = ImVec2(1, 1);
  float dt = (float)frameTime;
  io.DeltaTime = dt > 0 ? dt : 1.0f / 60.0f;  // Dear ImGui refuses a zero step
  FeedMouse(io);
  FeedKeys(io);
  ImGui_ImplOpenGL3_NewFrame();
  ImGui::NewFrame();
}

void GfxImGuiRender() {
  if (!gImGui.ready) return;
  ImGui::Render();
  ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}
