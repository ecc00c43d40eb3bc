// computer_sim.cpp - the Hard computer's look-ahead: a lane's troops as the board shows them,
// marched, queued and struck as the battle does it, five updates at a time.
#include "computer/computer_sim.h"

#include <cmath>

#include "battle/board.h"
#include "framework/gameobject.h"
#include "troops/troop.h"

namespace {

const int kStepUpdates = 5;
const float kStep = kStepUpdates * kUpdateStep;
const float kSpawnX = 250;       // troops appear this far from the middle
const float kQueueGap = 40;
const float kHitHalf = 2.5f;     // a troop is a thin post for targeting
const float kEffectTime = 2.5f;
const float kWindHold = 250;     // Wind holds its victims this far from the middle at most
const float kMeteorHalf = 52.5f;
const float kAmbush = 100;
const float kDryadReach = 300, kDryadHeal = 15;
const int kDryadAllies = 10;
const float kImpStealBelow = 70, kImpSteal = 10;
const float kEnrageBelow = 45, kEnragePeriod = 0.9f;
const float kSlow = 0.7f;
const float kForever = 1e9f;

// Toward the other side, for my troops (+1 for player 1) or theirs.
float Forward(const SimLane& l, const SimUnit& u) {
  bool right = (l.me == 1) == u.mine;
  return right ? -1.0f : 1.0f;
}

// How far a troop still has to its goal line.
float ToGoal(const SimLane& l, const SimUnit& u) { return kGoalLineX - Forward(l, u) * u.x; }

SimUnit UnitOf(TroopKind kind) {
  const TroopStats& s = TroopStatsOf(kind);
  SimUnit u = {};
  u.kind = kind;
  u.health = u.maxHealth = s.health;
  u.speed = s.speed;
  u.damage = s.damage;
  u.period = s.attackPeriod;
  u.reach = s.range * 0.5f + kHitHalf;
  u.splash = s.splashWidth > 0 ? s.splashWidth * 0.25f + kHitHalf : 0;
  u.factor = 1;
  u.factorTime = kForever;
  u.alive = true;
  u.flying = s.flying;
  u.hitsFlyers = s.ranged || s.flying;
  u.hidden = kind == Rogue;
  u.ahead = -1;
  return u;
}

// The last unit of the same side, which a new one queues behind.
int LastOf(const SimLane& l, bool mine) {
  for (int i = l.count - 1; i >= 0; --i)
    if (l.units[i].mine == mine) return i;
  return -1;
}

bool Targetable(const SimLane& l, const SimUnit& by, const SimUnit& t) {
  if (!t.alive || t.appear > 0 || t.mine == by.mine) return false;
  if (t.flying && !by.hitsFlyers) return false;
  // A Rogue cannot be struck while faint in its own half.
  return !(t.hidden && Forward(l, t) * t.x < 0);
}

// The oldest enemy in reach ahead, as the battle picks it; -1 for none.
int TargetOf(const SimLane& l, const SimUnit& u) {
  float dir = Forward(l, u);
  for (int i = 0; i < l.count; ++i) {
    const SimUnit& t = l.units[i];
    if (!Targetable(l, u, t)) continue;
    float d = dir * (t.x - u.x);
    if (d >= -kHitHalf && d <= u.reach) return i;
  }
  return -1;
}

// The oldest enemy of the striker just left of the target on the board, dead or alive.
int SplashVictim(const SimLane& l, const SimUnit& by, int target) {
  const SimUnit& t = l.units[target];
  if (t.kind == Treant) return -1;
  for (int i = 0; i < l.count; ++i) {
    const SimUnit& v = l.units[i];
    if (i == target || v.mine == by.mine || v.appear > 0 || !(v.x < t.x)) continue;
    if (t.x - v.x <= by.splash) return i;
  }
  return -1;
}

void Hurt(SimUnit& v, float damage) {
  v.health -= damage;
  if (v.health <= 0) v.alive = false;
}

void DryadHeal(SimLane& l, int dryad) {
  const SimUnit& d = l.units[dryad];
  int healed = 0;
  for (int i = 0; i < l.count && healed < kDryadAllies; ++i) {
    SimUnit& a = l.units[i];
    if (i == dryad || a.mine != d.mine || !a.alive || a.appear > 0) continue;
    if (std::fabs(a.x - d.x) > kDryadReach) continue;
    a.health = std::fmin(a.health + kDryadHeal, a.maxHealth);
    ++healed;
  }
}

void Strike(SimLane& l, int striker, int target) {
  SimUnit& u = l.units[striker];
  SimUnit& t = l.units[target];
  bool fromHiding = u.hidden && !u.ambushed;
  Hurt(t, fromHiding ? kAmbush : u.damage);
  u.ambushed |= fromHiding;
  if (u.kind == IceMage) t.factor = kSlow;
  if (u.splash > 0) {
    int v = SplashVictim(l, u, target);
    if (v >= 0) {
      Hurt(l.units[v], u.damage);
      if (u.kind == IceMage) l.units[v].factor = kSlow;
    }
  }
  if (u.kind == Imp && u.health < kImpStealBelow) u.health += kImpSteal;
  if (u.kind == Dryad) DryadHeal(l, striker);
  u.cooldown = 0;
}

bool Stunned(const SimLane& l, const SimUnit& u) { return !u.mine && l.stunTime > 0; }

// One step of every unit: the battle's move, target and strike, then the timers.
void Step(SimLane& l) {
  int targets[kSimMaxUnits];
  for (int i = 0; i < l.count; ++i) {
    const SimUnit& u = l.units[i];
    targets[i] = u.alive && u.appear <= 0 ? TargetOf(l, u) : -1;
  }
  for (int i = 0; i < l.count; ++i) {
    SimUnit& u = l.units[i];
    if (!u.alive) continue;
    if (u.appear > 0) {
      u.appear -= kStep;
      continue;
    }
    bool backward = u.factor < 0;  // Wind's victims walk back, striking what comes in reach
    if (targets[i] < 0 || backward) {
      const SimUnit* a = u.ahead >= 0 ? &l.units[u.ahead] : nullptr;
      bool blocked = a && a->alive && a->appear <= 0 && std::fabs(a->x - u.x) < kQueueGap;
      if (!blocked || backward) u.x += Forward(l, u) * u.factor * u.speed * kStepUpdates;
      if (backward && !u.mine) u.x = Forward(l, u) > 0 ? std::fmax(u.x, -kWindHold)
                                                      : std::fmin(u.x, kWindHold);
    }
    u.cooldown += kStep;
    if (targets[i] >= 0 && u.cooldown >= u.period && !Stunned(l, u) &&
        !(u.hidden && u.ambushed)) {
      Strike(l, i, targets[i]);
    }
    if (u.kind == Demon && u.health < kEnrageBelow) u.period = kEnragePeriod;
    if (u.hidden && Forward(l, u) * u.x >= 0) u.hidden = false;
    u.factorTime -= kStep;
    if (u.factorTime <= 0) {
      u.factor = 1;
      u.factorTime = kForever;
    }
  }
  l.stunTime -= kStep;
  if (l.poisonTime > 0) {
    l.poisonTime -= kStep;
    for (int i = 0; i < l.count; ++i)
      if (!l.units[i].mine && l.units[i].alive && l.units[i].appear <= 0)
        Hurt(l.units[i], 0.2f * kStepUpdates);
  }
  if (l.meteorTime >= 0) {
    l.meteorTime -= kStep;
    if (l.meteorTime < 0)
      for (int i = 0; i < l.count; ++i) {
        SimUnit& v = l.units[i];
        if (!v.mine && v.alive && v.appear <= 0 && std::fabs(v.x - l.meteorX) <= kMeteorHalf)
          Hurt(v, 50);
      }
  }
}

// Who crosses a goal line in this step, the earliest unit first; -1 for nobody.
int Scorer(const SimLane& l) {
  for (int i = 0; i < l.count; ++i) {
    const SimUnit& u = l.units[i];
    if (u.appear <= 0 && ToGoal(l, u) <= 0) return u.mine ? 0 : 1;
  }
  return -1;
}

bool SideStands(const SimLane& l, bool mine) {
  for (int i = 0; i < l.count; ++i)
    if (l.units[i].mine == mine && l.units[i].alive) return true;
  return false;
}

// With one side alone in the lane, its quickest troop walks in unopposed (queues aside).
float WalkIn(const SimLane& l, bool mine) {
  float best = kForever;
  for (int i = 0; i < l.count; ++i) {
    const SimUnit& u = l.units[i];
    if (u.mine != mine || !u.alive) continue;
    float perSecond = u.speed * (1 / kUpdateStep) * (u.factor > 0 ? u.factor : 1);
    best = std::fmin(best, std::fmax(u.appear, 0.0f) + ToGoal(l, u) / perSecond);
  }
  return best;
}

float HealthOf(const SimLane& l, bool mine) {
  float sum = 0;
  for (int i = 0; i < l.count; ++i)
    if (l.units[i].mine == mine && l.units[i].alive) sum += l.units[i].health;
  return sum;
}

}  // namespace

