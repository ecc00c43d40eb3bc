// hpbattle.cpp - starting the real game on a battle, and running its updates for tests.
#include "hpbattle.h"

#include "battle/battle.h"
#include "framework/audio.h"
#include "game.h"
#include "hptest.h"
#include "kegsm.h"
#include "screens/screen.h"

bool BattleTestStart(HeroId p1, HeroId p2, SpellId s10, SpellId s11, SpellId s20, SpellId s21,
                     int w, int h, bool fullscreen) {
  if (!TestEngineStart(w, h, fullscreen)) return false;
  gAudio.Init();
  GameRegisterStates();
  musicVolume = soundVolume = 1.0f;
  muted = false;
  noHealthLoss = false;
  for (int i = 0; i < 2; ++i) gPlayers[i].spellCursor = 1;
  gMatch.hero[0] = p1;
  gMatch.hero[1] = p2;
  gMatch.spells[0][0] = s10;
  gMatch.spells[0][1] = s11;
  gMatch.spells[1][0] = s20;
  gMatch.spells[1][1] = s21;
  gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
  gMatch.roundWinner = Round_P1Won;
  ScreenFullscreenFlag(GS_Battle) = fullscreen;
  GsmInit(GS_Battle);
  return TestStep(1) && GsmGetCurrentState() == GS_Battle;
}

void BattleTestStop() {
  GsmSetNextState(GS_Quit);
  while (TestStep(1)) {
  }
  BattleObjects().Purge();  // the freed board waits for a purge that a quit never runs
  gAudio.Shutdown();
  TestEngineStop();
}

void BattleTestRun(int n) {
  TestStep(n);
}

void BattleTestPress(int vk) {
  TestKeyDown(vk);
  BattleTestRun(1);
  TestKeyUp(vk);
  BattleTestRun(1);
}

void BattleTestPress2(int vk1, int vk2) {
  TestKeyDown(vk1);
  TestKeyDown(vk2);
  BattleTestRun(1);
  TestKeyUp(vk1);
  TestKeyUp(vk2);
  BattleTestRun(1);
}

int BattleTestTroopCount(bool rightSide) {
  int n = 0;
  for (GameObject* o : BattleObjects().objects)
    if (Troop* t = AsTroop(o))
      if (t->rightSide == rightSide) ++n;
  return n;
}
