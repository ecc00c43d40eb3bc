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
#include "hpaudio.h"
#include "hpmenus.h"
#include "hppad.h"
#include "hptest.h"
#include "kegraphics.h"
#include "keinput.h"
#include "keos.h"
#include "screens/screen.h"

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

// Frames in real time, for the backend mixes in real time.
void RunFor(double seconds) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point start = Clock::now();
  while (std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
    TestStep(1);
    usleep(10000);
  }
}

// Tests that read no pixels run in a small window that draws fast.
const struct { int w, h; } kSmall = {160, 120};

const int kItemContinue = 1, kItemMenu = 0, kItemHowToPlay = -1, kItemSettings = -2,
          kItemRestart = -4, kItemQuit = -5;

float ItemY(int item) { return 70 + 40.0f * item; }

// Every number of the battle that a paused update must leave alone: each object's placement and
// look (troops, effects and their animations included), each troop's fight state, the players'
// energy, charges, cooldowns and freeze, and the round end.
std::vector<float> BattleSnapshot(size_t objectCount) {
  std::vector<float> v;
  const std::vector<GameObject*>& objects = BattleObjects().objects;
  for (size_t i = 0; i < objectCount && i < objects.size(); ++i) {
    const GameObject* o = objects[i];
    v.insert(v.end(), {o->position.x, o->position.y, o->scale.x, o->scale.y, o->rotation,
                       o->flashTimer, (float)o->color, (float)o->alive, (float)o->visible});
    if (const Troop* t = AsTroop(const_cast<GameObject*>(o)))
      v.insert(v.end(), {t->health, t->cooldown, t->speedFactor, t->slowTimer, t->swingTimer,
                         t->bobPhase, t->smokeTimer, t->daggerTimer});
  }
  for (const BattlePlayer& p : gPlayers) {
    v.insert(v.end(), {(float)p.energy, (float)p.lane, p.freezeTimer, (float)p.frozen});
    for (const SummonSlot& s : p.summonSlots) v.push_back(s.chargeTimer);
    for (const SpellSlot& s : p.spellSlots) v.insert(v.end(), {s.cooldownTimer, (float)s.ready});
  }
  v.insert(v.end(), {roundEndDelay, (float)scored[0], (float)scored[1]});
  return v;
}

int TroopCount(bool rightSide) {
  int n = 0;
  for (GameObject* o : BattleObjects().objects)
    if (Troop* t = AsTroop(o)) n += t->rightSide == rightSide;
  return n;
}

// The panel and the cursor are the last two objects of the battle's list while a menu is open.
GameObject* Panel() {
  const std::vector<GameObject*>& objects = BattleObjects().objects;
  return objects.size() < 2 ? nullptr : objects[objects.size() - 2];
}
GameObject* Cursor() {
  const std::vector<GameObject*>& objects = BattleObjects().objects;
  return objects.empty() ? nullptr : objects.back();
}

