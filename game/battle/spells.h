// spells.h - the eight spells: lane effects, Freeze, Quake, Execute, the two-step Meteor, and
// the timer step of a running battle update.
#pragma once
#include "battle/battle.h"

void CastBoost(GameObject* arrow, bool* ready);
void CastFreeze(GameObject* arrow, bool* ready);
void CastPoison(GameObject* arrow, bool* ready);
void CastQuake(GameObject* arrow, bool* ready);
void CastMeteor(GameObject* arrow, bool* ready);
void CastExecute(GameObject* arrow, bool* ready);
void CastStun(GameObject* arrow, bool* ready);
void CastWind(GameObject* arrow, bool* ready);

// The routine of a hero's built-in spell / of a chosen spell; null for unknown ids.
SpellCastFn SpellForHero(HeroId hero);
SpellCastFn SpellForChoice(SpellId spell);

void CancelMeteorAim(int player);
void UpdateSpellTimers();
// At battle Init: ends any meteor aim and forgets its marker (the old round's objects are gone).
void SpellsRoundStart();
// The player's red meteor bar while it aims, as the board shows it; null otherwise.
const GameObject* SpellsMeteorMarker(int player);
