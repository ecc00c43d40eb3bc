// Spells in a running battle, cast through the players' keys: Quake's blow and tremor, Poison,
// Boost, Stun, Wind's hold, Execute's choice, Freeze with its rumble, and an effect that goes on
// into the next round.
#include <gtest/gtest.h>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "hpbattle.h"
#include "hppad.h"
#include "hpspells.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"

namespace {

// These tests read no pixels, and drawing is what takes the time: a small window.
const int kW = 160, kH = 120;
const int kEffectUpdates = 157;  // 2.5 s in steps of 0.016

class SpellTest : public ::testing::Test {
 protected:
  void Start(HeroId p1, HeroId p2, SpellId s10, SpellId s11, SpellId s20, SpellId s21) {
    ASSERT_TRUE(BattleTestStart(p1, p2, s10, s11, s20, s21, kW, kH));
    started = true;
  }
  // Pads 0 and 1, found at once rather than at the two-second poll; returns pad 1's handle.
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

// ---- Quake and Poison --------------------------------------------------------------------------

TEST_F(SpellTest, QuakeKillsAThirtyHealthWalkerSparesFlyersAndShakesTheVictimsPad) {
  Start(Hero_Druid, Hero_Mage, Spell_Wind, Spell_Stun, Spell_Wind, Spell_Stun);
  AttachPads();
  ASSERT_TRUE(InputPadIsConnected(1));

  Troop* walker = SpellsTroop(KnightTroop, 0, true, 0);
  walker->health = 30;
  Troop* dragon = SpellsTroop(Dragon, 0, true, 60);
  Troop* imp = SpellsTroop(Imp, 0, true, 120);
  Troop* troll = SpellsTroop(Troll, 0, true, 180);
  Troop* corpse = SpellsTroop(Golem, 0, true, 90);
  TroopKill(corpse);
  Troop* otherLane = SpellsTroop(Golem, 1, true, 0);
  Troop* own = SpellsTroop(Golem, 0, false, -200);

  SpellsCast(0, 0);
  EXPECT_FALSE(gPlayers[0].spellSlots[0].ready);
  EXPECT_FALSE(walker->alive);
  EXPECT_FALSE(walker->healthBar->alive);
  EXPECT_FALSE(walker->rangeMarker->alive);
  EXPECT_FLOAT_EQ(troll->health, 85);
  EXPECT_NEAR(troll->healthBar->scale.x, 30 * 85.0f / 115, 1e-3);
  EXPECT_TRUE(troll->flashing);
  EXPECT_EQ(troll->color, 0xFFFF7F00u);
  EXPECT_FLOAT_EQ(dragon->health, 185);
  EXPECT_FLOAT_EQ(imp->health, 70);
  EXPECT_FLOAT_EQ(corpse->health, 200);
  EXPECT_FLOAT_EQ(otherLane->health, 200);
  EXPECT_FLOAT_EQ(own->health, 200);
  // One blow picture per living walker struck, none where a corpse lies.
  EXPECT_EQ(SpellsPictureCount("QuakeAnim"), 2);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.25f);
  EXPECT_FLOAT_EQ(InputPadGetRightMotor(1), 0.25f);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(0), 0.0f);

  // The tremor: its first update was the cast's; 156 more end it.
  for (int i = 2; i <= kEffectUpdates - 1; ++i) {
    BattleTestRun(1);
    ASSERT_TRUE(troll->tinted) << "update " << i;
    ASSERT_EQ(troll->color, 0xFFFF7F00u) << "update " << i;
    ASSERT_FALSE(dragon->tinted);
    ASSERT_FALSE(imp->tinted);
    ASSERT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.25f);
  }
  BattleTestRun(1);
  EXPECT_FALSE(troll->tinted);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.0f);
  EXPECT_FLOAT_EQ(InputPadGetRightMotor(1), 0.0f);
  EXPECT_FLOAT_EQ(troll->health, 85);
}

