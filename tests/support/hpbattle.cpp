// hpbattle.cpp - starting the real game on a battle, and driving it for tests.
#include "hpbattle.h"

#include "battle/battle.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "game.h"
#include "hptest.h"
#include "hptroops.h"
#include "kegsm.h"
#include "keos.h"
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

void BattleTestRun(int n) { TestStep(n); }

void BattleTestPress(int vk) {
  TestKeyDown(vk);
  TestStep(1);
  TestKeyUp(vk);
  TestStep(1);
}

Troop* BattleTestTroop(TroopKind kind, int lane, bool rightSide, float x, bool hold) {
  GameObject* arrow = gPlayers[rightSide ? 1 : 0].arrow;
  float y = arrow->position.y;
  arrow->position.y = kLaneSpacing * lane;
  Troop* t = SpawnTroop(kind, lane, rightSide);
  arrow->position.y = y;
  TroopMoveTo(t, x);
  if (hold) t->speedFactor = 0;
  return t;
}

int BattleTestTroopCount(bool rightSide) {
  int n = 0;
  for (GameObject* o : BattleObjects().objects)
    if (Troop* t = AsTroop(o)) n += t->rightSide == rightSide;
  return n;
}

void SpellsPressCast(int player) {
  const int key = player == 0 ? (int)'Z' : VK_NUMPAD0 + 4;
  TestKeyDown(key);
  TestStep(1);
  TestKeyUp(key);
}

void SpellsCast(int player, int slot) {
  gPlayers[player].spellCursor = slot + 1;
  SpellsPressCast(player);
}

int SpellsPictureCount(const char* name) {
  Texture* tex = BattleTexture(name);
  int n = 0;
  for (GameObject* o : BattleObjects().objects) n += tex && o->texture == tex;
  return n;
}

Animation* SpellsNewestPicture(const char* name) {
  Texture* tex = BattleTexture(name);
  Animation* newest = nullptr;
  for (GameObject* o : BattleObjects().objects)
    if (tex && o->texture == tex)
      if (Animation* a = dynamic_cast<Animation*>(o)) newest = a;
  return newest;
}

namespace {
bool IsMarker(const GameObject* o) {
  return o->alive && !o->texture && o->tinted && o->color == 0x88FF0000 && o->scale.y == 50;
}
}  // namespace

GameObject* SpellsNewestMarker() {
  GameObject* newest = nullptr;
  for (GameObject* o : BattleObjects().objects)
    if (IsMarker(o)) newest = o;
  return newest;
}

int SpellsMarkerCount() {
  int n = 0;
  for (GameObject* o : BattleObjects().objects) n += IsMarker(o);
  return n;
}
