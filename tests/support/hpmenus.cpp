// hpmenus.cpp - the real game's screens on the headless engine for the menu-screen tests.
#include "hpmenus.h"

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "game.h"
#include "hppad.h"
#include "hptest.h"
#include "kegraphics.h"
#include "keinput.h"
#include "keos.h"
#include "screens/screen.h"

namespace {

const GameStateId kScreens[] = {GS_Battle,      GS_MainMenu,  GS_RoundOver, GS_HeroSelect,
                                GS_SpellSelect, GS_HowToPlay, GS_Settings,  GS_Credits};

}  // namespace

void MenusResetGlobals() {
  musicVolume = soundVolume = 1.0f;
  musicVolumeStep = soundVolumeStep = 10;
  muted = false;
  windowSizeIndex = 0;
  for (GameStateId id : kScreens) ScreenFullscreenFlag(id) = id == GS_MainMenu;
  battleOnHold = holdForHowToPlay = holdForSettings = holdForCredits = false;
}

bool MenusStart(GameStateId first, bool fullscreen) {
  MenusResetGlobals();
  if (!TestEngineStart(800, 600, fullscreen)) return false;
  gAudio.Init();
  gHowToPlayAudio.Init();
  gCreditsAudio.Init();
  gSettingsAudio.Init();
  GameRegisterStates();
  GsmInit(first);
  return true;
}

void MenusStop() {
  GsmSetNextState(GS_Quit);
  while (TestStep(1)) {
  }
  // Retired objects wait for their list's next purge, which never comes after the last frame.
  for (GameStateId id : kScreens) ObjectListOf(id)->Purge();
  TestPadDetachAll();
  gSettingsAudio.Shutdown();
  gCreditsAudio.Shutdown();
  gHowToPlayAudio.Shutdown();
  gAudio.Shutdown();
  TestEngineStop();
}

void MenusPress(int vk) {
  TestKeyDown(vk);
  TestStep(1);
  TestKeyUp(vk);
  TestStep(1);
}

void MenusAltF4() {
  TestKeyDown(VK_MENU);
  TestKeyDown(VK_F4, true);
  TestStep(1);
  TestKeyUp(VK_F4, true);
  TestKeyUp(VK_MENU);
}

void MenusPadPress(int pad, uint16_t bits) {
  TestPadSetButtonBits(pad, bits, true);
  TestStep(1);
  TestPadSetButtonBits(pad, bits, false);
  TestStep(1);
}

void MenusAttachPads(int n, int* pads) {
  for (int i = 0; i < n; ++i) pads[i] = TestPadAttach();
  InputReset();
}

bool MenusStepUntil(GameStateId id, int frames) {
  for (int i = 0; i < frames && GsmGetCurrentState() != id; ++i)
    if (!TestStep(1)) return false;
  return GsmGetCurrentState() == id;
}

void MenusHoldBattleFor(GameStateId screen) {
  ScreenFullscreenFlag(screen) = ScreenFullscreenFlag(GS_Battle);
  battleOnHold = true;
  if (screen == GS_HowToPlay) holdForHowToPlay = true;
  if (screen == GS_Settings) holdForSettings = true;
  if (screen == GS_Credits) holdForCredits = true;
  GsmSetNextState(screen);
}

LiveCounts MenusLiveCounts() {
  return {GfxTextureLiveCount(), GfxMeshLiveCount(), GfxFontLiveCount()};
}
