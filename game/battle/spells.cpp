// spells.cpp - the table of the eight spells, their routines (lane effects, Freeze, Quake,
// Execute, the two-step Meteor) and the timer step that runs them in every running battle update.
#include "battle/spells.h"

#include <algorithm>

#include "framework/gameobject.h"
#include "framework/statetext.h"
#include "framework/quad.h"
#include "keinput.h"
#include "troops/troop.h"

namespace {

const float kEffectDuration = 2.5f;  // lane effects, the Quake tremor and Freeze
const float kImpactDelay = 1.0f;
const float kArrowX = 350;           // where the arrows stand when there is no board
const float kClearance = 100;  // the meteor's sweep and Wind's hold stay this far before an arrow
const float kSweepStep = 6;
const float kTremor = 0.25f;

const uint32_t kBoostGreen = 0xFF00FF00;
const uint32_t kStunYellow = 0xFFFFFF00;
const uint32_t kWindBrown = 0xFF964B00;
const uint32_t kQuakeOrange = 0xFFFF7F00;
const uint32_t kMeteorRed = 0xFFFF0000;
const uint32_t kMarkerRed = 0x88FF0000;
const uint32_t kFrozenArrow[2] = {0xFF5D8AA8, 0xFFF0F8FF};

// The lane effects in the order the timer step runs them; Quake's tremor runs last, apart.
enum LaneEffectKind { FX_Boost, FX_Wind, FX_Stun, FX_Poison, FX_Quake, FX_Count };

struct LaneEffect {
  bool running;
  float effectTimer;  // not reset by a cast: an effect carried over from the last round goes on
  int32_t lane;
};

struct MeteorState {
  bool aiming, justCast, retracting;
  GameObject* marker;  // the red bar while aiming; null once it is gone
  bool impactPending;
  float impactTimer;
  int32_t impactLane;
  Vec2 impactPoint;
};

struct SpellState {
  LaneEffect effects[FX_Count][2];  // [effect][caster]
  MeteorState meteor[2];
};
SpellState gSpells;

const SpellInfo kSpells[] = {
    {Spell_Meteor, "Meteor", "Meteorite", SND_Meteor, CastMeteor,
     "Meteor : \nWhen casted again, launches \na meteor somewhere in \na lane"},
    {Spell_Execute, "Execute", "Execute", SND_Execute, CastExecute,
     "Execute : \nKills the first troop\nin a lane"},
    {Spell_Stun, "Stun", "Stun", SND_Stun, CastStun, "Stun : \nStops the enemy troops\nin a lane "},
    {Spell_Wind, "Wind", "Wind", SND_Wind, CastWind,
     "Wind : \nPushes back the enemy \ntroops in a lane"},
    {Spell_Boost, "Boost", "Boost", SND_Boost, CastBoost, nullptr},
    {Spell_Freeze, "Freeze", "Freeze", SND_Freeze, CastFreeze, nullptr},
    {Spell_Poison, "Poison", "Poison", SND_Poison, CastPoison, nullptr},
    {Spell_Quake, "Quake", "Quake", SND_Quake, CastQuake, nullptr},
};

void PlaySpellSound(SpellId id) {
  for (const SpellInfo& s : kSpells)
    if (s.id == id) BoardPlay(s.sound);
}

float Forward(int player) { return player == 0 ? 1.0f : -1.0f; }  // toward the other side

Vec2 ArrowAt(int player) {
  const GameObject* a = BoardPlayer(player).arrow;
  return a ? a->position : Vec2{-Forward(player) * kArrowX, 0};
}

bool Spend(bool* ready) {
  if (!ready || !*ready) return false;
  *ready = false;
  return true;
}

void Show(const char* picture, Vec2 from, Vec2 to, Vec2 size0, Vec2 size1, float duration,
          float rotation0 = 0, float rotation1 = 0) {
  // The animation joins the battle's list, which deletes it with the round's objects.
  new Animation(BoardTexture(picture), from, to, size0, size1, duration, rotation0, rotation1);
}

// Calls fn for the troops of one side in a lane, in list order; fn may append animations.
template <class Fn>
void ForLaneTroops(bool rightSide, int32_t lane, bool livingOnly, Fn fn) {
  std::vector<GameObject*>& objects = BoardObjects().objects;
  for (size_t i = 0; i < objects.size(); ++i) {
    Troop* t = AsTroop(objects[i]);
    if (!t || t->rightSide != rightSide || t->lane != lane) continue;
    if (livingOnly && !t->alive) continue;
    fn(t);
  }
}

bool EnemySide(int caster) { return caster == 0; }
bool OwnSide(int caster) { return caster == 1; }
bool EffectOnEnemies(int fx) { return fx != FX_Boost; }

void StartEffect(int fx, int caster, int32_t lane) {
  gSpells.effects[fx][caster].running = true;
  gSpells.effects[fx][caster].lane = lane;
}

void Tint(Troop* t, uint32_t color) {
  t->tinted = true;
  t->color = color;
}

// Wind holds its victims at least 100 units in front of their own arrow.
void HoldBack(GameObject* o, int caster, float halfWidth) {
  float bound = ArrowAt(1 - caster).x - Forward(caster) * (kClearance + halfWidth);
  o->position.x = caster == 0 ? std::min(o->position.x, bound) : std::max(o->position.x, bound);
}

void EffectAction(int fx, int caster, Troop* t) {
  switch (fx) {
    case FX_Boost: Tint(t, kBoostGreen); break;
    case FX_Wind:
      t->engaged = false;
      t->target = nullptr;
      HoldBack(t, caster, 0);
      HoldBack(t->healthBar, caster, 0);
      HoldBack(t->rangeMarker, caster, t->rangeMarker->scale.x / 2);
      Tint(t, kWindBrown);
      break;
    case FX_Stun:
      Tint(t, kStunYellow);
      t->canAttack = false;
      break;
    case FX_Poison: {
      Vec2 at = t->position;
      TroopDamage(t, 0.2f);
      Show("PoisonAnim", {at.x, at.y + 20}, {at.x, at.y + 25}, {70, 70}, {70, 70}, 0.5f);
      break;
    }
  }
}

// The ending resets every troop of the lane, also the dead and those slowed by other means.
void EffectEnding(int fx, Troop* t) {
  t->tinted = false;
  if (fx == FX_Poison) return;
  t->speedFactor = 1.0f;
  if (fx == FX_Stun) t->canAttack = true;
}

void LaneEffectStep(int fx, int caster) {
  LaneEffect& e = gSpells.effects[fx][caster];
  if (!e.running) return;
  bool side = EffectOnEnemies(fx) ? EnemySide(caster) : OwnSide(caster);
  e.effectTimer += kUpdateStep;
  ForLaneTroops(side, e.lane, true, [&](Troop* t) { EffectAction(fx, caster, t); });
  if (e.effectTimer < kEffectDuration) return;
  e.running = false;
  e.effectTimer = 0;
  ForLaneTroops(side, e.lane, false, [&](Troop* t) { EffectEnding(fx, t); });
}

void SetRumble(int pad, float strength) {
  if (InputPadIsConnected(pad)) InputPadSetVibration(pad, strength);
}

void FreezeStep(int player) {
  BattlePlayer& p = BoardPlayer(player);
  if (!p.frozen) {
    SetRumble(player, 0);
    return;
  }
  SetRumble(player, 1.0f);
  if (p.arrow) p.arrow->tinted = true;
  p.freezeTimer += kUpdateStep;
  if (p.freezeTimer >= kEffectDuration) {
    if (p.arrow) p.arrow->tinted = false;
    p.frozen = false;
    p.freezeTimer = 0;
  }
  if (p.arrow) p.arrow->color = kFrozenArrow[player];
}

// The tremor shakes the victim's pad over the freeze step's setting, and flyers feel nothing.
void QuakeStep(int caster) {
  LaneEffect& e = gSpells.effects[FX_Quake][caster];
  if (!e.running) return;
  int victim = 1 - caster;
  SetRumble(victim, kTremor);
  e.effectTimer += kUpdateStep;
  ForLaneTroops(EnemySide(caster), e.lane, true, [](Troop* t) {
    if (!t->flying) Tint(t, kQuakeOrange);
  });
  if (e.effectTimer < kEffectDuration) return;
  SetRumble(victim, 0);
  e.running = false;
  e.effectTimer = 0;
  ForLaneTroops(EnemySide(caster), e.lane, false, [](Troop* t) {
    if (!t->flying) t->tinted = false;
  });
}

void KillMarker(MeteorState& m) {
  if (m.marker) m.marker->alive = false;
  m.marker = nullptr;
}

// The edge at the caster's arrow stays put while the far edge sweeps between the limits. A step
// stops at a limit instead of passing it, so no meteor lands beyond the sweep limits.
void Sweep(int player, MeteorState& m) {
  GameObject* bar = m.marker;
  float dir = Forward(player);
  float nearLimit = ArrowAt(player).x + dir * kClearance;
  float farLimit = ArrowAt(1 - player).x - dir * kClearance;
  float edge = bar->position.x + dir * bar->scale.x / 2;
  float toFar = dir * (farLimit - edge), toNear = dir * (edge - nearLimit);
  if (toFar <= 0) m.retracting = true;
  else if (toNear <= 0) m.retracting = false;
  float step = m.retracting ? -std::min(kSweepStep, std::max(toNear, 0.0f))
                            : std::min(kSweepStep, std::max(toFar, 0.0f));
  bar->scale.x += step;
  bar->position.x += dir * step / 2;
}

void Launch(int player, MeteorState& m, float edge) {
  m.impactPoint = {edge, m.marker->position.y};
  bool right = player == 0 ? edge >= 0 : edge > 0;
  Show("MeteoriteSprite", {0, 300}, m.impactPoint, {50, 50}, {50, 50}, 1.0f, 0,
       right ? -MATH_PI : MATH_PI);
  PlaySpellSound(Spell_Meteor);
  m.impactLane = BoardPlayer(player).lane;
  m.impactPending = true;
  m.impactTimer = 0;
  KillMarker(m);
  m.aiming = false;
}

void MeteorStep(int player) {
  MeteorState& m = gSpells.meteor[player];
  if (!m.aiming) return;  // the bar died with the launch or the cancel
  float edge = m.marker->position.x + Forward(player) * m.marker->scale.x / 2;
  Sweep(player, m);
  if (BoardPlayer(player).castFired && !m.justCast) Launch(player, m, edge);
  m.justCast = false;
}

// Flyers are struck too: the meteor falls from above.
void ImpactStep(int player) {
  MeteorState& m = gSpells.meteor[player];
  if (!m.impactPending) return;
  m.impactTimer += kUpdateStep;
  if (m.impactTimer < kImpactDelay) return;
  Vec2 at = m.impactPoint;
  ForLaneTroops(EnemySide(player), m.impactLane, true, [at](Troop* t) {
    if (!MathRectOverlap(t->position, 5, 20, at, 100, 50)) return;
    TroopDamage(t, 50);
    TroopFlash(t, kMeteorRed);
  });
  m.impactTimer = 0;
  m.impactPending = false;
}

// Boost, Stun and Wind: the speed they set at the cast reaches only troops already there.
void CastLaneSpeed(int c, int fx, float speedFactor) {
  int32_t lane = BoardPlayer(c).lane;
  bool side = EffectOnEnemies(fx) ? EnemySide(c) : OwnSide(c);
  ForLaneTroops(side, lane, true, [speedFactor](Troop* t) { t->speedFactor = speedFactor; });
  StartEffect(fx, c, lane);
}

}  // namespace

