// hpbench.cpp - the benchmark support layer: the real game started headless with each screen's
// callbacks wrapped in timers, SDL key events, clocks and order statistics.
#include "hpbench.h"

#include <GL/glew.h>
#include <SDL.h>
#include <imgui.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "battle/battle.h"
#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "game.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "screens/credits.h"
#include "screens/heroselect.h"
#include "screens/howtoplay.h"
#include "screens/mainmenu.h"
#include "screens/roundover.h"
#include "screens/screen.h"
#include "screens/settings.h"
#include "screens/spellselect.h"
#include "states.h"

namespace {

// Each of the game's screens gets its callbacks wrapped in a timer.
const int kStateCount = kGameScreenCount;

struct BenchState {
  BenchStateTimes times[kStateCount];
  BenchStateTimes none;
};
BenchState gBench;

void PrintBox(const char* text, const char* caption, uint32_t) {
  fprintf(stderr, "[bench] message box \"%s\": %s\n", caption ? caption : "", text ? text : "");
}

// Runs fn and stores its main-thread CPU time (and optionally wall time).
void Timed(GsmCallback fn, double* cpu, double* wall = nullptr) {
  double w0 = BenchWall(), c0 = BenchThreadCpu();
  fn();
  *cpu = BenchThreadCpu() - c0;
  if (wall) *wall = BenchWall() - w0;
}

template <int I>
struct Wrap {
  static void Load() { Timed(GameScreens()[I].load, &gBench.times[I].load, &gBench.times[I].loadWall); }
  static void Init() { Timed(GameScreens()[I].init, &gBench.times[I].init, &gBench.times[I].initWall); }
  static void Update() { Timed(GameScreens()[I].update, &gBench.times[I].update); }
  static void Draw() { Timed(GameScreens()[I].draw, &gBench.times[I].draw); }
  static void Register() {
    const ScreenEntry& s = GameScreens()[I];
    GsmAddState(s.id, Load, Init, Update, Draw, s.free, s.unload);
  }
};

// The first registration of an id wins, so the timed ones go in before the game's own.
void RegisterTimedStates() {
  Wrap<0>::Register();
  Wrap<1>::Register();
  Wrap<2>::Register();
  Wrap<3>::Register();
  Wrap<4>::Register();
  Wrap<5>::Register();
  Wrap<6>::Register();
  Wrap<7>::Register();
  static_assert(kStateCount == 8, "one wrapper per screen");
  GameRegisterStates();
}

double Seconds(clockid_t clock) {
  timespec ts;
  clock_gettime(clock, &ts);
  return (double)ts.tv_sec + (double)ts.tv_nsec * 1e-9;
}

SDL_Scancode ScancodeOf(int vk) {
  if (vk >= 'A' && vk <= 'Z') return (SDL_Scancode)(SDL_SCANCODE_A + (vk - 'A'));
  if (vk >= '1' && vk <= '9') return (SDL_Scancode)(SDL_SCANCODE_1 + (vk - '1'));
  if (vk == VK_NUMPAD0) return SDL_SCANCODE_KP_0;
  if (vk > VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
    return (SDL_Scancode)(SDL_SCANCODE_KP_1 + (vk - VK_NUMPAD0 - 1));
  switch (vk) {
    case VK_SPACE: return SDL_SCANCODE_SPACE;
    case VK_RETURN: return SDL_SCANCODE_RETURN;
    case VK_ESCAPE: return SDL_SCANCODE_ESCAPE;
    case VK_UP: return SDL_SCANCODE_UP;
    case VK_DOWN: return SDL_SCANCODE_DOWN;
    case VK_LEFT: return SDL_SCANCODE_LEFT;
    case VK_RIGHT: return SDL_SCANCODE_RIGHT;
    default: return SDL_SCANCODE_UNKNOWN;
  }
}

void PushKey(int vk, bool down) {
  SDL_Event e = {};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = ScancodeOf(vk);
  e.key.keysym.sym = SDL_GetKeyFromScancode(e.key.keysym.scancode);
  SDL_PushEvent(&e);
}

}  // namespace

double BenchWall() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}
double BenchThreadCpu() { return Seconds(CLOCK_THREAD_CPUTIME_ID); }
double BenchProcessCpu() { return Seconds(CLOCK_PROCESS_CPUTIME_ID); }

bool BenchGameStart(GameStateId first, bool virtualClock, bool fullscreen, int w, int h) {
  OsClockSetVirtual(virtualClock);
  OsSetMessageBoxHook(PrintBox);
  GsmReset();
  if (!SysInit("Hollow Pikes")) return false;
  ImGui::GetIO().IniFilename = nullptr;  // leave no imgui.ini behind
  static bool told = false;
  if (!told) {
    told = true;
    printf("Renderer: %s, OpenGL %s\n", (const char*)glGetString(GL_RENDERER),
           (const char*)glGetString(GL_VERSION));
  }
  if (!fullscreen) {
    SysSetFullscreen(false);
    SysSetWindowSize(w, h);
  }
  gAudio.Init();
  gHowToPlayAudio.Init();
  gCreditsAudio.Init();
  gSettingsAudio.Init();
  musicVolume = soundVolume = 1.0f;
  muted = false;
  BattleSetNoHealthLoss(false);
  MainMenuReplayLogos();
  RegisterTimedStates();
  ScreenFullscreenFlag(first) = fullscreen;
  GsmInit(first);
  return true;
}

void BenchGameStop() {
  GsmSetNextState(GS_Quit);
  while (GsmStep()) {
  }
  GamePurgeScreens();
  gSettingsAudio.Shutdown();
  gCreditsAudio.Shutdown();
  gHowToPlayAudio.Shutdown();
  gAudio.Shutdown();
  SysShutdown();
  GsmReset();
}

bool BenchStep(int frames) {
  for (int i = 0; i < frames; ++i)
    if (!GsmStep()) return false;
  return true;
}

const BenchStateTimes& BenchTimesOf(GameStateId id) {
  for (int i = 0; i < kStateCount; ++i)
    if (GameScreens()[i].id == id) return gBench.times[i];
  return gBench.none;
}

void BenchKeyDown(int vk) { PushKey(vk, true); }
void BenchKeyUp(int vk) { PushKey(vk, false); }

void BenchSetMatch(int hero1, int hero2, int spell10, int spell11, int spell20, int spell21) {
  gMatch.hero[0] = hero1;
  gMatch.hero[1] = hero2;
  gMatch.spells[0][0] = spell10;
  gMatch.spells[0][1] = spell11;
  gMatch.spells[1][0] = spell20;
  gMatch.spells[1][1] = spell21;
  gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
  gMatch.roundWinner = Round_P1Won;
}

BenchSummary BenchSummarise(std::vector<double> s) {
  BenchSummary r;
  if (s.empty()) return r;
  std::sort(s.begin(), s.end());
  auto at = [&s](double q) { return s[std::min(s.size() - 1, (size_t)(q * (double)s.size()))]; };
  double sum = 0, sq = 0;
  for (double v : s) sum += v;
  r.mean = sum / (double)s.size();
  for (double v : s) sq += (v - r.mean) * (v - r.mean);
  r.stddev = std::sqrt(sq / (double)s.size());
  r.min = s.front();
  r.max = s.back();
  r.p50 = at(0.50);
  r.p90 = at(0.90);
  r.p99 = at(0.99);
  return r;
}