TEST_F(SpellTest, PoisonTakesAbout31Point4Over157UpdatesFromWalkersAndFlyersAlike) {
  Start(Hero_Orc, Hero_Mage, Spell_Wind, Spell_Stun, Spell_Wind, Spell_Stun);
  Troop* dragon = SpellsTroop(Dragon, 0, true, 100);
  Troop* golem = SpellsTroop(Golem, 0, true, 0);
  Troop* corpse = SpellsTroop(Troll, 0, true, 50);
  TroopKill(corpse);
  Troop* otherLane = SpellsTroop(Golem, -1, true, 0);
  int before = SpellsPictureCount("PoisonAnim");

  SpellsCast(0, 0);
  EXPECT_NEAR(dragon->health, 185 - 0.2f, 1e-4);
  BattleTestRun(kEffectUpdates - 1);
  EXPECT_NEAR(185 - dragon->health, 31.4f, 0.01f);
  EXPECT_NEAR(200 - golem->health, 31.4f, 0.01f);
  // The bar shrinks by the same share as the health, step after step.
  EXPECT_NEAR(dragon->healthBar->scale.x, 30 * dragon->health / 185, 0.01f);
  EXPECT_FLOAT_EQ(corpse->health, 115);
  EXPECT_FLOAT_EQ(otherLane->health, 200);
  // A bubbling picture per living victim and update, none over the corpse.
  EXPECT_EQ(SpellsPictureCount("PoisonAnim") - before, 2 * kEffectUpdates);

  float after = golem->health;
  BattleTestRun(5);
  EXPECT_FLOAT_EQ(golem->health, after);
  EXPECT_FALSE(golem->tinted);
}

// ---- Boost, Stun and Wind ----------------------------------------------------------------------

TEST_F(SpellTest, BoostSpeedsOwnTroopsOfTheLaneAndItsEndingResetsEveryOneOfThem) {
  Start(Hero_Knight, Hero_Orc, Spell_Wind, Spell_Stun, Spell_Wind, Spell_Stun);
  Troop* boosted = SpellsTroop(KnightTroop, 0, false, -240);
  Troop* fallen = SpellsTroop(Archer, 0, false, -200);
  TroopKill(fallen);
  Troop* otherLane = SpellsTroop(KnightTroop, 1, false, -240);
  Troop* enemy = SpellsTroop(Troll, 0, true, 200);

  SpellsCast(0, 0);
  EXPECT_FLOAT_EQ(boosted->speedFactor, 5.0f);
  EXPECT_FLOAT_EQ(fallen->speedFactor, 0);
  EXPECT_FLOAT_EQ(otherLane->speedFactor, 0);
  EXPECT_FLOAT_EQ(enemy->speedFactor, 0);
  EXPECT_TRUE(boosted->tinted);
  EXPECT_EQ(boosted->color, 0xFF00FF00u);
  EXPECT_FALSE(enemy->tinted);
  Animation* arrow = SpellsNewestPicture("BoostArrow");
  ASSERT_NE(arrow, nullptr);
  EXPECT_FLOAT_EQ(arrow->finalPosition.x, 350);
  EXPECT_FLOAT_EQ(arrow->finalPosition.y, 0);
  EXPECT_NEAR(arrow->rotation, -1.5708f, 1e-4);

  float x = boosted->position.x;
  BattleTestRun(10);
  EXPECT_NEAR(boosted->position.x - x, 10 * 5 * 0.325f, 1e-3);

  // A troop summoned into the lane later shows the tint but keeps its own speed.
  BattleTestPress('1');
  Troop* late = AsTroop(BattleObjects().objects.back());
  ASSERT_NE(late, nullptr);
  EXPECT_TRUE(late->tinted);
  EXPECT_FLOAT_EQ(late->speedFactor, 1.0f);

  // The cast's update, 10 and the summon's 2 went before: the 156th still boosts.
  BattleTestRun(kEffectUpdates - 14);
  EXPECT_TRUE(boosted->tinted);
  BattleTestRun(1);
  EXPECT_FALSE(boosted->tinted);
  EXPECT_FLOAT_EQ(boosted->speedFactor, 1.0f);
  EXPECT_FLOAT_EQ(fallen->speedFactor, 1.0f);  // the ending reaches the dead too
  EXPECT_FLOAT_EQ(otherLane->speedFactor, 0);
  EXPECT_FLOAT_EQ(enemy->speedFactor, 0);
}

