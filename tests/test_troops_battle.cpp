// A picture of troops of all sixteen kinds fighting in five lanes with their range markers shown,
// drawn with the battle's own pictures, saved to /tmp/troops-battle.png to be looked at.
#include <gtest/gtest.h>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "hptroops.h"
#include "keos.h"

namespace {

void BoardUnderTheTroops() {
  CreateGameObject(gQuadMesh, BattleTexture("WoodenBG"), 0, 0, 800, 610);
  CreateGameObject(gQuadMesh, BattleTexture("lanes"), 0, 0, 600, 350);
}

int AnimationsInFlight() {
  int n = 0;
  for (GameObject* o : ObjectListOf(GS_Battle)->objects)
    if (o->alive && dynamic_cast<Animation*>(o)) ++n;
  return n;
}

TEST(TroopBattlePicture, AllSixteenKindsFightInFiveLanesWithRangesShown) {
  TroopFieldHooks hooks;
  hooks.load = BattleLoad;
  hooks.init = BoardUnderTheTroops;
  hooks.unload = BattleUnload;
  ASSERT_TRUE(TroopFieldStart(800, 600, hooks));

  struct Side {
    TroopKind kinds[2];
  };
  // Player 1 leads the Knight's and the Mage's troops, player 2 the Orc's and the Druid's.
  const Side p1[5] = {{{KnightTroop, Rogue}}, {{Archer, Catapult}}, {{MageTroop, IceMage}},
                      {{Golem, Dragon}}, {{KnightTroop, Archer}}};
  const Side p2[5] = {{{Troll, Imp}}, {{Goblin, Demon}}, {{Bear, Treant}}, {{Plant, Dryad}},
                      {{Troll, Plant}}};
  std::vector<Troop*> all;
  for (int lane = -2; lane <= 2; ++lane) {
    for (int i = 0; i < 2; ++i) {
      // Nearer the middle than the spawn point, so they meet soon; the second walks behind.
      Troop* a = TroopSpawn(p1[lane + 2].kinds[i], lane, false);
      TroopMoveTo(a, -140 - 45.0f * i);
      Troop* b = TroopSpawn(p2[lane + 2].kinds[i], lane, true);
      TroopMoveTo(b, 140 + 45.0f * i);
      all.push_back(a);
      all.push_back(b);
    }
  }
  // Fight for a while, then wait for a moment with several blows in flight.
  ASSERT_TRUE(TestStep(420));
  TestKeyDown('K');
  TestKeyDown(VK_NUMPAD0 + 7);
  int frames = TroopRunUntil([] { return AnimationsInFlight() >= 4; }, 600);
  EXPECT_GT(frames, 0);
  TestCaptureFrames(true);
  ASSERT_TRUE(TestStep(1));
  ASSERT_TRUE(TestSaveFrame("/tmp/troops-battle.png"));

  int hurt = 0, shown[2] = {0, 0};
  for (Troop* t : all) {
    hurt += t->health < t->maxHealth;
    if (t->alive && t->rangeMarker->visible) ++shown[t->rightSide];
  }
  EXPECT_GE(hurt, 6);
  EXPECT_GT(shown[0], 0);
  EXPECT_GT(shown[1], 0);
  EXPECT_GE(AnimationsInFlight(), 1);
  TestKeyUp('K');
  TestKeyUp(VK_NUMPAD0 + 7);
  TroopFieldStop();
}

}  // namespace
