// The frame: pacing and timing values, the window procedure's key slots, OpenGL error texts and
// boxes, the single-instance rule and a start without any display.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "hpaudio.h"
#include "hptest.h"
#include "kegraphics.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "states.h"

namespace {

double gAdvance = 0;
void AdvanceClockUpdate() {
  OsClockAdvance(gAdvance);
  gAdvance = 0;
}

// Waits up to six seconds for the child to end; a child still running then is killed.
bool WaitForExit(pid_t pid, int* status) {
  pid_t done = 0;
  for (int i = 0; i < 300 && done == 0; ++i) {
    if ((done = waitpid(pid, status, WNOHANG)) == 0) usleep(20000);
  }
  if (done != 0) return true;
  kill(pid, SIGKILL);
  waitpid(pid, status, 0);
  return false;
}

class FrameTest : public ::testing::Test {
 protected:
  void TearDown() override { TestEngineStop(); }
};

TEST_F(FrameTest, SlowFrameAndAltKey) {
  ASSERT_TRUE(TestEngineStart(320, 240));
  TestRunState(GS_Battle, nullptr, nullptr, AdvanceClockUpdate, nullptr, nullptr, nullptr);
  ASSERT_TRUE(TestStep(3));
  EXPECT_NEAR(SysGetFrameTime(), 1.0 / 60.0, 1e-6);
  gAdvance = 0.05;
  ASSERT_TRUE(TestStep(1));
  EXPECT_NEAR(SysGetFrameTime(), 0.05, 1e-6);
  EXPECT_NEAR(SysGetFrameRate(), 20.0, 1e-3);
  ASSERT_TRUE(TestStep(1));  // the frame after is not shortened to catch up
  EXPECT_GE(SysGetFrameTime(), 1.0 / 60.0);
  EXPECT_NEAR(SysGetFrameRate(), 60.0, 1e-3);
  double before = SysGetTime();
  OsClockAdvance(1e6);  // seconds from the counter stay exact for large counts
  EXPECT_NEAR(SysGetTime() - before, 1e6, 1e-6);

  // Alt lands in slot 10, never in its own key's slot 18, and stays held with another key.
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
}

TEST_F(FrameTest, OpenGlErrorTextAndShaderErrorBox) {
  ASSERT_TRUE(TestEngineStart(320, 240));
  glEnable(0xFFFF);
  testing::internal::CaptureStdout();
  GfxCheckError(1234);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "GL_INVALID_ENUM - kecore/src/kegraphicsogl:1234\n");

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
  if (!WaitForExit(pid, &status)) FAIL() << "the second copy kept running";
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

// A runtime folder too long for the lock's name: the lock goes to /tmp instead of a cut name,
// and still keeps a second copy out.
TEST(SingleInstance, LongRuntimeFolderStillLocks) {
  setenv("XDG_RUNTIME_DIR", ("/tmp/" + std::string(600, 'r')).c_str(), 1);
  ASSERT_TRUE(OsInstanceLockAcquire("Hollow Pikes"));
  pid_t probe = fork();
  if (probe == 0) _exit(OsInstanceLockAcquire("Hollow Pikes") ? 1 : 0);
  int status = 0;
  waitpid(probe, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a second copy got the lock";
  OsInstanceLockRelease();
  unsetenv("XDG_RUNTIME_DIR");
}

// Over ssh without X forwarding: one line saying why, status 1, and no invisible game left running.
TEST(NoDisplay, StartUpSaysSoAndExitsWithStatusOne) {
  std::string log = TestTempPath("nodisplay-stderr.txt");
  char dir[] = "/tmp/hp-lock-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) unsetenv(name);
    setenv("XDG_RUNTIME_DIR", dir, 1);
    if (!freopen(log.c_str(), "w", stderr)) _exit(126);
    execl("./hollow-pikes", "hollow-pikes", (char*)nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_TRUE(WaitForExit(pid, &status)) << "the game kept running without a display";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 1u) << (lines.empty() ? "" : lines[0] + "\n" + lines.back());
  EXPECT_EQ(lines[0].rfind("[os] no display could be opened", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("X11 with DISPLAY unset"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("WAYLAND_DISPLAY unset"), std::string::npos) << lines[0];
}

}  // namespace
