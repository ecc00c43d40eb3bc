// computer.cpp - the computer's seats, its pace, the hand-over of seat 2 on hero selection, and
// how it walks the selection screens and (playing both seats) the main menu like a person.
#include "computer/computer.h"

#include <cstdio>

#include "battle/pause.h"
#include "computer/computer_brain.h"
#include "kegsm.h"
#include "keinput.h"
#include "kesystem.h"
#include "screens/heroselect.h"
#include "screens/mainmenu.h"
#include "screens/screen.h"
#include "screens/spellselect.h"
#include "states.h"

namespace {

const float kBattleGap = 0.2f;    // at most one control per this many seconds in battle
const float kBookStep = 0.3f;     // a cursor step on the selection book
const float kFirstLook = 0.6f;    // on entering a screen, before the first press
const float kMenuWait = 2.0f;     // the demonstration lingers on the main menu
const int kNoCell = -1;
const char* const kLevelNames[Computer_LevelCount] = {"Easy", "Normal", "Hard"};

// The book's keys of each player: left, up (either key of a pair moves to the other cell).
struct BookKeys {
  int column, row;
};
const BookKeys kBookKeys[2] = {{'A', 'W'}, {VK_LEFT, VK_UP}};

struct Seat {
  bool computer = false;
  float wait = 0;            // seconds until the next press may come
  int target[2] = {kNoCell, kNoCell};  // the book cells it means to confirm (hero: [0] only)
  int turnSeen = -1;         // the book's slot the targets were chosen for
};

struct ComputerState {
  Seat seats[2];
  ComputerLevel levels[2] = {Computer_Normal, Computer_Normal};  // kept while a seat changes hands
  char label[32];
  uint32_t random = 0x9E3779B9u;
  bool seeded = false;
  GameStateId screen = 0;    // the screen of the last frame
  float menuWait = 0;
  bool online = false;
  bool (*pending)(int player) = nullptr;
};
ComputerState gComputer;

void Seed() {
  if (gComputer.seeded) return;
  gComputer.seeded = true;
  // Varied between runs unless a test fixed the seed.
  gComputer.random ^= (uint32_t)(SysGetTime() * 1000003.0) | 1u;
}

// Entering a screen gives each seat a moment to look before pressing.
void NoticeScreen(GameStateId screen) {
  if (screen == gComputer.screen) return;
  gComputer.screen = screen;
  gComputer.menuWait = kMenuWait;
  for (Seat& s : gComputer.seats) {
    s.wait = kFirstLook;
    s.target[0] = s.target[1] = kNoCell;
    s.turnSeen = -1;
  }
  if (screen == GS_Battle) BrainReset();
}

// One step on the book toward the target cell, or the confirm once on it.
int BookKey(int player, int cell, int target) {
  if ((cell & 1) != (target & 1)) return kBookKeys[player].column;
  if ((cell & 2) != (target & 2)) return kBookKeys[player].row;
  return VK_SPACE;
}

int RandomCellBut(int avoid) {
  int cell = (int)ComputerRandom(avoid < 0 ? 4 : 3);
  if (avoid >= 0 && cell >= avoid) ++cell;
  return cell;
}

int HeroKey(int player, Seat& s) {
  if (HeroSelectChooser() != player) return 0;
  if (s.target[0] == kNoCell) s.target[0] = (int)ComputerRandom(4);
  return BookKey(player, HeroSelectCell(), s.target[0]);
}

// The second spell starts on the first, so it is drawn from the other three cells.
int SpellKey(int player, Seat& s) {
  if (SpellSelectChooser() != player) return 0;
  int slot = SpellSelectSlot(), cell = SpellSelectCell();
  if (s.turnSeen != slot) {
    s.turnSeen = slot;
    s.target[slot] = RandomCellBut(slot == 1 ? cell : -1);
  }
  return BookKey(player, cell, s.target[slot]);
}

// The seat's next key on this screen and the pause before the one after; 0 for none.
int SeatKey(int player, Seat& s, float* gap) {
  switch (gComputer.screen) {
    case GS_HeroSelect: *gap = kBookStep; return HeroKey(player, s);
    case GS_SpellSelect: *gap = kBookStep; return SpellKey(player, s);
    case GS_Battle:
      *gap = kBattleGap;
      // It waits while a person has the menu open, and never opens it.
      return PauseIsOpen() ? 0 : BrainNextKey(player, gComputer.levels[player]);
    default: return 0;
  }
}

void PlaySeat(int player) {
  Seat& s = gComputer.seats[player];
  if (!s.computer) return;
  if (gComputer.screen == GS_Battle && !PauseIsOpen()) BrainWatch(player, gComputer.levels[player]);
  s.wait -= (float)SysGetFrameTime();
  if (s.wait > 0 || (gComputer.pending && gComputer.pending(player))) return;
  float gap = kBattleGap;
  int key = SeatKey(player, s, &gap);
  if (!key) return;
  InputInjectKey(key);
  s.wait = gap;
}

// C or the Back button of gamepad 1 steps seat 2 through a person and the computer's strengths,
// easiest first, until player 2 has confirmed a hero.
void SeatToggle() {
  if (gComputer.online) return;
  if (gComputer.screen != GS_HeroSelect || HeroSelectChooser() < 0) return;
  if (!InputIsTriggered('C') && !InputPadIsTriggered(0, PAD_BACK)) return;
  ComputerLevel& level = gComputer.levels[1];
  if (!ComputerHoldsSeat(1)) {
    level = Computer_Easy;
    ComputerSetSeat(1, true);
  } else if (level + 1 < Computer_LevelCount) {
    level = (ComputerLevel)(level + 1);
  } else {
    ComputerSetSeat(1, false);
  }
}

// Playing both seats, the computer starts the next match itself.
void MenuStep() {
  if (gComputer.screen != GS_MainMenu || !ComputerHoldsSeat(0) || !ComputerHoldsSeat(1)) return;
  if (!MainMenuStartUnderArrow()) return;
  gComputer.menuWait -= (float)SysGetFrameTime();
  if (gComputer.menuWait > 0) return;
  InputInjectKey(VK_SPACE);
  gComputer.menuWait = kMenuWait;
}

}  // namespace

