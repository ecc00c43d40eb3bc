// troop_attack.cpp - a troop's strike: damage at once, the splash victim, the Rogue's ambush, the
// Ice Mage's slow, the Imp's life steal, the Dryad's heal, the pictures of the blow, and death.
#include "battle/board.h"
#include "troops/troop.h"

namespace {

const float kDaggerTime = 0.8f;
const float kHitBoxWidth = 5;
const float kSplashHeight = 5;
const uint32_t kHitRed = 0xFFFF0000;
const uint32_t kHealGreen = 0xFF00FF00;

// One picture of a blow: a shot flies from the attacker to the target's x; a stroke falls at
// the target's x (shifted by dx) from the attacker's y + y0 to y + y1.
struct Stroke {
  const char* picture;  // null: none
  float size, duration, rot0, rot1;
  bool shot;
  float dx, y0, y1;
};
struct Blow {
  Stroke first, second;
};

// Indexed by kind - KnightTroop.
const Blow kBlows[] = {
    {{"Knight_attack", 40, 1.0f, MATH_HALF_PI, 0, true, 0, 0, 0}, {}},
    {{"Rogue_attack", 20, 1.0f, MATH_HALF_PI, 0, true, 0, 0, 0}, {}},
    {{"Proj_archer", 60, 0.5f, 0, 0, true, 0, 0, 0}, {}},
    {{"Proj_catapult", 60, 0.8f, MATH_HALF_PI, 0, true, 0, 0, 0}, {}},
    {{"Proj_mage", 60, 0.5f, 0, 0, true, 0, 0, 0}, {}},
    {{"Proj_icemage", 60, 0.5f, 0, 0, true, 0, 0, 0}, {}},
    {{"Golem_attack", 20, 1.0f, MATH_HALF_PI, 0, true, 0, 0, 0}, {}},
    {{"Proj_dragon", 60, 0.5f, 0, 0, true, 0, 0, 0}, {}},
    {{"DryadAtk", 60, 1.0f, 0, 0, true, 0, 0, 0}, {}},
    {{"BearAtk", 50, 0.5f, 2.0f, 0, false, 0, 15, -15},
     {"BearAtk", 50, 0.5f, 2.0f, 0, false, -15, 15, -15}},
    {{"PlantAtk", 60, 1.0f, MATH_PI, -MATH_PI, true, 0, 0, 0}, {}},
    {{"TreeAtk", 40, 0.5f, MATH_HALF_PI, 0, true, 0, 0, 0}, {}},
    {{"DemonAtk", 40, 0.5f, MATH_HALF_PI, 0, true, 0, 0, 0}, {}},
    {{"ImpAtk1", 40, 1.0f, 0, 0, false, 0, 15, 0}, {"ImpAtk2", 40, 1.0f, 0, 0, false, 0, -15, 0}},
    {{"Proj_archer", 70, 1.0f, 0, 0, true, 0, 0, 0}, {}},
    {{"TrollAtk", 40, 0.5f, MATH_HALF_PI, 0, true, 0, 0, 0}, {}},
};
static_assert(sizeof kBlows / sizeof kBlows[0] == Troll - KnightTroop + 1, "one blow per kind");

void ShowStroke(const Troop& t, const Stroke& s) {
  if (!s.picture) return;
  float tx = t.target->position.x, x = t.position.x, y = t.position.y;
  Vec2 from = s.shot ? Vec2{x, y} : Vec2{tx + s.dx, y + s.y0};
  Vec2 to = s.shot ? Vec2{tx, y} : Vec2{tx + s.dx, y + s.y1};
  Vec2 size = {t.rightSide ? -s.size : s.size, s.size};  // faces the enemy
  new Animation(BoardTexture(s.picture), from, to, size, size, s.duration, s.rot0, s.rot1);
}

void ShowBlow(const Troop& t) {
  const Blow& b = kBlows[t.kind - KnightTroop];
  ShowStroke(t, b.first);
  ShowStroke(t, b.second);
}

void Slow(Troop* t) {
  t->slowed = true;
  t->slowTimer = 0;
}

// Heals the first ten living allies of its lane within reach, itself never, up to their cap.
void DryadHeal(const Troop& dryad) {
  const TroopAbilityFigures& f = kTroopAbilities;
  Troop* allies[kTroopAbilities.dryadMaxAllies];
  int n = 0;
  for (Troop* a : TroopAll()) {
    if (n == f.dryadMaxAllies) break;
    if (a == &dryad || a->lane != dryad.lane || a->rightSide != dryad.rightSide || !a->alive)
      continue;
    if (MathVec2Distance(a->position, dryad.position) <= f.dryadReach) allies[n++] = a;
  }
  // The hearts join the list only after the walk over it.
  for (int i = 0; i < n; ++i) {
    Troop* a = allies[i];
    a->health += f.dryadHeal;
    if (a->health < a->maxHealth)
      a->healthBar->scale.x *= 1 + f.dryadHeal / a->health;
    else
      a->health = a->maxHealth;
    TroopFlash(a, kHealGreen);
    new Animation(BoardTexture("DryadHearth"), dryad.position, a->position, {15, 15}, {15, 15},
                  0.7f, 0, MATH_PI);
  }
}

// The oldest enemy in the target's lane just behind it on the board's left, dead or alive.
Troop* SplashVictim(const Troop& attacker) {
  const Troop* target = attacker.target;
  for (Troop* v : TroopAll()) {
    if (v == target || v->rightSide == attacker.rightSide || v->lane != target->lane ||
        !(v->position.x < target->position.x))
      continue;
    if (MathRectOverlap(v->position, kHitBoxWidth, v->scale.y, target->position,
                        attacker.splashWidth * 0.5f, kSplashHeight))
      return v;
  }
  return nullptr;
}

}  // namespace

void Troop::Attack() {
  if (!target || !engaged || !canAttack) return;
  // A Rogue strikes from hiding once, then waits until it has shown itself.
  if (kind == Rogue && ambushed && !revealed) return;
  Troop* t = target;
  if (!splash) {
    swingForward = true;
    if (kind == Rogue && !revealed) {
      ambushed = true;
      TroopDamage(t, kTroopAbilities.ambushDamage);
      dagger = MakeDagger();
      daggerTimer = kDaggerTime;
    } else {
      TroopDamage(t, damage);
    }
    TroopFlash(t, kHitRed);
    if (kind == Imp && health < kTroopAbilities.impStealBelow) {
      health += kTroopAbilities.impSteal;
      healthBar->scale.x *= 1 + kTroopAbilities.impSteal / health;
      color = kHealGreen;  // seen only while a tint is on
    }
    if (kind == Dryad) DryadHeal(*this);
    ShowBlow(*this);
  } else {
    ShowBlow(*this);
    swingForward = true;
    TroopDamage(t, damage);
    TroopFlash(t, kHitRed);
    if (kind == IceMage) Slow(t);
    // A Treant shields whoever stands behind it.
    Troop* v = t->kind == Treant ? nullptr : SplashVictim(*this);
    if (v) {
      TroopDamage(v, damage);
      TroopFlash(v, kHitRed);
      if (kind == IceMage) Slow(v);
      if (v->health <= 0) engaged = false;
    }
  }
  canAttack = false;
  cooldown = 0;
  if (t->health <= 0) {
    TroopKill(t);
    engaged = false;
    target = nullptr;
  }
}
