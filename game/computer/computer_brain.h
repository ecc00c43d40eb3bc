// computer_brain.h - the computer player's battle decisions: from the board as it is shown to
// the one key of its player that it presses next.
#pragma once
#include <cstdint>

#include "computer/computer.h"

// Forgets the plans of both seats (a new round).
void BrainReset();
// Every battle frame the round runs, before the seat's pace is looked at: a strength that reacts
// late keeps what it saw.
void BrainWatch(int player, ComputerLevel level);
// The key the seat presses now, or 0 to press nothing. Never called again within 0.2 s of a key.
int BrainNextKey(int player, ComputerLevel level);
// A number in 0 .. n - 1 from the computer's seeded generator.
uint32_t ComputerRandom(uint32_t n);
