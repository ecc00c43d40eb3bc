// howtoplay.cpp - how to play: nine full-screen instruction pages turned with Left and Right
// (or gamepad 2's D-pad), reopened on the page last shown; back to the menu or the battle.
#include "screens/howtoplay.h"

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "keinput.h"
#include "screens/heldbattle.h"
#include "screens/screen.h"
#include "states.h"

namespace {

const char* const kPageFiles[kHowToPlayPages] = {
    "data/hControls.png", "data/hKeyControls.png", "data/hHealth.png",
    "data/hSummon.png",   "data/hBehavior.png",    "data/hTraits.png",
    "data/hSpecTraits.png", "data/hSpecTraits2.png", "data/hSpells.png",
};

struct HowToPlayState {
  Texture* pages[kHowToPlayPages] = {};
  SoundEntry* music = nullptr;
  ChannelSlot* howToPlayChannel = nullptr;
  GameObject* page = nullptr;
  int howToPlayPage = 0;  // once per run: not reset on entry
};
HowToPlayState gHowToPlay;

bool HowToPlayPressed(int key, uint16_t button) {
  return InputIsTriggered(key) || InputPadIsTriggered(1, button);
}

}  // namespace

void HowToPlayLoad() {
  for (int i = 0; i < kHowToPlayPages; ++i) gHowToPlay.pages[i] = GfxTextureLoad(kPageFiles[i]);
  HeldBattleQuadCreate();
  gHowToPlay.music = gHowToPlayAudio.LoadSound("data/Sound/Pause.wav");
}

void HowToPlayInit() {
  gHowToPlay.page = CreateGameObject(gQuadMesh, gHowToPlay.pages[0], 0, 0, 800, 600);
  gHowToPlay.howToPlayChannel = gHowToPlayAudio.Play(gHowToPlay.music, ScreenMusicVolume());
  if (gHowToPlay.howToPlayChannel) gHowToPlay.howToPlayChannel->SetLooping(true);
}

void HowToPlayUpdate() {
  if (!ScreenPrologue(gHowToPlayAudio, {gHowToPlay.howToPlayChannel})) return;
  ScreenKeepChannel(gHowToPlay.howToPlayChannel, ScreenMusicVolume());
  ObjectListOf(GS_HowToPlay)->Update();
  gHowToPlayAudio.Update();

  int& page = gHowToPlay.howToPlayPage;
  if (HowToPlayPressed(VK_RIGHT, PAD_DPAD_RIGHT) && page < kHowToPlayPages - 1) ++page;
  if (HowToPlayPressed(VK_LEFT, PAD_DPAD_LEFT) && page >= 1) --page;
  if (InputPadIsTriggered(1, PAD_B) || InputIsTriggered(VK_ESCAPE) || InputIsTriggered('Q'))
    HeldBattleReturn(holdForHowToPlay);
  ScreenCheckF11();
  gHowToPlay.page->texture = gHowToPlay.pages[page];
}

void HowToPlayDraw() {
  ObjectListOf(GS_HowToPlay)->Draw(ScreenScale());
}

void HowToPlayFree() {
  ObjectListOf(GS_HowToPlay)->Free();
  HeldBattleReleaseFree(&holdForHowToPlay);
  gHowToPlayAudio.StopAll();
  gHowToPlay.howToPlayChannel = nullptr;
  gHowToPlay.page = nullptr;
}

void HowToPlayUnload() {
  ScreenUnloadPictures(gHowToPlay.pages);
  gHowToPlayAudio.FreeSound(gHowToPlay.music);
  gHowToPlay.music = nullptr;
  HeldBattleUnload(&holdForHowToPlay);
}

int HowToPlayPage() {
  return gHowToPlay.howToPlayPage;
}
