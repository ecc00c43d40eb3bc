// The pause menu inside the real battle: opened by either player and steered by the opener
// alone, its wraps, the held screens and the frozen battle they return to, restart, the way back
// to the main menu, the quit question, and a held battle released when the game is quit.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "battle/battle.h"
#include "battle/pause.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "kesound.h"
#include "hpaudio.h"
#include "hpbattle.h"
#include "hpmenus.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "screens/screen.h"
#include "states.h"
#include "battle/board.h"

namespace {

// The whole program plays through the wave backend, so that the clicks can be heard back.
const std::string& MixPath() {
  static std::string path = TestTempPath("pause-mix.wav");
  return path;
}
struct WaveBackend : ::testing::Environment {
  void SetUp() override { TestUseWaveBackend(MixPath()); }
};
::testing::Environment* const gWave = ::testing::AddGlobalTestEnvironment(new WaveBackend);

const int kItemContinue = 1, kItemMenu = 0, kItemHowToPlay = -1,
          kItemRestart = -4, kItemQuit = -5;

// Every number of the battle that a paused update must leave alone.
std::vector<float> BattleSnapshot(size_t objectCount) {
  std::vector<float> v;
  for (size_t i = 0; i < objectCount && i < BoardObjects().objects.size(); ++i) {
    GameObject* o = BoardObjects().objects[i];
    v.insert(v.end(), {o->position.x, o->position.y, o->scale.x, o->rotation, (float)o->color});
    if (Troop* t = AsTroop(o)) v.insert(v.end(), {t->health, t->cooldown, t->swingTimer});
  }
  for (int player = 0; player < 2; ++player) {
    const BattlePlayer& p = BoardPlayer(player);
    for (const SummonSlot& s : p.summonSlots) v.push_back(s.chargeTimer);
    for (const SpellSlot& s : p.spellSlots) v.push_back(s.cooldownTimer);
  }
  return v;
}

// The cursor is the last object of the battle's list while a menu is open.
GameObject* Cursor() { return BoardObjects().objects.back(); }

void PressSpace() {  // without the release update, which would already run the next state
  TestKeyDown(VK_SPACE);
  TestStep(1);
  TestKeyUp(VK_SPACE);
}

class PauseTest : public ::testing::Test {
 protected:
  // Knight with Wind and Meteor against the Orc with Stun and Execute, in a small window.
  void Start(int w = 160, int h = 120, bool pads = false) {
    gMatch = {{Hero_Knight, Hero_Orc}, {{Spell_Wind, Spell_Meteor}, {Spell_Stun, Spell_Execute}},
              {3, 3}, Round_P1Won};
    BoardPlayer(0).spellCursor = BoardPlayer(1).spellCursor = 1;
    ASSERT_TRUE(MenusStart(GS_Battle, w, h));
    musicVolume = music_;
    before_ = MenusLiveCounts();  // nothing of the battle loaded yet
    if (pads) MenusAttachPads(2, pads_);
    ASSERT_TRUE(TestStep(2));
  }
  void TearDown() override {
    if (!stopped_) MenusStop();
  }
  void Stop() {
    MenusStop();
    stopped_ = true;
  }
  void Down(int player, int times) {
    for (int i = 0; i < times; ++i) MenusPress(player == 0 ? (int)'S' : (int)VK_DOWN);
  }
  void ExpectMenuOf(int player, int item) {
    EXPECT_TRUE(PauseIsOpen());
    EXPECT_EQ((PauseOpener() == 0), player == 0);
    EXPECT_EQ((PauseOpener() == 1), player == 1);
    EXPECT_EQ(PauseCursor(player), item);
    EXPECT_EQ(PauseCursor(1 - player), -1);
    EXPECT_FLOAT_EQ(Cursor()->position.x, player == 0 ? -170 : 170);
    EXPECT_FLOAT_EQ(Cursor()->position.y, 70 + 40.0f * item);
  }
  float music_ = 1.0f;
  LiveCounts before_ = {};
  int pads_[2] = {-1, -1};
  bool stopped_ = false;
};

TEST_F(PauseTest, EscOpensOnHowToPlayAndTheBattleComesBackFrozenAsItWas) {
  Start();
  // Troops on both sides, marching, and a lane effect of each hero.
  MenusPress('1');
  MenusPress(VK_NUMPAD0);
  TestStep(40);
  MenusPress('Z');
  MenusPress(VK_NUMPAD0 + 4);
  TestStep(20);
  ASSERT_EQ(BattleTestTroopCount(false) + BattleTestTroopCount(true), 2);
  size_t board = BoardObjects().objects.size();

  TestKeyDown(VK_ESCAPE);
  TestStep(1);
  std::vector<float> paused = BattleSnapshot(board);
  TestKeyUp(VK_ESCAPE);
  ASSERT_EQ(BoardObjects().objects.size(), board + 2);  // the panel and the cursor
  ExpectMenuOf(0, kItemHowToPlay);
  TestStep(60);
  EXPECT_EQ(BattleSnapshot(board), paused) << "a paused second changed the battle";
  MenusPress(VK_ESCAPE);  // the open keys do nothing while a menu is open
  EXPECT_EQ(BoardObjects().objects.size(), board + 2);

  MenusPress(VK_SPACE);
  ASSERT_TRUE(MenusStepUntil(GS_HowToPlay, 3));
  EXPECT_TRUE(holdForHowToPlay && battleOnHold);
  TestStep(30);
  MenusPress(VK_ESCAPE);
  ASSERT_TRUE(MenusStepUntil(GS_Battle, 3));
  TestStep(30);
  EXPECT_EQ(BattleSnapshot(board), paused) << "the visit changed the battle";
  ExpectMenuOf(0, kItemHowToPlay);
  EXPECT_FALSE(battleOnHold);

  // "Continue": the panel and cursor go and the troops march again.
  MenusPress('W');
  MenusPress('W');
  GameObject* cursor = Cursor();
  MenusPress(VK_SPACE);
  EXPECT_FALSE(PauseIsOpen());
  EXPECT_FALSE(cursor->alive);
  TestStep(10);
  EXPECT_NE(BattleSnapshot(board), paused);
}

TEST_F(PauseTest, OnlyTheOpenersKeysSteerTheMenuAndBothEndsWrap) {
  Start(160, 120, true);
  MenusPadPress(pads_[0], PAD_START);  // player 1 opens with Start on the first pad
  ExpectMenuOf(0, kItemHowToPlay);
  size_t objects = BoardObjects().objects.size();
  for (int key : {(int)VK_UP, (int)VK_DOWN, (int)VK_NUMPAD0 + 9}) MenusPress(key);
  for (uint16_t button : {PAD_DPAD_UP, PAD_START, PAD_A}) MenusPadPress(pads_[1], button);
  ExpectMenuOf(0, kItemHowToPlay);
  EXPECT_EQ(BoardObjects().objects.size(), objects) << "a second menu was opened";
  EXPECT_EQ(GsmGetNextState(), GS_Battle);

  // Up from "Continue" wraps to "Quit" and back; every move clicks.
  EXPECT_EQ(BoardChannel(SND_Select), nullptr);
  MenusPadPress(pads_[0], PAD_DPAD_UP);
  MenusPress('W');
  ExpectMenuOf(0, kItemContinue);
  EXPECT_NE(BoardChannel(SND_Select), nullptr);
  MenusPress('W');
  ExpectMenuOf(0, kItemQuit);
  MenusPadPress(pads_[0], PAD_DPAD_DOWN);
  ExpectMenuOf(0, kItemContinue);
  MenusPadPress(pads_[0], PAD_A);  // resumes, and summons nothing
  EXPECT_FALSE(PauseIsOpen());
  EXPECT_EQ(BattleTestTroopCount(false) + BattleTestTroopCount(true), 0);
  MenusPress(VK_NUMPAD0 + 9);  // player 2's menu ignores player 1
  MenusPress('S');
  ExpectMenuOf(1, kItemHowToPlay);
}

TEST_F(PauseTest, RestartKeepsHeroesAndSpellsAtFullHealthAndGoBackToMenuAbandonsTheMatch) {
  Start();
  gMatch.heroHealth[0] = 1;
  gMatch.heroHealth[1] = 2;
  MenusPress('1');
  SpellCastFn cast = BoardPlayer(1).spellSlots[2].cast;
  LiveCounts loaded = MenusLiveCounts();
  MenusPress(VK_ESCAPE);
  Down(0, 3);
  ExpectMenuOf(0, kItemRestart);
  PressSpace();
  EXPECT_EQ(GsmGetNextState(), GS_Restart);
  TestStep(2);
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.heroHealth[1], 3);
  EXPECT_EQ(MenusLiveCounts(), loaded) << "the restart loaded again";
  EXPECT_FALSE(PauseIsOpen());
  EXPECT_EQ(BattleTestTroopCount(false) + BattleTestTroopCount(true), 0);
  EXPECT_EQ(gMatch.hero[1], Hero_Orc);
  EXPECT_NE(cast, nullptr);
  EXPECT_EQ(BoardPlayer(1).spellSlots[2].cast, cast);
  EXPECT_EQ(BoardPlayer(0).energy, 30);

