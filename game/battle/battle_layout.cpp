// battle_layout.cpp - the board the battle's Init lays out from the match record: heroes, summon
// and spell slots, icons, arrows, rings and frames, in drawing order.
#include "battle/battle_layout.h"

#include "battle/heroes.h"
#include "battle/spells.h"
#include "framework/gameobject.h"
#include "framework/quad.h"

namespace {

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

GameObject* Place(const char* picture, Vec2 at, float width, float height) {
  return CreateGameObject(gQuadMesh, picture ? BoardTexture(picture) : nullptr, at.x, at.y, width,
                          height);
}

// Spell icons, rings, stars and arrows share one size.
GameObject* PlaceSpell(const char* picture, Vec2 at, float mirror = 1) {
  return Place(picture, at, mirror * kSpellSize, kSpellSize);
}

}  // namespace

void LayoutBuildBackground() {
  Place("WoodenBG", {0, 0}, 800, 610);
  Place("lanes", {0, 0}, 600, 350);
}

void LayoutBuildHero(int player) {
  BattlePlayer& p = BoardPlayer(player);
  const PlayerLayout& at = kLayout[player];
  const HeroInfo* hero = HeroInfoOf(gMatch.hero[player]);
  p.portrait = nullptr;
  for (SummonSlot& slot : p.summonSlots) slot = SummonSlot{0, 0, 0, nullptr};
  for (SpellSlot& slot : p.spellSlots) slot = SpellSlot{nullptr, true, 0, nullptr};
  if (!hero) return;

  p.portrait = Place(hero->portrait, kPortraitPosition[player], at.mirror * kPortraitWidth,
                     kPortraitHeight);
  Place(hero->grid, at.grid, kIconSize, kIconSize);
  float shift = hero->id == Hero_Mage ? at.mageShift : 0;
  for (int i = 0; i < 4; ++i) {
    int s = at.iconOrder[i];
    Vec2 icon = {at.icons[s].x, at.icons[s].y + shift};
    p.summonSlots[s] = SummonSlot{hero->troops[s], hero->chargeTimes[s], 0,
                                  Place(hero->troopIcons[s], icon, kIconSize, kIconSize)};
  }
  const SpellInfo* spell = SpellInfoOf(hero->spell);
  p.spellSlots[0].cast = spell->cast;
  p.spellSlots[0].icon = PlaceSpell(spell->icon, kSpellIconPosition[player][0]);
}

void LayoutBuildArrows() {
  for (int i = 0; i < 2; ++i)
    BoardPlayer(i).arrow = PlaceSpell(kLayout[i].arrow, kLayout[i].arrowAt, kLayout[i].mirror);
  for (int i = 0; i < 2; ++i) Place("Energy", kLayout[i].energy, kEnergyIconSize, kEnergyIconSize);
}

void LayoutBuildChosenSpells() {
  for (int player = 0; player < 2; ++player)
    for (int slot = 0; slot < 2; ++slot) {
      SpellId id = gMatch.spells[player][slot];
      if (!MatchIsChosenSpell(id)) continue;
      SpellSlot& s = BoardPlayer(player).spellSlots[slot + 1];
      const SpellInfo* spell = SpellInfoOf(id);
      s.icon = PlaceSpell(spell->icon, kSpellIconPosition[player][slot + 1]);
      s.cast = spell->cast;
    }
}

void LayoutBuildFrames() {
  // Player 2's rings first, from the right-most slot outwards, then player 1's.
  for (int i = 2; i >= 0; --i) PlaceSpell(kLayout[1].ring, kSpellIconPosition[1][i]);
  for (int i = 0; i < 3; ++i) PlaceSpell(kLayout[0].ring, kSpellIconPosition[0][i]);
  for (int i = 0; i < 2; ++i) {
    const HeroInfo* hero = HeroInfoOf(gMatch.hero[i]);
    int health = gMatch.heroHealth[i];
    if (hero && health >= 1 && health <= 3)
      Place(hero->health[health - 1], kLayout[i].health, kLayout[i].mirror * kHealthWidth,
            kHealthHeight);
  }
  for (int i = 0; i < 2; ++i)
    BoardPlayer(i).spellStar = PlaceSpell(kLayout[i].star, kSpellIconPosition[i][0]);
  for (int i = 0; i < 2; ++i)
    Place(kLayout[i].frame, kPortraitPosition[i], kFrameWidth, kFrameHeight);
}
