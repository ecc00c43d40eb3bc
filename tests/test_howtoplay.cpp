// How to play in the real game: the nine pages turned by keys and gamepad 2 without wrapping,
// the page kept across visits, and the way back to the menu or to a held battle.
#include <gtest/gtest.h>

#include <cstdint>

#include "battle/match.h"
#include "hpmenus.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "kesystem.h"
#include "screens/howtoplay.h"
#include "screens/screen.h"
#include "states.h"

namespace {

// A fingerprint of the last captured frame: every page looks different.
uint64_t FrameHash() {
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < TestFrameHeight(); y += 3)
    for (int x = 0; x < TestFrameWidth(); x += 3) h = (h ^ TestPixel(x, y)) * 1099511628211ull;
  return h;
}

// First in this program: the page starts at the first one once per run.
TEST(HowToPlayTest, PagesTurnWithoutWrapAndTheScreenReopensOnTheLastPage) {
  ASSERT_TRUE(MenusStart(GS_HowToPlay, 320, 240));
  int pads[2];
  MenusAttachPads(2, pads);
  TestCaptureFrames(true);
  TestStep(2);
  ASSERT_EQ(HowToPlayPage(), 0);
  uint64_t pages[kHowToPlayPages];
  pages[0] = FrameHash();
  MenusPress(VK_LEFT);
  MenusPadPress(pads[0], PAD_DPAD_RIGHT);  // gamepad 1 does not turn pages
  EXPECT_EQ(HowToPlayPage(), 0);
  for (int i = 1; i < kHowToPlayPages; ++i) {
    if (i % 2) MenusPress(VK_RIGHT);
    else MenusPadPress(pads[1], PAD_DPAD_RIGHT);
    ASSERT_EQ(HowToPlayPage(), i);
    pages[i] = FrameHash();
    for (int j = 0; j < i; ++j) EXPECT_NE(pages[i], pages[j]) << "pages " << i << " and " << j;
  }
  MenusPress(VK_RIGHT);
  EXPECT_EQ(HowToPlayPage(), kHowToPlayPages - 1);
  EXPECT_EQ(FrameHash(), pages[kHowToPlayPages - 1]);

  MenusPadPress(pads[1], PAD_DPAD_LEFT);
  MenusPress(VK_LEFT);
  ASSERT_EQ(HowToPlayPage(), 6);
  MenusPadPress(pads[0], PAD_B);  // gamepad 1's B is not a way back here
  EXPECT_EQ(GsmGetCurrentState(), GS_HowToPlay);
  MenusPadPress(pads[1], PAD_B);
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
  GsmSetNextState(GS_HowToPlay);
  ASSERT_TRUE(MenusStepUntil(GS_HowToPlay, 3));
  EXPECT_EQ(HowToPlayPage(), 6);
  EXPECT_EQ(FrameHash(), pages[6]);  // already in the first frame
  MenusStop();
}

TEST(HowToPlayTest, FromThePauseMenuBackLeadsToTheHeldBattleAndAltF4ReleasesIt) {
  ASSERT_TRUE(MenusStart(GS_Battle));
  LiveCounts before = MenusLiveCounts();
  ASSERT_TRUE(TestStep(3));
  MenusExpectBackToHeldBattle(GS_HowToPlay);
  MenusExpectAltF4ReleasesHeldBattle(GS_HowToPlay, before);
  MenusStop();
  EXPECT_TRUE(TestMessageBoxes().empty());  // no leak report at exit
}

}  // namespace
