// hp_os_windows.cpp - the test support's Windows calls: the environment and copies of the real
// data (links need rights a test run does not have). Games as programs of their own are Linux's.
#include <cstdlib>
#include <filesystem>

#include "hp.h"

namespace fs = std::filesystem;

void HpSetEnv(const char* name, const char* value) {
  _putenv_s(name, value ? value : "");  // an empty value removes the variable
}

bool HpLinkFile(const fs::path& from, const fs::path& to) {
  std::error_code err;
  fs::copy_file(from, to, err);
  return !err;
}
