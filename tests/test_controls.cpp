// Battle controls: lanes, summoning within energy and charge times, the spell cursor, casting and
// cooldowns, driven by pushed keys and a virtual pad through real battle updates.
#include <gtest/gtest.h>

#include "battle/battle.h"
#include "battle/controls.h"
#include "hpbattle.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"

namespace {

// These tests read no pixels, and drawing is what takes the time: a small window.
const struct { int w, h; } kSmall = {160, 120};

// A stand-in spell: counts its casts and, like every spell, clears ready when it acts.
int gCasts = 0;
void CountingCast(GameObject*, bool* ready) {
  if (!*ready) return;
  ++gCasts;
  *ready = false;
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Orc, Spell_Wind, Spell_Meteor, Spell_Stun,
                                Spell_Execute, kSmall.w, kSmall.h));
    gCasts = 0;
  }
  void TearDown() override { BattleTestStop(); }
};

TEST_F(ControlsTest, LanesWrapBothWaysAndUpWins) {
  BattlePlayer& p1 = gPlayers[0];
  BattleTestPress('W');
  BattleTestPress('W');
  EXPECT_EQ(p1.lane, 2);
  EXPECT_FLOAT_EQ(p1.arrow->position.y, 140);
  BattleTestPress('W');
  EXPECT_EQ(p1.lane, -2);
  EXPECT_FLOAT_EQ(p1.arrow->position.y, -140);
  BattleTestPress('S');
  EXPECT_EQ(p1.lane, 2);
  EXPECT_FLOAT_EQ(p1.arrow->position.y, 140);

  // Player 2 on the arrow keys, both at once: up wins, except that down wraps from the bottom.
  BattlePlayer& p2 = gPlayers[1];
  BattleTestPress2(VK_UP, VK_DOWN);
  EXPECT_EQ(p2.lane, 1);
  BattleTestPress(VK_DOWN);
  BattleTestPress(VK_DOWN);
  BattleTestPress(VK_DOWN);
  EXPECT_EQ(p2.lane, -2);
  BattleTestPress2(VK_UP, VK_DOWN);
  EXPECT_EQ(p2.lane, 2);
  EXPECT_FLOAT_EQ(p2.arrow->position.y, 140);
  EXPECT_FLOAT_EQ(p2.arrow->position.x, 350);
  EXPECT_EQ(p1.lane, 2);  // untouched by player 2's keys
}

TEST_F(ControlsTest, EnergyLimitsTheSlotsAndNeverComesBack) {
  BattlePlayer& p1 = gPlayers[0];
  p1.lane = 1;
  p1.energy = 1;
  BattleTestPress('2');
  BattleTestPress('3');
  BattleTestPress('4');
  EXPECT_EQ(p1.energy, 1);
  EXPECT_EQ(BattleTestTroopCount(false), 0);
  BattleTestPress('1');
  EXPECT_EQ(p1.energy, 0);
  ASSERT_EQ(BattleTestTroopCount(false), 1);
  BattleTestRun(300);
  BattleTestPress('1');
  EXPECT_EQ(p1.energy, 0);
  EXPECT_EQ(BattleTestTroopCount(false), 1);
}

TEST_F(ControlsTest, SummonedTroopTakesKindLaneAndSide) {
  BattleTestPress(VK_UP);
  BattleTestPress(VK_NUMPAD0 + 3);  // player 2's slot Y: the Orc's Demon for 3 energy
  ASSERT_EQ(BattleTestTroopCount(true), 1);
  Troop* t = nullptr;
  for (GameObject* o : BattleObjects().objects)
    if (AsTroop(o)) t = AsTroop(o);
  EXPECT_EQ(t->kind, Demon);
  EXPECT_EQ(t->lane, 1);
  EXPECT_TRUE(t->rightSide);
  EXPECT_EQ(gPlayers[1].energy, 27);
}

TEST_F(ControlsTest, KnightSlotAIsUsableAgainAfter188Updates) {
  int pad = TestPadAttach();
  ASSERT_GE(pad, 0);
  BattleTestRun(2);  // the engine finds the pad
  SummonSlot& a = gPlayers[0].summonSlots[0];

  TestKeyDown('1');
  BattleTestRun(1);  // summoned in this update, which already ticks once
  TestKeyUp('1');
  EXPECT_EQ(gPlayers[0].energy, 29);
  EXPECT_TRUE(a.icon->tinted);
  EXPECT_EQ(a.icon->color, 0xFF808080u);
  BattleTestRun(186);  // 186 updates since the summon

  TestKeyDown('1');
  BattleTestRun(1);  // the 187th: still charging
  EXPECT_EQ(gPlayers[0].energy, 29);
  EXPECT_FALSE(a.icon->tinted);  // its tick passed 3.0 s, so the next update may summon
  TestKeyUp('1');
  TestPadSetButtonBits(pad, PAD_A, true);
  BattleTestRun(1);  // the 188th, by the pad's A
  EXPECT_EQ(gPlayers[0].energy, 28);
  EXPECT_EQ(BattleTestTroopCount(false), 2);
  TestPadSetButtonBits(pad, PAD_A, false);
  TestPadDetachAll();
}

