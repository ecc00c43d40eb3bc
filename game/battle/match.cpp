// match.cpp - the process-wide match record and the battle's hold flags, which the selection
// screens, the battle, the results and the screens over a paused battle share.
#include "match.h"

MatchSetup MatchAtStart() {
  return {{Hero_Knight, Hero_Knight}, {{Spell_Wind, Spell_None}, {Spell_Wind, Spell_None}}, {3, 3},
          Round_P1Won};
}

MatchSetup gMatch = MatchAtStart();

bool battleOnHold = false;
bool holdForHowToPlay = false;
bool holdForSettings = false;
bool holdForCredits = false;

bool MatchAnyHold() {
  return holdForHowToPlay || holdForSettings || holdForCredits;
}

bool MatchIsHero(HeroId id) {
  return id >= Hero_Knight && id <= Hero_Druid;
}

bool MatchIsChosenSpell(SpellId id) {
  return id >= Spell_Meteor && id <= Spell_Wind;
}
