// Battle state: the board from the match record, the goal and exhaustion checks, the round end
// with its delay and health loss, the debug keys, the hold guards and a fresh Init's channels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "battle/pause.h"
#include "framework/audio.h"
#include "kesound.h"
#include "hpbattle.h"
#include "hptest.h"
#include "kegraphics.h"
#include "keinput.h"
#include "screens/screen.h"
#include "states.h"
#include "battle/board.h"

namespace {

class BattleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Mage, Spell_Wind, Spell_Meteor, Spell_Stun,
                                Spell_Execute));
  }
  void TearDown() override { BattleTestStop(); }

  // Updates until the battle requests the next screen; the number of updates it took.
  int UpdatesUntilRequest() {
    for (int n = 1; n <= 400; ++n) {
      TestStep(1);
      if (GsmGetNextState() != GS_Battle) return n;
    }
    return -1;
  }
};

std::vector<std::string> PictureNames() {
  std::vector<std::string> names;
  for (GameObject* o : BoardObjects().objects) {
    std::string path = o->texture ? o->texture->name : "/-.";
    size_t slash = path.find_last_of('/'), dot = path.find_last_of('.');
    names.push_back(path.substr(slash + 1, dot - slash - 1));
  }
  return names;
}

TEST_F(BattleTest, BoardIsLaidOutInDrawingOrderAndUnknownIdsLeaveGaps) {
  const std::vector<std::string> expected = {
      "WoodenBG", "lanes",
      "KnightCharacter", "KnightGrid", "KnightIcon", "ArcherIcon", "CatapultIcon", "RogueIcon",
      "Boost",
      "MageCharacter", "MageGrid", "DragonIcon", "IcemageIcon", "AcolyteIcon", "GolemIcon",
      "Freeze",
      "arrow", "arrow2", "Energy", "Energy",
      "Wind", "Meteorite", "Stun", "Execute",
      "SpellRing", "SpellRing", "SpellRing", "SpellRing2", "SpellRing2", "SpellRing2",
      "Knight3HP", "Wizard3HP", "SpellStar", "SpellStar2", "CharFrame", "CharFrame2"};
  EXPECT_EQ(PictureNames(), expected);
  // Player 2's half is mirrored, and the Mage's summon icons sit 15 lower in their grid.
  EXPECT_FLOAT_EQ(BoardPlayer(1).portrait->scale.x, -120);
  EXPECT_FLOAT_EQ(BoardPlayer(1).summonSlots[0].icon->position.y, -300);
  EXPECT_FLOAT_EQ(BoardPlayer(0).summonSlots[0].icon->position.y, 195);

  BattleTestStop();
  ASSERT_TRUE(BattleTestStart(Hero_Druid, 4711, Spell_None, Spell_Stun, Spell_Wind, 9999));
  gMatch.heroHealth[0] = 1;
  GsmSetNextState(GS_Restart);  // a fresh Init picks the health picture again
  TestStep(1);
  std::vector<std::string> names = PictureNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "Natura1HP"), 1);
  EXPECT_EQ(BoardPlayer(1).portrait, nullptr);
  EXPECT_EQ(BoardPlayer(1).spellSlots[0].cast, nullptr);
  EXPECT_EQ(BoardPlayer(0).spellSlots[1].icon, nullptr);
  // 36 objects less player 2's hero (7 and a health picture) and two chosen icons.
  EXPECT_EQ(names.size(), 36u - 8 - 2);
  BattleTestPress(VK_NUMPAD0);  // a player without a hero summons nothing
  EXPECT_EQ(BoardPlayer(1).energy, 30);
}

TEST_F(BattleTest, LoneTroopOverTheLineWinsAfterTwoSeconds) {
  gMatch.roundWinner = Round_Draw;
  ChannelSlot* music = BoardChannel(SND_Rally);
  ASSERT_NE(music, nullptr);
  Troop* knight = BattleTestTroop(KnightTroop, 0, false, 270, false);
  while (!BattleRoundState().scored[0] && knight->position.x < kGoalLineX + 10) TestStep(1);
  EXPECT_TRUE(BattleRoundState().scored[0]);
  EXPECT_FALSE(BattleRoundState().scored[1]);
  EXPECT_GE(knight->position.x, kGoalLineX);  // scored in the update it crossed
  EXPECT_LT(knight->position.x, kGoalLineX + knight->speed);
  ChannelSlot* goal = BoardChannel(SND_Goal);
  ASSERT_NE(goal, nullptr);
  EXPECT_TRUE(SndChannelIsPlaying(goal->channel));
  EXPECT_TRUE(SndChannelIsPaused(music->channel));

  float x = knight->position.x;
  int n = UpdatesUntilRequest();
  EXPECT_GE(n, 120);
  EXPECT_LE(n, 121);
  EXPECT_FLOAT_EQ(knight->position.x, x);  // the round stands still
  EXPECT_EQ(GsmGetNextState(), GS_RoundOver);
  EXPECT_EQ(gMatch.heroHealth[1], 2);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.roundWinner, Round_P1Won);
}

