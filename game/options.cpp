// options.cpp - reads the command line: --computer hands seat 2 (or 1, or both) to the computer
// player, --computer-level sets how well it plays, --seed fixes its choices, --balance runs the balance lab instead of the game, --host and
// --join play online (with --matches, --fast and the test's --net-version); --help shows the
// usage; anything else is refused with the usage.
#include "options.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "balance/balance.h"
#include "computer/computer.h"
#include "kelog.h"
#include "online/online.h"
#include "online/online_wire.h"

namespace {

const char* const kUsage =
    "usage: hollow-pikes [--computer[=1|2|both]] [--computer-level=L] [--seed S]\n"
    "       hollow-pikes --host [PORT] | --join ADDRESS[:PORT] [--computer=1|2]\n"
    "                    [--computer-level=L] [--seed S] [--matches N] [--fast] [--net-figures]\n"
    "       hollow-pikes --balance N [--computer-level=L] [--seed S]\n"
    "  --computer, --computer=2  the computer plays player 2\n"
    "  --computer=1              the computer plays player 1\n"
    "  --computer=both           the computer plays both, match after match\n"
    "  --computer-level=L        how well the computer plays its seats (and in the\n"
    "                            balance lab): easy, normal (the default) or hard\n"
    "  --seed S                  the computer's choices follow seed S (0 to 4294967295)\n"
    "  --balance N               the balance lab: the computer plays N matches (1 to 1000)\n"
    "                            for every pair of heroes, unseen and silent, and prints\n"
    "                            who won; the same seed gives the same results (default 1)\n"
    "  --host [PORT]             host an online game as player 1 on UDP port PORT\n"
    "                            (default 41317; 0: any free port, which is printed)\n"
    "  --join ADDRESS[:PORT]     join the online game hosted at ADDRESS as player 2\n"
    "  --matches N               online: leave the game after N matches (1 to 1000)\n"
    "  --fast                    online, for tests and demonstrations: unseen and silent on\n"
    "                            the game's own clock, each frame as soon as both machines\n"
    "                            have it (both machines should use it)\n"
    "  --net-figures             online: the network's figures on standard error after each\n"
    "                            match\n"
    "  --net-version V           online, for tests: claim network version V at connect\n";

const uint32_t kDefaultBalanceSeed = 1;

struct Options {
  int balance = 0;  // matches per pair of heroes; 0: play the game
  uint32_t seed = kDefaultBalanceSeed;
  bool seeded = false;
  bool computer[2] = {false, false};
  ComputerLevel level = Computer_Normal;
  OnlineConfig online;
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

bool OptionsComputer(const char* arg, Options* out) {
  for (const ComputerOption& o : kComputerOptions) {
    if (strcmp(arg, o.text) != 0) continue;
    out->computer[0] = out->computer[0] || o.seat1;
    out->computer[1] = out->computer[1] || o.seat2;
    return true;
  }
  return false;
}

// Whether two words are the same in any case.
bool OptionsSameWord(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (tolower((unsigned char)*a) != tolower((unsigned char)*b)) return false;
  return *a == *b;
}

// --computer-level=easy|normal|hard; 1 when read, 0 when arg is not it, -1 for another level.
int OptionsLevel(const char* arg, Options* out) {
  const char* const prefix = "--computer-level=";
  if (strncmp(arg, prefix, strlen(prefix)) != 0) return 0;
  const char* name = arg + strlen(prefix);
  for (int level = 0; level < Computer_LevelCount; ++level) {
    if (!OptionsSameWord(name, ComputerLevelName((ComputerLevel)level))) continue;
    out->level = (ComputerLevel)level;
    return 1;
  }
  LogPrint("[options] --computer-level takes easy, normal or hard, not \"%s\"\n%s", name,
          kUsage);
  return -1;
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
    LogPrint("[options] %s needs a number%s%s\n%s", arg, value ? ", not " : "",
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

// The online options: 1 when read (i moves past a value), 0 when arg is none of them, -1 when a
// value is missing or wrong.
int OptionsOnline(int argc, char** argv, int* i, Options* o) {
  const char* arg = argv[*i];
  const char* value = *i + 1 < argc ? argv[*i + 1] : nullptr;
  OnlineConfig& c = o->online;
  unsigned long n = 0;
  if (strcmp(arg, "--fast") == 0) return c.fast = true, 1;
  if (strcmp(arg, "--net-figures") == 0) return c.figures = true, 1;
  if (strcmp(arg, "--host") == 0) {
    c.host = true;
    c.port = kOnlineDefaultPort;
    // The port is optional: a number right after --host is it.
    if (value && *value >= '0' && *value <= '9') {
      if (!OptionsNumber(value, 0, 65535, &n)) return -1;
      c.port = (uint16_t)n;
      *i += 1;
    }
    return 1;
  }
  bool join = strcmp(arg, "--join") == 0, matches = strcmp(arg, "--matches") == 0;
  bool version = strcmp(arg, "--net-version") == 0;
  if (!join && !matches && !version) return 0;
  if (!value) return -1;
  *i += 1;
  if (join) {
    c.join = true;
    snprintf(c.address, sizeof c.address, "%s", value);
    return value[0] && strlen(value) < sizeof c.address ? 1 : -1;
  }
  if (!OptionsNumber(value, 1, matches ? 1000 : 0xFFFFFFFFul, &n)) return -1;
  if (matches) c.matches = (int)n;
  else c.version = (uint32_t)n;
  return 1;
}

// An online game takes one seat: the computer may play this machine's seat and no other.
bool OptionsOnlineValid(const Options& o) {
  const OnlineConfig& c = o.online;
  bool online = c.host || c.join;
  const char* problem = nullptr;
  if (c.host && c.join) problem = "--host and --join exclude each other";
  else if (!online && (c.fast || c.matches || c.version || c.figures))
    problem = "--fast, --matches, --net-figures and --net-version need --host or --join";
  else if (online && o.computer[c.host ? 1 : 0])
    problem = c.host ? "the host plays seat 1: --computer=1 lets the computer play it"
                     : "the joiner plays seat 2: --computer=2 lets the computer play it";
  else if (online && o.balance) problem = "--balance plays no online game";
  if (problem) LogPrint("[options] %s\n%s", problem, kUsage);
  return !problem;
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
    if (OptionsComputer(arg, &o)) continue;
    int level = OptionsLevel(arg, &o);
    if (level < 0) return 2;
    if (level > 0) continue;
    int value = OptionsValue(argc, argv, &i, &o);
    if (value < 0) return 2;
    if (value > 0) continue;
    int online = OptionsOnline(argc, argv, &i, &o);
    if (online < 0) {
      LogPrint("[options] %s needs a value it can use\n%s", arg, kUsage);
      return 2;
    }
    if (online > 0) continue;
    LogPrint("[options] unknown option \"%s\"\n%s", arg, kUsage);
    return 2;
  }
  if (!OptionsOnlineValid(o)) return 2;
  for (int seat = 0; seat < 2; ++seat) ComputerSetLevel(seat, o.level);
  if (o.balance > 0) return BalanceRun(o.balance, o.seed);
  for (int seat = 0; seat < 2; ++seat)
    if (o.computer[seat]) ComputerSetSeat(seat, true);
  if (o.seeded) ComputerSetSeed(o.seed);
  if (o.online.host || o.online.join) OnlineConfigure(o.online);
  return -1;
}
