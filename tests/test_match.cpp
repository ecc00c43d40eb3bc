// Whole matches on the real game: three rounds by keys from the main menu through the results and
// back; the computer player winning against idle hands, waiting while paused and meeting a Rogue
// it cannot see yet; the options.

#include <vector>

#include "battle/board.h"
#include "battle/controls.h"
#include "battle/pause.h"
#include "computer/computer.h"
#include "hp.h"
#include "kesystem.h"
#include "options.h"
#include "screens/mainmenu.h"
#include "troops/troop.h"

namespace {

// Frames in which the computer alone plays: counts its presses, each of which must be one of
// player 2's first keys (the book's arrows and Space, the battle's arrows and numpad 0 to 4).
int ComputerPresses(int frames, GameStateId until = GS_Quit) {
  int presses = 0;
  for (int f = 0; f < frames && GsmGetCurrentState() != until && HpStep(1); ++f)
    for (int k = 0; k < 256; ++k) {
      if (!InputIsTriggered(k)) continue;
      bool seat2 = (k >= VK_LEFT && k <= VK_DOWN) || (k >= VK_NUMPAD0 && k <= VK_NUMPAD0 + 4) ||
                   (k == VK_SPACE && GsmGetCurrentState() != GS_Battle);
      EXPECT_TRUE(seat2) << "key " << k << " on screen " << GsmGetCurrentState();
      ++presses;
    }
  return presses;
}

TEST(Match, ThreeRoundsByKeysFromTheMenuThroughTheResultsAndBack) {
  MainMenuReplayLogos();
  ASSERT_TRUE(HpStart(GS_MainMenu, 160, 120));  // small: some six thousand frames are drawn
  HpPress({VK_SPACE, VK_RETURN});  // past the logos, "Start game"
  // Mage against Orc; Wind and Stun each, by moving the second choice off the first.
  HpPress({'D', VK_SPACE, VK_DOWN, VK_SPACE});
  HpPress({VK_SPACE, 'D', VK_SPACE, VK_SPACE, VK_RIGHT, VK_SPACE});
  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
    HpPress('1');  // one troop of player 1's marches through; player 2 does nothing
    double seconds = HpFramesWhileIn(GS_Battle, 3000) / 60.0;
    EXPECT_TRUE(seconds > 15 && seconds < 45) << seconds << " s to the far end";
    ASSERT_EQ(GsmGetCurrentState(), GS_RoundOver);
    EXPECT_EQ(gMatch.heroHealth[0], 3) << "the winner lost a heart";
    EXPECT_EQ(gMatch.heroHealth[1], 3 - round);
    HpFramesWhileIn(GS_RoundOver, 400);
  }
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_EQ(gMatch.heroHealth[1], 3) << "the next match starts with lost hearts";
  HpStop();
}

// The ranges of player 2's troops show while its key is held.
bool PlayerTwoRangesShown() {
  for (GameObject* o : BoardObjects().objects)
    if (Troop* t = AsTroop(o))
      if (t->rightSide && t->rangeMarker && t->rangeMarker->visible) return true;
  return false;
}

// Two on a laptop: player 2 wins a match from the main menu to the results with no number pad,
// by its second keys (7 8 9 0, M, O, L) and the arrows and Space. Unseen, on the virtual clock.
TEST(Match, PlayerTwoWinsAMatchOnLaptopKeysAlone) {
  SysSetHeadless(true);
  ASSERT_TRUE(HpStart(GS_MainMenu, 160, 120));
  HpPress({VK_SPACE, VK_RETURN});
  HpPress({'D', VK_SPACE, VK_DOWN, VK_SPACE});  // Mage against Orc
  HpPress({VK_SPACE, 'D', VK_SPACE, VK_SPACE, VK_RIGHT, VK_SPACE});
  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
    HpPress({'O', VK_UP, VK_UP});
    EXPECT_TRUE(PauseIsOpen());
    HpPress(VK_SPACE);  // "Continue"
    EXPECT_FALSE(PauseIsOpen());
    HpPress('M');
    EXPECT_FALSE(BoardPlayer(1).spellSlots[0].ready) << "no spell cast";
    int key = "780"[round - 1];  // Troll, Imp, Demon: each once charged
    for (int n = 0; n < 900 && HpTroopCount(true) == 0; ++n) HpPress(key);
    ASSERT_EQ(HpTroopCount(true), 1);
    EXPECT_FALSE(PlayerTwoRangesShown());
    HpKeyDown('L');
    HpStep(2);
    EXPECT_TRUE(PlayerTwoRangesShown());
    HpKeyUp('L');
    HpFramesWhileIn(GS_Battle, 3000);
    ASSERT_EQ(GsmGetCurrentState(), GS_RoundOver);
    EXPECT_EQ(gMatch.roundWinner, Round_P2Won);
    EXPECT_EQ(gMatch.heroHealth[0], 3 - round);
    HpFramesWhileIn(GS_RoundOver, 400);
  }
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  HpStop();
  SysSetHeadless(false);
}

