// Text: the baked font against the face's own metrics, glyph placement with kerning and line
// breaks, skipped characters, printing in colour without disturbing the drawing parameters,
// a missing or broken font file, and a picture-and-text scene saved for a look.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb_truetype.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hptest.h"
#include "kegraphics.h"

namespace {

// The face read directly, as an independent measure of where glyphs belong.
struct Face {
  std::vector<unsigned char> data;
  stbtt_fontinfo info = {};
  float k = 0, lineHeight = 0;

  bool Open(const char* path) {
    std::ifstream in(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (data.empty() || !stbtt_InitFont(&info, data.data(), 0)) return false;
    int ascent, descent, gap;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    k = 40.0f / (ascent - descent);
    lineHeight = (ascent - descent + gap) * k;
    return true;
  }
  int Index(int c) const { return stbtt_FindGlyphIndex(&info, c); }
  float Advance(int c) const {
    int adv, lsb;
    stbtt_GetGlyphHMetrics(&info, Index(c), &adv, &lsb);
    return adv * k;
  }
  float Kern(int a, int b) const { return stbtt_GetGlyphKernAdvance(&info, Index(a), Index(b)) * k; }
  void Box(int c, float* x0, float* y0, float* x1, float* y1) const {
    int bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;
    stbtt_GetGlyphBox(&info, Index(c), &bx0, &by0, &bx1, &by1);
    *x0 = bx0 * k;
    *y0 = by0 * k;
    *x1 = bx1 * k;
    *y1 = by1 * k;
  }
};

struct Corner {
  float x, y, s, t;
};
// Lower-left and upper-right corners of every glyph quad, read back from the GPU buffer.
std::vector<std::pair<Corner, Corner>> QuadCorners(const Mesh* mesh) {
  glBindVertexArray(mesh->vertexArray);
  GLint buffer = 0;
  glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
  glBindBuffer(GL_ARRAY_BUFFER, (GLuint)buffer);
  std::vector<float> v(mesh->vertexCount * 9);
  glGetBufferSubData(GL_ARRAY_BUFFER, 0, (GLsizeiptr)(v.size() * sizeof(float)), v.data());
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  std::vector<std::pair<Corner, Corner>> quads;
  for (size_t q = 0; q < mesh->vertexCount / 6; ++q) {
    const float* lo = &v[(q * 6 + 1) * 9];  // second corner of the first triangle: (x0, y0)
    const float* hi = &v[(q * 6 + 5) * 9];  // last corner of the second triangle: (x1, y1)
    quads.push_back({{lo[0], lo[1], lo[7], lo[8]}, {hi[0], hi[1], hi[7], hi[8]}});
  }
  return quads;
}

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(face.Open("data/font.ttf"));
    ASSERT_TRUE(TestEngineStart());
    font = GfxFontCreate(1.0f);
    ASSERT_NE(font, nullptr);
  }
  void TearDown() override {
    GfxFontFree(font);
    TestEngineStop();
  }
  Face face;
  Font* font = nullptr;
};

TEST_F(TextTest, AtlasIsWhiteWithCoverageInEveryChannel) {
  EXPECT_STREQ(font->name, "data/font.ttf");
  EXPECT_EQ(font->size, 40);
  ASSERT_NE(font->texture, nullptr);
  EXPECT_STREQ(font->texture->name, "data/font.ttf");
  int size = font->texture->width;
  EXPECT_EQ(font->texture->height, size);
  EXPECT_GE(size, 256);
  EXPECT_EQ(size & (size - 1), 0);
  EXPECT_EQ(GfxFontLiveCount(), 1);
  EXPECT_EQ(GfxTextureLiveCount(), 1);
  std::vector<uint8_t> texels((size_t)size * size * 4);
  glBindTexture(GL_TEXTURE_2D, font->texture->textureName);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  size_t covered = 0, mixed = 0;
  for (size_t i = 0; i < texels.size(); i += 4) {
    if (texels[i + 3]) ++covered;
    if (texels[i] != texels[i + 3] || texels[i + 1] != texels[i + 3] || texels[i + 2] != texels[i + 3]) ++mixed;
  }
  EXPECT_GT(covered, (size_t)size * size / 10);
  EXPECT_EQ(mixed, 0u);
}

