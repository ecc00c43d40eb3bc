// gameobject.cpp - object defaults, drawing at a screen's scale, the per-state lists with their
// update walk and graveyard, and Animation's straight-line steps.
#include "gameobject.h"

#include <cstddef>
#include <unordered_set>

#include "framework/quad.h"
#include "kegraphics.h"
#include "kesystem.h"
#include "states.h"

namespace {

struct ObjectListState {
  ObjectList* (*lookup)(GameStateId id) = nullptr;
  uint32_t tagSeed = 1;  // the plain objects' tags, one sequence for the whole run
};
ObjectListState gLists;

// A pseudo-random tag of our own (0 to 2^31 - 1): C libraries' rand() differ from one another,
// and a build must not differ from another in anything a battle holds.
int32_t NextTag() {
  gLists.tagSeed = gLists.tagSeed * 1103515245u + 12345u;
  return (int32_t)(gLists.tagSeed >> 1);
}

// One step towards a final value, never past it: the steps come from the measured frame rate
// while elapsed counts fixed steps, so the last few updates would otherwise overshoot.
void StepTowards(float* value, float step, float finalValue) {
  *value += step;
  if ((step > 0 && *value > finalValue) || (step < 0 && *value < finalValue)) *value = finalValue;
}

}  // namespace

GameObject::GameObject(Mesh* mesh, Texture* texture)
    : type(NextTag()), mesh(mesh), texture(texture) {}

void GameObject::Draw(Vec2 f) const {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, scale.x * f.x, scale.y * f.y, rotation, position.x * f.x,
                         position.y * f.y);
  GfxSetTransform(m);
  GfxTextureSet(texture);
  GfxSetUseModColor(tinted);
  GfxSetModColor(color);
  GfxMeshDraw(mesh);
}

void ObjectList::Update() {
  Purge();
  // By index, so objects appended by a strike or an effect get their first step this walk.
  for (size_t i = 0; i < objects.size(); ++i) {
    GameObject* o = objects[i];
    if (!o->alive || !o->active) continue;
    o->Move();
    o->FindTarget();
    o->Attack();
    o->UpdateEffects();
    o->Animate();
  }
}

void ObjectList::Purge() {
  if (graveyard.empty()) return;
  // Last retired first; the set deletes an object retired twice only once and lets one pass
  // over the list drop every deleted entry.
  std::unordered_set<GameObject*> dead;
  for (size_t i = graveyard.size(); i-- > 0;)
    if (dead.insert(graveyard[i]).second) delete graveyard[i];
  graveyard.clear();
  size_t kept = 0;
  for (GameObject* o : objects)
    if (!dead.count(o)) objects[kept++] = o;
  objects.resize(kept);
}

void ObjectList::Draw(Vec2 scale) const {
  for (GameObject* o : objects)
    if (o->alive && o->visible) o->Draw(scale);
}

void ObjectList::Free() {
  Purge();
  for (GameObject* o : objects) {
    o->alive = false;
    graveyard.push_back(o);
  }
}

ObjectList* ObjectListOf(GameStateId id) {
  return gLists.lookup ? gLists.lookup(id) : nullptr;
}

void ObjectListSetLookup(ObjectList* (*lookup)(GameStateId id)) {
  gLists.lookup = lookup;
}

GameObject* CreateGameObject(Mesh* mesh, Texture* texture, float x, float y, float width,
                             float height, float rotation) {
  GameObject* o = new GameObject(mesh, texture);
  o->position = {x, y};
  o->scale = {width, height};
  o->rotation = rotation;
  if (ObjectList* list = ObjectListOf(GsmGetCurrentState())) list->objects.push_back(o);
  return o;
}

Animation::Animation(Texture* texture, Vec2 startPosition, Vec2 finalPosition, Vec2 startScale,
                     Vec2 finalScale, float duration, float startRotation, float finalRotation)
    : GameObject(gQuadMesh, texture),
      startPosition(startPosition),
      finalPosition(finalPosition),
      duration(duration),
      startRotation(startRotation),
      finalRotation(finalRotation),
      startScale(startScale),
      finalScale(finalScale) {
  position = startPosition;
  scale = startScale;
  rotation = startRotation;
  // Steps from the frame rate of this moment while elapsed counts fixed steps: at 60 frames per
  // second a 1 s animation takes 63 updates, holding its final values for the last three.
  double steps = (double)duration * SysGetFrameRate();
  // A zero duration gets no steps: it dies at its first update without moving.
  auto step = [steps](double change) { return steps > 0 ? (float)(change / steps) : 0.0f; };
  positionStep = {step(finalPosition.x - startPosition.x), step(finalPosition.y - startPosition.y)};
  scaleStep = {step(finalScale.x - startScale.x), step(finalScale.y - startScale.y)};
  rotationStep = step((double)finalRotation - (double)startRotation);
  ObjectListOf(GS_Battle)->objects.push_back(this);
}

bool Animation::Animate() {
  if (!alive) return true;
  elapsed += kUpdateStep;
  StepTowards(&position.x, positionStep.x, finalPosition.x);
  StepTowards(&position.y, positionStep.y, finalPosition.y);
  StepTowards(&rotation, rotationStep, finalRotation);
  StepTowards(&scale.x, scaleStep.x, finalScale.x);
  StepTowards(&scale.y, scaleStep.y, finalScale.y);
  if (elapsed / duration >= 1.0f) {
    alive = false;
    return true;
  }
  return false;
}