void SimLoad(SimLane* lane, int me, int lane32) {
  *lane = SimLane();
  lane->me = me;
  lane->meteorTime = -1;
  int last[2] = {-1, -1};
  for (Troop* t : TroopAll()) {
    if (t->lane != lane32 || lane->count == kSimMaxUnits) continue;
    bool mine = t->rightSide == (me == 1);
    bool faint = t->kind == Rogue && !t->revealed;
    if (t->alive && !SimSees(*t, me)) continue;
    SimUnit u = UnitOf(t->kind);
    u.mine = mine;
    u.x = t->position.x;
    u.health = t->health;
    u.alive = t->alive;
    u.period = t->attackPeriod;
    u.cooldown = u.period;  // its swing is not shown: taken as ready
    u.hidden = faint;
    u.ambushed = faint && t->ambushed;
    u.factor = t->speedFactor;
    // A spell's factor lasts up to 2.5 s; the Ice Mage's slow until a spell ends.
    u.factorTime = t->speedFactor == 1 || t->speedFactor == kSlow ? kForever : kEffectTime / 2;
    u.ahead = last[mine];
    last[mine] = lane->count;
    lane->units[lane->count++] = u;
  }
}

bool SimSummon(SimLane* lane, TroopKind kind, bool mine, float delay) {
  if (lane->count == kSimMaxUnits || !TroopKindIsValid(kind)) return false;
  SimUnit u = UnitOf(kind);
  u.mine = mine;
  u.appear = delay;
  bool right = (lane->me == 1) == mine;
  u.x = right ? kSpawnX : -kSpawnX;
  u.ahead = LastOf(*lane, mine);
  lane->units[lane->count++] = u;
  return true;
}

