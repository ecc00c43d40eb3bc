// Troops on a bare battlefield, driven by real frames: construction and the kinds' statistics,
// marching, queueing, the flying bob, targeting, the Rogue's stealth, and the per-update effects.
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

GameObject* ListAt(int i) { return ObjectListOf(GS_Battle)->objects[i]; }

// ---- construction ------------------------------------------------------------------------------

TEST_F(TroopTest, PlayerTwoArcherStandsInFrontOfItsArrowWithMarkerAndBar) {
  int before = TroopObjectCount();
  Troop* a = TroopSpawn(Archer, 1, true);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->type, Archer);
  EXPECT_FLOAT_EQ(a->position.x, 250);
  EXPECT_FLOAT_EQ(a->position.y, 70);
  EXPECT_FLOAT_EQ(a->scale.x, -50);
  EXPECT_FLOAT_EQ(a->scale.y, 50);
  EXPECT_FALSE(a->canAttack);
  EXPECT_FALSE(a->tinted);

  GameObject* m = a->rangeMarker;
  EXPECT_FLOAT_EQ(m->position.x, 187.5f);
  EXPECT_FLOAT_EQ(m->position.y, 70);
  EXPECT_FLOAT_EQ(m->scale.x, 125);
  EXPECT_FLOAT_EQ(m->scale.y, 20);
  EXPECT_FALSE(m->visible);
  EXPECT_TRUE(m->tinted);
  EXPECT_EQ(m->color, 0x88FF689Du);

  GameObject* b = a->healthBar;
  EXPECT_FLOAT_EQ(b->position.x, 250);
  EXPECT_FLOAT_EQ(b->position.y, 100);
  EXPECT_FLOAT_EQ(b->scale.x, 30);
  EXPECT_FLOAT_EQ(b->scale.y, 5);
  EXPECT_TRUE(b->tinted);
  EXPECT_EQ(b->color, 0xFF00FF00u);

  // Marker and bar are listed first, so the troop is drawn over them.
  ASSERT_EQ(TroopObjectCount(), before + 3);
  EXPECT_EQ(ListAt(before), m);
  EXPECT_EQ(ListAt(before + 1), b);
  EXPECT_EQ(ListAt(before + 2), a);

  Troop* k = TroopSpawn(KnightTroop, -2, false);
  EXPECT_FLOAT_EQ(k->position.x, -250);
  EXPECT_FLOAT_EQ(k->position.y, -140);
  EXPECT_FLOAT_EQ(k->scale.x, 50);
  EXPECT_FLOAT_EQ(k->rangeMarker->position.x, -237.5f);
  EXPECT_FLOAT_EQ(k->rangeMarker->scale.x, 25);
  EXPECT_EQ(k->rangeMarker->color, 0x8850C878u);
}

TEST_F(TroopTest, AheadIsTheNewestTroopOfThatPlayerInTheLaneEvenDead) {
  Troop* first = TroopSpawn(KnightTroop, 0, false);
  EXPECT_EQ(first->ahead, nullptr);
  TroopKill(first);
  Troop* second = TroopSpawn(Golem, 0, false);
  EXPECT_EQ(second->ahead, first);
  EXPECT_EQ(TroopSpawn(Archer, 0, false)->ahead, second);
  EXPECT_EQ(TroopSpawn(Archer, 0, true)->ahead, nullptr);   // the other player's
  EXPECT_EQ(TroopSpawn(Archer, 1, false)->ahead, nullptr);  // another lane
}

// ---- marching ----------------------------------------------------------------------------------

TEST_F(TroopTest, TroopsMarchTowardTheEnemyWithBarAndMarkerAndWindPushesBack) {
  Troop* p1 = TroopSpawn(KnightTroop, -1, false);
  Troop* p2 = TroopSpawn(Goblin, 1, true);
  ASSERT_TRUE(TestStep(10));
  EXPECT_NEAR(p1->position.x, -250 + 10 * 0.325f, 1e-3);
  EXPECT_NEAR(p1->healthBar->position.x, p1->position.x, 1e-3);
  EXPECT_NEAR(p1->rangeMarker->position.x, p1->position.x + 12.5f, 1e-3);
  EXPECT_NEAR(p2->position.x, 250 - 10 * 0.45f, 1e-3);

  float x = p1->position.x;
  p1->speedFactor = -3.0f;  // the Wind spell
  ASSERT_TRUE(TestStep(4));
  EXPECT_NEAR(p1->position.x, x - 4 * 3 * 0.325f, 1e-3);
}

