// troop_move.cpp - what a troop does each update besides striking: marching and queueing, the
// Rogue's stealth, choosing a target, and its timers (cooldown, flash, slow, swing, enrage).
#include "battle/board.h"
#include "battle/controls.h"
#include "framework/quad.h"
#include "kesystem.h"
#include "troops/troop.h"

namespace {

const float kQueueGap = 40;        // a troop stops this close behind the ally in front
const float kSmokeTime = 1.5f;
const float kHitBoxWidth = 5;      // a troop is a thin post for targeting
const float kSearchHeight = 5;
const float kFlashTime = 0.5f;
const float kDegree = 0.017453292f;
const float kWaddleTop = 0.06981317f;  // 4 degrees
const float kEnrageGrowth = 1.15f;
const uint32_t kFaint = 0x55FFFFFF;
const uint32_t kOpaque = 0xFFFFFFFF;
const uint32_t kBarYellow = 0xFFFFFF00;
const uint32_t kBarRed = 0xFFFF0000;

float Forward(const Troop& t) { return t.rightSide ? -1.0f : 1.0f; }

bool InOwnHalf(const Troop& t) { return t.rightSide ? t.position.x >= 0 : t.position.x <= 0; }

// Faint in its own half; shows itself once, in a puff of smoke, on crossing the middle.
void RogueStealth(Troop& t) {
  if (t.smokeTimer > 0) {
    t.smokeTimer -= kUpdateStep;
    if (t.smokeTimer <= 0 && t.smoke) {
      t.smoke->alive = false;
      t.smoke = nullptr;
    }
  }
  if (InOwnHalf(t)) {
    t.tinted = true;
    t.color = kFaint;
  } else if (!t.revealed) {
    t.tinted = false;
    t.color = kOpaque;
    t.smoke = CreateGameObject(gQuadMesh, BoardTexture("Smoke"), t.position.x, t.position.y,
                               t.scale.x, t.scale.y, 0);
    t.smokeTimer = kSmokeTime;
    t.revealed = true;
  }
  if (t.dagger) {
    // The dagger alone keeps real time.
    float dt = (float)SysGetFrameTime();
    t.daggerTimer -= dt;
    if (t.daggerTimer <= 0) {
      t.dagger->alive = false;
      t.dagger = nullptr;
    } else {
      t.dagger->position = t.position;
      t.dagger->rotation += 2 * dt;
    }
  }
}

// Tilts toward the enemy and back while a swing runs; otherwise rocks on the ground.
void SwingAndWaddle(Troop& t) {
  float lean = t.rightSide ? kDegree : -kDegree;
  float half = t.attackPeriod * 0.25f;
  if (t.swingForward) {
    t.swingTimer += kUpdateStep;
    t.rotation += lean;
    if (t.swingTimer >= half) {
      t.swingTimer = 0;
      t.swingForward = false;
      t.swingBack = true;
    }
  } else if (!t.swingBack) {
    if (t.waddleUp && !t.flying) {
      t.position.y += 1;
      t.waddleDown = false;
      t.rotation += kDegree;
      if (t.rotation >= kWaddleTop) {
        t.waddleUp = false;
        t.waddleDown = true;
      }
    }
    if (t.waddleDown && !t.flying) {
      t.position.y -= 1;
      t.waddleUp = false;
      t.rotation -= kDegree;
      if (t.rotation <= 0) {
        t.waddleUp = true;
        t.waddleDown = false;
      }
    }
  }
  if (t.swingBack) {
    t.swingTimer += kUpdateStep;
    t.rotation -= lean;
    if (t.swingTimer >= half) {
      t.swingTimer = 0;
      t.swingBack = false;
    }
  }
}

}  // namespace

void Troop::Move() {
  if (kind == Rogue) RogueStealth(*this);
  if (ahead) blocked = ahead->alive && MathVec2Distance(ahead->position, position) < kQueueGap;
  if (flying) {
    float d = MathSin(bobPhase);
    position.y += d;
    healthBar->position.y += d;  // the marker keeps to the lane
  }
  if (!engaged && !blocked) {
    // A negative factor (the Wind spell) walks the troop backward.
    float step = Forward(*this) * speedFactor * speed;
    position.x += step;
    healthBar->position.x += step;
    rangeMarker->position.x += step;
  }
}

void Troop::FindTarget() {
  if (target) {
    float dx = (target->position.x - position.x) * Forward(*this);
    if (dx < 0 || MathVec2Distance(target->position, position) > range) {
      target = nullptr;
      engaged = false;
    }
  }
  // The box reaches range / 2 ahead: no lane number is needed, lanes lie 70 apart.
  Vec2 box = {position.x + Forward(*this) * range * 0.25f, position.y};
  for (Troop* c : TroopAll()) {
    if (c == this || c->rightSide == rightSide || !c->alive) continue;
    if (!MathRectOverlap(box, range * 0.5f, kSearchHeight, c->position, kHitBoxWidth, c->scale.y))
      continue;
    if (c->flying && !ranged && !flying) continue;
    if (c->kind == Rogue && !c->revealed) continue;
    // The oldest enemy in reach wins, also over the one held so far.
    target = c;
    engaged = true;
    return;
  }
}

void Troop::UpdateEffects() {
  if (kind == Demon && health < kTroopAbilities.enrageHealth && !enraged) {
    // Strikes faster and looks bigger; its damage stays as it was.
    attackPeriod = kTroopAbilities.enragePeriod;
    scale.x *= kEnrageGrowth;
    scale.y *= kEnrageGrowth;
    healthBar->position.y += 10;
    enraged = true;
  }
  bobPhase += 0.1f;
  if (!canAttack) {
    cooldown += kUpdateStep;
    if (cooldown >= attackPeriod) {
      canAttack = true;
      cooldown = 0;
    }
  }
  if (flashing) {
    flashTimer += kUpdateStep;
    if (flashTimer >= kFlashTime) {
      flashing = false;
      tinted = false;
      flashTimer = 0;
    }
  }
  if (slowed) {
    // Left at 0.7 afterwards: only a spell's end puts the factor back.
    speedFactor = kTroopAbilities.slowFactor;
    slowTimer += kUpdateStep;
    if (slowTimer >= kTroopAbilities.slowTime) {
      slowed = false;
      slowTimer = 0;
    }
  }
  // Each troop shows its own marker: the same outcome as every troop setting all of them.
  rangeMarker->visible = ControlsRangesHeld(rightSide ? 1 : 0);
  SwingAndWaddle(*this);
  // The bar only ever turns from green to yellow to red.
  float w = healthBar->scale.x;
  if (w <= 7.5f)
    healthBar->color = kBarRed;
  else if (w <= 15)
    healthBar->color = kBarYellow;
}
