// Round and match results on the real screen: banner, portrait and frame by the result, the
// jingle by the result, the three seconds, and where the game goes next.
#include <gtest/gtest.h>

#include <string>

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "kesound.h"
#include "hpscreens.h"
#include "hptest.h"
#include "kegraphics.h"
#include "screens/roundover.h"
#include "screens/screen.h"
#include "states.h"

namespace {

// Texture names of the objects in drawing order.
std::vector<std::string> Pictures() {
  std::vector<std::string> names;
  for (GameObject* o : ObjectListOf(GS_RoundOver)->objects)
    names.push_back(o->texture ? o->texture->name : "none");
  return names;
}

// The result screen as the battle leaves it, after its first frame. Player 1 plays the Mage,
// player 2 the Orc.
bool Enter(RoundResult winner, int health1, int health2) {
  gMatch.hero[0] = Hero_Mage;
  gMatch.hero[1] = Hero_Orc;
  gMatch.roundWinner = winner;
  gMatch.heroHealth[0] = health1;
  gMatch.heroHealth[1] = health2;
  return ScreensStart(GS_RoundOver) && TestStep(1);
}

// The round that ends a match leaves roundWinner as the round before set it, so its banner lies
// under the match banner.
TEST(RoundOverTest, BannerPortraitFrameJingleAndNextScreenFollowTheResult) {
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shot);
    ASSERT_TRUE(Enter(c.winner, c.health1, c.health2));
    ScreenFullscreenFlag(GS_Battle) = ScreenFullscreenFlag(GS_MainMenu) = false;
    EXPECT_EQ(Pictures(), c.pictures);
    EXPECT_EQ(RoundOverJingle() ? RoundOverJingle()->path : "none", c.jingle);
    EXPECT_EQ(RoundOverChannel() && SndChannelIsPlaying(RoundOverChannel()->channel), c.jingle != "none");
    TestCaptureFrames(true);
    TestStep(1);
    ScreensSaveShot(c.shot);
    TestCaptureFrames(false);
    ScreensShrinkWindow();  // the wait draws fast

    int frames = 2;
    for (; GsmGetNextState() == GS_RoundOver && frames < 400; ++frames) TestStep(1);
    EXPECT_EQ(frames, 181);  // 3 s of 1/60 s frames: the first below zero requests
    TestStep(1);
    EXPECT_EQ(GsmGetCurrentState(), c.next);
    bool match = c.next == GS_MainMenu;
    EXPECT_EQ(gMatch.heroHealth[0], match ? 3 : c.health1);
    EXPECT_EQ(gMatch.heroHealth[1], match ? 3 : c.health2);
    // A round banner hands the full-screen flag to the battle, a match banner to the menu only.
    EXPECT_EQ(ScreenFullscreenFlag(GS_Battle), !match);
    EXPECT_EQ(ScreenFullscreenFlag(GS_MainMenu), match);
    for (const char* jingle : {"data/Sound/Vic1.wav", "data/Sound/Vic2.wav", "data/Sound/Match1.wav",
                               "data/Sound/Match2.wav"})  // also one replaced by a match jingle
      EXPECT_EQ(gAudio.sounds.count(jingle), 0u) << jingle;
    ScreensStop();
  }
  // A result with no banner must not read the last visit's banner, freed long since.
  ScreenFullscreenFlag(GS_Battle) = false;
  ASSERT_TRUE(Enter((RoundResult)7, 2, 2));
  EXPECT_TRUE(Pictures().empty());
  for (int i = 0; i < 200 && GsmGetNextState() == GS_RoundOver; ++i) TestStep(1);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  EXPECT_FALSE(ScreenFullscreenFlag(GS_Battle));
  ScreensStop();
}

}  // namespace
