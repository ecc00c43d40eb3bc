// hpscreens.cpp - the real game on one screen for tests, with key presses, object lookups and
// pixel counts in reference units.
#include "hpscreens.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "framework/audio.h"
#include "framework/gameobject.h"
#include "game.h"
#include "hptest.h"
#include "kegraphics.h"
#include "kesystem.h"
#include "screens/screen.h"
#include "states.h"

bool ScreensStart(GameStateId first, bool fullscreen, int w, int h) {
  if (!(fullscreen ? TestEngineStart(1920, 1080, true) : TestEngineStart(w, h, false))) return false;
  gAudio.Init();
  GameRegisterStates();
  // As if handed over from the screen before.
  ScreenFullscreenFlag(first) = fullscreen;
  GsmInit(first);
  return true;
}

void ScreensShrinkWindow() {
  SysSetFullscreen(false);
  SysSetWindowSize(320, 240);
}

void ScreensStop() {
  TestCaptureFrames(false);
  GsmSetNextState(GS_Quit);
  for (int i = 0; i < 10 && TestStep(1); ++i) {
  }
  // Retired objects wait in their list's graveyard until that list is next updated.
  GamePurgeScreens();
  gAudio.Shutdown();
  TestEngineStop();
}

void ScreensPress(int vk) {
  TestKeyDown(vk);
  TestStep(1);
  TestKeyUp(vk);
  TestStep(1);
}

std::vector<GameObject*> ScreensObjects(GameStateId id, const char* path, bool all) {
  std::vector<GameObject*> found;
  ObjectList* list = ObjectListOf(id);
  if (!list) return found;
  for (GameObject* o : list->objects) {
    if (!all && !o->alive) continue;
    bool same = path ? o->texture && strcmp(o->texture->name, path) == 0 : !o->texture;
    if (same) found.push_back(o);
  }
  return found;
}

GameObject* ScreensObject(GameStateId id, const char* path) {
  std::vector<GameObject*> found = ScreensObjects(id, path);
  EXPECT_EQ(found.size(), 1u) << "objects drawn with " << (path ? path : "no picture");
  return found.size() == 1 ? found[0] : nullptr;
}

bool ScreensShown(const GameObject* o) {
  return o && o->alive && o->visible;
}

int ScreensCountPixels(float x0, float y0, float x1, float y1, unsigned rgb, int tolerance) {
  Vec2 s = ScreenScale();
  int cx = TestFrameWidth() / 2, cy = TestFrameHeight() / 2;
  int px0 = cx + (int)(x0 * s.x), px1 = cx + (int)(x1 * s.x);
  int py0 = cy - (int)(y1 * s.y), py1 = cy - (int)(y0 * s.y);
  int count = 0;
  for (int y = py0; y < py1; ++y)
    for (int x = px0; x < px1; ++x) {
      unsigned p = TestPixel(x, y);
      bool near = true;
      for (int shift = 0; shift < 24; shift += 8)
        near = near && abs((int)((p >> shift) & 0xFF) - (int)((rgb >> shift) & 0xFF)) <= tolerance;
      count += near;
    }
  return count;
}

void ScreensSaveShot(const std::string& name) {
  EXPECT_TRUE(TestSaveFrame("/tmp/screens-" + name + ".png"));
}
