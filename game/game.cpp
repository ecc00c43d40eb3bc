// game.cpp - start-up and shut-down of Hollow Pikes, and the table of its eight screens (id,
// callbacks, full-screen flag, object list) registered with the state manager.
#include "game.h"

#include "battle/battle.h"
#include "computer/computer.h"
#include "framework/audio.h"
#include "kegsm.h"
#include "kesystem.h"
#include "online/online.h"
#include "screens/credits.h"
#include "screens/heroselect.h"
#include "screens/howtoplay.h"
#include "screens/mainmenu.h"
#include "screens/roundover.h"
#include "screens/screen.h"
#include "screens/settings.h"
#include "screens/spellselect.h"
#include "states.h"

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

// The online game looks at every played frame before the computer player does.
void GameAfterUpdate() {
  OnlineAfterUpdate();
  ComputerUpdate();
}

void GameAudioEnd() {
  gSettingsAudio.Shutdown();
  gCreditsAudio.Shutdown();
  gHowToPlayAudio.Shutdown();
  gAudio.Shutdown();
}

}  // namespace

// The main menu starts in full screen. Never destroyed: objects still listed at exit stay
// reachable, as they were for the whole run.
ScreenEntry* GameScreens() {
  static ScreenEntry* table = new ScreenEntry[kGameScreenCount]{
    {GS_Battle, BattleLoad, BattleInit, BattleUpdate, BattleDraw, BattleFree, BattleUnload,
     false, {}},
    {GS_MainMenu, MainMenuLoad, MainMenuInit, MainMenuUpdate, MainMenuDraw, MainMenuFree,
     MainMenuUnload, true, {}},
    {GS_RoundOver, RoundOverLoad, RoundOverInit, RoundOverUpdate, RoundOverDraw, RoundOverFree,
     RoundOverUnload, false, {}},
    {GS_HeroSelect, HeroSelectLoad, HeroSelectInit, HeroSelectUpdate, HeroSelectDraw,
     HeroSelectFree, HeroSelectUnload, false, {}},
    {GS_SpellSelect, SpellSelectLoad, SpellSelectInit, SpellSelectUpdate, SpellSelectDraw,
     SpellSelectFree, SpellSelectUnload, false, {}},
    {GS_HowToPlay, HowToPlayLoad, HowToPlayInit, HowToPlayUpdate, HowToPlayDraw, HowToPlayFree,
     HowToPlayUnload, false, {}},
    {GS_Settings, SettingsLoad, SettingsInit, SettingsUpdate, SettingsDraw, SettingsFree,
     SettingsUnload, false, {}},
    {GS_Credits, CreditsLoad, CreditsInit, CreditsUpdate, CreditsDraw, CreditsFree, CreditsUnload,
     false, {}},
  };
  return table;
}

void GamePurgeScreens() {
  for (int i = 0; i < kGameScreenCount; ++i) GameScreens()[i].objects.Purge();
}

void GameRegisterStates() {
  ScreenRegisterAll(GameScreens(), kGameScreenCount);
  // The computer player looks at each screen after its update and presses its keys, and hero
  // selection shows who holds seat 2.
  GsmSetUpdateHook(GameAfterUpdate);
  HeroSelectSetDrawExtra(ComputerPrintSeatLabels);
}

// A fast online game runs unseen and silent, as the balance lab does.
bool GameStart() {
  if (OnlineConfigured().fast) SysSetHeadless(true);
  if (!SysInit(kProductName)) return false;
  if (!SysIsHeadless()) GameAudioStart();
  SysSetIcon("data/icon.png");
  GameRegisterStates();
  GsmInit(GS_MainMenu);
  OnlineStart();
  return true;
}

void GameEnd() {
  GamePurgeScreens();  // what the last screen's Free retired
  OnlineEnd();
  GameAudioEnd();
  SysShutdown();
}

int GameMain() {
  // A second copy leaves at once and quietly; the first keeps the lock until it ends.
  if (!SysInstanceLockAcquire(kProductName)) return 0;
  SysEnterDataFolder("hollow-pikes");
  int status = 0;
  if (GameStart()) {
    GsmRun();
    GameEnd();
  } else if (SysDisplayMissing()) {
    status = 1;  // started where nothing can be shown: the caller should know
  }
  SysInstanceLockRelease();
  return status ? status : OnlineExitStatus();
}
