// pause.cpp - the battle's pause menu: opened by either player and steered by its opener alone,
// seven entries on a panel over the frozen board, the held screens, restart and a quit question.
#include "battle/pause.h"

#include "battle/board.h"
#include "battle/controls.h"
#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "keinput.h"
#include "screens/screen.h"
#include "states.h"

namespace {

enum PauseItem {
  PI_Continue = 1, PI_Menu = 0, PI_HowToPlay = -1, PI_Settings = -2, PI_Credits = -3,
  PI_Restart = -4, PI_Quit = -5,
};
enum PauseChoice { PC_Yes = 0, PC_No = -1 };

// Items are 40 apart from "Continue" at 110 down to "Quit" at -130; labels sit 10 below.
const float kItemY0 = 70, kItemStep = 40, kLabelDrop = 10;
const float kChoiceY0 = 10, kChoiceStep = 60;  // "Yes" at 10, "No" at -50
const float kCursorX = 170, kCursorSize = 50;
const float kChoiceCursorX = 40, kChoiceCursorSize = 25;
const uint32_t kPanelColor = 0x88FFFFFF;
const uint32_t kCursorColor[2] = {0xFF9F00C5, 0xFF000000};
const uint32_t kItemColor = 0xFFFFFF00, kTitleColor = 0xFFFF0000;
const float kItemScale = 0.8333333f, kTitleScale = 0.8f;

enum PauseKey { PK_Open, PK_Up, PK_Down, PK_Confirm, PK_Count };
// Up to two keys per action (0: none) and one button on the player's own pad. The keys that open
// the menu are the players' own pause keys, both sets of them.
const int kKeys[2][PK_Count][kControlKeySets] = {
    {{0, 0}, {'W', 0}, {'S', 0}, {VK_SPACE, 0}},
    {{0, 0}, {VK_UP, 0}, {VK_DOWN, 0}, {VK_SPACE, 0}},
};
const uint16_t kPadButtons[PK_Count] = {PAD_START, PAD_DPAD_UP, PAD_DPAD_DOWN, PAD_A};

struct PauseMenu {
  // Set while a menu is open. It stays set through the rest of the update in which "Continue" or
  // "Restart" closes the menu, so the press that closed it does nothing in the battle.
  bool battlePaused = false;
  bool pauseOpenedByP1 = false;  // at most one of the two is set
  bool pauseOpenedByP2 = false;
  int pauseCursor[2] = {-1, -1};  // the item under each player's cursor: 1 "Continue" .. -5 "Quit"
  bool quitConfirmShown = false;  // "Are you sure?" is asked
  int quitConfirmCursor[2] = {0, 0};  // 0 "Yes", -1 "No"
  GameObject* panel = nullptr;
  GameObject* cursor = nullptr;
  // The menu closed in this update: the battle goes on from the next one, so the press that
  // closed it is not also read as a summon (A on a pad) or a lane move.
  bool resumeNext = false;
  ChannelSlot* click = nullptr;  // see PauseClick
  unsigned clickPlay = 0;
  ScreenLabel<10> title;
  ScreenLabel<10> shortItems[2];  // "Continue", "Quit"
  ScreenLabel<20> items[5];       // "Go back to menu" .. "Restart"
  ScreenLabel<50> question;
  ScreenLabel<10> yes, no;
};

template <size_t N>
void PauseLabel(ScreenLabel<N>& label, const char* text, float x, float y, float k,
                uint32_t color) {
  label.Format("%s", text);
  label.x = x;
  label.y = y;
  label.k = k;
  label.color = color;
  label.outlined = true;  // yellow and red on the light panel need an edge to be read
}

float PauseItemY(int item) { return kItemY0 + kItemStep * item; }
float PauseChoiceY(int choice) { return kChoiceY0 + kChoiceStep * choice; }

PauseMenu MakePauseMenu() {
  PauseMenu m;
  PauseLabel(m.title, "PAUSED", -55, 130, kTitleScale, kTitleColor);
  PauseLabel(m.shortItems[0], "Continue", -50, PauseItemY(PI_Continue) - kLabelDrop, kItemScale,
             kItemColor);
  PauseLabel(m.shortItems[1], "Quit", -35, PauseItemY(PI_Quit) - kLabelDrop, kItemScale,
             kItemColor);
  const char* const texts[5] = {"Go back to menu", "How to play", "Settings", "Credits", "Restart"};
  const float x[5] = {-100, -70, -45, -45, -40};
  for (int i = 0; i < 5; ++i)
    PauseLabel(m.items[i], texts[i], x[i], PauseItemY(PI_Menu - i) - kLabelDrop, kItemScale,
               kItemColor);
  PauseLabel(m.question, "Are you sure?", -80, 60, kItemScale, kTitleColor);
  PauseLabel(m.yes, "Yes", -20, 0, kItemScale, kItemColor);
  PauseLabel(m.no, "No", -20, -60, kItemScale, kItemColor);
  return m;
}
PauseMenu gPause = MakePauseMenu();

int PauseOpenerOf(const PauseMenu& m) {
  if (m.pauseOpenedByP1) return 0;
  if (m.pauseOpenedByP2) return 1;
  return -1;
}

bool PauseFired(int player, PauseKey action) {
  for (int set = 0; set < kControlKeySets; ++set) {
    int key = action == PK_Open ? ControlsSeatKey(player, SEAT_Pause, set)
                                : kKeys[player][action][set];
    if (key && InputIsTriggered(key)) return true;
  }
  return InputPadIsTriggered(player, kPadButtons[action]);
}

// Player 1's cursor points right from the left of the panel, player 2's is mirrored on the right.
float PauseSide(int player) { return player == 0 ? -1.0f : 1.0f; }

void PauseCursorAt(int player, float x, float y, float size) {
  GameObject* c = gPause.cursor;
  if (!c) return;
  c->position = {PauseSide(player) * x, y};
  c->scale = {-PauseSide(player) * size, size};
}

GameObject* PauseTinted(GameObject* o, uint32_t color) {
  o->tinted = true;
  o->color = color;
  return o;
}

void PauseOpen(int player) {
  gPause.battlePaused = true;
  (player == 0 ? gPause.pauseOpenedByP1 : gPause.pauseOpenedByP2) = true;
  gPause.pauseCursor[player] = PI_HowToPlay;
  gPause.panel = PauseTinted(CreateGameObject(gQuadMesh, nullptr, 0, 0, 400, 300), kPanelColor);
  gPause.cursor = PauseTinted(CreateGameObject(gQuadMesh, BoardTexture("arrow"), 0, 0, 0, 0),
                              kCursorColor[player]);
  PauseCursorAt(player, kCursorX, PauseItemY(PI_HowToPlay), kCursorSize);
}

// Continue and Restart: the panel and the cursor go, the battle is unpaused from the next update.
void PauseClose(int player) {
  for (GameObject* o : {gPause.panel, gPause.cursor})
    if (o) o->alive = false;
  gPause.panel = gPause.cursor = nullptr;
  gPause.pauseCursor[player] = -1;
  gPause.pauseOpenedByP1 = gPause.pauseOpenedByP2 = false;
  gPause.resumeNext = true;
}

// The battle stays on hold, menu and all, while the screen is shown over it.
void PauseHoldFor(bool& holdFlag, GameStateId screen) {
  holdFlag = true;
  battleOnHold = true;
  ScreenHandOver(screen);
}

void PauseCarryOut(int player) {
  switch (gPause.pauseCursor[player]) {
    case PI_Continue:
      PauseClose(player);
      break;
    case PI_Menu:
      gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
      ScreenHandOver(GS_MainMenu);
      break;
    case PI_HowToPlay: PauseHoldFor(holdForHowToPlay, GS_HowToPlay); break;
    case PI_Settings: PauseHoldFor(holdForSettings, GS_Settings); break;
    case PI_Credits: PauseHoldFor(holdForCredits, GS_Credits); break;
    case PI_Restart:
      PauseClose(player);
      gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
      gAudio.StopAll();
      GsmSetNextState(GS_Restart);
      break;
    case PI_Quit:
      gPause.quitConfirmShown = true;
      gPause.quitConfirmCursor[player] = PC_Yes;
      PauseCursorAt(player, kChoiceCursorX, PauseChoiceY(PC_Yes), kChoiceCursorSize);
      break;
  }
}

// Up and Down step through a column from `top` down to `bottom`, wrapping at both ends. With
// both pressed each end still wraps and in between Up wins. False when neither was pressed.
bool PauseStep(int player, int& at, int top, int bottom) {
  bool up = PauseFired(player, PK_Up), down = PauseFired(player, PK_Down);
  if (up && at == top) at = bottom;
  else if (down && at == bottom) at = top;
  else if (up) at += 1;
  else if (down) at -= 1;
  else return false;
  gPause.click = BoardPlay(SND_Select);
  if (gPause.click) gPause.clickPlay = gPause.click->plays;
  return true;
}

void PauseMenuInput(int player) {
  int& item = gPause.pauseCursor[player];
  if (PauseStep(player, item, PI_Continue, PI_Quit)) {
    if (gPause.cursor) gPause.cursor->position.y = PauseItemY(item);
  } else if (PauseFired(player, PK_Confirm)) {
    PauseCarryOut(player);
  }
}

void PauseQuestionInput(int player) {
  int& choice = gPause.quitConfirmCursor[player];
  if (PauseStep(player, choice, PC_Yes, PC_No)) {
    if (gPause.cursor) gPause.cursor->position.y = PauseChoiceY(choice);
  } else if (PauseFired(player, PK_Confirm)) {
    if (choice == PC_Yes) {
      GsmSetNextState(GS_Quit);
      return;
    }
    gPause.quitConfirmShown = false;
    choice = PC_Yes;
    PauseCursorAt(player, kCursorX, PauseItemY(PI_Quit), kCursorSize);
  }
}

}  // namespace

