// hud.cpp - the battle's texts over its board: energy left, spell names under player 1's icons
// and over player 2's, and the player tags that stay visible over the pause menu.
#include "battle/hud.h"

#include "battle/board.h"
#include "battle/heroes.h"
#include "battle/spells.h"
#include "screens/screen.h"

namespace {

const float kTextScale = 1.2f;
const float kTagScale = 0.6f;
const float kAir = 14;  // reference units kept free between neighbouring spell names
const Vec2 kTagOffset[2] = {{70, 30}, {-90, -50}};  // from the portrait

struct HudLabels {
  ScreenLabel<10> energy[2];
  ScreenLabel<10> builtIn[2];
  ScreenLabel<10> chosen[2][2];  // [player][slot]
  ScreenLabel<3> tag[2];
};

template <size_t N>
void Put(ScreenLabel<N>& label, Vec2 at, float k, float width = 0) {
  label.x = at.x;
  label.y = at.y;
  label.k = k;
  label.width = width;
  label.outlined = true;  // white on the wood, and the tags over the pause panel
}

HudLabels MakeLabels() {
  HudLabels h;
  const Vec2 energy[2] = {{-248, 228}, {212, -250}};
  const Vec2 builtIn[2] = {{100, 180}, {-400, -200}};
  const Vec2 chosen[2][2] = {{{210, 180}, {300, 180}}, {{-280, -200}, {-180, -200}}};
  // A name's slot reaches to the next name, or to the window's edge, less a little air; player
  // 2's last name keeps the same pitch as the others (its icon row ends at -100).
  const float builtInWidth[2] = {110 - kAir, 120 - kAir};
  const float chosenWidth[2][2] = {{90 - kAir, 100 - kAir}, {100 - kAir, 100 - kAir}};
  for (int p = 0; p < 2; ++p) {
    Put(h.energy[p], energy[p], kTextScale);
    Put(h.builtIn[p], builtIn[p], kTextScale, builtInWidth[p]);
    for (int s = 0; s < 2; ++s) Put(h.chosen[p][s], chosen[p][s], kTextScale, chosenWidth[p][s]);
    Vec2 tag = {kPortraitPosition[p].x + kTagOffset[p].x, kPortraitPosition[p].y + kTagOffset[p].y};
    Put(h.tag[p], tag, kTagScale);
    h.tag[p].Format("P%d", p + 1);
  }
  return h;
}
HudLabels gHud = MakeLabels();

const char* BuiltInName(HeroId id) {
  const HeroInfo* hero = HeroInfoOf(id);
  return hero ? SpellInfoOf(hero->spell)->name : nullptr;
}

// Only the four spells a player chooses: a slot holding anything else shows no name.
const char* ChosenName(SpellId id) {
  return MatchIsChosenSpell(id) ? SpellInfoOf(id)->name : nullptr;
}

// Player 1's chosen names carry a trailing blank, player 2's do not.
void PrintChosen(int player, int slot) {
  const char* name = ChosenName(gMatch.spells[player][slot]);
  if (!name) return;
  ScreenLabel<10>& label = gHud.chosen[player][slot];
  label.Format(player == 0 ? "%s " : "%s", name);
  label.Print(BoardFont());
}

}  // namespace

void DrawBattleTexts() {
  Font* font = BoardFont();
  for (int p = 0; p < 2; ++p) {
    gHud.energy[p].Format("%d", (int)BoardPlayer(p).energy);
    gHud.energy[p].Print(font);
  }
  for (int p = 0; p < 2; ++p)
    if (const char* name = BuiltInName(gMatch.hero[p])) {
      gHud.builtIn[p].Format("%s", name);
      gHud.builtIn[p].Print(font);
    }
  for (int p = 0; p < 2; ++p)
    for (int s = 0; s < 2; ++s) PrintChosen(p, s);
}

void DrawPlayerTags() {
  for (const ScreenLabel<3>& tag : gHud.tag) tag.Print(BoardFont());
}
