// The settings screen in the real game: the rows, volume steps and squares, full screen and
// window sizes on the real window, mute heard on the wave backend, and the held battle.
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
#include "states.h"

namespace {

using Clock = std::chrono::steady_clock;

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

// The board's objects in their order of creation, and the rows' heights.
enum { OBJ_Arrow = 1, OBJ_SoundSquares = 10, OBJ_MusicSquares = 20, OBJ_Count = 32 };
const float kRowMusic = 210, kRowSound = 110, kRowFullscreen = 10, kRowSize = -90, kRowMute = -190;

GameObject* Obj(int i) { return ObjectListOf(GS_Settings)->objects[(size_t)i]; }
float Row() { return Obj(OBJ_Arrow)->position.y; }

int VisibleSquares(int first) {
  int n = 0;
  for (int i = 0; i < 10; ++i) n += Obj(first + i)->visible;
  return n;
}

// The window's client size as the window system reports it.
int ClientWidth() {
  int w, h;
  OsGetClientSize(&w, &h);
  return w;
}

bool IsWhite(uint32_t c) {
  return (c >> 16 & 0xFF) >= 0xE8 && (c >> 8 & 0xFF) >= 0xE8 && (c & 0xFF) >= 0xE8;
}
bool IsGrey(uint32_t c) {
  auto near = [](uint32_t v) { return v >= 0x78 && v <= 0x88; };
  return near(c >> 16 & 0xFF) && near(c >> 8 & 0xFF) && near(c & 0xFF);
}

// Pixels of the last frame in the window-size value between its arrows that pass the test.
int ValuePixels(bool (*pass)(uint32_t)) {
  Vec2 s = ScreenScaleOf(GS_Settings);
  int cx = TestFrameWidth() / 2, cy = TestFrameHeight() / 2, n = 0;
  for (int y = cy - (int)(-65 * s.y); y <= cy - (int)(-110 * s.y); ++y)
    for (int x = cx + (int)(30 * s.x); x <= cx + (int)(270 * s.x); ++x) n += pass(TestPixel(x, y));
  return n;
}

TEST(SettingsTest, WindowSizeFullScreenRowWrapsAndVolumeSteps) {
  ASSERT_TRUE(MenusStart(GS_Settings));
  TestCaptureFrames(true);
  TestStep(1);
  ASSERT_EQ(ObjectListOf(GS_Settings)->objects.size(), (size_t)OBJ_Count);
  EXPECT_EQ(Row(), kRowSound);  // the screen opens on the sound row
  MenusPress(VK_DOWN);
  MenusPress(VK_DOWN);
  ASSERT_EQ(Row(), kRowSize);
  TestKeyDown(VK_LEFT);
  TestStep(1);
  EXPECT_EQ(windowSizeIndex, 8);
  EXPECT_EQ(SysGetWindowWidth(), 2048);  // in the frame of the press
  TestKeyUp(VK_LEFT);
  TestStep(1);
  EXPECT_EQ(ClientWidth(), 2048);
  MenusPress(VK_RIGHT);
  MenusPress(VK_RIGHT);
  EXPECT_EQ(windowSizeIndex, 1);
  EXPECT_EQ(ClientWidth(), 1024);
  EXPECT_GT(ValuePixels(IsWhite), 50);
  EXPECT_EQ(ValuePixels(IsGrey), 0);

  MenusPress(VK_UP);
  MenusPress(VK_RIGHT);  // full screen on
  EXPECT_TRUE(ScreenFullscreenFlag(GS_Settings));
  int dw, dh;
  SysGetDisplaySize(&dw, &dh);
  EXPECT_EQ(ClientWidth(), dw);
  MenusPress(VK_DOWN);
  MenusPress(VK_LEFT);
  MenusPress(VK_RIGHT);
  MenusPress(VK_RIGHT);
  EXPECT_EQ(windowSizeIndex, 1);
  EXPECT_EQ(ClientWidth(), dw);
  EXPECT_EQ(ValuePixels(IsWhite), 0);
  EXPECT_GT(ValuePixels(IsGrey), 20);
  TestSaveFrame("/tmp/menus-settings-fullscreen.png");
  TestCaptureFrames(false);

  // Leaving full screen gives the window the chosen size, whatever size it had before.
  windowSizeIndex = 3;
  MenusPress(VK_UP);
  MenusPress(VK_LEFT);
  EXPECT_FALSE(SysIsFullscreen());
  EXPECT_EQ(ClientWidth(), 1400);

  int pads[2];
  MenusAttachPads(2, pads);
  for (float row : {kRowSound, kRowMusic, kRowMute}) {
    MenusPress(VK_UP);
    EXPECT_EQ(Row(), row);
  }
  MenusPadPress(pads[1], PAD_DPAD_UP);  // gamepad 2 does not steer this screen
  MenusPadPress(pads[0], PAD_DPAD_DOWN);
  ASSERT_EQ(Row(), kRowMusic);
  for (int i = 0; i < 10; ++i) MenusPress(VK_LEFT);
  EXPECT_EQ(musicVolumeStep, 0);
  EXPECT_NEAR(musicVolume, 0.0f, 1e-5f);
  EXPECT_EQ(VisibleSquares(OBJ_MusicSquares), 0);
  float residue = musicVolume;
  MenusPress(VK_LEFT);
  EXPECT_EQ(musicVolumeStep, 0);
  EXPECT_EQ(musicVolume, residue);
  for (int i = 0; i < 3; ++i) MenusPress(VK_RIGHT);
  EXPECT_EQ(VisibleSquares(OBJ_MusicSquares), 3);
  EXPECT_TRUE(Obj(OBJ_MusicSquares + 2)->visible);
  MenusPress(VK_DOWN);  // the sound row follows its own step
  MenusPress(VK_LEFT);
  EXPECT_NEAR(soundVolume, 0.9f, 1e-5f);
  EXPECT_EQ(VisibleSquares(OBJ_SoundSquares), 9);
  EXPECT_EQ(musicVolumeStep, 3);
  MenusStop();
}

TEST(SettingsTest, FromThePauseMenuBackLeadsToTheHeldBattleAndAltF4ReleasesIt) {
  ASSERT_TRUE(MenusStart(GS_Battle));
  LiveCounts before = MenusLiveCounts();
  ASSERT_TRUE(TestStep(3));
  MenusExpectBackToHeldBattle(GS_Settings);
  MenusExpectAltF4ReleasesHeldBattle(GS_Settings, before);
  MenusStop();
  EXPECT_TRUE(TestMessageBoxes().empty());  // no leak report at exit
}

TEST(SettingsTest, MuteSilencesThisScreenAndLaterOnesUntilSwitchedOff) {
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

  MenusPress(VK_ESCAPE);
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
  GsmSetNextState(GS_HowToPlay);  // a later screen with music of its own
  ASSERT_TRUE(MenusStepUntil(GS_HowToPlay, 3));
  double laterAt = Since(t0);
  RunFor(0.6);

  GsmSetNextState(GS_Settings);
  ASSERT_TRUE(MenusStepUntil(GS_Settings, 3));
  MenusPress(VK_UP);
  MenusPress(VK_UP);
  MenusPress(VK_LEFT);
  ASSERT_FALSE(muted);
  double unmutedAt = Since(t0);
  RunFor(0.6);
  MenusStop();

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
