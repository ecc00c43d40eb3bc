// game.cpp - start-up and shut-down of Hollow Pikes and the registration of its screens.
#include "game.h"

#include "battle/battle.h"
#include "computer/computer.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "screens/credits.h"
#include "screens/heroselect.h"
#include "screens/howtoplay.h"
#include "screens/mainmenu.h"
#include "screens/roundover.h"
#include "screens/settings.h"
#include "screens/spellselect.h"
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
  GsmAddState(GS_Battle, BattleLoad, BattleInit, BattleUpdate, BattleDraw, BattleFree, BattleUnload);
  GsmAddState(GS_MainMenu, MainMenuLoad, MainMenuInit, MainMenuUpdate, MainMenuDraw, MainMenuFree,
              MainMenuUnload);
  GsmAddState(GS_RoundOver, RoundOverLoad, RoundOverInit, RoundOverUpdate, RoundOverDraw,
              RoundOverFree, RoundOverUnload);
  GsmAddState(GS_HeroSelect, HeroSelectLoad, HeroSelectInit, HeroSelectUpdate, HeroSelectDraw,
              HeroSelectFree, HeroSelectUnload);
  GsmAddState(GS_SpellSelect, SpellSelectLoad, SpellSelectInit, SpellSelectUpdate, SpellSelectDraw,
              SpellSelectFree, SpellSelectUnload);
  GsmAddState(GS_HowToPlay, HowToPlayLoad, HowToPlayInit, HowToPlayUpdate, HowToPlayDraw,
              HowToPlayFree, HowToPlayUnload);
  GsmAddState(GS_Settings, SettingsLoad, SettingsInit, SettingsUpdate, SettingsDraw, SettingsFree,
              SettingsUnload);
  GsmAddState(GS_Credits, CreditsLoad, CreditsInit, CreditsUpdate, CreditsDraw, CreditsFree,
              CreditsUnload);
  // The computer player looks at each screen after its update and presses its keys.
  GsmSetUpdateHook(ComputerUpdate);
}

bool GameStart() {
  if (!SysInit(kProductName)) return false;
  GameAudioStart();
  SysSetIcon("data/icon.png");
  GameRegisterStates();
  GsmInit(GS_MainMenu);
  return true;
}

void GameEnd() {
  // The last screen's Free retired its objects; nothing purges them after the loop but this.
  const GameStateId states[] = {GS_Battle, GS_MainMenu, GS_RoundOver, GS_HeroSelect,
                                GS_SpellSelect, GS_HowToPlay, GS_Settings, GS_Credits};
  for (GameStateId id : states) ObjectListOf(id)->Purge();
  GameAudioEnd();
  SysShutdown();
}

int GameMain() {
  // A second copy leaves at once and quietly; the first keeps the lock until it ends.
  if (!OsInstanceLockAcquire(kProductName)) return 0;
  OsEnterDataFolder("hollow-pikes");
  if (GameStart()) {
    GsmRun();
    GameEnd();
  }
  OsInstanceLockRelease();
  return 0;
}
