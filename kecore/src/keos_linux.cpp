// keos_linux.cpp - the OS layer's Linux calls: the instance lock on a lock file, library
// pinning, folders, sleeping and standard error's quiet moments.
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "kelog.h"
#include "keos_plat.h"

namespace {

struct LinuxState {
  int lockFd = -1;
};
LinuxState gLinux;

// False when the name does not fit: a cut name could be another file's.
bool LockPath(const char* dir, const char* product, char* out, size_t size) {
  int n = snprintf(out, size, "%s/%s-%u.lock", dir, product, (unsigned)getuid());
  if (n < 0 || (size_t)n >= size) return false;
  for (char* p = out + strlen(dir) + 1; *p; ++p)
    if (*p == ' ') *p = '-';
  return true;
}

int ListLibrary(dl_phdr_info* info, size_t, void* names) {
  if (info->dlpi_name && *info->dlpi_name)
    static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
  return 0;
}

}  // namespace

// An advisory lock on a per-user file: held for the whole run, dropped by the kernel if the game
// dies, so a crash never leaves the game unable to start.
bool PlatLockAcquire(const char* product) {
  const char* dir = getenv("XDG_RUNTIME_DIR");
  char path[512];
  if (!dir || !*dir || !LockPath(dir, product, path, sizeof path)) {
    if (!LockPath("/tmp", product, path, sizeof path)) {
      LogPrint("[os] the instance lock's name is too long; starting anyway\n");
      return true;
    }
  }
  int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    LogPrint("[os] cannot open the instance lock %s; starting anyway\n", path);
    return true;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  gLinux.lockFd = fd;
  return true;
}

void PlatLockRelease() {
  if (gLinux.lockFd < 0) return;
  close(gLinux.lockFd);  // closing drops the lock
  gLinux.lockFd = -1;
}

void PlatBeforeVideo() {}

// Every library loaded so far (the OpenGL driver and all it brought in) stays mapped until the
// process ends. Unloading them at shut-down gains nothing, and the sanitizer builds' leak check,
// which runs at exit, can name and so suppress a leak of the driver's only while it is mapped.
void PlatAfterContext() {
  std::vector<std::string> names;
  dl_iterate_phdr(ListLibrary, &names);  // no loading inside the walk: it holds the loader's lock
  for (const std::string& name : names) dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

bool PlatFolderReadable(const char* path) {
  return access(path, R_OK | X_OK) == 0;
}

bool PlatEnterFolder(const char* path) {
  return chdir(path) == 0;
}

// To an absolute deadline on the monotonic clock: a wake-up by a signal sleeps on to the same
// instant rather than starting the whole wait again.
void PlatSleepSeconds(double seconds) {
  timespec until;
  clock_gettime(CLOCK_MONOTONIC, &until);
  long long ns = until.tv_nsec + (long long)(seconds * 1e9);
  until.tv_sec += (time_t)(ns / 1000000000);
  until.tv_nsec = (long)(ns % 1000000000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

double PlatThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

void LogDebugChannel(const char*) {}  // standard error is the debugger's channel here

int PlatQuietBegin() {
  fflush(stderr);
  int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  bool quiet = saved >= 0 && null >= 0 && dup2(null, STDERR_FILENO) >= 0;
  if (null >= 0) close(null);
  if (!quiet && saved >= 0) {
    close(saved);
    return -1;
  }
  return quiet ? saved : -1;
}

void PlatQuietEnd(int token) {
  if (token < 0) return;
  fflush(stderr);
  dup2(token, STDERR_FILENO);
  close(token);
}
