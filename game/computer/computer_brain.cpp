// computer_brain.cpp - what the computer does in battle. It reads the board as a person sees it
// (troops, kinds, health bars, places; its own energy, charges and cooldowns from the HUD; never
// a Rogue still faint in its own half), weighs every summon and spell in every lane, and walks
// toward the best one key by key: lane arrow first, then spell cursor, then the action.
#include "computer/computer_brain.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "battle/battle.h"
#include "battle/board.h"
#include "battle/controls.h"
#include "battle/heroes.h"
#include "battle/match.h"
#include "battle/spells.h"
#include "computer/computer_hard.h"
#include "computer/computer_sim.h"
#include "kesystem.h"
#include "troops/troop.h"

namespace {

const int kLanes = 5;
const float kFar = 1000;            // distance of a lane with nobody in it
const float kSpawnX = 250;          // troops appear this far from the middle, in front of the arrow
const float kQueue = 45;            // a troop this near the spawn point makes a new one queue
const float kRunway = 560;          // from a spawn point to the far goal line, about
const float kKeepPlan = 1.5f;       // seconds a plan is kept unless it stops making sense
const float kMeteorPatience = 5.0f; // an aim with nothing to hit is given up (the spell returns)
const float kMeteorLead = 62;       // updates between launch and impact (1 s of 0.016 s steps)
const float kMeteorHalf = 45;       // launch when the bar's edge is this close to the target
const float kGlance = 0.1f;         // a strength that reacts late keeps a picture this often
const int kMemory = 16;             // pictures kept: up to 1.6 s back

// How each strength plays. Normal's row is the computer's own play. Easy decides on what it saw
// a while ago, weighs only the lanes next to its arrow, spends freely, trusts its troops less,
// counts any troop against flyers, summons onto its own file and casts on any target; Hard
// plans with the look-ahead (computer_hard).
struct Level {
  float lateness;      // seconds old the board it decides on is
  int reach;           // lanes either side of its arrow it weighs (2: all five)
  int32_t pushMargin;  // energy it may fall behind the other side by when attacking
  int32_t reserve;     // energy kept back while the other side has no troops out
  float thrift;        // how much a troop's strength per energy counts for it
  float hold;          // how many times their strength it trusts its troops to hold
  bool plainSpells;    // any target will do, and a meteor falls where the enemy is, not will be
  bool flyers;         // only troops that reach flyers hold them
  bool singleFile;     // a troop summoned onto its own file waits for the whole file
  bool flood;          // once the other side cannot summon, fast troops into empty lanes
  bool lookAhead;      // the Hard planner chooses its moves
};
const Level kLevels[Computer_LevelCount] = {
    {1.2f, 1, 30, 0, 0, 0.8f, true, false, false, false, false},  // Easy
    {0, 2, 6, 10, 1, 1.5f, false, true, true, true, false},       // Normal
    {0, 2, 6, 10, 1, 1.5f, false, true, true, true, true},        // Hard
};

// One lane as the board shows it to one player.
struct LaneSight {
  float threat = 0;        // enemy strength, heavier the nearer it is to our goal
  float airThreat = 0;     // the flyers' share of it
  float enemyPower = 0;
  int enemies = 0, ground = 0, flyers = 0, weakGround = 0;
  float enemyFront = kFar; // nearest enemy's distance to our goal line
  float enemyFrontX = 0;   // its x
  float frontPower = 0;    // the power of that nearest enemy
  float myPower = 0, myAntiAir = 0;
  int mine = 0;
  float myFront = kFar;    // our most advanced troop's distance to the enemy's goal line
  float myBack = kFar;     // our rearmost troop's distance from our own spawn point
};

struct Sight {
  LaneSight lanes[kLanes];
  int enemyTroops = 0, myTroops = 0;
};


struct SeatMind {
  const Level* level = &kLevels[Computer_Normal];
  Plan plan;
  float aimTime = 0;
  int pushLane = 0;        // where it sends troops when nothing needs defending
  // What a strength that reacts late saw, a picture every kGlance seconds, newest at `latest`.
  Sight memory[kMemory];
  int latest = -1, remembered = 0;
  float sinceGlance = 0;
  float rest = 0;          // seconds before the planner thinks again
};

struct BrainState {
  SeatMind minds[2];
};
BrainState gBrain;

float Dir(int me) { return me == 0 ? 1.0f : -1.0f; }

// Reaching a lane takes key presses: a plan far away is worth a little less.
float Distance(int from, int to) {
  int d = std::abs(from - to);
  return (float)std::min(d, kLanes - d);
}

float PowerOf(TroopKind kind, float health) {
  const TroopStats& s = TroopStatsOf(kind);
  float p = std::sqrt(std::fmax(health, 0.0f) * s.damage / s.attackPeriod);
  if (s.ranged) p *= 1.3f;
  if (s.flying) p *= 1.2f;
  return p;
}

bool HitsFlyers(TroopKind kind) {
  const TroopStats& s = TroopStatsOf(kind);
  return s.ranged || s.flying;
}

bool Seen(const Troop& t, int me) { return t.alive && SimSees(t, me); }

int LaneIndex(int32_t lane) { return lane + 2; }

void LookAtEnemy(LaneSight& l, const Troop& t, int me) {
  float dist = Dir(me) * t.position.x + kGoalLineX;
  float power = PowerOf(t.kind, t.health);
  float urgency = 1 + 2 * std::fmin(std::fmax((kRunway - dist) / kRunway, 0.0f), 1.0f);
  l.threat += power * urgency;
  if (t.flying) l.airThreat += power * urgency;
  l.enemyPower += power;
  l.enemies += 1;
  if (t.flying) l.flyers += 1;
  else l.ground += 1;
  if (!t.flying && t.health <= 30) l.weakGround += 1;
  if (dist < l.enemyFront) {
    l.enemyFront = dist;
    l.enemyFrontX = t.position.x;
    l.frontPower = power;
  }
}

void LookAtOwn(LaneSight& l, const Troop& t, int me) {
  float power = PowerOf(t.kind, t.health);
  l.myPower += power;
  if (HitsFlyers(t.kind)) l.myAntiAir += power;
  l.mine += 1;
  l.myFront = std::fmin(l.myFront, kGoalLineX - Dir(me) * t.position.x);
  l.myBack = std::fmin(l.myBack, Dir(me) * t.position.x + kSpawnX);
}

Sight Look(int me) {
  Sight s;
  for (Troop* t : TroopAll()) {
    if (!Seen(*t, me)) continue;
    int lane = LaneIndex(t->lane);
    if (lane < 0 || lane >= kLanes) continue;
    bool mine = t->rightSide == (me == 1);
    if (mine) {
      LookAtOwn(s.lanes[lane], *t, me);
      s.myTroops += 1;
    } else {
      LookAtEnemy(s.lanes[lane], *t, me);
      s.enemyTroops += 1;
    }
  }
  return s;
}

SpellId SpellInSlot(int me, int slot) {
  if (slot > 0) return gMatch.spells[me][slot - 1];
  const HeroInfo* hero = HeroInfoOf(gMatch.hero[me]);
  return hero ? hero->spell : Spell_None;
}

// What a lane still lacks to hold: the enemy's weight against ours. Flyers pass over troops that
// cannot reach them, so they are held by archers, casters and flyers alone.
// A strength that does not tell them apart counts every troop against every enemy.
float Need(const LaneSight& l, const Level& level, bool reachesFlyers = true) {
  if (!level.flyers) return std::fmax(l.threat - level.hold * l.myPower, 0.0f);
  float need = std::fmax(l.threat - l.airThreat - level.hold * l.myPower, 0.0f);
  if (reachesFlyers) need += std::fmax(l.airThreat - level.hold * l.myAntiAir, 0.0f);
  return need;
}

// Energy does not come back within a round: it attacks only while it keeps about as much as the
// other side, or a reserve while the other side has nothing on the board, so there is always
// enough left to hold the next wave.
bool MayPush(const Sight& s, const Level& level, int me) {
  int mine = BoardPlayer(me).energy, theirs = BoardPlayer(1 - me).energy;
  return theirs < mine + level.pushMargin || (s.enemyTroops == 0 && mine > level.reserve);
}

float SummonScore(const Sight& s, const SeatMind& mind, int me, int lane, int slot) {
  const BattlePlayer& p = BoardPlayer(me);
  const SummonSlot& ss = p.summonSlots[slot];
  int32_t cost = ControlsSummonCost(slot);
  if (!TroopKindIsValid(ss.kind) || p.energy < cost || ss.chargeTimer <= ss.chargeTime) return 0;
  const LaneSight& l = s.lanes[lane];
  const TroopStats& st = TroopStatsOf(ss.kind);
  float power = PowerOf(ss.kind, st.health);
  float perEnergy = mind.level->thrift * power / cost;
  float need = Need(l, *mind.level, HitsFlyers(ss.kind));
  float score = 0;
  if (need > 0) {
    score = std::fmin(need, power * 2) + perEnergy;
  } else if (Need(l, *mind.level) > 0) {
    score = 0;  // this troop cannot help there: the flyers need others
  } else if (mind.level->flood && l.enemies == 0 &&
             BoardPlayer(1 - me).energy < ControlsSummonCost(0)) {
    // The other side cannot summon any more: a fast troop in an empty lane walks through.
    score = 60 + 100 * st.speed + perEnergy;
  } else if (lane == mind.pushLane && MayPush(s, *mind.level, me)) {
    // Nothing to hold here: build a push where the enemy is weakest.
    score = 0.35f * power + 0.5f * perEnergy;
  }
  // Troops walk in single file: one summoned onto another waits for the whole file.
  if (l.myBack < kQueue && mind.level->singleFile) score *= 0.3f;
  return score;
}

// The spell whose turn it is: the one under the cursor, or the next ready one after it.
int SpellInTurn(const BattlePlayer& p) {
  for (int step = 0; step < 3; ++step) {
    int slot = (p.spellCursor - 1 + step) % 3;
    if (p.spellSlots[slot].cast && p.spellSlots[slot].ready) return slot;
  }
  return -1;
}

// Easy's spells: one after the other in the cursor's order, in the lane its arrow is on, on
// whatever is there; the Freeze whenever the other side may still summon.
float PlainSpellScore(const Sight& s, int me, int lane, int slot) {
  const BattlePlayer& p = BoardPlayer(me);
  if (lane != LaneIndex(p.lane) || slot != SpellInTurn(p)) return 0;
  const LaneSight& l = s.lanes[lane];
  switch (SpellInSlot(me, slot)) {
    case Spell_Boost: return l.mine > 0 ? 20 : 0;
    case Spell_Freeze: return BoardPlayer(1 - me).energy > 0 ? 20 : 0;
    case Spell_None: return 0;
    default: return l.enemies > 0 ? 10 + 0.2f * l.threat : 0;
  }
}

float SpellScore(const Sight& s, const SeatMind& mind, int me, int lane, int slot) {
  const BattlePlayer& p = BoardPlayer(me);
  const SpellSlot& sp = p.spellSlots[slot];
  if (!sp.cast || !sp.ready) return 0;
  if (mind.level->plainSpells) return PlainSpellScore(s, me, lane, slot);
  const LaneSight& l = s.lanes[lane];
  bool pushing = l.enemies > 0 && l.enemyFront < 330 && Need(l, *mind.level) > 0;
  switch (SpellInSlot(me, slot)) {
    case Spell_Poison:
      return l.enemies >= 2 || (l.enemies >= 1 && l.enemyFront < 300) ? 12 * l.enemies + 0.3f * l.threat : 0;
    case Spell_Quake:
      return l.ground >= 2 || l.weakGround > 0 ? 15 * l.ground + 30 * l.weakGround + 0.2f * l.threat : 0;
    case Spell_Execute:
      return l.enemies > 0 && (l.frontPower > 55 || l.enemyFront < 200) ? l.frontPower * 1.5f + 0.2f * l.threat : 0;
    case Spell_Stun:
    case Spell_Wind:
      return pushing ? 0.6f * l.threat : 0;
    case Spell_Freeze: {
      // The other side can neither summon nor cast for a while: worth it while it has energy
      // and either we are attacking or it is. Any lane will do, so the arrow stays.
      if (lane != LaneIndex(p.lane) || BoardPlayer(1 - me).energy <= 0) return 0;
      bool attacking = false;
      for (const LaneSight& any : s.lanes) attacking |= any.mine > 0 && any.myFront < 280;
      return attacking || s.enemyTroops > 0 ? 40 + (attacking ? 40 : 0) : 0;
    }
    case Spell_Boost:
      // My troops sprint while nobody stands in their way.
      return l.mine > 0 && l.enemies == 0 && l.myFront < 480 ? 30 + 5 * l.mine : 0;
    case Spell_Meteor:
      return l.enemies >= 2 || (l.enemies >= 1 && l.enemyFront < 250) ? 10 * l.enemies + 0.3f * l.threat : 0;
    default:
      return 0;
  }
}

Plan Choose(const Sight& s, const SeatMind& mind, int me) {
  const BattlePlayer& p = BoardPlayer(me);
  int here = LaneIndex(p.lane);
  Plan best;
  for (int lane = 0; lane < kLanes; ++lane) {
    if (Distance(here, lane) > mind.level->reach) continue;
    float away = 1 - 0.08f * Distance(here, lane);
    for (int slot = 0; slot < 4; ++slot) {
      float score = SummonScore(s, mind, me, lane, slot) * away;
      if (score > best.score) best = {PLAN_Summon, lane, slot, score, 0};
    }
    for (int slot = 0; slot < 3; ++slot) {
      float score = SpellScore(s, mind, me, lane, slot) * away;
      if (score > best.score) best = {PLAN_Cast, lane, slot, score, 0};
    }
  }
  return best;
}

// Hard's plan holds while it can still be carried out, for a second at most.
bool StillPossible(const Plan& plan, int me) {
  if (plan.kind == PLAN_None || plan.age > 1.0f) return false;
  const BattlePlayer& p = BoardPlayer(me);
  if (plan.kind == PLAN_Cast) return p.spellSlots[plan.slot].ready;
  const SummonSlot& ss = p.summonSlots[plan.slot];
  return p.energy >= ControlsSummonCost(plan.slot) && ss.chargeTimer > ss.chargeTime;
}

bool StillGood(const Plan& plan, const Sight& s, const SeatMind& mind, int me) {
  if (mind.level->lookAhead) return StillPossible(plan, me);
  if (plan.kind == PLAN_None || plan.age > kKeepPlan) return false;
  if (plan.kind == PLAN_Summon) return SummonScore(s, mind, me, plan.lane, plan.slot) > 0;
  return SpellScore(s, mind, me, plan.lane, plan.slot) > 0;
}

// How little a lane suits an attack: enemy weight there, and the other player's arrow near it
// (an answer takes it fewer presses).
float PushCost(const Sight& s, int me, int lane) {
  int enemyLane = LaneIndex(BoardPlayer(1 - me).lane);
  return s.lanes[lane].threat + 15 * (2 - Distance(enemyLane, lane));
}

// The lane that suits an attack best, kept unless another suits it clearly better.
void PickPushLane(const Sight& s, SeatMind& mind, int me) {
  // A push on its way is carried out: the lane chosen by where the other arrow stands would
  // otherwise follow that arrow, and two computers would chase each other round the lanes.
  if (mind.plan.kind == PLAN_Summon && mind.plan.lane == mind.pushLane) return;
  int best = mind.pushLane, arrow = LaneIndex(BoardPlayer(me).lane), reach = mind.level->reach;
  // A lane out of its sight is given up for the best one it sees.
  float here = Distance(arrow, best) > reach ? 1e9f : PushCost(s, me, best);
  for (int lane = 0; lane < kLanes; ++lane) {
    if (Distance(arrow, lane) > reach) continue;
    float cost = PushCost(s, me, lane) + 20;
    if (cost < here) {
      here = cost;
      best = lane;
    }
  }
  mind.pushLane = best;
}

// Lane steps take the short way round: the arrow wraps between the top and bottom lanes.
int LaneKey(int me, int from, int to) {
  int up = (to - from + kLanes) % kLanes;
  return ControlsKey(me, up <= kLanes - up ? CTL_Up : CTL_Down);
}

int CursorKey(int me, int cursor, int slot) {
  int forward = (slot + 1 - cursor + 3) % 3;
  return ControlsKey(me, forward == 1 ? CTL_Next : CTL_Previous);
}

// While the red bar sweeps: launch when its edge is over where an enemy will be in a second.
// Where an enemy will be when a meteor launched now falls.
float FallX(const Troop& t, int me) {
  float ahead = t.engaged ? 0 : t.speed * t.speedFactor * kMeteorLead;
  return t.position.x - Dir(me) * ahead;
}

// Hard waits for the spot where the most enemies will stand.
bool ClusterUnder(float edge, int me) {
  const int32_t lane = BoardPlayer(me).lane;
  int best = 0, here = 0;
  for (Troop* t : TroopAll()) {
    if (!Seen(*t, me) || t->rightSide == (me == 1) || t->lane != lane) continue;
    float x = FallX(*t, me);
    int n = 0;
    for (Troop* u : TroopAll())
      if (Seen(*u, me) && u->rightSide == t->rightSide && u->lane == lane)
        n += std::fabs(FallX(*u, me) - x) <= 2 * kMeteorHalf * 0.5f + 7;
    best = std::max(best, n);
    here += std::fabs(x - edge) <= 2 * kMeteorHalf * 0.5f + 7;
  }
  return best > 0 && here >= best;
}

int AimKey(int me, const GameObject* bar, SeatMind& mind, const Sight& s) {
  mind.aimTime += (float)SysGetFrameTime();
  const BattlePlayer& p = BoardPlayer(me);
  float edge = bar->position.x + Dir(me) * std::fabs(bar->scale.x) / 2;
  if (mind.level->lookAhead) {
    if (ClusterUnder(edge, me)) return ControlsKey(me, CTL_Cast);
  } else for (Troop* t : TroopAll()) {
    if (!Seen(*t, me) || t->rightSide == (me == 1) || t->lane != p.lane) continue;
    float lead = mind.level->plainSpells ? 0 : kMeteorLead;
    float ahead = t->engaged ? 0 : t->speed * t->speedFactor * lead;
    float x = t->position.x - Dir(me) * ahead;
    if (std::fabs(x - edge) < kMeteorHalf * 0.5f) return ControlsKey(me, CTL_Cast);
  }
  if (mind.aimTime < kMeteorPatience && s.lanes[LaneIndex(p.lane)].enemies > 0) return 0;
  // Nothing to hit: a lane step ends the aim and gives the spell back.
  return ControlsKey(me, CTL_Up);
}

int PlanKey(int me, SeatMind& mind) {
  const BattlePlayer& p = BoardPlayer(me);
  const Plan& plan = mind.plan;
  if (plan.kind == PLAN_None) return 0;
  int here = LaneIndex(p.lane);
  mind.plan.age += 0.2f;
  if (here != plan.lane) return LaneKey(me, here, plan.lane);
  if (plan.kind == PLAN_Summon) {
    mind.plan.kind = PLAN_None;  // one press does it, or shows it cannot be done
    return ControlsKey(me, (Control)(CTL_SummonA + plan.slot));
  }
  if (p.spellCursor != plan.slot + 1) return CursorKey(me, p.spellCursor, plan.slot);
  mind.plan.kind = PLAN_None;
  return ControlsKey(me, CTL_Cast);
}

// The picture lateness seconds old, or the oldest one kept.
const Sight& Remembered(const SeatMind& mind) {
  int back = std::min((int)(mind.level->lateness / kGlance + 0.5f), mind.remembered - 1);
  return mind.memory[(mind.latest - back + kMemory) % kMemory];
}

}  // namespace

