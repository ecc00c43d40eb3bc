// test_spells.cpp - the eight spells cast by the players' keys in a running battle, each as one
// case of what it does to the lane, the players and their pads, and one spell seen on screen.

#include <algorithm>

#include "battle/spells.h"
#include "framework/gameobject.h"
#include "hp.h"

namespace {

const int kEffect = HpUpdates(2.5);  // lane effects, tremor and Freeze

// Slots: player 1 its hero's spell, Meteor, Execute; player 2 its hero's spell, Stun, Wind.
const struct { const char* spell; HeroId p1, p2; void (*run)(); } kSpells[] = {
    {"Boost speeds the caster's troops of the lane fivefold for 2.5 s", Hero_Knight, Hero_Orc, [] {
       Troop* boosted = HpTroop(KnightTroop, 0, false, -240);
       Troop* otherLane = HpTroop(KnightTroop, 1, false, -240);
       Troop* enemy = HpTroop(Troll, 0, true, 200);
       HpCast(0, 0);
       EXPECT_FLOAT_EQ(boosted->speedFactor, 5);
       EXPECT_FLOAT_EQ(otherLane->speedFactor + enemy->speedFactor, 0);
       EXPECT_NEAR(HpStepsUntil([&] { return boosted->speedFactor != 5; }, 200), kEffect, 3);
       EXPECT_FLOAT_EQ(boosted->speedFactor, 1);
     }},
    {"Freeze stops the other player's summons and casts for 2.5 s and rumbles its pad",
     Hero_Mage, Hero_Druid, [] {
       HpPadAttach();
       int pad1 = HpPadAttach();
       HpCast(0, 0);
       HpPress(VK_NUMPAD0);
       HpPressCast(1);
       EXPECT_EQ(HpTroopCount(true), 0);
       EXPECT_TRUE(BoardPlayer(1).spellSlots[0].ready);
       EXPECT_EQ(HpPadRumble(pad1).low, 0xFFFF);
       EXPECT_NEAR(HpStepsUntil([] { return !BoardPlayer(1).frozen; }, 400), kEffect - 4, 4);
       HpStep(2);
       EXPECT_EQ(HpPadRumble(pad1).low, 0);
     }},
    {"Poison takes about 31 from every enemy of the lane, flyers too, over 2.5 s",
     Hero_Knight, Hero_Orc, [] {
       Troop* dragon = HpTroop(Dragon, 0, false, -100);
       Troop* golem = HpTroop(Golem, 0, false, 0);
       Troop* otherLane = HpTroop(Golem, -1, false, 0);
       HpCast(1, 0);
       HpStep(kEffect + 5);
       EXPECT_NEAR(185 - dragon->health, 31.4, 1);
       EXPECT_NEAR(200 - golem->health, 31.4, 1);
       EXPECT_FLOAT_EQ(otherLane->health, 200);
     }},
    {"Quake strikes walkers of the lane for 30, spares flyers and shakes the victim's pad",
     Hero_Mage, Hero_Druid, [] {
       int pad0 = HpPadAttach(), pad1 = HpPadAttach();
       Troop* walker = HpTroop(KnightTroop, 0, false, 0);
       walker->health = 30;
       Troop* troll = HpTroop(Troll, 0, false, -60);
       Troop* dragon = HpTroop(Dragon, 0, false, -120);
       HpCast(1, 0);
       EXPECT_FALSE(walker->alive);
       EXPECT_FLOAT_EQ(troll->health, 85);
       EXPECT_FLOAT_EQ(dragon->health, 185);
       EXPECT_NEAR(HpPadRumble(pad0).low, 0xFFFF / 4, 2);
       EXPECT_EQ(HpPadRumble(pad1).low, 0);
       HpStep(kEffect + 2);
       EXPECT_EQ(HpPadRumble(pad0).low, 0);
     }},
    {"Wind blows the lane's enemies back, never closer than 100 to their own arrow",
     Hero_Knight, Hero_Orc, [] {
       Troop* archer = HpTroop(Archer, 0, false, -220, false);
       HpCast(1, 2);
       float lowest = archer->position.x;
       for (int i = 0; i < kEffect + 2; ++i, HpStep(1)) lowest = std::min(lowest, archer->position.x);
       EXPECT_FLOAT_EQ(lowest, -250);
       EXPECT_FLOAT_EQ(archer->speedFactor, 1);
     }},
    {"Stun holds the lane's enemies still for 2.5 s; they walk on at full speed", Hero_Knight,
     Hero_Orc, [] {
       Troop* knight = HpTroop(KnightTroop, 0, false, -200, false);
       Troop* slowed = HpTroop(Archer, 0, false, -150, false);
       slowed->speedFactor = 0.7f;  // as an Ice Mage leaves it
       HpCast(1, 1);
       float x = knight->position.x;
       EXPECT_FALSE(knight->canAttack);
       EXPECT_NEAR(HpStepsUntil([&] { return knight->position.x != x; }, 200), kEffect, 3);
       EXPECT_TRUE(knight->canAttack);
       EXPECT_FLOAT_EQ(slowed->speedFactor, 1);
     }},
    {"Execute kills the living enemy nearest the caster, the older of a tie", Hero_Knight,
     Hero_Orc, [] {
       TroopKill(HpTroop(Goblin, 0, true, -100));
       Troop* far = HpTroop(Troll, 0, true, 100);
       Troop* older = HpTroop(Troll, 0, true, 0);
       Troop* newer = HpTroop(Troll, 0, true, 0);
       Troop* otherLane = HpTroop(Imp, 1, true, -200);
       HpCast(0, 2);
       EXPECT_FALSE(older->alive);
       EXPECT_TRUE(newer->alive && far->alive && otherLane->alive);
     }},
    {"Meteor's aim sweeps between the limits, a lane change refunds it, the impact strikes",
     Hero_Knight, Hero_Orc, [] {
       SpellSlot& meteor = BoardPlayer(0).spellSlots[1];
       auto edge = [] {
         const GameObject* bar = SpellsMeteorMarker(0);
         return bar ? bar->position.x + bar->scale.x / 2 : -1e9f;
       };
       HpCast(0, 1);
       float lowest = 1e9f, highest = -1e9f;
       for (int i = 0; i < 200; ++i, HpStep(1)) {
         lowest = std::min(lowest, edge());
         highest = std::max(highest, edge());
       }
       EXPECT_FLOAT_EQ(lowest, -250);
       EXPECT_FLOAT_EQ(highest, 250);
       HpPress('W');  // the aim ends and the spell is given back
       EXPECT_EQ(SpellsMeteorMarker(0), nullptr);
       EXPECT_TRUE(meteor.ready);
       HpCast(0, 1);
       HpStep(40);
       const float e = edge();
       Troop* hit = HpTroop(Golem, 1, true, e + 50);
       Troop* flyer = HpTroop(Imp, 1, true, e - 20);
       Troop* missed = HpTroop(Golem, 1, true, e + 56);
       Troop* own = HpTroop(Golem, 1, false, e + 30);
       Troop* otherLane = HpTroop(Golem, 0, true, e);
       HpPressCast(0);
       EXPECT_NEAR(HpStepsUntil([&] { return hit->health < 200; }, 100), HpUpdates(1), 3);
       EXPECT_FLOAT_EQ(hit->health, 150);
       EXPECT_FLOAT_EQ(flyer->health, 20);
       for (Troop* t : {missed, own, otherLane}) EXPECT_FLOAT_EQ(t->health, 200);
       HpPress('S');  // no aim: nothing given back
       EXPECT_FALSE(meteor.ready);
     }},
};

TEST(Spells, EachSpellDoesWhatItSays) {
  ASSERT_TRUE(HpStartBattle(Hero_Knight, Hero_Orc, Spell_Meteor, Spell_Execute, Spell_Stun,
                            Spell_Wind));
  for (const auto& c : kSpells) {
    SCOPED_TRACE(c.spell);
    gMatch.hero[0] = c.p1, gMatch.hero[1] = c.p2;  // a fresh round with these heroes
    GsmSetNextState(GS_Restart);
    HpStep(1);
    c.run();
    HpPadDetachAll();
  }
  BoardPlayer(0).spellSlots[1].ready = true;
  HpCast(0, 1);  // an aim the new round ends: its bar went with the old round's objects
  GsmSetNextState(GS_Restart);
  HpStep(1);
  EXPECT_EQ(SpellsMeteorMarker(0), nullptr);
  // Boost's arrow really reaches the screen: halfway across, over the middle of the empty lane.
  const unsigned green = 0x48A84C;  // its body
  HpCapture(true);
  HpCast(0, 0);
  EXPECT_EQ(HpCountPixels(-60, -35, 60, 35, green, 12), 0);
  HpStep(HpUpdates(1.25) - 1);
  EXPECT_GT(HpCountPixels(-60, -35, 60, 35, green, 12), 100);
  HpStop();
}

}  // namespace
