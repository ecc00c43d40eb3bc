// Hero and spell selection on the real screens: turns, the grid toggles, the troop page, the
// two-step spell choice, the marks, and the selection music across both screens.
#include <gtest/gtest.h>

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "kesound.h"
#include "hpscreens.h"
#include "hptest.h"
#include "keinput.h"
#include "screens/heroselect.h"
#include "screens/screen.h"
#include "states.h"
#include "screens/book.h"

namespace {

const unsigned kBlueMark = 0x0000FF, kOrangeMark = 0xFF9F00;
const float kPi = 3.14159274f;

// Pixels of a player's mark colour in the lower half of a mark on a cell (x, y where the mark's
// text starts), clear of the arrows.
int MarkPixels(float x, float y, unsigned rgb) {
  TestCaptureFrames(true);
  TestStep(1);
  TestCaptureFrames(false);
  return ScreensCountPixels(x, y, x + 30, y + 20, rgb, 40);
}
GameObject* Arrow(GameStateId screen, int player) {
  return ScreensObject(screen, player ? "data/arrow2.png" : "data/arrow.png");
}
// The hero whose troop page is shown; 0 when none or several are.
HeroId TroopPage() {
  const char* pages[] = {"data/SelectionKnightTroops.png", "data/SelectionMageTroops.png",
                         "data/SelectionOrcTroops.png", "data/SelectionDruidTroops.png"};
  const HeroId heroes[] = {Hero_Knight, Hero_Mage, Hero_Orc, Hero_Druid};
  HeroId shown = 0;
  int count = 0;
  for (int i = 0; i < 4; ++i)
    if (!ScreensObjects(GS_HeroSelect, pages[i]).empty()) shown = heroes[i], ++count;
  return count == 1 ? shown : 0;
}

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gMatch.hero[0] = gMatch.hero[1] = Hero_Druid;
    ASSERT_TRUE(ScreensStart(GS_HeroSelect, false, 800, 600));  // the whole board at scale 1
    ASSERT_TRUE(TestStep(1));
  }
  void TearDown() override { ScreensStop(); }
};

TEST_F(SelectionTest, KeysMoveOnlyTheActiveCursorToggleColumnsAndRowsAndTheTroopPageFollows) {
  GameObject* arrow = Arrow(GS_HeroSelect, 0);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(TroopPage(), Hero_Knight);
  ScreensPress(VK_RIGHT);  // player 2's keys do nothing yet
  ScreensPress(VK_DOWN);
  EXPECT_EQ(gMatch.hero[1], Hero_Knight);
  ScreensPress('D');
  EXPECT_EQ(gMatch.hero[0], Hero_Mage);
  EXPECT_EQ(TroopPage(), Hero_Mage);
  EXPECT_EQ(arrow->position.x, -70);
  EXPECT_EQ(arrow->rotation, kPi);
  ScreensPress('D');
  EXPECT_EQ(gMatch.hero[0], Hero_Knight) << "either key moves to the other column";
  EXPECT_EQ(arrow->position.x, -350);
  ScreensPress('A');
  ScreensPress('S');
  EXPECT_EQ(gMatch.hero[0], Hero_Druid);
  EXPECT_EQ(TroopPage(), Hero_Druid);
  EXPECT_EQ(arrow->position.y, -10);
  ScreensPress(VK_SPACE);

  ScreensPress('W');  // player 1's keys are done
  EXPECT_EQ(gMatch.hero[0], Hero_Druid);
  EXPECT_EQ(TroopPage(), Hero_Knight);  // player 2's cursor
  ScreensPress(VK_DOWN);
  EXPECT_EQ(gMatch.hero[1], Hero_Orc);
  EXPECT_EQ(TroopPage(), Hero_Orc);
  EXPECT_GT(MarkPixels(-190, -170, kBlueMark), 50) << "player 1's mark on the Druid";
  EXPECT_EQ(MarkPixels(-140, -170, kOrangeMark), 0) << "player 2 has not chosen";
  ScreensSaveShot("heroes");
}

TEST_F(SelectionTest, TwoKnightsThenWindAndMeteorForEachAndTheMusicEndsWithTheSelection) {
  EXPECT_EQ(gMatch.hero[0], Hero_Knight);
  ASSERT_NE(BookMusicChannel(), nullptr);
  ChannelSlot* music = BookMusicChannel();
  ScreensPress(VK_SPACE);
  EXPECT_TRUE(!ScreensShown(Arrow(GS_HeroSelect, 0)) && ScreensShown(Arrow(GS_HeroSelect, 1)));
  ScreensPress(VK_SPACE);
  ASSERT_EQ(GsmGetCurrentState(), GS_SpellSelect);
  EXPECT_EQ(gMatch.hero[0], Hero_Knight);
  EXPECT_EQ(gMatch.hero[1], Hero_Knight);
  EXPECT_TRUE(SndChannelIsPlaying(music->channel)) << "the music plays on into spell selection";

  for (int i = 0; i < 4; ++i) ScreensPress(VK_SPACE);
  EXPECT_EQ(gMatch.spells[0][0], Spell_Wind);
  EXPECT_EQ(gMatch.spells[0][1], Spell_Wind) << "the second choice starts on the first";
  EXPECT_TRUE(ScreensShown(Arrow(GS_SpellSelect, 0))) << "player 1 is still choosing";
  EXPECT_EQ(gMatch.spells[1][1], Spell_None);
  ScreensPress('S');
  EXPECT_EQ(gMatch.spells[0][0], Spell_Wind) << "moving writes only the slot being chosen";
  EXPECT_EQ(gMatch.spells[0][1], Spell_Meteor);
  ScreensPress(VK_SPACE);
  ASSERT_TRUE(ScreensShown(Arrow(GS_SpellSelect, 1)));

  GameObject* arrow2 = Arrow(GS_SpellSelect, 1);
  ScreensPress('D');  // player 1's keys are done
  ScreensPress(VK_RIGHT);
  EXPECT_EQ(arrow2->position.x, -130);
  EXPECT_EQ(gMatch.spells[1][0], Spell_Stun);
  ScreensPress(VK_SPACE);
  ScreensPress(VK_LEFT);
  EXPECT_EQ(arrow2->position.x, -270) << "player 2's left column stands further right";
  ScreensPress(VK_DOWN);
  EXPECT_EQ(gMatch.spells[1][1], Spell_Meteor);
  EXPECT_GT(MarkPixels(-330, 230, kBlueMark), 50) << "player 1's 1 on Wind";
  EXPECT_GT(MarkPixels(-330, -170, kBlueMark), 50) << "player 1's 2 on Meteor";
  EXPECT_GT(MarkPixels(-140, 230, kOrangeMark), 50) << "player 2's 1 on Stun";
  EXPECT_EQ(MarkPixels(-280, -170, kOrangeMark), 0) << "player 2's second is not fixed";
  ScreensSaveShot("spells");
  // Each description ends left of the small spell icons (from x = 295), however long its lines.
  EXPECT_EQ(ScreensCountPixels(286, -80, 294, 210, 0x000000, 60), 0) << "a description runs into the icons";

  ScreensPress(VK_SPACE);
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(gMatch.spells[1][1], Spell_Meteor);
  EXPECT_EQ(BookMusicChannel(), nullptr);
  EXPECT_EQ(gAudio.sounds.count("data/Sound/Pause.wav"), 0u);
}

}  // namespace
