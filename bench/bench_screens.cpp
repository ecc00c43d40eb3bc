// bench_screens.cpp - the time to enter each screen: its Load and Init, as the state manager runs
// them when the screen is asked for, on the virtual clock at 1920x1080.
#include <benchmark/benchmark.h>

#include "battle/match.h"
#include "hpbench.h"
#include "kegraphics.h"
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

void SetMatch() {
  BenchSetMatch(Hero_Knight, Hero_Mage, Spell_Meteor, Spell_Execute, Spell_Stun, Spell_Wind);
}

// The game started on the screen `id` is entered from, one frame run.
bool StartBefore(benchmark::State& state, GameStateId id) {
  SetMatch();
  if (!BenchGameStart(FromOf(id), true)) {
    state.SkipWithError("the game did not start");
    return false;
  }
  BenchStep(1);
  return true;
}

// Back to where the next entry starts, with the match the battle needs set again.
void LeaveFor(GameStateId from) {
  SetMatch();
  Enter(from);
}

// Reported time: Load plus Init of one entry (wall). Counters: their main-thread CPU apart.
void BM_EnterScreen(benchmark::State& state, GameStateId id) {
  if (!StartBefore(state, id)) return;
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
    LeaveFor(FromOf(id));
  }
  double n = (double)state.iterations();
  state.counters["load_cpu_ms"] = load / n * 1e3;
  state.counters["init_cpu_ms"] = init / n * 1e3;
  BenchGameStop();
}

// Entries in turn with the renderer's fill paths all on and with those of the argument off (the
// paths that work at upload: mipmaps); Load's main-thread CPU and wall per entry of each half.
void BM_EnterScreenFillPaths(benchmark::State& state, GameStateId id) {
  if (!StartBefore(state, id)) return;
  const BenchStateTimes& t = BenchTimesOf(id);
  double cpu[2] = {0, 0}, wall[2] = {0, 0};
  int i = 0;
  for (auto _ : state) {
    int k = i++ & 1;
    GfxSetFillPaths(k ? GFX_FILL_ALL & ~(uint32_t)state.range(0) : GFX_FILL_ALL);
    if (!Enter(id)) {
      state.SkipWithError("the screen was not entered");
      break;
    }
    state.SetIterationTime(t.loadWall + t.initWall);
    cpu[k] += t.load;
    wall[k] += t.loadWall;
    LeaveFor(FromOf(id));
  }
  GfxSetFillPaths(GFX_FILL_ALL);
  double half = (double)state.iterations() / 2;
  state.counters["on_load_cpu_ms"] = cpu[0] / half * 1e3;
  state.counters["off_load_cpu_ms"] = cpu[1] / half * 1e3;
  state.counters["on_load_ms"] = wall[0] / half * 1e3;
  state.counters["off_load_ms"] = wall[1] / half * 1e3;
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

#define HP_SCREEN_FILL(id) \
  BENCHMARK_CAPTURE(BM_EnterScreenFillPaths, id, id)->Arg(GFX_FILL_MIPMAPS)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond)
HP_SCREEN_FILL(GS_Battle);
HP_SCREEN_FILL(GS_MainMenu);
HP_SCREEN_FILL(GS_RoundOver);
HP_SCREEN_FILL(GS_HowToPlay);

}  // namespace

BENCHMARK_MAIN();