TEST_F(SpellTest, StunStopsTheEnemiesOfTheLaneAndTheyWalkOnAtFactorOneAfterwards) {
  Start(Hero_Knight, Hero_Orc, Spell_Wind, Spell_Stun, Spell_Stun, Spell_Wind);
  Troop* knight = SpellsTroop(KnightTroop, 0, false, -200, false);
  Troop* slowed = SpellsTroop(Archer, 0, false, -150, false);
  slowed->speedFactor = 0.7f;  // as an Ice Mage leaves it
  Troop* otherLane = SpellsTroop(KnightTroop, 2, false, -200, false);
  BattleTestRun(30);
  knight->canAttack = true;

  SpellsCast(1, 1);  // player 2 casts from the right
  EXPECT_FLOAT_EQ(knight->speedFactor, 0);
  EXPECT_FLOAT_EQ(slowed->speedFactor, 0);
  EXPECT_FLOAT_EQ(otherLane->speedFactor, 1.0f);
  EXPECT_FALSE(knight->canAttack);
  EXPECT_TRUE(knight->tinted);
  EXPECT_EQ(knight->color, 0xFFFFFF00u);
  Animation* guy = SpellsNewestPicture("StunnedGuy");
  ASSERT_NE(guy, nullptr);
  EXPECT_FLOAT_EQ(guy->finalPosition.x, -350);

  float x = knight->position.x;
  for (int i = 2; i < kEffectUpdates; ++i) {
    BattleTestRun(1);
    ASSERT_FLOAT_EQ(knight->position.x, x);
    ASSERT_FALSE(knight->canAttack);
  }
  BattleTestRun(1);
  EXPECT_FALSE(knight->tinted);
  EXPECT_TRUE(knight->canAttack);
  EXPECT_FLOAT_EQ(knight->speedFactor, 1.0f);
  EXPECT_FLOAT_EQ(slowed->speedFactor, 1.0f);
  float sx = slowed->position.x;
  BattleTestRun(10);
  EXPECT_NEAR(knight->position.x - x, 10 * 0.325f, 1e-3);
  EXPECT_NEAR(slowed->position.x - sx, 10 * 0.325f, 1e-3);
}

