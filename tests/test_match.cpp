// A whole match by keyboard on the real game: the menu, hero and spell selection, three rounds
// won by player 1's troops, the results after each, and back to the menu.
#include <gtest/gtest.h>

#include "battle/match.h"
#include "framework/gameobject.h"
#include "hpscreens.h"
#include "hptest.h"
#include "keinput.h"
#include "screens/mainmenu.h"
#include "screens/screen.h"
#include "troops/troop.h"
#include "states.h"

namespace {

// Frames until the current state is no longer `from`, at most limit.
int StepWhileIn(GameStateId from, int limit) {
  int frames = 0;
  while (GsmGetCurrentState() == from && frames < limit && TestStep(1)) ++frames;
  return frames;
}

int LivingTroops() {
  int count = 0;
  for (GameObject* o : ObjectListOf(GS_Battle)->objects) {
    Troop* t = AsTroop(o);
    count += t && t->alive;
  }
  return count;
}

TEST(MatchTest, MenuSelectionThreeRoundsResultsAndBackToTheMenu) {
  MainMenuReplayLogos();
  ASSERT_TRUE(ScreensStart(GS_MainMenu, false));  // small: some six thousand frames are drawn
  TestKeyDown(VK_SPACE);  // past the logos
  TestStep(1);
  TestKeyUp(VK_SPACE);
  TestStep(1);
  ScreensPress(VK_RETURN);
  ASSERT_EQ(GsmGetCurrentState(), GS_HeroSelect);

  ScreensPress('D');  // player 1: Mage
  ScreensPress(VK_SPACE);
  ScreensPress(VK_DOWN);  // player 2: Orc
  ScreensPress(VK_SPACE);
  ASSERT_EQ(GsmGetCurrentState(), GS_SpellSelect);
  for (int player = 0; player < 2; ++player) {
    ScreensPress(VK_SPACE);
    ScreensPress(player ? (int)VK_RIGHT : 'D');
    ScreensPress(VK_SPACE);
  }
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(gMatch.hero[0], Hero_Mage);
  EXPECT_EQ(gMatch.hero[1], Hero_Orc);
  EXPECT_EQ(gMatch.spells[0][1], Spell_Stun);
  EXPECT_EQ(gMatch.spells[1][1], Spell_Stun);

  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
    ScreensPress('1');  // player 1 summons slot A into the middle lane; player 2 does nothing
    ASSERT_EQ(LivingTroops(), 1);
    // The troop marches from its start to the far goal line, then the round ends 2 s later.
    int frames = StepWhileIn(GS_Battle, 3000);
    EXPECT_GT(frames, 1000);
    EXPECT_LT(frames, 2600);
    ASSERT_EQ(GsmGetCurrentState(), GS_RoundOver);
    EXPECT_EQ(gMatch.heroHealth[0], 3);
    EXPECT_EQ(gMatch.heroHealth[1], 3 - round);
    EXPECT_EQ(gMatch.roundWinner, Round_P1Won);
    EXPECT_EQ(ScreensObjects(GS_RoundOver, "data/MatchOverP1.png").size(), round == 3 ? 1u : 0u);
    EXPECT_NEAR(StepWhileIn(GS_RoundOver, 400), 181, 2);
  }
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.heroHealth[1], 3);
  EXPECT_FALSE(ScreensShown(ScreensObject(GS_MainMenu, "data/MVLogo.png")));
  ScreensStop();
}

}  // namespace
