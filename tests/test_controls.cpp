// Battle controls: lanes, summoning within energy and charge times, the spell cursor, casting and
// cooldowns, driven by pushed keys and a virtual pad through real battle updates.
#include <gtest/gtest.h>

#include "battle/battle.h"
#include "battle/controls.h"
#include "hpbattle.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "battle/board.h"

namespace {

// A stand-in spell: counts its casts and, like every spell, clears ready when it acts.
int gCasts = 0;
void CountingCast(int, bool* ready) {
  if (!*ready) return;
  ++gCasts;
  *ready = false;
}

// Two keys held down together for one update, released in the next.
void PressBoth(int vk1, int vk2) {
  TestKeyDown(vk1);
  BattleTestPress(vk2);
  TestKeyUp(vk1);
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Orc, Spell_Wind, Spell_Meteor, Spell_Stun,
                                Spell_Execute));
    gCasts = 0;
  }
  void TearDown() override { BattleTestStop(); }
};

TEST_F(ControlsTest, LanesAndTheSpellCursorWrapBothWaysAndUpWins) {
  BattlePlayer& p1 = BoardPlayer(0);
  BattlePlayer& p2 = BoardPlayer(1);
  // Each step: key(s), then player 1's and player 2's lane.
  const struct { int a, b, lane1, lane2; } steps[] = {
      {'W', 0, 1, 0},          {'W', 0, 2, 0},          {'W', 0, -2, 0},
      {'S', 0, 2, 0},          {VK_UP, VK_DOWN, 2, 1},  {VK_DOWN, 0, 2, 0},
      {VK_DOWN, 0, 2, -1},     {VK_DOWN, 0, 2, -2},     {VK_UP, VK_DOWN, 2, 2},
  };
  for (const auto& s : steps) {
    if (s.b) PressBoth(s.a, s.b);
    else BattleTestPress(s.a);
    EXPECT_EQ(p1.lane, s.lane1) << s.a;
    EXPECT_EQ(p2.lane, s.lane2) << s.a;
    EXPECT_FLOAT_EQ(p1.arrow->position.y, 70.0f * s.lane1);
    EXPECT_FLOAT_EQ(p2.arrow->position.y, 70.0f * s.lane2);
  }
  BattleTestPress(VK_LEFT);
  EXPECT_EQ(p2.spellCursor, 3);
  EXPECT_FLOAT_EQ(p2.spellStar->position.x, -150);
  BattleTestPress(VK_RIGHT);
  EXPECT_EQ(p2.spellCursor, 1);
  EXPECT_FLOAT_EQ(p2.spellStar->position.x, -350);
}

TEST_F(ControlsTest, KnightSlotAIsUsableAgainAfter188UpdatesByKeyOrPad) {
  int pad = TestPadAttach();
  ASSERT_GE(pad, 0);
  TestStep(2);  // the engine finds the pad
  SummonSlot& a = BoardPlayer(0).summonSlots[0];
  TestKeyDown('1');
  TestStep(1);  // summoned in this update, which already ticks once
  TestKeyUp('1');
  EXPECT_EQ(BoardPlayer(0).energy, 29);
  EXPECT_EQ(a.icon->color, 0xFF808080u);
  TestStep(186);
  TestKeyDown('1');
  TestStep(1);  // the 187th: still charging
  TestKeyUp('1');
  EXPECT_EQ(BoardPlayer(0).energy, 29);
  TestPadSetButtonBits(pad, PAD_A, true);
  TestStep(1);  // the 188th, by the pad's A
  TestPadSetButtonBits(pad, PAD_A, false);
  EXPECT_EQ(BoardPlayer(0).energy, 28);
  EXPECT_EQ(BattleTestTroopCount(false), 2);
  TestPadDetachAll();
}

TEST_F(ControlsTest, PlayerOneSummonsOneTroopPerUpdatePlayerTwoUpToFourWithinEnergy) {
  PressBoth('1', '2');
  EXPECT_EQ(BoardPlayer(0).energy, 29);
  EXPECT_EQ(BattleTestTroopCount(false), 1);
  PressBoth(VK_NUMPAD0, VK_NUMPAD0 + 1);
  EXPECT_EQ(BoardPlayer(1).energy, 27);
  EXPECT_EQ(BattleTestTroopCount(true), 2);
  PressBoth('1', '2');  // A charging: B is the first that may go
  EXPECT_EQ(BoardPlayer(0).energy, 27);
  EXPECT_EQ(BattleTestTroopCount(false), 2);
  // Energy 1 allows slot A alone, and spent energy never comes back.
  BoardPlayer(1).energy = 1;
  for (int key : {VK_NUMPAD0 + 1, VK_NUMPAD0 + 2, VK_NUMPAD0 + 3}) BattleTestPress(key);
  EXPECT_EQ(BattleTestTroopCount(true), 2);
  TestStep(400);  // every slot charged again
  EXPECT_EQ(BoardPlayer(1).energy, 1);
  BattleTestPress(VK_NUMPAD0);
  EXPECT_EQ(BoardPlayer(1).energy, 0);
  EXPECT_EQ(BattleTestTroopCount(true), 3);
}

TEST_F(ControlsTest, FrozenPlayerSteersButNeitherSummonsNorCasts) {
  BattlePlayer& p1 = BoardPlayer(0);
  p1.spellSlots[0].cast = CountingCast;
  p1.frozen = true;
  p1.freezeTimer = 0;
  BattleTestPress('W');
  BattleTestPress('D');
  EXPECT_EQ(p1.lane, 1);
  EXPECT_EQ(p1.spellCursor, 2);
  for (int key : {'1', 'A', 'Z'}) BattleTestPress(key);
  EXPECT_EQ(p1.energy, 30);
  EXPECT_EQ(gCasts, 0);
  p1.frozen = false;
  BattleTestPress('Z');
  EXPECT_EQ(gCasts, 1);
}

TEST_F(ControlsTest, CoolingSpellCannotBeCastAndIsReadyAfter938Updates) {
  SpellSlot& boost = BoardPlayer(0).spellSlots[0];
  boost.cast = CountingCast;
  TestKeyDown('Z');
  TestStep(1);  // cast; the same update's cooldown tick counts
  TestKeyUp('Z');
  EXPECT_EQ(gCasts, 1);
  EXPECT_EQ(boost.icon->color, 0xFF808080u);
  BattleTestPress('Z');  // 3 ticks
  EXPECT_EQ(gCasts, 1);
  TestStep(934);
  EXPECT_FALSE(boost.ready);
  TestStep(1);  // 938
  EXPECT_TRUE(boost.ready);
  EXPECT_FALSE(boost.icon->tinted);
  BattleTestPress('Z');
  EXPECT_EQ(gCasts, 2);
}

}  // namespace
