// The two-step Meteor in a running battle: the sweep between its limits, where it lands and
// whom it strikes, the refund on a lane change, the launch by a press that casts another spell,
// and an aim that a new round ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "hpbattle.h"
#include "hpspells.h"
#include "hptest.h"
#include "keos.h"

namespace {

const int kW = 160, kH = 120;
const int kImpactUpdates = 63;  // 1.0 s in steps of 0.016, the launch's update included

class MeteorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Mage, Spell_Meteor, Spell_Stun, Spell_Meteor,
                                Spell_Wind, kW, kH));
  }
  void TearDown() override { BattleTestStop(); }

  // Starts an aim with the cursor on the Meteor; the new bar.
  GameObject* Aim(int player) {
    gPlayers[player].spellSlots[1].ready = true;
    SpellsCast(player, 1);
    BattleTestRun(1);  // the key comes up
    return SpellsNewestMarker();
  }
  int Sprites() { return SpellsPictureCount("MeteoriteSprite"); }
};

float NearEdge(const GameObject* bar, int player) {
  return player == 0 ? bar->position.x - bar->scale.x / 2 : bar->position.x + bar->scale.x / 2;
}
float FarEdge(const GameObject* bar, int player) {
  return player == 0 ? bar->position.x + bar->scale.x / 2 : bar->position.x - bar->scale.x / 2;
}

// ---- the sweep and the landing place -----------------------------------------------------------

TEST_F(MeteorTest, TheBarSweepsBetweenTheLimitsAndTheMeteorLandsWhereItsEdgeStood) {
  GameObject* bars[2] = {Aim(0), Aim(1)};
  ASSERT_NE(bars[0], nullptr);
  ASSERT_NE(bars[1], nullptr);
  ASSERT_NE(bars[0], bars[1]);
  float lowest[2] = {1e9f, 1e9f}, highest[2] = {-1e9f, -1e9f};
  for (int i = 0; i < 340; ++i) {
    BattleTestRun(1);
    for (int p = 0; p < 2; ++p) {
      ASSERT_GE(bars[p]->scale.x, 0) << "player " << p + 1 << ", update " << i;
      ASSERT_FLOAT_EQ(NearEdge(bars[p], p), p == 0 ? -250 : 250);
      float e = FarEdge(bars[p], p);
      ASSERT_GE(e, -250) << "player " << p + 1 << ", update " << i;
      ASSERT_LE(e, 250) << "player " << p + 1 << ", update " << i;
      lowest[p] = std::min(lowest[p], e);
      highest[p] = std::max(highest[p], e);
    }
  }
  // Both bars went all the way and came back.
  for (int p = 0; p < 2; ++p) {
    EXPECT_FLOAT_EQ(lowest[p], -250);
    EXPECT_FLOAT_EQ(highest[p], 250);
  }

  // Launched at the far turn, each meteor lands on its limit, turning toward where it falls.
  auto launchAt = [&](int p, float edge) {
    for (int i = 0; i < 200 && FarEdge(bars[p], p) != edge; ++i) BattleTestRun(1);
    ASSERT_FLOAT_EQ(FarEdge(bars[p], p), edge);
    int before = Sprites();
    SpellsPressCast(p);
    ASSERT_EQ(Sprites(), before + 1);
    Animation* m = SpellsNewestPicture("MeteoriteSprite");
    EXPECT_FLOAT_EQ(m->finalPosition.x, edge);
    EXPECT_FLOAT_EQ(m->finalPosition.y, 0);
    EXPECT_FLOAT_EQ(m->startPosition.x, 0);
    EXPECT_FLOAT_EQ(m->startPosition.y, 300);
    EXPECT_NEAR(m->finalRotation, edge > 0 ? -M_PI : M_PI, 1e-5);
    EXPECT_FALSE(bars[p]->alive);
  };
  launchAt(0, 250);
  launchAt(1, -250);
  EXPECT_EQ(SpellsMarkerCount(), 0);
}

