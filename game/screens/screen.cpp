// screen.cpp - the settings globals, full-screen flags and scale, the Update prologue and F11
// check, channel volumes and label printing that every screen uses.
#include "screen.h"

#include <cassert>

#include "framework/audio.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "keinput.h"
#include "kesystem.h"

float musicVolume = 1.0f;
int32_t musicVolumeStep = 10;
float soundVolume = 1.0f;
int32_t soundVolumeStep = 10;
bool muted = false;
int32_t windowSizeIndex = 0;

const WindowSize kWindowSizes[kWindowSizeCount] = {
    {800, 600},   {1024, 768},  {1280, 960},  {1400, 1050}, {1440, 1080},
    {1600, 1200}, {1856, 1392}, {1920, 1440}, {2048, 1536},
};

namespace {

struct ScreenState {
  ScreenEntry* table = nullptr;  // the game's screens
  int count = 0;
  bool minimised = false;
  bool keepRunning = false;
  bool scratch = false;  // answers for ids that are not screens
};
ScreenState gScreen;

ScreenEntry* ScreenFind(GameStateId id) {
  for (int i = 0; i < gScreen.count; ++i)
    if (gScreen.table[i].id == id) return &gScreen.table[i];
  return nullptr;
}

ObjectList* ScreenObjectsOf(GameStateId id) {
  ScreenEntry* e = ScreenFind(id);
  return e ? &e->objects : nullptr;
}

}  // namespace

void ScreenUseTable(ScreenEntry* table, int count) {
  gScreen.table = table;
  gScreen.count = count;
  ObjectListSetLookup(ScreenObjectsOf);
}

void ScreenRegisterAll(ScreenEntry* table, int count) {
  ScreenUseTable(table, count);
  for (int i = 0; i < count; ++i) {
    const ScreenEntry& e = table[i];
    GsmAddState(e.id, e.load, e.init, e.update, e.draw, e.free, e.unload);
  }
}

bool& ScreenFullscreenFlag(GameStateId id) {
  ScreenEntry* e = ScreenFind(id);
  assert(e && "not a screen");
  if (!e) {
    gScreen.scratch = false;
    return gScreen.scratch;
  }
  return e->fullscreen;
}

void ScreenHandOver(GameStateId next) {
  ScreenEntry* to = ScreenFind(next);
  ScreenEntry* from = ScreenFind(GsmGetCurrentState());
  if (to && from) to->fullscreen = from->fullscreen;
  GsmSetNextState(next);
}

Vec2 ScreenScaleOf(GameStateId id) {
  ScreenEntry* e = ScreenFind(id);
  if (e && e->fullscreen) {
    int w, h;
    SysGetDisplaySize(&w, &h);
    float fx = (float)w / 800.0f, fy = (float)h / 600.0f;
    float f = fx < fy ? fx : fy;  // the whole board fits on any display
    return {f, f};
  }
  assert(windowSizeIndex >= 0 && windowSizeIndex < kWindowSizeCount);
  const WindowSize& size = kWindowSizes[windowSizeIndex];
  return {(float)size.width / 800.0f, (float)size.height / 600.0f};
}

Vec2 ScreenScale() {
  return ScreenScaleOf(GsmGetCurrentState());
}

float ScreenMusicVolume() {
  return muted ? 0.0f : musicVolume;
}

float ScreenSoundVolume() {
  return muted ? 0.0f : soundVolume;
}

void ScreenKeepChannel(ChannelSlot* slot, float volume) {
  if (!slot) return;
  slot->SetVolume(volume);
  slot->SetPaused(false);
}

bool ScreenPrologue(AudioSystem& audio, std::initializer_list<ChannelSlot*> channels) {
  gScreen.minimised = SysIsMinimised();
  if (gScreen.minimised) {
    for (ChannelSlot* slot : channels)
      if (slot) slot->SetPaused(true);
    audio.Update();
    return gScreen.keepRunning;
  }
  if (InputIsPressed(KEY_ALT) && InputIsTriggered(VK_F4)) GsmSetNextState(GS_Quit);
  if (!SysHasFocus()) SysMinimise();
  return true;
}

bool ScreenIsMinimised() {
  return gScreen.minimised;
}

void ScreenSetKeepRunning(bool on) {
  gScreen.keepRunning = on;
}

bool ScreenCheckF11() {
  if (!InputIsTriggered(VK_F11)) return false;
  bool on = !SysIsFullscreen();
  ScreenFullscreenFlag(GsmGetCurrentState()) = on;
  SysSetFullscreen(on);
  return true;
}

void ScreenUnloadPictures(Texture** pictures, int count) {
  for (int i = 0; i < count; ++i) {
    GfxTextureUnload(pictures[i]);
    pictures[i] = nullptr;
  }
}

void ScreenFreeQuadAndFont(Font** font) {
  GfxMeshFree(gQuadMesh);
  gQuadMesh = nullptr;
  GfxFontFree(*font);
  *font = nullptr;
}

namespace {

const uint32_t kOutlineColor = 0xE0181008;  // near black, a touch warm
const float kOutlineThickness = 2.0f;       // font pixels: about 1.7 screen pixels at 800 by 600

void ScreenTextTransform(float x, float y, float k) {
  Vec2 s = ScreenScale();
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, s.x * k, s.y * k, 0.0f, s.x * x, s.y * y);
  GfxSetTransform(m);
}

}  // namespace

void ScreenPrint(Font* font, const char* text, float x, float y, float k, uint32_t color) {
  ScreenTextTransform(x, y, k);
  GfxPrint(font, text, color);
}

void ScreenPrintOutlined(Font* font, const char* text, float x, float y, float k,
                         uint32_t color) {
  ScreenTextTransform(x, y, k);
  GfxPrintOutlined(font, text, color, kOutlineColor, kOutlineThickness);
}

float ScreenFitScale(Font* font, const char* text, float k, float width) {
  float drawn = GfxTextWidth(font, text) * k;
  return width > 0 && drawn > width ? k * width / drawn : k;
}
