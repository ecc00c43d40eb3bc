// spells.cpp - the eight spell routines and the timer step.
// Placeholder until the spells are built.
#include "battle/spells.h"

void CastBoost(GameObject*, bool*) {}
void CastFreeze(GameObject*, bool*) {}
void CastPoison(GameObject*, bool*) {}
void CastQuake(GameObject*, bool*) {}
void CastMeteor(GameObject*, bool*) {}
void CastExecute(GameObject*, bool*) {}
void CastStun(GameObject*, bool*) {}
void CastWind(GameObject*, bool*) {}
SpellCastFn SpellForHero(HeroId) { return nullptr; }
SpellCastFn SpellForChoice(SpellId) { return nullptr; }
void CancelMeteorAim(int) {}
void UpdateSpellTimers() {}
void SpellsRoundStart() {}
