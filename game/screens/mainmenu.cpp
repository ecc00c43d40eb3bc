// mainmenu.cpp - the main menu: at the first entry of a run a skippable logo sequence, then five
// entries under a wooden arrow and a "Quit game?" question; it keeps the match record fresh.
#include "screens/mainmenu.h"

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "keinput.h"
#include "kesystem.h"
#include "screens/screen.h"
#include "states.h"

namespace {

enum MenuPicture {
  MP_Logo, MP_Background, MP_Arrow, MP_School, MP_Team, MP_AudioLogo, MP_AudioCredits, MP_Count
};

const char* const kPictureFiles[MP_Count] = {
    "data/Logo.png",     "data/WoodenBGShaded.png", "data/Arrow2.png",     "data/MVLogo.png",
    "data/TeamLogo.png", "data/FMODLogo.png",       "data/FMODCredits.png",
};

struct MenuEntry {
  float arrowY;
  GameStateId target;
  const char* label;
  float labelX, labelY;
};
const int kEntryCount = 5;
const MenuEntry kEntries[kEntryCount] = {
    {10, GS_HeroSelect, "Start game", -90, 0},
    {-50, GS_HowToPlay, "How To Play", -110, -60},
    {-110, GS_Settings, "Settings", -70, -120},
    {-170, GS_Credits, "Credits", -60, -180},
    {-230, GS_Quit, "Quit", -40, -240},
};
const float kEntryStep = 60;

const float kYesX = -90, kNoX = 20;  // the confirm arrow beside "Yes" or "No"

// Fades count frames: 2 alpha units per frame, some 128 frames each.
const int kFadeStep = 2;
const float kLogoTimeLimit = 9.0f;

// The logo sequence runs once per run: none of this is reset when the menu is entered again.
struct LogoSequence {
  bool splashActive = true;
  float splashTime = 0;
  int splashAlpha = 255;
  bool splashSchoolFading = true;
  bool splashLogosFadingIn = false;
  bool splashLogosFadingOut = false;
  bool splashCurtainFading = false;
};
LogoSequence gLogos;

struct MainMenuState {
  Texture* pictures[MP_Count] = {};
  Font* font = nullptr;
  SoundEntry* titleMusic = nullptr;
  SoundEntry* selectSound = nullptr;
  ChannelSlot* titleChannel = nullptr;
  ChannelSlot* selectChannel = nullptr;
  bool quitConfirmOpen = false;
  GameStateId menuTarget = GS_HeroSelect;
  GameObject* arrow = nullptr;
  GameObject* confirmArrow = nullptr;
  GameObject* curtain = nullptr;
  GameObject* school = nullptr;
  GameObject* team = nullptr;
  GameObject* audioLogo = nullptr;
  GameObject* audioCredits = nullptr;
  ScreenLabel<15> entries[3];  // the first three; the last two have smaller buffers
  ScreenLabel<10> credits;
  ScreenLabel<5> quit;
  ScreenLabel<50> skipHint;
  ScreenLabel<15> question;
  ScreenLabel<5> yes, no;
};
MainMenuState gMenu;

uint32_t MainMenuAlpha(int alpha, uint32_t rgb) {
  return (uint32_t)(alpha < 255 ? alpha : 255) << 24 | rgb;
}

void MainMenuHideLogos() {
  for (GameObject* o : {gMenu.school, gMenu.team, gMenu.curtain, gMenu.audioLogo, gMenu.audioCredits})
    o->visible = false;
}

bool MainMenuSkipHeld() {
  return InputIsPressed(VK_SPACE) || InputIsPressed(VK_RETURN) || InputPadIsPressed(0, PAD_START) ||
         InputPadIsPressed(1, PAD_START);
}

void MainMenuFadeLogos(int alpha) {
  for (GameObject* o : {gMenu.team, gMenu.audioLogo, gMenu.audioCredits})
    o->color = MainMenuAlpha(alpha, 0x00FFFFFF);
}

// One frame of the logo sequence: the school logo fades out, the makers' and audio logos fade
// in and out again, then the black curtain lifts off the menu.
void MainMenuLogoStep() {
  LogoSequence& s = gLogos;
  if (s.splashTime > kLogoTimeLimit) {
    // The fades count frames but the limit counts seconds: on a slow machine the limit comes
    // first, and the half-faded logos and the black curtain must not stay over the menu.
    s.splashActive = false;
    MainMenuHideLogos();
    s.splashTime += (float)SysGetFrameTime();
    return;
  }
  if (MainMenuSkipHeld()) {
    s.splashActive = false;
    MainMenuHideLogos();
    s.splashTime = 10.0f;
    return;
  }
  if (!s.splashCurtainFading) {
    if (s.splashSchoolFading) {
      if (s.splashAlpha > 0) {
        gMenu.school->color = MainMenuAlpha(s.splashAlpha, 0x00FFFFFF);
        s.splashAlpha -= kFadeStep;
      } else {
        s.splashSchoolFading = false;
        s.splashLogosFadingIn = true;
        s.splashAlpha = 0;
      }
    }
    if (s.splashLogosFadingIn && !s.splashSchoolFading) {
      if (s.splashAlpha < 255) {
        MainMenuFadeLogos(s.splashAlpha);
        s.splashAlpha += kFadeStep;
      } else {
        s.splashLogosFadingIn = false;
        s.splashLogosFadingOut = true;
      }
    }
    if (s.splashLogosFadingOut) {
      if (s.splashAlpha > 0) {
        MainMenuFadeLogos(s.splashAlpha);
        s.splashAlpha -= kFadeStep;
      } else {
        s.splashCurtainFading = true;
        s.splashAlpha = 255;
      }
    }
  }
  if (s.splashCurtainFading) {
    if (s.splashAlpha > 0) {
      gMenu.curtain->color = MainMenuAlpha(s.splashAlpha, 0x00000000);
      s.splashAlpha -= kFadeStep;
    } else {
      gMenu.curtain->color = 0;
    }
  }
  s.splashTime += (float)SysGetFrameTime();
}

bool MainMenuPressed(int key, uint16_t button) {
  return InputIsTriggered(key) || InputPadIsTriggered(0, button);
}

bool MainMenuConfirmPressed() {
  return InputIsTriggered(VK_SPACE) || InputIsTriggered(VK_RETURN) || InputPadIsTriggered(0, PAD_A);
}

void MainMenuPlaySelect() {
  gMenu.selectChannel = gAudio.Play(gMenu.selectSound, ScreenSoundVolume());
}

void MainMenuOpenQuestion(bool open) {
  gMenu.quitConfirmOpen = open;
  gMenu.confirmArrow->visible = open;
}

void MainMenuMoveArrow(float step) {
  float y = gMenu.arrow->position.y + step;
  const float top = kEntries[0].arrowY, bottom = kEntries[kEntryCount - 1].arrowY;
  if (y < bottom) y = top;
  if (y > top) y = bottom;
  gMenu.arrow->position.y = y;
  MainMenuPlaySelect();
}

void MainMenuInput() {
  if (MainMenuPressed(VK_ESCAPE, PAD_B)) {
    MainMenuOpenQuestion(true);
    return;
  }
  if (MainMenuPressed(VK_DOWN, PAD_DPAD_DOWN)) MainMenuMoveArrow(-kEntryStep);
  if (MainMenuPressed(VK_UP, PAD_DPAD_UP)) MainMenuMoveArrow(kEntryStep);
  // The target is last frame's, so a move and a confirm in one frame go where the arrow was.
  if (MainMenuConfirmPressed()) {
    if (gMenu.menuTarget == GS_Quit) MainMenuOpenQuestion(true);
    else ScreenHandOver(gMenu.menuTarget);
  }
}

void MainMenuQuestionInput() {
  if (MainMenuPressed(VK_ESCAPE, PAD_B)) {
    MainMenuOpenQuestion(false);
    return;
  }
  for (int side : {VK_RIGHT, VK_LEFT}) {
    if (!MainMenuPressed(side, side == VK_RIGHT ? PAD_DPAD_RIGHT : PAD_DPAD_LEFT)) continue;
    GameObject* a = gMenu.confirmArrow;
    a->position.x = a->position.x == kNoX ? kYesX : kNoX;
    MainMenuPlaySelect();
  }
  if (MainMenuConfirmPressed()) {
    if (gMenu.confirmArrow->position.x == kYesX) GsmSetNextState(GS_Quit);
    else MainMenuOpenQuestion(false);
  }
}

GameStateId MainMenuTargetOf(float arrowY) {
  for (const MenuEntry& e : kEntries)
    if (e.arrowY == arrowY) return e.target;
  return gMenu.menuTarget;
}

template <size_t N>
void MainMenuLabel(ScreenLabel<N>& label, const char* text, float x, float y, float k) {
  label.Format("%s", text);
  label.x = x;
  label.y = y;
  label.k = k;
}

GameObject* MainMenuObject(MenuPicture picture, float x, float y, float w, float h) {
  return CreateGameObject(gQuadMesh, gMenu.pictures[picture], x, y, w, h);
}

GameObject* MainMenuTinted(GameObject* o, uint32_t color) {
  o->tinted = true;
  o->color = color;
  return o;
}

}  // namespace

