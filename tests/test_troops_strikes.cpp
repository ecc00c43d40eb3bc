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

// Animations made since the list held `from` objects.
std::vector<Animation*> AnimationsSince(int from) {
  std::vector<Animation*> out;
  const std::vector<GameObject*>& list = ObjectListOf(GS_Battle)->objects;
  for (size_t i = from; i < list.size(); ++i)
    if (Animation* a = dynamic_cast<Animation*>(list[i])) out.push_back(a);
  return out;
}

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

// ---- single strikes ----------------------------------------------------------------------------

TEST_F(StrikeTest, KnightStrikesAFullTrollAfterOnePeriodTo95WithABarOf24_78AndAHalfSecondFlash) {
  Troop* knight = TroopPlace(KnightTroop, 0, false, 0);
  Troop* troll = TroopPlace(Troll, 0, true, 20);
  int before = TroopObjectCount();
  // 1.7 s of 0.016 s steps ends at the 107th update; the strike falls in the next one.
  int frames = TroopRunUntil([&] { return troll->health != 115; }, 200);
  EXPECT_EQ(frames, 108);
  EXPECT_FLOAT_EQ(troll->health, 95);
  EXPECT_NEAR(troll->healthBar->scale.x, 30 * (1 - 20.0 / 115), 1e-4);
  EXPECT_NEAR(troll->healthBar->scale.x, 24.78, 0.01);
  EXPECT_EQ(troll->healthBar->color, kGreen);
  EXPECT_TRUE(troll->tinted);
  EXPECT_EQ(troll->color, kRed);
  EXPECT_TRUE(knight->swingForward);
  EXPECT_FALSE(knight->canAttack);
  EXPECT_EQ(knight->target, troll);

  std::vector<Animation*> blow = AnimationsSince(before);
  ASSERT_EQ(blow.size(), 1u);
  EXPECT_FLOAT_EQ(blow[0]->finalPosition.x, 20);
  EXPECT_FLOAT_EQ(blow[0]->startPosition.x, 0);
  EXPECT_FLOAT_EQ(blow[0]->startScale.x, 40);
  EXPECT_FLOAT_EQ(blow[0]->duration, 1.0f);

  ASSERT_TRUE(TestStep(30));
  EXPECT_TRUE(troll->tinted);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(troll->tinted);
  EXPECT_FALSE(troll->flashing);
}

TEST_F(StrikeTest, AStrikeToExactlyZeroKillsTheTargetWithItsBarAndMarker) {
  Troop* knight = TroopPlace(KnightTroop, 0, false, 0);
  Troop* troll = TroopPlace(Troll, 0, true, 20);
  troll->health = 20;
  knight->canAttack = true;
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(troll->health, 0);
  EXPECT_FALSE(troll->alive);
  EXPECT_FALSE(troll->healthBar->alive);
  EXPECT_FALSE(troll->rangeMarker->alive);
  EXPECT_EQ(knight->target, nullptr);
  EXPECT_FALSE(knight->engaged);
  knight->speedFactor = 1;
  float x = knight->position.x;
  ASSERT_TRUE(TestStep(1));
  EXPECT_GT(knight->position.x, x);  // walks on
}

// ---- the Rogue's ambush ------------------------------------------------------------------------

TEST_F(StrikeTest, HiddenRogueAmbushesOnceFor100WithADaggerThenWaitsUntilRevealed) {
  Troop* rogue = TroopPlace(Rogue, 0, false, -50);
  Troop* troll = TroopPlace(Troll, 0, true, -45);
  int frames = TroopRunUntil([&] { return troll->health != 115; }, 200);
  ASSERT_GT(frames, 137);  // 2.2 s: never before one attack period
  EXPECT_FLOAT_EQ(troll->health, 15);
  // The bar loses exactly the share of health lost.
  EXPECT_NEAR(troll->healthBar->scale.x, 30 * (1 - 100.0 / 115), 1e-4);
  EXPECT_EQ(troll->healthBar->color, kRed);
  EXPECT_TRUE(rogue->ambushed);
  EXPECT_FALSE(rogue->revealed);
  EXPECT_EQ(troll->target, nullptr);  // it cannot see who hit it

  GameObject* dagger = rogue->dagger;
  ASSERT_NE(dagger, nullptr);
  EXPECT_FLOAT_EQ(dagger->position.x, rogue->position.x);
  EXPECT_FLOAT_EQ(dagger->scale.x, rogue->scale.x);
  ASSERT_TRUE(TestStep(30));
  EXPECT_NEAR(dagger->rotation, 2 * 30 / 60.0, 1e-3);  // spins at 2 rad per second
  // 0.8 s of frame time: 48 frames.
  ASSERT_TRUE(TestStep(16));
  EXPECT_TRUE(dagger->alive);
  int more = TroopRunUntil([&] { return rogue->dagger == nullptr; }, 10);
  EXPECT_GE(more, 1);
  EXPECT_LE(more, 3);
  EXPECT_FALSE(dagger->alive);

  ASSERT_TRUE(TestStep(300));
  EXPECT_FLOAT_EQ(troll->health, 15);  // no second strike from hiding

  TroopMoveTo(rogue, 5);
  TroopMoveTo(troll, 10);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(rogue->revealed);
  EXPECT_FLOAT_EQ(troll->health, 5);  // its ordinary 10 now
}

