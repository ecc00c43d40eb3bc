// Game objects on the real frame loop: the update walk and its order, Animation's steps, which
// objects are updated and drawn, the per-state lists, the graveyard, and the quad at scale.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/gameobject.h"
#include "framework/quad.h"
#include "hptest.h"
#include "kegraphics.h"
#include "kesystem.h"
#include "screens/screen.h"

namespace {

std::function<void()> gOnInit, gOnUpdate;
std::string gCalls;
int gDeleted = 0;

ObjectList& Current() { return *ObjectListOf(GsmGetCurrentState()); }

void Load() { gQuadMesh = CreateQuadMesh(); }
void Init() { if (gOnInit) gOnInit(); }
void Update() {
  Current().Update();
  if (gOnUpdate) gOnUpdate();
}
void Draw() { Current().Draw(); }
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
  Probe(char n, float x, float y, float size) : GameObject(gQuadMesh, nullptr), name(n) {
    position = {x, y};
    scale = {size, size};
    Current().objects.push_back(this);
  }
  ~Probe() override { ++gDeleted; }
  void Log(char op) { gCalls += name, gCalls += op; }
  void Move() override {
    Log('M');
    position.x += dx;
    if (deed) deed();
  }
  void FindTarget() override { Log('F'); }
  void Attack() override { Log('A'); }
  void UpdateEffects() override { Log('U'); }
  bool Animate() override {
    Log('N');
    gCalls += ' ';
    return false;
  }
};

// Pixel of a reference point at scale 1 in the 800 by 600 window.
uint32_t PixelAt(float x, float y) { return TestPixel((int)(400 + x), (int)(300 - y)); }
const uint32_t kWhite = 0xFFFFFFFF;

class ObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestEngineStart(800, 600));
    windowSizeIndex = 0;
    gOnInit = gOnUpdate = nullptr;
    gCalls.clear();
    gDeleted = 0;
  }
  void TearDown() override {
    GsmSetNextState(GS_Quit);
    TestStep(2);
    for (GameStateId id : {GS_Battle, GS_SpellSelect}) {
      ObjectListOf(id)->Free();
      ObjectListOf(id)->Free();
    }
    TestEngineStop();
  }
  void Run(GameStateId id) { TestRunState(id, Load, Init, Update, Draw, Free, Unload); }
};

TEST_F(ObjectsTest, OneSecondAnimationTakes63UpdatesAndEndsFivePercentBeyond) {
  Run(GS_Battle);
  ASSERT_TRUE(TestStep(5));  // a measured frame rate of 60 on the virtual clock
  Animation* a = new Animation(nullptr, {0, 0}, {100, 0}, {10, 10}, {30, 10}, 1.0f, 0, 1.0f);
  int updates = 0;
  while (a->alive && updates < 100) {
    ASSERT_TRUE(TestStep(1));
    ++updates;
  }
  EXPECT_EQ(updates, 63);
  EXPECT_NEAR(a->position.x, 105.0f, 0.01f);
  EXPECT_NEAR(a->scale.x, 31.0f, 0.01f);
  EXPECT_NEAR(a->rotation, 1.05f, 0.001f);
  EXPECT_FLOAT_EQ(a->scale.y, 10.0f);

  // Dead: true at once, no step; it stays in the battle's list until the battle is freed.
  float x = a->position.x;
  EXPECT_TRUE(a->Animate());
  EXPECT_EQ(a->position.x, x);
  EXPECT_EQ(Current().objects.back(), a);
}

