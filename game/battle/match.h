// match.h - the match record the selection screens, the battle and the results share, and the
// flags that keep a paused battle alive while a menu screen is shown over it.
#pragma once
#include <cstdint>

typedef int32_t HeroId;
enum : HeroId { Hero_Knight = 3001, Hero_Mage = 3002, Hero_Orc = 3003, Hero_Druid = 3004 };

// The four spells a player chooses, then the heroes' built-in ones (never chosen).
typedef int32_t SpellId;
enum : SpellId {
  Spell_None = 0,
  Spell_Meteor = 2001,
  Spell_Execute = 2002,
  Spell_Stun = 2003,
  Spell_Wind = 2004,
  Spell_Boost = 2005,
  Spell_Freeze = 2006,
  Spell_Poison = 2007,
  Spell_Quake = 2008,
};

typedef int32_t RoundResult;
enum : RoundResult { Round_P1Won = 0, Round_P2Won = 1, Round_Draw = 2 };

struct MatchSetup {
  HeroId hero[2];
  SpellId spells[2][2];   // [player][slot]
  int32_t heroHealth[2];  // rounds each player may still lose; 0 loses the match
  RoundResult roundWinner;
};

extern MatchSetup gMatch;
// The record as the program starts with it: Knights, Wind and no second spell, full health.
MatchSetup MatchAtStart();

// While any hold flag is set the battle's Load, Init, Free and Unload do nothing.
extern bool battleOnHold;
extern bool holdForHowToPlay;
extern bool holdForSettings;
extern bool holdForCredits;

bool MatchAnyHold();
bool MatchIsHero(HeroId id);
bool MatchIsChosenSpell(SpellId id);
