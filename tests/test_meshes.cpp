// Meshes: the fixed triangle collection and its limit, default names, the live list, white
// vertices whatever colour is asked for, and the debug-line queue reaching the pixels.
#include <gtest/gtest.h>

#include <string>

#include "hptest.h"
#include "kegraphics.h"

namespace {

void AddSquareTriangles(uint32_t colour) {
  GfxTriAdd(-0.5f, 0.5f, colour, 0, 1, -0.5f, -0.5f, colour, 0, 0, 0.5f, -0.5f, colour, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, colour, 0, 1, 0.5f, -0.5f, colour, 1, 0, 0.5f, 0.5f, colour, 1, 1);
}

Mesh* MakeSquare(const char* name) {
  GfxMeshStart();
  AddSquareTriangles(0xFFFF0000);
  return GfxMeshEnd(name);
}

class MeshTest : public ::testing::Test {
 protected:
  void TearDown() override { TestEngineStop(); }
};

TEST_F(MeshTest, EmptyCollectionMakesNoMesh) {
  ASSERT_TRUE(TestEngineStart());
  GfxMeshStart();
  EXPECT_EQ(GfxMeshEnd("nothing"), nullptr);
  EXPECT_EQ(GfxMeshLiveCount(), 0);
  // Triangles added while no collection is open are dropped.
  GfxMeshFree(MakeSquare(nullptr));
  GfxTriAdd(0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0);
  EXPECT_EQ(GfxTriCount(), 0u);
  GfxMeshDraw(nullptr);
  GfxMeshFree(nullptr);
}

TEST_F(MeshTest, UnnamedMeshesAreNumberedByTheLiveCount) {
  ASSERT_TRUE(TestEngineStart());
  Mesh* first = MakeSquare(nullptr);
  Mesh* second = MakeSquare(nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_STREQ(first->name, "Mesh0");
  EXPECT_STREQ(second->name, "Mesh1");
  EXPECT_EQ(first->vertexCount, 6u);
  EXPECT_EQ(GfxMeshLiveCount(), 2);
  GfxMeshFree(first);
  Mesh* third = MakeSquare(nullptr);
  EXPECT_STREQ(third->name, "Mesh1");  // names repeat once meshes have been freed
  std::string longName(300, 'n');
  Mesh* named = MakeSquare(longName.c_str());
  EXPECT_EQ(std::string(named->name), longName.substr(0, 255));
  GfxMeshFree(second);
  GfxMeshFree(third);
  GfxMeshFree(named);
  EXPECT_EQ(GfxMeshLiveCount(), 0);
}

TEST_F(MeshTest, TrianglesPastTheCollectionLimitAreDropped) {
  ASSERT_TRUE(TestEngineStart());
  GfxMeshStart();
  for (int i = 0; i < 8193; ++i) GfxTriAdd(0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0);
  EXPECT_EQ(GfxTriCount(), 8192u);
  Mesh* big = GfxMeshEnd(nullptr);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->vertexCount, 24576u);
  EXPECT_EQ(GfxTriCount(), 0u);  // a finished mesh empties the collection for the next one
  GfxMeshFree(big);
}

Mesh* gSquare = nullptr;
bool gTint = false;
void SquareLoad() { gSquare = MakeSquare("square"); }
void SquareDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, 40, 40, 0, 0, 0);
  GfxSetTransform(m);
  if (gTint) {
    GfxSetUseModColor(true);
    GfxSetModColor(0xFF00FF00);
  }
  GfxMeshDraw(gSquare);
  GfxLineAdd(-300, 200.5f, 0xFFFF0000, 300, 200.5f, 0xFFFF0000);
}
void SquareUnload() {
  GfxMeshFree(gSquare);
  gSquare = nullptr;
}

TEST_F(MeshTest, VerticesAreWhiteWhateverColourIsAsked) {
  ASSERT_TRUE(TestEngineStart(800, 600));
  TestCaptureFrames(true);
  gTint = false;
  TestRunState(GS_Battle, SquareLoad, nullptr, nullptr, SquareDraw, nullptr, SquareUnload);
  ASSERT_TRUE(TestStep(2));
  EXPECT_EQ(TestPixel(400, 300) & 0xFFFFFF, 0xFFFFFFu);  // asked red, drawn white
  gTint = true;
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(TestPixel(400, 300) & 0xFFFFFF, 0x00FF00u);  // only the tint colours it
  // The debug line through world y 200.5 is pixel row 99, in its own colour.
  EXPECT_EQ(TestPixel(400, 99) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(TestPixel(400, 110) & 0xFFFFFF, 0u);
}

}  // namespace
