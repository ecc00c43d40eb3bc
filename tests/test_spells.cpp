// Spells in a running battle, cast through the players' keys: Quake's blow and tremor, Poison,
// Boost, Stun, Wind's hold, Execute's choice, Freeze with its rumble, and the two-step Meteor:
// the sweep between its limits, whom it strikes, the refund on a lane change, the launch by a
// press that casts another spell, and an aim that a new round ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "hpbattle.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "battle/board.h"

namespace {

const int kEffectUpdates = 157;  // 2.5 s in steps of 0.016

class SpellTest : public ::testing::Test {
 protected:
  void Start(HeroId p1, HeroId p2, SpellId s11 = Spell_Stun, SpellId s21 = Spell_Stun) {
    ASSERT_TRUE(BattleTestStart(p1, p2, Spell_Wind, s11, Spell_Wind, s21));
    started = true;
  }
  // Pads 0 and 1, found at once rather than at the two-second poll; pad 1's handle.
  int AttachPads() {
    TestPadAttach();
    int second = TestPadAttach();
    InputReset();
    return second;
  }
  void TearDown() override {
    TestPadDetachAll();
    if (started) BattleTestStop();
  }
  bool started = false;
};

TEST_F(SpellTest, QuakeKillsAThirtyHealthWalkerSparesFlyersAndShakesTheVictimsPad) {
  Start(Hero_Druid, Hero_Mage);
  AttachPads();
  Troop* walker = BattleTestTroop(KnightTroop, 0, true, 0);
  walker->health = 30;
  Troop* dragon = BattleTestTroop(Dragon, 0, true, 60);
  Troop* imp = BattleTestTroop(Imp, 0, true, 120);
  Troop* troll = BattleTestTroop(Troll, 0, true, 180);
  Troop* otherLane = BattleTestTroop(Golem, 1, true, 0);

  SpellsCast(0, 0);
  EXPECT_FALSE(walker->alive);
  EXPECT_FALSE(walker->healthBar->alive);
  EXPECT_FLOAT_EQ(troll->health, 85);
  EXPECT_NEAR(troll->healthBar->scale.x, 30 * 85.0f / 115, 1e-3);
  EXPECT_FLOAT_EQ(dragon->health, 185);
  EXPECT_FLOAT_EQ(imp->health, 70);
  EXPECT_FLOAT_EQ(otherLane->health, 200);
  EXPECT_EQ(SpellsPictures("QuakeAnim").size(), 2u);  // one blow per walker struck
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.25f);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(0), 0.0f);

  // The tremor: its first update was the cast's; 156 more end it.
  TestStep(kEffectUpdates - 2);
  EXPECT_EQ(troll->color, 0xFFFF7F00u);
  EXPECT_FALSE(imp->tinted);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.25f);
  TestStep(1);
  EXPECT_FALSE(troll->tinted);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.0f);
  EXPECT_FLOAT_EQ(troll->health, 85);
}

TEST_F(SpellTest, PoisonTakesAbout31Point4Over157UpdatesFromWalkersAndFlyersAlike) {
  Start(Hero_Orc, Hero_Mage);
  Troop* dragon = BattleTestTroop(Dragon, 0, true, 100);
  Troop* golem = BattleTestTroop(Golem, 0, true, 0);
  Troop* otherLane = BattleTestTroop(Golem, -1, true, 0);
  SpellsCast(0, 0);
  TestStep(kEffectUpdates - 1);
  EXPECT_NEAR(185 - dragon->health, 31.4f, 0.01f);
  EXPECT_NEAR(200 - golem->health, 31.4f, 0.01f);
  EXPECT_NEAR(dragon->healthBar->scale.x, 30 * dragon->health / 185, 0.01f);
  EXPECT_FLOAT_EQ(otherLane->health, 200);
  float after = golem->health;
  TestStep(5);
  EXPECT_FLOAT_EQ(golem->health, after);
  EXPECT_FALSE(golem->tinted);
}