void CastBoost(int c, bool* ready) {
  if (!Spend(ready)) return;
  CastLaneSpeed(c, FX_Boost, 5.0f);
  float turn = c == 0 ? -MATH_HALF_PI : MATH_HALF_PI;
  Vec2 at = ArrowAt(c);
  Show("BoostArrow", at, {ArrowAt(1 - c).x, at.y}, {70, 70}, {70, 70}, kEffectDuration, turn,
       turn);
  PlaySpellSound(Spell_Boost);
}

void CastStun(int c, bool* ready) {
  if (!Spend(ready)) return;
  CastLaneSpeed(c, FX_Stun, 0);
  Vec2 at = ArrowAt(c);
  Show("StunnedGuy", at, {ArrowAt(1 - c).x, at.y}, {100, 100}, {100, 100}, kEffectDuration, 0,
       2 * MATH_PI);
  PlaySpellSound(Spell_Stun);
}

// The victims walk backwards at three times their speed.
void CastWind(int c, bool* ready) {
  if (!Spend(ready)) return;
  CastLaneSpeed(c, FX_Wind, -3.0f);
  float toX = c == 0 ? ArrowAt(1).x - kClearance : ArrowAt(0).x;
  Vec2 size = {c == 0 ? -150.0f : 150.0f, 100};
  Vec2 at = ArrowAt(c);
  Show("Tornado", at, {toX, at.y}, size, size, kEffectDuration);
  PlaySpellSound(Spell_Wind);
}

