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
#include "hptest.h"
#include "screens/screen.h"
#include "battle/board.h"

namespace {

const int kW = 800, kH = 600;

// Runs n updates and reads the last frame back (reading every frame is slow).
std::vector<uint32_t> Frames(int n) {
  TestStep(n - 1);
  TestCaptureFrames(true);
  TestStep(1);
  TestCaptureFrames(false);
  std::vector<uint32_t> out;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) out.push_back(TestPixel(x, y));
  return out;
}

// Saves the frame; the share of pixels under the object that differ from the frame `then`.
float Shoot(const GameObject* o, const std::vector<uint32_t>& then, const std::string& name) {
  EXPECT_TRUE(TestSaveFrame("/tmp/spell-" + name + ".png"));
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

TEST(SpellPictures, EverySpellIsSeenAtWork) {
  // Each spell in a fresh round and a lane of its own: effects still running carry over.
  const struct { HeroId p1, p2; int player, slot, lane, frames; const char *picture, *name; } casts[] = {
      {Hero_Knight, Hero_Orc, 0, 0, 2, 60, "BoostArrow", "boost"},
      {Hero_Knight, Hero_Orc, 0, 2, 1, 8, "ExecuteAnim", "execute"},
      {Hero_Knight, Hero_Orc, 0, 1, 0, 60, "MeteoriteSprite", "meteor"},
      {Hero_Knight, Hero_Orc, 1, 0, -1, 40, "PoisonAnim", "poison"},
      {Hero_Knight, Hero_Orc, 1, 1, -2, 50, "StunnedGuy", "stun"},
      {Hero_Knight, Hero_Orc, 1, 2, 2, 50, "Tornado", "wind"},
      {Hero_Mage, Hero_Druid, 0, 0, 0, 30, "SnowFlake", "freeze"},
      {Hero_Mage, Hero_Druid, 1, 0, 1, 10, "QuakeAnim", "quake"}};
  HeroId started = 0;
  for (const auto& c : casts) {
    SCOPED_TRACE(c.name);
    if (c.p1 != started) {
      if (started) BattleTestStop();
      ASSERT_TRUE(BattleTestStart(c.p1, c.p2, Spell_Meteor, Spell_Execute, Spell_Stun,
                                  Spell_Wind, kW, kH));
      started = c.p1;
    }
    GsmSetNextState(GS_Restart);
    TestStep(1);
    for (int player = 0; player < 2; ++player) {
      BattlePlayer& p = BoardPlayer(player);
      p.lane = c.lane;
      p.arrow->position.y = kLaneSpacing * c.lane;
    }
    BattleTestTroop(KnightTroop, c.lane, false, -120, false);
    BattleTestTroop(Archer, c.lane, false, -230, false);
    BattleTestTroop(Troll, c.lane, true, 120, false);
    BattleTestTroop(Goblin, c.lane, true, 190, false);
    std::vector<uint32_t> then = Frames(20);
    SpellsCast(c.player, c.slot);
    if (c.picture == std::string("MeteoriteSprite")) {  // aim, then launch
      ASSERT_EQ(SpellsMarkers().size(), 1u);
      GameObject* bar = SpellsMarkers().back();
      Frames(60);
      EXPECT_GT(Shoot(bar, then, "meteor-aim"), 0.5f);
      then = Frames(1);
      SpellsPressCast(c.player);
    }
    Frames(c.frames - 1);
    ASSERT_FALSE(SpellsPictures(c.picture).empty());
    EXPECT_GT(Shoot(SpellsPictures(c.picture).back(), then, c.name), 0.05f);
  }
  BattleTestStop();
}

}  // namespace
