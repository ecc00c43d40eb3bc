// The settings screen in the real game: the rows and their wrap, volume steps and squares, full
// screen and window sizes on the real window, mute heard on the wave backend, and the way back
// to the main menu or to a battle held by the pause menu (released when the game is quit).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "battle/match.h"
#include "framework/gameobject.h"
#include "hpaudio.h"
#include "hpmenus.h"
#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "screens/screen.h"

namespace {

using Clock = std::chrono::steady_clock;

// The whole program plays through the wave backend, so that what it plays can be heard back.
const std::string& MixPath() {
  static std::string path = TestTempPath("settings-mix.wav");
  return path;
}
struct WaveBackend : ::testing::Environment {
  void SetUp() override { TestUseWaveBackend(MixPath()); }
};
::testing::Environment* const gWave = ::testing::AddGlobalTestEnvironment(new WaveBackend);

double Since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Frames in real time, for the backend mixes in real time.
void RunFor(double seconds) {
  Clock::time_point start = Clock::now();
  while (Since(start) < seconds) {
    TestStep(1);
    usleep(10000);
  }
}

// The board's objects in their order of creation.
enum {
  OBJ_Background, OBJ_Arrow, OBJ_SizeLeft, OBJ_SizeRight, OBJ_MusicLeft, OBJ_MusicRight,
  OBJ_SoundLeft, OBJ_SoundRight, OBJ_SoundBar, OBJ_MusicBar, OBJ_SoundSquares = 10,
  OBJ_MusicSquares = 20, OBJ_FullscreenSign = 30, OBJ_MuteSign = 31, OBJ_Count
};
const float kRowMusic = 210, kRowSound = 110, kRowFullscreen = 10, kRowSize = -90, kRowMute = -190;

GameObject* Obj(int i) {
  ObjectList* list = ObjectListOf(GS_Settings);
  return i < (int)list->objects.size() ? list->objects[(size_t)i] : nullptr;
}

float Row() {
  return Obj(OBJ_Arrow)->position.y;
}

int VisibleSquares(int first) {
  int n = 0;
  for (int i = 0; i < 10; ++i) n += Obj(first + i)->visible;
  return n;
}

// The window's client size as the window system reports it.
struct ClientSize {
  int w, h;
};
ClientSize Client() {
  ClientSize c;
  OsGetClientSize(&c.w, &c.h);
  return c;
}

// Pixels of the last frame inside a rectangle of reference units, at the screen's scale, that
// pass the test.
template <typename Fn>
int CountPixels(float left, float bottom, float right, float top, Fn pass) {
  Vec2 s = ScreenScaleOf(GS_Settings);
  int cx = TestFrameWidth() / 2, cy = TestFrameHeight() / 2;
  int n = 0;
  for (int y = cy - (int)(top * s.y); y <= cy - (int)(bottom * s.y); ++y)
    for (int x = cx + (int)(left * s.x); x <= cx + (int)(right * s.x); ++x)
      n += pass(TestPixel(x, y));
  return n;
}

bool IsWhite(uint32_t c) {
  return (c >> 16 & 0xFF) >= 0xE8 && (c >> 8 & 0xFF) >= 0xE8 && (c & 0xFF) >= 0xE8;
}

bool IsGrey(uint32_t c) {
  auto near = [](uint32_t v) { return v >= 0x78 && v <= 0x88; };
  return near(c >> 16 & 0xFF) && near(c >> 8 & 0xFF) && near(c & 0xFF);
}

// The window-size value between its two arrows.
int ValuePixels(bool (*pass)(uint32_t)) {
  return CountPixels(30, -110, 270, -65, pass);
}

class SettingsTest : public ::testing::Test {
 protected:
  void Start() {
    ASSERT_TRUE(MenusStart(GS_Settings));
    ASSERT_TRUE(TestStep(1));
    ASSERT_EQ((int)ObjectListOf(GS_Settings)->objects.size(), (int)OBJ_Count);
  }
  void TearDown() override {
    if (!stopped_) MenusStop();
  }
  // Moves the arrow with Down presses until it stands on the row.
  void GoTo(float row) {
    for (int i = 0; i < 5 && Row() != row; ++i) MenusPress(VK_DOWN);
    ASSERT_EQ(Row(), row);
  }
  bool stopped_ = false;
};

TEST_F(SettingsTest, TenLeftsEmptyTheMusicRowAndAnEleventhChangesNothing) {
  Start();
  EXPECT_EQ(Row(), kRowSound);  // the screen opens on the sound row
  MenusPress(VK_UP);
  ASSERT_EQ(Row(), kRowMusic);
  for (int i = 0; i < 10; ++i) MenusPress(VK_LEFT);
  EXPECT_EQ(musicVolumeStep, 0);
  EXPECT_NEAR(musicVolume, 0.0f, 1e-5f);
  EXPECT_EQ(VisibleSquares(OBJ_MusicSquares), 0);
  EXPECT_EQ(VisibleSquares(OBJ_SoundSquares), 10);
  float residue = musicVolume;
  MenusPress(VK_LEFT);
  EXPECT_EQ(musicVolumeStep, 0);
  EXPECT_EQ(musicVolume, residue);

  for (int i = 0; i < 3; ++i) MenusPress(VK_RIGHT);
  EXPECT_EQ(musicVolumeStep, 3);
  EXPECT_EQ(VisibleSquares(OBJ_MusicSquares), 3);
  EXPECT_TRUE(Obj(OBJ_MusicSquares + 2)->visible);
  EXPECT_FALSE(Obj(OBJ_MusicSquares + 3)->visible);
  for (int i = 0; i < 8; ++i) MenusPress(VK_RIGHT);
  EXPECT_EQ(musicVolumeStep, 10);
  EXPECT_NEAR(musicVolume, 1.0f, 1e-5f);
  EXPECT_EQ(VisibleSquares(OBJ_MusicSquares), 10);

  // The sound row follows its own step; the music row stays.
  MenusPress(VK_DOWN);
  MenusPress(VK_LEFT);
  MenusPress(VK_LEFT);
  EXPECT_EQ(soundVolumeStep, 8);
  EXPECT_NEAR(soundVolume, 0.8f, 1e-5f);
  EXPECT_EQ(VisibleSquares(OBJ_SoundSquares), 8);
  EXPECT_EQ(musicVolumeStep, 10);
}

TEST_F(SettingsTest, ArrowWrapsBothWaysFromKeysAndGamepadOne) {
  Start();
  int pads[2];
  MenusAttachPads(2, pads);
  const float down[] = {kRowFullscreen, kRowSize, kRowMute, kRowMusic, kRowSound};
  for (float row : down) {
    MenusPress(VK_DOWN);
    EXPECT_EQ(Row(), row);
  }
  const float up[] = {kRowMusic, kRowMute, kRowSize};
  for (float row : up) {
    MenusPadPress(pads[0], PAD_DPAD_UP);
    EXPECT_EQ(Row(), row);
  }
  MenusPadPress(pads[1], PAD_DPAD_UP);  // gamepad 2 does not steer this screen
  EXPECT_EQ(Row(), kRowSize);
  MenusPadPress(pads[0], PAD_DPAD_DOWN);
  EXPECT_EQ(Row(), kRowMute);
}

TEST_F(SettingsTest, WindowSizeWrapsBothWaysAndResizesAtOnce) {
  Start();
  GoTo(kRowSize);
  ASSERT_EQ(windowSizeIndex, 0);
  TestKeyDown(VK_LEFT);
  TestStep(1);
  EXPECT_EQ(windowSizeIndex, 8);
  EXPECT_EQ(SysGetWindowWidth(), 2048);  // in the frame of the press
  EXPECT_EQ(SysGetWindowHeight(), 1536);
  TestKeyUp(VK_LEFT);
  TestStep(1);
  EXPECT_EQ(Client().w, 2048);
  EXPECT_EQ(Client().h, 1536);
  EXPECT_FLOAT_EQ(ScreenScale().x, 2.56f);

  MenusPress(VK_RIGHT);
  EXPECT_EQ(windowSizeIndex, 0);
  EXPECT_EQ(Client().w, 800);
  EXPECT_EQ(Client().h, 600);
  MenusPress(VK_RIGHT);
  MenusPress(VK_RIGHT);
  EXPECT_EQ(windowSizeIndex, 2);
  EXPECT_EQ(Client().w, 1280);
  EXPECT_EQ(Client().h, 960);

  // The board is drawn at the new scale: the corners are board, not the black of the window.
  TestCaptureFrames(true);
  TestStep(1);
  ASSERT_EQ(TestFrameWidth(), 1280);
  EXPECT_NE(TestPixel(2, 2) & 0xFFFFFF, 0u);
  EXPECT_NE(TestPixel(1277, 957) & 0xFFFFFF, 0u);
}

TEST_F(SettingsTest, FullScreenGreysTheSizeRowWhichIgnoresInputAndLeavingAppliesTheSize) {
  Start();
  TestCaptureFrames(true);
  GoTo(kRowSize);
  MenusPress(VK_RIGHT);
  ASSERT_EQ(windowSizeIndex, 1);
  EXPECT_GT(ValuePixels(IsWhite), 50);
  EXPECT_EQ(ValuePixels(IsGrey), 0);
  TestSaveFrame("/tmp/menus-settings-1024.png");

  MenusPress(VK_UP);
  ASSERT_EQ(Row(), kRowFullscreen);
  MenusPress(VK_RIGHT);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_Settings));
  EXPECT_TRUE(SysIsFullscreen());
  int dw, dh;
  SysGetDisplaySize(&dw, &dh);
  EXPECT_EQ(Client().w, dw);
  EXPECT_EQ(Client().h, dh);

  MenusPress(VK_DOWN);
  MenusPress(VK_LEFT);
  MenusPress(VK_RIGHT);
  MenusPress(VK_RIGHT);
  EXPECT_EQ(windowSizeIndex, 1);
  EXPECT_EQ(Client().w, dw);
  EXPECT_EQ(ValuePixels(IsWhite), 0);
  EXPECT_GT(ValuePixels(IsGrey), 20);
  TestSaveFrame("/tmp/menus-settings-fullscreen.png");

  // Leaving full screen gives the window the chosen size, whatever size it had before.
  windowSizeIndex = 3;
  MenusPress(VK_UP);
  MenusPress(VK_LEFT);
  EXPECT_FALSE(SysIsFullscreen());
  EXPECT_FALSE(ScreenFullscreenFlag(GS_Settings));
  EXPECT_EQ(Client().w, 1400);
  EXPECT_EQ(Client().h, 1050);
  EXPECT_GT(ValuePixels(IsWhite), 50);
}

