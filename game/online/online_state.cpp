// online_state.cpp - the state both machines must share, written out line by line with every
// number exact, and its hash.
#include "online/online_state.h"

#include <vector>

#include "battle/battle.h"
#include "battle/board.h"
#include "battle/match.h"
#include "battle/pause.h"
#include "battle/spells.h"
#include "framework/gameobject.h"
#include "framework/statetext.h"
#include "kegsm.h"
#include "screens/heroselect.h"
#include "screens/spellselect.h"
#include "states.h"
#include "troops/troop.h"

namespace {

void Append(void* context, const char* text) {
  std::string* out = static_cast<std::string*>(context);
  out->append(text);
  out->push_back('\n');
}

int IndexOf(const std::vector<Troop*>& all, const Troop* t) {
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i] == t) return (int)i;
  return -1;
}

void WriteSeats(StateText& out) {
  for (int p = 0; p < 2; ++p) {
    const BattlePlayer& s = BoardPlayer(p);
    out.Print("seat %d: lane %d energy %d cursor %d frozen %d %a cast %d", p, (int)s.lane,
              (int)s.energy, (int)s.spellCursor, s.frozen, s.freezeTimer, s.castFired);
    for (const SummonSlot& slot : s.summonSlots)
      out.Print("  summon %d %a %a", (int)slot.kind, slot.chargeTime, slot.chargeTimer);
    for (const SpellSlot& slot : s.spellSlots)
      out.Print("  spell %d %d %a", slot.cast != nullptr, slot.ready, slot.cooldownTimer);
  }
}

void WriteTroops(StateText& out) {
  const std::vector<Troop*>& all = TroopAll();
  for (size_t i = 0; i < all.size(); ++i) {
    const Troop& t = *all[i];
    out.Print("troop %d: kind %d side %d lane %d alive %d at %a %a health %a/%a", (int)i,
              (int)t.kind, t.rightSide, (int)t.lane, t.alive, t.position.x, t.position.y,
              t.health, t.maxHealth);
    out.Print("  target %d ahead %d engaged %d blocked %d attack %d %a %a speed %a %a", IndexOf(all, t.target),
              IndexOf(all, t.ahead), t.engaged, t.blocked, t.canAttack, t.cooldown,
              t.attackPeriod, t.speedFactor, t.damage);
    out.Print("  slowed %d %a swing %d %d %a waddle %d %d bob %a rogue %d %d %a enraged %d", t.slowed,
              t.slowTimer, t.swingForward, t.swingBack, t.swingTimer, t.waddleUp, t.waddleDown,
              t.bobPhase, t.revealed, t.ambushed, t.smokeTimer, t.enraged);
  }
}

// Every living object of the board as it is drawn: troops, bars, markers, animations, icons.
void WriteObjects(StateText& out) {
  const std::vector<GameObject*>& objects = BoardObjects().objects;
  int index = 0;
  for (const GameObject* o : objects) {
    ++index;
    if (!o->alive) continue;
    out.Print("object %d: %a %a size %a %a turn %a tint %d %08x shown %d", index - 1,
              o->position.x, o->position.y, o->scale.x, o->scale.y, o->rotation, o->tinted,
              (unsigned)o->color, o->visible);
  }
}

void WriteBattle(StateText& out) {
  const BattleRound& r = BattleRoundState();
  out.Print("round: scored %d %d delay %a no loss %d", r.scored[0], r.scored[1], r.roundEndDelay,
            r.noHealthLoss);
  out.Print("pause: open %d by %d cursor %d %d question %d %d %d", PauseIsOpen(), PauseOpener(),
            PauseCursor(0), PauseCursor(1), PauseQuestionShown(), PauseQuestionCursor(0),
            PauseQuestionCursor(1));
  WriteSeats(out);
  SpellsDescribe(out);
  WriteTroops(out);
  WriteObjects(out);
}

}  // namespace

void OnlineStateWrite(uint32_t frame, std::string* out) {
  out->clear();
  StateText text{Append, out};
  GameStateId screen = GsmGetCurrentState();
  text.Print("frame %u screen %d", (unsigned)frame, (int)screen);
  text.Print("match: heroes %d %d spells %d %d %d %d health %d %d winner %d", (int)gMatch.hero[0],
             (int)gMatch.hero[1], (int)gMatch.spells[0][0], (int)gMatch.spells[0][1],
             (int)gMatch.spells[1][0], (int)gMatch.spells[1][1], (int)gMatch.heroHealth[0],
             (int)gMatch.heroHealth[1], (int)gMatch.roundWinner);
  if (screen == GS_HeroSelect) text.Print("heroes: chooser %d", HeroSelectChooser());
  if (screen == GS_SpellSelect)
    text.Print("spells: chooser %d slot %d", SpellSelectChooser(), SpellSelectSlot());
  if (screen == GS_Battle) WriteBattle(text);
}

uint32_t OnlineStateHash(const std::string& text) {
  uint32_t h = 2166136261u;
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}
