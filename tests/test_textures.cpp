// Textures: pictures land where and as big as their transform says, bottom row first, mirrored
// and tinted; file-name rules; and the resource accounting with the leak report at shut-down.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "hptest.h"
#include "kegraphics.h"
#include "keos.h"
#include "states.h"

namespace {

// Writes a PNG from 0xAARRGGBB pixels listed top row first, as picture files store them.
bool WritePng(const std::string& path, const uint32_t argb[4]) {
  uint8_t rgba[16];
  for (int i = 0; i < 4; ++i)
    for (int c = 0; c < 4; ++c) rgba[i * 4 + c] = (argb[i] >> (c == 3 ? 24 : 16 - 8 * c)) & 0xFF;
  stbi_flip_vertically_on_write(0);
  return stbi_write_png(path.c_str(), 2, 2, 4, rgba, 8) != 0;
}

// Red, green / blue, white: every quadrant tells which way the picture ended up.
const uint32_t kQuadrants[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};

Mesh* gQuad = nullptr;
Texture* gPicture = nullptr;
std::string gPicturePath;
float gScaleX = 200;
uint32_t gTint = 0xFF8080FF;  // halves red and green, keeps blue

void PictureLoad() {
  GfxMeshStart();
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, -0.5f, -0.5f, 0, 0, 0, 0.5f, -0.5f, 0, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, 0.5f, -0.5f, 0, 1, 0, 0.5f, 0.5f, 0, 1, 1);
  gQuad = GfxMeshEnd("quad");
  gPicture = GfxTextureLoad(gPicturePath.c_str());
}
void PictureDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, gScaleX, 100, 0, 100, 50);  // covers world x 0..200, y 0..100
  GfxSetTransform(m);
  GfxSetUseModColor(true);
  GfxSetModColor(gTint);
  GfxTextureSet(gPicture);
  GfxMeshDraw(gQuad);
}
void PictureUnload() {
  GfxMeshFree(gQuad);
  GfxTextureUnload(gPicture);
}

// Top-left, top-right, bottom-left, bottom-right quadrants of pixels x 400..600, y 200..300.
void ExpectQuadrants(const uint32_t want[4]) {
  const int at[4][2] = {{450, 225}, {550, 225}, {450, 275}, {550, 275}};
  for (int q = 0; q < 4; ++q)
    for (int shift = 0; shift <= 16; shift += 8)
      EXPECT_NEAR((int)((TestPixel(at[q][0], at[q][1]) >> shift) & 0xFF), (int)((want[q] >> shift) & 0xFF), 4)
          << "quadrant " << q;
}

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/hp-tex-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    ASSERT_TRUE(WritePng(dir + "/quadrants.png", kQuadrants));
  }
  void TearDown() override {
    TestEngineStop();
    std::filesystem::remove_all(dir);
  }
  std::string dir;
};

TEST_F(TextureTest, PictureFillsItsTransformTintedAndMirrored) {
  gPicturePath = dir + "/quadrants.png";
  ASSERT_TRUE(TestEngineStart(800, 600));
  TestCaptureFrames(true);
  TestRunState(GS_Battle, PictureLoad, nullptr, nullptr, PictureDraw, nullptr, PictureUnload);
  ASSERT_TRUE(TestStep(2));
  ASSERT_NE(gPicture, nullptr);
  const uint32_t tinted[4] = {0x800000, 0x008000, 0x0000FF, 0x8080FF};
  ExpectQuadrants(tinted);
  const int inside[4][2] = {{401, 250}, {598, 250}, {450, 201}, {450, 298}};
  const int outside[4][2] = {{398, 250}, {602, 250}, {450, 198}, {450, 302}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NE(TestPixel(inside[i][0], inside[i][1]) & 0xFFFFFF, 0u) << i;
    EXPECT_EQ(TestPixel(outside[i][0], outside[i][1]) & 0xFFFFFF, 0u) << i;
  }
  gScaleX = -200;  // a negative x scale mirrors the picture
  gTint = 0xFFFFFFFF;
  ASSERT_TRUE(TestStep(1));
  const uint32_t mirrored[4] = {0x00FF00, 0xFF0000, 0xFFFFFE, 0x0000FF};
  ExpectQuadrants(mirrored);
}