class PauseTest : public ::testing::Test {
 protected:
  // Knight with Wind and Meteor against the Orc with Stun and Execute; pads attached when asked.
  void Start(int w = kSmall.w, int h = kSmall.h, bool pads = false) {
    gMatch.hero[0] = Hero_Knight;
    gMatch.hero[1] = Hero_Orc;
    gMatch.spells[0][0] = Spell_Wind;
    gMatch.spells[0][1] = Spell_Meteor;
    gMatch.spells[1][0] = Spell_Stun;
    gMatch.spells[1][1] = Spell_Execute;
    gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
    for (BattlePlayer& p : gPlayers) p.spellCursor = 1;
    ASSERT_TRUE(MenusStart(GS_Battle, w, h));
    musicVolume = music_;
    before_ = MenusLiveCounts();  // nothing of the battle loaded yet
    if (pads) MenusAttachPads(2, pads_);
    ASSERT_TRUE(TestStep(2));
    ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  }
  void TearDown() override {
    if (!stopped_) MenusStop();
  }
  // Walks the opener's cursor to an item with its own Down key.
  void Down(int player, int times) {
    for (int i = 0; i < times; ++i) MenusPress(player == 0 ? (int)'S' : (int)VK_DOWN);
  }
  void ExpectMenuOf(int player, int item) {
    EXPECT_TRUE(battlePaused);
    EXPECT_EQ(pauseOpenedByP1, player == 0);
    EXPECT_EQ(pauseOpenedByP2, player == 1);
    EXPECT_EQ(pauseCursor[player], item);
    EXPECT_EQ(pauseCursor[1 - player], -1);
    ASSERT_TRUE(Cursor());
    EXPECT_TRUE(Cursor()->alive);
    EXPECT_FLOAT_EQ(Cursor()->position.x, player == 0 ? -170 : 170);
    EXPECT_FLOAT_EQ(Cursor()->position.y, ItemY(item));
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
  ASSERT_EQ(TroopCount(false), 1);
  ASSERT_EQ(TroopCount(true), 1);
  size_t board = BattleObjects().objects.size();

  TestKeyDown(VK_ESCAPE);
  TestStep(1);
  std::vector<float> paused = BattleSnapshot(board);
  TestKeyUp(VK_ESCAPE);
  ASSERT_EQ(BattleObjects().objects.size(), board + 2);
  ExpectMenuOf(0, kItemHowToPlay);
  EXPECT_EQ(Panel()->texture, nullptr);
  EXPECT_TRUE(Panel()->tinted);
  EXPECT_EQ(Panel()->color, 0x88FFFFFFu);
  EXPECT_FLOAT_EQ(Panel()->scale.x, 400);
  EXPECT_FLOAT_EQ(Panel()->scale.y, 300);
  EXPECT_EQ(Cursor()->texture, BattleTexture("arrow"));
  EXPECT_EQ(Cursor()->color, 0xFF9F00C5u);
  EXPECT_FLOAT_EQ(Cursor()->scale.x, 50);
  EXPECT_FLOAT_EQ(Cursor()->scale.y, 50);

  TestStep(60);
  EXPECT_EQ(BattleSnapshot(board), paused) << "a paused second changed the battle";
  MenusPress(VK_ESCAPE);  // the open keys do nothing while a menu is open
  EXPECT_EQ(BattleObjects().objects.size(), board + 2);

  MenusPress(VK_SPACE);
  ASSERT_TRUE(MenusStepUntil(GS_HowToPlay, 3));
  EXPECT_TRUE(holdForHowToPlay);
  EXPECT_TRUE(battleOnHold);
  TestStep(30);
  MenusPress(VK_ESCAPE);
  ASSERT_TRUE(MenusStepUntil(GS_Battle, 3));
  TestStep(30);
  EXPECT_EQ(BattleSnapshot(board), paused) << "the visit changed the battle";
  ExpectMenuOf(0, kItemHowToPlay);
  EXPECT_TRUE(Panel()->alive);
  EXPECT_FALSE(battleOnHold);

  // "Continue": the panel and cursor go and the troops march again.
  MenusPress('W');
  MenusPress('W');
  ExpectMenuOf(0, kItemContinue);
  GameObject* panel = Panel();
  GameObject* cursor = Cursor();
  MenusPress(VK_SPACE);
  EXPECT_FALSE(battlePaused);
  EXPECT_FALSE(pauseOpenedByP1);
  EXPECT_EQ(pauseCursor[0], -1);
  EXPECT_FALSE(panel->alive);
  EXPECT_FALSE(cursor->alive);
  TestStep(10);
  EXPECT_NE(BattleSnapshot(board), paused);
}

TEST_F(PauseTest, OnlyTheOpenersKeysSteerTheMenu) {
  Start(kSmall.w, kSmall.h, true);
  // Player 1 opens with Start on gamepad 1.
  MenusPadPress(pads_[0], PAD_START);
  ExpectMenuOf(0, kItemHowToPlay);
  size_t objects = BattleObjects().objects.size();
  MenusPress(VK_UP);
  MenusPress(VK_DOWN);
  MenusPress(VK_NUMPAD0 + 9);
  MenusPadPress(pads_[1], PAD_DPAD_UP);
  MenusPadPress(pads_[1], PAD_DPAD_DOWN);
  MenusPadPress(pads_[1], PAD_START);
  MenusPadPress(pads_[1], PAD_A);
  ExpectMenuOf(0, kItemHowToPlay);
  EXPECT_EQ(BattleObjects().objects.size(), objects) << "a second menu was opened";
  EXPECT_EQ(GsmGetNextState(), GS_Battle);

  // Gamepad 1 steers it; its A on "Continue" resumes the battle and summons nothing.
  MenusPadPress(pads_[0], PAD_DPAD_DOWN);
  ExpectMenuOf(0, kItemSettings);
  MenusPadPress(pads_[0], PAD_DPAD_UP);
  MenusPadPress(pads_[0], PAD_DPAD_UP);
  MenusPadPress(pads_[0], PAD_DPAD_UP);
  ExpectMenuOf(0, kItemContinue);
  MenusPadPress(pads_[0], PAD_A);
  EXPECT_FALSE(battlePaused);
  EXPECT_EQ(TroopCount(false), 0);
  EXPECT_EQ(gPlayers[0].energy, 30);

  // Player 2's menu, opened with numpad 9: a mirrored black arrow that player 1 cannot move.
  MenusPress(VK_NUMPAD0 + 9);
  ExpectMenuOf(1, kItemHowToPlay);
  EXPECT_EQ(Cursor()->color, 0xFF000000u);
  EXPECT_FLOAT_EQ(Cursor()->scale.x, -50);
  objects = BattleObjects().objects.size();
  for (int key : {(int)'W', (int)'S', (int)'P', (int)VK_ESCAPE}) MenusPress(key);
  MenusPadPress(pads_[0], PAD_DPAD_DOWN);
  MenusPadPress(pads_[0], PAD_START);
  ExpectMenuOf(1, kItemHowToPlay);
  EXPECT_EQ(BattleObjects().objects.size(), objects);
  MenusPadPress(pads_[1], PAD_DPAD_DOWN);
  ExpectMenuOf(1, kItemSettings);
  MenusPress(VK_UP);
  ExpectMenuOf(1, kItemHowToPlay);
  // Start on gamepad 2 does not open a menu over its own either.
  MenusPadPress(pads_[1], PAD_START);
  EXPECT_EQ(BattleObjects().objects.size(), objects);
}

TEST_F(PauseTest, UpAtContinueWrapsToQuitAndDownAtQuitWrapsBack) {
  Start();
  MenusPress('P');
  EXPECT_EQ(BattleChannel(SND_Select), nullptr);
  MenusPress('W');
  MenusPress('W');
  ExpectMenuOf(0, kItemContinue);
  EXPECT_NE(BattleChannel(SND_Select), nullptr);  // every move clicks
  MenusPress('W');
  ExpectMenuOf(0, kItemQuit);
  MenusPress('S');
  ExpectMenuOf(0, kItemContinue);
  // Down through all seven, 40 apart.
  for (int item = kItemContinue; item > kItemQuit; --item) {
    ExpectMenuOf(0, item);
    MenusPress('S');
  }
  ExpectMenuOf(0, kItemQuit);
  // W and S together: each end wraps, in between Up wins.
  auto both = [] {
    TestKeyDown('W');
    TestKeyDown('S');
    TestStep(1);
    TestKeyUp('W');
    TestKeyUp('S');
    TestStep(1);
  };
  both();
  ExpectMenuOf(0, kItemContinue);
  both();
  ExpectMenuOf(0, kItemQuit);
  MenusPress('W');
  both();
  ExpectMenuOf(0, kItemQuit + 2);
}

TEST_F(PauseTest, RestartKeepsHeroesAndSpellsAndStartsTheRoundAtFullHealth) {
  Start();
  gMatch.heroHealth[0] = 1;
  gMatch.heroHealth[1] = 2;
  MenusPress('1');
  MenusPress(VK_NUMPAD0 + 1);
  TestStep(20);
  SpellCastFn casts[2][3];
  for (int p = 0; p < 2; ++p)
    for (int s = 0; s < 3; ++s) casts[p][s] = gPlayers[p].spellSlots[s].cast;
  LiveCounts loaded = MenusLiveCounts();

  MenusPress(VK_ESCAPE);
  Down(0, 3);
  ExpectMenuOf(0, kItemRestart);
  TestKeyDown(VK_SPACE);
  TestStep(1);
  TestKeyUp(VK_SPACE);
  EXPECT_EQ(GsmGetNextState(), GS_Restart);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.heroHealth[1], 3);
  TestStep(2);
  ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(MenusLiveCounts(), loaded) << "the restart loaded again";
  EXPECT_FALSE(battlePaused);
  EXPECT_FALSE(pauseOpenedByP1);
  EXPECT_EQ(pauseCursor[0], -1);
  EXPECT_EQ(TroopCount(false) + TroopCount(true), 0);
  EXPECT_EQ(gMatch.hero[0], Hero_Knight);
  EXPECT_EQ(gMatch.hero[1], Hero_Orc);
  for (int p = 0; p < 2; ++p) {
    EXPECT_EQ(gPlayers[p].energy, 30);
    for (int s = 0; s < 3; ++s) {
      EXPECT_NE(gPlayers[p].spellSlots[s].cast, nullptr);
      EXPECT_EQ(gPlayers[p].spellSlots[s].cast, casts[p][s]);
    }
  }
  // The health pictures show three points again, and the music plays anew.
  int full = 0;
  for (GameObject* o : BattleObjects().objects)
    for (const char* picture : {"Knight3HP", "Dark3HP"})
      full += o->alive && o->texture == BattleTexture(picture);
  EXPECT_EQ(full, 2);
  EXPECT_EQ(gAudio.busySlots.size(), 1u);
  // The new round runs and can be paused again.
  MenusPress('1');
  EXPECT_EQ(TroopCount(false), 1);
  MenusPress(VK_ESCAPE);
  ExpectMenuOf(0, kItemHowToPlay);
}

