// The credits in the real game: the wait before the first scroll of a run, the scroll counted
// in frames and its end, Space for ten times the speed, and the way back to the menu or to a
// held battle.
#include <gtest/gtest.h>

#include "battle/match.h"
#include "framework/gameobject.h"
#include "hpmenus.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "screens/credits.h"
#include "screens/screen.h"
#include "states.h"

namespace {

const int kLogo = 5, kExecutives = 10, kLastPicture = 11;  // in creation order
const float kExecutivesStart = -1575;

GameObject* Obj(int i) { return ObjectListOf(GS_Credits)->objects[(size_t)i]; }
float ExecutivesY() { return Obj(kExecutives)->position.y; }

// Frames run until the credits request another screen; -1 if they have not after `limit`.
int FramesUntilTheEnd(int limit) {
  for (int n = 1; n <= limit; ++n) {
    TestStep(1);
    if (GsmGetNextState() != GS_Credits) return n;
  }
  return -1;
}

// First in this program: only the first visit of a run waits before scrolling. The credits
// never resize the window, so a small one keeps the 4470 frames quick.
TEST(CreditsTest, FirstVisitWaitsThenScrollsToTheEndAndLaterVisitsScrollAtOnce) {
  ASSERT_TRUE(MenusStart(GS_Credits, 160, 120));
  ASSERT_TRUE(TestStep(1));
  int waited = 1;
  for (; ExecutivesY() == kExecutivesStart && waited < 200; ++waited) TestStep(1);
  EXPECT_NEAR(waited, 121, 2);  // two seconds of frames, the first scroll in the last of them
  EXPECT_FLOAT_EQ(Obj(1)->position.y, 200);  // the heroes stand, the column moves
  EXPECT_FLOAT_EQ(Obj(kLogo)->position.y, 0.5f);
  EXPECT_EQ(1 + FramesUntilTheEnd(5000), 4350);
  EXPECT_FLOAT_EQ(Obj(kLastPicture)->position.y, 325);
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);

  // The second visit of the run scrolls at once; Space held scrolls ten times as fast.
  GsmSetNextState(GS_Credits);
  ASSERT_TRUE(MenusStepUntil(GS_Credits, 3));
  EXPECT_FLOAT_EQ(ExecutivesY(), kExecutivesStart + 0.5f);
  TestKeyDown(VK_SPACE);
  TestStep(1);
  EXPECT_FLOAT_EQ(ExecutivesY(), kExecutivesStart + 5.5f);
  EXPECT_NEAR(2 + FramesUntilTheEnd(1000), 435, 1);
  TestKeyUp(VK_SPACE);
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);

  int pads[2];
  MenusAttachPads(2, pads);
  GsmSetNextState(GS_Credits);
  ASSERT_TRUE(MenusStepUntil(GS_Credits, 3));
  MenusPadPress(pads[1], PAD_B);  // gamepad 2's B is not a way out here
  EXPECT_EQ(GsmGetCurrentState(), GS_Credits);
  MenusPadPress(pads[0], PAD_B);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  MenusStop();
}

TEST(CreditsTest, FromThePauseMenuTheEndLeadsToTheHeldBattleAndAltF4ReleasesIt) {
  ASSERT_TRUE(MenusStart(GS_Battle, 160, 120));
  LiveCounts before = MenusLiveCounts();
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
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_FALSE(battleOnHold || holdForCredits);

  MenusExpectAltF4ReleasesHeldBattle(GS_Credits, before);
  MenusStop();
  EXPECT_TRUE(TestMessageBoxes().empty());  // no leak report at exit
}

}  // namespace
