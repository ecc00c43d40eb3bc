// roundover.cpp - the round and match results shown for three seconds after a round: banner,
// the winner's portrait in its frame, a jingle, then the next round or the main menu.
#include "screens/roundover.h"

#include <cstdio>

#include "battle/heroes.h"
#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "kesystem.h"
#include "screens/screen.h"
#include "states.h"

namespace {

enum ResultPicture {
  PIC_MatchP1, PIC_MatchP2, PIC_RoundP1, PIC_RoundP2, PIC_RoundDraw,
  PIC_Orc, PIC_Druid, PIC_Knight, PIC_Mage, PIC_Frame1, PIC_Frame2, PIC_Count
};

// Null: a hero's portrait, named by the hero's row.
const char* const kPictureFiles[PIC_Count] = {
    "data/MatchOverP1.png", "data/MatchOverP2.png", "data/RoundOverP1.png", "data/RoundOverP2.png",
    "data/RoundOverDraw.png", nullptr, nullptr, nullptr, nullptr, "data/CharFrame.png",
    "data/CharFrame2.png",
};
const HeroId kPortraitHeroes[4] = {Hero_Orc, Hero_Druid, Hero_Knight, Hero_Mage};  // from PIC_Orc

const float kTimeShown = 3.0f;

struct RoundOverState {
  Texture* pictures[PIC_Count] = {};
  // Load may load a round jingle and then a match jingle in its place: both are freed.
  SoundEntry* loaded[2] = {};
  SoundEntry* resultSound = nullptr;      // the jingle to play; none for a draw
  ChannelSlot* resultChannel = nullptr;   // where it plays
  GameObject* banner = nullptr;  // the banner created last, the one the players see
  float timer = 0;
};
RoundOverState gRound;

Texture* RoundOverPortrait(HeroId hero) {
  for (int i = 0; i < 4; ++i)
    if (kPortraitHeroes[i] == hero) return gRound.pictures[PIC_Orc + i];
  return nullptr;
}

Texture* RoundOverLoadPicture(int picture) {
  if (kPictureFiles[picture]) return GfxTextureLoad(kPictureFiles[picture]);
  char path[64];
  const HeroInfo* hero = HeroInfoOf(kPortraitHeroes[picture - PIC_Orc]);
  snprintf(path, sizeof path, "data/%s.png", hero->portrait);
  return GfxTextureLoad(path);
}

// A full-screen banner, and for a winner their portrait with the frame drawn over it.
void RoundOverShow(ResultPicture banner, int winner) {
  gRound.banner = CreateGameObject(gQuadMesh, gRound.pictures[banner], 0, 0, 800, 610);
  if (winner < 0) return;
  // An unknown hero has no portrait, but the frame still stands.
  if (MatchIsHero(gMatch.hero[winner]))
    CreateGameObject(gQuadMesh, RoundOverPortrait(gMatch.hero[winner]), -10, -100, 150, 150);
  CreateGameObject(gQuadMesh, gRound.pictures[winner == 0 ? PIC_Frame1 : PIC_Frame2], -10, -100,
                   150, 150);
}

bool RoundOverIsRoundBanner(const GameObject* banner) {
  const Texture* t = banner ? banner->texture : nullptr;
  return t && (t == gRound.pictures[PIC_RoundP1] || t == gRound.pictures[PIC_RoundP2] ||
               t == gRound.pictures[PIC_RoundDraw]);
}

bool RoundOverMatchIsOver() {
  return gMatch.heroHealth[0] == 0 || gMatch.heroHealth[1] == 0;
}

}  // namespace

void RoundOverLoad() {
  for (int i = 0; i < PIC_Count; ++i) gRound.pictures[i] = RoundOverLoadPicture(i);
  gQuadMesh = CreateQuadMesh();
  gRound.loaded[0] = gRound.loaded[1] = nullptr;
  gRound.resultSound = nullptr;
  if (gMatch.roundWinner == Round_P1Won)
    gRound.resultSound = gRound.loaded[0] = gAudio.LoadSound("data/Sound/Vic1.wav");
  else if (gMatch.roundWinner == Round_P2Won)
    gRound.resultSound = gRound.loaded[0] = gAudio.LoadSound("data/Sound/Vic2.wav");
  // The match jingles are named the other way round from the round jingles: Match1 sounds when
  // player 1 has lost.
  if (gMatch.heroHealth[0] == 0)
    gRound.resultSound = gRound.loaded[1] = gAudio.LoadSound("data/Sound/Match1.wav");
  else if (gMatch.heroHealth[1] == 0)
    gRound.resultSound = gRound.loaded[1] = gAudio.LoadSound("data/Sound/Match2.wav");
  if (gMatch.roundWinner == Round_Draw) gRound.resultSound = nullptr;
}

void RoundOverInit() {
  gRound.banner = nullptr;  // the last visit's banner was freed with its objects
  // The round that ends a match leaves roundWinner as the round before it set it, so the match
  // banner is laid over that round's banner.
  if (gMatch.roundWinner == Round_P1Won) RoundOverShow(PIC_RoundP1, 0);
  else if (gMatch.roundWinner == Round_P2Won) RoundOverShow(PIC_RoundP2, 1);
  else if (gMatch.roundWinner == Round_Draw) RoundOverShow(PIC_RoundDraw, -1);
  if (gMatch.heroHealth[1] == 0) RoundOverShow(PIC_MatchP1, 0);
  if (gMatch.heroHealth[0] == 0) RoundOverShow(PIC_MatchP2, 1);
  gRound.timer = kTimeShown;
  gRound.resultChannel = nullptr;
  if (gRound.resultSound && !muted)
    gRound.resultChannel = gAudio.Play(gRound.resultSound, ScreenMusicVolume());
}

void RoundOverUpdate() {
  if (!ScreenPrologue(gAudio, {gRound.resultChannel})) return;
  ObjectListOf(GS_RoundOver)->Update();
  gAudio.Update();
  ScreenKeepChannel(gRound.resultChannel, ScreenMusicVolume());

  gRound.timer -= (float)SysGetFrameTime();
  if (gRound.timer < 0) {
    if (RoundOverIsRoundBanner(gRound.banner))
      ScreenFullscreenFlag(GS_Battle) = ScreenFullscreenFlag(GS_RoundOver);
    GsmSetNextState(GS_Battle);
    if (RoundOverMatchIsOver()) {
      gMatch.heroHealth[0] = gMatch.heroHealth[1] = 3;
      ScreenHandOver(GS_MainMenu);
    }
  }
  ScreenCheckF11();
}

void RoundOverDraw() {
  ObjectListOf(GS_RoundOver)->Draw(ScreenScale());
}

void RoundOverFree() {
  ObjectListOf(GS_RoundOver)->Free();
  gAudio.StopAll();
  gRound.resultChannel = nullptr;
}

void RoundOverUnload() {
  GfxMeshFree(gQuadMesh);
  gQuadMesh = nullptr;
  ScreenUnloadPictures(gRound.pictures);
  for (SoundEntry*& jingle : gRound.loaded) {
    gAudio.FreeSound(jingle);
    jingle = nullptr;
  }
  gRound.resultSound = nullptr;
}

SoundEntry* RoundOverJingle() { return gRound.resultSound; }
ChannelSlot* RoundOverChannel() { return gRound.resultChannel; }
