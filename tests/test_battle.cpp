// Battle state: the board from the match record, the goal and exhaustion checks, the round end
// with its delay and health loss, the debug keys, the hold guards and a fresh Init's channels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "battle/pause.h"
#include "framework/audio.h"
#include "framework/sounddevice.h"
#include "hpbattle.h"
#include "hptest.h"
#include "kegraphics.h"
#include "keos.h"
#include "screens/screen.h"

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
      BattleTestRun(1);
      if (GsmGetNextState() != GS_Battle) return n;
    }
    return -1;
  }
};

std::vector<std::string> PictureNames() {
  std::vector<std::string> names;
  for (GameObject* o : BattleObjects().objects) {
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
  EXPECT_FLOAT_EQ(gPlayers[1].portrait->scale.x, -120);
  EXPECT_FLOAT_EQ(gPlayers[1].summonSlots[0].icon->position.y, -300);
  EXPECT_FLOAT_EQ(gPlayers[0].summonSlots[0].icon->position.y, 195);

  BattleTestStop();
  ASSERT_TRUE(BattleTestStart(Hero_Druid, 4711, Spell_None, Spell_Stun, Spell_Wind, 9999));
  gMatch.heroHealth[0] = 1;
  GsmSetNextState(GS_Restart);  // a fresh Init picks the health picture again
  BattleTestRun(1);
  std::vector<std::string> names = PictureNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "Natura1HP"), 1);
  EXPECT_EQ(gPlayers[1].portrait, nullptr);
  EXPECT_EQ(gPlayers[1].spellSlots[0].cast, nullptr);
  EXPECT_EQ(gPlayers[0].spellSlots[1].icon, nullptr);
  // 36 objects less player 2's hero (7 and a health picture) and two chosen icons.
  EXPECT_EQ(names.size(), 36u - 8 - 2);
  BattleTestPress(VK_NUMPAD0);  // a player without a hero summons nothing
  EXPECT_EQ(gPlayers[1].energy, 30);
}

TEST_F(BattleTest, LoneTroopOverTheLineWinsAfterTwoSeconds) {
  gMatch.roundWinner = Round_Draw;
  ChannelSlot* music = BattleChannel(SND_Rally);
  ASSERT_NE(music, nullptr);
  Troop* knight = BattleTestTroop(KnightTroop, 0, false, 270, false);
  while (!scored[0] && knight->position.x < kGoalLineX + 10) BattleTestRun(1);
  EXPECT_TRUE(scored[0]);
  EXPECT_FALSE(scored[1]);
  EXPECT_GE(knight->position.x, kGoalLineX);  // scored in the update it crossed
  EXPECT_LT(knight->position.x, kGoalLineX + knight->speed);
  ChannelSlot* goal = BattleChannel(SND_Goal);
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

TEST_F(BattleTest, OppositeLinesInOneUpdateOrSpentEnergyDrawWithoutHealthLoss) {
  BattleTestTroop(KnightTroop, 0, false, 300);
  BattleTestTroop(KnightTroop, 0, true, -300);
  BattleTestRun(1);
  EXPECT_TRUE(scored[0] && scored[1]);
  EXPECT_GT(UpdatesUntilRequest(), 0);
  EXPECT_EQ(gMatch.roundWinner, Round_Draw);
  EXPECT_EQ(gMatch.heroHealth[0] + gMatch.heroHealth[1], 6);

  GsmSetNextState(GS_Restart);
  BattleTestRun(1);
  Troop* t = BattleTestTroop(KnightTroop, 0, true, 0);
  gPlayers[0].energy = gPlayers[1].energy = 0;
  BattleTestRun(3);
  EXPECT_FALSE(scored[0] || scored[1]);  // someone still stands
  TroopKill(t);
  BattleTestRun(1);
  EXPECT_TRUE(scored[0] && scored[1]);
  EXPECT_GT(UpdatesUntilRequest(), 0);
  EXPECT_EQ(gMatch.heroHealth[0] + gMatch.heroHealth[1], 6);
}

TEST_F(BattleTest, NoHealthLossKeepsHealthAndTheMatchEndingRoundKeepsRoundWinner) {
  BattleTestPress('G');
  ASSERT_TRUE(noHealthLoss);
  BattleTestTroop(KnightTroop, 0, true, -281);
  BattleTestRun(1);
  EXPECT_GT(UpdatesUntilRequest(), 0);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.roundWinner, Round_P2Won);

  noHealthLoss = false;
  GsmSetNextState(GS_Restart);
  BattleTestRun(1);
  gMatch.heroHealth[0] = 1;
  gMatch.roundWinner = Round_Draw;
  BattleTestTroop(KnightTroop, 0, true, -281);
  BattleTestRun(1);
  EXPECT_GT(UpdatesUntilRequest(), 0);
  EXPECT_EQ(GsmGetNextState(), GS_RoundOver);
  EXPECT_EQ(gMatch.heroHealth[0], 0);
  EXPECT_EQ(gMatch.roundWinner, Round_Draw);
}

TEST_F(BattleTest, CtrlRDrawsAfterTheDelayAndPauseHoldsTheCountdown) {
  TestKeyDown(VK_CONTROL);
  BattleTestPress('R');
  TestKeyUp(VK_CONTROL);
  EXPECT_TRUE(scored[0] && scored[1]);
  BattleTestRun(30);
  float left = roundEndDelay;
  BattleTestPress('P');
  ASSERT_TRUE(battlePaused);
  BattleTestRun(300);
  EXPECT_FLOAT_EQ(roundEndDelay, left);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  BattleTestPress('W');  // from "How to play" up to "Continue"
  BattleTestPress('W');
  BattleTestPress(VK_SPACE);
  ASSERT_FALSE(battlePaused);
  EXPECT_GT(UpdatesUntilRequest(), 80);
  EXPECT_EQ(gMatch.roundWinner, Round_Draw);
}

TEST_F(BattleTest, HeldBattleSurvivesItsOwnFreeAndUnload) {
  Troop* t = BattleTestTroop(KnightTroop, 0, false, 10);
  size_t count = BattleObjects().objects.size();
  Texture* wood = BattleTexture("WoodenBG");
  battleOnHold = holdForSettings = true;
  BattleFree();
  BattleUnload();
  BattleLoad();
  BattleInit();
  EXPECT_FALSE(holdForSettings);
  EXPECT_EQ(BattleObjects().objects.size(), count);
  EXPECT_TRUE(t->alive);
  EXPECT_FLOAT_EQ(t->position.x, 10);
  EXPECT_EQ(BattleTexture("WoodenBG"), wood);
  battleOnHold = false;
}

TEST_F(BattleTest, ChannelsFollowTheSettingsAndAFreshInitForgetsThem) {
  ChannelSlot* music = BattleChannel(SND_Rally);
  ChannelSlot* wind = BattlePlay(SND_Wind);
  ASSERT_TRUE(music && wind);
  musicVolume = 0.3f;
  soundVolume = 0.6f;
  BattleTestRun(1);
  EXPECT_FLOAT_EQ(music->volume, 0.3f);
  EXPECT_FLOAT_EQ(wind->volume, 0.6f);
  muted = true;
  BattleTestRun(1);
  EXPECT_FLOAT_EQ(music->volume, 0.0f);
  EXPECT_FLOAT_EQ(wind->volume, 0.0f);
  muted = false;
  GsmSetNextState(GS_Restart);
  BattleTestRun(1);
  EXPECT_EQ(BattleChannel(SND_Wind), nullptr);
  EXPECT_NE(BattleChannel(SND_Rally), nullptr);
}

}  // namespace
