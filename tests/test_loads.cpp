// Every screen's Load on the real game and data folder: each result variant of the round-over
// screen and each hero in battle. Any picture, sound or font the game asks for that does not load
// leaves its tagged line on stderr; the walk fails on any such line and names the files.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "battle/match.h"
#include "framework/audio.h"
#include "hpaudio.h"
#include "hpmenus.h"
#include "hptest.h"
#include "kegraphics.h"
#include "kesystem.h"
#include "states.h"

namespace {

// The tags of the loaders' failure lines (pictures and font, sounds, the battle's picture table).
const char* const kFailureTags[] = {"[gfx]", "[audio]", "[battle]"};

std::set<std::string> FailureLines(const std::string& log) {
  std::set<std::string> lines;  // each battle visit loads the same files again
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);)
    for (const char* tag : kFailureTags)
      if (line.compare(0, strlen(tag), tag) == 0) lines.insert(line);
  return lines;
}

struct Visit {
  const char* what;
  GameStateId state;
  HeroId hero1, hero2;
  SpellId spells[2][2];
  RoundResult winner;
  int health1, health2;
};

// A battle for every hero on either side and every chosen spell; the result screen for every
// round result and either match winner (the match jingles are loaded only then).
const Visit kVisits[] = {
    {"hero selection", GS_HeroSelect, Hero_Knight, Hero_Mage, {{0, 0}, {0, 0}}, Round_Draw, 3, 3},
    {"spell selection", GS_SpellSelect, Hero_Knight, Hero_Mage, {{0, 0}, {0, 0}}, Round_Draw, 3, 3},
    {"battle, Knight and Mage", GS_Battle, Hero_Knight, Hero_Mage,
     {{Spell_Meteor, Spell_Execute}, {Spell_Stun, Spell_Wind}}, Round_Draw, 3, 3},
    {"battle, Orc and Druid", GS_Battle, Hero_Orc, Hero_Druid,
     {{Spell_Stun, Spell_Wind}, {Spell_Meteor, Spell_Execute}}, Round_Draw, 3, 3},
    {"battle, Druid and Knight", GS_Battle, Hero_Druid, Hero_Knight,
     {{Spell_Wind, Spell_Meteor}, {Spell_Execute, Spell_Stun}}, Round_Draw, 3, 3},
    {"battle, Mage and Orc", GS_Battle, Hero_Mage, Hero_Orc,
     {{Spell_Execute, Spell_Stun}, {Spell_Wind, Spell_Meteor}}, Round_Draw, 3, 3},
    {"round won by player 1", GS_RoundOver, Hero_Knight, Hero_Mage, {{0, 0}, {0, 0}}, Round_P1Won, 3, 2},
    {"round won by player 2", GS_RoundOver, Hero_Knight, Hero_Mage, {{0, 0}, {0, 0}}, Round_P2Won, 2, 3},
    {"round drawn", GS_RoundOver, Hero_Orc, Hero_Druid, {{0, 0}, {0, 0}}, Round_Draw, 3, 3},
    {"match won by player 1", GS_RoundOver, Hero_Orc, Hero_Druid, {{0, 0}, {0, 0}}, Round_P1Won, 1, 0},
    {"match won by player 2", GS_RoundOver, Hero_Druid, Hero_Knight, {{0, 0}, {0, 0}}, Round_P2Won, 0, 2},
    {"how to play", GS_HowToPlay, Hero_Knight, Hero_Mage, {{0, 0}, {0, 0}}, Round_Draw, 3, 3},
    {"settings", GS_Settings, Hero_Knight, Hero_Mage, {{0, 0}, {0, 0}}, Round_Draw, 3, 3},
    {"credits", GS_Credits, Hero_Knight, Hero_Mage, {{0, 0}, {0, 0}}, Round_Draw, 3, 3},
    {"main menu again", GS_MainMenu, Hero_Knight, Hero_Mage, {{0, 0}, {0, 0}}, Round_Draw, 3, 3},
};

void SetMatch(const Visit& v) {
  gMatch.hero[0] = v.hero1;
  gMatch.hero[1] = v.hero2;
  for (int p = 0; p < 2; ++p)
    for (int s = 0; s < 2; ++s) gMatch.spells[p][s] = v.spells[p][s];
  gMatch.roundWinner = v.winner;
  gMatch.heroHealth[0] = v.health1;
  gMatch.heroHealth[1] = v.health2;
}

TEST(LoadWalkTest, EveryPictureSoundAndFontEveryScreenAsksForLoads) {
  TestUseNullBackend();
  testing::internal::CaptureStderr();
  bool started = MenusStart(GS_MainMenu, 320, 240);
  bool iconLoaded = started && SysSetIcon("data/icon.png");
  // The main menu's Load runs in the first step.
  int before = GfxTextureLiveCount();
  bool stepped = started && TestStep(1);
  int menuTextures = GfxTextureLiveCount() - before;
  std::vector<std::string> entered, empty;
  for (const Visit& v : kVisits) {
    if (!stepped) break;
    // Leave for the main menu first, so that each visit's Load runs on a fresh state.
    if (GsmGetCurrentState() != GS_MainMenu) {
      GsmSetNextState(GS_MainMenu);
      TestStep(1);
    }
    SetMatch(v);
    GsmSetNextState(v.state);
    if (!MenusStepUntil(v.state, 3)) break;
    TestStep(2);
    entered.push_back(v.what);
    if (GfxTextureLiveCount() <= before) empty.push_back(v.what);
  }
  bool soundOn = gAudio.IsOn() && gHowToPlayAudio.IsOn() && gCreditsAudio.IsOn() &&
                 gSettingsAudio.IsOn();
  if (started) MenusStop();
  std::string log = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started);
  ASSERT_TRUE(stepped);
  EXPECT_TRUE(soundOn) << "sound loads are only checked with a device";
  EXPECT_TRUE(iconLoaded);
  EXPECT_GT(menuTextures, 0);
  EXPECT_EQ(entered.size(), sizeof kVisits / sizeof kVisits[0]) << "the walk stopped early";
  EXPECT_TRUE(empty.empty()) << "no picture loaded on " << (empty.empty() ? "" : empty[0]);
  std::set<std::string> failures = FailureLines(log);
  std::string list;
  for (const std::string& line : failures) list += "\n  " + line;
  EXPECT_TRUE(failures.empty()) << "files the game asked for that did not load:" << list;
  EXPECT_TRUE(TestMessageBoxes().empty()) << TestMessageBoxes()[0].text;
}

}  // namespace