void BrainReset() {
  gBrain = BrainState();
  for (SeatMind& m : gBrain.minds) m.pushLane = (int)ComputerRandom(kLanes);
  HardReset();
}

void BrainWatch(int me, ComputerLevel level) {
  if (me < 0 || me > 1 || level < 0 || level >= Computer_LevelCount) return;
  SeatMind& mind = gBrain.minds[me];
  mind.rest -= (float)SysGetFrameTime();
  if (kLevels[level].lookAhead) HardWatch(me);
  if (kLevels[level].lateness <= 0) return;
  mind.sinceGlance -= (float)SysGetFrameTime();
  if (mind.remembered > 0 && mind.sinceGlance > 0) return;
  mind.sinceGlance += kGlance;
  mind.latest = (mind.latest + 1) % kMemory;
  mind.memory[mind.latest] = Look(me);
  mind.remembered = std::min(mind.remembered + 1, kMemory);
}

int BrainNextKey(int me, ComputerLevel level) {
  if (me < 0 || me > 1 || level < 0 || level >= Computer_LevelCount) return 0;
  if (!BoardPlayer(me).arrow) return 0;
  SeatMind& mind = gBrain.minds[me];
  mind.level = &kLevels[level];
  Sight s = mind.remembered > 0 ? Remembered(mind) : Look(me);
  if (const GameObject* bar = SpellsMeteorMarker(me)) return AimKey(me, bar, mind, s);
  mind.aimTime = 0;
  if (mind.rest > 0) return 0;
  PickPushLane(s, mind, me);
  if (!StillGood(mind.plan, s, mind, me) || BoardPlayer(me).frozen) {
    if (mind.level->lookAhead) {
      bool losing = false;
      mind.plan = HardChoose(me, &losing);
      // A lane it would lose and no single move saves: held the Normal way, troop by troop.
      if (mind.plan.kind == PLAN_None && losing) mind.plan = Choose(s, mind, me);
      // It thinks again after a moment rather than every frame.
      if (mind.plan.kind == PLAN_None) mind.rest = 0.2f;
    } else {
      mind.plan = Choose(s, mind, me);
    }
    if (BoardPlayer(me).frozen && mind.plan.kind != PLAN_None) {
      // Frozen hands still move the arrow to where they will be needed.
      if (LaneIndex(BoardPlayer(me).lane) == mind.plan.lane) return 0;
    }
  }
  return PlanKey(me, mind);
}