TEST_F(TextTest, EveryPrintableCharacterHasItsOwnPlaceInTheAtlas) {
  // A wide face at 40 pixels overflows a small atlas; no letter may come out blank.
  for (int c = 33; c < 127; ++c) {
    char text[2] = {(char)c, 0};
    Mesh* mesh = GfxTextMeshBuild(font, text);
    ASSERT_NE(mesh, nullptr) << (char)c;
    auto quad = QuadCorners(mesh)[0];
    EXPECT_LT(quad.first.s, quad.second.s) << (char)c;
    EXPECT_LT(quad.first.t, quad.second.t) << (char)c;  // t from the bottom: the top is higher
    GfxMeshFree(mesh);
  }
}

TEST_F(TextTest, SecondLetterStartsAtTheAdvancePlusKerning) {
  for (const char* pair : {"AB", "AV", "To"}) {
    Mesh* mesh = GfxTextMeshBuild(font, pair);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertexCount, 12u);
    auto quads = QuadCorners(mesh);
    float ax0, ay0, ax1, ay1, bx0, by0, bx1, by1;
    face.Box(pair[0], &ax0, &ay0, &ax1, &ay1);
    face.Box(pair[1], &bx0, &by0, &bx1, &by1);
    EXPECT_NEAR(quads[0].first.x, ax0, 1e-3) << pair;
    EXPECT_NEAR(quads[0].second.y, ay1, 1e-3) << pair;
    float penB = face.Advance(pair[0]) + face.Kern(pair[0], pair[1]);
    EXPECT_NEAR(quads[1].first.x, penB + bx0, 1e-3) << pair;
    EXPECT_NEAR(quads[1].second.x, penB + bx1, 1e-3) << pair;
    EXPECT_NEAR(quads[1].first.y, by0, 1e-3) << pair;
    GfxMeshFree(mesh);
  }
  EXPECT_LT(face.Kern('A', 'V'), 0.0f);  // the face does kern that pair, so the check above bites
}

TEST_F(TextTest, LineBreakGoesOneLineDownToTheLeftEdge) {
  Mesh* mesh = GfxTextMeshBuild(font, "A\nB");
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->vertexCount, 12u);
  auto quads = QuadCorners(mesh);
  float x0, y0, x1, y1;
  face.Box('B', &x0, &y0, &x1, &y1);
  EXPECT_NEAR(quads[1].first.x, x0, 1e-3);
  EXPECT_NEAR(quads[1].first.y, y0 - face.lineHeight, 1e-3);
  EXPECT_NEAR(quads[1].second.y, y1 - face.lineHeight, 1e-3);
  GfxMeshFree(mesh);
}

TEST_F(TextTest, NothingToDrawBuildsNothing) {
  int meshes = GfxMeshLiveCount();
  EXPECT_EQ(GfxTextMeshBuild(font, ""), nullptr);
  EXPECT_EQ(GfxTextMeshBuild(font, "\n\n"), nullptr);
  EXPECT_EQ(GfxTextMeshBuild(font, nullptr), nullptr);
  EXPECT_EQ(GfxTextMeshBuild(nullptr, "A"), nullptr);
  EXPECT_EQ(GfxMeshLiveCount(), meshes);
}

TEST_F(TextTest, CharactersWithoutAGlyphAreSkipped) {
  ASSERT_NE(face.Index(0xC4), 0);  // the face has A with diaeresis, code 196
  struct Case {
    const char* text;
    uint32_t vertices;
  } cases[] = {
      {"A\x01" "B", 12},   // control code
      {"A\xC8" "B", 12},   // above the baked range
      {"\x85", 0},         // inside the range, but the face has no glyph for it
      {"\xC4", 6},         // a byte above 127 is a code, not a negative number
  };
  for (const Case& c : cases) {
    Mesh* mesh = GfxTextMeshBuild(font, c.text);
    EXPECT_EQ(mesh ? mesh->vertexCount : 0u, c.vertices) << (int)(unsigned char)c.text[0];
    GfxMeshFree(mesh);
  }
  std::string longText(5000, 'A');  // two triangles a letter: the collection keeps 4096
  Mesh* mesh = GfxTextMeshBuild(font, longText.c_str());
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->vertexCount, 24576u);
  GfxMeshFree(mesh);
}

