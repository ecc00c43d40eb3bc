// Troops on a bare battlefield, driven by real frames: construction, queueing, the flying bob,
// targeting, the Rogue's stealth, and the per-update effects.
#include <gtest/gtest.h>

#include <cmath>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "hppad.h"
#include "hptroops.h"
#include "keinput.h"
#include "keos.h"

namespace {

class TroopTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TroopFieldStart()); }
  void TearDown() override {
    TestPadDetachAll();
    TroopFieldStop();
    EXPECT_TRUE(TroopAll().empty());  // deleted troops leave the roster the walks use
  }
};

TEST_F(TroopTest, PlayerTwoArcherStandsInFrontOfItsArrowAndFlyersBob) {
  Troop* a = TroopSpawn(Archer, 1, true);
  EXPECT_FLOAT_EQ(a->position.x, 250);
  EXPECT_FLOAT_EQ(a->position.y, 70);
  EXPECT_FLOAT_EQ(a->scale.x, -50);
  EXPECT_FLOAT_EQ(a->rangeMarker->position.x, 187.5f);
  EXPECT_FLOAT_EQ(a->rangeMarker->scale.x, 125);
  EXPECT_FLOAT_EQ(a->healthBar->position.y, 100);
  // Marker and bar are listed first, so the troop is drawn over them.
  const std::vector<GameObject*>& list = ObjectListOf(GS_Battle)->objects;
  ASSERT_GE(list.size(), 3u);
  EXPECT_EQ(list[list.size() - 3], a->rangeMarker);
  EXPECT_EQ(list.back(), a);

  Troop* imp = TroopSpawn(Imp, -1, false);
  float y0 = imp->position.y, bar0 = imp->healthBar->position.y;
  double sum = 0;
  for (int i = 0; i < 40; ++i) {
    sum += std::sin(0.1 * i);
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(imp->rotation, 0.0f);  // flyers never waddle
  }
  EXPECT_NEAR(imp->position.y - y0, sum, 1e-3);
  EXPECT_NEAR(imp->healthBar->position.y - bar0, sum, 1e-3);
  EXPECT_FLOAT_EQ(imp->rangeMarker->position.y, -70);
}

TEST_F(TroopTest, QueuesFortyUnitsBehindTheAllyInFrontUntilItDies) {
  Troop* front = TroopPlace(KnightTroop, 0, false, 0);
  Troop* back = TroopSpawn(KnightTroop, 0, false);
  TroopMoveTo(back, -39);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(back->position.x, -39);
  TroopMoveTo(back, -40);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(back->position.x, -40 + 0.325f);
  TroopKill(front);
  ASSERT_TRUE(TestStep(10));
  EXPECT_NEAR(back->position.x, -40 + 11 * 0.325f, 1e-3);
}

TEST_F(TroopTest, MeleeNeverTargetsFlyersButRangedAndFlyingTroopsDoTheOldestInReach) {
  Troop* knightVsImp = TroopPlace(KnightTroop, -2, false, 0);
  Troop* knightVsDragon = TroopPlace(KnightTroop, -1, false, 0);
  Troop* archer = TroopPlace(Archer, 0, false, 0);
  Troop* imp = TroopPlace(Imp, 1, false, 0);
  Troop* archer2 = TroopPlace(Archer, 2, false, 0);
  TroopPlace(Imp, -2, true, 10);
  TroopPlace(Dragon, -1, true, 10);
  Troop* dragon = TroopPlace(Dragon, 0, true, 10);
  Troop* enemyImp = TroopPlace(Imp, 1, true, 10);
  Troop* older = TroopPlace(Goblin, 2, true, 110);
  TroopPlace(Goblin, 2, true, 20);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archer->target, dragon);
  EXPECT_EQ(imp->target, enemyImp);
  EXPECT_EQ(archer2->target, older);
  EXPECT_EQ(TroopRunUntil([&] { return knightVsImp->target || knightVsDragon->target; }, 90), -1);
}

TEST_F(TroopTest, ArcherSearchBoxReachesHalfItsRangeWidenedByTheEnemysPost) {
  // Per lane: where the golem stands, and whether the archer at 0 takes it.
  const struct { float x, dy; bool found; } cases[] = {
      {-2.5f, 0, true}, {-2.6f, 0, false}, {127.5f, 0, true}, {127.6f, 0, false}, {60, 27.5f, true}};
  Troop* archers[5];
  Troop* golems[5];
  for (int lane = -2; lane <= 2; ++lane) {
    archers[lane + 2] = TroopPlace(Archer, lane, false, 0);
    golems[lane + 2] = TroopPlace(Golem, lane, true, cases[lane + 2].x);
    golems[lane + 2]->position.y += cases[lane + 2].dy;
  }
  ASSERT_TRUE(TestStep(1));
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(archers[i]->target, cases[i].found ? golems[i] : nullptr) << "lane " << i - 2;
  TroopMoveTo(golems[2], 240);  // outside the box but within range: kept
  TroopMoveTo(golems[0], 260);  // beyond the range: dropped
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archers[2]->target, golems[2]);
  EXPECT_EQ(archers[0]->target, nullptr);
}

