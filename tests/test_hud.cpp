// Battle HUD in pixels: where the energy number lands and how large at each window size and in
// full screen, spell names that fit their slots, labels left out for unknown ids, and
// screenshots of the whole board and the pause menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "battle/pause.h"
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

// The next frame's pixels; only rows from `top` to `bottom` (counted from the top) are read,
// the others stay 0.
std::vector<uint32_t> Frame(int top = 0, int bottom = INT_MAX) {
  TestStep(1);
  int w = TestFrameWidth(), h = TestFrameHeight();
  std::vector<uint32_t> pixels((size_t)w * h, 0);
  for (int y = std::max(top, 0); y < std::min(bottom, h); ++y)
    for (int x = 0; x < w; ++x) pixels[(size_t)y * w + x] = TestPixel(x, y);
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
    // 0.5 to 0.85 of the 40-pixel line at text scale 1; their outline adds 2 font pixels around.
    ASSERT_FALSE(box.Empty());
    float k = 1.2f * c.scale, outline = 2 * k;
    EXPECT_NEAR(box.bottom, 228 * c.scale - outline, 2.0f);
    EXPECT_GE(box.left, -248 * c.scale - outline - 1);
    EXPECT_LE(box.left, -248 * c.scale + 5 * k);
    EXPECT_GE(box.Height(), 0.5f * 40 * k);
    EXPECT_LE(box.Height(), 0.85f * 40 * k + 2 * outline);
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

// The label of one name on the HUD: player p's built-in spell (slot 0) or chosen spell slot - 1,
// shown as the i-th of its kind, or not shown for i < 0.
void ShowName(int p, int slot, int i) {
  const HeroId heroes[4] = {Hero_Knight, Hero_Mage, Hero_Orc, Hero_Druid};
  const SpellId spells[4] = {Spell_Meteor, Spell_Execute, Spell_Stun, Spell_Wind};
  if (slot == 0) gMatch.hero[p] = i < 0 ? 0 : heroes[i];
  else gMatch.spells[p][slot - 1] = i < 0 ? Spell_None : spells[i];
}

// Every name in every slot, at 800 by 600 and in full screen: it starts at its place and ends
// before the next name, or the board's right edge, shrunk where it must be.
TEST(HudTest, EveryNameFitsBetweenItsPlaceAndTheNext) {
  const float rowY[2] = {180, -200};
  const float placeX[2][4] = {{100, 210, 300, 400}, {-400, -280, -180, 400}};  // then the edge
  for (bool full : {false, true}) {
    SCOPED_TRACE(full);
    Start(800, 600, full);
    float s = full ? 1.8f : 1.0f;
    Frame(0, 0);  // the frame's size at this scale
    for (int p = 0; p < 2; ++p)
      for (int slot = 0; slot < 3; ++slot) {
        // The rows of the names' line, from below the baseline to above the capitals.
        int top = (int)(TestFrameHeight() / 2 - (rowY[p] + 60) * s);
        int bottom = (int)(TestFrameHeight() / 2 - (rowY[p] - 20) * s);
        ShowName(p, slot, -1);
        std::vector<uint32_t> none = Frame(top, bottom);
        for (int i = 0; i < 4; ++i) {
          SCOPED_TRACE(p * 100 + slot * 10 + i);
          ShowName(p, slot, i);
          Box box = Changed(none, Frame(top, bottom));
          ASSERT_FALSE(box.Empty());
          float x = placeX[p][slot];
          EXPECT_GE(box.left, (x - 4) * s);  // a bearing and the outline
          EXPECT_LE(box.left, (x + 8) * s);
          EXPECT_LE(box.right, placeX[p][slot + 1] * s);
          EXPECT_GE(box.bottom, (rowY[p] - 14) * s);
          EXPECT_LE(box.bottom, rowY[p] * s);
        }
      }
    // Screenshots: each name once in each slot, then the pause menu over the board.
    for (int i = 0; i < 4; ++i) {
      for (int p = 0; p < 2; ++p)
        for (int slot = 0; slot < 3; ++slot) ShowName(p, slot, (i + slot + 2 * p) % 4);
      TestStep(1);
      Shoot(("hud_" + std::to_string(TestFrameWidth()) + "_" + std::to_string(i) + ".png").c_str());
    }
    BattleTestPress('P');
    EXPECT_TRUE(PauseIsOpen());
    TestStep(1);
    Shoot(("pause_" + std::to_string(TestFrameWidth()) + ".png").c_str());
    BattleTestStop();
  }
}

}  // namespace