TEST_F(TextTest, PrintLeavesTheDrawingParametersAsTheyWere) {
  const uint8_t pixel[4] = {9, 9, 9, 9};
  Texture* other = GfxTextureCreate(1, 1, pixel);
  Mtx33 skew;
  MathMtx33ScaleRotTrans(skew, 2, 3, 0, 0.25f, 0.5f);
  GfxSetUseModColor(false);
  GfxSetModColor(0x80112233);
  GfxTextureSet(other);
  GfxSetTextureTransform(skew);
  int meshes = GfxMeshLiveCount();
  GfxPrint(font, "Hollow", 0xFFFF0000);
  EXPECT_FALSE(GfxGetUseModColor());
  EXPECT_EQ(GfxGetModColor(), 0x80112233u);
  EXPECT_EQ(GfxGetCurrentTexture(), other);
  const Mtx33& after = GfxGetTextureTransform();
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(after.m[r][c], skew.m[r][c]);
  EXPECT_EQ(GfxMeshLiveCount(), meshes);  // the string's mesh went again
  GfxTextureUnload(other);
}

Font* gFont = nullptr;
Font* gPrintFont = nullptr;
uint32_t gColour = 0xFFFF0000;
void PrintTDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, 4, 4, 0, 0, 0);
  GfxSetTransform(m);
  GfxPrint(gPrintFont, "T", gColour);
}

TEST_F(TextTest, PrintedLetterStandsUprightInItsColour) {
  gFont = font;
  gPrintFont = font;
  gColour = 0xFFFF0000;
  TestCaptureFrames(true);
  TestRunState(GS_Battle, nullptr, nullptr, nullptr, PrintTDraw, nullptr, nullptr);
  ASSERT_TRUE(TestStep(2));
  float x0, y0, x1, y1;
  face.Box('T', &x0, &y0, &x1, &y1);
  // World (x, y) is pixel (400 + x, 300 - y); the text is drawn four times its size.
  // Samples sit 2.5 font pixels inside the box, clear of the letter's soft edge.
  int left = 400 + (int)(x0 * 4) + 10, middle = 400 + (int)((x0 + x1) * 2);
  int top = 300 - (int)(y1 * 4) + 10, bottom = 300 - (int)(y0 * 4) - 10;
  EXPECT_EQ(TestPixel(left, top) & 0xFFFFFF, 0xFF0000u) << "the bar of the T is at the top";
  EXPECT_EQ(TestPixel(left, bottom) & 0xFFFFFF, 0u) << "and not at the bottom";
  EXPECT_EQ(TestPixel(middle, bottom) & 0xFFFFFF, 0xFF0000u) << "the stem reaches the baseline";
  gPrintFont = nullptr;  // printing with no font draws nothing
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(TestPixel(left, top) & 0xFFFFFF, 0u);
  EXPECT_EQ(TestPixel(middle, bottom) & 0xFFFFFF, 0u);
}

TEST_F(TextTest, FiveCreateAndFreeCyclesLeaveNothing) {
  GfxFontFree(font);
  font = nullptr;
  for (int i = 0; i < 5; ++i) {
    Font* f = GfxFontCreate(1.0f);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(GfxFontLiveCount(), 1);
    GfxFontFree(f);
  }
  GfxFontFree(nullptr);
  EXPECT_EQ(GfxFontLiveCount(), 0);
  EXPECT_EQ(GfxTextureLiveCount(), 0);  // the atlases went with their fonts
}

