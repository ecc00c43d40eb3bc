// Main menu on the real screen: the logo sequence and its skip, the arrow and its wrap, the
// quit question, the reset of the match record, and the pads.
#include <gtest/gtest.h>

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "hppad.h"
#include "hpscreens.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "screens/mainmenu.h"
#include "screens/screen.h"

namespace {

const unsigned kWhite = 0xFFFFFF;

class MainMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainMenuReplayLogos();
    ASSERT_TRUE(ScreensStart(GS_MainMenu));
  }
  void TearDown() override {
    TestPadDetachAll();
    if (!quit_) ScreensStop();
  }
  // Past the logos: Space held for the first frame.
  void SkipLogos() {
    TestKeyDown(VK_SPACE);
    TestStep(1);
    TestKeyUp(VK_SPACE);
    TestStep(1);
  }
  void Capture() {
    TestCaptureFrames(true);
    TestStep(1);
    TestCaptureFrames(false);
  }
  // White text pixels where "Start game", the skip hint and "Quit game?" are drawn.
  int MenuLabelPixels() { return ScreensCountPixels(-90, 0, 110, 40, kWhite); }
  int SkipHintPixels() { return ScreensCountPixels(-400, -290, 0, -265, kWhite); }
  int QuestionPixels() { return ScreensCountPixels(-80, -50, 110, -10, kWhite); }

  GameObject* Arrow() {  // the menu arrow is the larger of the two wooden arrows
    for (GameObject* o : ScreensObjects(GS_MainMenu, "data/Arrow2.png"))
      if (o->scale.x == 60) return o;
    return nullptr;
  }
  GameObject* ConfirmArrow() {
    for (GameObject* o : ScreensObjects(GS_MainMenu, "data/Arrow2.png"))
      if (o->scale.x == 40) return o;
    return nullptr;
  }
  std::vector<GameObject*> Logos() {
    std::vector<GameObject*> logos;
    for (const char* path : {"data/MVLogo.png", "data/TeamLogo.png", "data/FMODLogo.png",
                             "data/FMODCredits.png", (const char*)nullptr})
      logos.push_back(ScreensObject(GS_MainMenu, path));
    return logos;
  }
  int LogosShown() {
    int shown = 0;
    for (GameObject* o : Logos()) shown += ScreensShown(o);
    return shown;
  }
  bool quit_ = false;
};

unsigned Alpha(const GameObject* o) {
  return o ? o->color >> 24 : 999;
}

TEST_F(MainMenuTest, HoldingSpaceAtStartSkipsTheLogosInTheFirstFrame) {
  gMatch.heroHealth[0] = 1;  // a match left half-way
  gMatch.heroHealth[1] = 0;
  TestKeyDown(VK_SPACE);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(LogosShown(), 0);
  EXPECT_EQ(gMatch.heroHealth[1], 0) << "the skipping frame is still the logos'";
  // The window takes its full-screen size at the end of the first frame: look at the next.
  Capture();
  EXPECT_GT(MenuLabelPixels(), 200) << "the menu shows at once";
  EXPECT_EQ(SkipHintPixels(), 0);
  ScreensSaveShot("menu");
  EXPECT_EQ(gMatch.heroHealth[0], 3) << "the menu starts every match fresh";
  EXPECT_EQ(gMatch.heroHealth[1], 3);
  // Still held: no confirm, since Space went down during the logos.
  TestStep(5);
  TestKeyUp(VK_SPACE);
  TestStep(1);
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
}

TEST_F(MainMenuTest, LogosFadeInTurnAndTheMenuShowsAfterNineSeconds) {
  // An 800 by 600 window at scale 1 shows the whole board and draws 9 s of frames faster.
  ScreenFullscreenFlag(GS_MainMenu) = false;
  SysSetFullscreen(false);
  SysSetWindowSize(800, 600);
  TestStep(1);
  std::vector<GameObject*> logos = Logos();
  GameObject *school = logos[0], *team = logos[1], *audio = logos[2], *curtain = logos[4];
  int frame = 1;
  auto at = [&frame](int n) {  // runs up to frame n, capturing that one
    TestStep(n - 1 - frame);
    TestCaptureFrames(true);
    TestStep(1);
    TestCaptureFrames(false);
    frame = n;
  };
  // 2 alpha units per frame: the school logo from 255 over frames 1 to 128, the other logos
  // in from frame 129 and out from frame 257, the curtain from frame 385.
  at(64);
  EXPECT_EQ(Alpha(school), 129u);
  EXPECT_EQ(Alpha(team), 0u);
  EXPECT_GT(SkipHintPixels(), 100);
  EXPECT_EQ(MenuLabelPixels(), 0);
  ScreensSaveShot("logos-school");

  at(193);
  EXPECT_EQ(Alpha(school), 1u);
  EXPECT_EQ(Alpha(team), 128u);
  EXPECT_EQ(Alpha(audio), 128u);
  EXPECT_EQ(Alpha(curtain), 255u);
  ScreensSaveShot("logos-makers");

  at(320);
  EXPECT_EQ(Alpha(team), 130u);
  EXPECT_EQ(Alpha(curtain), 255u);

  at(450);
  EXPECT_EQ(Alpha(team), 2u);
  EXPECT_EQ(Alpha(curtain), 125u);
  EXPECT_EQ(MenuLabelPixels(), 0) << "no menu labels while the logos run";
  ScreensSaveShot("logos-curtain");

  at(530);  // the fades are over, the 9 s are not
  EXPECT_EQ(curtain->color, 0u);
  EXPECT_EQ(MenuLabelPixels(), 0);
  EXPECT_GT(SkipHintPixels(), 100);
  at(544);
  EXPECT_GT(MenuLabelPixels(), 200);
  EXPECT_EQ(SkipHintPixels(), 0);

  // Later entries go straight to the menu.
  ScreensPress(VK_RETURN);
  EXPECT_EQ(GsmGetCurrentState(), GS_HeroSelect);
  GsmSetNextState(GS_MainMenu);
  Capture();
  ScreensSaveShot("menu-again");
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_EQ(LogosShown(), 0);
  EXPECT_GT(MenuLabelPixels(), 200);
}

