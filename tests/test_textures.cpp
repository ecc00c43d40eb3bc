// Textures: pictures land where and as big as their transform says, bottom row first, mirrored
// and tinted; file-name rules; and the resource accounting with the leak report at shut-down.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "hptest.h"
#include "kegraphics.h"
#include "keos.h"

namespace {

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// Writes a PNG from 0xAARRGGBB pixels listed top row first, as picture files store them.
bool WritePng(const std::string& path, int w, int h, const uint32_t* argb) {
  std::vector<uint8_t> rgba((size_t)w * h * 4);
  for (int i = 0; i < w * h; ++i) {
    rgba[i * 4 + 0] = (argb[i] >> 16) & 0xFF;
    rgba[i * 4 + 1] = (argb[i] >> 8) & 0xFF;
    rgba[i * 4 + 2] = argb[i] & 0xFF;
    rgba[i * 4 + 3] = argb[i] >> 24;
  }
  stbi_flip_vertically_on_write(0);
  return stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4) != 0;
}

// Red, green / blue, white: every quadrant tells which way the picture ended up.
const uint32_t kQuadrants[4] = {kRed, kGreen, kBlue, kWhite};

Mesh* gQuad = nullptr;
Texture* gPicture = nullptr;
std::string gPicturePath;
float gScaleX = 200, gScaleY = 100;
uint32_t gTint = 0xFFFFFFFF;

void PictureLoad() {
  GfxMeshStart();
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, -0.5f, -0.5f, 0, 0, 0, 0.5f, -0.5f, 0, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, 0.5f, -0.5f, 0, 1, 0, 0.5f, 0.5f, 0, 1, 1);
  gQuad = GfxMeshEnd("quad");
  gPicture = GfxTextureLoad(gPicturePath.c_str());
}
void PictureDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, gScaleX, gScaleY, 0, 100, 50);  // covers x 0..200, y 0..100
  GfxSetTransform(m);
  GfxSetUseModColor(true);
  GfxSetModColor(gTint);
  GfxTextureSet(gPicture);
  GfxMeshDraw(gQuad);
}
void PictureUnload() {
  GfxMeshFree(gQuad);
  GfxTextureUnload(gPicture);
  gQuad = nullptr;
  gPicture = nullptr;
}

void ExpectColour(uint32_t px, uint32_t want, const char* where) {
  for (int shift = 0; shift <= 16; shift += 8)
    EXPECT_NEAR((int)((px >> shift) & 0xFF), (int)((want >> shift) & 0xFF), 4)
        << where << ": got " << std::hex << px << " want " << want;
}

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/hp-tex-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    TestEngineStop();
    std::filesystem::remove_all(dir);
  }
  std::string dir;
};

TEST_F(TextureTest, PictureFillsItsTransformUprightAndTinted) {
  gPicturePath = dir + "/quadrants.png";
  ASSERT_TRUE(WritePng(gPicturePath, 2, 2, kQuadrants));
  ASSERT_TRUE(TestEngineStart(800, 600));
  TestCaptureFrames(true);
  gScaleX = 200;
  gScaleY = 100;
  gTint = 0xFF8080FF;  // halves red and green, keeps blue
  TestRunState(GS_Battle, PictureLoad, nullptr, nullptr, PictureDraw, nullptr, PictureUnload);
  ASSERT_TRUE(TestStep(2));
  ASSERT_NE(gPicture, nullptr);
  // World (0..200, 0..100) is pixels x 400..600, y 200..300 from the top-left.
  ExpectColour(TestPixel(450, 225), 0x800000, "top left");
  ExpectColour(TestPixel(550, 225), 0x008000, "top right");
  ExpectColour(TestPixel(450, 275), 0x0000FF, "bottom left");
  ExpectColour(TestPixel(550, 275), 0x8080FF, "bottom right");
  EXPECT_NE(TestPixel(401, 250) & 0xFFFFFF, 0u);
  EXPECT_NE(TestPixel(598, 250) & 0xFFFFFF, 0u);
  EXPECT_NE(TestPixel(450, 201) & 0xFFFFFF, 0u);
  EXPECT_NE(TestPixel(450, 298) & 0xFFFFFF, 0u);
  EXPECT_EQ(TestPixel(398, 250) & 0xFFFFFF, 0u);
  EXPECT_EQ(TestPixel(602, 250) & 0xFFFFFF, 0u);
  EXPECT_EQ(TestPixel(450, 198) & 0xFFFFFF, 0u);
  EXPECT_EQ(TestPixel(450, 302) & 0xFFFFFF, 0u);
}

