// bench_computer.cpp - the computer player's strength at each level: 20 matches in each seat
// against an idle opponent, one pressing random controls, a greedy script and the computer at
// Normal, on the virtual clock with the battle and results screens undrawn. Prints the wins,
// losses and draws of each series.
#include <benchmark/benchmark.h>

#include <imgui.h>

#include <cstdio>
#include <cstdlib>

#include "battle/battle.h"
#include "battle/board.h"
#include "battle/controls.h"
#include "battle/match.h"
#include "computer/computer.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "game.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "screens/roundover.h"
#include "troops/troop.h"
#include "states.h"

namespace {

enum Opponent { OPP_Idle, OPP_Random, OPP_Greedy, OPP_Normal };
const char* const kOpponentNames[] = {"idle", "random", "greedy", "Normal"};
const int kMatchFrames = 60 * 60 * 20;  // 20 minutes of game time: an unfinished match
const int kPressFrames = 12;            // the opponents press at most once per 0.2 s too
const HeroId kHeroes[4] = {Hero_Knight, Hero_Mage, Hero_Orc, Hero_Druid};
const SpellId kSpells[4] = {Spell_Meteor, Spell_Execute, Spell_Stun, Spell_Wind};

struct Lab {
  uint32_t random = 12345;
  int frame = 0;
};
Lab gLab;

uint32_t LabRandom(uint32_t n) {
  uint32_t& x = gLab.random;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return x % n;
}

int EnvInt(const char* name, int otherwise) {
  const char* s = getenv(name);
  return s ? atoi(s) : otherwise;
}

// The computer's battle as the game runs it, undrawn: the same callbacks without Draw.
bool LabStart() {
  OsClockSetVirtual(true);
  GsmReset();
  if (!SysInit("Hollow Pikes")) return false;
  ImGui::GetIO().IniFilename = nullptr;
  SysSetFullscreen(false);
  SysSetWindowSize(160, 120);
  gAudio.Init();
  GsmAddState(GS_Battle, BattleLoad, BattleInit, BattleUpdate, nullptr, BattleFree, BattleUnload);
  GsmAddState(GS_RoundOver, RoundOverLoad, RoundOverInit, RoundOverUpdate, nullptr, RoundOverFree,
              RoundOverUnload);
  GameRegisterStates();
  return true;
}

void LabStop() {
  GsmSetNextState(GS_Quit);
  while (GsmStep()) {
  }
  GamePurgeScreens();
  gAudio.Shutdown();
  SysShutdown();
  GsmReset();
}

int LaneKey(int player, int from, int to) {
  int up = (to - from + 5) % 5;
  return ControlsKey(player, up <= 5 - up ? CTL_Up : CTL_Down);
}

// Greedy: follows the most advanced enemy troop with the strongest troop it can summon, and casts
// the first ready spell.
int GreedyKey(int me) {
  const BattlePlayer& p = BoardPlayer(me);
  Troop* front = nullptr;
  for (Troop* t : TroopAll()) {
    if (!t->alive || t->rightSide == (me == 1)) continue;
    float ahead = me == 0 ? -t->position.x : t->position.x;
    if (!front || ahead > (me == 0 ? -front->position.x : front->position.x)) front = t;
  }
  if (front && front->lane != p.lane) return LaneKey(me, p.lane + 2, front->lane + 2);
  for (int slot = 3; slot >= 0; --slot) {
    const SummonSlot& s = p.summonSlots[slot];
    if (p.energy >= ControlsSummonCost(slot) && s.chargeTimer > s.chargeTime && !p.frozen)
      return ControlsKey(me, (Control)(CTL_SummonA + slot));
  }
  for (int slot = 0; slot < 3; ++slot) {
    if (!p.spellSlots[slot].cast || !p.spellSlots[slot].ready) continue;
    if (p.spellCursor != slot + 1) return ControlsKey(me, CTL_Next);
    return ControlsKey(me, CTL_Cast);
  }
  return 0;
}

void OpponentStep(Opponent opp, int me) {
  if (GsmGetCurrentState() != GS_Battle || ++gLab.frame % kPressFrames != 0) return;
  int key = 0;
  if (opp == OPP_Random) key = ControlsKey(me, (Control)LabRandom(CTL_Count));
  if (opp == OPP_Greedy) key = GreedyKey(me);
  if (key) InputInjectKey(key);
}

void SetUpMatch() {
  for (int p = 0; p < 2; ++p) {
    gMatch.hero[p] = kHeroes[LabRandom(4)];
    int first = (int)LabRandom(4), second = (first + 1 + (int)LabRandom(3)) % 4;
    gMatch.spells[p][0] = kSpells[first];
    gMatch.spells[p][1] = kSpells[second];
    gMatch.heroHealth[p] = 3;
  }
}

// With HP_COMPUTER_TRACE, every 2 s of a round: per lane the troops of each side (player 1's
// first, with their x), and both energies.
void Trace(int frame) {
  if (!getenv("HP_COMPUTER_TRACE") || GsmGetCurrentState() != GS_Battle || frame % 120) return;
  printf("t%4d e%2d/%2d |", frame / 60, BoardPlayer(0).energy, BoardPlayer(1).energy);
  for (int lane = 2; lane >= -2; --lane) {
    for (int side = 0; side < 2; ++side) {
      for (Troop* t : TroopAll())
        if (t->alive && t->lane == lane && t->rightSide == (side == 1))
          printf(" %c%d@%d", side ? 'b' : 'a', t->kind - KnightTroop, (int)t->position.x);
    }
    printf(" |");
  }
  printf("\n");
}

// One match from its first round to the menu: 1 if the computer won, -1 if it lost, 0 unfinished.
int PlayMatch(Opponent opp, int seat, int* rounds) {
  SetUpMatch();
  GsmSetNextState(GS_Battle);
  int health[2] = {3, 3};
  GameStateId last = GS_MainMenu;
  for (int f = 0; f < kMatchFrames; ++f) {
    GsmStep();
    OpponentStep(opp, 1 - seat);
    Trace(f);
    GameStateId s = GsmGetCurrentState();
    if (s == GS_RoundOver && last != GS_RoundOver) {
      // The results screen puts the health back to 3 when it leaves for the menu.
      health[0] = gMatch.heroHealth[0];
      health[1] = gMatch.heroHealth[1];
      *rounds += 1;
    }
    last = s;
    if (s == GS_MainMenu) break;
  }
  if (health[seat] == 0) return -1;
  return health[1 - seat] == 0 ? 1 : 0;
}

// Argument 0: the computer's level; 1: the opponent; 2: the computer's seat (0 player 1,
// 1 player 2). The seeds follow the opponent and the seat alone, so every level meets the same
// heroes and spells.
void BM_ComputerStrength(benchmark::State& state) {
  ComputerLevel level = (ComputerLevel)state.range(0);
  Opponent opp = (Opponent)state.range(1);
  int seat = (int)state.range(2);
  int wins = 0, losses = 0, unfinished = 0, rounds = 0, matches = EnvInt("HP_COMPUTER_MATCHES", 20);
  for (auto _ : state) {
    if (!LabStart()) {
      state.SkipWithError("the game did not start");
      return;
    }
    // Another series (HP_COMPUTER_SERIES) moves every seed, for other heroes, spells and play.
    uint32_t series = (uint32_t)EnvInt("HP_COMPUTER_SERIES", 0);
    ComputerSetSeed(1000 + (uint32_t)opp * 10 + (uint32_t)seat + series * 7919);
    gLab.random = 777 + (uint32_t)opp * 31 + (uint32_t)seat + series * 104729;
    ComputerSetLevel(seat, level);
    ComputerSetSeat(seat, true);
    ComputerSetLevel(1 - seat, Computer_Normal);
    ComputerSetSeat(1 - seat, opp == OPP_Normal);
    GsmInit(GS_MainMenu);
    for (int m = 0; m < matches; ++m) {
      int r = PlayMatch(opp, seat, &rounds);
      if (getenv("HP_COMPUTER_VERBOSE"))
        printf("  match %2d: player 1 hero %d spells %d %d, player 2 hero %d spells %d %d: %s\n", m,
               gMatch.hero[0], gMatch.spells[0][0], gMatch.spells[0][1], gMatch.hero[1],
               gMatch.spells[1][0], gMatch.spells[1][1], r > 0 ? "won" : r < 0 ? "lost" : "unfinished");
      wins += r > 0;
      losses += r < 0;
      unfinished += r == 0;
    }
    ComputerSetSeat(0, false);
    ComputerSetSeat(1, false);
    LabStop();
  }
  state.counters["won"] = wins;
  state.counters["lost"] = losses;
  state.counters["unfinished"] = unfinished;
  state.counters["rounds"] = rounds;
  printf("%-6s as player %d against %-6s: won %2d of %d, lost %d, unfinished %d, %d rounds\n",
         ComputerLevelName(level), seat + 1, kOpponentNames[opp], wins, matches, losses,
         unfinished, rounds);
  fflush(stdout);
}
// The ladder: Normal against the scripts; Easy and Hard against them and against Normal.
BENCHMARK(BM_ComputerStrength)
    ->ArgsProduct({{Computer_Normal}, {OPP_Idle, OPP_Random, OPP_Greedy}, {0, 1}})
    ->ArgsProduct({{Computer_Easy, Computer_Hard}, {OPP_Idle, OPP_Random, OPP_Greedy, OPP_Normal},
                   {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
