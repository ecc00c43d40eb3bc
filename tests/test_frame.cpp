// The frame: pacing and timing values, the window procedure's key slots, the projection and
// tint reaching the pixels, OpenGL error texts and boxes, and the single-instance rule.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "hptest.h"
#include "kegraphics.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"

namespace {

double gAdvance = 0;
void AdvanceClockUpdate() {
  OsClockAdvance(gAdvance);
  gAdvance = 0;
}

class FrameTest : public ::testing::Test {
 protected:
  void TearDown() override { TestEngineStop(); }
};

TEST_F(FrameTest, SlowFrameReportsItsDurationAndTheNextIsNotShortened) {
  ASSERT_TRUE(TestEngineStart());
  TestRunState(GS_Battle, nullptr, nullptr, AdvanceClockUpdate, nullptr, nullptr, nullptr);
  ASSERT_TRUE(TestStep(3));
  EXPECT_NEAR(SysGetFrameTime(), 1.0 / 60.0, 1e-6);
  EXPECT_GE(SysGetFrameTime(), 1.0 / 60.0);
  uint32_t frames = SysGetFrameCount();
  gAdvance = 0.05;
  ASSERT_TRUE(TestStep(1));
  EXPECT_NEAR(SysGetFrameTime(), 0.05, 1e-6);
  EXPECT_NEAR(SysGetFrameRate(), 20.0, 1e-3);
  ASSERT_TRUE(TestStep(1));
  EXPECT_GE(SysGetFrameTime(), 1.0 / 60.0);
  EXPECT_NEAR(SysGetFrameRate(), 60.0, 1e-3);
  EXPECT_EQ(SysGetFrameCount(), frames + 2);
}

TEST_F(FrameTest, SecondsFromTheCounterStayExactForLargeCounts) {
  ASSERT_TRUE(TestEngineStart());
  double before = SysGetTime();
  OsClockAdvance(1e6);  // eleven days of virtual time
  EXPECT_NEAR(SysGetTime() - before, 1e6, 1e-6);
}

TEST_F(FrameTest, AltLandsInSlotTenAndNeverEighteen) {
  ASSERT_TRUE(TestEngineStart());
  TestRunState(GS_Battle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  TestKeyDown(VK_MENU, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputGetKeyValue(KEY_ALT), 2);
  EXPECT_EQ(InputGetKeyValue(VK_MENU), 0);
  TestKeyDown(VK_F4, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputGetKeyValue(KEY_ALT), 1);
  EXPECT_EQ(InputGetKeyValue(VK_F4), 2);
  TestKeyUp(VK_F4, true);
  TestKeyUp(VK_MENU);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputGetKeyValue(KEY_ALT), 0);
  EXPECT_EQ(InputGetKeyValue(VK_MENU), 0);
}

Mesh* gSquare = nullptr;
float gQuadX = 0, gQuadSize = 20;
uint32_t gQuadColor = 0xFFFFFFFF;

void SquareLoad() {
  GfxMeshStart();
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, -0.5f, -0.5f, 0, 0, 0, 0.5f, -0.5f, 0, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, 0.5f, -0.5f, 0, 1, 0, 0.5f, 0.5f, 0, 1, 1);
  gSquare = GfxMeshEnd("square");
}
void SquareDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, gQuadSize, gQuadSize, 0, gQuadX, 0);
  GfxSetTransform(m);
  GfxSetUseModColor(true);
  GfxSetModColor(gQuadColor);
  GfxMeshDraw(gSquare);
}
void SquareUnload() {
  GfxMeshFree(gSquare);
  gSquare = nullptr;
}

TEST_F(FrameTest, QuadAtTheOriginLandsAtTheWindowCentre) {
  ASSERT_TRUE(TestEngineStart(800, 600));
  TestCaptureFrames(true);
  gQuadX = 0;
  gQuadSize = 20;
  gQuadColor = 0xFFFFFFFF;
  TestRunState(GS_Battle, SquareLoad, nullptr, nullptr, SquareDraw, nullptr, SquareUnload);
  ASSERT_TRUE(TestStep(2));
  ASSERT_EQ(TestFrameWidth(), 800);
  ASSERT_EQ(TestFrameHeight(), 600);
  EXPECT_EQ(TestPixel(400, 300) & 0xFFFFFF, 0xFFFFFEu);  // white is stored as 0xFFFFFFFE
  EXPECT_EQ(TestPixel(391, 291) & 0xFFFFFF, 0xFFFFFEu);
  EXPECT_EQ(TestPixel(388, 300) & 0xFFFFFF, 0u);
  EXPECT_EQ(TestPixel(400, 312) & 0xFFFFFF, 0u);
}

