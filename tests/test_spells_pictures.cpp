// Pictures of every spell at work in a battle with troops in the lane, saved to
// /tmp/spell-<name>.png to be looked at; each check asks that the spell's picture really changed
// the frame where it flies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "framework/gameobject.h"
#include "hpbattle.h"
#include "hpspells.h"
#include "hptest.h"
#include "kegsm.h"
#include "screens/screen.h"

namespace {

const int kW = 800, kH = 600;

// A whole captured frame, row by row from the top-left.
std::vector<uint32_t> Frame() {
  std::vector<uint32_t> out;
  out.reserve(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) out.push_back(TestPixel(x, y));
  return out;
}

class SpellPictures : public ::testing::Test {
 protected:
  void Start(HeroId p1, HeroId p2, SpellId s10, SpellId s11, SpellId s20, SpellId s21) {
    ASSERT_TRUE(BattleTestStart(p1, p2, s10, s11, s20, s21, kW, kH));
    started = true;
  }
  // Runs n updates and keeps the image of the last one only: reading back every frame is slow.
  void Run(int n) {
    TestCaptureFrames(false);
    BattleTestRun(n - 1);
    TestCaptureFrames(true);
    BattleTestRun(1);
    TestCaptureFrames(false);
  }
  void TearDown() override {
    TestCaptureFrames(false);
    if (started) BattleTestStop();
  }

  // A fresh round with both arrows on `lane` and two troops of each side marching in it. Each
  // spell gets a lane of its own: effects still running carry over into the new round.
  void FreshLane(int lane) {
    GsmSetNextState(GS_Restart);
    BattleTestRun(1);
    for (BattlePlayer& p : gPlayers) {
      p.lane = lane;
      p.arrow->position.y = kLaneSpacing * lane;
    }
    SpellsTroop(KnightTroop, lane, false, -180, false);
    SpellsTroop(Archer, lane, false, -230, false);
    SpellsTroop(Troll, lane, true, 120, false);
    SpellsTroop(Goblin, lane, true, 190, false);
    Run(20);
  }

  // Casts, lets the spell work for `frames` updates and saves the frame.
  float CastAndShoot(int player, int slot, int frames, const char* picture, const char* name) {
    std::vector<uint32_t> then = Frame();
    SpellsCast(player, slot);
    Run(frames - 1);
    return Shoot(SpellsNewestPicture(picture), then, name);
  }

  // Saves the frame; the share of pixels under the object that differ from the frame `then`.
  float Shoot(const GameObject* o, const std::vector<uint32_t>& then, const char* name) {
    EXPECT_TRUE(TestSaveFrame(std::string("/tmp/spell-") + name + ".png"));
    EXPECT_NE(o, nullptr) << name;
    if (!o) return 0;
    Vec2 s = ScreenScale();
    float hw = std::abs(o->scale.x) * s.x / 2, hh = std::abs(o->scale.y) * s.y / 2;
    float cx = kW / 2 + o->position.x * s.x, cy = kH / 2 - o->position.y * s.y;
    int changed = 0, all = 0;
    for (int y = std::max(0, (int)(cy - hh)); y <= std::min(kH - 1, (int)(cy + hh)); ++y)
      for (int x = std::max(0, (int)(cx - hw)); x <= std::min(kW - 1, (int)(cx + hw)); ++x) {
        ++all;
        changed += TestPixel(x, y) != then[(size_t)y * kW + x];
      }
    return all ? (float)changed / all : 0;
  }

  bool started = false;
};

TEST_F(SpellPictures, KnightAgainstOrcBoostExecuteMeteorPoisonStunWind) {
  Start(Hero_Knight, Hero_Orc, Spell_Meteor, Spell_Execute, Spell_Stun, Spell_Wind);

  FreshLane(2);
  EXPECT_GT(CastAndShoot(0, 0, 60, "BoostArrow", "boost"), 0.1f);

  FreshLane(1);
  SpellsTroop(Demon, 1, true, -60, true);
  Run(1);
  EXPECT_GT(CastAndShoot(0, 2, 8, "ExecuteAnim", "execute"), 0.1f);

  FreshLane(0);
  std::vector<uint32_t> then = Frame();
  SpellsCast(0, 1);
  GameObject* bar = SpellsNewestMarker();
  ASSERT_NE(bar, nullptr);
  Run(60);
  EXPECT_GT(bar->scale.x, 300);
  EXPECT_GT(Shoot(bar, then, "meteor-aim"), 0.5f);
  then = Frame();
  SpellsPressCast(0);
  Run(30);
  EXPECT_GT(Shoot(SpellsNewestPicture("MeteoriteSprite"), then, "meteor"), 0.1f);
  Run(33);  // the impact, with the red flash on whoever stood there
  Shoot(SpellsNewestPicture("MeteoriteSprite"), then, "meteor-impact");

  FreshLane(-1);
  EXPECT_GT(CastAndShoot(1, 0, 40, "PoisonAnim", "poison"), 0.05f);

  FreshLane(-2);
  EXPECT_GT(CastAndShoot(1, 1, 50, "StunnedGuy", "stun"), 0.1f);

  FreshLane(2);
  EXPECT_GT(CastAndShoot(1, 2, 50, "Tornado", "wind"), 0.1f);
}

TEST_F(SpellPictures, MageAgainstDruidFreezeAndQuake) {
  Start(Hero_Mage, Hero_Druid, Spell_Stun, Spell_Wind, Spell_Stun, Spell_Wind);
  FreshLane(0);
  EXPECT_GT(CastAndShoot(0, 0, 30, "SnowFlake", "freeze"), 0.1f);
  EXPECT_TRUE(gPlayers[1].arrow->tinted);

  FreshLane(1);
  SpellsTroop(Golem, 1, false, -120, true);
  Run(1);
  EXPECT_GT(CastAndShoot(1, 0, 10, "QuakeAnim", "quake"), 0.1f);
}

}  // namespace
