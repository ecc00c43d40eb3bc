// troopkind.h - the sixteen troop kinds and their statistics, one row per kind, and the figures
// of their special abilities: what the troops, the heroes' rosters, the computer and the book read.
#pragma once
#include <cstdint>

typedef int32_t TroopKind;
enum : TroopKind {
  KnightTroop = 1001, Rogue = 1002, Archer = 1003, Catapult = 1004,
  MageTroop = 1005, IceMage = 1006, Golem = 1007, Dragon = 1008,
  Dryad = 1009, Bear = 1010, Plant = 1011, Treant = 1012,
  Demon = 1013, Imp = 1014, Goblin = 1015, Troll = 1016,
};

struct TroopStats {
  const char* picture;  // battle picture, e.g. "knighttroop" for "data/knighttroop.png"
  float health, speed, damage, attackPeriod, range;
  bool flying, ranged;
  float splashWidth;    // 0: no splash
  const char* name;     // as people read it, e.g. "Knight troop"
};

bool TroopKindIsValid(TroopKind kind);
// The kind's row; kind must be one of the sixteen.
const TroopStats& TroopStatsOf(TroopKind kind);

// The figures of the troops' special abilities, one home for what the troops do and the book says.
struct TroopAbilityFigures {
  float ambushDamage;                // Rogue: its first strike from hiding
  float slowFactor, slowTime;        // Ice Mage: its victims' speed factor, for this long
  float impStealBelow, impSteal;     // Imp: while its health is below, each strike steals
  int dryadMaxAllies;                // Dryad: heals up to this many allies
  float dryadReach, dryadHeal;
  float enrageHealth, enragePeriod;  // Demon: below this health it strikes this often
};
inline constexpr TroopAbilityFigures kTroopAbilities = {
    100, 0.7f, 1.5f, 70, 10, 10, 300, 15, 45, 0.9f,
};
