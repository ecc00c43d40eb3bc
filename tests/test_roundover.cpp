// Round and match results on the real screen: banner, portrait and frame by the result, the
// jingle by the result, the three seconds, and where the game goes next.
#include <gtest/gtest.h>

#include <string>

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/sounddevice.h"
#include "hpscreens.h"
#include "kegraphics.h"
#include "hptest.h"
#include "screens/roundover.h"
#include "screens/screen.h"

namespace {

class RoundOverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    muted = false;
    musicVolume = 1.0f;
    gMatch.hero[0] = Hero_Mage;
    gMatch.hero[1] = Hero_Orc;
    gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
    gMatch.roundWinner = Round_P1Won;
  }
  void TearDown() override {
    ScreensStop();
    muted = false;
    musicVolume = 1.0f;
  }
  // The result screen as the battle leaves it, after its first frame.
  void Enter(RoundResult winner, int health1, int health2) {
    gMatch.roundWinner = winner;
    gMatch.heroHealth[0] = health1;
    gMatch.heroHealth[1] = health2;
    ASSERT_TRUE(ScreensStart(GS_RoundOver));
    ASSERT_TRUE(TestStep(1));
    frames_ = 1;
  }
  void Step(int n) {
    TestStep(n);
    frames_ += n;
  }
  // One more frame, captured and saved; then the waits run in a small window.
  void Shot(const char* name) {
    TestCaptureFrames(true);
    Step(1);
    ScreensSaveShot(name);
    TestCaptureFrames(false);
    ScreensShrinkWindow();
  }
  // Texture names of the objects in drawing order.
  std::vector<std::string> Pictures() {
    std::vector<std::string> names;
    for (GameObject* o : ObjectListOf(GS_RoundOver)->objects)
      names.push_back(o->texture ? o->texture->name : "none");
    return names;
  }
  std::string Jingle() { return resultSound ? resultSound->path : "none"; }
  bool JinglePlaying() { return resultChannel && SndChannelIsPlaying(resultChannel->channel); }
  // Frames since entering until the screen requested the next one.
  int FramesShown() {
    while (GsmGetNextState() == GS_RoundOver && frames_ < 400) Step(1);
    return frames_;
  }
  int frames_ = 0;
};

TEST_F(RoundOverTest, DrawShowsOnlyTheDrawBannerInSilenceAndReturnsToTheBattle) {
  ScreenFullscreenFlag(GS_Battle) = false;
  Enter(Round_Draw, 2, 3);
  EXPECT_EQ(Pictures(), std::vector<std::string>{"data/RoundOverDraw.png"});
  EXPECT_EQ(Jingle(), "none");
  EXPECT_EQ(resultChannel, nullptr);
  EXPECT_TRUE(gAudio.busySlots.empty());
  Shot("result-draw");

  EXPECT_EQ(FramesShown(), 181);  // 3 s of 1/60 s frames, the first below zero requests
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_Battle)) << "a round banner hands the flag to the battle";
  EXPECT_EQ(gMatch.heroHealth[0], 2) << "a round result changes no health";
}

