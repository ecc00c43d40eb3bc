// Text: glyph placement against the face's own metrics (kerning, line breaks, skipped
// characters), printing in colour without disturbing the drawing parameters, and fonts that
// are freed, missing or broken.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb_truetype.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hptest.h"
#include "kegraphics.h"
#include "states.h"

namespace {

// The face read directly, as an independent measure of where glyphs belong.
struct Face {
  std::string data;
  stbtt_fontinfo info = {};
  float k = 0, lineHeight = 0;

  bool Open(const char* path) {
    std::ifstream in(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (data.empty() || !stbtt_InitFont(&info, (const unsigned char*)data.data(), 0)) return false;
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
  // Glyph box x0, y0, x1, y1 in pixels.
  std::vector<float> Box(int c) const {
    int b[4] = {};
    stbtt_GetGlyphBox(&info, Index(c), &b[0], &b[1], &b[2], &b[3]);
    return {b[0] * k, b[1] * k, b[2] * k, b[3] * k};
  }
};

// x0, y0, s0, t0, x1, y1, s1, t1 of every glyph quad, read back from the GPU buffer.
std::vector<std::vector<float>> Quads(const Mesh* mesh) {
  glBindVertexArray(mesh->vertexArray);
  GLint buffer = 0;
  glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
  glBindBuffer(GL_ARRAY_BUFFER, (GLuint)buffer);
  std::vector<float> v(mesh->vertexCount * 9);
  glGetBufferSubData(GL_ARRAY_BUFFER, 0, (GLsizeiptr)(v.size() * sizeof(float)), v.data());
  glBindVertexArray(0);
  std::vector<std::vector<float>> quads;
  for (size_t q = 0; q < mesh->vertexCount / 6; ++q) {
    const float* lo = &v[(q * 6 + 1) * 9];  // second corner of the first triangle
    const float* hi = &v[(q * 6 + 5) * 9];  // last corner of the second triangle
    quads.push_back({lo[0], lo[1], lo[7], lo[8], hi[0], hi[1], hi[7], hi[8]});
  }
  return quads;
}

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(face.Open("data/font.ttf"));
    ASSERT_TRUE(TestEngineStart(800, 600));
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

TEST_F(TextTest, GlyphPlacementKerningLinesAndSkips) {
  // B starts at A's advance plus the pair's kerning (the face does kern "AV").
  ASSERT_LT(face.Kern('A', 'V'), 0.0f);
  for (const char* pair : {"AB", "AV"}) {
    Mesh* mesh = GfxTextMeshBuild(font, pair);
    ASSERT_NE(mesh, nullptr);
    auto q = Quads(mesh);
    ASSERT_EQ(q.size(), 2u);
    auto a = face.Box(pair[0]), b = face.Box(pair[1]);
    float pen = face.Advance(pair[0]) + face.Kern(pair[0], pair[1]);
    EXPECT_NEAR(q[0][0], a[0], 1e-3) << pair;
    EXPECT_NEAR(q[0][5], a[3], 1e-3) << pair;
    EXPECT_NEAR(q[1][0], pen + b[0], 1e-3) << pair;
    EXPECT_NEAR(q[1][4], pen + b[2], 1e-3) << pair;
    GfxMeshFree(mesh);
  }
  // A line break goes one line height down to x 0.
  Mesh* mesh = GfxTextMeshBuild(font, "A\nB");
  auto q = Quads(mesh);
  ASSERT_EQ(q.size(), 2u);
  EXPECT_NEAR(q[1][0], face.Box('B')[0], 1e-3);
  EXPECT_NEAR(q[1][1], face.Box('B')[1] - face.lineHeight, 1e-3);
  GfxMeshFree(mesh);
  // The drawn width is the widest line's reach; a trailing blank leaves no mark.
  float ab = face.Advance('A') + face.Kern('A', 'B') + face.Box('B')[2];
  EXPECT_NEAR(GfxTextWidth(font, "AB"), ab, 1e-3);
  EXPECT_NEAR(GfxTextWidth(font, "B\nAB \nA"), ab, 1e-3);
  EXPECT_EQ(GfxTextWidth(font, nullptr), 0.0f);
  EXPECT_EQ(GfxTextWidth(nullptr, "AB"), 0.0f);

  // Nothing to draw builds nothing; characters without a glyph are skipped; a byte above 127
  // is a code, not a negative number.
  ASSERT_NE(face.Index(0xC4), 0);
  const struct { const char* text; uint32_t vertices; } cases[] = {
      {"", 0}, {"\n\n", 0}, {"A\x01" "B", 12}, {"A\xC8" "B", 12}, {"\x85", 0}, {"\xC4", 6}};
  for (const auto& c : cases) {
    mesh = GfxTextMeshBuild(font, c.text);
    EXPECT_EQ(mesh ? mesh->vertexCount : 0u, c.vertices) << (int)(unsigned char)c.text[0];
    GfxMeshFree(mesh);
  }
  // Every printable letter has its own place in the atlas: a wide face can overflow it.
  std::string printable;
  for (char c = 33; c < 127; ++c) printable += c;
  mesh = GfxTextMeshBuild(font, printable.c_str());
  q = Quads(mesh);
  ASSERT_EQ(q.size(), printable.size());
  for (size_t i = 0; i < q.size(); ++i)
    EXPECT_TRUE(q[i][2] < q[i][6] && q[i][3] < q[i][7]) << printable[i];
  GfxMeshFree(mesh);
  EXPECT_EQ(GfxMeshLiveCount(), 0);
}

Font* gFont = nullptr;
void PrintTDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, 4, 4, 0, 0, 0);
  GfxSetTransform(m);
  GfxPrint(gFont, "T", 0xFFFF0000);
}

TEST_F(TextTest, PrintDrawsUprightInColourAndRestoresTheParameters) {
  const uint8_t pixel[4] = {9, 9, 9, 9};
  Texture* other = GfxTextureCreate(1, 1, pixel);
  Mtx33 skew;
  MathMtx33ScaleRotTrans(skew, 2, 3, 0, 0.25f, 0.5f);
  GfxSetUseModColor(false);
  GfxSetModColor(0x80112233);
  GfxTextureSet(other);
  GfxSetTextureTransform(skew);
  GfxPrint(font, "Hollow", 0xFFFF0000);
  EXPECT_FALSE(GfxGetUseModColor());
  EXPECT_EQ(GfxGetModColor(), 0x80112233u);
  EXPECT_EQ(GfxGetCurrentTexture(), other);
  EXPECT_EQ(memcmp(&GfxGetTextureTransform(), &skew, sizeof skew), 0);
  EXPECT_EQ(GfxMeshLiveCount(), 0);  // the string's mesh went again
  GfxTextureUnload(other);

  gFont = font;
  TestCaptureFrames(true);
  TestRunState(GS_Battle, nullptr, nullptr, nullptr, PrintTDraw, nullptr, nullptr);
  ASSERT_TRUE(TestStep(2));
  TestSaveFrame("/tmp/hp-text-T.png");
  // World (x, y) is pixel (400 + x, 300 - y) at four times the font size; samples sit 2.5
  // font pixels inside the glyph box, clear of the soft edge.
  auto box = face.Box('T');
  int left = 400 + (int)(box[0] * 4) + 10, middle = 400 + (int)((box[0] + box[2]) * 2);
  int top = 300 - (int)(box[3] * 4) + 10, bottom = 300 - (int)(box[1] * 4) - 10;
  EXPECT_EQ(TestPixel(left, top) & 0xFFFFFF, 0xFF0000u) << "the bar of the T is at the top";
  EXPECT_EQ(TestPixel(left, bottom) & 0xFFFFFF, 0u) << "and not at the bottom";
  EXPECT_EQ(TestPixel(middle, bottom) & 0xFFFFFF, 0xFF0000u) << "the stem reaches the baseline";
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

TEST_F(TextTest, FreedMissingAndBrokenFontsLeaveNothing) {
  GfxFontFree(font);
  font = nullptr;
  for (int i = 0; i < 5; ++i) {
    Font* f = GfxFontCreate(1.0f);
    ASSERT_NE(f, nullptr);
    GfxFontFree(f);
  }
  EXPECT_EQ(GfxFontLiveCount(), 0);
  EXPECT_EQ(GfxTextureLiveCount(), 0);  // the atlases went with their fonts

  std::string garbage(5000, 'x'), cutOff = face.data.substr(0, 4000);
  const std::string* files[] = {nullptr, &garbage, &cutOff};  // missing, not a font, cut off
  for (const std::string* bytes : files) {
    Font* f = reinterpret_cast<Font*>(1);
    std::string err = CreateFontIn(bytes, &f);
    EXPECT_EQ(f, nullptr) << err;
    EXPECT_EQ(err.rfind("[gfx] ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  EXPECT_EQ(GfxFontLiveCount(), 0);
  EXPECT_EQ(GfxTextureLiveCount(), 0);
}

}  // namespace
