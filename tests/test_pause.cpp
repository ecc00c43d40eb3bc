// The pause menu in the real battle: it freezes the battle and Continue resumes it where it
// stood; only the opener steers; restart, back to the menu, the quit question; clicks and mute.
#include "battle/pause.h"
#include "hp.h"

namespace {

// The whole program plays through the wave backend (before any OpenAL call) to hear the clicks.
const std::string kMix = HpTempPath("pause-mix.wav");
const bool gWave = (HpUseWaveBackend(kMix), true);

// Every number of the battle that a paused update must leave alone.
std::vector<float> Snapshot() {
  std::vector<float> v;
  for (GameObject* o : BoardObjects().objects)
    v.insert(v.end(), {o->position.x, o->position.y, o->scale.x, (float)o->color,
                       AsTroop(o) ? AsTroop(o)->health : 0});
  for (int player = 0; player < 2; ++player) {
    for (const SummonSlot& s : BoardPlayer(player).summonSlots) v.push_back(s.chargeTimer);
    for (const SpellSlot& s : BoardPlayer(player).spellSlots) v.push_back(s.cooldownTimer);
  }
  return v;
}

class Pause : public ::testing::Test {
 protected:
  void SetUp() override {  // Knight with Wind and Meteor against the Orc with Stun and Execute
    gMatch = {{Hero_Knight, Hero_Orc}, {{Spell_Wind, Spell_Meteor}, {Spell_Stun, Spell_Execute}},
              {3, 3}, Round_P1Won};
    ASSERT_TRUE(started_ = HpStart(GS_Battle, 160, 120));
    before_ = HpLiveNow();  // nothing of the battle loaded yet
    ASSERT_TRUE(HpStep(2));
  }
  void TearDown() override { if (started_) HpStop(); }
  HpLive before_ = {}; bool started_ = false;
};

TEST_F(Pause, FreezesTheBattleThroughAVisitAndContinueResumesItWhereItStood) {
  Troop* marcher = HpTroop(Golem, -1, false, -250, false);
  HpPress(VK_NUMPAD0 + 4);  // the Orc's poison on its lane
  float x = marcher->position.x;
  HpStep(10);
  float stride = marcher->position.x - x;
  ASSERT_GT(stride, 0);
  HpPress({VK_ESCAPE});
  std::vector<float> paused = Snapshot();
  HpStep(60);
  EXPECT_EQ(Snapshot(), paused) << "a paused second changed the battle";
  HpPress(VK_SPACE);  // opens on "How to play", over the held battle
  ASSERT_TRUE(HpStepUntil(GS_HowToPlay, 30));
  HpPress({VK_ESCAPE});
  ASSERT_TRUE(HpStepUntil(GS_Battle, 3));
  EXPECT_EQ(Snapshot(), paused) << "the visit changed the battle";
  x = marcher->position.x;
  HpPress({'W', 'W', VK_SPACE});  // "Continue"
  HpStep(9);
  EXPECT_NEAR(marcher->position.x - x, stride, stride * 0.15) << "not marching on as it was";
}

TEST_F(Pause, OnlyTheOpenerSteersAndWrapsRestartBeginsAfreshAndBackToMenuLeaves) {
  gMatch.heroHealth[0] = 1;
  HpLive loaded = HpLiveNow();
  int pad1 = HpPadAttach(), pad2 = HpPadAttach();
  HpPadPress(pad1, PAD_START);
  ASSERT_EQ(PauseOpener(), 0);
  HpPress({VK_UP, VK_DOWN, VK_NUMPAD0 + 9});
  for (uint16_t button : {PAD_DPAD_UP, PAD_START, PAD_A}) HpPadPress(pad2, button);
  EXPECT_EQ(PauseCursor(0), -1) << "moved off \"How to play\" by another";
  HpPadPress(pad1, PAD_DPAD_UP);
  HpPress({'W', 'W'});  // past "Continue" onto "Quit"
  EXPECT_EQ(PauseCursor(0), -5);
  HpPadPress(pad1, PAD_DPAD_DOWN);
  HpPadPress(pad1, PAD_A);
  EXPECT_EQ(HpTroopCount(false), 0) << "the A that resumed also summoned";
  HpPress('1');
  HpPress({VK_NUMPAD0 + 9, 'S', VK_DOWN, VK_DOWN, VK_DOWN, VK_SPACE});  // S: not player 2's
  HpStep(2);
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(HpTroopCount(false), 0);
  EXPECT_TRUE(HpLiveNow() == loaded) << "the restart loaded again";
  HpPress({'P', 'W', VK_SPACE});  // "Go back to menu"
  EXPECT_TRUE(HpStepUntil(GS_MainMenu, 3));
}

TEST_F(Pause, QuitAsksAndNoGoesBackWhileYesEndsTheRunReleasingAll) {
  HpPress({'P', 'S', 'S', 'S', 'S', VK_SPACE});
  ASSERT_TRUE(PauseQuestionShown());
  HpPress({'W', VK_SPACE});  // "No"
  EXPECT_FALSE(PauseQuestionShown());
  HpPress(VK_SPACE);
  EXPECT_EQ(PauseQuestionCursor(0), 0) << "asks with \"Yes\" under the cursor";
  HpPress(VK_SPACE);
  EXPECT_FALSE(HpStep(1)) << "the run did not end";
  EXPECT_TRUE(HpLiveNow() == before_) << "the battle was not released";
}

// Muted from the settings over the paused battle, its clicks and the settings' own fall silent.
TEST_F(Pause, EveryMoveIsHeardWhilePausedAndNothingOnceMuted) {
  musicVolume = 0;  // the clicks are all there is to hear
  HpPress(VK_ESCAPE);
  HpMixFor(0.4, true);
  double heard = HpMixClock();
  HpPress({'S', VK_SPACE});  // "Settings"
  ASSERT_TRUE(HpStepUntil(GS_Settings, 3));
  HpMixFor(0.4, true);
  HpPress({VK_UP, VK_UP, VK_RIGHT});  // the mute row, above the music row
  ASSERT_TRUE(muted);
  double mutedAt = HpMixClock() + 0.05;  // the mute's own mixing period passed
  HpPress({VK_DOWN, VK_DOWN, VK_LEFT, VK_ESCAPE});  // a sound step, then back
  ASSERT_TRUE(HpStepUntil(GS_Battle, 3));
  HpPress('W');
  HpMixFor(0.6, true);
  double end = HpMixClock() - 0.2;  // the file may still lack what the mixer buffered
  HpMix mix;
  ASSERT_TRUE(HpReadMix(kMix, &mix) && mix.Seconds() >= end);
  double click = mix.Rms(heard, heard + 0.25);
  EXPECT_GT(click, 0.02) << "the paused battle silenced its own click";
  EXPECT_LT(mix.Rms(mutedAt, end), click * 0.02) << "heard while muted";
}

}  // namespace