TEST_F(TroopTest, QueuesFortyUnitsBehindTheAllyInFrontUntilItDies) {
  Troop* front = TroopPlace(KnightTroop, 0, false, 0);
  Troop* back = TroopSpawn(KnightTroop, 0, false);
  ASSERT_EQ(back->ahead, front);

  TroopMoveTo(back, -39);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(back->blocked);
  EXPECT_FLOAT_EQ(back->position.x, -39);

  TroopMoveTo(back, -40);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(back->blocked);
  EXPECT_FLOAT_EQ(back->position.x, -40 + 0.325f);
  ASSERT_TRUE(TestStep(3));
  EXPECT_TRUE(back->blocked);  // caught up again

  TroopKill(front);
  float x = back->position.x;
  ASSERT_TRUE(TestStep(2));
  EXPECT_FALSE(back->blocked);
  EXPECT_NEAR(back->position.x, x + 2 * 0.325f, 1e-4);
}

TEST_F(TroopTest, FlyingTroopsBobWithTheirBarButNeverWaddle) {
  Troop* imp = TroopSpawn(Imp, 1, false);
  Troop* knight = TroopSpawn(KnightTroop, -1, false);
  float y0 = imp->position.y, bar0 = imp->healthBar->position.y;
  double sum = 0;
  bool knightRocked = false;
  for (int i = 0; i < 40; ++i) {
    sum += std::sin(0.1 * i);
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(imp->rotation, 0.0f);
    knightRocked |= knight->rotation > 0.03f;
    EXPECT_GE(knight->rotation, -0.0175f);
    EXPECT_LE(knight->rotation, 0.0699f);
  }
  EXPECT_NEAR(imp->position.y - y0, sum, 1e-3);
  EXPECT_NEAR(imp->healthBar->position.y - bar0, sum, 1e-3);
  EXPECT_FLOAT_EQ(imp->rangeMarker->position.y, 70);
  EXPECT_TRUE(knightRocked);
  EXPECT_NEAR(knight->position.y, -70, 5.01);
}

// ---- targeting ---------------------------------------------------------------------------------

TEST_F(TroopTest, MeleeNeverTargetsFlyersButRangedAndFlyingTroopsDo) {
  Troop* knightVsImp = TroopPlace(KnightTroop, -2, false, 0);
  Troop* knightVsDragon = TroopPlace(KnightTroop, -1, false, 0);
  Troop* archer = TroopPlace(Archer, 0, false, 0);
  Troop* imp = TroopPlace(Imp, 1, false, 0);
  Troop* trollVsImp = TroopPlace(Troll, 2, false, 0);
  TroopPlace(Imp, -2, true, 10);
  TroopPlace(Dragon, -1, true, 10);
  Troop* dragon = TroopPlace(Dragon, 0, true, 10);
  Troop* enemyImp = TroopPlace(Imp, 1, true, 10);
  TroopPlace(Imp, 2, true, 10);

  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archer->target, dragon);
  EXPECT_TRUE(archer->engaged);
  EXPECT_EQ(imp->target, enemyImp);
  int framesUntilMeleeTargets = TroopRunUntil(
      [&] { return knightVsImp->target || knightVsDragon->target || trollVsImp->target; }, 90);
  EXPECT_EQ(framesUntilMeleeTargets, -1);
  EXPECT_FALSE(knightVsImp->engaged);
}

