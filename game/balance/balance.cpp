// balance.cpp - the balance lab's run: both seats on the computer, the game's own spell
// selection, battle and results screens undrawn and silent on the virtual clock, and what each
// side summons and casts, watched from outside the battle.
#include "balance/balance.h"

#include <cstdio>
#include <cstring>

#include "balance/balance_report.h"
#include "battle/battle.h"
#include "battle/board.h"
#include "battle/heroes.h"
#include "battle/match.h"
#include "battle/spells.h"
#include "computer/computer.h"
#include "game.h"
#include "kegsm.h"
#include "kelog.h"
#include "kesystem.h"
#include "screens/roundover.h"
#include "screens/spellselect.h"
#include "states.h"

namespace {

const int kMatchFrameLimit = 60 * 60 * 20;  // 20 minutes of game time: the match is a draw
const int kDrawn = -1, kStopped = -2;       // outcomes of a match besides the winning seat

// What a seat showed at the last frame: a summon resets its slot's charge, a cast clears its
// spell's ready flag, a launched meteor ends the aim with the spell still spent.
struct SeatWatch {
  float charge[4];
  bool ready[3];
  bool aiming;
};

struct BalanceState {
  BalanceTally tally;
  BalanceUses uses[2];  // the running match, per seat
  SeatWatch seats[2];
  GameStateId screen;   // after the last frame
  bool roundOpen;       // the battle's round is still to be decided
  void (*frameHook)();
};
BalanceState gBalance;

// Slot 0 is the hero's own spell, slots 1 and 2 the chosen ones.
SpellId BalanceSlotSpell(int player, int slot) {
  if (slot == 0) return HeroInfoOf(gMatch.hero[player])->spell;
  return gMatch.spells[player][slot - 1];
}

void BalanceCountSpell(int player, SpellId id) {
  if (id >= Spell_Meteor && id < Spell_Meteor + kBalanceSpells)
    gBalance.uses[player].spells[id - Spell_Meteor] += 1;
}

void BalanceWatchSeat(int player, bool entering) {
  const BattlePlayer& p = BoardPlayer(player);
  SeatWatch& w = gBalance.seats[player];
  for (int slot = 0; slot < 4; ++slot) {
    const SummonSlot& s = p.summonSlots[slot];
    if (!entering && s.chargeTimer < w.charge[slot] && TroopKindIsValid(s.kind))
      gBalance.uses[player].troops[s.kind - KnightTroop] += 1;
    w.charge[slot] = s.chargeTimer;
  }
  bool aiming = SpellsMeteorMarker(player) != nullptr;
  for (int slot = 0; slot < 3; ++slot) {
    SpellId id = BalanceSlotSpell(player, slot);
    bool ready = p.spellSlots[slot].ready;
    // A meteor counts once launched: a lane change during the aim gives it back.
    bool used = id == Spell_Meteor ? w.aiming && !aiming && !ready : w.ready[slot] && !ready;
    if (!entering && used) BalanceCountSpell(player, id);
    w.ready[slot] = ready;
  }
  w.aiming = aiming;
}

// The round's length runs from its first frame to the frame that decides it.
void BalanceWatchRound(bool entering) {
  BalanceTally& t = gBalance.tally;
  if (entering) gBalance.roundOpen = true;
  if (!gBalance.roundOpen) return;
  t.roundSeconds += SysGetFrameTime();
  if (BattleRoundRunning()) return;
  gBalance.roundOpen = false;
  t.rounds += 1;
  if (BattleRoundState().scored[0] && BattleRoundState().scored[1]) t.roundDraws += 1;
}

void BalanceWatch() {
  GameStateId screen = GsmGetCurrentState();
  bool entering = screen != gBalance.screen;
  gBalance.screen = screen;
  if (screen != GS_Battle) return;
  BalanceWatchRound(entering);
  BalanceWatchSeat(0, entering);
  BalanceWatchSeat(1, entering);
}

// One frame of the game, watched; false once the run was ended.
bool BalanceStep() {
  if (!GsmStep()) return false;
  BalanceWatch();
  if (gBalance.frameHook) gBalance.frameHook();
  return true;
}

void BalanceAddUses(BalanceUses& to, const BalanceUses& from) {
  for (int i = 0; i < kBalanceTroops; ++i) to.troops[i] += from.troops[i];
  for (int i = 0; i < kBalanceSpells; ++i) to.spells[i] += from.spells[i];
}

// From the lab's stop between matches through spell selection and the rounds back to it: the
// winning seat, kDrawn for a match cut at the time limit, or kStopped when the run was ended
// (Ctrl+C).
int BalancePlayMatch(HeroId hero1, HeroId hero2) {
  gMatch.hero[0] = hero1;
  gMatch.hero[1] = hero2;
  gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
  memset(gBalance.uses, 0, sizeof gBalance.uses);
  GsmSetNextState(GS_SpellSelect);
  int winner = kDrawn;
  for (int frame = 0; frame < kMatchFrameLimit; ++frame) {
    if (!BalanceStep()) return kStopped;
    // The results screen puts both healths back to 3 when it leaves for the menu.
    if (GsmGetCurrentState() == GS_RoundOver && gMatch.heroHealth[0] == 0) winner = 1;
    if (GsmGetCurrentState() == GS_RoundOver && gMatch.heroHealth[1] == 0) winner = 0;
    if (GsmGetCurrentState() == GS_MainMenu) return winner;
  }
  GsmSetNextState(GS_MainMenu);
  if (!BalanceStep()) return kStopped;
  gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
  return kDrawn;
}

void BalanceRecord(int row, int column, int winner) {
  BalanceTally& t = gBalance.tally;
  if (winner == kDrawn) {
    t.draws[row][column] += 1;
    return;
  }
  t.wins[row][column][winner] += 1;
  BalanceAddUses(t.winners, gBalance.uses[winner]);
  BalanceAddUses(t.losers, gBalance.uses[1 - winner]);
}

// False when the run was ended before the pair's last match.
bool BalancePlayPair(int row, int column, int pairIndex) {
  const BalanceTally& t = gBalance.tally;
  for (int m = 0; m < t.matchesPerPair; ++m) {
    int outcome = BalancePlayMatch(Hero_Knight + row, Hero_Knight + column);
    if (outcome == kStopped) return false;
    BalanceRecord(row, column, outcome);
  }
  LogPrint("[balance] pair %2d/16 %-6s v %-6s: %d won by player 1, %d by player 2, %d drawn\n",
          pairIndex + 1, HeroInfoOf(Hero_Knight + row)->name, HeroInfoOf(Hero_Knight + column)->name,
          t.wins[row][column][0], t.wins[row][column][1], t.draws[row][column]);
  return true;
}

// The screens a match passes through, undrawn; the menu's place is taken by an empty stop
// between matches. The first registration of an id wins over the game's table.
void BalanceRegisterStates() {
  GsmAddState(GS_MainMenu, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmAddState(GS_SpellSelect, SpellSelectLoad, SpellSelectInit, SpellSelectUpdate, nullptr,
              SpellSelectFree, SpellSelectUnload);
  GsmAddState(GS_Battle, BattleLoad, BattleInit, BattleUpdate, nullptr, BattleFree,
              BattleUnload);
  GsmAddState(GS_RoundOver, RoundOverLoad, RoundOverInit, RoundOverUpdate, nullptr,
              RoundOverFree, RoundOverUnload);
  GameRegisterStates();
}

// No sound device is opened: the game's audio stays off and plays nothing.
bool BalanceStart(uint32_t seed) {
  SysSetHeadless(true);
  SysEnterDataFolder("hollow-pikes");
  GsmReset();
  if (!SysInit("Hollow Pikes")) return false;  // the layer that failed has said why
  BalanceRegisterStates();
  ComputerSetSeed(seed);
  ComputerSetSeat(0, true);
  ComputerSetSeat(1, true);
  GsmInit(GS_MainMenu);
  return true;
}

// False when the screens left graphics resources behind (the engine's report said which).
bool BalanceStop() {
  ComputerSetSeat(0, false);
  ComputerSetSeat(1, false);
  GsmSetNextState(GS_Quit);
  while (GsmStep()) {
  }
  GamePurgeScreens();
  bool clean = SysShutdown();
  GsmReset();
  return clean;
}

}  // namespace

int BalanceRun(int matches, uint32_t seed) {
  if (matches < 1 || matches > kBalanceMaxMatches) return 2;
  void (*frameHook)() = gBalance.frameHook;
  gBalance = BalanceState();
  gBalance.frameHook = frameHook;
  gBalance.tally.matchesPerPair = matches;
  gBalance.tally.seed = seed;
  if (!BalanceStart(seed)) return 1;
  bool finished = true;
  for (int pair = 0; pair < kBalanceHeroes * kBalanceHeroes && finished; ++pair)
    finished = BalancePlayPair(pair / kBalanceHeroes, pair % kBalanceHeroes, pair);
  bool clean = BalanceStop();
  if (!finished) {
    LogPrint("[balance] stopped before the last match: no results\n");
    return 1;
  }
  BalanceReport(gBalance.tally, stdout);
  if (!clean) LogPrint("[balance] the matches left graphics resources unreleased\n");
  return clean ? 0 : 1;
}

void BalanceSetFrameHook(void (*fn)()) { gBalance.frameHook = fn; }
