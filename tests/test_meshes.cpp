// Meshes: the fixed triangle collection and its limit, default names, the live list, vertex
// colours, the modulation colour and the debug-line queue in pixels.
#include <gtest/gtest.h>

#include "hptest.h"
#include "kegraphics.h"
#include "states.h"

namespace {

Mesh* MakeSquare(const char* name) {
  const uint32_t red = 0xFFFF0000;
  GfxMeshStart();
  GfxTriAdd(-0.5f, 0.5f, red, 0, 1, -0.5f, -0.5f, red, 0, 0, 0.5f, -0.5f, red, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, red, 0, 1, 0.5f, -0.5f, red, 1, 0, 0.5f, 0.5f, red, 1, 1);
  return GfxMeshEnd(name);
}

Mesh* gSquare = nullptr;
uint32_t gColour = 0xFFFFFFFF;
void SquareLoad() { gSquare = MakeSquare("square"); }
void SquareDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, 20, 20, 0, 0, 0);
  GfxSetTransform(m);
  GfxSetUseModColor(true);
  GfxSetModColor(gColour);
  GfxMeshDraw(gSquare);
  GfxLineAdd(-300, 200.5f, 0xFFFF0000, 300, 200.5f, 0xFFFF0000);
}
void SquareUnload() { GfxMeshFree(gSquare); }

TEST(MeshTest, CollectionNamesLimitAndPixels) {
  ASSERT_TRUE(TestEngineStart(800, 600));
  GfxMeshStart();
  EXPECT_EQ(GfxMeshEnd("nothing"), nullptr);  // an empty collection makes no mesh

  // Unnamed meshes are numbered by the live count, so names repeat after a free.
  Mesh* first = MakeSquare(nullptr);
  Mesh* second = MakeSquare(nullptr);
  EXPECT_STREQ(first->name, "Mesh0");
  EXPECT_STREQ(second->name, "Mesh1");
  GfxMeshFree(first);
  Mesh* third = MakeSquare(nullptr);
  EXPECT_STREQ(third->name, "Mesh1");
  GfxMeshFree(second);
  GfxMeshFree(third);
  EXPECT_EQ(GfxMeshLiveCount(), 0);

  // The 8193rd triangle is dropped.
  GfxMeshStart();
  for (int i = 0; i < 8193; ++i) GfxTriAdd(0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0);
  Mesh* big = GfxMeshEnd(nullptr);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->vertexCount, 24576u);
  GfxMeshFree(big);

  // A 20-unit red quad at the origin covers the 20 pixels round the window centre, tinted white
  // (stored as 0xFFFFFFFE). The debug line through world y 200.5 is pixel row 99.
  TestCaptureFrames(true);
  TestRunState(GS_Battle, SquareLoad, nullptr, nullptr, SquareDraw, nullptr, SquareUnload);
  ASSERT_TRUE(TestStep(2));
  auto rgb = [](int x, int y) { return TestPixel(x, y) & 0xFFFFFF; };
  EXPECT_EQ(rgb(400, 300), 0xFF0000u);
  EXPECT_EQ(rgb(391, 291), 0xFF0000u);
  EXPECT_EQ(rgb(388, 300), 0u);
  EXPECT_EQ(rgb(400, 312), 0u);
  EXPECT_EQ(rgb(400, 99), 0xFF0000u);
  EXPECT_EQ(rgb(400, 110), 0u);
  // Translucent red over the black clear colour leaves red times 0x88/255.
  gColour = 0x88FF0000;
  ASSERT_TRUE(TestStep(1));
  EXPECT_NEAR((int)(rgb(400, 300) >> 16), 0x88, 1);
  EXPECT_EQ(rgb(400, 300) & 0xFFFF, 0u);
  TestEngineStop();
}

}  // namespace
