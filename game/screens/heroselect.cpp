// heroselect.cpp - hero selection: player 1 and then player 2 choose a hero on the open book,
// which shows the troop page of the hero under the active cursor; then the spell selection.
#include "screens/heroselect.h"

#include <cstdio>

#include "battle/heroes.h"
#include "battle/match.h"
#include "battle/spells.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "screens/book.h"
#include "screens/screen.h"
#include "states.h"

namespace {

const HeroId kHeroCells[4] = {Hero_Knight, Hero_Mage, Hero_Orc, Hero_Druid};
// The cells in the orders their pictures load and stand on the book: heroes, troop pages, spells.
const int kHeroOrder[4] = {3, 2, 0, 1};   // Druid, Orc, Knight, Mage
const int kPageOrder[4] = {2, 3, 0, 1};   // Orc, Druid, Knight, Mage
const int kSpellOrder[4] = {1, 2, 3, 0};  // Freeze, Poison, Quake, Boost

enum BookPicture { BP_Book, BP_Arrow1, BP_Arrow2, BP_Count };
const char* const kBookFiles[BP_Count] = {"data/SelectionBook.png", "data/arrow.png",
                                          "data/arrow2.png"};
const float kArrowX[2] = {-350, -70};
const float kArrowRotation[2] = {0, MATH_PI};  // the right column's arrow points back to the left
const float kArrowY[2] = {150, -10};

struct HeroSelectState {
  void (*drawExtra)(Font* font) = nullptr;  // labels of an addition (the computer's seat)
  // By cell: the hero on the book, its troop page, its spell's icon.
  Texture* heroes[4] = {};
  Texture* pages[4] = {};
  Texture* spells[4] = {};
  Texture* pictures[BP_Count] = {};
  Font* font = nullptr;
  bool heroConfirmed[2] = {};
  GameObject* arrows[2] = {};
  GameObject* troopPages[4] = {};  // in cell order
  ScreenLabel<15> spellNames[4];
};
HeroSelectState gHero;

void HeroSelectInput() {
  int p = gHero.heroConfirmed[0] ? 1 : 0;
  GameObject* arrow = gHero.arrows[p];
  if (p == 0) {
    gHero.arrows[1]->position = {kArrowX[0], kArrowY[0]};
    gHero.arrows[1]->visible = false;
  } else {
    gHero.arrows[0]->visible = false;
    gHero.arrows[1]->visible = true;
  }
  int cell = BookCellOf(kHeroCells, gMatch.hero[p]);
  if (cell < 0) cell = 0;
  switch (BookReadMove(p)) {
    case BOOK_Column:
      cell = BookOtherColumn(cell);
      arrow->position.x = kArrowX[BookCellColumn(cell)];
      arrow->rotation = kArrowRotation[BookCellColumn(cell)];
      gMatch.hero[p] = kHeroCells[cell];
      break;
    case BOOK_Row:
      cell = BookOtherRow(cell);
      arrow->position.y = kArrowY[BookCellRow(cell)];
      gMatch.hero[p] = kHeroCells[cell];
      break;
    case BOOK_Confirm:
      gHero.heroConfirmed[p] = true;
      break;
    case BOOK_None:
      break;
  }
}

// The troop page of the hero under the active cursor, and only that one.
void HeroSelectShowTroops() {
  HeroId hovered = gMatch.hero[gHero.heroConfirmed[0] ? 1 : 0];
  for (int cell = 0; cell < 4; ++cell) gHero.troopPages[cell]->alive = kHeroCells[cell] == hovered;
}

GameObject* HeroSelectObject(Texture* picture, float x, float y, float w, float h) {
  return CreateGameObject(gQuadMesh, picture, x, y, w, h);
}

Texture* HeroSelectLoadPicture(const char* name) {
  char path[64];
  snprintf(path, sizeof path, "data/%s.png", name);
  return GfxTextureLoad(path);
}

const HeroInfo& HeroOfCell(int cell) { return *HeroInfoOf(kHeroCells[cell]); }

// The built-in spell's icon and name stand on the hero's page of the book.
void HeroSelectSpellName(int cell) {
  ScreenLabel<15>& label = gHero.spellNames[cell];
  label.Format("Spell: %s", SpellInfoOf(HeroOfCell(cell).spell)->name);
  label.x = BookCellColumn(cell) ? -190.0f : -340.0f;
  label.y = BookCellRow(cell) ? -125.0f : 200.0f;
  label.k = 0.5f;
  label.color = 0xFF000000;
}

}  // namespace