class Computer : public ::testing::Test {
 protected:
  void SetUp() override { ComputerSetSeed(5); }  // the Mage: Freeze pays against idle hands
  void TearDown() override {
    ComputerSetSeat(1, false);
    ComputerSetLevel(1, Computer_Normal);
    HpStop();
    SysSetHeadless(false);
  }
};

// From the main menu to the results and back: player 1 picks by keys and then idles, the
// computer holds seat 2. Returns the rounds it won.
int ComputerMatchAgainstIdleHands() {
  HpPress(VK_SPACE);
  EXPECT_GE(ComputerPresses(600, GS_SpellSelect), 1) << "chose a hero without a step";
  HpPress({VK_SPACE, 'D', VK_SPACE});
  ComputerPresses(900, GS_Battle);
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  bool summoned = false, cast = false;
  int roundsWon = 0;
  for (int s = 0; s < 400 && GsmGetCurrentState() != GS_MainMenu; ++s) {  // 400 s at most
    ComputerPresses(60, GS_MainMenu);
    summoned |= HpTroopCount(true) > 0;
    for (const SpellSlot& slot : BoardPlayer(1).spellSlots) cast |= slot.cast && !slot.ready;
    EXPECT_EQ(HpTroopCount(false), 0);
    if (GsmGetCurrentState() == GS_RoundOver) {
      roundsWon += gMatch.roundWinner == Round_P2Won || gMatch.heroHealth[0] == 0;
      HpFramesWhileIn(GS_RoundOver, 400);
    }
  }
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_TRUE(summoned && cast);
  return roundsWon;
}

// C steps seat 2 through a person and the three strengths and back; each strength, chosen by
// keys, is still chosen on the next hero selection and wins a whole match against idle hands.
// Unseen: three matches of frames, none of them drawn.
TEST_F(Computer, EachStrengthChosenByKeysWinsAWholeMatchAgainstIdleHands) {
  SysSetHeadless(true);
  ASSERT_TRUE(HpStart(GS_MainMenu, 160, 120));
  const char* const labels[] = {"2: Computer (Easy)", "2: Computer (Normal)",
                                "2: Computer (Hard)", "2: Human"};
  for (int level = 0; level < 3; ++level) {
    SCOPED_TRACE(labels[level]);
    for (int i = 0; i < 20 && GsmGetCurrentState() == GS_MainMenu; ++i) HpPress(VK_RETURN);
    ASSERT_EQ(GsmGetCurrentState(), GS_HeroSelect);
    EXPECT_STREQ(ComputerSeatLabel(1), level == 0 ? "2: Human" : labels[level - 1]);
    if (level == 0) {
      for (const char* label : labels) {
        HpPress('C');
        EXPECT_STREQ(ComputerSeatLabel(1), label);
      }
      EXPECT_FALSE(ComputerHoldsSeat(1));
    }
    HpPress('C');
    ASSERT_TRUE(ComputerHoldsSeat(1));
    EXPECT_EQ(ComputerLevelOf(1), (ComputerLevel)level);
    EXPECT_EQ(ComputerMatchAgainstIdleHands(), 3);
  }
}

TEST_F(Computer, WaitsWhileThePauseMenuIsOpen) {
  ASSERT_TRUE(HpStartBattle(Hero_Knight, Hero_Orc, Spell_Stun, Spell_Wind, Spell_Execute,
                            Spell_Meteor));
  ComputerSetSeat(1, true);
  EXPECT_GE(ComputerPresses(180), 3);
  HpPress('P');
  int troops = HpTroopCount(true), energy = BoardPlayer(1).energy;
  EXPECT_EQ(ComputerPresses(300), 0);
  EXPECT_TRUE(HpTroopCount(true) == troops && BoardPlayer(1).energy == energy);
  HpPress({'W', 'W', VK_SPACE});  // "Continue"
  EXPECT_GE(ComputerPresses(600), 1);
}