TEST_F(SettingsTest, F11FlipsThisScreenAndTheFlagGoesBackToTheMainMenu) {
  Start();
  windowSizeIndex = 1;
  TestStep(1);
  ASSERT_EQ(Client().w, 1024);
  MenusPress(VK_F11);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_Settings));
  EXPECT_TRUE(SysIsFullscreen());
  EXPECT_NE(Obj(OBJ_FullscreenSign)->texture, Obj(OBJ_MuteSign)->texture);  // On beside Off
  MenusPress(VK_F11);
  EXPECT_FALSE(SysIsFullscreen());
  EXPECT_EQ(Client().w, 1024);
  EXPECT_EQ(Obj(OBJ_FullscreenSign)->texture, Obj(OBJ_MuteSign)->texture);  // both Off
  MenusPress(VK_F11);

  ScreenFullscreenFlag(GS_MainMenu) = false;
  TestKeyDown(VK_ESCAPE);
  TestStep(1);
  EXPECT_EQ(GsmGetNextState(), GS_MainMenu);
  EXPECT_TRUE(ScreenFullscreenFlag(GS_MainMenu));
  TestKeyUp(VK_ESCAPE);
  TestStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
}

TEST_F(SettingsTest, BackKeysAndBothGamepadsReturnToTheMainMenu) {
  Start();
  int pads[2];
  MenusAttachPads(2, pads);
  auto back = [&](auto press) {
    GsmSetNextState(GS_Settings);
    ASSERT_TRUE(MenusStepUntil(GS_Settings, 3));
    TestStep(1);
    press();
    EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
  };
  back([] { MenusPress(VK_ESCAPE); });
  back([] { MenusPress('Q'); });
  back([&] { MenusPadPress(pads[0], PAD_B); });
  back([&] { MenusPadPress(pads[1], PAD_B); });
  EXPECT_FALSE(battleOnHold);
}