  // The new round can be paused again, and "Go back to menu" abandons the match.
  gMatch.heroHealth[1] = 1;
  MenusPress(VK_NUMPAD0 + 9);
  MenusPress(VK_UP);
  ExpectMenuOf(1, kItemMenu);
  PressSpace();
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
  EXPECT_EQ(gMatch.heroHealth[1], 3);
  ASSERT_TRUE(MenusStepUntil(GS_MainMenu, 3));
}

TEST_F(PauseTest, QuitAsksAndNoReturnsToQuitWhileYesEndsTheProgram) {
  Start();
  MenusPress('P');
  Down(0, 4);
  ExpectMenuOf(0, kItemQuit);
  MenusPress(VK_SPACE);
  ASSERT_TRUE(PauseQuestionShown());
  MenusPress('W');
  EXPECT_EQ(PauseQuestionCursor(0), -1);
  MenusPress(VK_SPACE);  // "No"
  EXPECT_FALSE(PauseQuestionShown());
  ExpectMenuOf(0, kItemQuit);

  MenusPress(VK_SPACE);
  EXPECT_EQ(PauseQuestionCursor(0), 0);
  PressSpace();  // "Yes": the run ends after the battle's leaving phase
  EXPECT_EQ(GsmGetNextState(), GS_Quit);
  EXPECT_FALSE(TestStep(1));
  EXPECT_EQ(MenusLiveCounts(), before_);
  Stop();
}

