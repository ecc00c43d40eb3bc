// hp_os_posix.cpp - the test support's Linux calls: the environment, links into the real data
// and the game started as a program of its own beside the test.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "hp.h"

namespace fs = std::filesystem;

void HpSetEnv(const char* name, const char* value) {
  if (value) setenv(name, value, 1);
  else unsetenv(name);
}

bool HpLinkFile(const fs::path& from, const fs::path& to) {
  std::error_code err;
  fs::create_symlink(from, to, err);
  return !err;
}

HpProgram HpGameStart(const std::vector<std::string>& args) {
  HpProgram p;
  p.folder = HpMakeTempFolder("hp-game");
  if (p.folder.empty()) return p;
  p.out = p.folder + "/out.txt";
  p.err = p.folder + "/err.txt";
  std::string runtime = p.folder + "/runtime", data = p.folder + "/data";
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  std::vector<char*> argv;
  std::string game = (fs::current_path() / "hollow-pikes").string();
  argv.push_back(&game[0]);
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  p.pid = fork();
  if (p.pid == 0) {
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    if (!freopen(p.out.c_str(), "w", stdout) || !freopen(p.err.c_str(), "w", stderr)) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return p;
}

namespace {

bool HpGameReap(HpProgram& p, int* status, int flags) {
  int s = 0;
  if (p.pid <= 0 || waitpid(p.pid, &s, flags) != p.pid) return false;
  p.pid = -1;
  *status = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
  return true;
}

}  // namespace

int HpGameWait(HpProgram& p) {
  int status = -1;
  HpGameReap(p, &status, 0);
  return status;
}

bool HpGameEnded(HpProgram& p, int* status) { return HpGameReap(p, status, WNOHANG); }

