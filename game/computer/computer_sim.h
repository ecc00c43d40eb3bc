// computer_sim.h - the Hard computer's look-ahead: one lane's troops, as the board shows them,
// played forward in coarse steps to see who would score there and when.
#pragma once
#include "troops/troopkind.h"

class Troop;

const int kSimMaxUnits = 24;

struct SimUnit {
  TroopKind kind;
  float x, health, maxHealth, speed, damage, period, reach, splash;
  float cooldown;            // seconds since its last strike
  float appear;              // seconds until it stands on the board (a summon on its way)
  float factor, factorTime;  // a spell's speed factor and the seconds it still lasts
  bool mine, alive, flying, hitsFlyers;
  bool hidden, ambushed;     // a Rogue not yet shown, and whether it has struck from hiding
  int ahead;                 // the unit it queues behind (summoned before it in the lane), or -1
};

struct SimLane {
  int me;                    // whose view: 0 player 1, 1 player 2
  int count;
  SimUnit units[kSimMaxUnits];
  float stunTime;            // the other side's troops may not strike while it runs
  float poisonTime;          // the other side's troops lose health while it runs
  float meteorTime, meteorX; // a meteor falls at meteorX when meteorTime runs out (< 0: none)
};

struct SimOutcome {
  int scorer;                // -1: nobody within the horizon; 0: `me`; 1: the other side
  float time;                // seconds until that troop crosses its goal line
  float mine, theirs;        // the health left on each side at the end
};

// The lane (-2 .. 2) as player `me` sees it: every troop it can see there.
void SimLoad(SimLane* lane, int me, int lane32);
// A troop for me (or for the other side) appearing at its side's spawn point after delay s;
// false when the lane is full.
bool SimSummon(SimLane* lane, TroopKind kind, bool mine, float delay);
// A Rogue of the other side sent `age` seconds ago, walking faint from its spawn point.
void SimFaintRogue(SimLane* lane, float age);
// Seconds a Rogue walks faint, from its spawn point to the middle, where it shows itself.
float SimFaintSeconds();
// Plays the lane forward up to horizon seconds, or until someone scores.
SimOutcome SimRun(SimLane lane, float horizon);
// The lane as it will stand after `seconds` (for where a meteor should fall).
void SimAdvance(SimLane* lane, float seconds);
// Whether player `me` sees a troop: a Rogue is faint, and not seen, while it walks in its own
// half.
bool SimSees(const Troop& t, int me);

// My spells, cast now on the lane.
void SimExecute(SimLane* lane);
void SimQuake(SimLane* lane);
void SimPoison(SimLane* lane);
void SimMeteor(SimLane* lane, float x, float fallsIn);
void SimStun(SimLane* lane);
void SimWind(SimLane* lane);
void SimBoost(SimLane* lane);
