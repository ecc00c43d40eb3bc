// troop.h - Troop: a unit summoned into a lane that marches, queues, targets, strikes and dies,
// with its health bar and range marker. Its kind's statistics: troopkind.h.
#pragma once
#include <cstdint>
#include <vector>

#include "framework/gameobject.h"
#include "troops/troopkind.h"

class Troop : public GameObject {
 public:
  Troop(TroopKind kind, int32_t lane, bool rightSide);
  ~Troop() override;
  void Move() override;
  void FindTarget() override;
  void Attack() override;
  void UpdateEffects() override;
  GameObject* MakeDagger();

  Troop* target = nullptr;
  Troop* ahead = nullptr;
  TroopKind kind;
  float cooldown = 0;
  bool canAttack = false;
  bool engaged = false;
  int32_t lane;
  float maxHealth, health, speed, damage, attackPeriod, range;
  float bobPhase = 0;
  bool blocked = false;
  bool flying, ranged;
  bool rightSide;       // false: player 1's, marching to +x; true: player 2's, marching to -x
  bool splash;
  float splashWidth;
  GameObject* healthBar = nullptr;
  GameObject* rangeMarker = nullptr;
  float speedFactor = 1.0f;
  bool slowed = false;
  float slowTimer = 0;
  float swingTimer = 0;
  bool swingForward = false, swingBack = false;
  bool waddleUp = true, waddleDown = false;
  bool revealed = false;   // Rogue: has shown itself
  bool ambushed = false;   // Rogue: has struck from hiding
  float smokeTimer = 0;
  GameObject* smoke = nullptr;
  GameObject* dagger = nullptr;
  float daggerTimer = 0;
  bool enraged = false;    // Demon
};

// Builds a troop in its lane in front of its owner's arrow and appends it to the battle's list.
Troop* SpawnTroop(TroopKind kind, int32_t lane, bool rightSide);
// The object as a troop, or null.
Troop* AsTroop(GameObject* object);
// Every troop that exists, oldest first: the battle's list in its order without the other
// objects (spent animations pile up there during a round). A troop leaves it when deleted.
const std::vector<Troop*>& TroopAll();
// Damage d with the health bar shrunk by the same share; kills troop, bar and marker at 0.
void TroopDamage(Troop* t, float d);
void TroopKill(Troop* t);
// A timed tint (red for a hit, green for a heal) that UpdateEffects ends after 0.5 s.
void TroopFlash(Troop* t, uint32_t color);