TEST_F(SettingsTest, FromThePauseMenuBackLeadsToTheHeldBattle) {
  ASSERT_TRUE(MenusStart(GS_Battle));
  ASSERT_TRUE(TestStep(3));
  MenusExpectBackToHeldBattle(GS_Settings);
}

TEST_F(SettingsTest, AltF4WhileTheBattleIsHeldReleasesIt) {
  ASSERT_TRUE(MenusStart(GS_Battle));
  LiveCounts before = MenusLiveCounts();
  ASSERT_TRUE(TestStep(3));
  MenusExpectAltF4ReleasesHeldBattle(GS_Settings, before);
  MenusStop();
  stopped_ = true;
  EXPECT_TRUE(TestMessageBoxes().empty());  // no leak report at exit
}

TEST_F(SettingsTest, MuteSilencesThisScreenAndLaterOnesUntilSwitchedOff) {
  ASSERT_TRUE(MenusStart(GS_Settings));
  Clock::time_point t0 = Clock::now();  // the mix starts as the device opens, at the start
  ASSERT_TRUE(TestStep(1));
  double playing = Since(t0);
  RunFor(0.6);
  MenusPress(VK_UP);
  MenusPress(VK_UP);
  ASSERT_EQ(Row(), kRowMute);
  MenusPress(VK_RIGHT);
  ASSERT_TRUE(muted);
  double mutedAt = Since(t0);
  RunFor(0.6);
  TestCaptureFrames(true);
  TestStep(1);
  TestSaveFrame("/tmp/menus-settings-muted.png");
  TestCaptureFrames(false);

  MenusPress(VK_ESCAPE);
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
  GsmSetNextState(GS_HowToPlay);  // a later screen with music of its own
  ASSERT_TRUE(MenusStepUntil(GS_HowToPlay, 3));
  double laterAt = Since(t0);
  RunFor(0.6);

  GsmSetNextState(GS_Settings);
  ASSERT_TRUE(MenusStepUntil(GS_Settings, 3));
  EXPECT_NE(Obj(OBJ_MuteSign)->texture, Obj(OBJ_FullscreenSign)->texture);  // On beside Off
  MenusPress(VK_UP);
  MenusPress(VK_UP);
  MenusPress(VK_LEFT);
  ASSERT_FALSE(muted);
  double unmutedAt = Since(t0);
  RunFor(0.6);
  MenusStop();
  stopped_ = true;

  TestMix mix;
  ASSERT_TRUE(TestReadMix(MixPath(), &mix));
  ASSERT_GT(mix.Seconds(), unmutedAt + 0.5);
  double loud = mix.Rms(playing + 0.1, playing + 0.5);
  EXPECT_GT(loud, 0.03);
  EXPECT_LT(mix.Rms(mutedAt + 0.1, mutedAt + 0.5), loud * 0.01);
  EXPECT_LT(mix.Rms(laterAt + 0.1, laterAt + 0.5), loud * 0.01);
  EXPECT_GT(mix.Rms(unmutedAt + 0.1, unmutedAt + 0.5), loud * 0.5);
}

}  // namespace
