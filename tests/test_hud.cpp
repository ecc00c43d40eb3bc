// Battle HUD in pixels: where the energy number lands and how large at each window size and in
// full screen, labels left out for unknown ids, and screenshots of the whole board.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "hpbattle.h"
#include "hptest.h"
#include "keos.h"
#include "screens/screen.h"

namespace {

// A box in pixels about the window centre, y up.
struct Box {
  int left = INT_MAX, right = INT_MIN, bottom = INT_MAX, top = INT_MIN;
  bool Empty() const { return right < left; }
  int Height() const { return top - bottom + 1; }
};

std::vector<uint32_t> Frame() {
  BattleTestRun(1);
  std::vector<uint32_t> pixels;
  for (int y = 0; y < TestFrameHeight(); ++y)
    for (int x = 0; x < TestFrameWidth(); ++x) pixels.push_back(TestPixel(x, y));
  return pixels;
}

Box Changed(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  Box box;
  int w = TestFrameWidth(), h = TestFrameHeight();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (a[(size_t)y * w + x] == b[(size_t)y * w + x]) continue;
      int cx = x - w / 2, cy = h / 2 - y;
      box.left = std::min(box.left, cx);
      box.right = std::max(box.right, cx);
      box.bottom = std::min(box.bottom, cy);
      box.top = std::max(box.top, cy);
    }
  return box;
}

// The pixels that player 1's energy number covers: "11" against "88" on the same board.
Box EnergyBox() {
  gPlayers[0].energy = 11;
  std::vector<uint32_t> ones = Frame();
  gPlayers[0].energy = 88;
  return Changed(ones, Frame());
}

// Digits stand on the baseline at the label's reference position; their left bearing is small
// and a digit is 0.5 to 0.85 of the 40-pixel line at text scale 1.
void ExpectEnergyAt(const Box& box, float scale) {
  ASSERT_FALSE(box.Empty());
  float k = 1.2f * scale;
  EXPECT_NEAR(box.bottom, 228 * scale, 2.0f);
  EXPECT_GE(box.left, -248 * scale - 1);
  EXPECT_LE(box.left, -248 * scale + 5 * k);
  EXPECT_GE(box.Height(), 0.5f * 40 * k);
  EXPECT_LE(box.Height(), 0.85f * 40 * k);
}

std::string ShotPath(const char* name) {
  std::filesystem::create_directories("shots");
  return std::string("shots/") + name;
}

class HudTest : public ::testing::Test {
 protected:
  void TearDown() override {
    windowSizeIndex = 0;
    BattleTestStop();
  }
  void Start(int w, int h, bool fullscreen) {
    ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Druid, Spell_Meteor, Spell_Wind, Spell_Stun,
                                Spell_Execute, w, h, fullscreen));
    TestCaptureFrames(true);
  }
};

TEST_F(HudTest, EnergyNumberScalesWithTheWindowSize) {
  windowSizeIndex = 0;
  Start(800, 600, false);
  Box small = EnergyBox();
  ExpectEnergyAt(small, 1.0f);
  BattleTestStop();

  windowSizeIndex = 2;  // 1280 x 960: every factor 1.6, text scale 1.92
  Start(1280, 960, false);
  Box large = EnergyBox();
  ExpectEnergyAt(large, 1.6f);
  EXPECT_NEAR((float)large.Height() / small.Height(), 1.6f, 0.1f);
}

TEST_F(HudTest, UnknownIdsDrawNoLabel) {
  Start(800, 600, false);
  std::vector<uint32_t> named = Frame();
  gMatch.spells[0][1] = Spell_None;
  std::vector<uint32_t> none = Frame();
  Box gone = Changed(named, none);
  ASSERT_FALSE(gone.Empty());  // "Wind " under player 1's third icon
  EXPECT_NEAR(gone.bottom, 180, 3);
  EXPECT_GE(gone.left, 298);
  gMatch.spells[0][1] = 9999;
  EXPECT_TRUE(Changed(none, Frame()).Empty());

  gMatch.hero[1] = 0;  // player 2's built-in spell name goes as well
  Box hero = Changed(none, Frame());
  ASSERT_FALSE(hero.Empty());
  EXPECT_LE(hero.bottom, -198);  // "Quake": the Q's tail may reach below the baseline
  EXPECT_GE(hero.bottom, -200 - 0.3f * 48);
  EXPECT_GE(hero.left, -401);
  EXPECT_LE(hero.left, -390);
}

TEST_F(HudTest, BoardScreenshotInFullScreen) {
  Start(1920, 1080, true);
  Box energy = EnergyBox();
  ASSERT_EQ(TestFrameWidth(), 1920);
  ExpectEnergyAt(energy, 1.8f);
  gPlayers[0].energy = 30;
  BattleTestPress('W');
  BattleTestPress(VK_NUMPAD0 + 1);
  BattleTestRun(1);
  EXPECT_TRUE(TestSaveFrame(ShotPath("battle_1920x1080.png")));
}

TEST_F(HudTest, BoardScreenshotAt800x600) {
  Start(800, 600, false);
  BattleTestPress('1');
  BattleTestPress('D');
  BattleTestRun(1);
  ASSERT_EQ(TestFrameWidth(), 800);
  EXPECT_TRUE(TestSaveFrame(ShotPath("battle_800x600.png")));
}

}  // namespace
