// troopkind.cpp - the statistics of the sixteen troop kinds, one row each, as the design
// figures are given (single precision).
#include "troops/troopkind.h"

#include <cassert>

namespace {

// Indexed by kind - KnightTroop. Every value is the float nearest to the design figure.
const TroopStats kTroopTable[] = {
    // picture        health speed   damage period range  flying ranged splash name
    {"knighttroop",   120, 0.325f,  20, 1.7f,  50,  false, false, 0, "Knight troop"},
    {"Rogue",          50, 0.5f,    10, 2.2f,  10,  false, false, 0, "Rogue"},
    {"Archer",         70, 0.325f,  30, 2.25f, 250, false, true,  0, "Archer"},
    {"Catapult",       60, 0.175f,  40, 4.1f,  350, false, true,  160, "Catapult"},
    {"magetroop",      80, 0.3f,    20, 1.5f,  130, false, true,  0, "Mage troop"},
    {"IceMage",        85, 0.4f,    20, 2.0f,  300, false, true,  150, "Ice Mage"},
    {"Golem",         200, 0.25f,   30, 2.8f,  10,  false, false, 0, "Golem"},
    {"Dragon",        185, 0.28f,   65, 3.0f,  100, true,  true,  200, "Dragon"},
    {"Dryad",          80, 0.2f,    30, 2.0f,  250, false, true,  0, "Dryad"},
    {"Bear",          140, 0.35f,   60, 2.8f,  40,  false, false, 160, "Bear"},
    {"Plant",          80, 0.37f,   16, 1.9f,  230, false, true,  0, "Plant"},
    {"Treant",        165, 0.3f,    60, 2.4f,  30,  false, false, 0, "Treant"},
    {"Demon",         132, 0.45f,   45, 1.65f, 20,  false, false, 170, "Demon"},
    {"Imp",            70, 0.6f,    30, 1.0f,  30,  true,  false, 0, "Imp"},
    {"Goblin",         80, 0.45f,   34, 2.0f,  200, false, true,  0, "Goblin"},
    {"Troll",         115, 0.32f,   25, 1.5f,  30,  false, false, 0, "Troll"},
};
static_assert(sizeof kTroopTable / sizeof kTroopTable[0] == Troll - KnightTroop + 1,
              "one row per troop kind");

}  // namespace

bool TroopKindIsValid(TroopKind kind) { return kind >= KnightTroop && kind <= Troll; }

const TroopStats& TroopStatsOf(TroopKind kind) {
  assert(TroopKindIsValid(kind));
  return kTroopTable[kind - KnightTroop];
}
