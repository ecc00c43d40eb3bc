// hpdisplay.cpp - starts Xvfb with -displayfd and openbox as child processes and stops exactly
// those processes again.
#include "hpdisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct PrivateDisplay {
  pid_t server = -1, manager = -1;
  int numberFd = -1;  // kept open: the server dies of a broken pipe if it writes to a closed one
  std::string savedDisplay;
  bool hadDisplay = false;
};
PrivateDisplay gDisplay;

// Runs argv in a child with its output discarded; keepFd stays open in the child.
pid_t Spawn(const char* const argv[], int keepFd) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  int null = open("/dev/null", O_RDWR);
  dup2(null, 0);
  dup2(null, 1);
  dup2(null, 2);
  for (int fd = 3; fd < 256; ++fd)
    if (fd != keepFd) close(fd);
  execvp(argv[0], (char* const*)argv);
  _exit(127);
}

void Stop(pid_t* pid) {
  if (*pid <= 0) return;
  kill(*pid, SIGTERM);
  waitpid(*pid, nullptr, 0);
  *pid = -1;
}

// The manager announces itself on the root window once it runs.
bool ManagerReady() {
  FILE* p = popen("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", "r");
  if (!p) return false;
  char line[256] = "";
  bool ready = fgets(line, sizeof line, p) && strstr(line, "window id");
  pclose(p);
  return ready;
}

}  // namespace

bool TestPrivateDisplayStart(int width, int height, bool windowManager) {
  const char* old = getenv("DISPLAY");
  gDisplay.hadDisplay = old != nullptr;
  gDisplay.savedDisplay = old ? old : "";
  int fds[2];
  if (pipe(fds) != 0) return false;
  char fdText[16], screen[32];
  snprintf(fdText, sizeof fdText, "%d", fds[1]);
  snprintf(screen, sizeof screen, "%dx%dx24", width, height);
  const char* server[] = {"Xvfb", "-displayfd", fdText, "-screen", "0", screen, "-nolisten", "tcp", nullptr};
  gDisplay.server = Spawn(server, fds[1]);
  close(fds[1]);
  char number[16] = "";
  pollfd pfd = {fds[0], POLLIN, 0};
  ssize_t n = poll(&pfd, 1, 10000) == 1 ? read(fds[0], number, sizeof number - 1) : -1;
  gDisplay.numberFd = fds[0];
  if (n <= 0) {
    TestPrivateDisplayStop();
    return false;
  }
  number[n] = 0;
  number[strcspn(number, "\n")] = 0;
  setenv("DISPLAY", (std::string(":") + number).c_str(), 1);
  if (!windowManager) return true;
  const char* manager[] = {"openbox", "--sm-disable", nullptr};
  gDisplay.manager = Spawn(manager, -1);
  for (int i = 0; i < 400; ++i) {  // up to 20 s: a busy machine starts openbox slowly
    if (ManagerReady()) return true;
    usleep(50000);
  }
  TestPrivateDisplayStop();
  return false;
}

void TestPrivateDisplayStop() {
  Stop(&gDisplay.manager);
  Stop(&gDisplay.server);
  if (gDisplay.numberFd >= 0) close(gDisplay.numberFd);
  gDisplay.numberFd = -1;
  if (gDisplay.hadDisplay) setenv("DISPLAY", gDisplay.savedDisplay.c_str(), 1);
  else unsetenv("DISPLAY");
}
