// hptroops.h - a bare battlefield for troop tests: a test state registered as GS_Battle whose
// Init stands both lane arrows at their places and whose Update runs the battle's objects.
#pragma once
#include "hptest.h"
#include "troops/troop.h"

// Optional extra steps of the field's state: load runs after the field's own Load (it may
// replace gQuadMesh), init before the arrows are made, unload before the field's own Unload.
struct TroopFieldHooks {
  void (*load)() = nullptr;
  void (*init)() = nullptr;
  void (*unload)() = nullptr;
};
// Starts the engine (a w by h window) and the field.
bool TroopFieldStart(int w = 800, int h = 600, TroopFieldHooks hooks = {});
// Quits the field (Free and Unload run, every object is deleted) and stops the engine.
void TroopFieldStop();

// Spawns through SpawnTroop with the owner's arrow moved to the lane's y.
Troop* TroopSpawn(TroopKind kind, int lane, bool rightSide);
// Spawns, then stands the troop at x (with its bar and marker) and keeps it there: its speed
// factor is 0, as under a stun.
Troop* TroopPlace(TroopKind kind, int lane, bool rightSide, float x);
// Moves a troop with its bar and marker, as marching would.
void TroopMoveTo(Troop* t, float x);
int TroopObjectCount();
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
