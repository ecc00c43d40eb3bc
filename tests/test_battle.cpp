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

// These tests read no pixels, and drawing is what takes the time: a small window.
const struct { int w, h; } kSmall = {160, 120};

class BattleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Mage, Spell_Wind, Spell_Meteor, Spell_Stun,
                                Spell_Execute, kSmall.w, kSmall.h));
  }
  void TearDown() override { BattleTestStop(); }

  // A troop of one side summoned through its key and put at x.
  Troop* TroopAt(bool rightSide, float x) {
    BattleTestPress(rightSide ? (int)VK_NUMPAD0 : (int)'1');
    Troop* last = nullptr;
    for (GameObject* o : BattleObjects().objects)
      if (Troop* t = AsTroop(o))
        if (t->rightSide == rightSide) last = t;
    if (last) last->position.x = x;
    return last;
  }

  // Updates until the battle requests the next screen; the number of updates it took.
  int UpdatesUntilRequest(int limit = 400) {
    for (int n = 1; n <= limit; ++n) {
      BattleTestRun(1);
      if (GsmGetNextState() != GS_Battle) return n;
    }
    return -1;
  }
};

std::string PictureName(const GameObject* o) {
  if (!o->texture) return "-";
  std::string path = o->texture->name;
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  return path.substr(slash + 1, dot - slash - 1);
}

TEST_F(BattleTest, BoardIsLaidOutInDrawingOrder) {
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
  const std::vector<GameObject*>& objects = BattleObjects().objects;
  ASSERT_EQ(objects.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(PictureName(objects[i]), expected[i]) << "object " << i + 1;

  // Player 2's half is mirrored, and the Mage's summon icons sit 15 lower in their grid.
  EXPECT_FLOAT_EQ(gPlayers[1].portrait->scale.x, -120);
  EXPECT_FLOAT_EQ(gPlayers[1].summonSlots[0].icon->position.y, -300);
  EXPECT_FLOAT_EQ(gPlayers[1].summonSlots[3].icon->position.y, -240);
  EXPECT_FLOAT_EQ(gPlayers[0].summonSlots[0].icon->position.y, 195);
  EXPECT_FLOAT_EQ(gPlayers[1].arrow->scale.x, -100);
  EXPECT_EQ(gPlayers[1].summonSlots[3].kind, Dragon);
  EXPECT_FLOAT_EQ(gPlayers[1].summonSlots[3].chargeTime, 10.0f);
  EXPECT_EQ(gPlayers[0].energy, 30);
  EXPECT_FLOAT_EQ(gPlayers[0].summonSlots[2].chargeTimer, 20.0f);
}

TEST_F(BattleTest, HealthPictureFollowsHealthAndUnknownIdsLeaveGaps) {
  BattleTestStop();
  ASSERT_TRUE(BattleTestStart(Hero_Druid, 4711, Spell_None, Spell_Stun, Spell_Wind, 9999, kSmall.w,
                              kSmall.h));
  gMatch.heroHealth[0] = 1;
  GsmSetNextState(GS_Restart);  // start had set health 3; a fresh Init picks the picture again
  BattleTestRun(1);
  std::vector<std::string> names;
  for (GameObject* o : BattleObjects().objects) names.push_back(PictureName(o));
  EXPECT_NE(std::find(names.begin(), names.end(), "Natura1HP"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "Natura3HP"), names.end());
  EXPECT_EQ(gPlayers[1].portrait, nullptr);
  EXPECT_EQ(gPlayers[1].spellSlots[0].cast, nullptr);
  EXPECT_EQ(gPlayers[0].spellSlots[1].icon, nullptr);
  EXPECT_NE(gPlayers[0].spellSlots[2].icon, nullptr);
  EXPECT_EQ(gPlayers[1].spellSlots[2].icon, nullptr);
  // 36 objects less player 2's hero (7 and a health picture) and two chosen icons.
  EXPECT_EQ(names.size(), 36u - 8 - 2);
  BattleTestPress(VK_NUMPAD0);  // a player without a hero summons nothing
  EXPECT_EQ(gPlayers[1].energy, 30);
}

TEST_F(BattleTest, LoneTroopOverTheLineWinsAfterTwoSeconds) {
  gMatch.roundWinner = Round_Draw;
  ChannelSlot* music = BattleChannel(SND_Rally);
  ASSERT_NE(music, nullptr);
  EXPECT_FALSE(music->paused);
  Troop* knight = TroopAt(false, 270.0f);
  ASSERT_NE(knight, nullptr);
  int walked = 0;
  while (!scored[0] && walked < 100) {
    EXPECT_LT(knight->position.x, kGoalLineX);
    BattleTestRun(1);
    ++walked;
  }
  EXPECT_GE(knight->position.x, kGoalLineX);  // scored in the update it crossed
  EXPECT_LT(knight->position.x, kGoalLineX + knight->speed);
  EXPECT_TRUE(scored[0]);
  EXPECT_FALSE(scored[1]);
  ChannelSlot* goal = BattleChannel(SND_Goal);
  ASSERT_NE(goal, nullptr);
  EXPECT_TRUE(SndChannelIsPlaying(goal->channel));
  EXPECT_TRUE(music->paused);
  EXPECT_TRUE(SndChannelIsPaused(music->channel));

  // The round is frozen: the troop stays put and the music stays paused.
  float x = knight->position.x;
  int n = UpdatesUntilRequest();
  EXPECT_GE(n, 120);
  EXPECT_LE(n, 121);
  EXPECT_FLOAT_EQ(knight->position.x, x);
  EXPECT_TRUE(music->paused);
  EXPECT_EQ(GsmGetNextState(), GS_RoundOver);
  EXPECT_EQ(gMatch.heroHealth[1], 2);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.roundWinner, Round_P1Won);
}