TEST_F(SpellTest, WindNeverPushesAnEnemyFartherBackThan100UnitsBeforeItsOwnersArrow) {
  Start(Hero_Knight, Hero_Orc, Spell_Wind, Spell_Stun, Spell_Wind, Spell_Stun);
  // Player 1 blows in lane 0 at player 2's troops; player 2 in lane 1 at player 1's.
  Troop* golem = SpellsTroop(Golem, 0, true, 200, false);
  SpellsTroop(KnightTroop, 0, false, 196);  // holds the golem in a fight
  Troop* archer = SpellsTroop(Archer, 1, false, -220, false);
  BattleTestPress(VK_UP);
  ASSERT_EQ(gPlayers[1].lane, 1);
  ASSERT_TRUE(golem->engaged);

  gPlayers[0].spellCursor = gPlayers[1].spellCursor = 2;
  TestKeyDown('Z');
  TestKeyDown(VK_NUMPAD0 + 4);
  BattleTestRun(1);
  TestKeyUp('Z');
  TestKeyUp(VK_NUMPAD0 + 4);
  EXPECT_FLOAT_EQ(golem->speedFactor, -3.0f);
  EXPECT_FLOAT_EQ(archer->speedFactor, -3.0f);
  EXPECT_FALSE(golem->engaged);
  EXPECT_EQ(golem->target, nullptr);
  EXPECT_EQ(golem->color, 0xFF964B00u);
  Animation* tornado = SpellsNewestPicture("Tornado");
  ASSERT_NE(tornado, nullptr);
  EXPECT_FLOAT_EQ(tornado->scale.x, 150);  // player 2's, the newer
  EXPECT_FLOAT_EQ(tornado->finalPosition.x, -350);
  EXPECT_FLOAT_EQ(tornado->finalPosition.y, 70);

  // Torn out of its fight every update, the golem walks backward at three times its speed.
  float x = golem->position.x;
  BattleTestRun(10);
  EXPECT_NEAR(golem->position.x - x, 10 * 3 * 0.25f, 1e-3);

  bool golemPinned = false, archerPinned = false;
  for (int i = 12; i <= kEffectUpdates; ++i) {
    BattleTestRun(1);
    ASSERT_LE(golem->position.x, 250) << "update " << i;
    ASSERT_LE(golem->healthBar->position.x, 250);
    ASSERT_LE(golem->rangeMarker->position.x, 250 - golem->rangeMarker->scale.x / 2);
    ASSERT_GE(archer->position.x, -250) << "update " << i;
    ASSERT_GE(archer->healthBar->position.x, -250);
    ASSERT_GE(archer->rangeMarker->position.x, -250 + archer->rangeMarker->scale.x / 2);
    golemPinned |= golem->position.x == 250;
    archerPinned |= archer->position.x == -250;
  }
  EXPECT_TRUE(golemPinned);
  EXPECT_TRUE(archerPinned);
  EXPECT_FLOAT_EQ(golem->rangeMarker->position.x, 247.5f);
  EXPECT_FLOAT_EQ(golem->speedFactor, 1.0f);
  EXPECT_FLOAT_EQ(archer->speedFactor, 1.0f);
  EXPECT_FALSE(golem->tinted);
  BattleTestRun(4);
  EXPECT_NEAR(golem->position.x, 250 - 4 * 0.25f, 1e-3);
}

// ---- Execute -----------------------------------------------------------------------------------

TEST_F(SpellTest, ExecuteRemovesTheNearestLivingEnemyAndTheOlderOneOfATie) {
  Start(Hero_Knight, Hero_Orc, Spell_Execute, Spell_Stun, Spell_Execute, Spell_Stun);
  Troop* corpse = SpellsTroop(Goblin, 0, true, -100);
  TroopKill(corpse);
  Troop* older = SpellsTroop(Troll, 0, true, 0);
  Troop* newer = SpellsTroop(Troll, 0, true, 0);
  Troop* far = SpellsTroop(Demon, 0, true, 100);
  Troop* nearerElsewhere = SpellsTroop(Imp, 1, true, -200);

  SpellsCast(0, 1);
  EXPECT_FALSE(older->alive);
  EXPECT_FALSE(older->healthBar->alive);
  EXPECT_FALSE(older->rangeMarker->alive);
  EXPECT_TRUE(newer->alive);
  EXPECT_TRUE(far->alive);
  EXPECT_TRUE(nearerElsewhere->alive);
  Animation* blade = SpellsNewestPicture("ExecuteAnim");
  ASSERT_NE(blade, nullptr);
  EXPECT_FLOAT_EQ(blade->startPosition.x, 0);
  EXPECT_FLOAT_EQ(blade->finalScale.x, 25);

  BattleTestRun(1);  // the key comes up
  gPlayers[0].spellSlots[1].ready = true;
  SpellsCast(0, 1);
  EXPECT_FALSE(newer->alive);
  BattleTestRun(1);  // the key comes up
  gPlayers[0].spellSlots[1].ready = true;
  SpellsCast(0, 1);
  EXPECT_FALSE(far->alive);

  // Only the dead are left: the spell is spent for nothing.
  BattleTestRun(1);
  gPlayers[0].spellSlots[1].ready = true;
  int pictures = SpellsPictureCount("ExecuteAnim");
  SpellsCast(0, 1);
  EXPECT_FALSE(gPlayers[0].spellSlots[1].ready);
  EXPECT_TRUE(gPlayers[0].spellSlots[1].icon->tinted);
  EXPECT_EQ(SpellsPictureCount("ExecuteAnim"), pictures);
  EXPECT_TRUE(nearerElsewhere->alive);

  // Player 2 looks from the right: the largest x is the nearest.
  Troop* back = SpellsTroop(KnightTroop, 0, false, -100);
  Troop* front = SpellsTroop(KnightTroop, 0, false, 50);
  BattleTestRun(1);
  SpellsCast(1, 1);
  EXPECT_FALSE(front->alive);
  EXPECT_TRUE(back->alive);
}

