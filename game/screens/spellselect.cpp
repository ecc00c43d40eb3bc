// spellselect.cpp - spell selection: player 1 and then player 2 choose two different spells on
// the open book while the hero selection's music plays on; then the battle.
#include "screens/spellselect.h"

#include <cstdio>

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "battle/spells.h"
#include "screens/book.h"
#include "screens/screen.h"
#include "states.h"

namespace {

// The first four are the spells' icons in cell order.
enum SpellPicture {
  SP_Wind, SP_Stun, SP_Meteor, SP_Execute, SP_Book, SP_Arrow1, SP_Arrow2, SP_Count
};
const char* const kBookFiles[3] = {"data/SelectionBook.png", "data/arrow.png", "data/arrow2.png"};

const SpellId kSpellCells[4] = {Spell_Wind, Spell_Stun, Spell_Meteor, Spell_Execute};
// The left column's arrow stands a little further right for player 2.
const float kArrowX[2][2] = {{-280, -130}, {-270, -130}};  // [player][column]
const float kArrowY[2] = {210, -120};
// Down onto the top row, up onto the bottom one.
const float kArrowRotation[2] = {-MATH_HALF_PI, MATH_HALF_PI};

const float kDescriptionScale = 0.65f;
// From the text's left edge (x = 55) to the small icons (left edges at 295), less some air.
const float kDescriptionWidth = 230;

// The right page's descriptions, in the order they are printed, and their heights.
struct Description {
  SpellId spell;
  float y;
};
const Description kDescriptions[4] = {
    {Spell_Meteor, 0}, {Spell_Wind, 200}, {Spell_Stun, 100}, {Spell_Execute, -100}};

struct SpellSelectState {
  Texture* pictures[SP_Count] = {};
  Font* font = nullptr;
  bool firstSpellChosen[2] = {};
  bool spellsDone[2] = {};
  GameObject* arrows[2] = {};
  ScreenLabel<100> descriptions[4];
};
SpellSelectState gSpell;

void SpellSelectConfirm(int p) {
  SpellId* spells = gMatch.spells[p];
  if (spells[0] == spells[1]) return;  // the second spell must differ from the first
  if (!gSpell.firstSpellChosen[p]) {
    spells[1] = spells[0];  // the second choice starts on the first
    gSpell.firstSpellChosen[p] = true;
  } else {
    gSpell.spellsDone[p] = true;
  }
}

void SpellSelectInput() {
  int p = gSpell.spellsDone[0] ? 1 : 0;
  if (p == 0) {
    gSpell.arrows[1]->position = {kArrowX[0][0], kArrowY[0]};
    gSpell.arrows[1]->visible = false;
  } else {
    gSpell.arrows[0]->visible = false;
    gSpell.arrows[1]->visible = true;
  }
  GameObject* arrow = gSpell.arrows[p];
  // The cursor shows and writes the slot being chosen.
  SpellId& slot = gMatch.spells[p][gSpell.firstSpellChosen[p] ? 1 : 0];
  int cell = BookCellOf(kSpellCells, slot);
  if (cell < 0) cell = 0;
  switch (BookReadMove(p)) {
    case BOOK_Column:
      cell = BookOtherColumn(cell);
      arrow->position.x = kArrowX[p][BookCellColumn(cell)];
      slot = kSpellCells[cell];
      break;
    case BOOK_Row:
      cell = BookOtherRow(cell);
      arrow->position.y = kArrowY[BookCellRow(cell)];
      arrow->rotation = kArrowRotation[BookCellRow(cell)];
      slot = kSpellCells[cell];
      break;
    case BOOK_Confirm:
      SpellSelectConfirm(p);
      break;
    case BOOK_None:
      break;
  }
}

GameObject* SpellSelectObject(SpellPicture picture, float x, float y, float w, float h) {
  return CreateGameObject(gQuadMesh, gSpell.pictures[picture], x, y, w, h);
}

// Descriptions are squeezed a little in height to fit the right page; a line too long for the
// room left of the small icons shrinks the whole text, its place kept.
void SpellSelectPrintDescription(const ScreenLabel<100>& label) {
  Vec2 s = ScreenScale();
  float fit = ScreenFitScale(gSpell.font, label.text, kDescriptionScale, label.width) /
              kDescriptionScale;
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, s.x * kDescriptionScale * fit, s.y * 0.55f * fit, 0.0f,
                         s.x * label.x, s.y * label.y);
  GfxSetTransform(m);
  GfxPrint(gSpell.font, label.text, label.color);
}

}  // namespace

