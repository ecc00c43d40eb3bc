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
// Keys read beside the battle's controls: opening the pause menu, holding the ranges up.
enum SeatControl { SEAT_Pause, SEAT_Ranges, SEAT_Count };
// Every control has up to two keys: set 0, the first (player 2's on the number pad), and set 1
// (player 2's on keys every laptop has, player 1's Escape for the pause).
const int kControlKeySets = 2;
// The keyboard key of a player's control in a set (the computer player presses set 0's); 0 for
// none.
int ControlsKey(int player, Control control, int set = 0);
int ControlsSeatKey(int player, SeatControl control, int set = 0);
// A player holds a key or pad button that shows the troops' ranges.
bool ControlsRangesHeld(int player);
// The energy a summon slot (0 .. 3: A, B, X, Y) costs, the same for every hero.
int32_t ControlsSummonCost(int slot);
