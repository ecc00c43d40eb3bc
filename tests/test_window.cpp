// Window modes under a bare X server of 1920 by 1080: full screen's size, place and projection
// in pixels, the saved windowed size and position, and resizing with its camera bounds.
#include <SDL.h>
#include <gtest/gtest.h>

#include "hptest.h"
#include "kegraphics.h"
#include "kesystem.h"

namespace {

Mesh* gSquare = nullptr;

void SquareLoad() {
  GfxMeshStart();
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, -0.5f, -0.5f, 0, 0, 0, 0.5f, -0.5f, 0, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, 0.5f, -0.5f, 0, 1, 0, 0.5f, 0.5f, 0, 1, 1);
  gSquare = GfxMeshEnd("square");
}

// 20-unit squares touching the edges of a w by h world: right, left, top, bottom.
float gHalfW = 400, gHalfH = 300;
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

void SquareUnload() {
  GfxMeshFree(gSquare);
  gSquare = nullptr;
}

bool Lit(int x, int y) {
  return (TestPixel(x, y) & 0xFFFFFF) != 0;
}

SDL_Window* Window() {
  return SDL_GL_GetCurrentWindow();
}

class WindowTest : public ::testing::Test {
 protected:
  void TearDown() override { TestEngineStop(); }
  void RunEdgeSquares(float halfW, float halfH) {
    gHalfW = halfW;
    gHalfH = halfH;
    TestCaptureFrames(true);
    TestRunState(GS_Battle, SquareLoad, nullptr, nullptr, EdgeSquaresDraw, nullptr, SquareUnload);
  }
  // The four squares fill the outermost 20 pixels at the middle of each edge, nothing beyond.
  void ExpectEdgeSquares(int w, int h) {
    ASSERT_EQ(TestFrameWidth(), w);
    ASSERT_EQ(TestFrameHeight(), h);
    EXPECT_TRUE(Lit(w - 1, h / 2));
    EXPECT_TRUE(Lit(w - 20, h / 2));
    EXPECT_FALSE(Lit(w - 22, h / 2));
    EXPECT_TRUE(Lit(0, h / 2));
    EXPECT_TRUE(Lit(19, h / 2));
    EXPECT_FALSE(Lit(21, h / 2));
    EXPECT_TRUE(Lit(w / 2, 0));
    EXPECT_TRUE(Lit(w / 2, 19));
    EXPECT_FALSE(Lit(w / 2, 21));
    EXPECT_TRUE(Lit(w / 2, h - 1));
    EXPECT_FALSE(Lit(w / 2, h - 22));
    EXPECT_FALSE(Lit(w / 2, h / 2));
  }
};

void ExpectCameraBounds(float halfW, float halfH) {
  float l, r, b, t;
  GfxGetCameraBounds(&l, &r, &b, &t);
  EXPECT_FLOAT_EQ(r, halfW);
  EXPECT_FLOAT_EQ(l, -halfW);
  EXPECT_FLOAT_EQ(t, halfH);
  EXPECT_FLOAT_EQ(b, -halfH);
}

TEST_F(WindowTest, FullScreenCoversTheDisplayAndMapsHalfItToTheEdges) {
  ASSERT_TRUE(TestEngineStart(800, 600));
  ASSERT_FALSE(SysIsFullscreen());
  SysSetFullscreen(true);
  EXPECT_TRUE(SysIsFullscreen());
  EXPECT_EQ(SysGetWindowWidth(), 1920);
  EXPECT_EQ(SysGetWindowHeight(), 1080);
  ExpectCameraBounds(960, 540);  // at once, before any frame
  RunEdgeSquares(960, 540);
  ASSERT_TRUE(TestStep(2));
  int x, y, w, h;
  SDL_GetWindowPosition(Window(), &x, &y);
  SDL_GL_GetDrawableSize(Window(), &w, &h);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(w, 1920);
  EXPECT_EQ(h, 1080);
  EXPECT_TRUE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_BORDERLESS);
  const Mtx44& p = GfxGetProjection();
  EXPECT_FLOAT_EQ(p.m[0][0], 2.0f / 1920);
  EXPECT_FLOAT_EQ(p.m[1][1], 2.0f / 1080);
  ExpectEdgeSquares(1920, 1080);
}

TEST_F(WindowTest, EnteringTwiceKeepsTheFirstSaveAndLeavingRestoresIt) {
  ASSERT_TRUE(TestEngineStart(800, 600));
  SDL_SetWindowPosition(Window(), 250, 140);
  RunEdgeSquares(400, 300);
  ASSERT_TRUE(TestStep(1));
  SysSetFullscreen(true);
  ASSERT_TRUE(TestStep(1));
  SysSetFullscreen(true);  // must not save the full-screen size and place as the windowed ones
  EXPECT_EQ(SysGetWindowWidth(), 1920);
  ASSERT_TRUE(TestStep(1));
  SysSetFullscreen(false);
  EXPECT_FALSE(SysIsFullscreen());
  EXPECT_EQ(SysGetWindowWidth(), 800);
  EXPECT_EQ(SysGetWindowHeight(), 600);
  ExpectCameraBounds(400, 300);
  ASSERT_TRUE(TestStep(2));
  int x, y;
  SDL_GetWindowPosition(Window(), &x, &y);
  EXPECT_EQ(x, 250);
  EXPECT_EQ(y, 140);
  EXPECT_FALSE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_BORDERLESS);
  ExpectEdgeSquares(800, 600);
  SysSetFullscreen(false);  // leaving twice is as harmless
  EXPECT_EQ(SysGetWindowWidth(), 800);
}

TEST_F(WindowTest, StartUpInFullScreenFirstLeavesTo800By600At100100) {
  ASSERT_TRUE(TestEngineStart(800, 600, true));
  EXPECT_TRUE(SysIsFullscreen());
  EXPECT_EQ(SysGetWindowWidth(), 1920);
  EXPECT_EQ(SysGetWindowHeight(), 1080);
  RunEdgeSquares(960, 540);
  ASSERT_TRUE(TestStep(2));
  ExpectEdgeSquares(1920, 1080);
  SysSetFullscreen(false);
  ASSERT_TRUE(TestStep(1));
  int x, y, w, h;
  SDL_GetWindowPosition(Window(), &x, &y);
  SDL_GL_GetDrawableSize(Window(), &w, &h);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 100);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
}

TEST_F(WindowTest, UnchangedSizeLeavesTheWindowAloneAndANewOneMovesTheCamera) {
  ASSERT_TRUE(TestEngineStart(800, 600));
  // Someone else resized the window; asking for the size the engine already requested is
  // no reason to touch it.
  SDL_SetWindowSize(Window(), 1024, 768);
  SysSetWindowSize(800, 600);
  int w, h;
  SDL_GetWindowSize(Window(), &w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  SysSetWindowSize(640, 480);
  EXPECT_EQ(SysGetWindowWidth(), 640);
  ExpectCameraBounds(320, 240);  // at once, not only at the next frame start
  RunEdgeSquares(320, 240);
  ASSERT_TRUE(TestStep(2));
  ExpectEdgeSquares(640, 480);
  SysSetWindowSize(1280, 960);
  ExpectCameraBounds(640, 480);
  gHalfW = 640;
  gHalfH = 480;
  ASSERT_TRUE(TestStep(1));
  ExpectEdgeSquares(1280, 960);
}

}  // namespace
