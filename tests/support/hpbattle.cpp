// hpbattle.cpp - starting the real game on a battle, and driving it for tests.
#include "hpbattle.h"

#include "battle/battle.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "game.h"
#include "hptest.h"
#include "kegsm.h"
#include "keinput.h"
#include "screens/screen.h"
#include "states.h"
#include "battle/board.h"

bool BattleTestStart(HeroId p1, HeroId p2, SpellId s10, SpellId s11, SpellId s20, SpellId s21,
                     int w, int h, bool fullscreen) {
  if (!TestEngineStart(w, h, fullscreen)) return false;
  gAudio.Init();
  GameRegisterStates();
  musicVolume = soundVolume = 1.0f;
  muted = false;
  BattleSetNoHealthLoss(false);
  for (int i = 0; i < 2; ++i) BoardPlayer(i).spellCursor = 1;
  gMatch = {{p1, p2}, {{s10, s11}, {s20, s21}}, {3, 3}, Round_P1Won};
  ScreenFullscreenFlag(GS_Battle) = fullscreen;
  GsmInit(GS_Battle);
  return TestStep(1) && GsmGetCurrentState() == GS_Battle;
}

void BattleTestStop() {
  GsmSetNextState(GS_Quit);
  while (TestStep(1)) {
  }
  BoardObjects().Purge();  // the freed board waits for a purge that a quit never runs
  gAudio.Shutdown();
  TestEngineStop();
}

void BattleTestPress(int vk) {
  TestKeyDown(vk);
  TestStep(1);
  TestKeyUp(vk);
  TestStep(1);
}

Troop* BattleTestTroop(TroopKind kind, int lane, bool rightSide, float x, bool hold) {
  GameObject* arrow = BoardPlayer(rightSide ? 1 : 0).arrow;
  float y = arrow->position.y;
  arrow->position.y = kLaneSpacing * lane;
  Troop* t = SpawnTroop(kind, lane, rightSide);
  arrow->position.y = y;
  TroopMoveTo(t, x);
  if (hold) t->speedFactor = 0;
  return t;
}

void TroopMoveTo(Troop* t, float x) {
  float dx = x - t->position.x;
  t->position.x = x;
  t->healthBar->position.x += dx;
  t->rangeMarker->position.x += dx;
}

int BattleTestTroopCount(bool rightSide) {
  int n = 0;
  for (GameObject* o : BoardObjects().objects)
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
  BoardPlayer(player).spellCursor = slot + 1;
  SpellsPressCast(player);
}

std::vector<Animation*> SpellsPictures(const char* name) {
  Texture* tex = BoardTexture(name);
  std::vector<Animation*> out;
  for (GameObject* o : BoardObjects().objects)
    if (tex && o->texture == tex)
      if (Animation* a = dynamic_cast<Animation*>(o)) out.push_back(a);
  return out;
}

std::vector<GameObject*> SpellsMarkers() {
  std::vector<GameObject*> out;
  for (GameObject* o : BoardObjects().objects)
    if (o->alive && !o->texture && o->tinted && o->color == 0x88FF0000 && o->scale.y == 50)
      out.push_back(o);
  return out;
}
