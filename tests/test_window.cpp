// Window modes under a bare X server of 1920 by 1080: full screen's size, place and projection
// in pixels, the saved windowed size and position, and resizing with its camera bounds.
#include <SDL.h>
#include <gtest/gtest.h>

#include "hptest.h"
#include "kegraphics.h"
#include "framework/quad.h"
#include "kesystem.h"
#include "states.h"

namespace {

Mesh* gSquare = nullptr;
float gHalfW = 960, gHalfH = 540;

void SquareLoad() { gSquare = CreateQuadMesh(); }
// 20-unit squares touching the edges of a world of +-gHalfW by +-gHalfH.
void EdgeSquaresDraw() {
  const float at[4][2] = {{gHalfW - 10, 0}, {-gHalfW + 10, 0}, {0, gHalfH - 10}, {0, -gHalfH + 10}};
  GfxSetUseModColor(true);
  GfxSetModColor(0xFFFFFFFF);
  for (const auto& p : at) {
    Mtx33 m;
    MathMtx33ScaleRotTrans(m, 20, 20, 0, p[0], p[1]);
    GfxSetTransform(m);
    GfxMeshDraw(gSquare);
  }
}
void SquareUnload() { GfxMeshFree(gSquare); }

bool Lit(int x, int y) { return (TestPixel(x, y) & 0xFFFFFF) != 0; }

// Each square fills the outermost 20 pixels at the middle of its edge, nothing beyond.
void ExpectEdgeSquares(int w, int h) {
  ASSERT_EQ(TestFrameWidth(), w);
  ASSERT_EQ(TestFrameHeight(), h);
  const int edges[4][4] = {{w - 1, h / 2, -1, 0}, {0, h / 2, 1, 0}, {w / 2, 0, 0, 1}, {w / 2, h - 1, 0, -1}};
  for (const auto& e : edges) {
    EXPECT_TRUE(Lit(e[0], e[1])) << e[0] << "," << e[1];
    EXPECT_TRUE(Lit(e[0] + 19 * e[2], e[1] + 19 * e[3])) << e[0] << "," << e[1];
    EXPECT_FALSE(Lit(e[0] + 21 * e[2], e[1] + 21 * e[3])) << e[0] << "," << e[1];
  }
  EXPECT_FALSE(Lit(w / 2, h / 2));
}

void ExpectCameraBounds(float halfW, float halfH) {
  float l, r, b, t;
  GfxGetCameraBounds(&l, &r, &b, &t);
  EXPECT_TRUE(l == -halfW && r == halfW && b == -halfH && t == halfH) << l << " " << r << " " << b << " " << t;
}

class WindowTest : public ::testing::Test {
 protected:
  void TearDown() override { TestEngineStop(); }
};

TEST_F(WindowTest, FullScreenEnteredTwiceThenLeftThenResized) {
  ASSERT_TRUE(TestEngineStart(800, 600));
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  SDL_SetWindowPosition(window, 250, 140);
  TestCaptureFrames(true);
  TestRunState(GS_Battle, SquareLoad, nullptr, nullptr, EdgeSquaresDraw, nullptr, SquareUnload);
  ASSERT_TRUE(TestStep(1));

  // Entering covers the display borderless at (0, 0); a second entry must not save the
  // full-screen size and place as the windowed ones.
  for (int i = 0; i < 2; ++i) {
    SysSetFullscreen(true);
    EXPECT_EQ(SysGetWindowWidth(), 1920);
    EXPECT_EQ(SysGetWindowHeight(), 1080);
    ExpectCameraBounds(960, 540);
    ASSERT_TRUE(TestStep(1));
  }
  int x, y;
  SDL_GetWindowPosition(window, &x, &y);
  SDL_Rect display;  // the only one here: at (0, 0)
  ASSERT_EQ(SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &display), 0);
  EXPECT_EQ(x, display.x);
  EXPECT_EQ(y, display.y);
  EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_BORDERLESS);
  ExpectEdgeSquares(1920, 1080);

  // Leaving restores the framed window, its size and its place.
  SysSetFullscreen(false);
  EXPECT_FALSE(SysIsFullscreen());
  EXPECT_EQ(SysGetWindowWidth(), 800);
  EXPECT_EQ(SysGetWindowHeight(), 600);
  ExpectCameraBounds(400, 300);
  ASSERT_TRUE(TestStep(1));
  SDL_GetWindowPosition(window, &x, &y);
  EXPECT_EQ(x, 250);
  EXPECT_EQ(y, 140);
  EXPECT_FALSE(SDL_GetWindowFlags(window) & SDL_WINDOW_BORDERLESS);

  // Asking for the size already requested leaves a window resized by someone else alone;
  // a new size moves the camera bounds at once: at 1280 by 960, x = +-640 reaches the edges.
  SDL_SetWindowSize(window, 1024, 768);
  SysSetWindowSize(800, 600);
  int w, h;
  SDL_GetWindowSize(window, &w, &h);
  EXPECT_EQ(w, 1024);
  SysSetWindowSize(1280, 960);
  ExpectCameraBounds(640, 480);
  gHalfW = 640;
  gHalfH = 480;
  ASSERT_TRUE(TestStep(2));
  ExpectEdgeSquares(1280, 960);
}

TEST_F(WindowTest, StartUpDrawsItsFirstFrameFullScreenAndLeavesTo800By600At100100) {
  ASSERT_TRUE(TestEngineStart(800, 600, true));
  EXPECT_TRUE(SysIsFullscreen());
  EXPECT_EQ(SysGetWindowWidth(), 1920);
  // The very first frame already fills the display.
  gHalfW = 960;
  gHalfH = 540;
  TestCaptureFrames(true);
  TestRunState(GS_Battle, SquareLoad, nullptr, nullptr, EdgeSquaresDraw, nullptr, SquareUnload);
  ASSERT_TRUE(TestStep(1));
  ExpectEdgeSquares(1920, 1080);
  SysSetFullscreen(false);
  ASSERT_TRUE(TestStep(1));
  int x, y;
  SDL_GetWindowPosition(SDL_GL_GetCurrentWindow(), &x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 100);
  EXPECT_EQ(SysGetWindowWidth(), 800);
  EXPECT_EQ(SysGetWindowHeight(), 600);
}

}  // namespace