TEST_F(TroopTest, ArcherSearchBoxReachesHalfItsRangeWidenedByTheEnemysPost) {
  Troop* archers[5];
  for (int lane = -2; lane <= 2; ++lane) archers[lane + 2] = TroopPlace(Archer, lane, false, 0);
  Troop* touchingBehind = TroopPlace(Golem, -2, true, -2.5f);
  TroopPlace(Golem, -1, true, -2.6f);
  Troop* touchingAhead = TroopPlace(Golem, 0, true, 127.5f);
  TroopPlace(Golem, 1, true, 127.6f);
  Troop* touchingAbove = TroopPlace(Golem, 2, true, 60);
  touchingAbove->position.y = 140 + 27.5f;

  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archers[0]->target, touchingBehind);
  EXPECT_EQ(archers[1]->target, nullptr);
  EXPECT_EQ(archers[2]->target, touchingAhead);
  EXPECT_EQ(archers[3]->target, nullptr);
  EXPECT_EQ(archers[4]->target, touchingAbove);
}

TEST_F(TroopTest, HeldTargetIsKeptWithinRangeAndDroppedBeyondItOrBehind) {
  Troop* archer = TroopPlace(Archer, 0, false, 0);
  Troop* golem = TroopPlace(Golem, 0, true, 100);
  ASSERT_TRUE(TestStep(1));
  ASSERT_EQ(archer->target, golem);

  TroopMoveTo(golem, 240);  // outside the search box, inside the range
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archer->target, golem);
  EXPECT_TRUE(archer->engaged);

  TroopMoveTo(golem, 260);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archer->target, nullptr);
  EXPECT_FALSE(archer->engaged);

  TroopMoveTo(golem, 100);
  ASSERT_TRUE(TestStep(1));
  ASSERT_EQ(archer->target, golem);
  TroopMoveTo(golem, -3);  // just behind the archer and outside its box, though within range
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archer->target, nullptr);
}

TEST_F(TroopTest, TargetsTheOldestEnemyInReachAndSwitchesToAnOlderOne) {
  Troop* archer = TroopPlace(Archer, 0, false, 0);
  Troop* older = TroopPlace(Golem, 0, true, 300);
  Troop* newer = TroopPlace(Golem, 0, true, 100);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archer->target, newer);

  TroopMoveTo(older, 50);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archer->target, older);

  // Both in reach from the start: the older one.
  Troop* archer2 = TroopPlace(Archer, 1, false, 0);
  Troop* first = TroopPlace(Goblin, 1, true, 110);
  TroopPlace(Goblin, 1, true, 20);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(archer2->target, first);
}

// ---- the Rogue's stealth -----------------------------------------------------------------------

TEST_F(TroopTest, HiddenRogueIsNeverTargetedAndShowsItselfInSmokeAcrossTheMiddle) {
  Troop* knight = TroopPlace(KnightTroop, 0, true, 10);
  Troop* rogue = TroopPlace(Rogue, 0, false, -5);
  rogue->speedFactor = 1;
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(rogue->tinted);
  EXPECT_EQ(rogue->color, 0x55FFFFFFu);
  EXPECT_EQ(knight->target, nullptr);  // in the box, but hidden

  int frames = TroopRunUntil([&] { return rogue->revealed; }, 30);
  ASSERT_GT(frames, 0);
  EXPECT_EQ(knight->target, nullptr);
  EXPECT_FALSE(rogue->tinted);
  EXPECT_EQ(rogue->color, 0xFFFFFFFFu);
  GameObject* smoke = rogue->smoke;
  ASSERT_NE(smoke, nullptr);
  EXPECT_TRUE(smoke->alive);
  // The puff stands where the Rogue crossed: just past the middle.
  EXPECT_GT(smoke->position.x, 0);
  EXPECT_LE(smoke->position.x, 0.5f);
  EXPECT_FLOAT_EQ(smoke->scale.x, rogue->scale.x);

  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(knight->target, rogue);

  // The puff lasts 1.5 s of fixed steps: gone at the 94th update after it appeared.
  ASSERT_TRUE(TestStep(91));
  EXPECT_TRUE(smoke->alive);
  int more = TroopRunUntil([&] { return rogue->smoke == nullptr; }, 5);
  EXPECT_EQ(more, 2);
  EXPECT_FALSE(smoke->alive);
}