void HeroSelectSetDrawExtra(void (*fn)(Font* font)) { gHero.drawExtra = fn; }

int HeroSelectChooser() {
  if (gHero.heroConfirmed[1]) return -1;
  return gHero.heroConfirmed[0] ? 1 : 0;
}

int HeroSelectCell() {
  int p = HeroSelectChooser();
  return p < 0 ? -1 : BookCellOf(kHeroCells, gMatch.hero[p]);
}

void HeroSelectLoad() {
  for (int cell : kHeroOrder) gHero.heroes[cell] = HeroSelectLoadPicture(HeroOfCell(cell).book);
  for (int cell : kPageOrder) gHero.pages[cell] = HeroSelectLoadPicture(HeroOfCell(cell).troopPage);
  for (int cell : kSpellOrder)
    gHero.spells[cell] = HeroSelectLoadPicture(SpellInfoOf(HeroOfCell(cell).spell)->icon);
  for (int i = 0; i < BP_Count; ++i) gHero.pictures[i] = GfxTextureLoad(kBookFiles[i]);
  gHero.font = GfxFontCreate(1.0f);
  gQuadMesh = CreateQuadMesh();
  BookMusicLoad();
}

void HeroSelectInit() {
  HeroSelectObject(gHero.pictures[BP_Book], 0, 0, 800, 610);
  for (int cell : kHeroOrder) HeroSelectObject(gHero.heroes[cell], 0, 0, 800, 610);
  for (int cell : kPageOrder)
    gHero.troopPages[cell] = HeroSelectObject(gHero.pages[cell], 0, 0, 800, 610);
  for (int cell : kSpellOrder)
    HeroSelectObject(gHero.spells[cell], BookCellColumn(cell) ? -80.0f : -230.0f,
                     BookCellRow(cell) ? -120.0f : 210.0f, 50, 50);
  gHero.arrows[0] = HeroSelectObject(gHero.pictures[BP_Arrow1], kArrowX[0], kArrowY[0], 50, 50);
  gHero.arrows[1] = HeroSelectObject(gHero.pictures[BP_Arrow2], kArrowX[0], kArrowY[0], 50, 50);

  gHero.heroConfirmed[0] = gHero.heroConfirmed[1] = false;
  gMatch.hero[0] = gMatch.hero[1] = Hero_Knight;

  for (int cell = 0; cell < 4; ++cell) HeroSelectSpellName(cell);
  // As the first Update shows it, for a book drawn before its first Update (an online game
  // waiting for its player).
  gHero.arrows[1]->visible = false;
  HeroSelectShowTroops();
  BookMusicStart();
}

void HeroSelectUpdate() {
  if (!ScreenPrologue(gAudio, {BookMusicChannel()})) return;
  ScreenKeepChannel(BookMusicChannel(), ScreenMusicVolume());
  gAudio.Update();
  ObjectListOf(GS_HeroSelect)->Update();
  HeroSelectInput();
  HeroSelectShowTroops();
  if (gHero.heroConfirmed[0] && gHero.heroConfirmed[1]) ScreenHandOver(GS_SpellSelect);
  ScreenCheckF11();
}

void HeroSelectDraw() {
  ObjectListOf(GS_HeroSelect)->Draw(ScreenScale());
  BookPrintTitle(gHero.font, "Choose a hero");
  for (int p = 0; p < 2; ++p)
    if (gHero.heroConfirmed[p]) BookPrintMark(gHero.font, p, BookCellOf(kHeroCells, gMatch.hero[p]), p + 1);
  for (const ScreenLabel<15>& name : gHero.spellNames) name.Print(gHero.font);
  if (gHero.drawExtra) gHero.drawExtra(gHero.font);
}

void HeroSelectFree() {
  // The music plays on into the spell selection.
  ObjectListOf(GS_HeroSelect)->Free();
}

void HeroSelectUnload() {
  for (Texture** group : {gHero.heroes, gHero.pages, gHero.spells}) ScreenUnloadPictures(group, 4);
  ScreenUnloadPictures(gHero.pictures);
  ScreenFreeQuadAndFont(&gHero.font);
}
