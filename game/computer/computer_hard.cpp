// computer_hard.cpp - the Hard computer's choice: each lane played forward as it stands (with the
// Rogues the HUD told of) and with every summon and spell it could make; the best move is made.
#include "computer/computer_hard.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "battle/board.h"
#include "battle/controls.h"
#include "battle/heroes.h"
#include "battle/match.h"
#include "computer/computer_sim.h"
#include "kesystem.h"

namespace {

const int kLanes = 5;
const float kHorizon = 40;      // seconds it looks ahead
const float kPress = 0.2f;      // seconds per key it presses
const float kWin = 100;         // a round scored
const float kHaste = 1.5f;      // per second a goal comes sooner
const float kHealthWorth = 0.05f;
const float kEnergyWorth = 3;   // per energy, while the other side can still summon
const float kSpentWorth = 1.5f; // per energy, once it cannot
const float kSpellWorth = 8;    // fifteen seconds without the spell
const float kAnswered = 0.1f;   // a goal the other side can still answer counts this much
const float kWorthDoing = 4;    // a move that gains less is not made
const float kMeteorSweep = 0.6f;  // seconds the bar sweeps before it is launched, about
const float kMeteorFall = 1.0f;
const float kMeteorHalf = 52.5f;
const int kFaintMax = 6;

// Rogues the other side has sent that still walk faint through its half, as the HUD told each
// watching seat: the lane index and the seconds since.
struct Faint {
  int lane;
  float age;
};
struct HardMemory {
  float charge[2][4];  // the other side's slot charges in the last frame
  Faint faint[2][kFaintMax];
  int faints[2];
};
HardMemory gHard;

struct Outlook {
  SimLane lanes[kLanes];
  float value[kLanes];   // each lane's worth as it stands
  bool answerable;       // the other side may still summon
  float energyWorth;
  int here, cursor;
};

int Steps(int from, int to) {
  int d = std::abs(from - to);
  return std::min(d, kLanes - d);
}

SpellId SpellOfSlot(int me, int slot) {
  if (slot == 0) {
    const HeroInfo* h = HeroInfoOf(gMatch.hero[me]);
    return h ? h->spell : Spell_None;
  }
  return gMatch.spells[me][slot - 1];
}

// A lane's worth: a goal either way (sooner weighs more), then the health left on each side.
float Worth(const SimOutcome& o, const Outlook& look) {
  float v = kHealthWorth * (o.mine - o.theirs);
  float goal = kWin + kHaste * (kHorizon - o.time);
  if (o.scorer == 0) v += look.answerable ? kAnswered * goal : goal;
  if (o.scorer == 1) v -= goal;
  return v;
}

float Gain(const SimLane& lane, int index, const Outlook& look) {
  return Worth(SimRun(lane, kHorizon), look) - look.value[index];
}

// Where a meteor cast after `delay` catches the most enemies; 0 hits when none.
float MeteorX(const SimLane& lane, float fallsIn, int* hits) {
  SimLane later = lane;
  SimAdvance(&later, fallsIn);
  float best = 0;
  *hits = 0;
  for (int i = 0; i < later.count; ++i) {
    const SimUnit& u = later.units[i];
    if (u.mine || !u.alive || u.appear > 0) continue;
    int n = 0;
    for (int j = 0; j < later.count; ++j) {
      const SimUnit& v = later.units[j];
      n += !v.mine && v.alive && v.appear <= 0 && std::fabs(v.x - u.x) <= kMeteorHalf;
    }
    if (n > *hits) {
      *hits = n;
      best = u.x;
    }
  }
  return best;
}

// The Freeze holds every hand of the other side: worth it while a goal of ours is coming that
// it could still answer.
float FreezeGain(const Outlook& look, int me) {
  if (BoardPlayer(1 - me).energy <= 0) return 0;
  for (int lane = 0; lane < kLanes; ++lane)
    if (SimRun(look.lanes[lane], kHorizon).scorer == 0) return 30;
  return 0;
}

float SpellGain(const Outlook& look, int me, int lane, SpellId id, float delay) {
  SimLane c = look.lanes[lane];
  switch (id) {
    case Spell_Freeze: return FreezeGain(look, me);
    case Spell_Meteor: {
      int hits = 0;
      float fallsIn = delay + kMeteorSweep + kMeteorFall;
      float x = MeteorX(c, fallsIn, &hits);
      if (hits == 0) return 0;
      SimMeteor(&c, x, fallsIn);
      return Gain(c, lane, look);
    }
    default: break;
  }
  SimAdvance(&c, delay);
  switch (id) {
    case Spell_Execute: SimExecute(&c); break;
    case Spell_Quake: SimQuake(&c); break;
    case Spell_Poison: SimPoison(&c); break;
    case Spell_Stun: SimStun(&c); break;
    case Spell_Wind: SimWind(&c); break;
    case Spell_Boost: SimBoost(&c); break;
    default: return 0;
  }
  return Gain(c, lane, look);
}

int CursorSteps(int cursor, int slot) {
  int forward = (slot + 1 - cursor + 3) % 3;
  return std::min(forward, 3 - forward);
}

void Consider(Plan* best, PlanKind kind, int lane, int slot, float score) {
  if (score > best->score) *best = {kind, lane, slot, score, 0};
}

void ConsiderLane(Plan* best, const Outlook& look, int me, int lane) {
  const BattlePlayer& p = BoardPlayer(me);
  float walk = Steps(look.here, lane) * kPress;
  for (int slot = 0; slot < 4; ++slot) {
    const SummonSlot& ss = p.summonSlots[slot];
    int32_t cost = ControlsSummonCost(slot);
    if (!TroopKindIsValid(ss.kind) || p.energy < cost || ss.chargeTimer <= ss.chargeTime) continue;
    SimLane c = look.lanes[lane];
    if (!SimSummon(&c, ss.kind, true, walk + kPress)) continue;
    Consider(best, PLAN_Summon, lane, slot, Gain(c, lane, look) - cost * look.energyWorth);
  }
  for (int slot = 0; slot < 3; ++slot) {
    const SpellSlot& sp = p.spellSlots[slot];
    if (!sp.cast || !sp.ready) continue;
    float delay = walk + (CursorSteps(look.cursor, slot) + 1) * kPress;
    float gain = SpellGain(look, me, lane, SpellOfSlot(me, slot), delay);
    Consider(best, PLAN_Cast, lane, slot, gain - kSpellWorth);
  }
}

}  // namespace