TEST_F(ObjectsTest, WalkRunsTheFiveOperationsInOrderAndReachesNewObjects) {
  Run(GS_Battle);
  Probe* a = nullptr;
  Probe* b = nullptr;
  gOnInit = [&] {
    a = new Probe('a', 0, 0, 10);
    b = new Probe('b', 0, 0, 10);
  };
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gCalls, "aMaFaAaUaN bMbFbAbUbN ");

  // A strike that makes a new object and an Animation: both take their first step this frame.
  Animation* swipe = nullptr;
  a->deed = [&] {
    a->deed = nullptr;
    new Probe('c', 0, 0, 10);
    swipe = new Animation(nullptr, {0, 0}, {60, 0}, {1, 1}, {1, 1}, 1.0f, 0, 0);
  };
  gCalls.clear();
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gCalls, "aMaFaAaUaN bMbFbAbUbN cMcFcAcUcN ");
  ASSERT_NE(swipe, nullptr);
  EXPECT_FLOAT_EQ(swipe->elapsed, 0.016f);

  // A dead object is skipped even if still in the list.
  b->alive = false;
  gCalls.clear();
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gCalls, "aMaFaAaUaN cMcFcAcUcN ");
}

TEST_F(ObjectsTest, InactiveIsDrawnNotMovedAndInvisibleIsMovedNotDrawn) {
  Run(GS_Battle);
  Probe *still = nullptr, *hidden = nullptr, *dead = nullptr;
  gOnInit = [&] {
    still = new Probe('s', -200, 0, 40);
    hidden = new Probe('h', 0, 0, 40);
    dead = new Probe('d', 200, 0, 40);
    for (Probe* p : {still, hidden, dead}) p->dx = 5;
    still->active = false;
    hidden->visible = false;
    dead->alive = false;
  };
  TestCaptureFrames(true);
  ASSERT_TRUE(TestStep(3));
  EXPECT_EQ(still->position.x, -200.0f);
  EXPECT_EQ(hidden->position.x, 15.0f);
  EXPECT_EQ(dead->position.x, 200.0f);
  EXPECT_EQ(PixelAt(-200, 0), kWhite);
  EXPECT_NE(PixelAt(15, 0), kWhite);
  EXPECT_NE(PixelAt(200, 0), kWhite);

  // Tinted objects draw in their colour; untinted ones ignore it.
  still->tinted = true;
  still->color = 0xFF00FF00;
  hidden->visible = true;
  hidden->color = 0xFFFF0000;
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(PixelAt(-200, 0), 0xFF00FF00);
  EXPECT_EQ(PixelAt(20, 0), kWhite);
}

TEST_F(ObjectsTest, ObjectsLandInTheListOfTheStateCurrentWhenMade) {
  Run(GS_SpellSelect);
  GameObject* made = nullptr;
  gOnInit = [&] { made = CreateGameObject(gQuadMesh, nullptr, 10, 20, 30, 40, 0.5f); };
  ASSERT_TRUE(TestStep(1));
  ASSERT_EQ(ObjectListOf(GS_SpellSelect)->objects.size(), 1u);
  EXPECT_EQ(ObjectListOf(GS_SpellSelect)->objects[0], made);
  EXPECT_TRUE(ObjectListOf(GS_Battle)->objects.empty());
  EXPECT_EQ(made->position.y, 20.0f);
  EXPECT_EQ(made->scale.x, 30.0f);
  EXPECT_EQ(made->rotation, 0.5f);
  EXPECT_TRUE(made->alive && made->visible && made->active && !made->tinted);
  EXPECT_EQ(made->color, 0xFFFFFFFFu);

  // An Animation joins the battle's list whatever is current.
  Animation* a = new Animation(nullptr, {0, 0}, {1, 0}, {1, 1}, {1, 1}, 1.0f, 0, 0);
  EXPECT_EQ(ObjectListOf(GS_Battle)->objects.back(), a);
  EXPECT_EQ(ObjectListOf(GS_SpellSelect)->objects.size(), 1u);
  EXPECT_EQ(ObjectListOf(12345), nullptr);
}

