// Game objects on the real frame loop: the update walk and its order, Animation's steps, which
// objects are updated and drawn at the screen's scale, the per-state lists and the graveyard.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/gameobject.h"
#include "framework/quad.h"
#include "hptest.h"
#include "kegraphics.h"
#include "kesystem.h"
#include "screens/screen.h"
#include "states.h"

namespace {

std::function<void()> gOnInit;
std::string gCalls;
int gDeleted = 0;

ObjectList& Current() { return *ObjectListOf(GsmGetCurrentState()); }

void Load() { gQuadMesh = CreateQuadMesh(); }
void Init() { if (gOnInit) gOnInit(); }
void Update() { Current().Update(); }
void Draw() { Current().Draw(ScreenScale()); }
void Free() { Current().Free(); }
void Unload() {
  GfxMeshFree(gQuadMesh);
  gQuadMesh = nullptr;
}

// Logs its operations as <name><op>, moves by dx per Move and can run a deed in its Move.
struct Probe : GameObject {
  char name;
  float dx = 0;
  std::function<void()> deed;
  Probe(char n, float x) : GameObject(gQuadMesh, nullptr), name(n) {
    position = {x, 0};
    scale = {40, 40};
    Current().objects.push_back(this);
  }
  ~Probe() override { ++gDeleted; }
  void Log(const char* op) { gCalls += name, gCalls += op; }
  void Move() override {
    Log("M");
    position.x += dx;
    if (deed) deed();
  }
  void FindTarget() override { Log("F"); }
  void Attack() override { Log("A"); }
  void UpdateEffects() override { Log("U"); }
  bool Animate() override { return Log("N "), false; }
};

class ObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestEngineStart(320, 240));
    windowSizeIndex = 0;
    gOnInit = nullptr;
    gCalls.clear();
    gDeleted = 0;
  }
  void TearDown() override {
    GsmSetNextState(GS_Quit);
    TestStep(2);
    for (GameStateId id : {GS_Battle, GS_SpellSelect})
      for (int i = 0; i < 2; ++i) ObjectListOf(id)->Free();  // retire, then delete
    TestEngineStop();
    windowSizeIndex = 0;
  }
  void Run(GameStateId id) { TestRunState(id, Load, Init, Update, Draw, Free, Unload); }
};

TEST_F(ObjectsTest, WalkOrderNewObjectsWhatIsMovedOrDrawnAndAnimationSteps) {
  windowSizeIndex = 1;  // 1024 x 768: 1.28 in both directions
  SysSetWindowSize(1024, 768);
  Run(GS_Battle);
  Probe *a = nullptr, *still = nullptr, *hidden = nullptr;
  gOnInit = [&] {
    a = new Probe('a', 0);
    still = new Probe('s', -200);
    hidden = new Probe('h', 200);
    for (Probe* p : {a, still, hidden}) p->dx = 5;
    still->active = false;
    hidden->visible = false;
  };
  TestCaptureFrames(true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gCalls, "aMaFaAaUaN hMhFhAhUhN ");

  // A strike that makes a new object and an Animation: both take their first step this frame.
  Animation* swipe = nullptr;
  a->deed = [&] {
    a->deed = nullptr;
    new Probe('c', 0);
    swipe = new Animation(nullptr, {0, 0}, {60, 0}, {1, 1}, {1, 1}, 1.0f, 0, 0);
  };
  gCalls.clear();
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gCalls, "aMaFaAaUaN hMhFhAhUhN cMcFcAcUcN ");
  ASSERT_NE(swipe, nullptr);
  EXPECT_FLOAT_EQ(swipe->elapsed, 0.016f);
  a->alive = false;  // a dead object is skipped even if still in the list
  gCalls.clear();
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gCalls, "hMhFhAhUhN cMcFcAcUcN ");

  auto lit = [](float x) { return TestPixel((int)(512 + x * 1.28f), 384) == 0xFFFFFFFF; };
  EXPECT_EQ(still->position.x, -200.0f);
  EXPECT_EQ(hidden->position.x, 215.0f);
  EXPECT_TRUE(lit(-200 - 18) && lit(-200 + 18));  // 40 wide at 1.28 the scale
  EXPECT_FALSE(lit(-200 - 23) || lit(-200 + 23));
  EXPECT_FALSE(lit(215));

  ASSERT_TRUE(TestStep(2));  // a measured frame rate of 60 on the virtual clock
  Animation* one = new Animation(nullptr, {0, 0}, {100, 0}, {10, 10}, {30, 10}, 1.0f, 0, 1.0f);
  int updates = 0;
  for (; one->alive && updates < 100; ++updates) ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(updates, 63);  // 0.016 s a step: it ends about 5 % beyond
  EXPECT_NEAR(one->position.x, 105.0f, 0.01f);
  EXPECT_NEAR(one->scale.x, 31.0f, 0.01f);
  EXPECT_NEAR(one->rotation, 1.05f, 0.001f);
  EXPECT_TRUE(one->Animate());
  EXPECT_NEAR(one->position.x, 105.0f, 0.01f);
}

TEST_F(ObjectsTest, ObjectsLandInTheCurrentListAndFreedOnesWaitForThePurge) {
  Run(GS_SpellSelect);
  GameObject* made = nullptr;
  gOnInit = [&] {
    made = CreateGameObject(gQuadMesh, nullptr, 10, 20, 30, 40, 0.5f);
    for (int i = 0; i < 3; ++i) new Probe('p', 0);
  };
  ASSERT_TRUE(TestStep(1));
  ObjectList& list = *ObjectListOf(GS_SpellSelect);
  ASSERT_EQ(list.objects.size(), 4u);
  EXPECT_EQ(list.objects[0], made);
  EXPECT_TRUE(ObjectListOf(GS_Battle)->objects.empty());
  // An Animation joins the battle's list whatever is current.
  Animation* a = new Animation(nullptr, {0, 0}, {1, 0}, {1, 1}, {1, 1}, 1.0f, 0, 0);
  EXPECT_EQ(ObjectListOf(GS_Battle)->objects.back(), a);

  list.Free();
  EXPECT_EQ(gDeleted, 0);  // retired, still allocated
  for (GameObject* o : list.objects) EXPECT_FALSE(o->alive);
  list.Free();
  EXPECT_EQ(gDeleted, 3);
  EXPECT_TRUE(list.objects.empty());

  // The next Update purges too, and an object retired twice is deleted once.
  Probe* p = new Probe('q', 0);
  list.graveyard.push_back(p);
  list.graveyard.push_back(p);
  gCalls.clear();
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gDeleted, 4);
  EXPECT_EQ(gCalls, "");
}

}  // namespace
