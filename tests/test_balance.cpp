// test_balance.cpp - the balance lab counts what its matches did: each match watched from outside
// frame by frame (its heroes, the seat whose opponent lost the last heart, its rounds) against
// the report the lab prints.
#include <sstream>

#include "balance/balance.h"
#include "battle/heroes.h"
#include "hp.h"

namespace {

struct Seen {
  int winner[4][4] = {};  // [player 1's hero][player 2's]: 1 or 2, 0 drawn
  int matches = 0, rounds = 0;
  GameStateId last = GS_MainMenu;
  int matchWinner = 0;
};
Seen gSeen;

void Watch() {
  GameStateId now = GsmGetCurrentState();
  if (now == GS_RoundOver) {
    for (int p = 0; p < 2; ++p)
      if (gMatch.heroHealth[p] == 0) gSeen.matchWinner = 2 - p;
  }
  if (now != gSeen.last && now == GS_RoundOver) ++gSeen.rounds;
  if (now != gSeen.last && now == GS_MainMenu) {  // the lab's stop between matches
    gSeen.winner[gMatch.hero[0] - Hero_Knight][gMatch.hero[1] - Hero_Knight] = gSeen.matchWinner;
    ++gSeen.matches;
    gSeen.matchWinner = 0;
  }
  gSeen.last = now;
}

// The whole numbers after `prefix` on the report's first line that starts with it, where runs of
// spaces count as one.
std::vector<int> NumbersAfter(const std::string& report, const std::string& prefix) {
  std::istringstream in(report);
  for (std::string line; std::getline(in, line);) {
    std::string squeezed;
    for (char ch : line)
      if (ch != ' ' || squeezed.empty() || squeezed.back() != ' ') squeezed += ch;
    if (squeezed.rfind(prefix, 0) != 0) continue;
    std::vector<int> numbers;
    const char* p = squeezed.c_str() + prefix.size();
    for (char* end; *p;)
      if (*p >= '0' && *p <= '9') numbers.push_back((int)strtol(p, &end, 10)), p = end;
      else ++p;
    return numbers;
  }
  return {};
}

TEST(BalanceLab, ReportCountsTheMatchesItPlayed) {
  BalanceSetFrameHook(Watch);
  testing::internal::CaptureStdout();
  int status = BalanceRun(1, 7);
  std::string report = testing::internal::GetCapturedStdout();
  ASSERT_EQ(status, 0) << report;
  ASSERT_EQ(gSeen.matches, 16) << "one match for each pair";

  int seat[3] = {};  // drawn, player 1, player 2
  int won[4] = {}, drawn[4] = {};
  for (int r = 0; r < 4; ++r) {
    const char* name = HeroInfoOf(Hero_Knight + r)->name;
    std::vector<int> row = NumbersAfter(report, std::string(name) + " ");
    ASSERT_GE(row.size(), 4u) << name << "'s row\n" << report;
    for (int c = 0, cell = 0; c < 4; ++c) {
      int w = gSeen.winner[r][c];
      seat[w] += 1;
      // Player 1's share: 100 % or 0 %; a drawn match adds its count of draws to the cell.
      EXPECT_EQ(row[cell++], w == 1 ? 100 : 0) << name << " against hero " << c;
      if (w == 0) {
        EXPECT_EQ(row[cell++], 1) << name << " against hero " << c << ": draws";
      }
      won[r] += w == 1, won[c] += w == 2;
      drawn[r] += w == 0, drawn[c] += w == 0;
    }
  }
  for (int h = 0; h < 4; ++h) {
    std::vector<int> line = NumbersAfter(report, std::string(" ") + HeroInfoOf(Hero_Knight + h)->name + " won");
    ASSERT_EQ(line.size(), 5u) << report;  // per cent, matches, won, lost, drawn
    EXPECT_EQ(line[2], won[h]);
    EXPECT_EQ(line[4], drawn[h]);
  }
  EXPECT_EQ(NumbersAfter(report, " player 1 won").back(), seat[1]);
  EXPECT_EQ(NumbersAfter(report, " player 2 won").back(), seat[2]);
  EXPECT_EQ(NumbersAfter(report, "Rounds: ").front(), gSeen.rounds);
}

}  // namespace
