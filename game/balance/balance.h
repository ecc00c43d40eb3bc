// balance.h - the balance lab: every hero against every hero, both seats played by the computer
// on the virtual clock, unseen and silent; prints who wins, how long rounds last and what won.
#pragma once
#include <cstdint>

const int kBalanceMaxMatches = 1000;  // per pair of heroes

// Plays `matches` matches for each of the sixteen ordered pairs of heroes, the computer's
// choices drawn from `seed`. The results go to standard output, progress to standard error.
// Returns the exit status: 0, or 1 when the game could not start, the run was stopped, or the
// matches left graphics resources unreleased (the report goes to standard error then).
int BalanceRun(int matches, uint32_t seed);
// Called after every frame the lab plays, so that the matches can be watched from outside (tests
// count them). Null removes it.
void BalanceSetFrameHook(void (*fn)());
