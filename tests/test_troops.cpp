// Troops on a bare battlefield, driven by real frames: construction, queueing, the flying bob,
// targeting, the Rogue's stealth and ambush, the per-update effects, single and splash strikes,
// the Ice Mage's slow and the Imp's and Dryad's heals.
#include <gtest/gtest.h>

#include <cmath>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "hpbattle.h"
#include "hppad.h"
#include "hptest.h"
#include "kegraphics.h"
#include "keinput.h"
#include "states.h"
#include "battle/board.h"
#include "screens/screen.h"

namespace {

// The field: a test state registered as GS_Battle whose Init stands both lane arrows at their
// places and whose Update runs the battle's objects.
void FieldLoad() { gQuadMesh = CreateQuadMesh(); }
void FieldInit() {
  BoardPlayer(0).arrow = CreateGameObject(gQuadMesh, BoardTexture("arrow"), -350, 0, 100, 100);
  BoardPlayer(1).arrow = CreateGameObject(gQuadMesh, BoardTexture("arrow2"), 350, 0, -100, 100);
}
void FieldUpdate() { ObjectListOf(GS_Battle)->Update(); }
void FieldDraw() { ObjectListOf(GS_Battle)->Draw(ScreenScale()); }
void FieldFree() {
  ObjectListOf(GS_Battle)->Free();
  ObjectListOf(GS_Battle)->Purge();
  BoardPlayer(0).arrow = BoardPlayer(1).arrow = nullptr;
}
void FieldUnload() {
  GfxMeshFree(gQuadMesh);
  gQuadMesh = nullptr;
}

// Spawned through SpawnTroop with the owner's arrow moved to the lane's y.
Troop* TroopSpawn(TroopKind kind, int lane, bool rightSide) {
  BoardPlayer(rightSide ? 1 : 0).arrow->position.y = kLaneSpacing * lane;
  return SpawnTroop(kind, lane, rightSide);
}
// Spawned, then stood at x and kept there (speed factor 0, as under a stun).
Troop* TroopPlace(TroopKind kind, int lane, bool rightSide, float x) {
  Troop* t = TroopSpawn(kind, lane, rightSide);
  TroopMoveTo(t, x);
  t->speedFactor = 0;
  return t;
}
// Frames until pred holds (checked after each), at most max; -1 when it never held.
template <class Pred>
int TroopRunUntil(Pred pred, int max) {
  for (int i = 1; i <= max && TestStep(1); ++i)
    if (pred()) return i;
  return -1;
}

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

class TroopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestEngineStart(160, 120));  // nothing reads the pixels
    TestRunState(GS_Battle, FieldLoad, FieldInit, FieldUpdate, FieldDraw, FieldFree, FieldUnload);
    ASSERT_TRUE(TestStep(1));
  }
  void TearDown() override {
    TestPadDetachAll();
    GsmSetNextState(GS_Quit);
    while (TestStep(1)) {
    }
    TestEngineStop();
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
  EXPECT_EQ(ObjectListOf(GS_Battle)->objects.back(), a);  // drawn over its marker and bar

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
  // After the first strike, one every 0.9 s: 57 steps of 0.016 s.
  float before = golem->health;
  ASSERT_GT(TroopRunUntil([&] { return golem->health != before; }, 150), 0);
  before = golem->health;
  EXPECT_EQ(TroopRunUntil([&] { return golem->health != before; }, 150), 57);
  EXPECT_FLOAT_EQ(before - golem->health, 45);
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
  int pad = TestPadAttach();
  InputReset();  // poll now rather than in two seconds
  // Each step: a key and a button held for one update, and the markers shown.
  const struct { int key; uint16_t button; int shown; } steps[] = {
      {0, 0, 0}, {'K', 0, 1}, {VK_NUMPAD0 + 7, 0, 2}, {0, PAD_LEFT_SHOULDER, 1},
      {0, PAD_RIGHT_SHOULDER, 0}};
  for (const auto& s : steps) {
    if (s.key) TestKeyDown(s.key);
    TestPadSetButtonBits(pad, s.button, true);
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(shown(), s.shown) << s.key << " " << s.button;
    if (s.key) TestKeyUp(s.key);
    TestPadSetButtonBits(pad, s.button, false);
  }
}

TEST_F(TroopTest, KnightStrikesAFullTrollTo95WithABarOf24_78AndAHalfSecondFlashThenKills) {
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
  EXPECT_EQ(knight->target, nullptr);
}

TEST_F(TroopTest, HiddenRogueAmbushesOnceFor100ThenWaitsUntilRevealed) {
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

TEST_F(TroopTest, SplashHitsTheOldestEnemyJustBelowTheTargetsXWithinTheBox) {
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

TEST_F(TroopTest, IceMageSlowsTargetAndVictimWhoKeep0_7AfterTheSlow) {
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

TEST_F(TroopTest, ImpStealsTenBelow70AndDryadHealsTheFirstTenAlliesUpToTheCap) {
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