bool PauseIsOpen() { return gPause.battlePaused; }
int PauseOpener() { return PauseOpenerOf(gPause); }
int PauseCursor(int player) { return gPause.pauseCursor[player == 1 ? 1 : 0]; }
bool PauseQuestionShown() { return gPause.quitConfirmShown; }
int PauseQuestionCursor(int player) { return gPause.quitConfirmCursor[player == 1 ? 1 : 0]; }

void PauseReset() {
  gPause.battlePaused = gPause.pauseOpenedByP1 = gPause.pauseOpenedByP2 = false;
  gPause.pauseCursor[0] = gPause.pauseCursor[1] = -1;
  gPause.quitConfirmShown = false;
  gPause.quitConfirmCursor[0] = gPause.quitConfirmCursor[1] = PC_Yes;
  gPause.panel = gPause.cursor = nullptr;  // freed with the battle's objects
  gPause.resumeNext = false;
  gPause.click = nullptr;
}

ChannelSlot* PauseClick() {
  ChannelSlot* c = gPause.click;
  return c && c->plays == gPause.clickPlay ? c : nullptr;
}

void PauseUpdate() {
  if (gPause.resumeNext) {
    gPause.resumeNext = false;
    gPause.battlePaused = false;
  }
  if (!gPause.battlePaused && PauseFired(0, PK_Open) && !gPause.pauseOpenedByP2) PauseOpen(0);
  else if (!gPause.battlePaused && PauseFired(1, PK_Open)) PauseOpen(1);

  int player = PauseOpenerOf(gPause);
  if (player < 0) return;
  if (gPause.quitConfirmShown) PauseQuestionInput(player);
  else PauseMenuInput(player);
}

void PauseDraw() {
  if (PauseOpenerOf(gPause) < 0) return;
  Font* font = BoardFont();
  if (gPause.quitConfirmShown) {
    gPause.question.Print(font);
    gPause.yes.Print(font);
    gPause.no.Print(font);
    return;
  }
  gPause.title.Print(font);
  for (const ScreenLabel<10>& label : gPause.shortItems) label.Print(font);
  for (const ScreenLabel<20>& label : gPause.items) label.Print(font);
}
