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

// Player 1 plays the Mage, player 2 the Orc. The round that ends a match leaves roundWinner as
// the round before set it, so its banner lies under the match banner.
TEST_F(RoundOverTest, BannerPortraitFrameJingleAndNextScreenFollowTheResult) {
  const std::string p1 = "data/MageCharacter.png", p2 = "data/OrcCharacter.png";
  struct Case {
    const char* shot;
    RoundResult winner;
    int health1, health2;
    std::vector<std::string> pictures;
    std::string jingle;
    GameStateId next;
  } cases[] = {
      {"result-draw", Round_Draw, 2, 3, {"data/RoundOverDraw.png"}, "none", GS_Battle},
      {"result-round-p1", Round_P1Won, 2, 2,
       {"data/RoundOverP1.png", p1, "data/CharFrame.png"}, "data/Sound/Vic1.wav", GS_Battle},
      {"result-round-p2", Round_P2Won, 2, 2,
       {"data/RoundOverP2.png", p2, "data/CharFrame2.png"}, "data/Sound/Vic2.wav", GS_Battle},
      // The match jingles go the other way round: Match2 sounds when player 1 has won.
      {"result-match-p1", Round_P1Won, 2, 0,
       {"data/RoundOverP1.png", p1, "data/CharFrame.png", "data/MatchOverP1.png", p1,
        "data/CharFrame.png"},
       "data/Sound/Match2.wav", GS_MainMenu},
      {"result-match-p2", Round_P2Won, 0, 1,
       {"data/RoundOverP2.png", p2, "data/CharFrame2.png", "data/MatchOverP2.png", p2,
        "data/CharFrame2.png"},
       "data/Sound/Match1.wav", GS_MainMenu},
      {"result-draw-then-match", Round_Draw, 3, 0,
       {"data/RoundOverDraw.png", "data/MatchOverP1.png", p1, "data/CharFrame.png"}, "none",
       GS_MainMenu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shot);
    ScreenFullscreenFlag(GS_Battle) = ScreenFullscreenFlag(GS_MainMenu) = false;
    Enter(c.winner, c.health1, c.health2);
    EXPECT_EQ(Pictures(), c.pictures);
    EXPECT_EQ(Jingle(), c.jingle);
    EXPECT_EQ(JinglePlaying(), c.jingle != "none");
    for (GameObject* o : ObjectListOf(GS_RoundOver)->objects) {
      if (o->scale.x != 150) continue;  // portraits and frames
      EXPECT_EQ(o->position.x, -10);
      EXPECT_EQ(o->position.y, -100);
    }
    Shot(c.shot);

    EXPECT_EQ(FramesShown(), 181);  // 3 s of 1/60 s frames: the first below zero requests
    TestStep(1);
    EXPECT_EQ(GsmGetCurrentState(), c.next);
    bool match = c.next == GS_MainMenu;
    EXPECT_EQ(gMatch.heroHealth[0], match ? 3 : c.health1);
    EXPECT_EQ(gMatch.heroHealth[1], match ? 3 : c.health2);
    // A round banner hands the full-screen flag to the battle, a match banner to the menu only.
    EXPECT_EQ(ScreenFullscreenFlag(GS_Battle), !match);
    EXPECT_EQ(ScreenFullscreenFlag(GS_MainMenu), match);
    // Every jingle loaded is freed, also a round jingle replaced by a match jingle.
    for (const char* path : {"data/Sound/Vic1.wav", "data/Sound/Vic2.wav", "data/Sound/Match1.wav",
                             "data/Sound/Match2.wav"})
      EXPECT_EQ(gAudio.sounds.count(path), 0u) << path;
    ScreensStop();
  }
  ASSERT_TRUE(ScreensStart(GS_RoundOver));  // for TearDown
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
