// board.cpp - the battle board's resources (pictures, sounds and their channels, font, quad), its
// object list and the two players' seats.
#include "battle/board.h"

#include <cstdio>
#include <cstring>

#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "kelog.h"
#include "screens/screen.h"
#include "states.h"

namespace {

// Every picture the battle, its troops and its spells draw, loaded from data/<name>.png.
const char* const kTextureNames[] = {
    "KnightCharacter", "MageCharacter", "arrow", "arrow2", "Freeze", "Boost", "Wind", "Stun",
    "Meteorite", "Quake", "WoodenBG", "lanes", "Energy", "magetroop", "knighttroop", "SpellRing",
    "SpellRing2", "Knight3HP", "Knight2HP", "Knight1HP", "Wizard3HP", "Wizard2HP", "Wizard1HP",
    "Dark3HP", "Dark2HP", "Dark1HP", "Natura3HP", "Natura2HP", "Natura1HP", "Archer", "Golem",
    "IceMage", "Rogue", "Dragon", "Catapult", "Smoke", "Dagger", "SpellStar", "SpellStar2",
    "MageGrid", "GolemIcon", "AcolyteIcon", "DragonIcon", "IcemageIcon", "KnightGrid", "RogueIcon",
    "KnightIcon", "CatapultIcon", "ArcherIcon", "Tornado", "SnowFlake", "BoostArrow", "StunnedGuy",
    "Proj_icemage", "Proj_mage", "Proj_dragon", "Proj_catapult", "Proj_archer", "Golem_attack",
    "Knight_attack", "Rogue_attack", "MeteoriteSprite", "OrcGrid", "DruidGrid", "OrcCharacter",
    "DruidCharacter", "Goblin", "Demon", "Troll", "Imp", "Treant", "Bear", "Dryad", "Plant",
    "DryadHearth", "GoblinIcon", "DemonIcon", "TrollIcon", "ImpIcon", "ImpAtk1", "ImpAtk2",
    "TrollAtk", "DemonAtk", "BearAtk", "DryadAtk", "PlantAtk", "TreeAtk", "TreantIcon", "BearIcon",
    "PlantIcon", "DryadIcon", "Poison", "Execute", "CharFrame", "CharFrame2", "ExecuteAnim",
    "QuakeAnim", "PoisonAnim",
};
const int kTextureCount = sizeof kTextureNames / sizeof kTextureNames[0];

// By BattleSound.
const char* const kSoundFiles[SND_Count] = {
    "data/Sound/Rally.wav",       "data/Sound/GoalReached.wav", "data/Sound/WoodSelect.wav",
    "data/Sound/ExeBass.wav",     "data/Sound/FrostChime.wav",  "data/Sound/BoostBrass.wav",
    "data/Sound/StunStrings.wav", "data/Sound/Explosion.wav",   "data/Sound/QuakeDrums.wav",
    "data/Sound/PoisonFlute.wav", "data/Sound/Wind.wav",
};

struct BoardState {
  Texture* textures[kTextureCount] = {};
  SoundEntry* sounds[SND_Count] = {};
  ChannelSlot* channels[SND_Count] = {};  // the channel of the last play of each sound
  Font* font = nullptr;
  Mesh* quad = nullptr;                   // ours, even while a held screen swaps gQuadMesh
  BattlePlayer players[2];
};
BoardState gBoard;

float BoardVolumeOf(int sound) {
  return sound == SND_Rally ? ScreenMusicVolume() : ScreenSoundVolume();
}

}  // namespace

BattlePlayer& BoardPlayer(int player) {
  return gBoard.players[player == 1 ? 1 : 0];
}

void BoardLoad() {
  char path[64];
  for (int i = 0; i < kTextureCount; ++i) {
    snprintf(path, sizeof path, "data/%s.png", kTextureNames[i]);
    gBoard.textures[i] = GfxTextureLoad(path);
  }
  for (int s = 0; s < SND_Count; ++s) gBoard.sounds[s] = gAudio.LoadSound(kSoundFiles[s]);
  gBoard.font = GfxFontCreate(1.0f);
  gBoard.quad = CreateQuadMesh();
  gQuadMesh = gBoard.quad;
}

void BoardUnload() {
  if (gQuadMesh == gBoard.quad) gQuadMesh = nullptr;
  GfxMeshFree(gBoard.quad);
  gBoard.quad = nullptr;
  for (Texture*& t : gBoard.textures) {
    GfxTextureUnload(t);
    t = nullptr;
  }
  gAudio.StopAll();
  GfxFontFree(gBoard.font);
  gBoard.font = nullptr;
  for (SoundEntry*& s : gBoard.sounds) {
    gAudio.FreeSound(s);
    s = nullptr;
  }
}

Texture* BoardTexture(const char* name) {
  for (int i = 0; i < kTextureCount; ++i)
    if (strcmp(kTextureNames[i], name) == 0) return gBoard.textures[i];
  LogPrint("[battle] no picture named %s\n", name);
  return nullptr;
}

Font* BoardFont() { return gBoard.font; }

ObjectList& BoardObjects() { return *ObjectListOf(GS_Battle); }

void BoardUseQuad() {
  if (gBoard.quad) gQuadMesh = gBoard.quad;
}

ChannelSlot* BoardPlay(BattleSound sound) {
  gBoard.channels[sound] = gAudio.Play(gBoard.sounds[sound], BoardVolumeOf(sound));
  return gBoard.channels[sound];
}

ChannelSlot* BoardChannel(BattleSound sound) { return gBoard.channels[sound]; }

void BoardForgetChannels() {
  for (ChannelSlot*& c : gBoard.channels) c = nullptr;
}

void BoardSetVolumes() {
  for (int s = 0; s < SND_Count; ++s)
    if (ChannelSlot* c = gBoard.channels[s]) c->SetVolume(BoardVolumeOf(s));
}

void BoardPauseChannels(bool paused) {
  for (ChannelSlot* c : gBoard.channels)
    if (c) c->SetPaused(paused);
}
