// Hero and spell selection on the real screens: turns, the grid toggles, the troop page, the
// two-step spell choice, the marks, the pads, and the selection music across both screens.
#include <gtest/gtest.h>

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/sounddevice.h"
#include "hppad.h"
#include "hpscreens.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"
#include "screens/heroselect.h"
#include "screens/screen.h"

namespace {

const unsigned kBlueMark = 0x0000FF, kOrangeMark = 0xFF9F00;
const float kPi = 3.14159274f, kHalfPi = 1.5707964f;

class SelectionTest : public ::testing::Test {
 protected:
  void Start(GameStateId screen) {
    ASSERT_TRUE(ScreensStart(screen));
    ASSERT_TRUE(TestStep(1));
  }
  void TearDown() override {
    TestPadDetachAll();
    ScreensStop();
  }
  void Capture() {
    TestCaptureFrames(true);
    TestStep(1);
    TestCaptureFrames(false);
  }
  // Pixels of a player's mark colour in the lower half of a mark on a cell (x, y where the
  // mark's text starts), clear of the arrows.
  int MarkPixels(float x, float y, unsigned rgb) { return ScreensCountPixels(x, y, x + 30, y + 20, rgb, 40); }

  GameObject* HeroArrow(int player) {
    return ScreensObject(GS_HeroSelect, player ? "data/arrow2.png" : "data/arrow.png");
  }
  GameObject* SpellArrow(int player) {
    return ScreensObject(GS_SpellSelect, player ? "data/arrow2.png" : "data/arrow.png");
  }
  // The hero whose troop page is shown; 0 when none or several are.
  HeroId TroopPage() {
    const struct {
      const char* path;
      HeroId hero;
    } pages[] = {{"data/SelectionKnightTroops.png", Hero_Knight},
                 {"data/SelectionMageTroops.png", Hero_Mage},
                 {"data/SelectionOrcTroops.png", Hero_Orc},
                 {"data/SelectionDruidTroops.png", Hero_Druid}};
    HeroId shown = 0;
    int count = 0;
    for (const auto& page : pages)
      if (!ScreensObjects(GS_HeroSelect, page.path).empty()) {
        shown = page.hero;
        ++count;
      }
    return count == 1 ? shown : 0;
  }
};

// ---- hero selection -----------------------------------------------------------------------------

TEST_F(SelectionTest, SpaceTwiceGivesTwoKnightsAndTheSpellSelection) {
  gMatch.hero[0] = gMatch.hero[1] = Hero_Druid;
  Start(GS_HeroSelect);
  EXPECT_EQ(gMatch.hero[0], Hero_Knight);
  EXPECT_EQ(gMatch.hero[1], Hero_Knight);
  ASSERT_NE(selectionChannel, nullptr);
  ChannelSlot* music = selectionChannel;
  EXPECT_TRUE(music->looping);

  ScreensPress(VK_SPACE);
  EXPECT_FALSE(ScreensShown(HeroArrow(0)));
  EXPECT_TRUE(ScreensShown(HeroArrow(1)));
  EXPECT_EQ(GsmGetCurrentState(), GS_HeroSelect);
  ScreensPress(VK_F11);  // to a window: the spell selection must draw at the window's scale
  EXPECT_FALSE(ScreenFullscreenFlag(GS_HeroSelect));
  ScreenFullscreenFlag(GS_SpellSelect) = true;
  ScreensPress(VK_SPACE);
  EXPECT_EQ(GsmGetCurrentState(), GS_SpellSelect);
  EXPECT_FALSE(ScreenFullscreenFlag(GS_SpellSelect));
  EXPECT_EQ(gMatch.hero[0], Hero_Knight);
  EXPECT_EQ(gMatch.hero[1], Hero_Knight);
  EXPECT_TRUE(SndChannelIsPlaying(music->channel)) << "the music plays on into spell selection";
  EXPECT_EQ(gAudio.sounds.count("data/Sound/Pause.wav"), 1u);
}

TEST_F(SelectionTest, KeysMoveOnlyTheActivePlayersCursorAndToggleColumnsAndRows) {
  Start(GS_HeroSelect);
  GameObject* arrow = HeroArrow(0);
  ASSERT_NE(arrow, nullptr);
  ScreensPress(VK_RIGHT);  // player 2's keys do nothing yet
  ScreensPress(VK_DOWN);
  EXPECT_EQ(gMatch.hero[0], Hero_Knight);
  EXPECT_EQ(gMatch.hero[1], Hero_Knight);

  ScreensPress('D');
  EXPECT_EQ(gMatch.hero[0], Hero_Mage);
  EXPECT_EQ(arrow->position.x, -70);
  EXPECT_EQ(arrow->rotation, kPi);
  ScreensPress('D');
  EXPECT_EQ(gMatch.hero[0], Hero_Knight) << "either key moves to the other column";
  EXPECT_EQ(arrow->position.x, -350);
  EXPECT_EQ(arrow->rotation, 0);
  ScreensPress('A');
  ScreensPress('S');
  EXPECT_EQ(gMatch.hero[0], Hero_Druid);
  EXPECT_EQ(arrow->position.y, -10);
  ScreensPress('W');
  EXPECT_EQ(gMatch.hero[0], Hero_Mage);
  EXPECT_EQ(arrow->position.y, 150);
  ScreensPress(VK_SPACE);

  ScreensPress('S');  // player 1's keys are done
  EXPECT_EQ(gMatch.hero[0], Hero_Mage);
  EXPECT_EQ(gMatch.hero[1], Hero_Knight);
  ScreensPress(VK_DOWN);
  ScreensPress(VK_LEFT);
  EXPECT_EQ(gMatch.hero[1], Hero_Druid);
  EXPECT_EQ(HeroArrow(1)->position.x, -70);
  EXPECT_EQ(HeroArrow(1)->position.y, -10);
  EXPECT_EQ(gMatch.hero[0], Hero_Mage);
}

TEST_F(SelectionTest, TroopPageFollowsTheActiveCursor) {
  Start(GS_HeroSelect);
  EXPECT_EQ(TroopPage(), Hero_Knight);
  ScreensPress('D');
  EXPECT_EQ(TroopPage(), Hero_Mage);
  ScreensPress('S');
  EXPECT_EQ(TroopPage(), Hero_Druid);
  ScreensPress(VK_SPACE);  // player 1 takes the Druid; player 2's cursor is on the Knight
  EXPECT_EQ(TroopPage(), Hero_Knight);
  ScreensPress(VK_DOWN);
  EXPECT_EQ(TroopPage(), Hero_Orc);
  Capture();
  ScreensSaveShot("heroes");
  EXPECT_GT(MarkPixels(-190, -170, kBlueMark), 50) << "player 1's mark on the Druid";
  EXPECT_EQ(MarkPixels(-140, -170, kOrangeMark), 0) << "player 2 has not chosen";
  EXPECT_EQ(MarkPixels(-330, -170, kBlueMark), 0);
}

TEST_F(SelectionTest, PadsChooseHeroesEachInTurn) {
  int pads[2] = {TestPadAttach("Pad One"), TestPadAttach("Pad Two")};
  InputReset();
  Start(GS_HeroSelect);
  ScreensPadPress(pads[1], PAD_DPAD_RIGHT);
  EXPECT_EQ(gMatch.hero[1], Hero_Knight) << "pad 2 waits for player 1";
  ScreensPadPress(pads[0], PAD_DPAD_DOWN);
  EXPECT_EQ(gMatch.hero[0], Hero_Orc);
  ScreensPadPress(pads[1], PAD_A);
  EXPECT_EQ(GsmGetNextState(), GS_HeroSelect);
  ScreensPadPress(pads[0], PAD_A);
  ScreensPadPress(pads[0], PAD_DPAD_RIGHT);
  EXPECT_EQ(gMatch.hero[1], Hero_Knight) << "pad 1 is done";
  ScreensPadPress(pads[1], PAD_DPAD_RIGHT);
  EXPECT_EQ(gMatch.hero[1], Hero_Mage);
  ScreensPadPress(pads[1], PAD_A);
  EXPECT_EQ(GsmGetCurrentState(), GS_SpellSelect);
  EXPECT_EQ(gMatch.hero[0], Hero_Orc);
  EXPECT_EQ(gMatch.hero[1], Hero_Mage);
}

// ---- spell selection ----------------------------------------------------------------------------

TEST_F(SelectionTest, FourSpacesFixOnlyPlayerOnesFirstSpell) {
  Start(GS_SpellSelect);
  EXPECT_EQ(gMatch.spells[0][0], Spell_Wind);
  EXPECT_EQ(gMatch.spells[0][1], Spell_None);
  for (int i = 0; i < 4; ++i) ScreensPress(VK_SPACE);
  EXPECT_EQ(gMatch.spells[0][0], Spell_Wind);
  EXPECT_EQ(gMatch.spells[0][1], Spell_Wind) << "the second choice starts on the first";
  EXPECT_TRUE(ScreensShown(SpellArrow(0))) << "player 1 is still choosing";
  EXPECT_FALSE(ScreensShown(SpellArrow(1)));
  EXPECT_EQ(gMatch.spells[1][0], Spell_Wind);
  EXPECT_EQ(gMatch.spells[1][1], Spell_None);
  EXPECT_EQ(GsmGetNextState(), GS_SpellSelect);
}

TEST_F(SelectionTest, WindThenDownGivesWindAndMeteorAndPlayerTwoFollows) {
  Start(GS_SpellSelect);
  GameObject* arrow = SpellArrow(0);
  ScreensPress(VK_SPACE);
  ScreensPress('S');
  EXPECT_EQ(arrow->position.y, -120);
  EXPECT_EQ(arrow->rotation, kHalfPi);
  EXPECT_EQ(gMatch.spells[0][0], Spell_Wind) << "moving writes only the slot being chosen";
  EXPECT_EQ(gMatch.spells[0][1], Spell_Meteor);
  ScreensPress(VK_SPACE);
  EXPECT_FALSE(ScreensShown(arrow));
  ASSERT_TRUE(ScreensShown(SpellArrow(1)));

  GameObject* arrow2 = SpellArrow(1);
  ScreensPress('D');  // player 1's keys are done
  EXPECT_EQ(gMatch.spells[1][0], Spell_Wind);
  ScreensPress(VK_RIGHT);
  EXPECT_EQ(arrow2->position.x, -130);
  EXPECT_EQ(gMatch.spells[1][0], Spell_Stun);
  ScreensPress(VK_SPACE);
  ScreensPress(VK_LEFT);
  EXPECT_EQ(arrow2->position.x, -270) << "player 2's left column stands further right";
  EXPECT_EQ(gMatch.spells[1][1], Spell_Wind);
  ScreensPress(VK_DOWN);
  EXPECT_EQ(gMatch.spells[1][1], Spell_Meteor);
  Capture();
  ScreensSaveShot("spells");
  EXPECT_GT(MarkPixels(-330, 230, kBlueMark), 50) << "player 1's 1 on Wind";
  EXPECT_GT(MarkPixels(-330, -170, kBlueMark), 50) << "player 1's 2 on Meteor";
  EXPECT_EQ(MarkPixels(-190, 230, kBlueMark), 0);
  EXPECT_GT(MarkPixels(-140, 230, kOrangeMark), 50) << "player 2's 1 on Stun";
  EXPECT_EQ(MarkPixels(-280, -170, kOrangeMark), 0) << "player 2's second is not fixed";

  ScreensPress(VK_SPACE);
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(gMatch.spells[0][0], Spell_Wind);
  EXPECT_EQ(gMatch.spells[0][1], Spell_Meteor);
  EXPECT_EQ(gMatch.spells[1][0], Spell_Stun);
  EXPECT_EQ(gMatch.spells[1][1], Spell_Meteor);
}

TEST_F(SelectionTest, LeavingSpellSelectionEndsAndFreesTheSelectionMusic) {
  Start(GS_HeroSelect);
  ScreensPress(VK_SPACE);
  ScreensPress(VK_SPACE);
  ASSERT_EQ(GsmGetCurrentState(), GS_SpellSelect);
  ASSERT_NE(selectionChannel, nullptr);
  int pad = TestPadAttach();
  InputReset();
  for (int player = 0; player < 2; ++player) {
    ScreensPress(VK_SPACE);
    ScreensPadPress(pad, PAD_DPAD_DOWN);  // pad 1 moves only player 1
    if (player == 1) ScreensPress(VK_DOWN);
    ScreensPress(VK_SPACE);
  }
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(gMatch.spells[1][1], Spell_Meteor);
  EXPECT_EQ(selectionChannel, nullptr);
  EXPECT_EQ(gAudio.sounds.count("data/Sound/Pause.wav"), 0u);
}

}  // namespace