void MainMenuReplayLogos() {
  gLogos = LogoSequence();
}

bool MainMenuStartUnderArrow() {
  return !gLogos.splashActive && !gMenu.quitConfirmOpen && gMenu.arrow &&
         MainMenuTargetOf(gMenu.arrow->position.y) == GS_HeroSelect;
}

void MainMenuLoad() {
  for (int i = 0; i < MP_Count; ++i) gMenu.pictures[i] = GfxTextureLoad(kPictureFiles[i]);
  gQuadMesh = CreateQuadMesh();
  gMenu.font = GfxFontCreate(1.0f);
  gMenu.titleMusic = gAudio.LoadSound("data/Sound/HollowPikes.wav");
  gMenu.selectSound = gAudio.LoadSound("data/Sound/WoodSelect.wav");
}

void MainMenuInit() {
  MainMenuObject(MP_Background, 0, 0, 800, 610);
  MainMenuObject(MP_Logo, 0, 150, 350, 300);
  gMenu.arrow = MainMenuObject(MP_Arrow, -180, kEntries[0].arrowY, 60, 60);
  gMenu.curtain = MainMenuTinted(CreateGameObject(gQuadMesh, nullptr, 0, 0, 800, 610), 0xFF000000);
  gMenu.school = MainMenuTinted(MainMenuObject(MP_School, 0, 0, 514, 149), 0xFFFFFFFF);
  gMenu.team = MainMenuTinted(MainMenuObject(MP_Team, 0, 100, 200, 200), 0x00FFFFFF);
  gMenu.audioLogo = MainMenuTinted(MainMenuObject(MP_AudioLogo, 0, -100, 243, 64), 0x00FFFFFF);
  gMenu.audioCredits = MainMenuTinted(MainMenuObject(MP_AudioCredits, 0, -150, 250, 175), 0x00FFFFFF);
  if (!gLogos.splashActive) MainMenuHideLogos();
  gMenu.menuTarget = GS_HeroSelect;
  gMenu.selectChannel = nullptr;
  gMenu.titleChannel = gAudio.Play(gMenu.titleMusic, ScreenMusicVolume());
  if (gMenu.titleChannel) gMenu.titleChannel->SetLooping(true);
  gMenu.confirmArrow = MainMenuObject(MP_Arrow, kYesX, -160, 40, 40);
  gMenu.confirmArrow->visible = false;
  gMenu.quitConfirmOpen = false;

  for (int i = 0; i < 3; ++i)
    MainMenuLabel(gMenu.entries[i], kEntries[i].label, kEntries[i].labelX, kEntries[i].labelY, 1.25f);
  MainMenuLabel(gMenu.credits, kEntries[3].label, kEntries[3].labelX, kEntries[3].labelY, 1.25f);
  MainMenuLabel(gMenu.quit, kEntries[4].label, kEntries[4].labelX, kEntries[4].labelY, 1.25f);
  MainMenuLabel(gMenu.skipHint, "Press Enter/Start/Space to skip", -400, -290, 0.75f);
  MainMenuLabel(gMenu.question, "Quit game?", -80, -50, 1.25f);
  MainMenuLabel(gMenu.yes, "Yes", -70, -170, 1.25f);
  MainMenuLabel(gMenu.no, "No", 45, -170, 1.25f);
}