TEST_F(RoundOverTest, RoundWinnerGetsBannerPortraitFrameAndVictoryJingle) {
  struct Case {
    RoundResult winner;
    std::vector<std::string> pictures;
    std::string jingle, shot;
  };
  const Case cases[] = {
      {Round_P1Won, {"data/RoundOverP1.png", "data/MageCharacter.png", "data/CharFrame.png"},
       "data/Sound/Vic1.wav", "result-round-p1"},
      {Round_P2Won, {"data/RoundOverP2.png", "data/OrcCharacter.png", "data/CharFrame2.png"},
       "data/Sound/Vic2.wav", "result-round-p2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shot);
    Enter(c.winner, 2, 2);
    EXPECT_EQ(Pictures(), c.pictures);
    EXPECT_EQ(Jingle(), c.jingle);
    EXPECT_TRUE(JinglePlaying());
    GameObject* portrait = ScreensObject(GS_RoundOver, c.pictures[1].c_str());
    ASSERT_NE(portrait, nullptr);
    EXPECT_EQ(portrait->position.x, -10);
    EXPECT_EQ(portrait->position.y, -100);
    Shot(c.shot.c_str());
    Step(182);
    EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
    EXPECT_EQ(gMatch.heroHealth[0], 2);
    EXPECT_EQ(gMatch.heroHealth[1], 2);
    ScreensStop();
  }
  ASSERT_TRUE(ScreensStart(GS_RoundOver));  // for TearDown
}

TEST_F(RoundOverTest, PlayerOneWinningTheMatchShowsTheMatchBannerAndGoesToTheMenu) {
  ScreenFullscreenFlag(GS_Battle) = false;
  ScreenFullscreenFlag(GS_MainMenu) = false;
  Enter(Round_P1Won, 2, 0);
  // The match banner, portrait and frame lie over the round's.
  std::vector<std::string> expected = {"data/RoundOverP1.png", "data/MageCharacter.png",
                                       "data/CharFrame.png",   "data/MatchOverP1.png",
                                       "data/MageCharacter.png", "data/CharFrame.png"};
  EXPECT_EQ(Pictures(), expected);
  EXPECT_EQ(Jingle(), "data/Sound/Match2.wav") << "Match2 sounds when player 1 has won";
  EXPECT_TRUE(JinglePlaying());
  Shot("result-match-p1");

  EXPECT_EQ(FramesShown(), 181);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.heroHealth[1], 3);
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_MainMenu));
  EXPECT_FALSE(ScreenFullscreenFlag(GS_Battle)) << "a match banner hands nothing to the battle";
  // Both the round jingle loaded first and the match jingle are gone.
  EXPECT_EQ(gAudio.sounds.count("data/Sound/Vic1.wav"), 0u);
  EXPECT_EQ(gAudio.sounds.count("data/Sound/Match2.wav"), 0u);
}

TEST_F(RoundOverTest, PlayerTwoWinningTheMatchPlaysMatchOne) {
  Enter(Round_P2Won, 0, 1);
  std::vector<std::string> pictures = Pictures();
  ASSERT_EQ(pictures.size(), 6u);
  EXPECT_EQ(pictures[3], "data/MatchOverP2.png");
  EXPECT_EQ(pictures[4], "data/OrcCharacter.png");
  EXPECT_EQ(pictures[5], "data/CharFrame2.png");
  EXPECT_EQ(Jingle(), "data/Sound/Match1.wav");
  Shot("result-match-p2");
  Step(182);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
}

TEST_F(RoundOverTest, MatchEndingAfterADrawIsSilent) {
  Enter(Round_Draw, 3, 0);
  std::vector<std::string> expected = {"data/RoundOverDraw.png", "data/MatchOverP1.png",
                                       "data/MageCharacter.png", "data/CharFrame.png"};
  EXPECT_EQ(Pictures(), expected);
  EXPECT_EQ(resultChannel, nullptr);
  ScreensShrinkWindow();
  Step(182);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_EQ(gAudio.sounds.count("data/Sound/Match2.wav"), 0u) << "loaded, never played, freed";
}

TEST_F(RoundOverTest, JingleFollowsMuteAndMusicVolume) {
  muted = true;
  Enter(Round_P1Won, 3, 2);
  EXPECT_EQ(resultChannel, nullptr);
  EXPECT_TRUE(gAudio.busySlots.empty());
  ScreensStop();

  muted = false;
  musicVolume = 0.5f;
  Enter(Round_P1Won, 3, 2);
  ASSERT_TRUE(JinglePlaying());
  EXPECT_FLOAT_EQ(SndChannelGetVolume(resultChannel->channel), 0.5f);
  musicVolume = 0.25f;
  TestStep(1);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(resultChannel->channel), 0.25f);
  muted = true;
  TestStep(1);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(resultChannel->channel), 0.0f);
}

TEST_F(RoundOverTest, UnknownHeroGetsTheFrameWithoutAPortrait) {
  gMatch.hero[0] = 42;
  Enter(Round_P1Won, 3, 3);
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"data/RoundOverP1.png", "data/CharFrame.png"}));
}

}  // namespace
