// test_rules.cpp - the battle's rules in a running battle: how troops queue, choose, strike and
// heal, what the controls allow, and how a round ends and what it costs.

#include "battle/battle.h"
#include "hp.h"

namespace {

void NewRound() { GsmSetNextState(GS_Restart); HpStep(1); }

class Rules : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HpStartBattle(Hero_Knight, Hero_Orc, Spell_Wind, Spell_Meteor, Spell_Stun,
                              Spell_Execute));
  }
  void TearDown() override { HpStop(); }
};

// Each rule on a board of its own; troops stand still unless placed walking (false).
const struct { const char* rule; void (*run)(); } kTroopRules[] = {
    {"queues about 40 behind the ally in front", [] {
       HpTroop(KnightTroop, 0, false, 0);
       Troop* back = HpTroop(KnightTroop, 0, false, -60, false);
       HpStep(120);  // time enough to walk 39 units
       EXPECT_NEAR(back->position.x, -40, 1.5);
     }},
    {"melee never targets flyers, ranged and flying troops do", [] {
       Troop* knight = HpTroop(KnightTroop, 0, false, 0);
       HpTroop(Imp, 0, true, 10);
       Troop* archer = HpTroop(Archer, 1, false, 0);
       Troop* dragon = HpTroop(Dragon, 1, true, 10);
       Troop* imp = HpTroop(Imp, 2, false, 0);
       Troop* enemyImp = HpTroop(Imp, 2, true, 10);
       EXPECT_EQ(HpStepsUntil([&] { return knight->target != nullptr; }, 60), -1);
       EXPECT_EQ(archer->target, dragon);
       EXPECT_EQ(imp->target, enemyImp);
     }},
    {"a hidden Rogue is never targeted, ambushes once for 100, strikes again once revealed", [] {
       Troop* rogue = HpTroop(Rogue, 0, false, -50);
       Troop* knight = HpTroop(KnightTroop, 0, true, -45);  // full health: 120
       EXPECT_GT(HpStepsUntil([&] { return knight->health != 120; }, HpUpdates(3)), HpUpdates(2));
       EXPECT_FLOAT_EQ(knight->health, 20);
       EXPECT_EQ(knight->target, nullptr);
       HpStep(HpUpdates(5));
       EXPECT_FLOAT_EQ(knight->health, 20);  // no second strike from hiding
       HpTroopMoveTo(rogue, 5);
       HpTroopMoveTo(knight, 10);
       HpStep(2);
       EXPECT_FLOAT_EQ(knight->health, 10);  // its ordinary 10 now
     }},
    {"a Demon below 45 health enrages and strikes every 0.9 s", [] {
       Troop* demon = HpTroop(Demon, 0, true, 0);
       Troop* golem = HpTroop(Golem, 0, false, -10);
       demon->health = 44.9f;
       ASSERT_GT(HpStepsUntil([&] { return golem->health < 200; }, HpUpdates(2)), 0);
       EXPECT_TRUE(demon->enraged);
       int strike = HpStepsUntil([&] { return golem->health < 155; }, HpUpdates(2));
       EXPECT_NEAR(strike, HpUpdates(0.9), 3);
     }},
    {"splash hits the one just behind the target, unless a Treant shields it", [] {
       Troop* cat = HpTroop(Catapult, 0, false, 0);
       Troop* target = HpTroop(Golem, 0, true, 100);
       Troop* behind = HpTroop(Golem, 0, true, 80);
       Troop* tooFar = HpTroop(Golem, 0, true, 50);
       Troop* cat2 = HpTroop(Catapult, 1, false, 0);
       Troop* treant = HpTroop(Treant, 1, true, 100);
       Troop* shielded = HpTroop(Golem, 1, true, 80);
       cat->canAttack = cat2->canAttack = true;
       HpStep(1);
       for (Troop* t : {target, behind}) EXPECT_FLOAT_EQ(t->health, 160);
       for (Troop* t : {tooFar, shielded}) EXPECT_FLOAT_EQ(t->health, 200);
       EXPECT_FLOAT_EQ(treant->health, 125);
     }},
    {"an Ice Mage slows its target and the splash victim for about 1.5 s", [] {
       Troop* mage = HpTroop(IceMage, 0, false, 0);
       Troop* target = HpTroop(KnightTroop, 0, true, 100);
       Troop* victim = HpTroop(KnightTroop, 0, true, 70);
       mage->canAttack = true;
       HpStep(1);
       for (Troop* t : {target, victim}) {
         EXPECT_FLOAT_EQ(t->health, 100);  // of a Knight's 120
         EXPECT_TRUE(t->slowed);
         EXPECT_FLOAT_EQ(t->speedFactor, 0.7f);
       }
       TroopKill(mage);  // its next strike would slow them again
       EXPECT_NEAR(HpStepsUntil([&] { return !target->slowed; }, 200), HpUpdates(1.5), 4);
     }},
    {"an Imp below 70 steals 10 with its strike; the Dryad heals allies up to their cap", [] {
       Troop* hungry = HpTroop(Imp, 1, false, 0);
       HpTroop(Golem, 1, true, 10);
       Troop* hurt = HpTroop(KnightTroop, 0, false, -20);
       Troop* nearlyFull = HpTroop(KnightTroop, 0, false, -60);
       Troop* dryad = HpTroop(Dryad, 0, false, 0);
       HpTroop(Golem, 0, true, 50);
       hungry->health = 65;
       hurt->health = 100;
       nearlyFull->health = 110;
       hungry->canAttack = dryad->canAttack = true;
       HpStep(1);
       EXPECT_FLOAT_EQ(hungry->health, 75);
       EXPECT_FLOAT_EQ(hurt->health, 115);
       EXPECT_FLOAT_EQ(nearlyFull->health, 120);
     }},
    {"a Knight strikes a Troll for 20 every 1.7 s, and a strike to zero kills", [] {
       Troop* knight = HpTroop(KnightTroop, 0, false, 0);
       Troop* troll = HpTroop(Troll, 0, true, 20);
       int strike = HpStepsUntil([&] { return troll->health != 115; }, HpUpdates(3));
       EXPECT_NEAR(strike, HpUpdates(1.7), 3);
       EXPECT_FLOAT_EQ(troll->health, 95);
       troll->health = 20;
       knight->canAttack = true;
       HpStep(1);
       EXPECT_FALSE(troll->alive || troll->healthBar->alive);
       EXPECT_EQ(knight->target, nullptr);
     }},
};