TEST_F(FrameTest, ProjectionMapsHalfTheClientSizeToTheEdges) {
  ASSERT_TRUE(TestEngineStart(1280, 960));
  TestCaptureFrames(true);
  gQuadSize = 20;
  gQuadColor = 0xFFFFFFFF;
  gQuadX = 630;  // covers x 620..640, the right edge
  TestRunState(GS_Battle, SquareLoad, nullptr, nullptr, SquareDraw, nullptr, SquareUnload);
  ASSERT_TRUE(TestStep(2));
  ASSERT_EQ(TestFrameWidth(), 1280);
  EXPECT_NE(TestPixel(1279, 480) & 0xFFFFFF, 0u);
  EXPECT_NE(TestPixel(1261, 480) & 0xFFFFFF, 0u);
  EXPECT_EQ(TestPixel(1258, 480) & 0xFFFFFF, 0u);
  gQuadX = -630;
  ASSERT_TRUE(TestStep(1));
  EXPECT_NE(TestPixel(0, 480) & 0xFFFFFF, 0u);
  EXPECT_EQ(TestPixel(21, 480) & 0xFFFFFF, 0u);
  const Mtx44& p = GfxGetProjection();
  EXPECT_FLOAT_EQ(p.m[0][0], 2.0f / 1280);
  EXPECT_FLOAT_EQ(p.m[1][1], 2.0f / 960);
  EXPECT_FLOAT_EQ(p.m[2][3], -1.00002f);
}

TEST_F(FrameTest, ModulationColourReachesTheShaderAsItsFractions) {
  ASSERT_TRUE(TestEngineStart(800, 600));
  TestCaptureFrames(true);
  gQuadX = 0;
  gQuadSize = 40;
  gQuadColor = 0x88FF0000;  // the meteor marker's translucent red
  TestRunState(GS_Battle, SquareLoad, nullptr, nullptr, SquareDraw, nullptr, SquareUnload);
  ASSERT_TRUE(TestStep(2));
  EXPECT_EQ(GfxGetModColor(), 0x88FF0000u);
  uint32_t px = TestPixel(400, 300);
  // Over the black clear colour, alpha blending leaves red x 0x88/255.
  EXPECT_NEAR((int)((px >> 16) & 0xFF), 0x88, 1);
  EXPECT_EQ(px & 0xFFFF, 0u);
  GfxSetModColor(0xFFFFFFFF);
  EXPECT_EQ(GfxGetModColor(), 0xFFFFFFFEu);
}

TEST_F(FrameTest, OpenGlErrorsAreReportedWithTheirNameAndCheckSite) {
  ASSERT_TRUE(TestEngineStart());
  glEnable(0xFFFF);
  testing::internal::CaptureStdout();
  GfxCheckError(1234);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "GL_INVALID_ENUM - kecore/src/kegraphicsogl:1234\n");
}

TEST_F(FrameTest, ShaderCompileFailureShowsTheLogInABox) {
  ASSERT_TRUE(TestEngineStart());
  GLuint s = glCreateShader(GL_FRAGMENT_SHADER);
  const char* bad = "#version 330\nvoid main(){ this is not glsl }\n";
  glShaderSource(s, 1, &bad, nullptr);
  glCompileShader(s);
  GfxCheckShader(s);
  glDeleteShader(s);
  ASSERT_EQ(TestMessageBoxes().size(), 1u);
  EXPECT_EQ(TestMessageBoxes()[0].caption, "Vertex Shader Compilation Error");
  EXPECT_FALSE(TestMessageBoxes()[0].text.empty());
}

TEST(FrameNoGl33, MissingOpenGl33ShowsTheBoxAndFailsStartUp) {
  EXPECT_EXIT(
      {
        setenv("MESA_GL_VERSION_OVERRIDE", "3.0", 1);
        setenv("MESA_GLSL_VERSION_OVERRIDE", "130", 1);
        bool started = TestEngineStart();
        const auto& boxes = TestMessageBoxes();
        bool shown = boxes.size() == 1 && boxes[0].caption == "OpenGL 3.3 Not Supported" &&
                     boxes[0].text == "OpenGL 3.3 is not supported! Please download latest GPU drivers!";
        _exit(!started && shown ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(SingleInstance, SecondCopyExitsAtOnceWithStatusZero) {
  // A private lock folder, so a game running elsewhere on this machine cannot interfere.
  char dir[] = "/tmp/hp-lock-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  setenv("XDG_RUNTIME_DIR", dir, 1);
  ASSERT_TRUE(OsInstanceLockAcquire("Hollow Pikes"));
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl("./hollow-pikes", "hollow-pikes", (char*)nullptr);
    _exit(127);
  }
  int status = 0;
  pid_t done = 0;
  for (int i = 0; i < 300 && done == 0; ++i) {  // the copy must not start a game: it ends promptly
    done = waitpid(pid, &status, WNOHANG);
    if (done == 0) usleep(20000);
  }
  if (done == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << "the second copy kept running";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // The first copy still holds the lock.
  pid_t probe = fork();
  if (probe == 0) _exit(OsInstanceLockAcquire("Hollow Pikes") ? 1 : 0);
  waitpid(probe, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  OsInstanceLockRelease();
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
