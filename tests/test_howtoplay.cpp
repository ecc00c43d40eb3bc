// How to play in the real game: the nine pages turned from the keyboard and from gamepad 2
// without wrapping, the page kept across visits, and the way back to the main menu or to a
// battle held by the pause menu (released when the game is quit).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "battle/match.h"
#include "hpmenus.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "screens/howtoplay.h"
#include "screens/screen.h"

namespace {

// A fingerprint of the last captured frame: every page looks different.
uint64_t FrameHash() {
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < TestFrameHeight(); y += 3)
    for (int x = 0; x < TestFrameWidth(); x += 3) h = (h ^ TestPixel(x, y)) * 1099511628211ull;
  return h;
}

class HowToPlayTest : public ::testing::Test {
 protected:
  void Start(GameStateId first = GS_HowToPlay) {
    ASSERT_TRUE(MenusStart(first));
    ASSERT_TRUE(TestStep(1));
  }
  void TearDown() override {
    if (!stopped_) MenusStop();
  }
  bool stopped_ = false;
};

// First in this program: the page starts at the first one once per run.
TEST_F(HowToPlayTest, PagesTurnWithoutWrapAndTheScreenReopensOnTheLastPage) {
  Start();
  int pads[2];
  MenusAttachPads(2, pads);
  TestCaptureFrames(true);
  TestStep(1);
  ASSERT_EQ(HowToPlayPage(), 0);
  uint64_t pages[kHowToPlayPages];
  pages[0] = FrameHash();

  MenusPress(VK_LEFT);
  MenusPadPress(pads[1], PAD_DPAD_LEFT);
  MenusPadPress(pads[0], PAD_DPAD_RIGHT);  // gamepad 1 does not turn pages
  EXPECT_EQ(HowToPlayPage(), 0);
  EXPECT_EQ(FrameHash(), pages[0]);

  for (int i = 1; i < kHowToPlayPages; ++i) {
    if (i % 2) MenusPress(VK_RIGHT);
    else MenusPadPress(pads[1], PAD_DPAD_RIGHT);
    ASSERT_EQ(HowToPlayPage(), i);
    pages[i] = FrameHash();
    for (int j = 0; j < i; ++j) EXPECT_NE(pages[i], pages[j]) << "pages " << i << " and " << j;
  }
  for (int i = 0; i < kHowToPlayPages; ++i) {
    while (HowToPlayPage() != i) MenusPress(HowToPlayPage() < i ? VK_RIGHT : VK_LEFT);
    char path[64];
    snprintf(path, sizeof path, "/tmp/menus-help-%d.png", i + 1);
    TestSaveFrame(path);
  }
  MenusPress(VK_RIGHT);
  MenusPadPress(pads[1], PAD_DPAD_RIGHT);
  EXPECT_EQ(HowToPlayPage(), kHowToPlayPages - 1);
  EXPECT_EQ(FrameHash(), pages[kHowToPlayPages - 1]);

  MenusPress(VK_LEFT);
  MenusPadPress(pads[1], PAD_DPAD_LEFT);
  MenusPress(VK_LEFT);
  ASSERT_EQ(HowToPlayPage(), 5);
  MenusPress(VK_ESCAPE);
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
  GsmSetNextState(GS_HowToPlay);
  ASSERT_TRUE(MenusStepUntil(GS_HowToPlay, 3));
  EXPECT_EQ(HowToPlayPage(), 5);
  EXPECT_EQ(FrameHash(), pages[5]);  // already in the first frame
}

TEST_F(HowToPlayTest, EscQAndBOnGamepadTwoLeadBackToTheMainMenu) {
  Start();
  int pads[2];
  MenusAttachPads(2, pads);
  MenusPadPress(pads[0], PAD_B);  // gamepad 1's B is not a way back here
  EXPECT_EQ(GsmGetCurrentState(), GS_HowToPlay);

  MenusPress(VK_F11);
  EXPECT_TRUE(SysIsFullscreen());
  EXPECT_TRUE(ScreenFullscreenFlag(GS_HowToPlay));
  ScreenFullscreenFlag(GS_MainMenu) = false;
  MenusPress(VK_ESCAPE);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_MainMenu));  // handed over with the way back

  GsmSetNextState(GS_HowToPlay);
  ASSERT_TRUE(MenusStepUntil(GS_HowToPlay, 3));
  MenusPress('Q');
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  GsmSetNextState(GS_HowToPlay);
  ASSERT_TRUE(MenusStepUntil(GS_HowToPlay, 3));
  MenusPadPress(pads[1], PAD_B);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_FALSE(battleOnHold);
}

TEST_F(HowToPlayTest, FromThePauseMenuBackLeadsToTheHeldBattle) {
  Start(GS_Battle);
  TestStep(2);
  MenusExpectBackToHeldBattle(GS_HowToPlay);
}

TEST_F(HowToPlayTest, AltF4WhileTheBattleIsHeldReleasesIt) {
  ASSERT_TRUE(MenusStart(GS_Battle));
  LiveCounts before = MenusLiveCounts();
  ASSERT_TRUE(TestStep(3));
  MenusExpectAltF4ReleasesHeldBattle(GS_HowToPlay, before);
  MenusStop();
  stopped_ = true;
  EXPECT_TRUE(TestMessageBoxes().empty());  // no leak report at exit
}

}  // namespace