TEST_F(ControlsTest, PlayerOneSummonsOneTroopPerUpdatePlayerTwoUpToFour) {
  BattleTestPress2('1', '2');
  EXPECT_EQ(gPlayers[0].energy, 29);
  EXPECT_EQ(BattleTestTroopCount(false), 1);
  EXPECT_FLOAT_EQ(gPlayers[0].summonSlots[1].chargeTimer, 20.0f);  // B untouched

  BattleTestPress2(VK_NUMPAD0, VK_NUMPAD0 + 1);
  EXPECT_EQ(gPlayers[1].energy, 27);
  EXPECT_EQ(BattleTestTroopCount(true), 2);

  // Player 1 again with A charging: B is the first that may go.
  BattleTestPress2('1', '2');
  EXPECT_EQ(gPlayers[0].energy, 27);
  EXPECT_EQ(BattleTestTroopCount(false), 2);
}

TEST_F(ControlsTest, FrozenPlayerSteersButNeitherSummonsNorCasts) {
  BattlePlayer& p1 = gPlayers[0];
  p1.spellSlots[0].cast = CountingCast;
  p1.frozen = true;  // for 2.5 s, counted up from 0
  p1.freezeTimer = 0;
  BattleTestPress('W');
  BattleTestPress('D');
  EXPECT_EQ(p1.lane, 1);
  EXPECT_EQ(p1.spellCursor, 2);
  EXPECT_FLOAT_EQ(p1.spellStar->position.x, 250);
  BattleTestPress('1');
  BattleTestPress('A');
  BattleTestPress('Z');
  EXPECT_EQ(p1.energy, 30);
  EXPECT_EQ(BattleTestTroopCount(false), 0);
  EXPECT_EQ(gCasts, 0);
  EXPECT_TRUE(p1.spellSlots[0].ready);

  p1.frozen = false;
  p1.freezeTimer = 0;
  BattleTestPress('Z');
  EXPECT_EQ(gCasts, 1);
}

TEST_F(ControlsTest, SpellCursorWrapsAndMovesTheStar) {
  BattlePlayer& p2 = gPlayers[1];
  BattleTestPress(VK_LEFT);
  EXPECT_EQ(p2.spellCursor, 3);
  EXPECT_FLOAT_EQ(p2.spellStar->position.x, -150);
  EXPECT_FLOAT_EQ(p2.spellStar->position.y, -250);
  BattleTestPress(VK_RIGHT);
  EXPECT_EQ(p2.spellCursor, 1);
  EXPECT_FLOAT_EQ(p2.spellStar->position.x, -350);
  BattleTestPress2('D', 'A');  // next then previous in one update: back where it was
  EXPECT_EQ(gPlayers[0].spellCursor, 1);
}

TEST_F(ControlsTest, CoolingSpellCannotBeCastAndIsReadyAfter938Updates) {
  BattlePlayer& p1 = gPlayers[0];
  SpellSlot& boost = p1.spellSlots[0];
  boost.cast = CountingCast;

  TestKeyDown('Z');
  BattleTestRun(1);  // cast; the same update's cooldown tick counts
  TestKeyUp('Z');
  EXPECT_EQ(gCasts, 1);
  EXPECT_FALSE(boost.ready);
  EXPECT_TRUE(boost.icon->tinted);
  EXPECT_EQ(boost.icon->color, 0xFF808080u);

  BattleTestPress('Z');  // two more updates: 3 ticks
  EXPECT_EQ(gCasts, 1);
  BattleTestRun(934);    // 937 ticks
  EXPECT_FALSE(boost.ready);
  BattleTestRun(1);      // 938
  EXPECT_TRUE(boost.ready);
  EXPECT_FLOAT_EQ(boost.cooldownTimer, 0);
  EXPECT_FALSE(boost.icon->tinted);
  BattleTestPress('Z');
  EXPECT_EQ(gCasts, 2);
}

TEST_F(ControlsTest, SlotWithoutSpellIsNeverCast) {
  // Player 2's chosen slot 1 holds an unknown id: no icon, no routine.
  BattleTestStop();
  ASSERT_TRUE(BattleTestStart(Hero_Mage, Hero_Druid, Spell_Wind, Spell_Stun, Spell_Wind,
                              Spell_None, kSmall.w, kSmall.h));
  BattlePlayer& p2 = gPlayers[1];
  EXPECT_EQ(p2.spellSlots[2].cast, nullptr);
  EXPECT_EQ(p2.spellSlots[2].icon, nullptr);
  BattleTestPress(VK_LEFT);
  ASSERT_EQ(p2.spellCursor, 3);
  BattleTestPress(VK_NUMPAD0 + 4);
  EXPECT_TRUE(p2.spellSlots[2].ready);
}

}  // namespace
