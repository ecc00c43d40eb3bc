// A picture of troops of all sixteen kinds fighting in five lanes of a real battle with their
// range markers shown, saved to /tmp/troops-battle.png to be looked at.
#include <gtest/gtest.h>

#include <vector>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "hpbattle.h"
#include "hptest.h"
#include "keos.h"

namespace {

int AnimationsInFlight() {
  int n = 0;
  for (GameObject* o : BattleObjects().objects) n += o->alive && dynamic_cast<Animation*>(o);
  return n;
}

TEST(TroopBattlePicture, AllSixteenKindsFightInFiveLanesWithRangesShown) {
  ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Orc, Spell_Wind, Spell_Stun, Spell_Wind,
                              Spell_Stun, 800, 600));
  // Per lane, two of player 1's kinds and two of player 2's; the second walks behind.
  const TroopKind kinds[5][4] = {{KnightTroop, Rogue, Troll, Imp},
                                 {Archer, Catapult, Goblin, Demon},
                                 {MageTroop, IceMage, Bear, Treant},
                                 {Golem, Dragon, Plant, Dryad},
                                 {KnightTroop, Archer, Troll, Plant}};
  std::vector<Troop*> all;
  for (int lane = -2; lane <= 2; ++lane)
    for (int i = 0; i < 2; ++i) {
      all.push_back(BattleTestTroop(kinds[lane + 2][i], lane, false, -140 - 45.0f * i, false));
      all.push_back(BattleTestTroop(kinds[lane + 2][2 + i], lane, true, 140 + 45.0f * i, false));
    }
  BattleTestRun(420);
  TestKeyDown('K');
  TestKeyDown(VK_NUMPAD0 + 7);
  for (int i = 0; i < 600 && AnimationsInFlight() < 4; ++i) BattleTestRun(1);
  TestCaptureFrames(true);
  BattleTestRun(1);
  EXPECT_TRUE(TestSaveFrame("/tmp/troops-battle.png"));
  int hurt = 0, shown[2] = {0, 0};
  for (Troop* t : all) {
    hurt += t->health < t->maxHealth;
    shown[t->rightSide] += t->alive && t->rangeMarker->visible;
  }
  EXPECT_GE(hurt, 6);
  EXPECT_GT(shown[0], 0);
  EXPECT_GT(shown[1], 0);
  EXPECT_GE(AnimationsInFlight(), 1);
  TestKeyUp('K');
  TestKeyUp(VK_NUMPAD0 + 7);
  BattleTestStop();
}

}  // namespace
