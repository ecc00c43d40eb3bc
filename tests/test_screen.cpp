// Screen conventions on the real frame loop: F11 and the scale of the next frame, the hand-over
// of the full-screen flag, the factor on a small display, Alt+F4, and minimising and focus loss
// with the music paused and resumed.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kesound.h"
#include "hpaudio.h"
#include "hpdisplay.h"
#include "hptest.h"
#include "kegraphics.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "screens/screen.h"
#include "states.h"
#include "game.h"

namespace {

// One screen written the way every screen is, registered under several ids.
struct TestScreen {
  SoundEntry* musicSound = nullptr;
  ChannelSlot* music = nullptr;
  GameStateId next = 0;  // a change to request in the next Update
  int updates = 0;       // Updates that got past the prologue
} gS;

ObjectList& List() { return *ObjectListOf(GsmGetCurrentState()); }

void Load() {
  gQuadMesh = CreateQuadMesh();
  gS.musicSound = gAudio.LoadSound(TestSineWav("music.wav", 0.5).c_str());
}
void Init() {
  CreateGameObject(gQuadMesh, nullptr, 200, 0, 100, 100);
  gS.music = gAudio.Play(gS.musicSound, ScreenMusicVolume());
  if (gS.music) gS.music->SetLooping(true);
}
void Update() {
  if (!ScreenPrologue(gAudio, {gS.music})) return;
  ScreenKeepChannel(gS.music, ScreenMusicVolume());
  List().Update();
  gAudio.Update();
  ++gS.updates;
  if (gS.next) {
    ScreenHandOver(gS.next);
    gS.next = 0;
  }
  ScreenCheckF11();
}
void Draw() { List().Draw(ScreenScale()); }
void Free() {
  List().Free();
  gAudio.StopAll();
}
void Unload() {
  GfxMeshFree(gQuadMesh);
  gQuadMesh = nullptr;
  gAudio.FreeSound(gS.musicSound);
}

const uint32_t kWhite = 0xFFFFFFFF;

class ScreenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TestUseNullBackend(); }
  void SetUp() override {
    gS = TestScreen();
    for (int i = 0; i < kGameScreenCount; ++i)
      GameScreens()[i].fullscreen = GameScreens()[i].id == GS_MainMenu;
    windowSizeIndex = 0;
    muted = false;
    musicVolume = 1.0f;
  }
  void TearDown() override {
    GsmSetNextState(GS_Quit);
    TestStep(2);
    for (GameStateId id : {GS_Battle, GS_MainMenu, GS_HeroSelect}) {
      ObjectListOf(id)->Free();
      ObjectListOf(id)->Free();
    }
    gAudio.Shutdown();
    TestEngineStop();
    musicVolume = 1.0f;
  }
  bool Start(int w, int h, bool fullscreen, GameStateId first) {
    if (!TestEngineStart(w, h, fullscreen) || !gAudio.Init()) return false;
    for (GameStateId id : {GS_Battle, GS_MainMenu, GS_HeroSelect})
      GsmAddState(id, Load, Init, Update, Draw, Free, Unload);
    GsmInit(first);
    TestCaptureFrames(true);
    return true;
  }
  // The window manager answers in real time.
  bool StepUntilMinimised(bool minimised) {
    for (int i = 0; i < 200; ++i) {
      if (!TestStep(1)) return false;
      if (ScreenIsMinimised() == minimised && SysIsMinimised() == minimised) return true;
      usleep(10000);
    }
    return false;
  }
  void Press(int vk) {
    TestKeyDown(vk);
    ASSERT_TRUE(TestStep(1));
    TestKeyUp(vk);
  }
};

// The object of the test screen: 100 by 100 at (200, 0), at scale f in a window of w by h.
bool ObjectDrawnAt(float f, int w, int h) {
  if (TestFrameWidth() != w || TestFrameHeight() != h) return false;
  int cx = (int)(w / 2 + 200 * f), cy = h / 2, half = (int)(50 * f);
  return TestPixel(cx - half + 2, cy) == kWhite && TestPixel(cx + half - 2, cy) == kWhite &&
         TestPixel(cx - half - 3, cy) != kWhite && TestPixel(cx + half + 3, cy) != kWhite;
}

