// troop.cpp - the sixteen troop kinds and their statistics, building a troop in front of its
// owner's lane arrow with its range marker and health bar, and the damage, death and tint steps.
#include "troops/troop.h"

#include <cassert>
#include <cstdio>

#include "battle/battle.h"
#include "framework/quad.h"

namespace {

// Indexed by kind - KnightTroop. Every value is the float nearest to the design figure.
const TroopStats kTroopTable[] = {
    // picture        health speed   damage period range  flying ranged splash
    {"knighttroop",   120, 0.325f,  20, 1.7f,  50,  false, false, 0},
    {"Rogue",          50, 0.5f,    10, 2.2f,  10,  false, false, 0},
    {"Archer",         70, 0.325f,  30, 2.25f, 250, false, true,  0},
    {"Catapult",       60, 0.175f,  40, 4.1f,  350, false, true,  160},
    {"magetroop",      80, 0.3f,    20, 1.5f,  130, false, true,  0},
    {"IceMage",        85, 0.4f,    20, 2.0f,  300, false, true,  150},
    {"Golem",         200, 0.25f,   30, 2.8f,  10,  false, false, 0},
    {"Dragon",        185, 0.28f,   65, 3.0f,  100, true,  true,  200},
    {"Dryad",          80, 0.2f,    30, 2.0f,  250, false, true,  0},
    {"Bear",          140, 0.35f,   60, 2.8f,  40,  false, false, 160},
    {"Plant",          80, 0.37f,   16, 1.9f,  230, false, true,  0},
    {"Treant",        165, 0.3f,    60, 2.4f,  30,  false, false, 0},
    {"Demon",         132, 0.45f,   45, 1.65f, 20,  false, false, 170},
    {"Imp",            70, 0.6f,    30, 1.0f,  30,  true,  false, 0},
    {"Goblin",         80, 0.45f,   34, 2.0f,  200, false, true,  0},
    {"Troll",         115, 0.32f,   25, 1.5f,  30,  false, false, 0},
};
static_assert(sizeof kTroopTable / sizeof kTroopTable[0] == Troll - KnightTroop + 1,
              "one row per troop kind");

const float kTroopSize = 50;
const float kSpawnAhead = 100;      // in front of the arrow, toward the enemy
const float kArrowX = 350;          // where the arrows stand when a test has none
const float kAheadReach2 = 10000000;  // squared: the whole lane
const uint32_t kMarkerColor[2] = {0x8850C878, 0x88FF689D};
const uint32_t kBarGreen = 0xFF00FF00;

struct TroopRoster {
  std::vector<Troop*> all;  // in creation order, which is their order in the battle's list
};
TroopRoster gRoster;

}  // namespace

bool TroopKindIsValid(TroopKind kind) { return kind >= KnightTroop && kind <= Troll; }

const TroopStats& TroopStatsOf(TroopKind kind) {
  assert(TroopKindIsValid(kind));
  return kTroopTable[kind - KnightTroop];
}

Troop::Troop(TroopKind k, int32_t l, bool right)
    : GameObject(gQuadMesh, BattleTexture(TroopStatsOf(k).picture)), kind(k), lane(l),
      rightSide(right) {
  const TroopStats& s = TroopStatsOf(k);
  type = k;
  maxHealth = health = s.health;
  speed = s.speed;
  damage = s.damage;
  attackPeriod = s.attackPeriod;
  range = s.range;
  flying = s.flying;
  ranged = s.ranged;
  splash = s.splashWidth > 0;
  splashWidth = s.splashWidth;

  // The owner's arrow marks the lane; without one (no board yet) the lane's own place serves.
  const GameObject* arrow = gPlayers[right ? 1 : 0].arrow;
  Vec2 at = arrow ? arrow->position : Vec2{right ? kArrowX : -kArrowX, kLaneSpacing * l};
  float forward = right ? -1.0f : 1.0f;
  position = {at.x + forward * kSpawnAhead, at.y};
  scale = {forward * kTroopSize, kTroopSize};

  rangeMarker = CreateGameObject(gQuadMesh, nullptr, position.x + forward * range * 0.25f,
                                 position.y, range * 0.5f, 20);
  rangeMarker->tinted = true;
  rangeMarker->color = kMarkerColor[right ? 1 : 0];
  rangeMarker->visible = false;  // shown while the owner holds the show-ranges control
  healthBar = CreateGameObject(gQuadMesh, nullptr, position.x, position.y + scale.y - 20, 30, 5);
  healthBar->tinted = true;
  healthBar->color = kBarGreen;

  // The newest troop of the same player in the lane walks in front, dead or alive.
  for (Troop* t : gRoster.all) {
    if (t->lane != lane || t->rightSide != rightSide) continue;
    float dx = t->position.x - position.x, dy = t->position.y - position.y;
    if (dx * dx + dy * dy < kAheadReach2) ahead = t;
  }
  gRoster.all.push_back(this);
}

Troop::~Troop() {
  for (size_t i = gRoster.all.size(); i-- > 0;)
    if (gRoster.all[i] == this) {
      gRoster.all.erase(gRoster.all.begin() + i);
      break;
    }
}

const std::vector<Troop*>& TroopAll() { return gRoster.all; }

GameObject* Troop::MakeDagger() {
  return CreateGameObject(gQuadMesh, BattleTexture("Dagger"), position.x, position.y, scale.x,
                          scale.y, 0);
}

Troop* SpawnTroop(TroopKind kind, int32_t lane, bool rightSide) {
  if (!TroopKindIsValid(kind)) {
    fprintf(stderr, "[troops] no troop kind %d\n", (int)kind);
    return nullptr;
  }
  Troop* t = new Troop(kind, lane, rightSide);
  // Appended only now: its bar and marker lie under it, and it never finds itself as ahead.
  BattleObjects().objects.push_back(t);
  return t;
}

Troop* AsTroop(GameObject* object) {
  // Every troop's type is its kind; other objects rarely draw a number in that range.
  if (!object || !TroopKindIsValid(object->type)) return nullptr;
  return dynamic_cast<Troop*>(object);
}

void TroopDamage(Troop* t, float d) {
  float h = t->health;
  t->health -= d;
  // A troop already at or below zero has a dead bar; the share would divide by zero.
  if (h > 0) t->healthBar->scale.x *= 1 - d / h;
  if (t->health <= 0) TroopKill(t);
}

void TroopKill(Troop* t) {
  t->alive = false;
  t->healthBar->alive = false;
  t->rangeMarker->alive = false;
}

void TroopFlash(Troop* t, uint32_t color) {
  t->tinted = true;
  t->color = color;
  t->flashing = true;
  t->flashTimer = 0;
}
