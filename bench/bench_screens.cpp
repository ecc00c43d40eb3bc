// bench_screens.cpp - the time to enter each screen: its Load and Init, as the state manager runs
// them when the screen is asked for, on the virtual clock at 1920x1080.
#include <benchmark/benchmark.h>

#include "battle/match.h"
#include "hpbench.h"
#include "kegsm.h"
#include "states.h"

namespace {

// Every screen is entered from the main menu, the main menu from the credits, and spell selection
// from hero selection, whose Load gives it the music it frees at its Unload.
GameStateId FromOf(GameStateId id) {
  if (id == GS_MainMenu) return GS_Credits;
  if (id == GS_SpellSelect) return GS_HeroSelect;
  return GS_MainMenu;
}

bool Enter(GameStateId id) {
  GsmSetNextState(id);
  return BenchStep(1) && GsmGetCurrentState() == id;
}

// Reported time: Load plus Init of one entry (wall). Counters: their main-thread CPU apart.
void BM_EnterScreen(benchmark::State& state, GameStateId id) {
  BenchSetMatch(Hero_Knight, Hero_Mage, Spell_Meteor, Spell_Execute, Spell_Stun, Spell_Wind);
  if (!BenchGameStart(FromOf(id), true)) {
    state.SkipWithError("the game did not start");
    return;
  }
  BenchStep(1);
  const BenchStateTimes& t = BenchTimesOf(id);
  double load = 0, init = 0;
  for (auto _ : state) {
    if (!Enter(id)) {
      state.SkipWithError("the screen was not entered");
      break;
    }
    state.SetIterationTime(t.loadWall + t.initWall);
    load += t.load;
    init += t.init;
    BenchSetMatch(Hero_Knight, Hero_Mage, Spell_Meteor, Spell_Execute, Spell_Stun, Spell_Wind);
    Enter(FromOf(id));
  }
  double n = (double)state.iterations();
  state.counters["load_cpu_ms"] = load / n * 1e3;
  state.counters["init_cpu_ms"] = init / n * 1e3;
  BenchGameStop();
}

#define HP_SCREEN(id) \
  BENCHMARK_CAPTURE(BM_EnterScreen, id, id)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond)
HP_SCREEN(GS_Battle);
HP_SCREEN(GS_MainMenu);
HP_SCREEN(GS_HeroSelect);
HP_SCREEN(GS_SpellSelect);
HP_SCREEN(GS_RoundOver);
HP_SCREEN(GS_HowToPlay);
HP_SCREEN(GS_Settings);
HP_SCREEN(GS_Credits);

}  // namespace

BENCHMARK_MAIN();