TEST_F(ObjectsTest, FreedObjectsWaitForTheNextPurge) {
  Run(GS_Battle);
  gOnInit = [&] {
    for (int i = 0; i < 3; ++i) new Probe('p', 0, 0, 10);
  };
  ASSERT_TRUE(TestStep(1));
  ObjectList& list = Current();
  list.Free();
  EXPECT_EQ(gDeleted, 0);  // still allocated, retired
  EXPECT_EQ(list.graveyard.size(), 3u);
  for (GameObject* o : list.objects) EXPECT_FALSE(o->alive);
  list.Free();
  EXPECT_EQ(gDeleted, 3);
  EXPECT_TRUE(list.objects.empty());
  EXPECT_EQ(list.graveyard.size(), 0u);

  // The next Update purges too, and an object retired twice is deleted once.
  Probe* p = new Probe('q', 0, 0, 10);
  list.graveyard.push_back(p);
  list.graveyard.push_back(p);
  gCalls.clear();
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gDeleted, 4);
  EXPECT_TRUE(list.objects.empty());
  EXPECT_EQ(gCalls, "");
}

TEST_F(ObjectsTest, QuadCoversItsScaleAndANegativeWidthMirrorsThePicture) {
  Run(GS_Battle);
  ASSERT_TRUE(TestStep(1));
  // Bottom half red on the left and green on the right, top half blue: the quad's u runs left
  // to right and v upwards. Large enough that filtering does not blend the sampled points.
  const int n = 16;
  uint8_t rgba[n * n * 4];
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      uint8_t* p = &rgba[(y * n + x) * 4];  // the first row is the bottom one
      p[0] = y < n / 2 && x < n / 2 ? 255 : 0;
      p[1] = y < n / 2 && x >= n / 2 ? 255 : 0;
      p[2] = y >= n / 2 ? 255 : 0;
      p[3] = 255;
    }
  Texture* tex = GfxTextureCreate(n, n, rgba);
  ASSERT_NE(tex, nullptr);
  GameObject* plain = CreateGameObject(gQuadMesh, tex, -100, 0, 50, 50);
  GameObject* mirrored = CreateGameObject(gQuadMesh, tex, 100, 0, -50, 50);
  TestCaptureFrames(true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(PixelAt(-120, -12), 0xFFFF0000);
  EXPECT_EQ(PixelAt(-80, -12), 0xFF00FF00);
  EXPECT_EQ(PixelAt(-100, 12), 0xFF0000FF);
  EXPECT_EQ(PixelAt(80, -12), 0xFF00FF00);  // mirrored: red on the right
  EXPECT_EQ(PixelAt(120, -12), 0xFFFF0000);
  EXPECT_EQ(PixelAt(100, 12), 0xFF0000FF);
  // Exactly 50 wide, -25..25 about the centre, the mirrored one too.
  EXPECT_NE(PixelAt(-126, -12), 0xFFFF0000);
  EXPECT_NE(PixelAt(-74, -12), 0xFF00FF00);
  EXPECT_NE(PixelAt(74, -12), 0xFF00FF00);
  EXPECT_NE(PixelAt(126, -12), 0xFFFF0000);
  EXPECT_EQ(plain->scale.x, -mirrored->scale.x);
  GfxTextureUnload(tex);

  int meshes = GfxMeshLiveCount();
  Mesh* q = CreateQuadMesh();
  EXPECT_EQ(GfxMeshLiveCount(), meshes + 1);
  GfxMeshFree(q);
  EXPECT_EQ(GfxMeshLiveCount(), meshes);
}

TEST_F(ObjectsTest, ObjectsDrawAtTheSelectedWindowSize) {
  windowSizeIndex = 1;  // 1024 x 768: 1.28 in both directions
  SysSetWindowSize(1024, 768);
  Run(GS_Battle);
  gOnInit = [] { CreateGameObject(gQuadMesh, nullptr, 100, 50, 100, 100); };
  TestCaptureFrames(true);
  ASSERT_TRUE(TestStep(1));
  ASSERT_EQ(TestFrameWidth(), 1024);
  // Covers x 50..150 and y 0..100 in reference units: pixels 576..704 and 384..256.
  EXPECT_EQ(TestPixel(578, 382), kWhite);
  EXPECT_EQ(TestPixel(702, 258), kWhite);
  EXPECT_NE(TestPixel(573, 300), kWhite);
  EXPECT_NE(TestPixel(707, 300), kWhite);
  EXPECT_NE(TestPixel(640, 253), kWhite);
  windowSizeIndex = 0;
}

}  // namespace