// ---- effects -----------------------------------------------------------------------------------

TEST_F(TroopTest, DemonEnragesOnceBelow45AndThenStrikesEvery0_9sForTheSameDamage) {
  Troop* demon = TroopPlace(Demon, 0, true, 0);
  Troop* golem = TroopPlace(Golem, 0, false, -10);
  golem->health = golem->maxHealth = 100000;
  demon->health = 45;
  float barY = demon->healthBar->position.y;
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(demon->enraged);

  demon->health = 44.9f;
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(demon->enraged);
  EXPECT_FLOAT_EQ(demon->scale.x, -57.5f);
  EXPECT_FLOAT_EQ(demon->scale.y, 57.5f);
  EXPECT_FLOAT_EQ(demon->attackPeriod, 0.9f);
  EXPECT_FLOAT_EQ(demon->damage, 45);
  EXPECT_FLOAT_EQ(demon->healthBar->position.y, barY + 10);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(demon->scale.y, 57.5f);

  // Gaps between strikes after the first: 0.9 s of 0.016 s steps is 57 updates.
  float last = golem->health;
  int strikes = 0, lastFrame = 0;
  for (int frame = 1; frame <= 250 && strikes < 3; ++frame) {
    ASSERT_TRUE(TestStep(1));
    if (golem->health == last) continue;
    EXPECT_FLOAT_EQ(last - golem->health, 45);
    if (strikes > 0) {
      EXPECT_EQ(frame - lastFrame, 57);
    }
    last = golem->health;
    lastFrame = frame;
    ++strikes;
  }
  EXPECT_EQ(strikes, 3);
}

TEST_F(TroopTest, HealthBarTurnsYellowAtHalfAndRedAtAQuarterAndNeverBack) {
  Troop* t = TroopPlace(Golem, 0, false, 0);
  GameObject* bar = t->healthBar;
  const uint32_t green = 0xFF00FF00, yellow = 0xFFFFFF00, red = 0xFFFF0000;
  struct Step {
    float width;
    uint32_t color;
  };
  const Step steps[] = {{15.01f, green}, {15, yellow}, {7.51f, yellow}, {7.5f, red}, {30, red}};
  for (const Step& s : steps) {
    bar->scale.x = s.width;
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(bar->color, s.color) << "width " << s.width;
  }
}

TEST_F(TroopTest, RangeMarkersShowWhileTheirPlayerHoldsKOrNumpad7OrALeftShoulder) {
  Troop* p1 = TroopSpawn(Archer, 0, false);
  Troop* p1b = TroopSpawn(Bear, 2, false);
  Troop* p2 = TroopSpawn(Archer, 1, true);
  auto shown = [&] {
    return (p1->rangeMarker->visible ? 1 : 0) + (p1b->rangeMarker->visible ? 2 : 0) +
           (p2->rangeMarker->visible ? 4 : 0);
  };
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 0);
  TestKeyDown('K');
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 1 + 2);
  TestKeyUp('K');
  TestKeyDown(VK_NUMPAD0 + 7);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 4);
  TestKeyUp(VK_NUMPAD0 + 7);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 0);

  int padA = TestPadAttach();
  int padB = TestPadAttach();
  InputReset();  // poll now rather than in two seconds
  ASSERT_TRUE(TestStep(1));
  ASSERT_TRUE(InputPadIsConnected(0));
  ASSERT_TRUE(InputPadIsConnected(1));
  TestPadSetButtonBits(padB, PAD_LEFT_SHOULDER, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 4);
  TestPadSetButtonBits(padB, PAD_LEFT_SHOULDER, false);
  TestPadSetButtonBits(padA, PAD_LEFT_SHOULDER, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 1 + 2);
  TestPadSetButtonBits(padA, PAD_LEFT_SHOULDER, false);
  TestPadSetButtonBits(padA, PAD_RIGHT_SHOULDER, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(shown(), 0);
}

}  // namespace