// ---- Freeze ------------------------------------------------------------------------------------

TEST_F(SpellTest, AFrozenPlayersPadRumblesAtFullFor2Point5SecondsThenStops) {
  Start(Hero_Mage, Hero_Druid, Spell_Wind, Spell_Stun, Spell_Wind, Spell_Stun);
  int pad1 = AttachPads();
  ASSERT_TRUE(InputPadIsConnected(1));
  TestPadClearRumble(pad1);

  SpellsCast(0, 0);
  Animation* flake = SpellsNewestPicture("SnowFlake");
  ASSERT_NE(flake, nullptr);
  EXPECT_FLOAT_EQ(flake->startPosition.x, -350);
  EXPECT_FLOAT_EQ(flake->finalPosition.y, -240);
  GameObject* arrow = gPlayers[1].arrow;
  for (int i = 1; i <= kEffectUpdates; ++i) {
    if (i > 1) BattleTestRun(1);
    ASSERT_FLOAT_EQ(InputPadGetLeftMotor(1), 1.0f) << "update " << i;
    ASSERT_FLOAT_EQ(InputPadGetRightMotor(1), 1.0f);
    ASSERT_FLOAT_EQ(InputPadGetLeftMotor(0), 0.0f);
    ASSERT_EQ(arrow->color, 0xFFF0F8FFu);
    if (i < kEffectUpdates) {
      ASSERT_TRUE(gPlayers[1].frozen);
      ASSERT_TRUE(arrow->tinted);
    }
  }
  EXPECT_FALSE(gPlayers[1].frozen);
  EXPECT_FALSE(arrow->tinted);
  TestPadRumble during = TestPadGetRumble(pad1);
  EXPECT_EQ(during.low, 0xFFFF);
  EXPECT_EQ(during.high, 0xFFFF);

  BattleTestRun(1);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.0f);
  BattleTestRun(1);
  TestPadRumble after = TestPadGetRumble(pad1);
  EXPECT_EQ(after.low, 0);
  EXPECT_EQ(after.high, 0);

  // The tremor comes after the freeze step: the victim's pad keeps its quarter strength.
  SpellsCast(1, 0);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(0), 0.25f);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.0f);
}

// ---- rounds ------------------------------------------------------------------------------------

TEST_F(SpellTest, AnEffectRunningAtTheRoundsEndGoesOnInTheNextRound) {
  Start(Hero_Knight, Hero_Orc, Spell_Wind, Spell_Stun, Spell_Wind, Spell_Stun);
  SpellsCast(1, 0);  // poison on lane 0, player 1's troops
  BattleTestRun(99);
  GsmSetNextState(GS_Restart);
  BattleTestRun(1);
  ASSERT_TRUE(gPlayers[1].spellSlots[0].ready);  // a fresh round
  Troop* newcomer = SpellsTroop(Golem, 0, false, -200);
  Troop* otherLane = SpellsTroop(Golem, 1, false, -200);
  BattleTestRun(kEffectUpdates);
  // What was left of 157 updates after 100 or so in the old round.
  EXPECT_GT(200 - newcomer->health, 0.2f * 54);
  EXPECT_LT(200 - newcomer->health, 0.2f * 58);
  EXPECT_FALSE(newcomer->tinted);
  EXPECT_FLOAT_EQ(otherLane->health, 200);
}

}  // namespace
