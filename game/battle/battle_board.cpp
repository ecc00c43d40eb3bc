// battle_board.cpp - the battle's resources (pictures, sounds and their channels, font, quad) and
// the board that Init lays out from the match record: heroes, slots, icons, arrows and frames.
#include "battle/battle_board.h"

#include <cstdio>
#include <cstring>

#include "battle/spells.h"
#include "framework/audio.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "screens/screen.h"

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

// A hero's portrait, summon slots (A, B, X, Y), built-in spell icon and health pictures.
struct HeroLoadout {
  HeroId hero;
  const char* portrait;
  const char* grid;
  TroopKind kinds[4];
  const char* icons[4];
  float chargeTimes[4];
  const char* spellIcon;
  const char* health[3];  // at 1, 2 and 3 health
};
const HeroLoadout kHeroes[] = {
    {Hero_Knight, "KnightCharacter", "KnightGrid", {KnightTroop, Rogue, Archer, Catapult},
     {"KnightIcon", "RogueIcon", "ArcherIcon", "CatapultIcon"}, {3.0f, 5.0f, 4.0f, 8.0f}, "Boost",
     {"Knight1HP", "Knight2HP", "Knight3HP"}},
    {Hero_Mage, "MageCharacter", "MageGrid", {MageTroop, IceMage, Golem, Dragon},
     {"AcolyteIcon", "IcemageIcon", "GolemIcon", "DragonIcon"}, {3.0f, 7.0f, 5.0f, 10.0f}, "Freeze",
     {"Wizard1HP", "Wizard2HP", "Wizard3HP"}},
    {Hero_Orc, "OrcCharacter", "OrcGrid", {Troll, Imp, Goblin, Demon},
     {"TrollIcon", "ImpIcon", "GoblinIcon", "DemonIcon"}, {3.0f, 4.0f, 7.0f, 9.0f}, "Poison",
     {"Dark1HP", "Dark2HP", "Dark3HP"}},
    {Hero_Druid, "DruidCharacter", "DruidGrid", {Plant, Treant, Bear, Dryad},
     {"PlantIcon", "TreantIcon", "BearIcon", "DryadIcon"}, {3.0f, 12.0f, 8.0f, 6.0f}, "Quake",
     {"Natura1HP", "Natura2HP", "Natura3HP"}},
};

// Chosen-spell icons, Spell_Meteor .. Spell_Wind.
const char* const kChosenSpellIcons[] = {"Meteorite", "Execute", "Stun", "Wind"};

// Where one player's half of the board stands. Player 2's pictures are mirrored.
struct PlayerLayout {
  Vec2 grid;
  Vec2 icons[4];      // A, B, X, Y
  int iconOrder[4];   // creation (drawing) order of the icons
  float mageShift;    // the Mage's troop icons sit lower in its grid
  float mirror;       // 1, or -1 for player 2
  const char* arrow;
  Vec2 arrowAt;
  Vec2 energy;
  Vec2 health;
  const char* ring;
  const char* star;
  const char* frame;
};
const PlayerLayout kLayout[2] = {
    {{30, 240}, {{30, 195}, {60, 225}, {0, 225}, {30, 255}}, {0, 2, 3, 1}, -14, 1, "arrow",
     {-350, 0}, {-230, 240}, {-100, 230}, "SpellRing2", "SpellStar", "CharFrame"},
    {{-30, -240}, {{-30, -285}, {0, -255}, {-60, -255}, {-30, -225}}, {3, 1, 0, 2}, -15, -1,
     "arrow2", {350, 0}, {230, -240}, {100, -240}, "SpellRing", "SpellStar2", "CharFrame2"},
};

const float kPortraitWidth = 120, kPortraitHeight = 100;
const float kIconSize = 120;        // grid and summon icons
const float kSpellSize = 100;       // spell icons, rings, stars and arrows
const float kEnergyIconSize = 80;
const float kHealthWidth = 170, kHealthHeight = 120;
const float kFrameWidth = 120, kFrameHeight = 110;

struct BattleBoard {
  Texture* textures[kTextureCount] = {};
  SoundEntry* sounds[SND_Count] = {};
  ChannelSlot* channels[SND_Count] = {};  // the channel of the last play of each sound
  Font* font = nullptr;
  Mesh* quad = nullptr;                   // ours, even while a held screen swaps gQuadMesh
};
BattleBoard gBoard;

const HeroLoadout* HeroLoadoutOf(HeroId hero) {
  for (const HeroLoadout& h : kHeroes)
    if (h.hero == hero) return &h;
  return nullptr;
}

GameObject* Place(const char* picture, Vec2 at, float width, float height) {
  return CreateGameObject(gQuadMesh, picture ? BattleTexture(picture) : nullptr, at.x, at.y, width,
                          height);
}

// Spell icons, rings, stars and arrows share one size.
GameObject* PlaceSpell(const char* picture, Vec2 at, float mirror = 1) {
  return Place(picture, at, mirror * kSpellSize, kSpellSize);
}

}  // namespace

