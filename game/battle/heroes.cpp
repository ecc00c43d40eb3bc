// heroes.cpp - the rows of the four heroes: who they summon, how fast each slot recharges, their
// built-in spell and the pictures that show them on the board, the book and the results.
#include "battle/heroes.h"

namespace {

const HeroInfo kHeroes[] = {
    {Hero_Knight, "Knight", {KnightTroop, Rogue, Archer, Catapult}, {3.0f, 5.0f, 4.0f, 8.0f},
     Spell_Boost, "KnightCharacter", "KnightGrid",
     {"KnightIcon", "RogueIcon", "ArcherIcon", "CatapultIcon"},
     {"Knight1HP", "Knight2HP", "Knight3HP"}, "SelectionKnight", "SelectionKnightTroops"},
    {Hero_Mage, "Mage", {MageTroop, IceMage, Golem, Dragon}, {3.0f, 7.0f, 5.0f, 10.0f},
     Spell_Freeze, "MageCharacter", "MageGrid",
     {"AcolyteIcon", "IcemageIcon", "GolemIcon", "DragonIcon"},
     {"Wizard1HP", "Wizard2HP", "Wizard3HP"}, "SelectionMage", "SelectionMageTroops"},
    {Hero_Orc, "Orc", {Troll, Imp, Goblin, Demon}, {3.0f, 4.0f, 7.0f, 9.0f}, Spell_Poison,
     "OrcCharacter", "OrcGrid", {"TrollIcon", "ImpIcon", "GoblinIcon", "DemonIcon"},
     {"Dark1HP", "Dark2HP", "Dark3HP"}, "SelectionOrc", "SelectionOrcTroops"},
    {Hero_Druid, "Druid", {Plant, Treant, Bear, Dryad}, {3.0f, 12.0f, 8.0f, 6.0f}, Spell_Quake,
     "DruidCharacter", "DruidGrid", {"PlantIcon", "TreantIcon", "BearIcon", "DryadIcon"},
     {"Natura1HP", "Natura2HP", "Natura3HP"}, "SelectionDruid", "SelectionDruidTroops"},
};

}  // namespace

const HeroInfo* HeroInfoOf(HeroId id) {
  for (const HeroInfo& h : kHeroes)
    if (h.id == id) return &h;
  return nullptr;
}
