// The renderer's cheaper fill paths keep every screen's picture: each screen, full screen and in
// the 800x600 window, drawn the same way twice from a fresh start on the virtual clock, once with
// the paths on and once with them off, differs by no more than linear filtering may move a pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "hpscreens.h"
#include "hptest.h"
#include "kegraphics.h"
#include "screens/mainmenu.h"
#include "screens/screen.h"
#include "keinput.h"
#include "states.h"

namespace {

struct Shot {
  GameStateId id;
  const char* name;
  int skipKey;  // pressed first (0: none)
  int frames;
  GameStateId from = 0;  // entered from this screen after its first frame (0: started on id)
};
const Shot kShots[] = {
    {GS_MainMenu, "menu", VK_SPACE, 10},      {GS_MainMenu, "menu-logos", 0, 60},
    {GS_Battle, "battle", 0, 10},             {GS_RoundOver, "roundover", 0, 10},
    {GS_HeroSelect, "heroselect", 0, 10},     {GS_SpellSelect, "spellselect", 0, 10, GS_HeroSelect},
    {GS_HowToPlay, "howtoplay", 0, 10},       {GS_Settings, "settings", 0, 10},
    {GS_Credits, "credits", 0, 10},
};

// The RGB of the screen's last frame after a fresh start, drawn with the given fill paths.
std::vector<uint32_t> Render(const Shot& s, bool fullscreen, uint32_t paths) {
  MainMenuReplayLogos();
  std::vector<uint32_t> rgb;
  if (!ScreensStart(s.from ? s.from : s.id, fullscreen, 800, 600)) return rgb;
  GfxSetFillPaths(paths);
  if (s.from) {  // spell selection frees the music hero selection's Load gave it
    TestStep(1);
    ScreenHandOver(s.id);
  }
  if (s.skipKey) ScreensPress(s.skipKey);
  TestStep(s.frames - 1);
  TestCaptureFrames(true);  // the last frame only: reading back every frame is slow
  TestStep(1);
  for (int y = 0; y < TestFrameHeight(); ++y)
    for (int x = 0; x < TestFrameWidth(); ++x) rgb.push_back(TestPixel(x, y) & 0xFFFFFF);
  if (paths == GFX_FILL_ALL)
    ScreensSaveShot(std::string("fill-") + s.name + (fullscreen ? "-full" : "-800"));
  TestCaptureFrames(false);
  GfxSetFillPaths(GFX_FILL_ALL);
  ScreensStop();
  return rgb;
}

TEST(FillPaths, EveryScreenLooksTheSameWithAndWithoutThem) {
  for (const Shot& s : kShots)
    for (bool fullscreen : {false, true}) {
      SCOPED_TRACE(std::string(s.name) + (fullscreen ? " full screen" : " 800x600"));
      std::vector<uint32_t> on = Render(s, fullscreen, GFX_FILL_ALL);
      std::vector<uint32_t> off = Render(s, fullscreen, 0);
      ASSERT_FALSE(on.empty());
      ASSERT_EQ(on.size(), off.size());
      double sum = 0;
      int worst = 0;
      long lit = 0;
      for (size_t i = 0; i < on.size(); ++i) {
        lit += on[i] != 0;
        for (int shift : {0, 8, 16}) {
          int d = std::abs((int)((on[i] >> shift) & 0xFF) - (int)((off[i] >> shift) & 0xFF));
          sum += d;
          worst = d > worst ? d : worst;
        }
      }
      EXPECT_GT(lit, (long)on.size() / 20);  // a picture, not a black frame
      EXPECT_LT(sum / (double)(on.size() * 3), 1.0);  // mean under one level in 255
      EXPECT_LE(worst, 4);
    }
}

}  // namespace