TEST_F(PauseTest, GoBackToMenuAbandonsTheMatch) {
  Start();
  gMatch.heroHealth[0] = 2;
  gMatch.heroHealth[1] = 1;
  MenusPress(VK_NUMPAD0 + 9);
  MenusPress(VK_UP);
  ExpectMenuOf(1, kItemMenu);
  TestKeyDown(VK_SPACE);
  TestStep(1);
  TestKeyUp(VK_SPACE);
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
  EXPECT_EQ(gMatch.heroHealth[0], 3);
  EXPECT_EQ(gMatch.heroHealth[1], 3);
  EXPECT_FALSE(ScreenFullscreenFlag(GS_MainMenu));  // the battle's (windowed) flag handed over
  ASSERT_TRUE(MenusStepUntil(GS_MainMenu, 3));
  EXPECT_FALSE(battleOnHold);
}

TEST_F(PauseTest, QuitAsksAndNoReturnsToQuitWhileYesEndsTheProgram) {
  Start();
  for (int player : {1, 0}) {
    MenusPress(player == 0 ? (int)'P' : (int)VK_NUMPAD0 + 9);
    Down(player, 4);
    ExpectMenuOf(player, kItemQuit);
    float side = player == 0 ? -1.0f : 1.0f;
    int up = player == 0 ? (int)'W' : (int)VK_UP;
    MenusPress(VK_SPACE);
    ASSERT_TRUE(quitConfirmShown);
    EXPECT_EQ(quitConfirmCursor[player], 0);
    EXPECT_FLOAT_EQ(Cursor()->position.x, side * 40);
    EXPECT_FLOAT_EQ(Cursor()->position.y, 10);
    EXPECT_FLOAT_EQ(Cursor()->scale.x, -side * 25);
    EXPECT_FLOAT_EQ(Cursor()->scale.y, 25);
    MenusPress(up);
    EXPECT_EQ(quitConfirmCursor[player], -1);
    EXPECT_FLOAT_EQ(Cursor()->position.y, -50);
    MenusPress(up);  // with two choices every press toggles
    EXPECT_EQ(quitConfirmCursor[player], 0);
    MenusPress(up);
    MenusPress(VK_SPACE);
    EXPECT_FALSE(quitConfirmShown);
    EXPECT_EQ(quitConfirmCursor[player], 0);
    ExpectMenuOf(player, kItemQuit);
    EXPECT_FLOAT_EQ(Cursor()->scale.x, -side * 50);
    EXPECT_FLOAT_EQ(Cursor()->scale.y, 50);
    if (player == 1) {
      MenusPress(VK_DOWN);  // to "Continue", and close
      MenusPress(VK_SPACE);
      ASSERT_FALSE(battlePaused);
    }
  }
  // Player 1's menu is open on "Quit": Yes ends the run after the battle's leaving phase.
  MenusPress(VK_SPACE);
  MenusPress('S');
  MenusPress('S');
  EXPECT_EQ(quitConfirmCursor[0], 0);
  TestKeyDown(VK_SPACE);
  TestStep(1);
  TestKeyUp(VK_SPACE);
  EXPECT_EQ(GsmGetNextState(), GS_Quit);
  EXPECT_FALSE(TestStep(1));
  EXPECT_EQ(MenusLiveCounts(), before_);
  MenusStop();
  stopped_ = true;
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
  MenusStop();
  stopped_ = true;
  EXPECT_TRUE(TestMessageBoxes().empty());  // no leak report
}