TEST_F(PauseTest, AltF4FromSettingsOverTheHeldBattleReleasesIt) {
  Start();
  MenusPress(VK_ESCAPE);
  Down(0, 1);
  MenusPress(VK_SPACE);
  ASSERT_TRUE(MenusStepUntil(GS_Settings, 3));
  EXPECT_TRUE(holdForSettings);
  MenusAltF4();
  EXPECT_FALSE(TestStep(1));
  EXPECT_FALSE(holdForSettings);
  EXPECT_EQ(MenusLiveCounts(), before_);
  Stop();
  EXPECT_TRUE(TestMessageBoxes().empty());  // no leak report
}

TEST_F(PauseTest, EveryMoveIsHeardWhileTheBattleIsPaused) {
  music_ = 0;  // the clicks are all there is to hear
  Start();
  MenusPress(VK_ESCAPE);
  // Frames in real time, for the backend mixes in real time.
  auto runFor = [](double seconds) {
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() <
           seconds) {
      TestStep(1);
      usleep(10000);
    }
  };
  runFor(0.4);
  MenusPress('S');
  runFor(0.6);
  Stop();
  TestMix mix;
  ASSERT_TRUE(TestReadMix(MixPath(), &mix));
  double loudest = 0;
  for (double t = 0; t < mix.Seconds(); t += 0.05) loudest = std::max(loudest, mix.Rms(t, t + 0.1));
  EXPECT_GT(loudest, 0.05) << "the paused battle silenced its own click";
}

// Slots come back to the pool once their sound ended and are handed out again, so references of
// ended sounds point at whatever plays there now. Ending a sound here stops its voice, as its
// last sample would.
TEST_F(PauseTest, StaleSlotsNeitherSilenceTheClickNorKeepAGoalSoundPlaying) {
  Start();
  // A spell sound cast and ended before the pause: the click takes its slot.
  ChannelSlot* wind = BoardPlay(SND_Wind);
  ASSERT_NE(wind, nullptr);
  SndChannelStop(wind->channel);
  TestStep(1);
  MenusPress(VK_ESCAPE);
  MenusPress('W');
  ASSERT_EQ(BoardChannel(SND_Select), wind);
  EXPECT_TRUE(SndChannelIsPlaying(wind->channel));
  EXPECT_FALSE(SndChannelIsPaused(wind->channel)) << "the ended spell's reference paused the click";

  // The click ends, "Continue" resumes, and a goal sound takes the click's slot: the next pause
  // must hold the goal sound although the click's reference points there too.
  SndChannelStop(wind->channel);
  MenusPress('W');  // onto "Continue"
  ChannelSlot* click = BoardChannel(SND_Select);
  SndChannelStop(click->channel);
  MenusPress(VK_SPACE);
  ASSERT_FALSE(PauseIsOpen());
  ASSERT_EQ(BoardPlay(SND_Goal), click);
  MenusPress(VK_ESCAPE);
  ASSERT_TRUE(PauseIsOpen());
  EXPECT_TRUE(SndChannelIsPaused(click->channel)) << "the stale click reference kept the goal sound playing";
}

}  // namespace
