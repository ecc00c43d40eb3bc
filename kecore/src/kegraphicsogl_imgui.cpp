// kegraphicsogl_imgui.cpp - Dear ImGui fed from the engine's input every frame.
// Placeholder until the debug layer arrives.
#include "kegraphics.h"

void GfxImGuiInit() {}
void GfxImGuiShutdown() {}
void GfxImGuiNewFrame() {}
void GfxImGuiRender() {}