// Pixels of the last frame inside a rectangle of reference units (scale 1: an 800 by 600
// window at the first window size) that pass the test.
template <typename Fn>
int CountPixels(float left, float bottom, float right, float top, Fn pass) {
  int cx = TestFrameWidth() / 2, cy = TestFrameHeight() / 2, n = 0;
  for (int y = cy - (int)top; y <= cy - (int)bottom; ++y)
    for (int x = cx + (int)left; x <= cx + (int)right; ++x) n += pass(TestPixel(x, y));
  return n;
}
int RedPixels(float left, float bottom, float right, float top) {
  return CountPixels(left, bottom, right, top, [](uint32_t c) {
    return (c >> 16 & 0xFF) >= 0xD0 && (c >> 8 & 0xFF) <= 0x50 && (c & 0xFF) <= 0x50;
  });
}
int YellowPixels(float left, float bottom, float right, float top) {
  return CountPixels(left, bottom, right, top, [](uint32_t c) {
    return (c >> 16 & 0xFF) >= 0xD0 && (c >> 8 & 0xFF) >= 0xD0 && (c & 0xFF) <= 0x50;
  });
}

TEST_F(PauseTest, MenusOfBothPlayersAndTheQuestionAreDrawnOverTheBoard) {
  Start(800, 600);
  TestCaptureFrames(true);
  TestStep(1);
  const int boardRed = RedPixels(-60, 120, 60, 160);
  const int boardYellow = YellowPixels(-100, -150, 100, 100);
  MenusPress('P');
  TestSaveFrame("/tmp/pause-p1.png");
  EXPECT_GT(RedPixels(-60, 120, 60, 160), boardRed + 100) << "\"PAUSED\"";
  EXPECT_GT(YellowPixels(-100, -150, 100, 100), boardYellow + 500) << "the seven entries";

  Down(0, 4);
  MenusPress(VK_SPACE);
  TestSaveFrame("/tmp/pause-question.png");
  EXPECT_LE(RedPixels(-60, 120, 60, 160), boardRed) << "\"PAUSED\" is not drawn with the question";
  EXPECT_GT(RedPixels(-85, 55, 80, 90), 100) << "\"Are you sure?\"";
  MenusPress('W');
  MenusPress(VK_SPACE);
  MenusPress('S');  // "Continue"
  MenusPress(VK_SPACE);
  TestStep(1);
  EXPECT_LE(RedPixels(-60, 120, 60, 160), boardRed) << "the labels outlived the menu";

  MenusPress(VK_NUMPAD0 + 9);
  MenusPress(VK_DOWN);
  TestSaveFrame("/tmp/pause-p2.png");
  EXPECT_GT(RedPixels(-60, 120, 60, 160), boardRed + 100);
}

TEST_F(PauseTest, EveryMoveIsHeardWhileTheBattleIsPaused) {
  music_ = 0;  // the clicks are all there is to hear
  Start();
  MenusPress(VK_ESCAPE);
  RunFor(0.4);
  MenusPress('S');
  RunFor(0.6);
  MenusStop();
  stopped_ = true;
  TestMix mix;
  ASSERT_TRUE(TestReadMix(MixPath(), &mix));
  double loudest = 0;
  for (double t = 0; t < mix.Seconds(); t += 0.05) loudest = std::max(loudest, mix.Rms(t, t + 0.1));
  EXPECT_GT(loudest, 0.05) << "the paused battle silenced its own click";
}

}  // namespace
