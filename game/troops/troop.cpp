// troop.cpp - troop kinds, statistics and construction.
// Placeholder until the troops are built.
#include "troops/troop.h"

namespace {
const TroopStats kNone = {"", 1, 0, 0, 1, 0, false, false, 0};
}

bool TroopKindIsValid(TroopKind kind) { return kind >= KnightTroop && kind <= Troll; }
const TroopStats& TroopStatsOf(TroopKind) { return kNone; }
Troop::Troop(TroopKind k, int32_t l, bool right)
    : kind(k), lane(l), maxHealth(1), health(1), speed(0), damage(0), attackPeriod(1), range(0),
      flying(false), ranged(false), rightSide(right), splash(false), splashWidth(0) {}
void Troop::Move() {}
void Troop::FindTarget() {}
void Troop::Attack() {}
void Troop::UpdateEffects() {}
GameObject* Troop::MakeDagger() { return nullptr; }
Troop* SpawnTroop(TroopKind, int32_t, bool) { return nullptr; }
Troop* AsTroop(GameObject* object) { return dynamic_cast<Troop*>(object); }
void TroopDamage(Troop*, float) {}
void TroopKill(Troop*) {}
void TroopFlash(Troop*, uint32_t) {}