TEST_F(ScreenTest, F11FlipsFullScreenTheNextFrameDrawsAtTheNewScaleAndAltF4Quits) {
  ASSERT_TRUE(Start(800, 600, false, GS_Battle));
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(ObjectDrawnAt(1.0f, 800, 600));
  for (bool full : {true, false}) {
    Press(VK_F11);
    EXPECT_EQ(SysIsFullscreen(), full);
    EXPECT_EQ(ScreenFullscreenFlag(GS_Battle), full);
    ASSERT_TRUE(TestStep(1));
    EXPECT_TRUE(full ? ObjectDrawnAt(1.8f, 1920, 1080) : ObjectDrawnAt(1.0f, 800, 600));
  }
  ScreenLabel<5> small;  // labels are cut to their buffer
  small.Format("%d", 1234567);
  EXPECT_STREQ(small.text, "1234");

  Press(VK_F4);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  TestKeyDown(VK_MENU);
  TestKeyDown(VK_F4, true);
  ASSERT_TRUE(TestStep(1));  // the frame goes on
  EXPECT_EQ(GsmGetNextState(), GS_Quit);
  EXPECT_FALSE(TestStep(1));
}

TEST_F(ScreenTest, NextScreenDrawsAtThePreviousScreensScale) {
  ASSERT_TRUE(Start(800, 600, true, GS_MainMenu));
  ASSERT_TRUE(TestStep(2));  // the X server resizes the new window in its own time
  gS.next = GS_HeroSelect;
  ASSERT_TRUE(TestStep(2));
  ASSERT_EQ(GsmGetCurrentState(), GS_HeroSelect);
  EXPECT_TRUE(ObjectDrawnAt(1.8f, 1920, 1080));

  // Windowed on hero selection, then back: the main menu's flag follows, not its old value.
  Press(VK_F11);
  gS.next = GS_MainMenu;
  ASSERT_TRUE(TestStep(2));
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
  EXPECT_FALSE(ScreenFullscreenFlag(GS_MainMenu));
  EXPECT_TRUE(ObjectDrawnAt(1.0f, 800, 600));
}

// A private display: one with a window manager for minimising, a 1366 by 768 laptop's.
template <int W, int H, bool kManaged>
class PrivateDisplayTest : public ScreenTest {
 protected:
  static void SetUpTestSuite() {
    TestUseNullBackend();
    started = TestPrivateDisplayStart(W, H, kManaged);
  }
  static void TearDownTestSuite() { TestPrivateDisplayStop(); }
  static inline bool started = false;
};
using ScreenWmTest = PrivateDisplayTest<1024, 768, true>;
using ScreenSmallDisplayTest = PrivateDisplayTest<1366, 768, false>;

TEST_F(ScreenSmallDisplayTest, FullScreenFactorFitsTheWholeBoard) {
  ASSERT_TRUE(started);
  ASSERT_TRUE(Start(800, 600, true, GS_MainMenu));
  ASSERT_TRUE(TestStep(2));
  EXPECT_FLOAT_EQ(ScreenScale().x, 1.28f);
  EXPECT_TRUE(ObjectDrawnAt(1.28f, 1366, 768));
}

TEST_F(ScreenWmTest, MinimisingOrLosingFocusPausesTheMusicAndRestoringResumesIt) {
  ASSERT_TRUE(started);
  ASSERT_TRUE(Start(320, 240, false, GS_Battle));
  ASSERT_TRUE(TestStep(3));
  ASSERT_NE(gS.music, nullptr);
  EXPECT_FALSE(SndChannelIsPaused(gS.music->channel));

  OsMinimise();  // as the player would
  ASSERT_TRUE(StepUntilMinimised(true));
  int updates = gS.updates;
  musicVolume = 0.4f;  // changed meanwhile: nothing of the screen runs while minimised
  ASSERT_TRUE(TestStep(5));
  EXPECT_EQ(gS.updates, updates);
  EXPECT_TRUE(SndChannelIsPaused(gS.music->channel));

  OsRestore();
  ASSERT_TRUE(StepUntilMinimised(false));
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(SndChannelIsPlaying(gS.music->channel));
  EXPECT_FALSE(SndChannelIsPaused(gS.music->channel));
  EXPECT_FLOAT_EQ(SndChannelGetVolume(gS.music->channel), 0.4f);

  SDL_Window* other = SDL_CreateWindow("other", 50, 50, 200, 200, SDL_WINDOW_SHOWN);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(StepUntilMinimised(true));
  EXPECT_TRUE(SndChannelIsPaused(gS.music->channel));
  SDL_DestroyWindow(other);
}

}  // namespace
