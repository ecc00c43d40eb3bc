// book_figures.cpp - the figures the book's pictures show (troop statistics, charge times,
// abilities, spells, summon costs) from the game's tables, one "key text" line each: assets/book-figures.txt.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "battle/board.h"
#include "battle/controls.h"
#include "battle/heroes.h"
#include "battle/spells.h"
#include "troops/troopkind.h"

namespace {

const char kSlots[] = "ABXY";

// The book writes the shortest text that reads back as the figure; a time between strikes keeps
// one decimal ("2.0 s") so its column lines up.
std::string Text(float value, bool oneDecimal = false) {
  char buf[32];
  if (oneDecimal && value == std::floor(value))
    std::snprintf(buf, sizeof buf, "%.1f", value);
  else
    std::snprintf(buf, sizeof buf, "%g", value);
  return buf;
}

// Counts the book spells out ("ten allies").
std::string Count(int n) {
  static const char* const kWords[] = {"no",    "one",   "two",    "three", "four",
                                       "five",  "six",   "seven",  "eight", "nine",
                                       "ten",   "eleven", "twelve"};
  return n >= 0 && n <= 12 ? kWords[n] : std::to_string(n);
}

void AbilityLines(std::ostringstream& out) {
  const TroopAbilityFigures& a = kTroopAbilities;
  out << "Rogue.ambushDamage " << Text(a.ambushDamage) << "\n"
      << "IceMage.slowFactor " << Text(a.slowFactor) << "\n"
      << "IceMage.slowPercent " << Text(std::round(a.slowFactor * 100)) << "\n"
      << "IceMage.slowTime " << Text(a.slowTime) << "\n"
      << "Imp.steal " << Text(a.impSteal) << "\n"
      << "Dryad.allies " << Count(a.dryadMaxAllies) << "\n"
      << "Dryad.reach " << Text(a.dryadReach) << "\n"
      << "Dryad.heal " << Text(a.dryadHeal) << "\n"
      << "Demon.enrageHealth " << Text(a.enrageHealth) << "\n"
      << "Demon.enragePeriod " << Text(a.enragePeriod) << "\n";
}

void SpellLines(std::ostringstream& out) {
  const SpellFigures& s = SpellsFigures();
  out << "Spell.duration " << Text(s.effectDuration) << "\n"
      << "Boost.speed " << Text(s.boostSpeed) << "\n"
      << "Poison.perStep " << Text(s.poisonPerStep) << "\n"
      << "Quake.damage " << Text(s.quakeDamage) << "\n"
      << "Meteor.damage " << Text(s.meteorDamage) << "\n"
      << "Meteor.delay " << Text(s.impactDelay) << "\n";
}

// What summoning costs: the same for every hero ("Cost.A 1"), out of the round's energy.
void CostLines(std::ostringstream& out) {
  for (int slot = 0; slot < 4; ++slot)
    out << "Cost." << kSlots[slot] << " " << ControlsSummonCost(slot) << "\n";
  out << "Energy.start " << kStartEnergy << "\n";
}

// A troop's figures by its hero and slot ("Knight.A.health 120"), then the abilities and spells.
std::string Figures() {
  std::ostringstream out;
  for (HeroId id = Hero_Knight; HeroInfoOf(id); ++id) {
    const HeroInfo& hero = *HeroInfoOf(id);
    for (int slot = 0; slot < 4; ++slot) {
      const TroopStats& s = TroopStatsOf(hero.troops[slot]);
      std::string key = std::string(hero.name) + "." + kSlots[slot] + ".";
      out << key << "health " << Text(s.health) << "\n"
          << key << "damage " << Text(s.damage) << "\n"
          << key << "speed " << Text(s.speed) << "\n"
          << key << "range " << Text(s.range) << "\n"
          << key << "period " << Text(s.attackPeriod, true) << "\n"
          << key << "charge " << Text(hero.chargeTimes[slot]) << "\n"
          // Marks are drawn or not: 1 or 0, for an opacity.
          << key << "flying " << s.flying << "\n"
          << key << "ranged " << s.ranged << "\n"
          << key << "splash " << (s.splashWidth > 0) << "\n";
    }
  }
  AbilityLines(out);
  SpellLines(out);
  CostLines(out);
  return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Names the lines only one side has.
void ReportDifferences(const std::string& file, const std::string& committed,
                       const std::string& figures) {
  std::vector<std::string> have = Lines(committed), want = Lines(figures);
  std::fprintf(stderr, "[book] %s is not what the tables give (rewrite it: book_figures > %s, then "
               "run assets/build):\n", file.c_str(), file.c_str());
  for (const std::string& l : want)
    if (std::find(have.begin(), have.end(), l) == have.end())
      std::fprintf(stderr, "  the tables give  %s\n", l.c_str());
  for (const std::string& l : have)
    if (std::find(want.begin(), want.end(), l) == want.end())
      std::fprintf(stderr, "  the file has     %s\n", l.c_str());
}

}  // namespace

// No argument: prints the figures. A file: fails unless it holds exactly them.
int main(int argc, char** argv) {
  std::string figures = Figures();
  if (argc < 2) {
    std::fputs(figures.c_str(), stdout);
    return 0;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "[book] cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream committed;
  committed << in.rdbuf();
  if (committed.str() == figures) return 0;
  ReportDifferences(argv[1], committed.str(), figures);
  return 1;
}
