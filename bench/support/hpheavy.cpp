// hpheavy.cpp - the heavy battle: a lane filler that summons through SpawnTroop, a spell
// schedule through the cast routines and the players' cast keys, and a guard at the goal lines.
#include "hpheavy.h"

#include <cmath>

#include "battle/battle.h"
#include "battle/spells.h"
#include "framework/gameobject.h"
#include "hpbench.h"
#include "keinput.h"
#include "screens/screen.h"
#include "troops/troop.h"
#include "states.h"
#include "battle/board.h"

namespace {

const int kLanes = 5;
const float kRoom = 45;        // a lane's spawn point is free once its newest troop is this far
const float kGuardX = 265;     // past the other side's spawn point: struck down before scoring
const int kSpellCycle = 150;   // frames; Poison lasts a little longer, so it never stops

struct Heavy {
  Troop* newest[2][kLanes] = {};
  int nextKind[2] = {0, 8};    // the two sides walk the sixteen kinds from different places
  long frame = 0;
};
Heavy gHeavy;

float SpawnX(int side) { return side == 0 ? -250.0f : 250.0f; }

// Summons into a lane as the controls do: the owner's arrow stands in that lane at the time.
Troop* SpawnIn(int side, int lane, TroopKind kind) {
  GameObject* arrow = BoardPlayer(side).arrow;
  float y = arrow->position.y;
  arrow->position.y = kLaneSpacing * (float)lane;
  Troop* t = SpawnTroop(kind, lane, side == 1);
  arrow->position.y = y;
  return t;
}

void FillLanes() {
  for (int side = 0; side < 2; ++side)
    for (int i = 0; i < kLanes; ++i) {
      Troop* n = gHeavy.newest[side][i];
      if (n && n->alive && std::fabs(n->position.x - SpawnX(side)) < kRoom) continue;
      TroopKind kind = KnightTroop + gHeavy.nextKind[side];
      gHeavy.nextKind[side] = (gHeavy.nextKind[side] + 1) % 16;
      gHeavy.newest[side][i] = SpawnIn(side, i - 2, kind);
    }
}

void GuardGoals() {
  for (Troop* t : TroopAll()) {
    if (!t->alive) continue;
    if (t->rightSide ? t->position.x <= -kGuardX : t->position.x >= kGuardX) TroopKill(t);
  }
}

void CastIn(int side, int lane, SpellCastFn cast) {
  BattlePlayer& p = BoardPlayer(side);
  int32_t was = p.lane;
  float y = p.arrow->position.y;
  p.lane = lane;
  p.arrow->position.y = kLaneSpacing * (float)lane;
  bool ready = true;
  cast(side, &ready);
  p.lane = was;
  p.arrow->position.y = y;
}

// Both cursors stay on the built-in spell: a cast key launches a meteor and at most re-casts it.
void CastOnSchedule() {
  long f = gHeavy.frame;
  int lane = (int)(f / kSpellCycle % kLanes) - 2, other = -lane;
  switch (f % kSpellCycle) {
    case 0: CastIn(0, lane, CastPoison); CastIn(1, other, CastPoison); break;
    case 20: CastIn(0, other, CastMeteor); CastIn(1, lane, CastMeteor); break;
    case 30: CastIn(0, lane, CastBoost); CastIn(1, other, CastQuake); break;
    case 60: CastIn(0, other, CastWind); CastIn(1, lane, CastStun); break;
    case 70: BenchKeyDown('Z'); BenchKeyDown(VK_NUMPAD0 + 4); break;
    case 71: BenchKeyUp('Z'); BenchKeyUp(VK_NUMPAD0 + 4); break;
    case 90: CastIn(0, lane, CastExecute); CastIn(1, other, CastExecute); break;
    case 120: CastIn(0, other, CastFreeze); CastIn(1, lane, CastFreeze); break;
  }
}

}  // namespace

bool HeavyBattleStart(bool fullscreen) {
  gHeavy = Heavy();
  BenchSetMatch(Hero_Orc, Hero_Druid, Spell_Meteor, Spell_Wind, Spell_Stun, Spell_Execute);
  if (!BenchGameStart(GS_Battle, true, fullscreen, 800, 600)) return false;
  if (!BenchStep(1)) return false;
  BoardPlayer(0).spellCursor = BoardPlayer(1).spellCursor = 1;
  return GsmGetCurrentState() == GS_Battle;
}

bool HeavyBattleFrame() {
  FillLanes();
  GuardGoals();
  CastOnSchedule();
  ++gHeavy.frame;
  return BenchStep(1) && GsmGetCurrentState() == GS_Battle;
}

void HeavyBattleStop() { BenchGameStop(); }

bool HeavyNextRound() {
  ScreenHandOver(GS_RoundOver);
  if (!BenchStep(2) || GsmGetCurrentState() != GS_RoundOver) return false;
  GsmSetNextState(GS_Battle);
  gHeavy = Heavy();  // the last round's troops are gone
  return BenchStep(2) && GsmGetCurrentState() == GS_Battle;
}

int HeavyAliveTroops() {
  int n = 0;
  for (Troop* t : TroopAll()) n += t->alive ? 1 : 0;
  return n;
}

int HeavyRosterSize() { return (int)TroopAll().size(); }

int HeavyObjectCount() { return (int)BoardObjects().objects.size(); }

double HeavyFillMegapixels() {
  Vec2 f = ScreenScale();
  double px = 0;
  for (GameObject* o : BoardObjects().objects)
    if (o->alive && o->visible) px += std::fabs((double)o->scale.x * o->scale.y * f.x * f.y);
  return px * 1e-6;
}

int HeavyDrawnObjects() {
  int n = 0;
  for (GameObject* o : BoardObjects().objects) n += o->alive && o->visible ? 1 : 0;
  return n;
}