void CastPoison(int c, bool* ready) {
  if (!Spend(ready)) return;
  StartEffect(FX_Poison, c, BoardPlayer(c).lane);
  PlaySpellSound(Spell_Poison);
}

void CastQuake(int c, bool* ready) {
  if (!Spend(ready)) return;
  int32_t lane = BoardPlayer(c).lane;
  PlaySpellSound(Spell_Quake);
  ForLaneTroops(EnemySide(c), lane, true, [](Troop* t) {
    if (t->flying) return;
    Vec2 at = {t->position.x, t->position.y - 20};
    TroopDamage(t, 30);
    TroopFlash(t, kQuakeOrange);
    Show("QuakeAnim", at, at, {70, 50}, {70, 50}, 0.5f);
  });
  StartEffect(FX_Quake, c, lane);
}

void CastFreeze(int c, bool* ready) {
  if (!Spend(ready)) return;
  BoardPlayer(1 - c).frozen = true;
  float s = Forward(c);
  Show("SnowFlake", {-350 * s, 230 * s}, {350 * s, -240 * s}, {100, 100}, {100, 100}, 1.0f);
  PlaySpellSound(Spell_Freeze);
}

// The living enemy nearest the caster's side; the older one wins a tie.
void CastExecute(int c, bool* ready) {
  if (!Spend(ready)) return;
  Troop* victim = nullptr;
  ForLaneTroops(EnemySide(c), BoardPlayer(c).lane, true, [&](Troop* t) {
    if (!victim || Forward(c) * (t->position.x - victim->position.x) < 0) victim = t;
  });
  if (!victim) return;
  Show("ExecuteAnim", victim->position, victim->position, {100, 100}, {25, 25}, 0.5f);
  PlaySpellSound(Spell_Execute);
  TroopKill(victim);
}

