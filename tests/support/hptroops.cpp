// hptroops.cpp - the bare battlefield for troop tests.
#include "hptroops.h"

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"

namespace {

void FieldLoad() { gQuadMesh = CreateQuadMesh(); }
void FieldInit() {
  gPlayers[0].arrow = CreateGameObject(gQuadMesh, BattleTexture("arrow"), -350, 0, 100, 100);
  gPlayers[1].arrow = CreateGameObject(gQuadMesh, BattleTexture("arrow2"), 350, 0, -100, 100);
}
void FieldUpdate() { ObjectListOf(GS_Battle)->Update(); }
void FieldDraw() { ObjectListOf(GS_Battle)->Draw(); }
void FieldFree() {
  ObjectListOf(GS_Battle)->Free();
  ObjectListOf(GS_Battle)->Purge();
  gPlayers[0].arrow = gPlayers[1].arrow = nullptr;
}
void FieldUnload() {
  GfxMeshFree(gQuadMesh);
  gQuadMesh = nullptr;
}

}  // namespace

bool TroopFieldStart() {
  if (!TestEngineStart(160, 120)) return false;
  TestRunState(GS_Battle, FieldLoad, FieldInit, FieldUpdate, FieldDraw, FieldFree, FieldUnload);
  return TestStep(1);  // Load and Init, then one empty frame
}

void TroopFieldStop() {
  GsmSetNextState(GS_Quit);
  while (TestStep(1)) {
  }
  TestEngineStop();
}

Troop* TroopSpawn(TroopKind kind, int lane, bool rightSide) {
  gPlayers[rightSide ? 1 : 0].arrow->position.y = kLaneSpacing * lane;
  return SpawnTroop(kind, lane, rightSide);
}

void TroopMoveTo(Troop* t, float x) {
  float dx = x - t->position.x;
  t->position.x = x;
  t->healthBar->position.x += dx;
  t->rangeMarker->position.x += dx;
}

Troop* TroopPlace(TroopKind kind, int lane, bool rightSide, float x) {
  Troop* t = TroopSpawn(kind, lane, rightSide);
  TroopMoveTo(t, x);
  t->speedFactor = 0;
  return t;
}