TEST_F(SpellTest, BoostSpeedsOwnTroopsOfTheLaneAndItsEndingResetsThem) {
  Start(Hero_Knight, Hero_Orc);
  Troop* boosted = BattleTestTroop(KnightTroop, 0, false, -240);
  Troop* otherLane = BattleTestTroop(KnightTroop, 1, false, -240);
  Troop* enemy = BattleTestTroop(Troll, 0, true, 200);
  SpellsCast(0, 0);
  EXPECT_FLOAT_EQ(boosted->speedFactor, 5.0f);
  EXPECT_FLOAT_EQ(otherLane->speedFactor, 0);
  EXPECT_FLOAT_EQ(enemy->speedFactor, 0);
  TestStep(kEffectUpdates - 1);
  EXPECT_FLOAT_EQ(boosted->speedFactor, 1.0f);
  EXPECT_FLOAT_EQ(otherLane->speedFactor, 0);
}

TEST_F(SpellTest, StunStopsTheEnemiesOfTheLaneAndTheyWalkOnAtFactorOneAfterwards) {
  Start(Hero_Knight, Hero_Orc);
  Troop* knight = BattleTestTroop(KnightTroop, 0, false, -200, false);
  Troop* slowed = BattleTestTroop(Archer, 0, false, -150, false);
  slowed->speedFactor = 0.7f;  // as an Ice Mage leaves it
  Troop* otherLane = BattleTestTroop(KnightTroop, 2, false, -200, false);
  SpellsCast(1, 2);  // player 2 casts from the right
  EXPECT_FLOAT_EQ(knight->speedFactor, 0);
  EXPECT_FLOAT_EQ(otherLane->speedFactor, 1.0f);
  EXPECT_FALSE(knight->canAttack);
  float x = knight->position.x;
  TestStep(kEffectUpdates - 2);
  EXPECT_FLOAT_EQ(knight->position.x, x);
  TestStep(1);
  EXPECT_FALSE(knight->tinted);
  EXPECT_TRUE(knight->canAttack);
  float sx = slowed->position.x;
  TestStep(10);
  EXPECT_NEAR(knight->position.x - x, 10 * 0.325f, 1e-3);
  EXPECT_NEAR(slowed->position.x - sx, 10 * 0.325f, 1e-3);
}

TEST_F(SpellTest, WindNeverPushesAnEnemyFartherBackThan100UnitsBeforeItsOwnersArrow) {
  Start(Hero_Knight, Hero_Orc);
  // Player 1 blows in lane 0 at a golem held in a fight; player 2 in lane 1 at an archer.
  Troop* golem = BattleTestTroop(Golem, 0, true, 200, false);
  BattleTestTroop(KnightTroop, 0, false, 196);
  Troop* archer = BattleTestTroop(Archer, 1, false, -220, false);
  BattleTestPress(VK_UP);
  ASSERT_TRUE(golem->engaged);
  BoardPlayer(0).spellCursor = BoardPlayer(1).spellCursor = 2;
  TestKeyDown(VK_NUMPAD0 + 4);
  SpellsPressCast(0);
  TestKeyUp(VK_NUMPAD0 + 4);
  EXPECT_FLOAT_EQ(golem->speedFactor, -3.0f);
  EXPECT_FLOAT_EQ(archer->speedFactor, -3.0f);
  EXPECT_FALSE(golem->engaged);

  bool golemPinned = false, archerPinned = false;
  for (int i = 2; i <= kEffectUpdates; ++i) {
    TestStep(1);
    ASSERT_LE(golem->position.x, 250) << "update " << i;
    ASSERT_LE(golem->rangeMarker->position.x, 250 - golem->rangeMarker->scale.x / 2);
    ASSERT_GE(archer->position.x, -250) << "update " << i;
    golemPinned |= golem->position.x == 250;
    archerPinned |= archer->position.x == -250;
  }
  EXPECT_TRUE(golemPinned && archerPinned);
  EXPECT_FLOAT_EQ(golem->speedFactor, 1.0f);
}

