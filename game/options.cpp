// options.cpp - reads the command line: --computer hands seat 2 (or 1, or both) to the computer
// player, --seed fixes its choices, --balance runs the balance lab instead of the game; --help
// shows the usage; anything else is refused with the usage.
#include "options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "balance/balance.h"
#include "computer/computer.h"

namespace {

const char* const kUsage =
    "usage: hollow-pikes [--computer[=1|2|both]] [--seed S]\n"
    "       hollow-pikes --balance N [--seed S]\n"
    "  --computer, --computer=2  the computer plays player 2\n"
    "  --computer=1              the computer plays player 1\n"
    "  --computer=both           the computer plays both, match after match\n"
    "  --seed S                  the computer's choices follow seed S (0 to 4294967295)\n"
    "  --balance N               the balance lab: the computer plays N matches (1 to 1000)\n"
    "                            for every pair of heroes, unseen and silent, and prints\n"
    "                            who won; the same seed gives the same results (default 1)\n";

const uint32_t kDefaultBalanceSeed = 1;

struct Options {
  int balance = 0;  // matches per pair of heroes; 0: play the game
  uint32_t seed = kDefaultBalanceSeed;
  bool seeded = false;
};

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

// A whole decimal number from min to max; false for anything else (signs, spaces, overflow).
bool OptionsNumber(const char* text, unsigned long min, unsigned long max, unsigned long* out) {
  if (!text || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long n = strtoul(text, &end, 10);
  if (errno != 0 || *end != '\0' || n < min || n > max) return false;
  *out = n;
  return true;
}

// --balance N or --seed S with its value in the next argument; 1 when read (i moves past the
// value), 0 when arg is neither, -1 when the value is missing or out of range.
int OptionsValue(int argc, char** argv, int* i, Options* o) {
  const char* arg = argv[*i];
  bool balance = strcmp(arg, "--balance") == 0;
  if (!balance && strcmp(arg, "--seed") != 0) return 0;
  const char* value = *i + 1 < argc ? argv[*i + 1] : nullptr;
  unsigned long n = 0;
  if (!OptionsNumber(value, balance ? 1 : 0, balance ? kBalanceMaxMatches : 0xFFFFFFFFul, &n)) {
    fprintf(stderr, "[options] %s needs a number%s%s\n%s", arg, value ? ", not " : "",
            value ? value : "", kUsage);
    return -1;
  }
  *i += 1;
  if (balance) {
    o->balance = (int)n;
  } else {
    o->seed = (uint32_t)n;
    o->seeded = true;
  }
  return 1;
}

}  // namespace

int OptionsApply(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
      fputs(kUsage, stdout);
      return 0;
    }
    if (OptionsComputer(arg)) continue;
    int value = OptionsValue(argc, argv, &i, &o);
    if (value < 0) return 2;
    if (value > 0) continue;
    fprintf(stderr, "[options] unknown option \"%s\"\n%s", arg, kUsage);
    return 2;
  }
  if (o.balance > 0) return BalanceRun(o.balance, o.seed);
  if (o.seeded) ComputerSetSeed(o.seed);
  return -1;
}