TEST_F(BattleTest, OppositeLinesInOneUpdateDrawAndNobodyLosesHealth) {
  Troop* a = TroopAt(false, 0);
  Troop* b = TroopAt(true, 0);
  ASSERT_TRUE(a && b);
  a->position.x = 300;
  b->position.x = -300;
  BattleTestRun(1);
  EXPECT_TRUE(scored[0] && scored[1]);
  EXPECT_GT(UpdatesUntilRequest(), 0);
  EXPECT_EQ(gMatch.roundWinner, Round_Draw);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.heroHealth[1], 3);
}

TEST_F(BattleTest, SpentEnergyAndOnlyDeadTroopsEndInADraw) {
  Troop* t = TroopAt(true, 0);
  ASSERT_NE(t, nullptr);
  gPlayers[0].energy = 0;
  gPlayers[1].energy = 0;
  BattleTestRun(3);
  EXPECT_FALSE(scored[0] || scored[1]);  // someone still stands
  TroopKill(t);
  BattleTestRun(1);
  EXPECT_TRUE(scored[0] && scored[1]);
  EXPECT_GT(UpdatesUntilRequest(), 0);
  EXPECT_EQ(gMatch.roundWinner, Round_Draw);
  EXPECT_EQ(gMatch.heroHealth[0] + gMatch.heroHealth[1], 6);
}

TEST_F(BattleTest, NoHealthLossKeepsHealthButNamesTheWinner) {
  BattleTestPress('G');
  ASSERT_TRUE(noHealthLoss);
  TroopAt(true, -280);
  BattleTestRun(1);
  EXPECT_TRUE(scored[1]);
  EXPECT_GT(UpdatesUntilRequest(), 0);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.roundWinner, Round_P2Won);
}

TEST_F(BattleTest, MatchEndingRoundLeavesRoundWinnerAlone) {
  gMatch.heroHealth[0] = 1;
  gMatch.roundWinner = Round_Draw;
  ScreenFullscreenFlag(GS_Battle) = true;
  ScreenFullscreenFlag(GS_RoundOver) = false;
  TroopAt(true, -281);
  BattleTestRun(1);
  EXPECT_GT(UpdatesUntilRequest(), 0);
  EXPECT_EQ(GsmGetNextState(), GS_RoundOver);
  EXPECT_EQ(gMatch.heroHealth[0], 0);
  EXPECT_EQ(gMatch.roundWinner, Round_Draw);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_RoundOver));  // handed over with the request
}

TEST_F(BattleTest, CtrlRDrawsAfterTheDelayAndPauseHoldsTheCountdown) {
  TestKeyDown(VK_CONTROL);
  TestKeyDown('R');
  BattleTestRun(1);
  TestKeyUp('R');
  TestKeyUp(VK_CONTROL);
  EXPECT_TRUE(scored[0] && scored[1]);
  EXPECT_EQ(gMatch.roundWinner, Round_Draw);
  BattleTestRun(30);
  float left = roundEndDelay;
  EXPECT_LT(left, 2.0f);
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
  EXPECT_EQ(gMatch.heroHealth[0] + gMatch.heroHealth[1], 6);
}

TEST_F(BattleTest, HeldBattleSurvivesItsOwnFreeAndUnload) {
  Troop* t = TroopAt(false, 10);
  ASSERT_NE(t, nullptr);
  gPlayers[0].energy = 17;
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
  EXPECT_EQ(gPlayers[0].energy, 17);
  EXPECT_EQ(BattleTexture("WoodenBG"), wood);
  battleOnHold = false;
  BattleTestRun(2);
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
}

TEST_F(BattleTest, VisitToHowToPlayFromThePauseMenuReturnsToTheSameBattle) {
  Troop* t = TroopAt(false, 10);
  ASSERT_NE(t, nullptr);
  gPlayers[1].energy = 4;
  BattleTestPress(VK_ESCAPE);  // opens on "How to play"
  BattleTestPress(VK_SPACE);
  ASSERT_EQ(GsmGetCurrentState(), GS_HowToPlay);
  BattleTestRun(30);
  BattleTestPress(VK_ESCAPE);
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_TRUE(battlePaused);
  EXPECT_TRUE(t->alive);
  EXPECT_FLOAT_EQ(t->position.x, 10);
  EXPECT_EQ(gPlayers[1].energy, 4);
  EXPECT_FALSE(holdForHowToPlay);
}

TEST_F(BattleTest, FreshInitForgetsTheLastRoundsChannels) {
  ASSERT_NE(BattlePlay(SND_Wind), nullptr);
  gPlayers[0].energy = 3;
  GsmSetNextState(GS_Restart);
  BattleTestRun(1);
  EXPECT_EQ(BattleChannel(SND_Wind), nullptr);
  EXPECT_EQ(BattleChannel(SND_Goal), nullptr);
  EXPECT_NE(BattleChannel(SND_Rally), nullptr);
  EXPECT_EQ(gPlayers[0].energy, 30);
  EXPECT_EQ(BattleTestTroopCount(false), 0);
}

TEST_F(BattleTest, ChannelsFollowVolumeAndMute) {
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
}

}  // namespace
