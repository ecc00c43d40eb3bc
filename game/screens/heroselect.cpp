// heroselect.cpp - hero selection: player 1 and then player 2 choose a hero on the open book,
// which shows the troop page of the hero under the active cursor; then the spell selection.
#include "screens/heroselect.h"

#include "battle/match.h"
#include "computer/computer.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "screens/book.h"
#include "screens/screen.h"

SoundEntry* selectionMusic = nullptr;
ChannelSlot* selectionChannel = nullptr;

namespace {

enum HeroPicture {
  HP_Druid, HP_Orc, HP_Knight, HP_Mage,
  HP_OrcTroops, HP_DruidTroops, HP_KnightTroops, HP_MageTroops,
  HP_Freeze, HP_Poison, HP_Quake, HP_Boost,
  HP_Book, HP_Arrow1, HP_Arrow2, HP_Count
};

const char* const kPictureFiles[HP_Count] = {
    "data/SelectionDruid.png",       "data/SelectionOrc.png",
    "data/SelectionKnight.png",      "data/SelectionMage.png",
    "data/SelectionOrcTroops.png",   "data/SelectionDruidTroops.png",
    "data/SelectionKnightTroops.png", "data/SelectionMageTroops.png",
    "data/Freeze.png",               "data/Poison.png",
    "data/Quake.png",                "data/Boost.png",
    "data/SelectionBook.png",        "data/arrow.png",
    "data/arrow2.png",
};

const HeroId kHeroCells[4] = {Hero_Knight, Hero_Mage, Hero_Orc, Hero_Druid};
const float kPi = 3.14159274f;
const float kArrowX[2] = {-350, -70};
const float kArrowRotation[2] = {0, kPi};  // the right column's arrow points back to the left
const float kArrowY[2] = {150, -10};

struct HeroSelectState {
  Texture* pictures[HP_Count] = {};
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

GameObject* HeroSelectObject(HeroPicture picture, float x, float y, float w, float h) {
  return CreateGameObject(gQuadMesh, gHero.pictures[picture], x, y, w, h);
}

void HeroSelectLabel(ScreenLabel<15>& label, const char* text, float x, float y) {
  label.Format("%s", text);
  label.x = x;
  label.y = y;
  label.k = 0.5f;
  label.color = 0xFF000000;
}

}  // namespace

int HeroSelectChooser() {
  if (gHero.heroConfirmed[1]) return -1;
  return gHero.heroConfirmed[0] ? 1 : 0;
}

int HeroSelectCell() {
  int p = HeroSelectChooser();
  return p < 0 ? -1 : BookCellOf(kHeroCells, gMatch.hero[p]);
}

void HeroSelectLoad() {
  for (int i = 0; i < HP_Count; ++i) gHero.pictures[i] = GfxTextureLoad(kPictureFiles[i]);
  gHero.font = GfxFontCreate(1.0f);
  gQuadMesh = CreateQuadMesh();
  selectionMusic = gAudio.LoadSound("data/Sound/Pause.wav");
}

void HeroSelectInit() {
  HeroSelectObject(HP_Book, 0, 0, 800, 610);
  for (HeroPicture hero : {HP_Druid, HP_Orc, HP_Knight, HP_Mage}) HeroSelectObject(hero, 0, 0, 800, 610);
  gHero.troopPages[2] = HeroSelectObject(HP_OrcTroops, 0, 0, 800, 610);
  gHero.troopPages[3] = HeroSelectObject(HP_DruidTroops, 0, 0, 800, 610);
  gHero.troopPages[0] = HeroSelectObject(HP_KnightTroops, 0, 0, 800, 610);
  gHero.troopPages[1] = HeroSelectObject(HP_MageTroops, 0, 0, 800, 610);
  HeroSelectObject(HP_Freeze, -80, 210, 50, 50);
  HeroSelectObject(HP_Poison, -230, -120, 50, 50);
  HeroSelectObject(HP_Quake, -80, -120, 50, 50);
  HeroSelectObject(HP_Boost, -230, 210, 50, 50);
  gHero.arrows[0] = HeroSelectObject(HP_Arrow1, kArrowX[0], kArrowY[0], 50, 50);
  gHero.arrows[1] = HeroSelectObject(HP_Arrow2, kArrowX[0], kArrowY[0], 50, 50);

  gHero.heroConfirmed[0] = gHero.heroConfirmed[1] = false;
  gMatch.hero[0] = gMatch.hero[1] = Hero_Knight;

  HeroSelectLabel(gHero.spellNames[0], "Spell: Poison", -340, -125);
  HeroSelectLabel(gHero.spellNames[1], "Spell: Boost", -340, 200);
  HeroSelectLabel(gHero.spellNames[2], "Spell: Quake", -190, -125);
  HeroSelectLabel(gHero.spellNames[3], "Spell: Freeze", -190, 200);

  selectionChannel = gAudio.Play(selectionMusic, ScreenMusicVolume());
  if (selectionChannel) selectionChannel->SetLooping(true);
}

void HeroSelectUpdate() {
  if (!ScreenPrologue(gAudio, {selectionChannel})) return;
  ScreenKeepChannel(selectionChannel, ScreenMusicVolume());
  gAudio.Update();
  ObjectListOf(GS_HeroSelect)->Update();
  HeroSelectInput();
  HeroSelectShowTroops();
  if (gHero.heroConfirmed[0] && gHero.heroConfirmed[1]) ScreenHandOver(GS_SpellSelect);
  ScreenCheckF11();
}

void HeroSelectDraw() {
  ObjectListOf(GS_HeroSelect)->Draw();
  BookPrintTitle(gHero.font, "Choose a hero");
  for (int p = 0; p < 2; ++p)
    if (gHero.heroConfirmed[p]) BookPrintMark(gHero.font, p, BookCellOf(kHeroCells, gMatch.hero[p]), p + 1);
  for (const ScreenLabel<15>& name : gHero.spellNames) name.Print(gHero.font);
  ComputerPrintSeatLabels(gHero.font);
}

void HeroSelectFree() {
  // The music plays on into the spell selection.
  ObjectListOf(GS_HeroSelect)->Free();
}

void HeroSelectUnload() {
  GfxMeshFree(gQuadMesh);
  gQuadMesh = nullptr;
  for (Texture*& picture : gHero.pictures) {
    GfxTextureUnload(picture);
    picture = nullptr;
  }
  GfxFontFree(gHero.font);
  gHero.font = nullptr;
}