TEST_F(TextureTest, RowOrderPathRulesAndAccounting) {
  ASSERT_TRUE(TestEngineStart(320, 240));
  // A red top row and a blue bottom row: blue is texture row 0.
  const uint32_t redOverBlue[4] = {0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF};
  ASSERT_TRUE(WritePng(dir + "/redblue.png", redOverBlue));
  Texture* rows = GfxTextureLoad((dir + "/redblue.png").c_str());
  ASSERT_NE(rows, nullptr);
  uint8_t texels[16] = {};
  glBindTexture(GL_TEXTURE_2D, rows->textureName);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  const uint8_t want[16] = {0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 255, 255, 0, 0, 255};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(texels[i], want[i]) << "byte " << i;

  // Paths of 255 characters load, 256 do not even when the file exists.
  std::string base = dir + "/" + std::string(255 - dir.size() - 5, 'p');
  ASSERT_TRUE(WritePng(base + ".png", kQuadrants));
  ASSERT_TRUE(WritePng(base + "q.png", kQuadrants));
  Texture* longest = GfxTextureLoad((base + ".png").c_str());
  EXPECT_NE(longest, nullptr);
  EXPECT_EQ(GfxTextureLoad((base + "q.png").c_str()), nullptr);
  // A name differing only in case finds the file, in the game's own data folder too.
  Texture* cased = GfxTextureLoad((dir + "/QUADRANTS.png").c_str());
  EXPECT_NE(cased, nullptr);
  Texture* shipped = GfxTextureLoad("data/Arrow2.png");
  EXPECT_NE(shipped, nullptr);
  // Missing files and files that are not pictures give null.
  std::ofstream(dir + "/notes.png") << "not a picture at all";
  EXPECT_EQ(GfxTextureLoad((dir + "/notes.png").c_str()), nullptr);
  EXPECT_EQ(GfxTextureLoad((dir + "/missing.png").c_str()), nullptr);

  // Textures made from memory are named by the live count; unloading the bound one forgets it.
  const uint8_t pixel[4] = {1, 2, 3, 4};
  Texture* made = GfxTextureCreate(1, 1, pixel);
  EXPECT_STREQ(made->name, "Texture4");
  EXPECT_EQ(GfxTextureLiveCount(), 5);
  GfxTextureSet(made);
  GfxTextureUnload(made);
  EXPECT_EQ(GfxGetCurrentTexture(), nullptr);
  for (Texture* t : {longest, cased, shipped}) GfxTextureUnload(t);
  EXPECT_EQ(GfxTextureLiveCount(), 1);

  // The leak report with one texture and two meshes left, then everything released.
  for (int i = 0; i < 2; ++i) {
    GfxMeshStart();
    GfxTriAdd(0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1);
    ASSERT_NE(GfxMeshEnd(nullptr), nullptr);
  }
  TestEngineStop();
  ASSERT_EQ(TestMessageBoxes().size(), 1u);
  const CapturedMessageBox& box = TestMessageBoxes()[0];
  EXPECT_EQ(box.text,
            "NOT ALL RESOURCES HAVE BEEN RELEASED!\n"
            "\t\t\t\t\t\t  Remaining Textures = 1\n"
            "\t\t\t\t\t\t  Remaining Triangle Meshes = 2\n"
            "\t\t\t\t\t\t  Remaining Fonts = 0\n"
            "\t\t\t\t\t\t  Remaining Render Textures = 0\n");
  EXPECT_EQ(box.caption, "ERROR");
  EXPECT_EQ(box.style, (uint32_t)OS_MB_ICONEXCLAMATION);
  EXPECT_EQ(GfxTextureLiveCount(), 0);
  EXPECT_EQ(GfxMeshLiveCount(), 0);
}

TEST_F(TextureTest, LeakedFontIsReportedWithItsAtlasAndFreedOnce) {
  ASSERT_TRUE(TestEngineStart(320, 240));
  ASSERT_NE(GfxFontCreate(1.0f), nullptr);
  TestEngineStop();  // the sanitizer catches the atlas being freed twice
  ASSERT_EQ(TestMessageBoxes().size(), 1u);
  const std::string& text = TestMessageBoxes()[0].text;
  EXPECT_NE(text.find("Remaining Textures = 1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Remaining Fonts = 1\n"), std::string::npos) << text;
  EXPECT_EQ(GfxFontLiveCount(), 0);
}

}  // namespace
