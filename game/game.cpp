// game.cpp - start-up and shut-down of Hollow Pikes and the registration of its screens.
#include "game.h"

#include "framework/audio.h"
#include "kegsm.h"
#include "keos.h"
#include "kesystem.h"

namespace {

const char* kProductName = "Hollow Pikes";

// Sound is welcome but not required: an instance without a device stays off and the game runs
// silent (the device layer says so once).
void GameAudioStart() {
  gAudio.Init();
  gHowToPlayAudio.Init();
  gCreditsAudio.Init();
  gSettingsAudio.Init();
}

void GameAudioEnd() {
  gSettingsAudio.Shutdown();
  gCreditsAudio.Shutdown();
  gHowToPlayAudio.Shutdown();
  gAudio.Shutdown();
}

}  // namespace

void GameRegisterStates() {
  GsmAddState(GS_Battle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmAddState(GS_MainMenu, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmAddState(GS_RoundOver, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmAddState(GS_HeroSelect, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmAddState(GS_SpellSelect, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmAddState(GS_HowToPlay, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmAddState(GS_Settings, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmAddState(GS_Credits, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

bool GameStart() {
  if (!SysInit(kProductName)) return false;
  GameAudioStart();
  GameRegisterStates();
  GsmInit(GS_MainMenu);
  return true;
}

void GameEnd() {
  GameAudioEnd();
  SysShutdown();
}

int GameMain() {
  // A second copy leaves at once and quietly; the first keeps the lock until it ends.
  if (!OsInstanceLockAcquire(kProductName)) return 0;
  if (GameStart()) {
    GsmRun();
    GameEnd();
  }
  OsInstanceLockRelease();
  return 0;
}