// The first press: a red bar starts sweeping from in front of the caster's arrow.
void CastMeteor(int c, bool* ready) {
  if (!Spend(ready)) return;
  MeteorState& m = gSpells.meteor[c];
  KillMarker(m);  // a cast while an old aim still runs starts over with one bar
  m.aiming = true;
  m.justCast = true;
  Vec2 at = ArrowAt(c);
  m.marker = CreateGameObject(gQuadMesh, nullptr, at.x + Forward(c) * kClearance, at.y, 0, 50);
  m.marker->tinted = true;
  m.marker->color = kMarkerRed;
}

const SpellInfo* SpellInfoOf(SpellId id) {
  for (const SpellInfo& s : kSpells)
    if (s.id == id) return &s;
  return nullptr;
}

// A lane change ends the aim and gives the spell back at once.
void CancelMeteorAim(int player) {
  if (player < 0 || player > 1) return;
  MeteorState& m = gSpells.meteor[player];
  if (!m.aiming) return;
  m.aiming = false;
  KillMarker(m);
  for (SpellSlot& s : BoardPlayer(player).spellSlots) {
    if (s.cast != CastMeteor) continue;
    s.ready = true;
    s.cooldownTimer = 0;
    if (s.icon) s.icon->tinted = false;
  }
}

void UpdateSpellTimers() {
  FreezeStep(0);
  FreezeStep(1);
  for (int fx = FX_Boost; fx <= FX_Poison; ++fx) {
    LaneEffectStep(fx, 0);
    LaneEffectStep(fx, 1);
  }
  for (int player = 0; player < 2; ++player) {
    MeteorStep(player);
    ImpactStep(player);
  }
  QuakeStep(0);
  QuakeStep(1);
}

// Lane effects and a pending impact go on into the new round; an aim cannot, its bar is gone.
void SpellsRoundStart() {
  for (MeteorState& m : gSpells.meteor) {
    m.aiming = false;
    m.justCast = false;
    m.marker = nullptr;
  }
}

void SpellsReset() {
  gSpells = SpellState();
}

void SpellsDescribe(StateText& out) {
  for (int fx = 0; fx < FX_Count; ++fx)
    for (int c = 0; c < 2; ++c) {
      const LaneEffect& e = gSpells.effects[fx][c];
      out.Print("effect %d of %d: %d %a %d", fx, c, e.running, e.effectTimer, (int)e.lane);
    }
  for (int c = 0; c < 2; ++c) {
    const MeteorState& m = gSpells.meteor[c];
    out.Print("meteor of %d: aim %d %d %d impact %d %a %d %a %a", c, m.aiming, m.justCast,
              m.retracting, m.impactPending, m.impactTimer, (int)m.impactLane, m.impactPoint.x,
              m.impactPoint.y);
  }
}

const GameObject* SpellsMeteorMarker(int player) {
  if (player < 0 || player > 1 || !gSpells.meteor[player].aiming) return nullptr;
  return gSpells.meteor[player].marker;
}
