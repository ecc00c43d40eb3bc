// controls.h - the players' controls in a running battle: lane selection, summoning with energy
// and charge times, spell selection and casting, and the charge and cooldown timers.
#pragma once
#include <cstdint>

enum Control {
  CTL_Up, CTL_Down, CTL_SummonA, CTL_SummonB, CTL_SummonX, CTL_SummonY, CTL_Next, CTL_Previous,
  CTL_Cast, CTL_Count
};

void UpdateLaneSelection();
void UpdateSummoning();
void UpdateSpellInput();
void TickSummonCharges();
void TickSpellCooldowns();
// The keyboard key of a player's control (the computer player presses these); 0 for none.
int ControlsKey(int player, Control control);
// The energy a summon slot (0 .. 3: A, B, X, Y) costs, the same for every hero.
int32_t ControlsSummonCost(int slot);
