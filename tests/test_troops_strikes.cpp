// Troop strikes on a bare battlefield, driven by real frames: damage with the bar and hit flash,
// death, the splash victim, the Rogue's ambush, the Ice Mage's slow, the Imp's and Dryad's heals.
#include <gtest/gtest.h>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "hptroops.h"

namespace {

class StrikeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TroopFieldStart()); }
  void TearDown() override { TroopFieldStop(); }
};

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

TEST_F(StrikeTest, KnightStrikesAFullTrollTo95WithABarOf24_78AndAHalfSecondFlashThenKills) {
  Troop* knight = TroopPlace(KnightTroop, 0, false, 0);
  Troop* troll = TroopPlace(Troll, 0, true, 20);
  // 1.7 s of 0.016 s steps ends at the 107th update; the strike falls in the next one.
  EXPECT_EQ(TroopRunUntil([&] { return troll->health != 115; }, 200), 108);
  EXPECT_FLOAT_EQ(troll->health, 95);
  EXPECT_NEAR(troll->healthBar->scale.x, 24.78, 0.01);
  EXPECT_EQ(troll->color, kRed);
  ASSERT_TRUE(TestStep(30));
  EXPECT_TRUE(troll->tinted);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(troll->tinted);

  troll->health = 20;  // a strike to exactly zero kills, with the bar and marker
  knight->canAttack = true;
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(troll->alive);
  EXPECT_FALSE(troll->healthBar->alive);
  EXPECT_FALSE(troll->rangeMarker->alive);
  EXPECT_EQ(knight->target, nullptr);
  knight->speedFactor = 1;
  ASSERT_TRUE(TestStep(1));
  EXPECT_GT(knight->position.x, 0);  // walks on
}

TEST_F(StrikeTest, HiddenRogueAmbushesOnceFor100ThenWaitsUntilRevealed) {
  Troop* rogue = TroopPlace(Rogue, 0, false, -50);
  Troop* troll = TroopPlace(Troll, 0, true, -45);
  ASSERT_GT(TroopRunUntil([&] { return troll->health != 115; }, 200), 137);
  EXPECT_FLOAT_EQ(troll->health, 15);
  // The bar loses exactly the share of health lost.
  EXPECT_NEAR(troll->healthBar->scale.x, 30 * (1 - 100.0 / 115), 1e-4);
  EXPECT_EQ(troll->target, nullptr);  // it cannot see who hit it
  ASSERT_NE(rogue->dagger, nullptr);
  ASSERT_TRUE(TestStep(300));
  EXPECT_EQ(rogue->dagger, nullptr);
  EXPECT_FLOAT_EQ(troll->health, 15);  // no second strike from hiding
  TroopMoveTo(rogue, 5);
  TroopMoveTo(troll, 10);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(rogue->revealed);
  EXPECT_FLOAT_EQ(troll->health, 5);  // its ordinary 10 now
}

TEST_F(StrikeTest, SplashHitsTheOldestEnemyJustBelowTheTargetsXWithinTheBox) {
  // Lane 0: the catapult's target at 100 and candidates; lanes 1 and 2: rows above.
  Troop* cat = TroopPlace(Catapult, 0, false, 0);
  Troop* target = TroopPlace(Golem, 0, true, 100);
  Troop* level = TroopPlace(Golem, 0, true, 100);
  Troop* notSmaller = TroopPlace(Golem, 0, true, 101);
  Troop* tooFar = TroopPlace(Golem, 0, true, 57.4f);
  Troop* touching = TroopPlace(Golem, 0, true, 57.5f);  // box edge 60 meets the splash box's
  Troop* newer = TroopPlace(Golem, 0, true, 80);
  Troop* cat1 = TroopPlace(Catapult, 1, false, 0);
  TroopPlace(Golem, 1, true, 100);
  Troop* above = TroopPlace(Golem, 1, true, 80);
  above->position.y = 70 + 27.5f;
  Troop* cat2 = TroopPlace(Catapult, 2, false, 0);
  TroopPlace(Golem, 2, true, 100);
  Troop* beyond = TroopPlace(Golem, 2, true, 80);
  beyond->position.y = 140 + 27.6f;
  // Player 2's catapult in lane -1 hits the enemy further left; lane -2 hits a Treant.
  Troop* cat3 = TroopPlace(Catapult, -1, true, 0);
  TroopPlace(KnightTroop, -1, false, -100);
  Troop* between = TroopPlace(Golem, -1, false, -90);
  Troop* behind = TroopPlace(Golem, -1, false, -110);
  Troop* cat4 = TroopPlace(Catapult, -2, false, 0);
  Troop* treant = TroopPlace(Treant, -2, true, 100);
  Troop* shielded = TroopPlace(Golem, -2, true, 80);
  for (Troop* c : {cat, cat1, cat2, cat3, cat4}) c->canAttack = true;

  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(target->health, 160);
  EXPECT_FLOAT_EQ(touching->health, 160);
  EXPECT_EQ(touching->color, kRed);
  EXPECT_FLOAT_EQ(above->health, 160);
  EXPECT_FLOAT_EQ(behind->health, 160);
  for (Troop* t : {level, notSmaller, tooFar, newer, beyond, between, shielded})
    EXPECT_FLOAT_EQ(t->health, 200);
  EXPECT_FLOAT_EQ(treant->health, 125);
}