// A Rogue walks faint through its own half, but the HUD shows its slot charging again under its
// player's arrow: Hard meets it in that lane before it shows itself, rather than attacking where
// its own arrow stands (the board alone would show it an empty field).
TEST_F(Computer, HardMeetsARogueItCannotSeeYet) {
  ComputerSetLevel(1, Computer_Hard);
  ComputerSetSeat(1, true);
  ASSERT_TRUE(HpStartBattle(Hero_Knight, Hero_Knight, Spell_Meteor, Spell_Execute, Spell_Meteor,
                            Spell_Execute));
  HpPress({ControlsKey(0, CTL_Up), ControlsKey(0, CTL_Up), ControlsKey(0, CTL_SummonB)});
  const int lane = BoardPlayer(0).lane;
  ASSERT_NE(lane, BoardPlayer(1).lane);
  Troop* rogue = nullptr;
  for (Troop* t : TroopAll()) rogue = t->kind == Rogue && !t->rightSide ? t : rogue;
  ASSERT_NE(rogue, nullptr);
  int first = -99;  // the lane of Hard's first troop
  for (int f = 0; f < 60 * 8 && !rogue->revealed && first == -99; ++f) {
    ASSERT_TRUE(HpStep(1));
    for (Troop* t : TroopAll()) first = t->rightSide && first == -99 ? t->lane : first;
  }
  EXPECT_FALSE(rogue->revealed);
  EXPECT_EQ(first, lane) << "Hard's first troop's lane (-99: none) while the Rogue was unseen";
}

TEST(Options, SeatsAndStrengthFromTheCommandLineAndUnknownOptionsRefused) {
  const struct { std::vector<const char*> args; int status, seats; ComputerLevel level; } cases[] = {
      {{"--computer"}, -1, 2, Computer_Normal},  // seats: 1 and 2, 3 both
      {{"--computer=1", "--computer-level=easy"}, -1, 1, Computer_Easy},
      {{"--computer-level=HARD", "--computer=both"}, -1, 3, Computer_Hard},
      {{"--computer-level=hard", "--computer-level=normal"}, -1, 0, Computer_Normal},
      {{"--computer", "--computer-level=harder"}, 2, 0, Computer_Normal},
      {{"--computer-level="}, 2, 0, Computer_Normal}, {{"--computer-level"}, 2, 0, Computer_Normal},
      {{"--computer=3"}, 2, 0, Computer_Normal}, {{"--comp"}, 2, 0, Computer_Normal},
      {{"computer"}, 2, 0, Computer_Normal}};
  for (const auto& c : cases) {
    std::vector<const char*> argv = c.args;
    argv.insert(argv.begin(), "hollow-pikes");
    for (int seat = 0; seat < 2; ++seat) {
      ComputerSetSeat(seat, false);
      ComputerSetLevel(seat, Computer_Normal);
    }
    EXPECT_EQ(OptionsApply((int)argv.size(), (char**)argv.data()), c.status) << argv[1];
    EXPECT_EQ(ComputerHoldsSeat(0) + 2 * ComputerHoldsSeat(1), c.seats) << argv[1];
    EXPECT_TRUE(ComputerLevelOf(0) == c.level && ComputerLevelOf(1) == c.level) << argv[1];
  }
  ComputerSetSeat(0, false);
  ComputerSetSeat(1, false);
  ComputerSetLevel(0, Computer_Normal);
  ComputerSetLevel(1, Computer_Normal);
}

// An online game takes this machine's seat only; its options make no sense without one.
TEST(Options, OnlineOptionsThatCannotWorkAreRefused) {
  const std::vector<std::vector<const char*>> refused = {
      {"--host", "--join", "127.0.0.1"}, {"--host", "--computer=2"}, {"--join", "h", "--computer=1"},
      {"--join", "h", "--computer=both"}, {"--fast"}, {"--matches", "2"}, {"--host", "70000"},
      {"--host", "--matches", "0"}, {"--join"}, {"--host", "--balance", "1"}};
  for (std::vector<const char*> args : refused) {
    args.insert(args.begin(), "hollow-pikes");
    EXPECT_EQ(OptionsApply((int)args.size(), (char**)args.data()), 2) << args[1] << " " << args.back();
  }
  ComputerSetSeat(0, false);
  ComputerSetSeat(1, false);
}

}  // namespace