TEST_F(TroopTest, HiddenRogueIsNeverTargetedAndShowsItselfInSmokeAcrossTheMiddle) {
  Troop* knight = TroopPlace(KnightTroop, 0, true, 10);
  Troop* rogue = TroopPlace(Rogue, 0, false, -5);
  rogue->speedFactor = 1;
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(rogue->color, 0x55FFFFFFu);
  EXPECT_EQ(knight->target, nullptr);  // in the box, but hidden
  ASSERT_GT(TroopRunUntil([&] { return rogue->revealed; }, 30), 0);
  EXPECT_FALSE(rogue->tinted);
  GameObject* smoke = rogue->smoke;
  ASSERT_NE(smoke, nullptr);
  EXPECT_GT(smoke->position.x, 0);  // where the Rogue crossed: just past the middle
  EXPECT_LE(smoke->position.x, 0.5f);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(knight->target, rogue);
  // The puff lasts 1.5 s of fixed steps: gone at the 94th update after it appeared.
  ASSERT_TRUE(TestStep(91));
  EXPECT_TRUE(smoke->alive);
  EXPECT_EQ(TroopRunUntil([&] { return rogue->smoke == nullptr; }, 5), 2);
}

TEST_F(TroopTest, DemonEnragesOnceBelow45AndThenStrikesEvery0_9sForTheSameDamage) {
  Troop* demon = TroopPlace(Demon, 0, true, 0);
  Troop* golem = TroopPlace(Golem, 0, false, -10);
  golem->health = golem->maxHealth = 100000;
  demon->health = 45;
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(demon->enraged);
  demon->health = 44.9f;
  ASSERT_TRUE(TestStep(2));
  EXPECT_TRUE(demon->enraged);
  EXPECT_FLOAT_EQ(demon->scale.x, -57.5f);
  EXPECT_FLOAT_EQ(demon->scale.y, 57.5f);
  // Gaps between strikes after the first: 0.9 s of 0.016 s steps is 57 updates.
  float last = golem->health;
  int strikes = 0, lastFrame = 0;
  for (int frame = 1; frame <= 250 && strikes < 3; ++frame) {
    ASSERT_TRUE(TestStep(1));
    if (golem->health == last) continue;
    EXPECT_FLOAT_EQ(last - golem->health, 45);
    if (strikes++ > 0) {
      EXPECT_EQ(frame - lastFrame, 57);
    }
    last = golem->health;
    lastFrame = frame;
  }
  EXPECT_EQ(strikes, 3);
}

TEST_F(TroopTest, HealthBarTurnsYellowAtHalfAndRedAtAQuarterAndNeverBack) {
  GameObject* bar = TroopPlace(Golem, 0, false, 0)->healthBar;
  const uint32_t green = 0xFF00FF00, yellow = 0xFFFFFF00, red = 0xFFFF0000;
  const struct { float width; uint32_t color; } steps[] = {
      {15.01f, green}, {15, yellow}, {7.51f, yellow}, {7.5f, red}, {30, red}};
  for (const auto& s : steps) {
    bar->scale.x = s.width;
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(bar->color, s.color) << "width " << s.width;
  }
}

TEST_F(TroopTest, RangeMarkersShowWhileTheirPlayerHoldsKOrNumpad7OrALeftShoulder) {
  Troop* p1 = TroopSpawn(Archer, 0, false);
  Troop* p2 = TroopSpawn(Archer, 1, true);
  auto shown = [&] { return p1->rangeMarker->visible * 1 + p2->rangeMarker->visible * 2; };
  int pads[2] = {TestPadAttach(), TestPadAttach()};
  InputReset();  // poll now rather than in two seconds
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 0);
  TestKeyDown('K');
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 1);
  TestKeyUp('K');
  TestKeyDown(VK_NUMPAD0 + 7);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 2);
  TestKeyUp(VK_NUMPAD0 + 7);
  TestPadSetButtonBits(pads[0], PAD_LEFT_SHOULDER, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 1);
  TestPadSetButtonBits(pads[0], PAD_LEFT_SHOULDER, false);
  TestPadSetButtonBits(pads[1], PAD_RIGHT_SHOULDER, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 0);
}

}  // namespace
