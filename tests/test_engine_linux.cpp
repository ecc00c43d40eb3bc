// test_engine_linux.cpp - the engine's Linux side: the driver's libraries kept loaded for the
// leak check, no OpenGL 3.3, a second copy and a missing display seen from outside the game.
#include <link.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>

#include "hp.h"
#include "keos.h"

namespace {

// Runs the game's program after `prepare`: its exit status, or -1 if it still ran after 6 s.
int RunGame(void (*prepare)(), const std::string& errLog) {
  pid_t pid = fork();
  if (pid == 0 && (prepare(), freopen(errLog.c_str(), "w", stderr)))
    execl("./hollow-pikes", "hollow-pikes", (char*)nullptr);
  if (pid == 0) _exit(127);
  for (int i = 0, status = 0; i < 300; ++i, usleep(20000))
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
  return kill(pid, SIGKILL), waitpid(pid, nullptr, 0), -1;
}

int AddLibrary(dl_phdr_info* info, size_t, void* names) {
  static_cast<std::set<std::string>*>(names)->insert(info->dlpi_name);
  return 0;
}

// The OpenGL driver and everything it loaded stay mapped once the engine has stopped: the leak
// check at exit can then name a leak inside the driver, which suppressions can only match by name.
TEST(EngineStopTest, TheDriversLibrariesStayLoadedAfterShutDown) {
  ASSERT_TRUE(HpEngineStart());
  std::set<std::string> during, after;
  dl_iterate_phdr(AddLibrary, &during);
  HpEngineStop();
  dl_iterate_phdr(AddLibrary, &after);
  for (const std::string& lib : during) EXPECT_EQ(after.count(lib), 1u) << lib << " was unloaded";
}

TEST(EngineStartTest, NoOpenGl33ShowsTheBoxAndFailsStartUp) {
  auto run = [] {
    setenv("MESA_GL_VERSION_OVERRIDE", "3.0", 1), setenv("MESA_GLSL_VERSION_OVERRIDE", "130", 1);
    bool started = HpEngineStart();  // the test's own exit skips the half-started engine's
    _exit(!started && HpBoxes().size() == 1 && HpBoxes()[0].caption == "OpenGL 3.3 Not Supported");
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(1), "");
}

TEST(EngineStartTest, SecondCopyAndNoDisplayEndAtOnce) {
  std::string run = HpTempPath("run");  // private, so a game running elsewhere cannot interfere
  ASSERT_EQ(mkdir(run.c_str(), 0700) | setenv("XDG_RUNTIME_DIR", run.c_str(), 1), 0);
  std::string log = HpTempPath("stderr.txt");
  ASSERT_TRUE(OsInstanceLockAcquire("Hollow Pikes"));
  EXPECT_EQ(RunGame([] {}, log), 0) << "the second copy did not leave at once";
  OsInstanceLockRelease();

  // Over ssh without X forwarding: one line saying why and status 1, never an unseen game.
  EXPECT_EQ(RunGame([] {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) unsetenv(name);
  }, log), 1);
  std::ifstream in(log);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.rfind("[os] no display could be opened", 0), 0u) << text;
  EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line";
}

}  // namespace
