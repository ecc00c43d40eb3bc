// computer_hard.h - the Hard computer's choice of its next move: every summon and spell in every
// lane tried on the look-ahead (computer_sim), against what the other side can still summon.
#pragma once

enum PlanKind { PLAN_None, PLAN_Summon, PLAN_Cast };
struct Plan {
  PlanKind kind = PLAN_None;
  int lane = 0, slot = 0;  // lane index 0..4; summon slot 0..3 or spell slot 0..2
  float score = 0;
  float age = 0;
};

// A new round: nothing remembered.
void HardReset();
// Every battle frame: what the other side's HUD shows that the board does not (a Rogue sent
// faint, when its slot starts charging again under that side's arrow).
void HardWatch(int me);

// The move worth most to player `me` now, or PLAN_None to keep its energy and spells; `losing`
// tells whether the other side would score in some lane as the board stands.
Plan HardChoose(int me, bool* losing);
