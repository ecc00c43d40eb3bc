// Screen conventions on the real frame loop: F11 and the scale of the next frame, the hand-over
// of the full-screen flag, the factor on a small display, Alt+F4, minimising and focus loss
// with the music paused and resumed, and labels placed at the screen's scale.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "framework/sounddevice.h"
#include "hpaudio.h"
#include "hpdisplay.h"
#include "hptest.h"
#include "kegraphics.h"
#include "keos.h"
#include "kesystem.h"
#include "screens/screen.h"

namespace {

// One screen written the way every screen is, registered under several ids.
struct TestScreen {
  SoundEntry* musicSound = nullptr;
  ChannelSlot* music = nullptr;
  GameStateId next = 0;  // a change to request in the next Update
  int updates = 0;       // Updates that got past the prologue
  float x = 200, y = 0, w = 100, h = 100;
  Font* font = nullptr;
  ScreenLabel<20> label;
} gS;

ObjectList& List() { return *ObjectListOf(GsmGetCurrentState()); }

void Load() {
  gQuadMesh = CreateQuadMesh();
  gS.musicSound = gAudio.LoadSound(TestSineWav("music.wav", 0.5).c_str());
}
void Init() {
  CreateGameObject(gQuadMesh, nullptr, gS.x, gS.y, gS.w, gS.h);
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
void Draw() {
  List().Draw();
  if (gS.font) gS.label.Print(gS.font);
}
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
    for (GameStateId id : {GS_Battle, GS_MainMenu, GS_RoundOver, GS_HeroSelect, GS_SpellSelect,
                           GS_HowToPlay, GS_Settings, GS_Credits})
      ScreenFullscreenFlag(id) = id == GS_MainMenu;
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
    windowSizeIndex = 0;
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
  // Runs frames until the window reaches the minimised state asked for (the window manager
  // answers in real time).
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

TEST_F(ScreenTest, F11FlipsFullScreenAndTheNextFrameDrawsAtTheNewScale) {
  ASSERT_TRUE(Start(800, 600, false, GS_Battle));
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(ObjectDrawnAt(1.0f, 800, 600));

  Press(VK_F11);
  EXPECT_TRUE(SysIsFullscreen());
  EXPECT_TRUE(ScreenFullscreenFlag(GS_Battle));
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(ObjectDrawnAt(1.8f, 1920, 1080));  // 1920 by 1080: min(2.4, 1.8)

  Press(VK_F11);
  EXPECT_FALSE(SysIsFullscreen());
  EXPECT_FALSE(ScreenFullscreenFlag(GS_Battle));
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(ObjectDrawnAt(1.0f, 800, 600));
}

TEST_F(ScreenTest, NextScreenDrawsAtThePreviousScreensScale) {
  ASSERT_TRUE(Start(800, 600, true, GS_MainMenu));
  ASSERT_TRUE(TestStep(2));  // the X server resizes the new window in its own time
  EXPECT_TRUE(ObjectDrawnAt(1.8f, 1920, 1080));
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

TEST_F(ScreenTest, WindowedScaleFollowsTheSelectedSizeNotTheWindow) {
  ASSERT_TRUE(Start(800, 600, false, GS_Battle));
  windowSizeIndex = 8;  // 2048 x 1536
  Vec2 s = ScreenScale();
  EXPECT_FLOAT_EQ(s.x, 2.56f);
  EXPECT_FLOAT_EQ(s.y, 2.56f);
  ScreenFullscreenFlag(GS_Battle) = true;  // the screen's flag decides, whatever the window is
  EXPECT_FLOAT_EQ(ScreenScale().x, 1.8f);
  EXPECT_FALSE(SysIsFullscreen());
}

TEST_F(ScreenTest, AltF4QuitsAndF4AloneDoesNot) {
  ASSERT_TRUE(Start(800, 600, false, GS_Battle));
  ASSERT_TRUE(TestStep(1));
  Press(VK_F4);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(GsmGetNextState(), GS_Battle);

  TestKeyDown(VK_MENU);
  TestKeyDown(VK_F4, true);
  ASSERT_TRUE(TestStep(1));  // the frame goes on
  EXPECT_EQ(GsmGetNextState(), GS_Quit);
  EXPECT_FALSE(TestStep(1));
}

TEST_F(ScreenTest, LabelsAreCutToTheirBufferAndPlacedAtTheScreensScale) {
  ScreenLabel<5> small;
  small.Format("%d", 1234567);
  EXPECT_STREQ(small.text, "1234");

  ASSERT_TRUE(Start(800, 600, false, GS_Battle));
  gS.font = GfxFontCreate(1.0f);
  ASSERT_NE(gS.font, nullptr);
  gS.label.x = -300;
  gS.label.y = 200;
  gS.label.k = 1.25f;
  gS.label.Format("Music %d", 10);
  // The lit box of the label, relative to the window centre, in pixels.
  auto box = [](int* l, int* r, int* t, int* b) {
    *l = *t = 100000;
    *r = *b = -100000;
    for (int y = 0; y < TestFrameHeight(); ++y)
      for (int x = 0; x < TestFrameWidth() / 2; ++x)  // left half: the object sits right
        if ((TestPixel(x, y) & 0xFF) > 128) {
          int rx = x - TestFrameWidth() / 2, ry = TestFrameHeight() / 2 - y;
          if (rx < *l) *l = rx;
          if (rx > *r) *r = rx;
          if (ry < *t) *t = ry;
          if (ry > *b) *b = ry;
        }
  };
  ASSERT_TRUE(TestStep(1));
  int l1, r1, t1, b1;
  box(&l1, &r1, &t1, &b1);
  ASSERT_LT(l1, r1);
  EXPECT_NEAR(l1, -300, 10);  // the text starts at its reference x

  windowSizeIndex = 1;  // 1024 x 768: everything 1.28 times as far from the centre
  SysSetWindowSize(1024, 768);
  ASSERT_TRUE(TestStep(2));
  int l2, r2, t2, b2;
  box(&l2, &r2, &t2, &b2);
  EXPECT_NEAR(l2, l1 * 1.28, 3);
  EXPECT_NEAR(r2, r1 * 1.28, 3);
  EXPECT_NEAR(t2, t1 * 1.28, 3);
  EXPECT_NEAR(b2, b1 * 1.28, 3);
  GfxFontFree(gS.font);
  gS.font = nullptr;
}

// Minimising needs a window manager: a private display with one.
class ScreenWmTest : public ScreenTest {
 protected:
  static void SetUpTestSuite() {
    TestUseNullBackend();
    managed = TestPrivateDisplayStart(1024, 768, true);
  }
  static void TearDownTestSuite() { TestPrivateDisplayStop(); }
  static bool managed;
};
bool ScreenWmTest::managed = false;

// The full-screen factor on a 1366 by 768 laptop display: the whole 800 by 600 board fits.
class ScreenSmallDisplayTest : public ScreenTest {
 protected:
  static void SetUpTestSuite() {
    TestUseNullBackend();
    started = TestPrivateDisplayStart(1366, 768, false);
  }
  static void TearDownTestSuite() { TestPrivateDisplayStop(); }
  static bool started;
};
bool ScreenSmallDisplayTest::started = false;

TEST_F(ScreenSmallDisplayTest, WholeBoardFitsInFullScreen) {
  ASSERT_TRUE(started);
  gS.x = 0;
  gS.w = 800;
  gS.h = 600;
  ASSERT_TRUE(Start(800, 600, true, GS_MainMenu));
  ASSERT_TRUE(TestStep(2));  // the X server resizes the new window in its own time
  EXPECT_FLOAT_EQ(ScreenScale().x, 1.28f);
  ASSERT_EQ(TestFrameWidth(), 1366);
  // 1024 by 768 in the middle: every corner of the board is on the display.
  EXPECT_EQ(TestPixel(173, 1), kWhite);
  EXPECT_EQ(TestPixel(1192, 766), kWhite);
  EXPECT_NE(TestPixel(168, 384), kWhite);
  EXPECT_NE(TestPixel(1198, 384), kWhite);
}

TEST_F(ScreenWmTest, MinimisingPausesTheMusicAndRestoringResumesAtTheCurrentVolume) {
  ASSERT_TRUE(managed);
  ASSERT_TRUE(Start(800, 600, false, GS_Battle));
  ASSERT_TRUE(TestStep(3));
  ASSERT_NE(gS.music, nullptr);
  EXPECT_TRUE(SndChannelIsPlaying(gS.music->channel));
  EXPECT_FALSE(SndChannelIsPaused(gS.music->channel));

  OsMinimise();  // as the player would
  ASSERT_TRUE(StepUntilMinimised(true));
  EXPECT_TRUE(SndChannelIsPaused(gS.music->channel));
  int updates = gS.updates;
  musicVolume = 0.4f;  // changed meanwhile: nothing of the screen runs while minimised
  ASSERT_TRUE(TestStep(5));
  EXPECT_EQ(gS.updates, updates);
  EXPECT_TRUE(SndChannelIsPaused(gS.music->channel));
  EXPECT_FLOAT_EQ(SndChannelGetVolume(gS.music->channel), 1.0f);

  OsRestore();
  ASSERT_TRUE(StepUntilMinimised(false));
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(SndChannelIsPaused(gS.music->channel));
  EXPECT_TRUE(SndChannelIsPlaying(gS.music->channel));
  EXPECT_FLOAT_EQ(SndChannelGetVolume(gS.music->channel), 0.4f);
  EXPECT_GT(gS.updates, updates);
}

TEST_F(ScreenWmTest, LosingFocusMinimisesTheWindow) {
  ASSERT_TRUE(managed);
  ASSERT_TRUE(Start(800, 600, false, GS_Battle));
  ASSERT_TRUE(TestStep(3));
  ASSERT_FALSE(SysIsMinimised());
  SDL_Window* other = SDL_CreateWindow("other", 50, 50, 200, 200, SDL_WINDOW_SHOWN);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(StepUntilMinimised(true));
  EXPECT_TRUE(SndChannelIsPaused(gS.music->channel));
  SDL_DestroyWindow(other);
  OsRestore();
  ASSERT_TRUE(StepUntilMinimised(false));
  ASSERT_TRUE(TestStep(2));
  EXPECT_FALSE(SysIsMinimised());
  EXPECT_FALSE(SndChannelIsPaused(gS.music->channel));
}

}  // namespace