int SpellSelectChooser() {
  if (gSpell.spellsDone[1]) return -1;
  return gSpell.spellsDone[0] ? 1 : 0;
}

int SpellSelectSlot() {
  int p = SpellSelectChooser();
  return p >= 0 && gSpell.firstSpellChosen[p] ? 1 : 0;
}

int SpellSelectCell() {
  int p = SpellSelectChooser();
  return p < 0 ? -1 : BookCellOf(kSpellCells, gMatch.spells[p][SpellSelectSlot()]);
}

void SpellSelectLoad() {
  char path[64];
  for (int cell = 0; cell < 4; ++cell) {
    snprintf(path, sizeof path, "data/%s.png", SpellInfoOf(kSpellCells[cell])->icon);
    gSpell.pictures[cell] = GfxTextureLoad(path);
  }
  for (int i = SP_Book; i < SP_Count; ++i)
    gSpell.pictures[i] = GfxTextureLoad(kBookFiles[i - SP_Book]);
  gSpell.font = GfxFontCreate(1.0f);
  gQuadMesh = CreateQuadMesh();
}

void SpellSelectInit() {
  SpellSelectObject(SP_Book, 0, 0, 800, 610);
  SpellSelectObject(SP_Wind, -280, 120, 100, 100);
  SpellSelectObject(SP_Meteor, -280, -30, 100, 100);
  SpellSelectObject(SP_Stun, -130, 120, 100, 100);
  SpellSelectObject(SP_Execute, -130, -30, 100, 100);
  SpellSelectObject(SP_Wind, 330, 180, 70, 70);
  SpellSelectObject(SP_Stun, 330, 80, 70, 70);
  SpellSelectObject(SP_Meteor, 330, -20, 70, 70);
  SpellSelectObject(SP_Execute, 330, -100, 70, 70);
  for (int p = 0; p < 2; ++p) {
    gSpell.arrows[p] = SpellSelectObject(p ? SP_Arrow2 : SP_Arrow1, kArrowX[0][0], kArrowY[0], 70, 50);
    gSpell.arrows[p]->rotation = kArrowRotation[0];
    gSpell.firstSpellChosen[p] = gSpell.spellsDone[p] = false;
    gMatch.spells[p][0] = Spell_Wind;
    gMatch.spells[p][1] = Spell_None;
  }
  gSpell.arrows[1]->visible = false;  // as the first Update shows it
  for (int i = 0; i < 4; ++i) {
    ScreenLabel<100>& label = gSpell.descriptions[i];
    label.Format("%s", SpellInfoOf(kDescriptions[i].spell)->description);
    label.x = 55;
    label.width = kDescriptionWidth;
    label.y = kDescriptions[i].y;
    label.color = 0xFF000000;
  }
}

void SpellSelectUpdate() {
  if (!ScreenPrologue(gAudio, {BookMusicChannel()})) return;
  ScreenKeepChannel(BookMusicChannel(), ScreenMusicVolume());
  gAudio.Update();
  ObjectListOf(GS_SpellSelect)->Update();
  SpellSelectInput();
  if (gSpell.spellsDone[0] && gSpell.spellsDone[1]) ScreenHandOver(GS_Battle);
  ScreenCheckF11();
}

void SpellSelectDraw() {
  ObjectListOf(GS_SpellSelect)->Draw(ScreenScale());
  for (const ScreenLabel<100>& label : gSpell.descriptions) SpellSelectPrintDescription(label);
  BookPrintTitle(gSpell.font, "Choose 2 spells");
  for (int p = 0; p < 2; ++p) {
    if (gSpell.firstSpellChosen[p])
      BookPrintMark(gSpell.font, p, BookCellOf(kSpellCells, gMatch.spells[p][0]), 1);
    if (gSpell.spellsDone[p])
      BookPrintMark(gSpell.font, p, BookCellOf(kSpellCells, gMatch.spells[p][1]), 2);
  }
}

void SpellSelectFree() {
  gAudio.StopAll();  // this ends the selection music
  BookMusicStop();
  ObjectListOf(GS_SpellSelect)->Free();
}

void SpellSelectUnload() {
  ScreenUnloadPictures(gSpell.pictures);
  ScreenFreeQuadAndFont(&gSpell.font);
  BookMusicUnload();
}