// ---- splash ------------------------------------------------------------------------------------

TEST_F(StrikeTest, SplashHitsTheOldestEnemyJustBelowTheTargetsXWithinTheBox) {
  Troop* cat = TroopPlace(Catapult, 0, false, 0);
  Troop* target = TroopPlace(Golem, 0, true, 100);
  Troop* level = TroopPlace(Golem, 0, true, 100);
  Troop* notSmaller = TroopPlace(Golem, 0, true, 101);
  Troop* tooFar = TroopPlace(Golem, 0, true, 57.4f);
  Troop* touching = TroopPlace(Golem, 0, true, 57.5f);  // box edge 60 meets the splash box's
  Troop* newer = TroopPlace(Golem, 0, true, 80);
  // Rows above and below: the splash box is 5 high, the victim's as high as the victim.
  Troop* cat1 = TroopPlace(Catapult, 1, false, 0);
  TroopPlace(Golem, 1, true, 100);
  Troop* above = TroopPlace(Golem, 1, true, 80);
  above->position.y = 70 + 27.5f;
  Troop* cat2 = TroopPlace(Catapult, 2, false, 0);
  TroopPlace(Golem, 2, true, 100);
  Troop* beyond = TroopPlace(Golem, 2, true, 80);
  beyond->position.y = 140 + 27.6f;
  cat->canAttack = cat1->canAttack = cat2->canAttack = true;

  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(cat->target, target);
  EXPECT_FLOAT_EQ(target->health, 160);
  EXPECT_FLOAT_EQ(touching->health, 160);
  EXPECT_TRUE(touching->flashing);
  EXPECT_EQ(touching->color, kRed);
  EXPECT_FLOAT_EQ(level->health, 200);
  EXPECT_FLOAT_EQ(notSmaller->health, 200);
  EXPECT_FLOAT_EQ(tooFar->health, 200);
  EXPECT_FLOAT_EQ(newer->health, 200);
  EXPECT_FLOAT_EQ(above->health, 160);
  EXPECT_FLOAT_EQ(beyond->health, 200);
}

TEST_F(StrikeTest, SplashVictimMayBeDeadFlyingOrHidden) {
  Troop* cats[3];
  Troop* victims[3];
  for (int lane = -1; lane <= 1; ++lane) {
    cats[lane + 1] = TroopPlace(Catapult, lane, false, 0);
    TroopPlace(Golem, lane, true, 100);
  }
  victims[0] = TroopPlace(Golem, -1, true, 90);
  victims[0]->health = 0;
  TroopKill(victims[0]);
  victims[1] = TroopPlace(Imp, 0, true, 90);
  victims[2] = TroopPlace(Rogue, 1, true, 90);
  for (Troop* c : cats) c->canAttack = true;

  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(victims[0]->health, -40);
  EXPECT_FLOAT_EQ(victims[1]->health, 30);
  EXPECT_FALSE(victims[2]->revealed);
  EXPECT_FLOAT_EQ(victims[2]->health, 10);
  // A victim at or below zero stops the attacker, which still holds its target.
  EXPECT_FALSE(cats[0]->engaged);
  EXPECT_NE(cats[0]->target, nullptr);
  EXPECT_TRUE(cats[1]->engaged);
}

TEST_F(StrikeTest, PlayerTwoSplashStillHitsTheEnemyFurtherLeft) {
  Troop* cat = TroopPlace(Catapult, 0, true, 0);
  Troop* target = TroopPlace(Golem, 0, false, -100);
  Troop* between = TroopPlace(Golem, 0, false, -90);
  Troop* behind = TroopPlace(Golem, 0, false, -110);
  cat->canAttack = true;
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(cat->target, target);
  EXPECT_FLOAT_EQ(target->health, 160);
  EXPECT_FLOAT_EQ(between->health, 200);
  EXPECT_FLOAT_EQ(behind->health, 160);
}

TEST_F(StrikeTest, ATreantTargetTakesTheBlowAlone) {
  Troop* cat = TroopPlace(Catapult, 0, false, 0);
  Troop* treant = TroopPlace(Treant, 0, true, 100);
  Troop* behind = TroopPlace(Golem, 0, true, 80);
  cat->canAttack = true;
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(treant->health, 125);
  EXPECT_FLOAT_EQ(behind->health, 200);
  EXPECT_FALSE(behind->flashing);
}

