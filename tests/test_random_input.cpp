// A long run of the real game on random input of both players: keys of every screen, two
// virtual pads plugged and unplugged with random buttons and sticks, F11, minimise and restore,
// now and then a quit and a fresh start of the loop. Built with the sanitizers it must not crash
// or report; it must visit every screen, keep the match record sane, leave nothing behind when a
// screen is left, and nothing at exit. Runs under tests/display.sh (a window manager, 1366x768).
// HP_RANDOM_HEADLESS=1 runs it unseen, as the balance lab runs: nothing is drawn or presented and
// nothing minimises, so a long soak costs the game's own work alone.
#include <SDL.h>
#include <unistd.h>

#include <map>
#include <random>

#include "battle/battle.h"
#include "battle/pause.h"
#include "game.h"
#include "hp.h"
#include "keos.h"
#include "kesound.h"
#include "kesystem.h"

namespace {

// Frames and seed of the run: CI's two minutes on two cores with the sanitizers, unless the
// environment asks for a longer soak (HP_RANDOM_FRAMES, HP_RANDOM_SEED).
unsigned EnvNumber(const char* name, unsigned fallback) {
  const char* text = getenv(name);
  return text && *text ? (unsigned)strtoul(text, nullptr, 10) : fallback;
}
const int kFrames = (int)EnvNumber("HP_RANDOM_FRAMES", 8000);
const unsigned kSeed = EnvNumber("HP_RANDOM_SEED", 20261206);
const bool kHeadless = EnvNumber("HP_RANDOM_HEADLESS", 0) != 0;
const int kProgressFrames = kFrames > 100000 ? 10000 : 1000;
// Minimising needs a window manager, and a window to minimise.
const bool kManaged = getenv("HP_WINDOW_MANAGER") != nullptr && !kHeadless;

// Every key some screen reads (the Alt+F4 quit is sent on its own, rarely).
const int kAllKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 'W', 'A', 'S', 'D', '1', '2', '3', '4',
                        'Z', 'K', 'P', 'Q', 'G', 'R', VK_CONTROL, VK_ESCAPE, VK_SPACE, VK_RETURN,
                        VK_NUMPAD0,     VK_NUMPAD0 + 1, VK_NUMPAD0 + 2, VK_NUMPAD0 + 3,
                        VK_NUMPAD0 + 4, VK_NUMPAD0 + 5, VK_NUMPAD0 + 6, VK_NUMPAD0 + 7,
                        VK_NUMPAD0 + 8, VK_NUMPAD0 + 9, '7', '8', '9', '0', 'M', 'O', 'L'};

