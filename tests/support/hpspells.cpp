// hpspells.cpp - test support for spells in a running battle.
#include "hpspells.h"

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "hpbattle.h"
#include "hptest.h"
#include "keos.h"

namespace {

const int kCastKey[2] = {'Z', VK_NUMPAD0 + 4};

bool IsMarker(const GameObject* o) {
  return o->alive && !o->texture && o->tinted && o->color == 0x88FF0000 && o->scale.y == 50;
}

}  // namespace

void SpellsMoveTo(Troop* t, float x) {
  float dx = x - t->position.x;
  t->position.x = x;
  t->healthBar->position.x += dx;
  t->rangeMarker->position.x += dx;
}

Troop* SpellsTroop(TroopKind kind, int lane, bool rightSide, float x, bool hold) {
  GameObject* arrow = gPlayers[rightSide ? 1 : 0].arrow;
  float y = arrow->position.y;
  arrow->position.y = kLaneSpacing * lane;
  Troop* t = SpawnTroop(kind, lane, rightSide);
  arrow->position.y = y;
  SpellsMoveTo(t, x);
  if (hold) t->speedFactor = 0;
  return t;
}

void SpellsPressCast(int player) {
  TestKeyDown(kCastKey[player]);
  BattleTestRun(1);
  TestKeyUp(kCastKey[player]);
}

void SpellsCast(int player, int slot) {
  gPlayers[player].spellCursor = slot + 1;
  SpellsPressCast(player);
}

int SpellsPictureCount(const char* name) {
  Texture* tex = BattleTexture(name);
  int n = 0;
  for (GameObject* o : BattleObjects().objects)
    if (tex && o->texture == tex) ++n;
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

GameObject* SpellsNewestMarker() {
  GameObject* newest = nullptr;
  for (GameObject* o : BattleObjects().objects)
    if (IsMarker(o)) newest = o;
  return newest;
}

int SpellsMarkerCount() {
  int n = 0;
  for (GameObject* o : BattleObjects().objects)
    if (IsMarker(o)) ++n;
  return n;
}