TEST_F(StrikeTest, IceMageSlowsTargetAndVictimWhoKeep0_7AfterTheSlow) {
  Troop* mage = TroopPlace(IceMage, 0, false, 0);
  Troop* target = TroopPlace(KnightTroop, 0, true, 100);
  Troop* victim = TroopPlace(KnightTroop, 0, true, 70);
  target->speedFactor = -3.0f;  // under Wind: the slow still walks it forward
  mage->canAttack = true;
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(target->health, 100);
  EXPECT_FLOAT_EQ(victim->health, 100);
  for (Troop* t : {target, victim}) {
    EXPECT_TRUE(t->slowed);
    EXPECT_FLOAT_EQ(t->speedFactor, 0.7f);
  }
  float x = target->position.x;
  ASSERT_TRUE(TestStep(10));
  EXPECT_NEAR(target->position.x, x - 10 * 0.7f * 0.325f, 1e-3);

  // The slow ends after 1.5 s; the factor stays until a spell puts it back. The mage's next
  // strike (2 s) would slow them again: stop it first.
  TroopKill(mage);
  int frames = TroopRunUntil([&] { return !target->slowed; }, 120);
  EXPECT_GT(frames, 70);
  EXPECT_FALSE(victim->slowed);
  EXPECT_FLOAT_EQ(target->speedFactor, 0.7f);
  ASSERT_TRUE(TestStep(30));
  EXPECT_FLOAT_EQ(victim->speedFactor, 0.7f);
}

// ---- heals -------------------------------------------------------------------------------------

TEST_F(StrikeTest, ImpStealsTenBelow70AndNothingAt70) {
  Troop* hungry = TroopPlace(Imp, 0, false, 0);
  Troop* full = TroopPlace(Imp, 1, false, 0);
  TroopPlace(Golem, 0, true, 10);
  TroopPlace(Golem, 1, true, 10);
  hungry->health = 65;
  full->health = 70;
  hungry->canAttack = full->canAttack = true;
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(hungry->health, 75);  // above its maximum of 70, as it may
  EXPECT_NEAR(hungry->healthBar->scale.x, 30 * (1 + 10.0 / 75), 1e-4);
  EXPECT_EQ(hungry->color, kGreen);
  EXPECT_FALSE(hungry->tinted);
  EXPECT_FLOAT_EQ(full->health, 70);
  EXPECT_FLOAT_EQ(full->healthBar->scale.x, 30);
}

TEST_F(StrikeTest, DryadHealsTheFirstTenAlliesInReachNeverItselfAndNeverAboveTheCap) {
  Troop* farAlly = TroopPlace(KnightTroop, 0, false, -301);
  Troop* deadAlly = TroopPlace(KnightTroop, 0, false, -10);
  TroopKill(deadAlly);
  Troop* otherLane = TroopPlace(KnightTroop, 1, false, -10);
  Troop* allies[11];
  for (int i = 0; i < 11; ++i) {
    allies[i] = TroopPlace(KnightTroop, 0, false, -20.0f * (i + 1));
    allies[i]->health = 100;
  }
  allies[0]->health = 110;
  farAlly->health = deadAlly->health = otherLane->health = 100;
  Troop* dryad = TroopPlace(Dryad, 0, false, 0);
  dryad->health = 50;
  Troop* enemy = TroopPlace(Golem, 0, true, 50);
  enemy->health = 30;  // this strike kills it: the heal still happens
  dryad->canAttack = true;
  int before = TroopObjectCount();

  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(enemy->alive);
  EXPECT_EQ(dryad->target, nullptr);
  EXPECT_FLOAT_EQ(allies[0]->health, 120);
  EXPECT_FLOAT_EQ(allies[0]->healthBar->scale.x, 30);  // capped: bar unchanged
  for (int i = 1; i < 10; ++i) {
    EXPECT_FLOAT_EQ(allies[i]->health, 115) << i;
    EXPECT_NEAR(allies[i]->healthBar->scale.x, 30 * (1 + 15.0 / 115), 1e-4);
    EXPECT_TRUE(allies[i]->flashing);
    EXPECT_EQ(allies[i]->color, kGreen);
  }
  EXPECT_FLOAT_EQ(allies[10]->health, 100);  // the eleventh
  EXPECT_FLOAT_EQ(farAlly->health, 100);
  EXPECT_FLOAT_EQ(deadAlly->health, 100);
  EXPECT_FLOAT_EQ(otherLane->health, 100);
  EXPECT_FLOAT_EQ(dryad->health, 50);

  int hearts = 0;
  for (Animation* a : AnimationsSince(before))
    if (a->startScale.x == 15) {
      ++hearts;
      EXPECT_FLOAT_EQ(a->startPosition.x, 0);
      EXPECT_FLOAT_EQ(a->duration, 0.7f);
    }
  EXPECT_EQ(hearts, 10);
}

}  // namespace