void SimFaintRogue(SimLane* lane, float age) {
  if (!SimSummon(lane, Rogue, false, 0)) return;
  SimUnit& u = lane->units[lane->count - 1];
  u.x += Forward(*lane, u) * u.speed * (age / kUpdateStep);
}

float SimFaintSeconds() { return kSpawnX / (TroopStatsOf(Rogue).speed / kUpdateStep); }

SimOutcome SimRun(SimLane l, float horizon) {
  SimOutcome o = {-1, horizon, 0, 0};
  for (float t = 0; t < horizon; t += kStep) {
    bool mine = SideStands(l, true), theirs = SideStands(l, false);
    if (!mine || !theirs) {
      // Nobody left to meet: the side still standing walks in.
      if (mine || theirs) {
        float in = t + WalkIn(l, mine);
        if (in < horizon) o = {mine ? 0 : 1, in, 0, 0};
      }
      break;
    }
    Step(l);
    int scorer = Scorer(l);
    if (scorer >= 0) {
      o = {scorer, t + kStep, 0, 0};
      break;
    }
  }
  o.mine = HealthOf(l, true);
  o.theirs = HealthOf(l, false);
  return o;
}

void SimAdvance(SimLane* lane, float seconds) {
  for (float t = 0; t < seconds; t += kStep) Step(*lane);
}

bool SimSees(const Troop& t, int me) {
  if (t.kind != Rogue || t.rightSide == (me == 1)) return true;
  float dirMe = me == 0 ? 1.0f : -1.0f;
  return dirMe * t.position.x < 0;
}

void SimExecute(SimLane* lane) {
  int victim = -1;
  float dirMe = lane->me == 0 ? 1.0f : -1.0f;
  for (int i = 0; i < lane->count; ++i) {
    const SimUnit& u = lane->units[i];
    if (u.mine || !u.alive || u.appear > 0) continue;
    if (victim < 0 || dirMe * (u.x - lane->units[victim].x) < 0) victim = i;
  }
  if (victim >= 0) lane->units[victim].alive = false;
}

void SimQuake(SimLane* lane) {
  for (int i = 0; i < lane->count; ++i) {
    SimUnit& u = lane->units[i];
    if (!u.mine && u.alive && u.appear <= 0 && !u.flying) Hurt(u, 30);
  }
}

void SimPoison(SimLane* lane) { lane->poisonTime = kEffectTime; }

void SimMeteor(SimLane* lane, float x, float fallsIn) {
  lane->meteorTime = fallsIn;
  lane->meteorX = x;
}

void SimStun(SimLane* lane) {
  lane->stunTime = kEffectTime;
  for (int i = 0; i < lane->count; ++i) {
    SimUnit& u = lane->units[i];
    if (u.mine || !u.alive || u.appear > 0) continue;
    u.factor = 0;
    u.factorTime = kEffectTime;
  }
}

void SimWind(SimLane* lane) {
  for (int i = 0; i < lane->count; ++i) {
    SimUnit& u = lane->units[i];
    if (u.mine || !u.alive || u.appear > 0) continue;
    u.factor = -3;
    u.factorTime = kEffectTime;
  }
}

void SimBoost(SimLane* lane) {
  for (int i = 0; i < lane->count; ++i) {
    SimUnit& u = lane->units[i];
    if (!u.mine || !u.alive || u.appear > 0) continue;
    u.factor = 5;
    u.factorTime = kEffectTime;
  }
}
