// computer_brain.h - the computer player's battle decisions: from the board as it is shown to
// the one key of its player that it presses next.
#pragma once
#include <cstdint>

// Forgets the plans of both seats (a new round).
void BrainReset();
// The key the seat presses now, or 0 to press nothing. Called at most once per 0.2 s per seat.
int BrainNextKey(int player);
// A number in 0 .. n - 1 from the computer's seeded generator.
uint32_t ComputerRandom(uint32_t n);