void ComputerSetSeat(int player, bool computer) {
  if (player < 0 || player > 1) return;
  Seat& s = gComputer.seats[player];
  if (s.computer == computer) return;
  s = Seat();
  s.computer = computer;
  s.wait = kFirstLook;
}

void ComputerSetOnline(bool on, bool (*pending)(int player)) {
  gComputer.online = on;
  gComputer.pending = on ? pending : nullptr;
}

bool ComputerHoldsSeat(int player) {
  return player >= 0 && player < 2 && gComputer.seats[player].computer;
}

void ComputerSetSeed(uint32_t seed) {
  gComputer.random = seed ? seed : 1;
  gComputer.seeded = true;
}

void ComputerSetLevel(int player, ComputerLevel level) {
  if (player < 0 || player > 1 || level < 0 || level >= Computer_LevelCount) return;
  gComputer.levels[player] = level;
}

ComputerLevel ComputerLevelOf(int player) {
  return player >= 0 && player < 2 ? gComputer.levels[player] : Computer_Normal;
}

const char* ComputerLevelName(ComputerLevel level) {
  return level >= 0 && level < Computer_LevelCount ? kLevelNames[level] : "";
}

uint32_t ComputerRandom(uint32_t n) {
  Seed();
  uint32_t& x = gComputer.random;  // xorshift32
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return n ? x % n : 0;
}

void ComputerUpdate() {
  GameStateId screen = GsmGetCurrentState();
  NoticeScreen(screen);
  if (GsmGetNextState() != screen) return;  // the screen is being left
  SeatToggle();
  MenuStep();
  PlaySeat(0);
  PlaySeat(1);
}

const char* ComputerSeatLabel(int player) {
  if (!ComputerHoldsSeat(player))
    snprintf(gComputer.label, sizeof gComputer.label, "%d: Human", player + 1);
  else
    snprintf(gComputer.label, sizeof gComputer.label, "%d: Computer (%s)", player + 1,
             ComputerLevelName(ComputerLevelOf(player)));
  return gComputer.label;
}

void ComputerPrintSeatLabels(Font* font) {
  // Left-aligned on the left page: the longest label stays clear of the fold.
  const char* label = ComputerSeatLabel(1);
  ScreenPrint(font, label, -300, 268, ScreenFitScale(font, label, 0.6f, 280), 0xFFFF9F00);
  ScreenPrint(font, "C or pad 1 Back: computer for 2, and how well", -360, -275, 0.45f,
              0xFF000000);
}
