// The credits in the real game: the wait before the first scroll of a run, the scroll counted
// in frames and its end, Space for ten times the speed, the keys that end it, and the way back
// to the main menu or to a battle held by the pause menu (released when the game is quit).
#include <gtest/gtest.h>

#include <cstdio>

#include "battle/match.h"
#include "framework/gameobject.h"
#include "hpmenus.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"
#include "screens/credits.h"
#include "screens/screen.h"

namespace {

const int kLogo = 5, kExecutives = 10, kLastPicture = 11;  // in creation order
const float kExecutivesStart = -1575;

GameObject* Obj(int i) {
  return ObjectListOf(GS_Credits)->objects[(size_t)i];
}

float ExecutivesY() {
  return Obj(kExecutives)->position.y;
}

class CreditsTest : public ::testing::Test {
 protected:
  void Start() {
    ASSERT_TRUE(MenusStart(GS_Credits));
    ASSERT_TRUE(TestStep(1));
  }
  void TearDown() override {
    if (!stopped_) MenusStop();
  }
  // Frames run until the credits request another screen; -1 if they have not after `limit`.
  int FramesUntilTheEnd(int limit) {
    for (int n = 1; n <= limit; ++n) {
      TestStep(1);
      if (GsmGetNextState() != GS_Credits) return n;
    }
    return -1;
  }
  bool stopped_ = false;
};

// First in this program: only the first visit of a run waits before scrolling. The credits
// never resize the window, so a small one keeps the 4470 frames quick.
TEST_F(CreditsTest, FirstVisitWaitsTwoSecondsThenScrollsToTheEndByItself) {
  ASSERT_TRUE(MenusStart(GS_Credits, 160, 120));
  ASSERT_TRUE(TestStep(1));
  ASSERT_EQ(ObjectListOf(GS_Credits)->objects.size(), 12u);
  int waited = 1;
  while (ExecutivesY() == kExecutivesStart && waited < 200) {
    TestStep(1);
    ++waited;
  }
  EXPECT_GE(CreditsDelay(), 2.0f);
  EXPECT_NEAR(waited, 121, 2);  // two seconds of frames, the first scroll in the last of them
  EXPECT_FLOAT_EQ(ExecutivesY(), kExecutivesStart + 0.5f);
  // The heroes stand, the whole column moves.
  EXPECT_FLOAT_EQ(Obj(1)->position.y, 200);
  EXPECT_FLOAT_EQ(Obj(kLogo)->position.y, 0.5f);
  EXPECT_FLOAT_EQ(Obj(kLastPicture)->position.y, -1850 + 0.5f);

  int frames = 1 + FramesUntilTheEnd(5000);
  EXPECT_EQ(frames, 4350);
  EXPECT_FLOAT_EQ(ExecutivesY(), 600);
  EXPECT_FLOAT_EQ(Obj(kLastPicture)->position.y, 325);
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);

  // The second visit of the run scrolls at once.
  GsmSetNextState(GS_Credits);
  ASSERT_TRUE(MenusStepUntil(GS_Credits, 3));
  EXPECT_FLOAT_EQ(ExecutivesY(), kExecutivesStart + 0.5f);
}

TEST_F(CreditsTest, SpaceHeldScrollsTenTimesAsFast) {
  Start();
  ASSERT_GE(CreditsDelay(), 2.0f);
  float y = ExecutivesY();
  TestKeyDown(VK_SPACE);
  TestStep(1);
  EXPECT_FLOAT_EQ(ExecutivesY(), y + 5);
  // Pictures of the column on its way, at the places it reaches after 400, 1200, 2000, 2800 and
  // 3600 frames at the slow pace.
  int frames = 1;
  for (int shot = 40; shot <= 360; shot += 80) {
    TestStep(shot - frames - 1);
    TestCaptureFrames(true);
    TestStep(1);
    TestCaptureFrames(false);
    frames = shot;
    char path[64];
    snprintf(path, sizeof path, "/tmp/menus-credits-%d.png", shot * 10);
    TestSaveFrame(path);
  }
  frames += FramesUntilTheEnd(1000);
  TestKeyUp(VK_SPACE);
  EXPECT_NEAR(frames, 435, 1);  // the first frame of this visit scrolled at the slow pace
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
}

TEST_F(CreditsTest, EscQAndBOnGamepadOneEndTheCredits) {
  Start();
  int pads[2];
  MenusAttachPads(2, pads);
  MenusPadPress(pads[1], PAD_B);  // gamepad 2's B is not a way out here
  EXPECT_EQ(GsmGetCurrentState(), GS_Credits);

  MenusPress(VK_F11);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_Credits));
  ScreenFullscreenFlag(GS_MainMenu) = false;
  MenusPress(VK_ESCAPE);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_MainMenu));

  GsmSetNextState(GS_Credits);
  ASSERT_TRUE(MenusStepUntil(GS_Credits, 3));
  MenusPress('Q');
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  GsmSetNextState(GS_Credits);
  ASSERT_TRUE(MenusStepUntil(GS_Credits, 3));
  MenusPadPress(pads[0], PAD_B);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
}

TEST_F(CreditsTest, FromThePauseMenuTheEndLeadsToTheHeldBattle) {
  ASSERT_TRUE(MenusStart(GS_Battle, 160, 120));
  TestStep(3);
  MenusExpectBackToHeldBattle(GS_Credits);

  // Ending by themselves returns to the battle as well (windowed: quicker frames).
  MenusPress(VK_F11);
  ASSERT_FALSE(ScreenFullscreenFlag(GS_Battle));
  MenusHoldBattleFor(GS_Credits);
  ASSERT_TRUE(MenusStepUntil(GS_Credits, 3));
  TestKeyDown(VK_SPACE);
  EXPECT_GT(FramesUntilTheEnd(1000), 0);
  TestKeyUp(VK_SPACE);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  EXPECT_FALSE(battleOnHold);
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_FALSE(holdForCredits);
}

TEST_F(CreditsTest, AltF4WhileTheBattleIsHeldReleasesIt) {
  ASSERT_TRUE(MenusStart(GS_Battle));
  LiveCounts before = MenusLiveCounts();
  ASSERT_TRUE(TestStep(3));
  MenusExpectAltF4ReleasesHeldBattle(GS_Credits, before);
  MenusStop();
  stopped_ = true;
  EXPECT_TRUE(TestMessageBoxes().empty());  // no leak report at exit
}

}  // namespace