// Runs GfxFontCreate in a scratch folder whose data/font.ttf holds the given bytes (or is
// absent), and returns what it printed on standard error.
std::string CreateFontIn(const std::string* bytes, Font** out) {
  char tmpl[] = "/tmp/hp-font-XXXXXX";
  std::string dir = mkdtemp(tmpl) ? tmpl : "";
  std::filesystem::create_directory(dir + "/data");
  if (bytes) std::ofstream(dir + "/data/font.ttf", std::ios::binary) << *bytes;
  std::string back = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  testing::internal::CaptureStderr();
  *out = GfxFontCreate(1.0f);
  std::string err = testing::internal::GetCapturedStderr();
  std::filesystem::current_path(back);
  std::filesystem::remove_all(dir);
  return err;
}

TEST_F(TextTest, MissingOrBrokenFontFileGivesNullAndOneLine) {
  std::ifstream in("data/font.ttf", std::ios::binary);
  std::string real((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string garbage(5000, 'x'), cutOff = real.substr(0, 4000), tiny = real.substr(0, 6);
  struct Case {
    const char* what;
    const std::string* bytes;
  } cases[] = {{"missing", nullptr}, {"garbage", &garbage}, {"cut off", &cutOff}, {"tiny", &tiny}};
  for (const Case& c : cases) {
    Font* f = reinterpret_cast<Font*>(1);
    std::string err = CreateFontIn(c.bytes, &f);
    EXPECT_EQ(f, nullptr) << c.what;
    EXPECT_EQ(err.rfind("[gfx] ", 0), 0u) << c.what << ": " << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.what << ": " << err;
  }
  EXPECT_EQ(GfxFontLiveCount(), 1);  // only the fixture's own font
  EXPECT_EQ(GfxTextureLiveCount(), 1);
  GfxPrint(nullptr, "A", 0xFFFFFFFF);
  EXPECT_EQ(GfxMeshLiveCount(), 0);
}

// A picture from the game's data and a line of text, saved for a look with the eye.
Texture* gBackground = nullptr;
Mesh* gQuad = nullptr;
void SceneLoad() {
  gBackground = GfxTextureLoad("data/WoodenBG.png");
  GfxMeshStart();
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, -0.5f, -0.5f, 0, 0, 0, 0.5f, -0.5f, 0, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, 0, 0, 1, 0.5f, -0.5f, 0, 1, 0, 0.5f, 0.5f, 0, 1, 1);
  gQuad = GfxMeshEnd("quad");
}
void SceneDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, 800, 600, 0, 0, 0);
  GfxSetTransform(m);
  GfxTextureSet(gBackground);
  GfxMeshDraw(gQuad);
  MathMtx33ScaleRotTrans(m, 1.2f, 1.2f, 0, -350, 40);
  GfxSetTransform(m);
  GfxPrint(gFont, "Hollow Pikes: 3 lanes, 12 troops!", 0xFFFFFF00);
  MathMtx33ScaleRotTrans(m, 1, 1, 0, -350, -40);
  GfxSetTransform(m);
  GfxPrint(gFont, "Kerning: AV To Wa\nSecond line \xC4", 0xFFFFFFFF);
}
void SceneUnload() {
  GfxTextureUnload(gBackground);
  GfxMeshFree(gQuad);
}

TEST_F(TextTest, SceneWithPictureAndTextIsSavedForALook) {
  gFont = font;
  TestCaptureFrames(true);
  TestRunState(GS_Battle, SceneLoad, nullptr, nullptr, SceneDraw, nullptr, SceneUnload);
  ASSERT_TRUE(TestStep(2));
  ASSERT_NE(gBackground, nullptr);
  EXPECT_TRUE(TestSaveFrame("/tmp/graphics-scene.png"));
  size_t yellow = 0;
  for (int y = 200; y < 300; ++y)
    for (int x = 60; x < 740; ++x) {
      uint32_t px = TestPixel(x, y);
      if (((px >> 16) & 0xFF) > 240 && ((px >> 8) & 0xFF) > 240 && (px & 0xFF) < 40) ++yellow;
    }
  EXPECT_GT(yellow, 1000u);
}

}  // namespace