TEST_F(MeteorTest, OnlyEnemiesOfTheLaneWithin52Point5By35OfTheImpactAreStruck) {
  GameObject* bar = Aim(0);
  BattleTestRun(40);
  const float e = FarEdge(bar, 0);
  ASSERT_GT(e, -150);
  ASSERT_LT(e, 150);

  struct Placed {
    Troop* t;
    float y;
    bool struck;
  };
  std::vector<Placed> imps = {
      {SpellsTroop(Imp, 0, true, e + 52.5f), 0, true},
      {SpellsTroop(Imp, 0, true, e - 52.5f), 0, true},
      {SpellsTroop(Imp, 0, true, e + 53), 0, false},
      {SpellsTroop(Imp, 0, true, e), 35, true},
      {SpellsTroop(Imp, 0, true, e), -35, true},
      {SpellsTroop(Imp, 0, true, e), 35.5f, false},
      {SpellsTroop(Imp, 0, true, e), -36, false},
      {SpellsTroop(Imp, 1, true, e + 10), 0, false},  // inside the box, but of another lane
  };
  Troop* walker = SpellsTroop(Golem, 0, true, e + 20);
  Troop* own = SpellsTroop(Golem, 0, false, e - 20);
  // Flyers bob: each update starts them again from their height.
  auto hold = [&] {
    for (Placed& p : imps) {
      p.t->position.y = p.y;
      p.t->bobPhase = 0;
    }
  };

  hold();
  SpellsPressCast(0);
  int struckAt = -1;
  for (int i = 2; i <= kImpactUpdates + 5 && struckAt < 0; ++i) {
    hold();
    BattleTestRun(1);
    if (walker->health < 200) struckAt = i;
  }
  EXPECT_EQ(struckAt, kImpactUpdates);
  EXPECT_FLOAT_EQ(walker->health, 150);
  EXPECT_EQ(walker->color, 0xFFFF0000u);
  EXPECT_TRUE(walker->flashing);
  for (size_t i = 0; i < imps.size(); ++i) {
    EXPECT_FLOAT_EQ(imps[i].t->health, imps[i].struck ? 20 : 70) << "imp " << i;
    if (imps[i].struck) {
      EXPECT_NEAR(imps[i].t->healthBar->scale.x, 30 * 20.0f / 70, 1e-3);
    }
  }
  EXPECT_FLOAT_EQ(own->health, 200);
}

// ---- cancel and launch -------------------------------------------------------------------------

TEST_F(MeteorTest, ALaneChangeDuringTheAimRemovesTheBarAndGivesTheSpellBack) {
  SpellSlot& meteor = gPlayers[0].spellSlots[1];
  GameObject* bar = Aim(0);
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(meteor.ready);
  EXPECT_TRUE(meteor.icon->tinted);
  BattleTestRun(20);
  EXPECT_GT(meteor.cooldownTimer, 0);

  BattleTestPress('W');
  EXPECT_FALSE(bar->alive);
  EXPECT_EQ(SpellsMarkerCount(), 0);
  EXPECT_TRUE(meteor.ready);
  EXPECT_FLOAT_EQ(meteor.cooldownTimer, 0);
  EXPECT_FALSE(meteor.icon->tinted);

  // Castable at once, in the new lane; the launch strikes there.
  bar = Aim(0);
  ASSERT_NE(bar, nullptr);
  EXPECT_FLOAT_EQ(bar->position.y, 70);
  BattleTestRun(30);
  Troop* victim = SpellsTroop(Troll, 1, true, FarEdge(bar, 0));
  SpellsPressCast(0);
  BattleTestRun(kImpactUpdates);
  EXPECT_FLOAT_EQ(victim->health, 65);

  // Without an aim a lane change gives nothing back.
  BattleTestPress('S');
  EXPECT_FALSE(meteor.ready);
}

