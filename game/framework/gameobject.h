// gameobject.h - everything a screen shows: GameObject with its five per-update operations, the
// ObjectList each game state owns, and Animation, which moves itself in a line and then dies.
#pragma once
#include <cstdint>
#include <vector>

#include "kegsm.h"
#include "kemath.h"

struct Mesh;
struct Texture;

// Game timers advance by this fixed step per running update, whatever the measured frame time.
const float kUpdateStep = 0.016f;

class GameObject {
 public:
  // Defaults as a plain object gets them; type is a random tag until a subclass sets its own.
  GameObject(Mesh* mesh = nullptr, Texture* texture = nullptr);
  virtual ~GameObject() = default;

  // Called by ObjectList::Update in the order Move, FindTarget, Attack, UpdateEffects, Animate.
  virtual void Move() {}
  virtual void Attack() {}
  virtual void FindTarget() {}
  virtual void UpdateEffects() {}
  virtual bool Animate() { return false; }  // true once the object has finished

  // Draws at a screen's scale (reference units to pixels); the same for every kind of object.
  void Draw(Vec2 scale) const;

  int32_t type;
  Vec2 position = {0, 0};  // centre, reference units
  Vec2 scale = {0, 0};     // width and height; a negative x mirrors the picture
  float rotation = 0;      // radians about the centre
  float flashTimer = 0;
  bool flashing = false;
  bool tinted = false;
  uint32_t color = 0xFFFFFFFF;
  bool alive = true;    // false: neither updated nor drawn, deleted when its state is freed
  bool visible = true;  // drawn while alive and visible
  bool active = true;   // updated while alive and active
  Mesh* mesh;
  Texture* texture;     // null draws the mesh in its tint only
};

// The objects of one game state, in creation order, and those waiting to be deleted.
struct ObjectList {
  std::vector<GameObject*> objects;
  std::vector<GameObject*> graveyard;

  // Purge, then the five operations on every alive and active object, including objects that
  // are appended during the walk.
  void Update();
  // Deletes what waits in the graveyard and takes it out of the list.
  void Purge();
  // Every alive and visible object at the screen's scale, in list order: later ones cover
  // earlier ones.
  void Draw(Vec2 scale) const;
  // A state's Free: purge, then retire every object; the next Purge deletes them.
  void Free();
};

// The list of a game state; null for an id that has none. Which list is whose is the game's to
// say (its table of screens installs the lookup at start-up).
ObjectList* ObjectListOf(GameStateId id);
void ObjectListSetLookup(ObjectList* (*lookup)(GameStateId id));

// A plain object appended to the current state's list (listed nowhere if that state has none).
GameObject* CreateGameObject(Mesh* mesh, Texture* texture, float x, float y, float width,
                             float height, float rotation = 0);

// Moves, scales and turns from start to final values over duration seconds, then dies. It joins
// the battle's list whatever state is current; callers make it with new and let it go.
class Animation : public GameObject {
 public:
  Animation(Texture* texture, Vec2 startPosition, Vec2 finalPosition, Vec2 startScale,
            Vec2 finalScale, float duration, float startRotation, float finalRotation);
  bool Animate() override;

  Vec2 startPosition, finalPosition;
  Vec2 positionStep;
  Vec2 scaleStep;
  float rotationStep;
  float elapsed = 0;
  float duration;
  float startRotation, finalRotation;
  Vec2 startScale, finalScale;
};
