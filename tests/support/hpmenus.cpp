// hpmenus.cpp - the real game's screens on the headless engine for the menu-screen tests.
#include "hpmenus.h"

#include <gtest/gtest.h>

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "game.h"
#include "hppad.h"
#include "hptest.h"
#include "kegraphics.h"
#include "kesystem.h"
#include "keinput.h"
#include "screens/screen.h"
#include "states.h"

namespace {


AudioSystem& AudioOf(GameStateId screen) {
  if (screen == GS_HowToPlay) return gHowToPlayAudio;
  if (screen == GS_Settings) return gSettingsAudio;
  return gCreditsAudio;
}

bool* HoldFlagOf(GameStateId screen) {
  if (screen == GS_HowToPlay) return &holdForHowToPlay;
  if (screen == GS_Settings) return &holdForSettings;
  return &holdForCredits;
}

void MenusResetGlobals() {
  musicVolume = soundVolume = 1.0f;
  musicVolumeStep = soundVolumeStep = 10;
  muted = false;
  windowSizeIndex = 0;
  for (int i = 0; i < kGameScreenCount; ++i)
    GameScreens()[i].fullscreen = GameScreens()[i].id == GS_MainMenu;
  battleOnHold = holdForHowToPlay = holdForSettings = holdForCredits = false;
}

}  // namespace

bool MenusStart(GameStateId first, int w, int h) {
  MenusResetGlobals();
  if (!TestEngineStart(w, h)) return false;
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
  GamePurgeScreens();
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
  *HoldFlagOf(screen) = true;
  GsmSetNextState(screen);
}

LiveCounts MenusLiveCounts() {
  return {GfxTextureLiveCount(), GfxMeshLiveCount(), GfxFontLiveCount()};
}

void MenusExpectBackToHeldBattle(GameStateId screen) {
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  ScreenFullscreenFlag(GS_Battle) = false;
  MenusHoldBattleFor(screen);
  LiveCounts battle = MenusLiveCounts();
  Mesh* battleQuad = gQuadMesh;
  std::list<ChannelSlot*> battleSounds = gAudio.busySlots;
  EXPECT_FALSE(battleSounds.empty());  // the battle's music
  ASSERT_TRUE(MenusStepUntil(screen, 3));
  EXPECT_GT(GfxTextureLiveCount(), battle.textures);
  EXPECT_FALSE(AudioOf(screen).busySlots.empty());  // its music, on its own instance
  EXPECT_NE(gQuadMesh, battleQuad);
  MenusPress(VK_F11);
  EXPECT_TRUE(ScreenFullscreenFlag(screen));

  TestKeyDown(VK_ESCAPE);
  TestStep(1);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  EXPECT_FALSE(battleOnHold);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_Battle));
  TestKeyUp(VK_ESCAPE);
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(MenusLiveCounts(), battle);  // ours are gone, the battle's are all there
  EXPECT_EQ(gQuadMesh, battleQuad);          // the battle spawns on its own quad again
  EXPECT_TRUE(AudioOf(screen).busySlots.empty());
  EXPECT_EQ(gAudio.busySlots, battleSounds);  // the battle's music was left alone
}

void MenusExpectAltF4ReleasesHeldBattle(GameStateId screen, const LiveCounts& before) {
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  MenusHoldBattleFor(screen);
  ASSERT_TRUE(MenusStepUntil(screen, 3));
  MenusAltF4();
  EXPECT_FALSE(TestStep(1));  // the run is over
  EXPECT_FALSE(*HoldFlagOf(screen));
  EXPECT_EQ(MenusLiveCounts(), before);
}