TEST_F(Rules, TroopRules) {
  for (const auto& c : kTroopRules) {
    SCOPED_TRACE(c.rule);
    NewRound();
    c.run();
  }
}

// The design figures of every kind, as a player meets them: a troop walks `speed` units an update,
// stops where half its range (plus half the enemy's width) reaches an enemy, and strikes it for
// `damage` every `period` seconds.
const struct { TroopKind kind; float speed, damage, period, range; } kDesign[] = {
    {KnightTroop, 0.325f, 20, 1.7f, 50}, {Rogue, 0.5f, 10, 2.2f, 10},
    {Archer, 0.325f, 30, 2.25f, 250},    {Catapult, 0.175f, 40, 4.1f, 350},
    {MageTroop, 0.3f, 20, 1.5f, 130},    {IceMage, 0.4f, 20, 2.0f, 300},
    {Golem, 0.25f, 30, 2.8f, 10},        {Dragon, 0.28f, 65, 3.0f, 100},
    {Dryad, 0.2f, 30, 2.0f, 250},        {Bear, 0.35f, 60, 2.8f, 40},
    {Plant, 0.37f, 16, 1.9f, 230},       {Treant, 0.3f, 60, 2.4f, 30},
    {Demon, 0.45f, 45, 1.65f, 20},       {Imp, 0.6f, 30, 1.0f, 30},
    {Goblin, 0.45f, 34, 2.0f, 200},      {Troll, 0.32f, 25, 1.5f, 30}};