void MainMenuUpdate() {
  if (!ScreenPrologue(gAudio, {gMenu.selectChannel, gMenu.titleChannel})) return;
  if (gLogos.splashActive) {
    MainMenuLogoStep();
  } else {
    ScreenKeepChannel(gMenu.titleChannel, ScreenMusicVolume());
    ScreenKeepChannel(gMenu.selectChannel, ScreenSoundVolume());
    ObjectListOf(GS_MainMenu)->Update();
    gAudio.Update();
    // Every match entered from here starts fresh, also after one left half-way.
    gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
    if (gMenu.quitConfirmOpen) MainMenuQuestionInput();
    else MainMenuInput();
    gMenu.menuTarget = MainMenuTargetOf(gMenu.arrow->position.y);
  }
  ScreenCheckF11();
  gMenu.arrow->visible = !gMenu.quitConfirmOpen;
}

void MainMenuDraw() {
  ObjectListOf(GS_MainMenu)->Draw(ScreenScale());
  if (gMenu.quitConfirmOpen) {
    gMenu.question.Print(gMenu.font);
    gMenu.yes.Print(gMenu.font);
    gMenu.no.Print(gMenu.font);
  } else if (gLogos.splashActive) {
    gMenu.skipHint.Print(gMenu.font);
  } else {
    for (const ScreenLabel<15>& entry : gMenu.entries) entry.Print(gMenu.font);
    gMenu.credits.Print(gMenu.font);
    gMenu.quit.Print(gMenu.font);
  }
}

void MainMenuFree() {
  ObjectListOf(GS_MainMenu)->Free();
  // A sound still playing is stopped by the device before it is freed.
  gAudio.FreeSound(gMenu.titleMusic);
  gAudio.FreeSound(gMenu.selectSound);
  gMenu.titleMusic = gMenu.selectSound = nullptr;
}

void MainMenuUnload() {
  ScreenUnloadPictures(gMenu.pictures);
  ScreenFreeQuadAndFont(&gMenu.font);
  gAudio.StopAll();
  gMenu.titleChannel = gMenu.selectChannel = nullptr;
}