TEST_F(MainMenuTest, StartOnTheSecondPadSkipsTheLogos) {
  TestPadAttach("Pad One");
  int second = TestPadAttach("Pad Two");
  InputReset();  // poll the new pads now
  TestStep(30);
  EXPECT_EQ(LogosShown(), 5);
  TestPadSetButtonBits(second, PAD_START, true);
  TestStep(1);
  EXPECT_EQ(LogosShown(), 0);
}

TEST_F(MainMenuTest, ArrowWrapsBetweenStartGameAndQuit) {
  SkipLogos();
  ASSERT_NE(Arrow(), nullptr);
  EXPECT_EQ(Arrow()->position.y, 10);
  ScreensPress(VK_UP);
  EXPECT_EQ(Arrow()->position.y, -230) << "Up at Start game goes to Quit";
  ScreensPress(VK_DOWN);
  EXPECT_EQ(Arrow()->position.y, 10) << "Down at Quit goes to Start game";
  for (float y : {-50.0f, -110.0f, -170.0f, -230.0f}) {
    ScreensPress(VK_DOWN);
    EXPECT_EQ(Arrow()->position.y, y);
  }
  ScreensPress(VK_UP);
  ScreensPress(VK_UP);
  ScreenFullscreenFlag(GS_Settings) = false;
  ScreensPress(VK_RETURN);  // on Settings
  EXPECT_EQ(GsmGetCurrentState(), GS_Settings);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_Settings)) << "the menu hands its flag over";
  // The menu's sounds went with it, the title music stopped first.
  EXPECT_EQ(gAudio.sounds.count("data/Sound/HollowPikes.wav"), 0u);
  EXPECT_EQ(gAudio.sounds.count("data/Sound/WoodSelect.wav"), 0u);
}

TEST_F(MainMenuTest, QuitQuestionOpensMovesClosesAndQuits) {
  SkipLogos();
  ScreensPress(VK_UP);
  ScreensPress(VK_SPACE);  // confirm on Quit only asks
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
  ASSERT_TRUE(ScreensShown(ConfirmArrow()));
  EXPECT_FALSE(ScreensShown(Arrow()));
  EXPECT_EQ(ConfirmArrow()->position.x, -90) << "opens on Yes the first time";
  Capture();
  ScreensSaveShot("quit-question");
  EXPECT_GT(QuestionPixels(), 200);
  EXPECT_EQ(MenuLabelPixels(), 0) << "the menu labels hide behind the question";

  ScreensPress(VK_ESCAPE);
  EXPECT_FALSE(ScreensShown(ConfirmArrow()));
  EXPECT_TRUE(ScreensShown(Arrow()));

  ScreensPress(VK_SPACE);  // still on Quit
  ScreensPress(VK_RIGHT);
  EXPECT_EQ(ConfirmArrow()->position.x, 20);
  ScreensPress(VK_RETURN);  // on No
  EXPECT_FALSE(ScreensShown(ConfirmArrow()));
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);

  ScreensPress(VK_SPACE);
  EXPECT_EQ(ConfirmArrow()->position.x, 20) << "opens where it was left";
  ScreensPress(VK_LEFT);
  EXPECT_EQ(ConfirmArrow()->position.x, -90);
  TestKeyDown(VK_SPACE);  // on Yes
  EXPECT_TRUE(TestStep(1)) << "the requesting frame still runs";
  EXPECT_EQ(GsmGetNextState(), GS_Quit);
  EXPECT_FALSE(TestStep(1)) << "the loop ends after the leaving phase";
  TestKeyUp(VK_SPACE);
  quit_ = true;
  ScreensStop();
}

TEST_F(MainMenuTest, PadOneNavigatesAndAnswersTheQuestion) {
  int pad = TestPadAttach();
  InputReset();
  SkipLogos();
  ScreensPadPress(pad, PAD_DPAD_DOWN);
  EXPECT_EQ(Arrow()->position.y, -50);
  ScreensPadPress(pad, PAD_DPAD_UP);
  ScreensPadPress(pad, PAD_DPAD_UP);
  EXPECT_EQ(Arrow()->position.y, -230);
  ScreensPadPress(pad, PAD_B);
  EXPECT_TRUE(ScreensShown(ConfirmArrow())) << "B opens the question";
  ScreensPadPress(pad, PAD_DPAD_RIGHT);
  EXPECT_EQ(ConfirmArrow()->position.x, 20);
  ScreensPadPress(pad, PAD_B);
  EXPECT_FALSE(ScreensShown(ConfirmArrow())) << "B closes it again";
  ScreensPadPress(pad, PAD_DPAD_DOWN);
  ScreensPadPress(pad, PAD_A);
  EXPECT_EQ(GsmGetCurrentState(), GS_HeroSelect);
}

}  // namespace
