// balance_report.cpp - the balance lab's report: the win table of every pair of heroes, each
// hero's and each seat's win rate, the rounds, and the troops and spells winners and losers used.
#include "balance/balance_report.h"

#include <algorithm>

#include "battle/heroes.h"
#include "battle/spells.h"

namespace {

const int kTopTroops = 4, kTopSpells = 3;

const char* HeroName(int hero) { return HeroInfoOf(Hero_Knight + hero)->name; }
const char* SpellName(int spell) { return SpellInfoOf(Spell_Meteor + spell)->name; }

// Whole per cent, rounded half up; 0 of nothing.
int Percent(int part, int whole) {
  return whole > 0 ? (200 * part + whole) / (2 * whole) : 0;
}

// "63%", or "63% (2 draws)" when some matches were not decided.
void PrintCell(FILE* out, int wins, int draws, int matches) {
  char cell[32];
  if (draws == 0) snprintf(cell, sizeof cell, "%d%%", Percent(wins, matches));
  else snprintf(cell, sizeof cell, "%d%% (%d draw%s)", Percent(wins, matches), draws,
                draws == 1 ? "" : "s");
  fprintf(out, " %-16s", cell);
}

void PrintTable(FILE* out, const BalanceTally& t) {
  fprintf(out, "Player 1's share of the matches won (rows: player 1's hero, columns: player 2's)\n\n");
  fprintf(out, "%-8s", "P1 \\ P2");
  for (int c = 0; c < kBalanceHeroes; ++c) fprintf(out, " %-16s", HeroName(c));
  fprintf(out, "\n");
  for (int r = 0; r < kBalanceHeroes; ++r) {
    fprintf(out, "%-8s", HeroName(r));
    for (int c = 0; c < kBalanceHeroes; ++c)
      PrintCell(out, t.wins[r][c][0], t.draws[r][c], t.matchesPerPair);
    fprintf(out, "\n");
  }
}

// Both seats count: a mirror match is one win and one loss of the same hero.
void PrintHeroes(FILE* out, const BalanceTally& t) {
  fprintf(out, "\nHeroes, either seat:\n");
  for (int h = 0; h < kBalanceHeroes; ++h) {
    int won = 0, drawn = 0, played = 0;
    for (int other = 0; other < kBalanceHeroes; ++other) {
      won += t.wins[h][other][0] + t.wins[other][h][1];
      drawn += t.draws[h][other] + t.draws[other][h];
      played += 2 * t.matchesPerPair;
    }
    fprintf(out, "  %-6s won %3d%% of %d matches (%d won, %d lost, %d drawn)\n", HeroName(h),
            Percent(won, played), played, won, played - won - drawn, drawn);
  }
}

void PrintSeats(FILE* out, const BalanceTally& t) {
  int won[2] = {0, 0}, drawn = 0, played = kBalanceHeroes * kBalanceHeroes * t.matchesPerPair;
  for (int r = 0; r < kBalanceHeroes; ++r)
    for (int c = 0; c < kBalanceHeroes; ++c) {
      won[0] += t.wins[r][c][0];
      won[1] += t.wins[r][c][1];
      drawn += t.draws[r][c];
    }
  fprintf(out, "\nSeats, of %d matches:\n", played);
  for (int s = 0; s < 2; ++s)
    fprintf(out, "  player %d won %3d%% (%d)\n", s + 1, Percent(won[s], played), won[s]);
  fprintf(out, "  drawn      %3d%% (%d)\n", Percent(drawn, played), drawn);
}

void PrintRounds(FILE* out, const BalanceTally& t) {
  double mean = t.rounds > 0 ? t.roundSeconds / t.rounds : 0;
  fprintf(out, "\nRounds: %d, %d of them drawn; mean length %.1f s of game time\n", t.rounds,
          t.roundDraws, mean);
}

// The `top` most used of `count` items, most first (the earlier item first on a tie), as uses
// per decided match.
void PrintTop(FILE* out, const char* what, const int* uses, int count, int top, int matches,
              const char* (*name)(int)) {
  int order[kBalanceTroops];
  for (int i = 0; i < count; ++i) order[i] = i;
  std::stable_sort(order, order + count, [&](int a, int b) { return uses[a] > uses[b]; });
  fprintf(out, "  %-7s", what);
  for (int i = 0; i < top && i < count; ++i)
    fprintf(out, "%s %s %.1f", i ? "," : "", name(order[i]),
            matches > 0 ? (double)uses[order[i]] / matches : 0.0);
  fprintf(out, "\n");
}

const char* TroopName(int troop) { return TroopStatsOf((TroopKind)(KnightTroop + troop)).name; }

void PrintUses(FILE* out, const BalanceTally& t) {
  int decided = 0;
  for (int r = 0; r < kBalanceHeroes; ++r)
    for (int c = 0; c < kBalanceHeroes; ++c) decided += t.wins[r][c][0] + t.wins[r][c][1];
  const BalanceUses* sides[2] = {&t.winners, &t.losers};
  const char* const titles[2] = {"winners", "losers"};
  for (int s = 0; s < 2; ++s) {
    fprintf(out, "\nMost used by %s (uses per decided match):\n", titles[s]);
    PrintTop(out, "troops", sides[s]->troops, kBalanceTroops, kTopTroops, decided, TroopName);
    PrintTop(out, "spells", sides[s]->spells, kBalanceSpells, kTopSpells, decided, SpellName);
  }
}

}  // namespace

void BalanceReport(const BalanceTally& t, FILE* out) {
  fprintf(out, "Hollow Pikes balance lab: %d matches per pair of heroes, seed %u\n\n",
          t.matchesPerPair, (unsigned)t.seed);
  PrintTable(out, t);
  PrintHeroes(out, t);
  PrintSeats(out, t);
  PrintRounds(out, t);
  PrintUses(out, t);
}