// In the enemy's half, where a Rogue has shown itself, towards a post that never strikes back.
void WalkStopAndStrike(TroopKind kind, float speed, float damage, float period, float range) {
  float reach = range / 2 + 2.5f;
  Troop* troop = HpTroop(kind, 0, false, 10, false);
  Troop* post = HpTroop(Golem, 0, true, 10 + reach + 20);
  post->health = post->maxHealth = 1e6f;
  post->attackPeriod = 1e9f;
  HpStep(30);
  EXPECT_NEAR(troop->position.x - 10, 30 * speed, 1e-3);
  ASSERT_GT(HpStepsUntil([&] { return troop->engaged; }, (int)(40 / speed)), 0);
  EXPECT_NEAR(post->position.x - troop->position.x, reach, speed + 1e-3);
  std::vector<int> gaps;  // updates to each strike from the one before (the first: from now)
  for (float before = post->health; gaps.size() < 3; before = post->health) {
    int gap = HpStepsUntil([&] { return post->health != before; }, 2 * HpUpdates(period));
    ASSERT_GT(gap, 0) << "no strike after " << gaps.size();
    EXPECT_FLOAT_EQ(before - post->health, damage);
    gaps.push_back(gap);
  }
  for (int i : {1, 2}) EXPECT_NEAR(gaps[i] * kUpdateStep, period, kUpdateStep * 1.01f);
}

TEST_F(Rules, EveryKindWalksStopsAndStrikesByItsDesignFigures) {
  for (const auto& k : kDesign) {
    SCOPED_TRACE(TroopStatsOf(k.kind).picture);
    NewRound();
    WalkStopAndStrike(k.kind, k.speed, k.damage, k.period, k.range);
  }
}

TEST_F(Rules, LaneArrowsWrapBothWaysAndUpWins) {
  BattlePlayer& p1 = BoardPlayer(0);
  // Each step: keys held together for one update, then both players' lanes.
  const struct { int a, b, lane1, lane2; } steps[] = {
      {'W', 0, 1, 0},      {'W', 0, 2, 0},         {'W', 0, -2, 0},     {'S', 0, 2, 0},
      {VK_DOWN, 0, 2, -1}, {VK_UP, VK_DOWN, 2, 0}, {VK_DOWN, 0, 2, -1}, {VK_DOWN, 0, 2, -2},
      {VK_UP, VK_DOWN, 2, 2}};
  for (const auto& s : steps) {
    if (s.b) HpKeyDown(s.b);
    HpPress(s.a);
    if (s.b) HpKeyUp(s.b);
    HpStep(1);  // the release in an update of its own, not merged with the next press
    EXPECT_EQ(p1.lane, s.lane1) << s.a;
    EXPECT_EQ(BoardPlayer(1).lane, s.lane2) << s.a;
    EXPECT_FLOAT_EQ(p1.arrow->position.y, kLaneSpacing * s.lane1);
  }
  HpPadPress(HpPadAttach(), PAD_DPAD_DOWN);
  EXPECT_EQ(p1.lane, 1);
  HpPress(VK_LEFT);  // player 2's spell cursor wraps both ways too
  EXPECT_EQ(BoardPlayer(1).spellCursor, 3);
  HpPress(VK_RIGHT);
  EXPECT_EQ(BoardPlayer(1).spellCursor, 1);
}

