// credits.cpp - the credits: a column of pictures scrolls up between the four heroes' pictures,
// after a short wait on the first visit of the run; ends by key or once the column has passed.
#include "screens/credits.h"

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "keinput.h"
#include "kesystem.h"
#include "screens/heldbattle.h"
#include "screens/screen.h"
#include "states.h"

namespace {


struct CreditsPicture {
  const char* file;
  float x, y, width, height, rotation;
  bool scrolls;
};

// In drawing order; the heroes stand still at the sides, the column moves.
const CreditsPicture kPictures[] = {
    {"data/WoodenBG.png", 0, 0, 800, 610, 0, false},
    {"data/Knight3HP.png", -325, 200, 200, 100, -MATH_HALF_PI, false},
    {"data/Wizard3HP.png", -325, -200, 200, 100, -MATH_HALF_PI, false},
    {"data/Natura3HP.png", 325, 200, 200, 100, -MATH_HALF_PI, false},
    {"data/Dark3HP.png", 325, -200, 200, 100, -MATH_HALF_PI, false},
    {"data/Logo.png", 0, 0, 350, 300, 0, true},
    {"data/MVLogo.png", 0, -350, 270, 80, 0, true},
    {"data/Presentation.png", 0, -600, 400, 350, 0, true},
    {"data/TeamMembers.png", 0, -950, 300, 350, 0, true},
    {"data/Instructors.png", 0, -1250, 300, 350, 0, true},
    {"data/Executives.png", 0, -1575, 350, 550, 0, true},
    {"data/FMODCredits.png", 0, -1850, 540, 180, 0, true},
};
const int kPictureCount = sizeof kPictures / sizeof kPictures[0];
const int kExecutives = 10;  // the picture whose height ends the credits

const float kWait = 2.0f;
const float kScroll = 0.5f, kFastScroll = 5.0f;  // per frame
const float kEndY = 600.0f;

struct CreditsState {
  Texture* pictures[kPictureCount] = {};
  GameObject* objects[kPictureCount] = {};
  SoundEntry* music = nullptr;
  ChannelSlot* creditsChannel = nullptr;
  float creditsDelay = 0;  // once per run: not reset on entry
};
CreditsState gCredits;

void CreditsScroll() {
  float step = InputIsPressed(VK_SPACE) ? kFastScroll : kScroll;
  for (int i = 0; i < kPictureCount; ++i)
    if (kPictures[i].scrolls) gCredits.objects[i]->position.y += step;
}

bool CreditsEnded() {
  return InputPadIsTriggered(0, PAD_B) || InputIsTriggered(VK_ESCAPE) || InputIsTriggered('Q') ||
         gCredits.objects[kExecutives]->position.y >= kEndY;
}

}  // namespace

void CreditsLoad() {
  for (int i = 0; i < kPictureCount; ++i) gCredits.pictures[i] = GfxTextureLoad(kPictures[i].file);
  HeldBattleQuadCreate();
  gCredits.music = gCreditsAudio.LoadSound("data/Sound/Pause.wav");
}

void CreditsInit() {
  for (int i = 0; i < kPictureCount; ++i) {
    const CreditsPicture& p = kPictures[i];
    gCredits.objects[i] =
        CreateGameObject(gQuadMesh, gCredits.pictures[i], p.x, p.y, p.width, p.height, p.rotation);
  }
  gCredits.creditsChannel = gCreditsAudio.Play(gCredits.music, ScreenMusicVolume());
  if (gCredits.creditsChannel) gCredits.creditsChannel->SetLooping(true);
}

void CreditsUpdate() {
  if (!ScreenPrologue(gCreditsAudio, {gCredits.creditsChannel})) return;
  ScreenKeepChannel(gCredits.creditsChannel, ScreenMusicVolume());
  gCreditsAudio.Update();

  // The scroll counts frames, so it runs at the same pace whatever the frame time.
  if (gCredits.creditsDelay >= kWait)
    CreditsScroll();
  else
    gCredits.creditsDelay += (float)SysGetFrameTime();
  ObjectListOf(GS_Credits)->Update();

  if (CreditsEnded()) HeldBattleReturn(holdForCredits);
  ScreenCheckF11();
}

void CreditsDraw() {
  ObjectListOf(GS_Credits)->Draw(ScreenScale());
}

void CreditsFree() {
  ObjectListOf(GS_Credits)->Free();
  HeldBattleReleaseFree(&holdForCredits);
  gCreditsAudio.StopAll();
  gCredits.creditsChannel = nullptr;
  for (GameObject*& o : gCredits.objects) o = nullptr;
}

void CreditsUnload() {
  ScreenUnloadPictures(gCredits.pictures);
  gCreditsAudio.FreeSound(gCredits.music);
  gCredits.music = nullptr;
  HeldBattleUnload(&holdForCredits);
}

float CreditsDelay() {
  return gCredits.creditsDelay;
}
