// options.cpp - reads the command line: --computer hands seat 2 (or 1, or both) to the computer
// player; --help shows the usage; anything else is refused with the usage.
#include "options.h"

#include <cstdio>
#include <cstring>

#include "computer/computer.h"

namespace {

const char* const kUsage =
    "usage: hollow-pikes [--computer[=1|2|both]]\n"
    "  --computer, --computer=2  the computer plays player 2\n"
    "  --computer=1              the computer plays player 1\n"
    "  --computer=both           the computer plays both, match after match\n";

struct ComputerOption {
  const char* text;
  bool seat1, seat2;
};
const ComputerOption kComputerOptions[] = {
    {"--computer", false, true},
    {"--computer=2", false, true},
    {"--computer=1", true, false},
    {"--computer=both", true, true},
};

bool OptionsComputer(const char* arg) {
  for (const ComputerOption& o : kComputerOptions) {
    if (strcmp(arg, o.text) != 0) continue;
    if (o.seat1) ComputerSetSeat(0, true);
    if (o.seat2) ComputerSetSeat(1, true);
    return true;
  }
  return false;
}

}  // namespace

int OptionsApply(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
      fputs(kUsage, stdout);
      return 0;
    }
    if (OptionsComputer(arg)) continue;
    fprintf(stderr, "[options] unknown option \"%s\"\n%s", arg, kUsage);
    return 2;
  }
  return -1;
}
