// Main menu on the real screen: the logo sequence and its skip, the arrow and its wrap, the
// quit question and the reset of the match record.
#include <gtest/gtest.h>

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "hpscreens.h"
#include "hptest.h"
#include "keinput.h"
#include "kesystem.h"
#include "screens/mainmenu.h"
#include "screens/screen.h"
#include "states.h"

namespace {

const unsigned kWhite = 0xFFFFFF;

// White text pixels where "Start game", the skip hint and "Quit game?" are drawn.
int MenuLabelPixels() { return ScreensCountPixels(-90, 0, 110, 40, kWhite); }
int SkipHintPixels() { return ScreensCountPixels(-400, -290, 0, -265, kWhite); }
int QuestionPixels() { return ScreensCountPixels(-80, -50, 110, -10, kWhite); }

// The menu arrow is the larger of the two wooden arrows.
GameObject* Arrow(float size) {
  for (GameObject* o : ScreensObjects(GS_MainMenu, "data/Arrow2.png"))
    if (o->scale.x == size) return o;
  return nullptr;
}
int LogosShown() {
  int shown = 0;
  for (const char* path : {"data/MVLogo.png", "data/TeamLogo.png", "data/FMODLogo.png",
                           "data/FMODCredits.png", (const char*)nullptr})
    shown += ScreensShown(ScreensObject(GS_MainMenu, path));
  return shown;
}
void Capture() {
  TestCaptureFrames(true);
  TestStep(1);
  TestCaptureFrames(false);
}

class MainMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainMenuReplayLogos();
    ASSERT_TRUE(ScreensStart(GS_MainMenu, false, 800, 600));  // the whole board at scale 1
  }
  void TearDown() override {
    if (!quit_) ScreensStop();
  }
  bool quit_ = false;
};

TEST_F(MainMenuTest, LogosFadeInTurnAndTheMenuShowsAfterNineSecondsOnlyOnce) {
  ASSERT_TRUE(TestStep(1));
  int frame = 1;
  auto at = [&frame](int n) {  // runs up to frame n, capturing that one
    TestStep(n - 1 - frame);
    Capture();
    frame = n;
  };
  GameObject* school = ScreensObject(GS_MainMenu, "data/MVLogo.png");
  at(64);  // 2 alpha units per frame from 255
  EXPECT_EQ(school->color >> 24, 129u);
  EXPECT_GT(SkipHintPixels(), 100);
  EXPECT_EQ(MenuLabelPixels(), 0);
  ScreensSaveShot("logos-school");
  at(530);  // the fades are over, the 9 s are not
  EXPECT_EQ(ScreensObject(GS_MainMenu, nullptr)->color, 0u);
  EXPECT_EQ(MenuLabelPixels(), 0);
  EXPECT_GT(SkipHintPixels(), 100);
  at(544);
  EXPECT_GT(MenuLabelPixels(), 200);
  EXPECT_EQ(SkipHintPixels(), 0);

  ScreensPress(VK_RETURN);  // later entries go straight to the menu
  EXPECT_EQ(GsmGetCurrentState(), GS_HeroSelect);
  GsmSetNextState(GS_MainMenu);
  Capture();
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_EQ(LogosShown(), 0);
  EXPECT_GT(MenuLabelPixels(), 200);

  ScreensPress(VK_DOWN);
  ScreensPress(VK_DOWN);
  ScreenFullscreenFlag(GS_Settings) = true;
  ScreensPress(VK_RETURN);  // on Settings: the menu hands its flag over and frees its sounds
  EXPECT_EQ(GsmGetCurrentState(), GS_Settings);
  EXPECT_FALSE(ScreenFullscreenFlag(GS_Settings));
  EXPECT_EQ(gAudio.sounds.count("data/Sound/HollowPikes.wav"), 0u);
  EXPECT_EQ(gAudio.sounds.count("data/Sound/WoodSelect.wav"), 0u);
}

TEST_F(MainMenuTest, SpaceSkipsTheLogosTheArrowWrapsAndTheQuitQuestionOpensMovesClosesAndQuits) {
  gMatch.heroHealth[0] = 1;  // a match left half-way
  gMatch.heroHealth[1] = 0;
  TestKeyDown(VK_SPACE);  // held at start
  TestStep(1);
  EXPECT_EQ(LogosShown(), 0);
  Capture();
  EXPECT_GT(MenuLabelPixels(), 200) << "the menu shows at once";
  EXPECT_EQ(SkipHintPixels(), 0);
  EXPECT_EQ(gMatch.heroHealth[0], 3) << "the menu starts every match fresh";
  EXPECT_EQ(gMatch.heroHealth[1], 3);
  TestStep(5);  // still held: no confirm, since Space went down during the logos
  TestKeyUp(VK_SPACE);
  TestStep(1);
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
  GameObject *arrow = Arrow(60), *confirm = Arrow(40);
  ASSERT_TRUE(arrow && confirm);
  EXPECT_EQ(arrow->position.y, 10);
  ScreensPress(VK_UP);
  EXPECT_EQ(arrow->position.y, -230) << "Up at Start game goes to Quit";
  ScreensPress(VK_DOWN);
  EXPECT_EQ(arrow->position.y, 10) << "Down at Quit goes to Start game";
  ScreensPress(VK_UP);

  ScreensPress(VK_SPACE);  // confirm on Quit only asks
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
  EXPECT_TRUE(ScreensShown(confirm) && !ScreensShown(arrow));
  EXPECT_EQ(confirm->position.x, -90) << "opens on Yes the first time";
  Capture();
  ScreensSaveShot("quit-question");
  EXPECT_GT(QuestionPixels(), 200);
  EXPECT_EQ(MenuLabelPixels(), 0) << "the menu labels hide behind the question";
  ScreensPress(VK_ESCAPE);
  EXPECT_TRUE(!ScreensShown(confirm) && ScreensShown(arrow));
  ScreensPress(VK_SPACE);
  ScreensPress(VK_RIGHT);
  ScreensPress(VK_RETURN);  // on No
  EXPECT_FALSE(ScreensShown(confirm));
  ScreensPress(VK_SPACE);
  EXPECT_EQ(confirm->position.x, 20) << "opens where it was left";
  ScreensPress(VK_LEFT);
  TestKeyDown(VK_SPACE);  // on Yes
  EXPECT_TRUE(TestStep(1)) << "the requesting frame still runs";
  EXPECT_EQ(GsmGetNextState(), GS_Quit);
  EXPECT_FALSE(TestStep(1));
  TestKeyUp(VK_SPACE);
  quit_ = true;
  ScreensStop();
}

}  // namespace