TEST_F(TextureTest, NegativeXScaleMirrorsThePicture) {
  gPicturePath = dir + "/quadrants.png";
  ASSERT_TRUE(WritePng(gPicturePath, 2, 2, kQuadrants));
  ASSERT_TRUE(TestEngineStart(800, 600));
  TestCaptureFrames(true);
  gScaleX = -200;
  gScaleY = 100;
  gTint = 0xFFFFFFFF;
  TestRunState(GS_Battle, PictureLoad, nullptr, nullptr, PictureDraw, nullptr, PictureUnload);
  ASSERT_TRUE(TestStep(2));
  ExpectColour(TestPixel(450, 225), kGreen, "top left");
  ExpectColour(TestPixel(550, 225), kRed, "top right");
  ExpectColour(TestPixel(450, 275), 0xFFFFFE, "bottom left");
  ExpectColour(TestPixel(550, 275), kBlue, "bottom right");
}

TEST_F(TextureTest, BottomRowOfThePictureIsRowZeroInTextureMemory) {
  const uint32_t redOverBlue[4] = {kRed, kRed, kBlue, kBlue};
  std::string path = dir + "/redblue.png";
  ASSERT_TRUE(WritePng(path, 2, 2, redOverBlue));
  ASSERT_TRUE(TestEngineStart());
  Texture* t = GfxTextureLoad(path.c_str());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->width, 2);
  EXPECT_EQ(t->height, 2);
  EXPECT_EQ(std::string(t->name), path);
  uint8_t texels[16] = {};
  glBindTexture(GL_TEXTURE_2D, t->textureName);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  glBindTexture(GL_TEXTURE_2D, 0);
  const uint8_t want[16] = {0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 255, 255, 0, 0, 255};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(texels[i], want[i]) << "byte " << i;
  GLint wrap = 0, minFilter = 0;
  glBindTexture(GL_TEXTURE_2D, t->textureName);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glBindTexture(GL_TEXTURE_2D, 0);
  EXPECT_EQ(wrap, GL_REPEAT);
  EXPECT_EQ(minFilter, GL_LINEAR);
  GfxTextureUnload(t);
}

TEST_F(TextureTest, PathOf255CharactersLoadsAnd256DoesNot) {
  ASSERT_TRUE(TestEngineStart());
  std::string base = dir + "/";
  std::string longName(255 - base.size() - 4, 'p');
  std::string path255 = base + longName + ".png", path256 = base + longName + "q.png";
  ASSERT_EQ(path255.size(), 255u);
  ASSERT_EQ(path256.size(), 256u);
  ASSERT_TRUE(WritePng(path255, 2, 2, kQuadrants));
  ASSERT_TRUE(WritePng(path256, 2, 2, kQuadrants));  // the file exists: only the length refuses it
  Texture* t = GfxTextureLoad(path255.c_str());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(std::string(t->name), path255);
  EXPECT_EQ(GfxTextureLoad(path256.c_str()), nullptr);
  EXPECT_EQ(GfxTextureLiveCount(), 1);
  GfxTextureUnload(t);
}

