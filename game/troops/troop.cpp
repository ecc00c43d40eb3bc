// troop.cpp - building a troop in front of its owner's lane arrow with its range marker and
// health bar, the roster of every troop, and the damage, death and tint steps.
#include "troops/troop.h"

#include <cstdio>

#include "battle/board.h"
#include "framework/quad.h"
#include "kelog.h"

namespace {

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

Troop::Troop(TroopKind k, int32_t l, bool right)
    : GameObject(gQuadMesh, BoardTexture(TroopStatsOf(k).picture)), kind(k), lane(l),
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
  const GameObject* arrow = BoardPlayer(right ? 1 : 0).arrow;
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
  return CreateGameObject(gQuadMesh, BoardTexture("Dagger"), position.x, position.y, scale.x,
                          scale.y, 0);
}

Troop* SpawnTroop(TroopKind kind, int32_t lane, bool rightSide) {
  if (!TroopKindIsValid(kind)) {
    LogPrint("[troops] no troop kind %d\n", (int)kind);
    return nullptr;
  }
  Troop* t = new Troop(kind, lane, rightSide);
  // Appended only now: its bar and marker lie under it, and it never finds itself as ahead.
  BoardObjects().objects.push_back(t);
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
