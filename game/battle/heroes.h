// heroes.h - the four heroes, one row each: name, troops and their charge times, built-in spell,
// and pictures. The battle board, the HUD, hero selection and the results read it.
#pragma once
#include "battle/match.h"
#include "troops/troopkind.h"

struct HeroInfo {
  HeroId id;
  const char* name;
  TroopKind troops[4];      // summon slots A, B, X, Y
  float chargeTimes[4];     // seconds before a slot may summon again
  SpellId spell;            // built-in
  // Pictures by their name in data/ ("KnightCharacter" is "data/KnightCharacter.png").
  const char* portrait;
  const char* grid;         // the battle's summon grid
  const char* troopIcons[4];
  const char* health[3];    // at 1, 2 and 3 health
  const char* book;         // the hero on the selection book
  const char* troopPage;    // the book's page of the hero's troops
};

// The hero's row; null for an id that is no hero.
const HeroInfo* HeroInfoOf(HeroId id);