Texture* BattleTexture(const char* name) {
  for (int i = 0; i < kTextureCount; ++i)
    if (strcmp(kTextureNames[i], name) == 0) return gBoard.textures[i];
  fprintf(stderr, "[battle] no picture named %s\n", name);
  return nullptr;
}

Font* BattleFont() { return gBoard.font; }

ObjectList& BattleObjects() { return *ObjectListOf(GS_Battle); }

ChannelSlot* BattlePlay(BattleSound sound) {
  float volume = sound == SND_Rally ? ScreenMusicVolume() : ScreenSoundVolume();
  gBoard.channels[sound] = gAudio.Play(gBoard.sounds[sound], volume);
  return gBoard.channels[sound];
}

ChannelSlot* BattleChannel(BattleSound sound) { return gBoard.channels[sound]; }

void BoardLoadResources() {
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

void BoardUnloadResources() {
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

void BoardUseQuad() {
  if (gBoard.quad) gQuadMesh = gBoard.quad;
}

void BoardForgetChannels() {
  for (ChannelSlot*& c : gBoard.channels) c = nullptr;
}

void BoardSetVolumes() {
  for (int s = 0; s < SND_Count; ++s)
    if (ChannelSlot* c = gBoard.channels[s])
      c->SetVolume(s == SND_Rally ? ScreenMusicVolume() : ScreenSoundVolume());
}

void BoardPauseChannels(bool paused) {
  for (ChannelSlot* c : gBoard.channels)
    if (c) c->SetPaused(paused);
}

void BoardBuildBackground() {
  Place("WoodenBG", {0, 0}, 800, 610);
  Place("lanes", {0, 0}, 600, 350);
}

void BoardBuildHero(int player) {
  BattlePlayer& p = gPlayers[player];
  const PlayerLayout& at = kLayout[player];
  const HeroLoadout* hero = HeroLoadoutOf(gMatch.hero[player]);
  p.portrait = nullptr;
  for (SummonSlot& slot : p.summonSlots) slot = SummonSlot{0, 0, 0, nullptr};
  for (SpellSlot& slot : p.spellSlots) slot = SpellSlot{nullptr, true, 0, nullptr};
  if (!hero) return;

  p.portrait = Place(hero->portrait, kPortraitPosition[player], at.mirror * kPortraitWidth,
                     kPortraitHeight);
  Place(hero->grid, at.grid, kIconSize, kIconSize);
  float shift = hero->hero == Hero_Mage ? at.mageShift : 0;
  for (int i = 0; i < 4; ++i) {
    int s = at.iconOrder[i];
    Vec2 icon = {at.icons[s].x, at.icons[s].y + shift};
    p.summonSlots[s] = SummonSlot{hero->kinds[s], hero->chargeTimes[s], 0,
                                  Place(hero->icons[s], icon, kIconSize, kIconSize)};
  }
  p.spellSlots[0].cast = SpellForHero(hero->hero);
  p.spellSlots[0].icon = PlaceSpell(hero->spellIcon, kSpellIconPosition[player][0]);
}

void BoardBuildArrows() {
  for (int i = 0; i < 2; ++i)
    gPlayers[i].arrow = PlaceSpell(kLayout[i].arrow, kLayout[i].arrowAt, kLayout[i].mirror);
  for (int i = 0; i < 2; ++i) Place("Energy", kLayout[i].energy, kEnergyIconSize, kEnergyIconSize);
}

void BoardBuildChosenSpells() {
  for (int player = 0; player < 2; ++player)
    for (int slot = 0; slot < 2; ++slot) {
      SpellId id = gMatch.spells[player][slot];
      if (!MatchIsChosenSpell(id)) continue;
      SpellSlot& s = gPlayers[player].spellSlots[slot + 1];
      const char* icon = kChosenSpellIcons[id - Spell_Meteor];
      s.icon = PlaceSpell(icon, kSpellIconPosition[player][slot + 1]);
      s.cast = SpellForChoice(id);
    }
}

void BoardBuildFrames() {
  // Player 2's rings first, from the right-most slot outwards, then player 1's.
  for (int i = 2; i >= 0; --i) PlaceSpell(kLayout[1].ring, kSpellIconPosition[1][i]);
  for (int i = 0; i < 3; ++i) PlaceSpell(kLayout[0].ring, kSpellIconPosition[0][i]);
  for (int i = 0; i < 2; ++i) {
    const HeroLoadout* hero = HeroLoadoutOf(gMatch.hero[i]);
    int health = gMatch.heroHealth[i];
    if (hero && health >= 1 && health <= 3)
      Place(hero->health[health - 1], kLayout[i].health, kLayout[i].mirror * kHealthWidth,
            kHealthHeight);
  }
  for (int i = 0; i < 2; ++i)
    gPlayers[i].spellStar = PlaceSpell(kLayout[i].star, kSpellIconPosition[i][0]);
  for (int i = 0; i < 2; ++i)
    Place(kLayout[i].frame, kPortraitPosition[i], kFrameWidth, kFrameHeight);
}