TEST_F(StrikeTest, IceMageSlowsTargetAndVictimWhoKeep0_7AfterTheSlow) {
  Troop* mage = TroopPlace(IceMage, 0, false, 0);
  Troop* target = TroopPlace(KnightTroop, 0, true, 100);
  Troop* victim = TroopPlace(KnightTroop, 0, true, 70);
  target->speedFactor = -3.0f;  // under Wind: the slow still walks it forward
  mage->canAttack = true;
  ASSERT_TRUE(TestStep(1));
  for (Troop* t : {target, victim}) {
    EXPECT_FLOAT_EQ(t->health, 100);
    EXPECT_TRUE(t->slowed);
    EXPECT_FLOAT_EQ(t->speedFactor, 0.7f);
  }
  // The slow ends after 1.5 s; the factor stays until a spell puts it back. The mage's next
  // strike would slow them again: stop it first.
  TroopKill(mage);
  EXPECT_GT(TroopRunUntil([&] { return !target->slowed; }, 120), 70);
  EXPECT_FALSE(victim->slowed);
  EXPECT_FLOAT_EQ(target->speedFactor, 0.7f);
}

TEST_F(StrikeTest, ImpStealsTenBelow70AndDryadHealsTheFirstTenAlliesUpToTheCap) {
  Troop* hungry = TroopPlace(Imp, 1, false, 0);
  Troop* full = TroopPlace(Imp, 2, false, 0);
  TroopPlace(Golem, 1, true, 10);
  TroopPlace(Golem, 2, true, 10);
  hungry->health = 65;
  full->health = 70;
  Troop* farAlly = TroopPlace(KnightTroop, 0, false, -301);
  Troop* allies[11];
  for (int i = 0; i < 11; ++i) {
    allies[i] = TroopPlace(KnightTroop, 0, false, -20.0f * (i + 1));
    allies[i]->health = 100;
  }
  allies[0]->health = 110;
  farAlly->health = 100;
  Troop* dryad = TroopPlace(Dryad, 0, false, 0);
  dryad->health = 50;
  TroopPlace(Golem, 0, true, 50);
  hungry->canAttack = full->canAttack = dryad->canAttack = true;

  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(hungry->health, 75);  // above its maximum of 70, as it may
  EXPECT_FLOAT_EQ(full->health, 70);
  EXPECT_FLOAT_EQ(allies[0]->health, 120);
  EXPECT_FLOAT_EQ(allies[0]->healthBar->scale.x, 30);  // capped: bar unchanged
  for (int i = 1; i < 10; ++i) {
    EXPECT_FLOAT_EQ(allies[i]->health, 115) << i;
    EXPECT_EQ(allies[i]->color, kGreen);
  }
  EXPECT_FLOAT_EQ(allies[10]->health, 100);  // the eleventh
  EXPECT_FLOAT_EQ(farAlly->health, 100);
  EXPECT_FLOAT_EQ(dryad->health, 50);
}

}  // namespace
