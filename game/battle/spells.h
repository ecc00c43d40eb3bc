// spells.h - the eight spells, one row each (name, icon, sound, routine, description), their
// routines (lane effects, Freeze, Quake, Execute, the two-step Meteor), and the timer step that
// runs them in every running battle update.
#pragma once
#include "battle/board.h"
#include "battle/match.h"

struct SpellInfo {
  SpellId id;
  const char* name;         // as the HUD shows it
  const char* icon;         // picture name in data/ ("Meteorite" is "data/Meteorite.png")
  BattleSound sound;
  SpellCastFn cast;
  const char* description;  // spell selection's text; null for the heroes' built-in spells
};

// The spell's row; null for Spell_None and any id that is no spell.
const SpellInfo* SpellInfoOf(SpellId id);

void CastBoost(int player, bool* ready);
void CastFreeze(int player, bool* ready);
void CastPoison(int player, bool* ready);
void CastQuake(int player, bool* ready);
void CastMeteor(int player, bool* ready);
void CastExecute(int player, bool* ready);
void CastStun(int player, bool* ready);
void CastWind(int player, bool* ready);

void CancelMeteorAim(int player);
// The timer step after the summon charges and spell cooldowns have ticked: freezes, lane
// effects, meteors and quakes.
void UpdateSpellTimers();
// At battle Init: ends any meteor aim and forgets its marker (the old round's objects are gone).
void SpellsRoundStart();
// Every lane effect, aim and pending impact ended, as when the program starts (a game played in
// step with another machine starts from the same spells on both).
void SpellsReset();
struct StateText;
// What the spells hold between updates, one line each.
void SpellsDescribe(StateText& out);
// The player's red meteor bar while it aims, as the board shows it; null otherwise.
const GameObject* SpellsMeteorMarker(int player);