TEST_F(BattleTest, RoundsEndInDrawsOrWinsWithTheRightHealthLoss) {
  // Player 1's and player 2's troop stood at x (0: none; player 2's is killed at once when both
  // energies are spent), noHealthLoss, player 1's health; then the result and both healths.
  const struct { float x1, x2; bool spent, noLoss; int health1; RoundResult won; int h1, h2; }
      cases[] = {{300, -300, false, false, 3, Round_Draw, 3, 3},  // opposite lines at once
                 {0, 10, true, false, 3, Round_Draw, 3, 3},       // energy spent, only the dead
                 {0, -281, false, true, 3, Round_P2Won, 3, 3},    // noHealthLoss
                 {0, -281, false, false, 1, Round_P1Won, 0, 3}};  // the match's end
  for (const auto& c : cases) {
    GsmSetNextState(GS_Restart);
    TestStep(1);
    BattleSetNoHealthLoss(c.noLoss);
    gMatch.heroHealth[0] = c.health1;
    gMatch.heroHealth[1] = 3;
    gMatch.roundWinner = Round_P1Won;
    if (c.x1) BattleTestTroop(KnightTroop, 0, false, c.x1);
    Troop* t = BattleTestTroop(KnightTroop, 0, true, c.x2);
    if (c.spent) {
      BoardPlayer(0).energy = BoardPlayer(1).energy = 0;
      TestStep(3);
      EXPECT_FALSE(BattleRoundState().scored[0] || BattleRoundState().scored[1]);  // someone still stands
      TroopKill(t);
    }
    EXPECT_GT(UpdatesUntilRequest(), 0);
    EXPECT_EQ(GsmGetNextState(), GS_RoundOver);
    EXPECT_EQ(gMatch.roundWinner, c.won) << c.x2;
    EXPECT_EQ(gMatch.heroHealth[0], c.h1) << c.x2;
    EXPECT_EQ(gMatch.heroHealth[1], c.h2) << c.x2;
  }
  BattleSetNoHealthLoss(false);
}

TEST_F(BattleTest, CtrlRDrawsAfterTheDelayAndPauseHoldsTheCountdown) {
  TestKeyDown(VK_CONTROL);
  BattleTestPress('R');
  TestKeyUp(VK_CONTROL);
  EXPECT_TRUE(BattleRoundState().scored[0] && BattleRoundState().scored[1]);
  TestStep(30);
  float left = BattleRoundState().roundEndDelay;
  BattleTestPress('P');
  ASSERT_TRUE(PauseIsOpen());
  TestStep(300);
  EXPECT_FLOAT_EQ(BattleRoundState().roundEndDelay, left);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  BattleTestPress('W');  // from "How to play" up to "Continue"
  BattleTestPress('W');
  BattleTestPress(VK_SPACE);
  ASSERT_FALSE(PauseIsOpen());
  EXPECT_GT(UpdatesUntilRequest(), 80);
  EXPECT_EQ(gMatch.roundWinner, Round_Draw);
}

TEST_F(BattleTest, ChannelsFollowTheSettingsAndAFreshInitForgetsThem) {
  ChannelSlot* music = BoardChannel(SND_Rally);
  ChannelSlot* wind = BoardPlay(SND_Wind);
  ASSERT_TRUE(music && wind);
  musicVolume = 0.3f;
  soundVolume = 0.6f;
  TestStep(1);
  EXPECT_FLOAT_EQ(music->volume, 0.3f);
  EXPECT_FLOAT_EQ(wind->volume, 0.6f);
  muted = true;
  TestStep(1);
  EXPECT_FLOAT_EQ(music->volume, 0.0f);
  EXPECT_FLOAT_EQ(wind->volume, 0.0f);
  muted = false;
  GsmSetNextState(GS_Restart);
  TestStep(1);
  EXPECT_EQ(BoardChannel(SND_Wind), nullptr);
  EXPECT_NE(BoardChannel(SND_Rally), nullptr);
}

}  // namespace