TEST_F(Rules, SummonsCostEnergyAndWaitForTheirCharge) {
  BattlePlayer& p1 = BoardPlayer(0);
  BattlePlayer& p2 = BoardPlayer(1);
  HpKeyDown('2');
  HpPress('1');  // player 1 gets one troop per update, the first slot pressed
  HpKeyUp('2');
  HpStep(1);
  EXPECT_EQ(p1.energy, 29);
  for (auto s : {std::pair<int, int>{'2', 27}, {'3', 25}, {'4', 22}}) {
    HpPress(s.first);
    EXPECT_EQ(p1.energy, s.second) << (char)s.first;
  }
  for (int i = 0; i < 4; ++i) HpKeyDown(VK_NUMPAD0 + i);
  HpStep(1);  // player 2 gets every slot pressed together
  for (int i = 0; i < 4; ++i) HpKeyUp(VK_NUMPAD0 + i);
  EXPECT_EQ(p2.energy, 22);
  int pad = HpPadAttach();  // the Knight's slot A charges for 3 s; the pad's A summons too
  HpStep(HpUpdates(2.7));
  HpPress('1');
  EXPECT_EQ(HpTroopCount(false), 4);
  HpStep(HpUpdates(0.5));
  HpPadPress(pad, PAD_A);
  EXPECT_EQ(HpTroopCount(false), 5);
  p2.energy = 0;  // charged, but nothing left to spend
  HpPress(VK_NUMPAD0);
  EXPECT_EQ(HpTroopCount(true), 4);
}

TEST_F(Rules, FrozenPlayerOnlySteersAndASpellCoolsDownFor15Seconds) {
  BattlePlayer& p1 = BoardPlayer(0);
  SpellSlot& boost = p1.spellSlots[0];
  p1.frozen = true;
  HpPress('W');
  HpPress('1');
  HpPress('Z');
  EXPECT_EQ(p1.lane, 1);
  EXPECT_EQ(HpTroopCount(false), 0);
  EXPECT_TRUE(boost.ready);
  p1.frozen = false;
  HpCast(0, 0);
  EXPECT_FALSE(boost.ready);
  HpStep(HpUpdates(14.5));
  HpPressCast(0);
  // Ready 15 s after the cast, give or take half a second.
  int ready = HpStepsUntil([&] { return boost.ready; }, HpUpdates(2));
  EXPECT_NEAR(ready, HpUpdates(0.5), HpUpdates(0.5));
}

TEST_F(Rules, RoundResultsAndHearts) {
  const RoundResult kept = 9, goesOn = -1;  // the match's last round leaves the result alone
  // Troops stood at x by player 1 and player 2 (0: none), energy spent, no-health-loss switch,
  // player 1's hearts; then the result and both players' hearts.
  const struct { float x1, x2; bool spent, noLoss; int hearts1; RoundResult won; int h1, h2; }
      cases[] = {{290, 0, false, false, 3, Round_P1Won, 3, 2},
                 {279, -279, false, false, 3, goesOn, 3, 3},  // not over the line yet
                 {0, -290, false, false, 3, Round_P2Won, 2, 3},
                 {290, -290, false, false, 3, Round_Draw, 3, 3},
                 {0, 0, true, false, 3, Round_Draw, 3, 3},  // nothing left to summon or fight
                 {100, 0, true, false, 3, goesOn, 3, 3},    // but one still stands
                 {0, -290, false, true, 3, Round_P2Won, 3, 3},
                 {0, -290, false, false, 1, kept, 0, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x1 << " " << c.x2 << " " << c.hearts1);
    NewRound();
    gMatch.heroHealth[0] = c.hearts1;
    gMatch.heroHealth[1] = 3;
    gMatch.roundWinner = kept;
    BattleSetNoHealthLoss(c.noLoss);
    if (c.x1) HpTroop(KnightTroop, 0, false, c.x1);
    if (c.x2) HpTroop(KnightTroop, 0, true, c.x2);
    if (c.spent) BoardPlayer(0).energy = BoardPlayer(1).energy = 0;
    // Two seconds of 1/60 s frames after the round is decided.
    int n = HpStepsUntil([] { return GsmGetNextState() != GS_Battle; }, 400);
    EXPECT_TRUE(c.won == goesOn ? n == -1 : n >= 110 && n <= 130) << n;
    if (n == -1) continue;
    EXPECT_EQ(gMatch.roundWinner, c.won);
    EXPECT_EQ(gMatch.heroHealth[0], c.h1);
    EXPECT_EQ(gMatch.heroHealth[1], c.h2);
  }
}

}  // namespace
