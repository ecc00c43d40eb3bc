// hptroops.h - a bare battlefield for troop tests: a test state registered as GS_Battle whose
// Init stands both lane arrows at their places and whose Update runs the battle's objects.
#pragma once
#include "hptest.h"
#include "troops/troop.h"

// Starts the engine (a small window: nothing reads its pixels) and the field.
bool TroopFieldStart();
// Quits the field (Free and Unload run, every object is deleted) and stops the engine.
void TroopFieldStop();

// Spawns through SpawnTroop with the owner's arrow moved to the lane's y.
Troop* TroopSpawn(TroopKind kind, int lane, bool rightSide);
// Spawns, then stands the troop at x and keeps it there (speed factor 0, as under a stun).
Troop* TroopPlace(TroopKind kind, int lane, bool rightSide, float x);
// Moves a troop with its bar and marker, as marching would.
void TroopMoveTo(Troop* t, float x);
// Runs frames until pred holds (checked after each frame) or max frames have passed; returns
// the number of frames run, or -1 when pred never held.
template <class Pred>
int TroopRunUntil(Pred pred, int max) {
  for (int i = 1; i <= max; ++i) {
    if (!TestStep(1)) return -1;
    if (pred()) return i;
  }
  return -1;
}