TEST_F(SpellTest, ExecuteRemovesTheNearestLivingEnemyAndTheOlderOneOfATie) {
  Start(Hero_Knight, Hero_Orc, Spell_Execute, Spell_Execute);
  Troop* corpse = BattleTestTroop(Goblin, 0, true, -100);
  TroopKill(corpse);
  Troop* older = BattleTestTroop(Troll, 0, true, 0);
  Troop* newer = BattleTestTroop(Troll, 0, true, 0);
  Troop* elsewhere = BattleTestTroop(Imp, 1, true, -200);
  SpellsCast(0, 2);
  EXPECT_FALSE(older->alive);
  EXPECT_TRUE(newer->alive);
  EXPECT_TRUE(elsewhere->alive);
  TestStep(1);  // the key comes up
  BoardPlayer(0).spellSlots[2].ready = true;
  SpellsCast(0, 2);
  EXPECT_FALSE(newer->alive);

  // Player 2 looks from the right: the largest x is the nearest.
  Troop* back = BattleTestTroop(KnightTroop, 0, false, -100);
  Troop* front = BattleTestTroop(KnightTroop, 0, false, 50);
  TestStep(1);
  SpellsCast(1, 2);
  EXPECT_FALSE(front->alive);
  EXPECT_TRUE(back->alive);
}

TEST_F(SpellTest, AFrozenPlayersPadRumblesAtFullFor2Point5SecondsThenStops) {
  Start(Hero_Mage, Hero_Druid);
  int pad1 = AttachPads();
  SpellsCast(0, 0);
  for (int i = 1; i < kEffectUpdates; ++i) {
    ASSERT_TRUE(BoardPlayer(1).frozen) << "update " << i;
    ASSERT_FLOAT_EQ(InputPadGetLeftMotor(1), 1.0f) << "update " << i;
    ASSERT_FLOAT_EQ(InputPadGetRightMotor(1), 1.0f);
    ASSERT_FLOAT_EQ(InputPadGetLeftMotor(0), 0.0f);
    TestStep(1);
  }
  EXPECT_FALSE(BoardPlayer(1).frozen);
  EXPECT_EQ(TestPadGetRumble(pad1).low, 0xFFFF);
  TestStep(2);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.0f);
  EXPECT_EQ(TestPadGetRumble(pad1).low, 0);
}

const int kImpactUpdates = 63;  // 1.0 s in steps of 0.016, the launch's update included

class MeteorTest : public SpellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Mage, Spell_Meteor, Spell_Stun, Spell_Meteor,
                                Spell_Wind));
    started = true;
  }
  // Starts an aim with the cursor on the Meteor; the new bar.
  GameObject* Aim(int player) {
    BoardPlayer(player).spellSlots[1].ready = true;
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

TEST_F(MeteorTest, ALaneChangeRefundsTheAimOnePressAlsoLaunchesItAndANewRoundEndsIt) {
  SpellSlot& meteor = BoardPlayer(0).spellSlots[1];
  GameObject* bar = Aim(0);
  EXPECT_FALSE(meteor.ready);
  TestStep(20);
  BattleTestPress('W');
  EXPECT_FALSE(bar->alive);
  EXPECT_TRUE(SpellsMarkers().empty());
  EXPECT_TRUE(meteor.ready);
  EXPECT_FLOAT_EQ(meteor.cooldownTimer, 0);

  // Aimed again in the new lane: one press on the ready Stun casts it and launches the meteor.
  Troop* enemy = BattleTestTroop(Troll, 1, true, 100, false);
  bar = Aim(0);
  TestStep(20);
  BattleTestPress('D');
  SpellsPressCast(0);
  EXPECT_FALSE(BoardPlayer(0).spellSlots[2].ready);
  EXPECT_FLOAT_EQ(enemy->speedFactor, 0);
  EXPECT_EQ(SpellsPictures("MeteoriteSprite").size(), 1u);
  EXPECT_FALSE(bar->alive);
  BattleTestPress('S');  // no aim: a lane change gives nothing back
  EXPECT_FALSE(meteor.ready);

  // The bar is freed with the round's objects; under the sanitizer any later touch fails.
  Aim(0);
  TestStep(10);
  GsmSetNextState(GS_Restart);
  TestStep(5);
  EXPECT_TRUE(SpellsMarkers().empty());
  size_t before = SpellsPictures("MeteoriteSprite").size();
  SpellsPressCast(0);  // the cursor still on the Meteor: a fresh aim, no launch
  TestStep(10);
  EXPECT_EQ(SpellsPictures("MeteoriteSprite").size(), before);
  EXPECT_EQ(SpellsMarkers().size(), 1u);
}

}  // namespace
