// The computer player in the real game: handed seat 2 on hero selection, it chooses a hero and
// two spells step by step and wins a whole match against an idle player 1 with summons and
// spells, pressing only player 2's keys; it waits while the pause menu is open; the options.
#include <gtest/gtest.h>

#include <set>

#include "battle/battle.h"
#include "battle/board.h"
#include "battle/pause.h"
#include "computer/computer.h"
#include "hpbattle.h"
#include "hpmenus.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"
#include "options.h"
#include "screens/heroselect.h"
#include "troops/troop.h"
#include "states.h"

namespace {

// Player 2's keys: the book's arrows and Space, the battle's arrows and numpad 0 to 4.
const std::set<int> kSeat2Keys = {VK_UP,         VK_DOWN,        VK_LEFT,        VK_RIGHT,
                                  VK_SPACE,      VK_NUMPAD0,     VK_NUMPAD0 + 1, VK_NUMPAD0 + 2,
                                  VK_NUMPAD0 + 3, VK_NUMPAD0 + 4};
const std::set<int> kSeat2BattleKeys = {VK_UP,          VK_DOWN,        VK_LEFT,
                                        VK_RIGHT,       VK_NUMPAD0,     VK_NUMPAD0 + 1,
                                        VK_NUMPAD0 + 2, VK_NUMPAD0 + 3, VK_NUMPAD0 + 4};

// Keys pressed in the last frame (nobody but the computer presses while this is used).
std::set<int> Triggered() {
  std::set<int> keys;
  for (int k = 0; k < 256; ++k)
    if (InputIsTriggered(k)) keys.insert(k);
  return keys;
}

int LivingTroops(bool rightSide) {
  int n = 0;
  for (Troop* t : TroopAll()) n += t->alive && t->rightSide == rightSide;
  return n;
}

// Steps while the computer plays alone; every key it presses must be one of `allowed`.
int StepWatching(int frames, const std::set<int>& allowed, GameStateId until) {
  int presses = 0;
  for (int f = 0; f < frames && GsmGetCurrentState() != until; ++f) {
    TestStep(1);
    for (int k : Triggered()) {
      EXPECT_TRUE(allowed.count(k)) << "key " << k << " on screen " << GsmGetCurrentState();
      ++presses;
    }
  }
  return presses;
}

class ComputerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ComputerSetSeat(0, false);
    ComputerSetSeat(1, false);
    ComputerSetSeed(5);  // its hero is then the Mage, whose Freeze pays even against idle hands
  }
  void TearDown() override { ComputerSetSeat(1, false); }
};

TEST_F(ComputerTest, ChoosesAndWinsAWholeMatchAgainstAnIdlePlayer) {
  ASSERT_TRUE(MenusStart(GS_MainMenu, 160, 120));
  for (int i = 0; i < 20 && GsmGetCurrentState() == GS_MainMenu; ++i) MenusPress(VK_RETURN);
  ASSERT_EQ(GsmGetCurrentState(), GS_HeroSelect);

  // C hands seat 2 over and back while player 2 has not chosen; player 1 then confirms.
  MenusPress('C');
  EXPECT_TRUE(ComputerHoldsSeat(1));
  MenusPress('C');
  EXPECT_FALSE(ComputerHoldsSeat(1));
  MenusPress('C');
  MenusPress(VK_SPACE);
  ASSERT_EQ(HeroSelectChooser(), 1);

  // It walks the book a step at a time, a person's pace, never in one frame.
  int presses = StepWatching(600, kSeat2Keys, GS_SpellSelect);
  ASSERT_EQ(GsmGetCurrentState(), GS_SpellSelect);
  EXPECT_GE(presses, 1);
  EXPECT_TRUE(MatchIsHero(gMatch.hero[1]));
  MenusPress('C');  // too late: player 2 has chosen
  EXPECT_TRUE(ComputerHoldsSeat(1));

  for (int key : {(int)VK_SPACE, (int)'D', (int)VK_SPACE}) MenusPress(key);
  StepWatching(900, kSeat2Keys, GS_Battle);
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_TRUE(MatchIsChosenSpell(gMatch.spells[1][0]));
  EXPECT_TRUE(MatchIsChosenSpell(gMatch.spells[1][1]));
  EXPECT_NE(gMatch.spells[1][0], gMatch.spells[1][1]);

  // Player 1 does nothing; the computer summons and casts until it has won three rounds.
  bool summoned = false, cast = false;
  int roundsWon = 0;
  GameStateId last = GS_Battle;
  for (int f = 0; f < 60 * 400 && GsmGetCurrentState() != GS_MainMenu; ++f) {
    StepWatching(1, GsmGetCurrentState() == GS_Battle ? kSeat2BattleKeys : std::set<int>(),
                 GS_MainMenu);
    GameStateId now = GsmGetCurrentState();
    if (now == GS_Battle) {
      summoned |= LivingTroops(true) > 0;
      for (const SpellSlot& s : BoardPlayer(1).spellSlots) cast |= s.cast && !s.ready;
      EXPECT_EQ(LivingTroops(false), 0);
    }
    if (now == GS_RoundOver && last != GS_RoundOver) roundsWon += gMatch.roundWinner == Round_P2Won || gMatch.heroHealth[0] == 0;
    last = now;
  }
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_TRUE(summoned);
  EXPECT_TRUE(cast);
  EXPECT_EQ(roundsWon, 3);
  MenusStop();
}

TEST_F(ComputerTest, WaitsWhileThePauseMenuIsOpen) {
  ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Orc, Spell_Stun, Spell_Wind, Spell_Execute,
                              Spell_Meteor));
  ComputerSetSeat(1, true);
  EXPECT_GE(StepWatching(180, kSeat2BattleKeys, GS_Quit), 3);
  BattleTestPress('P');
  ASSERT_TRUE(PauseIsOpen());
  int troops = LivingTroops(true), energy = BoardPlayer(1).energy;
  EXPECT_EQ(StepWatching(300, {}, GS_Quit), 0);
  EXPECT_EQ(LivingTroops(true), troops);
  EXPECT_EQ(BoardPlayer(1).energy, energy);
  for (int i = 0; i < 8 && PauseCursor(0) != 1; ++i) BattleTestPress('W');
  BattleTestPress(VK_SPACE);
  TestStep(1);
  ASSERT_FALSE(PauseIsOpen());
  EXPECT_GE(StepWatching(600, kSeat2BattleKeys, GS_Quit), 1);  // its slots recharge meanwhile
  BattleTestStop();
}

TEST(ComputerOptions, SeatsFromTheCommandLineAndUnknownOptionsRefused) {
  const char* one[] = {"hollow-pikes", "--computer=1"};
  EXPECT_EQ(OptionsApply(2, (char**)one), -1);
  EXPECT_TRUE(ComputerHoldsSeat(0));
  EXPECT_FALSE(ComputerHoldsSeat(1));
  const char* both[] = {"hollow-pikes", "--computer=both"};
  EXPECT_EQ(OptionsApply(2, (char**)both), -1);
  EXPECT_TRUE(ComputerHoldsSeat(0) && ComputerHoldsSeat(1));
  for (const char* bad : {"--computer=3", "--comp", "computer"}) {
    const char* args[] = {"hollow-pikes", bad};
    EXPECT_EQ(OptionsApply(2, (char**)args), 2) << bad;
  }
  ComputerSetSeat(0, false);
  ComputerSetSeat(1, false);
}

}  // namespace
