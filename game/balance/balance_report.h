// balance_report.h - what the balance lab counts over its matches, and the report it prints from
// the counts: the win table, heroes, seats, rounds and the troops and spells winners used.
#pragma once
#include <cstdint>
#include <cstdio>

#include "battle/match.h"
#include "troops/troopkind.h"

const int kBalanceHeroes = Hero_Druid - Hero_Knight + 1;  // by id - Hero_Knight
const int kBalanceTroops = Troll - KnightTroop + 1;       // by kind - KnightTroop
const int kBalanceSpells = Spell_Quake - Spell_Meteor + 1;  // by id - Spell_Meteor

// How often one side of a match summoned each troop kind and cast each spell.
struct BalanceUses {
  int troops[kBalanceTroops];
  int spells[kBalanceSpells];
};

struct BalanceTally {
  int matchesPerPair;
  uint32_t seed;
  int wins[kBalanceHeroes][kBalanceHeroes][2];  // [player 1's hero][player 2's][winning seat]
  int draws[kBalanceHeroes][kBalanceHeroes];    // matches still undecided at the time limit
  int rounds, roundDraws;
  double roundSeconds;  // game time of every finished round, up to its deciding moment
  BalanceUses winners, losers;
};

void BalanceReport(const BalanceTally& t, FILE* out);
