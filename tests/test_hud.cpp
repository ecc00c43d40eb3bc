// Battle HUD in pixels: where the energy number lands and how large at each window size and in
// full screen, labels left out for unknown ids, and screenshots of the whole board.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "hpbattle.h"
#include "hptest.h"
#include "keinput.h"
#include "screens/screen.h"
#include "battle/board.h"

namespace {

// A box in pixels about the window centre, y up.
struct Box {
  int left = INT_MAX, right = INT_MIN, bottom = INT_MAX, top = INT_MIN;
  bool Empty() const { return right < left; }
  int Height() const { return top - bottom + 1; }
};

std::vector<uint32_t> Frame() {
  TestStep(1);
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
      box.left = std::min(box.left, x - w / 2);
      box.right = std::max(box.right, x - w / 2);
      box.bottom = std::min(box.bottom, h / 2 - y);
      box.top = std::max(box.top, h / 2 - y);
    }
  return box;
}

void Start(int w, int h, bool fullscreen) {
  ASSERT_TRUE(BattleTestStart(Hero_Knight, Hero_Druid, Spell_Meteor, Spell_Wind, Spell_Stun,
                              Spell_Execute, w, h, fullscreen));
  TestCaptureFrames(true);
}

void Shoot(const char* name) {
  std::filesystem::create_directories("shots");
  EXPECT_TRUE(TestSaveFrame(std::string("shots/") + name));
}

TEST(HudTest, EnergyNumberStandsAtItsPlaceScaledWithTheWindow) {
  // Window size index, window, full screen, screen scale (text scale is 1.2 times it).
  const struct { int index, w, h; bool full; float scale; } cases[] = {
      {0, 800, 600, false, 1.0f}, {2, 1280, 960, false, 1.6f}, {0, 1920, 1080, true, 1.8f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.w);
    windowSizeIndex = c.index;
    Start(c.w, c.h, c.full);
    // The pixels that player 1's energy number covers: "11" against "88" on the same board.
    BoardPlayer(0).energy = 11;
    std::vector<uint32_t> ones = Frame();
    BoardPlayer(0).energy = 88;
    Box box = Changed(ones, Frame());
    // Digits stand on the baseline at the label's place, a small bearing to the right, and are
    // 0.5 to 0.85 of the 40-pixel line at text scale 1.
    ASSERT_FALSE(box.Empty());
    float k = 1.2f * c.scale;
    EXPECT_NEAR(box.bottom, 228 * c.scale, 2.0f);
    EXPECT_GE(box.left, -248 * c.scale - 1);
    EXPECT_LE(box.left, -248 * c.scale + 5 * k);
    EXPECT_GE(box.Height(), 0.5f * 40 * k);
    EXPECT_LE(box.Height(), 0.85f * 40 * k);
    BoardPlayer(0).energy = 30;
    BattleTestPress(VK_NUMPAD0 + 1);
    Shoot(("battle_" + std::to_string(c.w) + ".png").c_str());
    BattleTestStop();
  }
  windowSizeIndex = 0;
}

TEST(HudTest, UnknownIdsDrawNoLabel) {
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
  EXPECT_GE(hero.left, -401);
  EXPECT_LE(hero.left, -390);
  BattleTestStop();
}

}  // namespace