TEST_F(TextureTest, NameDifferingOnlyInCaseFindsTheFile) {
  ASSERT_TRUE(TestEngineStart());
  ASSERT_TRUE(WritePng(dir + "/arrow2.png", 2, 2, kQuadrants));
  std::string asked = dir + "/Arrow2.PNG";
  Texture* t = GfxTextureLoad(asked.c_str());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(std::string(t->name), asked);
  EXPECT_EQ(GfxTextureLoad((dir + "/Arrow3.png").c_str()), nullptr);
  // The game's own data folder holds "arrow2.png" that the code asks for as "Arrow2.png".
  Texture* shipped = GfxTextureLoad("data/Arrow2.png");
  EXPECT_NE(shipped, nullptr);
  GfxTextureUnload(t);
  GfxTextureUnload(shipped);
}

TEST_F(TextureTest, FilesThatAreNotPicturesGiveNull) {
  ASSERT_TRUE(TestEngineStart());
  std::string path = dir + "/notes.png";
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fputs("not a picture at all", f);
  fclose(f);
  EXPECT_EQ(GfxTextureLoad(path.c_str()), nullptr);
  EXPECT_EQ(GfxTextureLoad((dir + "/missing.png").c_str()), nullptr);
  EXPECT_EQ(GfxTextureLiveCount(), 0);
}

TEST_F(TextureTest, EveryLoadAndCreateIsCountedAndNamed) {
  ASSERT_TRUE(TestEngineStart());
  std::string path = dir + "/quadrants.png";
  ASSERT_TRUE(WritePng(path, 2, 2, kQuadrants));
  const uint8_t pixel[4] = {1, 2, 3, 4};
  Texture* fromMemory = GfxTextureCreate(1, 1, pixel);
  ASSERT_NE(fromMemory, nullptr);
  EXPECT_STREQ(fromMemory->name, "Texture0");
  Texture* a = GfxTextureLoad(path.c_str());
  Texture* b = GfxTextureLoad(path.c_str());
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a->textureName, b->textureName);
  EXPECT_EQ(GfxTextureLiveCount(), 3);
  Texture* second = GfxTextureCreate(1, 1, pixel);
  EXPECT_STREQ(second->name, "Texture3");
  GfxTextureUnload(a);
  GfxTextureUnload(nullptr);
  EXPECT_EQ(GfxTextureLiveCount(), 3);
  GfxTextureUnload(b);
  GfxTextureUnload(fromMemory);
  GfxTextureUnload(second);
  EXPECT_EQ(GfxTextureLiveCount(), 0);
  TestEngineStop();
  EXPECT_TRUE(TestMessageBoxes().empty());  // nothing left, nothing reported
}

TEST_F(TextureTest, LoadingKeepsTheBoundTextureAndUnloadingForgetsIt) {
  ASSERT_TRUE(TestEngineStart());
  const uint8_t pixel[4] = {255, 255, 255, 255};
  Texture* current = GfxTextureCreate(1, 1, pixel);
  GfxTextureSet(current);
  Texture* other = GfxTextureCreate(1, 1, pixel);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ((GLuint)bound, current->textureName);
  GfxTextureUnload(current);
  EXPECT_EQ(GfxGetCurrentTexture(), nullptr);
  GfxTextureSet(other);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ((GLuint)bound, other->textureName);
  GfxTextureUnload(other);
}

TEST_F(TextureTest, LeakReportListsWhatIsLeftThenReleasesIt) {
  ASSERT_TRUE(TestEngineStart());
  std::string path = dir + "/quadrants.png";
  ASSERT_TRUE(WritePng(path, 2, 2, kQuadrants));
  ASSERT_NE(GfxTextureLoad(path.c_str()), nullptr);
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
  ASSERT_TRUE(TestEngineStart());
  ASSERT_NE(GfxFontCreate(1.0f), nullptr);
  TestEngineStop();  // the sanitizer catches the atlas being freed twice
  ASSERT_EQ(TestMessageBoxes().size(), 1u);
  const std::string& text = TestMessageBoxes()[0].text;
  EXPECT_NE(text.find("Remaining Textures = 1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Remaining Fonts = 1\n"), std::string::npos) << text;
  EXPECT_EQ(GfxFontLiveCount(), 0);
  EXPECT_EQ(GfxTextureLiveCount(), 0);
}

}  // namespace