TEST_F(MeteorTest, OnePressCastsAnotherReadySpellAndLaunchesTheAimedMeteorEvenWhenFrozen) {
  Troop* enemy = SpellsTroop(Troll, 0, true, 100, false);
  GameObject* bar = Aim(0);
  BattleTestRun(20);
  BattleTestPress('D');
  ASSERT_EQ(gPlayers[0].spellCursor, 3);

  int before = Sprites();
  SpellsPressCast(0);
  EXPECT_FALSE(gPlayers[0].spellSlots[2].ready);  // Stun was cast ...
  EXPECT_FLOAT_EQ(enemy->speedFactor, 0);
  EXPECT_EQ(Sprites(), before + 1);  // ... and the meteor launched
  EXPECT_FALSE(bar->alive);
  BattleTestRun(1);

  // A frozen player launches an aimed meteor but casts nothing else.
  bar = Aim(0);
  gPlayers[1].spellCursor = 1;
  SpellsPressCast(1);  // player 2's Freeze
  BattleTestRun(1);
  ASSERT_TRUE(gPlayers[0].frozen);
  gPlayers[0].spellCursor = 1;  // Boost, ready
  before = Sprites();
  SpellsPressCast(0);
  EXPECT_EQ(Sprites(), before + 1);
  EXPECT_FALSE(bar->alive);
  EXPECT_TRUE(gPlayers[0].spellSlots[0].ready);
}

// A cast while an old aim still runs (its cooldown ran out first) starts over with one bar.
TEST_F(MeteorTest, AMeteorReadyAgainDuringALongAimStartsOverWithOneBar) {
  GameObject* old = Aim(0);
  BattleTestRun(938);
  ASSERT_TRUE(gPlayers[0].spellSlots[1].ready);
  ASSERT_TRUE(old->alive);
  int before = Sprites();
  SpellsCast(0, 1);
  EXPECT_EQ(Sprites(), before);
  EXPECT_FALSE(old->alive);
  EXPECT_EQ(SpellsMarkerCount(), 1);
  EXPECT_FLOAT_EQ(SpellsNewestMarker()->scale.x, 6);
}

// ---- rounds ------------------------------------------------------------------------------------

// The bar is freed with the round's objects; under the address sanitizer any later touch fails.
TEST_F(MeteorTest, ANewRoundEndsTheAimWithoutTouchingTheFreedBar) {
  Aim(0);
  BattleTestRun(10);
  GsmSetNextState(GS_Restart);
  BattleTestRun(5);
  EXPECT_EQ(SpellsMarkerCount(), 0);
  int before = Sprites();
  SpellsPressCast(0);  // the cursor still on the Meteor: a fresh aim, no launch
  EXPECT_EQ(Sprites(), before);
  EXPECT_EQ(SpellsMarkerCount(), 1);
  BattleTestRun(10);

  // The same through the end of a round and the results screen.
  TestKeyDown(VK_CONTROL);
  TestKeyDown('R');
  BattleTestRun(1);
  TestKeyUp('R');
  TestKeyUp(VK_CONTROL);
  int n = 0;
  while (GsmGetCurrentState() == GS_Battle && n++ < 600) BattleTestRun(1);
  ASSERT_EQ(GsmGetCurrentState(), GS_RoundOver);
  while (GsmGetCurrentState() != GS_Battle && n++ < 1200) BattleTestRun(1);
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  BattleTestRun(5);
  EXPECT_EQ(SpellsMarkerCount(), 0);
  before = Sprites();
  SpellsPressCast(0);
  EXPECT_EQ(Sprites(), before);
  EXPECT_EQ(SpellsMarkerCount(), 1);
}

TEST_F(MeteorTest, AMeteorInTheAirStrikesTheNextRoundsTroopsInItsLane) {
  GameObject* bar = Aim(0);
  BattleTestRun(30);
  float e = FarEdge(bar, 0);
  SpellsPressCast(0);
  GsmSetNextState(GS_Restart);
  BattleTestRun(1);
  Troop* newcomer = SpellsTroop(Troll, 0, true, e);
  BattleTestRun(kImpactUpdates);
  EXPECT_FLOAT_EQ(newcomer->health, 65);
}

}  // namespace