void HardReset() { gHard = HardMemory(); }

void HardWatch(int me) {
  if (me < 0 || me > 1) return;
  const BattlePlayer& q = BoardPlayer(1 - me);
  int& n = gHard.faints[me];
  Faint* faint = gHard.faint[me];
  for (int i = 0; i < n; ++i) faint[i].age += (float)SysGetFrameTime();
  while (n > 0 && faint[0].age > SimFaintSeconds()) {
    for (int i = 1; i < n; ++i) faint[i - 1] = faint[i];
    --n;
  }
  // A slot that starts charging again has just sent its troop, under that side's arrow.
  for (int slot = 0; slot < 4; ++slot) {
    const SummonSlot& ss = q.summonSlots[slot];
    bool sent = ss.chargeTimer < gHard.charge[me][slot];
    gHard.charge[me][slot] = ss.chargeTimer;
    if (sent && ss.kind == Rogue && n < kFaintMax) faint[n++] = {q.lane + 2, 0};
  }
}

Plan HardChoose(int me, bool* losing) {
  const BattlePlayer& p = BoardPlayer(me);
  int theirs = BoardPlayer(1 - me).energy;
  Outlook look;
  look.here = p.lane + 2;
  look.cursor = p.spellCursor;
  look.answerable = theirs >= ControlsSummonCost(0);
  // Energy is dearer while the other side holds more of it.
  float behind = (float)std::max(0, theirs - p.energy);
  look.energyWorth = look.answerable ? kEnergyWorth * (1 + behind / 10)
                                     : kSpentWorth;
  *losing = false;
  for (int lane = 0; lane < kLanes; ++lane) {
    SimLoad(&look.lanes[lane], me, lane - 2);
    for (int i = 0; i < gHard.faints[me]; ++i)
      if (gHard.faint[me][i].lane == lane) SimFaintRogue(&look.lanes[lane], gHard.faint[me][i].age);
    SimOutcome o = SimRun(look.lanes[lane], kHorizon);
    look.value[lane] = Worth(o, look);
    *losing |= o.scorer == 1;
  }
  Plan best;
  best.score = kWorthDoing;
  for (int lane = 0; lane < kLanes; ++lane) ConsiderLane(&best, look, me, lane);
  if (best.kind == PLAN_None) best.score = 0;
  return best;
}
