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
#include "hptest.h"
#include "keos.h"

namespace {

const int kImpactUpdates = 63;  // 1.0 s in steps of 0.016, the launch's update included

class MeteorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Mage, Spell_Meteor, Spell_Stun, Spell_Meteor,
                                Spell_Wind));
  }
  void TearDown() override { BattleTestStop(); }
  // Starts an aim with the cursor on the Meteor; the new bar.
  GameObject* Aim(int player) {
    gPlayers[player].spellSlots[1].ready = true;
    SpellsCast(player, 1);
    TestStep(1);  // the key comes up
    std::vector<GameObject*> bars = SpellsMarkers();
    return bars.empty() ? nullptr : bars.back();
  }
};

// The bar's edge away from its owner: where the meteor lands.
float FarEdge(const GameObject* bar, int player) {
  return bar->position.x + (player == 0 ? 1 : -1) * bar->scale.x / 2;
}

TEST_F(MeteorTest, TheBarSweepsBetweenTheLimitsAndTheMeteorLandsWhereItsEdgeStood) {
  GameObject* bars[2] = {Aim(0), Aim(1)};
  ASSERT_TRUE(bars[0] && bars[1] && bars[0] != bars[1]);
  float lowest[2] = {1e9f, 1e9f}, highest[2] = {-1e9f, -1e9f};
  for (int i = 0; i < 340; ++i) {
    TestStep(1);
    for (int p = 0; p < 2; ++p) {
      float e = FarEdge(bars[p], p);
      ASSERT_GE(e, -250) << "player " << p + 1 << ", update " << i;
      ASSERT_LE(e, 250) << "player " << p + 1 << ", update " << i;
      lowest[p] = std::min(lowest[p], e);
      highest[p] = std::max(highest[p], e);
    }
  }
  for (int p = 0; p < 2; ++p) {  // all the way and back
    EXPECT_FLOAT_EQ(lowest[p], -250);
    EXPECT_FLOAT_EQ(highest[p], 250);
  }
  // Launched at the far turn, the meteor lands on the limit.
  for (int i = 0; i < 200 && FarEdge(bars[0], 0) != 250; ++i) TestStep(1);
  SpellsPressCast(0);
  ASSERT_EQ(SpellsPictures("MeteoriteSprite").size(), 1u);
  Animation* m = SpellsPictures("MeteoriteSprite").back();
  EXPECT_FLOAT_EQ(m->finalPosition.x, 250);
  EXPECT_FALSE(bars[0]->alive);
}

TEST_F(MeteorTest, OnlyEnemiesOfTheLaneWithin52Point5By35OfTheImpactAreStruck) {
  GameObject* bar = Aim(0);
  TestStep(40);
  const float e = FarEdge(bar, 0);
  ASSERT_GT(e, -150);
  ASSERT_LT(e, 150);
  const struct { float dx, y; int lane; bool struck; } places[] = {
      {52.5f, 0, 0, true}, {-52.5f, 0, 0, true}, {53, 0, 0, false},  {0, 35, 0, true},
      {0, -35, 0, true},   {0, 35.5f, 0, false}, {0, -36, 0, false}, {10, 0, 1, false}};
  std::vector<Troop*> imps;
  for (const auto& p : places) imps.push_back(BattleTestTroop(Imp, p.lane, true, e + p.dx));
  Troop* own = BattleTestTroop(Golem, 0, false, e - 20);
  // Flyers bob: each update starts them again from their height.
  auto hold = [&] {
    for (size_t i = 0; i < imps.size(); ++i) {
      imps[i]->position.y = 70.0f * places[i].lane + places[i].y;
      imps[i]->bobPhase = 0;
    }
  };
  hold();
  SpellsPressCast(0);
  for (int i = 2; i <= kImpactUpdates; ++i) {
    EXPECT_FLOAT_EQ(imps[0]->health, 70) << "struck early, update " << i;
    hold();
    TestStep(1);
  }
  for (size_t i = 0; i < imps.size(); ++i)
    EXPECT_FLOAT_EQ(imps[i]->health, places[i].struck ? 20 : 70) << "imp " << i;
  EXPECT_FLOAT_EQ(own->health, 200);
}

TEST_F(MeteorTest, ALaneChangeDuringTheAimRemovesTheBarAndGivesTheSpellBack) {
  SpellSlot& meteor = gPlayers[0].spellSlots[1];
  GameObject* bar = Aim(0);
  EXPECT_FALSE(meteor.ready);
  TestStep(20);
  BattleTestPress('W');
  EXPECT_FALSE(bar->alive);
  EXPECT_EQ(SpellsMarkers().size(), 0u);
  EXPECT_TRUE(meteor.ready);
  EXPECT_FLOAT_EQ(meteor.cooldownTimer, 0);
  SpellsCast(0, 1);
  TestStep(1);
  SpellsPressCast(0);  // launched: a lane change now gives nothing back
  BattleTestPress('S');
  EXPECT_FALSE(meteor.ready);
}

TEST_F(MeteorTest, OnePressCastsAnotherReadySpellAndLaunchesTheAimedMeteor) {
  Troop* enemy = BattleTestTroop(Troll, 0, true, 100, false);
  GameObject* bar = Aim(0);
  TestStep(20);
  BattleTestPress('D');
  ASSERT_EQ(gPlayers[0].spellCursor, 3);
  size_t before = SpellsPictures("MeteoriteSprite").size();
  SpellsPressCast(0);
  EXPECT_FALSE(gPlayers[0].spellSlots[2].ready);  // Stun was cast ...
  EXPECT_FLOAT_EQ(enemy->speedFactor, 0);
  EXPECT_EQ(SpellsPictures("MeteoriteSprite").size(), before + 1);  // ... and the meteor launched
  EXPECT_FALSE(bar->alive);
}

// The bar is freed with the round's objects; under the address sanitizer any later touch fails.
TEST_F(MeteorTest, ANewRoundEndsTheAimWithoutTouchingTheFreedBar) {
  Aim(0);
  TestStep(10);
  GsmSetNextState(GS_Restart);
  TestStep(5);
  EXPECT_EQ(SpellsMarkers().size(), 0u);
  size_t before = SpellsPictures("MeteoriteSprite").size();
  SpellsPressCast(0);  // the cursor still on the Meteor: a fresh aim, no launch
  TestStep(10);
  EXPECT_EQ(SpellsPictures("MeteoriteSprite").size(), before);
  EXPECT_EQ(SpellsMarkers().size(), 1u);
}

}  // namespace