// The keys a screen's players mostly press, so that the run moves on through the game. The
// keys that leave a screen appear once, the ones that play it several times. In battle one
// player, the attacker, summons much more than the other, so rounds are won; while the run
// wanders the battle is paused often, for the pause menu and the screens it shows.
std::vector<int> FavouredKeys(GameStateId state, int attacker, bool wander) {
  switch (state) {
    case GS_MainMenu: return {VK_UP, VK_DOWN, VK_DOWN, VK_SPACE, VK_RETURN, VK_RIGHT, VK_LEFT};
    case GS_HeroSelect:
    case GS_SpellSelect:
      return {VK_SPACE, VK_SPACE, 'A', 'D', 'W', 'S', VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
    case GS_HowToPlay: return {VK_RIGHT, VK_LEFT, VK_RIGHT, VK_ESCAPE};
    case GS_Settings: return {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE, 'Q'};
    case GS_Credits: return {VK_SPACE, VK_SPACE, VK_SPACE, VK_ESCAPE};
    case GS_Battle: break;
    default: return {VK_SPACE};
  }
  if (PauseIsOpen()) return {'W', 'S', VK_UP, VK_DOWN, VK_SPACE, 'P', VK_NUMPAD0 + 9, VK_ESCAPE};
  std::vector<int> keys = {'W', 'S', VK_UP, VK_DOWN, 'D', 'A', 'Z', VK_RIGHT, VK_LEFT, 
                           VK_NUMPAD0 + 4};
  if (wander) keys.insert(keys.end(), {'P', VK_ESCAPE, VK_NUMPAD0 + 9});
  const int summons[2][4] = {{'1', '2', '3', '4'},
                             {VK_NUMPAD0, VK_NUMPAD0 + 1, VK_NUMPAD0 + 2, VK_NUMPAD0 + 3}};
  for (int p = 0; p < 2; ++p)
    for (int n = 0; n < (p == attacker ? 4 : 1); ++n)
      keys.insert(keys.end(), summons[p], summons[p] + 4);
  return keys;
}

// Pause menu items: How to play, Settings, Credits, Restart, Go back to menu.
const int kPauseTour[5] = {-1, -2, -3, -4, 0};

const uint16_t kPadButtons[] = {PAD_DPAD_UP, PAD_DPAD_DOWN, PAD_DPAD_LEFT, PAD_DPAD_RIGHT, PAD_BACK,
                                PAD_A, PAD_B, PAD_X, PAD_Y, PAD_LEFT_THUMB, PAD_RIGHT_SHOULDER};

struct RunCounts {
  std::map<GameStateId, int> framesIn;
  int plugs = 0, f11 = 0, minimises = 0, quits = 0, roundsEnded = 0, matchesEnded = 0;
};

class RandomInputTest : public ::testing::Test {
 protected:
  std::mt19937 rng{kSeed};
  RunCounts counts;
  std::map<int, int> held;  // key -> the frame it goes up
  std::vector<int> pads;
  int frame = 0;
  int attacker = 0;      // the player who summons most in this match
  int battleFrames = 0;  // frames of the battle since its round started, held screens aside
  int pauseTour = 0, menuTour = 0;
  std::vector<int> menuPlan;  // keys still to press on this visit of the main menu

  // A third of the run wanders through menus; the rest mostly plays the battle on.
  bool Wandering() const { return frame % 3000 >= 2000; }

  int Roll(int n) { return (int)(rng() % (unsigned)n); }
  bool Chance(int oneIn) { return Roll(oneIn) == 0; }

  void Press(int vk, int frames) {
    if (held.emplace(vk, frame + frames).second) HpKeyDown(vk);
  }
  void ReleaseDue(bool all) {
    for (auto h = held.begin(); h != held.end();)
      h = all || h->second <= frame ? (HpKeyUp(h->first), held.erase(h)) : std::next(h);
  }
  bool RoundEnding(GameStateId state) const {
    return state == GS_Battle && (BattleRoundState().scored[0] || BattleRoundState().scored[1]);
  }

  void RandomKeys(GameStateId state) {
    if (!Chance(3)) return;
    // A paused battle is steered: back to "Continue" while the run plays on, to the items of
    // the pause menu in turn (the held screens, restart, back to the menu) while it wanders.
    if (state == GS_Battle && PauseIsOpen() && !PauseQuestionShown() && (!Wandering() || Chance(2))) {
      int opener = (PauseOpener() == 1) ? 1 : 0;
      int at = PauseCursor(opener), target = Wandering() ? kPauseTour[pauseTour % 5] : 1;
      if (at < target) {
        Press(opener ? (int)VK_UP : (int)'W', 1);
      } else if (at > target) {
        Press(opener ? (int)VK_DOWN : (int)'S', 1);
      } else {
        Press(VK_SPACE, 1);
        if (Wandering()) ++pauseTour;
      }
      return;
    }
    // The main menu is steered to its entries in turn.
    if (state == GS_MainMenu && !menuPlan.empty() && Chance(2)) {
      Press(menuPlan.front(), 1);
      menuPlan.erase(menuPlan.begin());
      return;
    }
    // Mostly short presses; now and then a long hold (Space speeds the credits up).
    int length = Chance(10) ? 20 + Roll(200) : 1 + Roll(4);
    // Any key at all now and then; less often in a running battle, where Esc and P pause it,
    // and not while a round is ending, so that the run gets to the results.
    if (!RoundEnding(state) && Chance(state == GS_Battle && !PauseIsOpen() ? 25 : 5)) {
      Press(kAllKeys[Roll(sizeof kAllKeys / sizeof kAllKeys[0])], length);
    } else {
      std::vector<int> keys = FavouredKeys(state, attacker, Wandering());
      Press(keys[(size_t)Roll((int)keys.size())], length);
    }
  }

  void RandomPads(GameStateId state) {
    if (Chance(900)) {
      if (pads.size() < 3 && (pads.empty() || Chance(2))) {
        int pad = HpPadAttach();
        if (pad >= 0) {
          pads.push_back(pad);
          ++counts.plugs;
        }
      } else if (!pads.empty()) {
        size_t i = (size_t)Roll((int)pads.size());
        HpPadDetach(pads[i]);
        pads.erase(pads.begin() + (long)i);
      }
    }
    for (int pad : pads) {
      if (Chance(6)) HpPadButtons(pad, kPadButtons[Roll(std::size(kPadButtons))], !Chance(3));
      if (!RoundEnding(state) && Chance(2000)) HpPadButtons(pad, PAD_START, true);
      else if (Chance(3)) HpPadButtons(pad, PAD_START, false);
      if (Chance(30)) HpPadAxis(pad, Roll(4), (int16_t)(Roll(65536) - 32768));  // a stick's x or y
      if (Chance(60)) HpPadTrigger(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT + Roll(2), Roll(256) & 255);
    }
  }

  // F11 now and then; full screen draws slowly, so it is left again soon.
  void RandomWindow() {
    if (Chance(SysIsFullscreen() ? 8 : 500)) {
      Press(VK_F11, 1);
      ++counts.f11;
    }
    if (!kManaged) return;
    if (SysIsMinimised()) {
      // The window manager answers in real time: give it a moment, then restore.
      usleep(2000);
      if (Chance(20)) OsRestore();
    } else if (Chance(1500)) {
      OsMinimise();
      ++counts.minimises;
    }
  }

  // A long battle with no winner yet ends in a draw (the debug keys Ctrl+R), so that the run
  // reaches the results and the other screens.
  void MoveOnIfStuck(GameStateId state) {
    if (state == GS_Battle && !PauseIsOpen() && battleFrames > 900 && Chance(60)) {
      Press(VK_CONTROL, 3);
      Press('R', 3);
    }
  }
};

TEST_F(RandomInputTest, EveryScreenSurvivesRandomPlayOfBothPlayers) {
  setvbuf(stdout, nullptr, _IOLBF, 0);  // a run cut short by a time limit still shows its progress
  printf("random input: seed %u, %d frames, %s\n", kSeed, kFrames,
         kHeadless ? "headless (nothing drawn, nothing minimises)"
                   : kManaged ? "window manager yes" : "window manager no (nothing minimises)");
  SysSetHeadless(kHeadless);
  ASSERT_TRUE(HpStart(GS_MainMenu, 320, 240));
  HpLive empty = HpLiveNow();
  ASSERT_TRUE(HpStep(1));
  HpLive menu = HpLiveNow();
  int menuSounds = gAudio.soundCount;
  GameStateId last = GsmGetCurrentState();
  std::vector<std::string> faults;
  auto fault = [&](const std::string& what) {
    if (faults.size() < 20) faults.push_back("frame " + std::to_string(frame) + ": " + what);
  };

  for (frame = 0; frame < kFrames; ++frame) {
    GameStateId state = GsmGetCurrentState();
    ReleaseDue(false);
    RandomKeys(state);
    RandomPads(state);
    RandomWindow();
    MoveOnIfStuck(state);
    if (Chance(8000)) HpAltF4();
    bool running = HpStep(1);
    if (frame > 0 && frame % kProgressFrames == 0)
      printf("random input: %d frames, %d rounds ended, %d quits\n", frame, counts.roundsEnded,
             counts.quits);
    if (!running) {
      // A quit (Alt+F4, the menu's or the pause menu's): every picture is released. The game's
      // end and a new start follow, as far as the engine can stay up: objects purged, sound
      // instances shut and started again, the loop started on the main menu.
      ++counts.quits;
      ReleaseDue(true);
      if (!SysIsRunning()) break;  // the window was closed from outside (a signal): stop
      GamePurgeScreens();
      if (!(HpLiveNow() == empty)) fault("resources left after a quit");
      if (MatchAnyHold()) fault("a hold flag left set after a quit");
      for (AudioSystem* a : {&gSettingsAudio, &gCreditsAudio, &gHowToPlayAudio, &gAudio})
        a->Shutdown(), a->Init();
      GsmInit(GS_MainMenu);
      if (!(running = HpStep(1))) {
        fault("the loop did not start again");
        break;
      }
    }
    GameStateId now = GsmGetCurrentState();
    ++counts.framesIn[now];
    if (now != last) {
      if (now == GS_RoundOver) ++counts.roundsEnded;
      if (last == GS_RoundOver && now == GS_MainMenu) ++counts.matchesEnded;
      // The main menu loads the same every time: anything more was left by a screen before.
      if (now == GS_MainMenu && !(HpLiveNow() == menu && gAudio.soundCount == menuSounds))
        fault("main menu entered with other pictures or sounds still loaded");
      if (now == GS_MainMenu && MatchAnyHold()) fault("main menu entered with a battle on hold");
      if (now == GS_Battle && last == GS_SpellSelect) attacker = Roll(2);
      if (now == GS_RoundOver || now == GS_SpellSelect) battleFrames = 0;
      // Start game, How to play, Settings, Credits in turn (the run began on the menu's logos).
      menuPlan.clear();
      if (now == GS_MainMenu) {
        menuPlan.assign((size_t)(menuTour++ % 4), VK_DOWN);
        menuPlan.push_back(VK_SPACE);
      }
      last = now;
    }
    if (now == GS_Battle) ++battleFrames;
    for (int health : gMatch.heroHealth)
      if (health < 0 || health > 3) fault("hero health " + std::to_string(health));
  }
  ReleaseDue(true);
  pads.clear();
  HpStop();
  SysSetHeadless(false);
  printf("random input: %d frames: %d pads plugged, %d F11, %d minimised, %d quits, %d rounds, "
         "%d matches\n", frame, counts.plugs, counts.f11, counts.minimises, counts.quits,
         counts.roundsEnded, counts.matchesEnded);
  EXPECT_EQ(frame, kFrames);
  for (const std::string& f : faults) ADD_FAILURE() << f;
  for (int i = 0; i < kGameScreenCount; ++i)
    EXPECT_GT(counts.framesIn[GameScreens()[i].id], 0) << "state " << GameScreens()[i].id
                                                       << " never visited";
  EXPECT_GT(counts.plugs, 0);
  EXPECT_GT(counts.f11, 0);
  if (kManaged) {
    EXPECT_GT(counts.minimises, 0);
  }
  EXPECT_EQ(HpLiveNow(), (HpLive{0, 0, 0}));
  EXPECT_TRUE(HpBoxes().empty()) << HpBoxes()[0].text;
  // Everything else was checked; the missing part must still show in the results, unless the
  // run was asked to be unseen.
  if (!kManaged && !kHeadless)
    GTEST_SKIP() << "minimise and restore not checked: the window manager did not start";
}

TEST(SmallDisplayTest, MinimisingPausesTheMusicAndFullScreenFitsTheWholeBoard) {
  if (!kManaged) GTEST_SKIP() << "not checked: the window manager did not start";
  ASSERT_TRUE(HpStartBattle(Hero_Knight, Hero_Druid, Spell_Meteor, Spell_Wind, Spell_Stun,
                            Spell_Execute) && BoardChannel(SND_Rally));
  auto until = [](bool paused) {  // the window manager answers in its own time
    auto music = [] { return SndChannelIsPaused(BoardChannel(SND_Rally)->channel); };
    for (int i = 0; i < 300 && HpStep(1) && music() != paused; ++i) usleep(10000);
    return ScreenIsMinimised() == paused && music() == paused;
  };
  OsMinimise();
  EXPECT_TRUE(until(true));
  OsRestore();
  EXPECT_TRUE(until(false));
  EXPECT_NEAR(ScreenScaleOf(GS_MainMenu).x, 1.28f, 1e-4);  // 1366x768 shows all of the board
  HpStop();
}

}  // namespace
