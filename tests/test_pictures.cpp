// test_pictures.cpp - what reaches the screen: pictures upright, mirrored and tinted, the resource
// accounting, text, placement at every size, the HUD and the renderer's fill paths.
#include <stb_image_write.h>

#include <algorithm>
#include <climits>
#include <string>

#include "hp.h"
#include "kegraphics.h"
#include "screens/mainmenu.h"

namespace {

uint32_t Rgb(int x, int y) { return HpPixel(x, y) & 0xFFFFFF; }
int Diff(uint32_t a, uint32_t b) {  // the largest difference of the three channels
  auto d = [a, b](int s) { return std::abs((int)(a >> s & 255) - (int)(b >> s & 255)); };
  return std::max({d(0), d(8), d(16)});
}

// The next frame's pixels, and the box where two frames differ (pixels about the centre, y up).
std::vector<uint32_t> Frame() {
  std::vector<uint32_t> px;
  for (int y = 0, ok = HpStep(1); ok && y < HpFrameHeight(); ++y)
    for (int x = 0; x < HpFrameWidth(); ++x) px.push_back(Rgb(x, y));
  return px;
}
struct Box { int left = INT_MAX, right = INT_MIN, bottom = INT_MAX, top = INT_MIN; };
Box Changed(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  Box o;
  int n = (int)std::min(a.size(), b.size()), w = HpFrameWidth(), h = HpFrameHeight();
  for (int i = 0; i < n; ++i)
    if (int x = i % w - w / 2, y = h / 2 - i / w; a[i] != b[i])
      o = {std::min(o.left, x), std::max(o.right, x), std::min(o.bottom, y), std::max(o.top, y)};
  return o;
}

// A quad with the picture, transform, tint and vertex colour the test sets.
struct Scene {
  Mesh* quad = nullptr;
  Texture* picture = nullptr;
  std::string path;
  float sx = 200, sy = 100, x = 100, y = 50;  // pixels 400..600 by 200..300 of an 800x600 frame
  uint32_t tint = 0xFFFFFFFF, vertex = 0xFFFFFFFF;
} gScene;
void SceneLoad() {
  uint32_t c = gScene.vertex;
  GfxMeshStart();
  GfxTriAdd(-0.5f, 0.5f, c, 0, 1, -0.5f, -0.5f, c, 0, 0, 0.5f, -0.5f, c, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, c, 0, 1, 0.5f, -0.5f, c, 1, 0, 0.5f, 0.5f, c, 1, 1);
  gScene.quad = GfxMeshEnd("quad");
  gScene.picture = gScene.path.empty() ? nullptr : GfxTextureLoad(gScene.path.c_str());
}
void SceneDraw() {
  Mtx33 m;
  MathMtx33ScaleRotTrans(m, gScene.sx, gScene.sy, 0, gScene.x, gScene.y);
  GfxSetTransform(m);
  GfxSetUseModColor(true);
  GfxSetModColor(gScene.tint);
  GfxTextureSet(gScene.picture);
  GfxMeshDraw(gScene.quad);
}
void SceneStart() {
  ASSERT_TRUE(HpEngineStart(800, 600));
  HpCapture(true);
  HpRunState(GS_Battle, SceneLoad, nullptr, nullptr, SceneDraw, nullptr,
             [] { GfxMeshFree(gScene.quad); GfxTextureUnload(gScene.picture); });
  ASSERT_TRUE(HpStep(2));
}

TEST(PicturesTest, UprightMirroredTintedAndAccountedFor) {
  // Red, green over blue, white, top row first as files store them.
  const uint8_t rgba[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
  gScene.path = HpTempPath("quadrants.png");
  ASSERT_TRUE(stbi_write_png(gScene.path.c_str(), 2, 2, 4, rgba, 8));
  SceneStart();
  HpLive before = HpLiveNow();
  auto expect = [](std::vector<uint32_t> want) {  // top-left, top-right, bottom-left, -right
    for (int q = 0; q < 4; ++q)
      EXPECT_LE(Diff(Rgb(450 + q % 2 * 100, 225 + q / 2 * 50), want[q]), 4) << std::hex << want[q];
  };
  expect({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  EXPECT_TRUE(Rgb(401, 201) && !(Rgb(398, 250) | Rgb(602, 250) | Rgb(450, 198) | Rgb(450, 302)));
  gScene.sx = -200;  // a negative x scale mirrors
  gScene.tint = 0xFF8080FF;  // halves red and green
  ASSERT_TRUE(HpStep(1));
  expect({0x008000, 0x800000, 0x8080FF, 0x0000FF});

  // Pictures are counted back to where they were, and what is left over is reported at the end.
  Texture* extra = GfxTextureLoad(HpTempPath("QUADRANTS.png").c_str());
  ASSERT_NE(extra, nullptr) << "a name that differs only by case finds the file";
  GfxTextureUnload(extra);
  EXPECT_EQ(HpLiveNow(), before);
  GsmSetNextState(GS_Quit);
  HpStep(2);
  EXPECT_EQ(HpLiveNow(), (HpLive{0, 0, 0}));
  ASSERT_NE(GfxTextureLoad(gScene.path.c_str()), nullptr);
  HpEngineStop();
  ASSERT_EQ(HpBoxes().size(), 1u);
  EXPECT_NE(HpBoxes()[0].text.find("Remaining Textures = 1\n"), std::string::npos)
      << HpBoxes()[0].text;
}

TEST(PicturesTest, MeshColoursAndTextAreDrawnWhereTheyBelong) {
  gScene = Scene();
  gScene.vertex = 0xFFFF0000;  // a mesh asked for in red, under a white tint
  gScene.sx = gScene.sy = 20, gScene.x = gScene.y = 0;
  SceneStart();
  EXPECT_TRUE(Rgb(400, 300) == 0xFF0000u && Rgb(400, 312) == 0) << std::hex << Rgb(400, 300);

  // A red "T" at four times the font size with its pen at the centre: a bar over a stem.
  static Font* gFont = GfxFontCreate(1.0f);
  ASSERT_NE(gFont, nullptr);
  HpRunState(GS_Credits, nullptr, nullptr, nullptr, [] {
    Mtx33 m;
    MathMtx33ScaleRotTrans(m, 4, 4, 0, 0, 0), GfxSetTransform(m), GfxPrint(gFont, "T", 0xFFFF0000);
  }, nullptr, nullptr);
  ASSERT_TRUE(HpStep(1));
  std::vector<int> widths;  // red pixels per row, top down
  for (int y = 0, n = 0; y < 600; ++y, n = 0) {
    for (int x = 0; x < 800; ++x) n += Rgb(x, y) == 0xFF0000u;
    if (n) widths.push_back(n);
    if (n && y > 300) ADD_FAILURE() << "below the baseline at row " << y;
  }
  ASSERT_GT(widths.size(), 60u);
  EXPECT_GT(widths[4], 3 * widths[widths.size() - 5]) << "the bar is at the top";

  // A text printed frame after frame keeps its mesh, its outline one of its own; one no longer
  // printed is let go at the frame's end. None of them is the game's to free.
  int meshes = GfxMeshLiveCount();
  HpRunState(GS_HowToPlay, nullptr, nullptr, nullptr, [] {
    static int frame = 0;
    std::string number = std::to_string(frame++);
    GfxPrint(gFont, "T", 0xFFFF0000);
    GfxPrintOutlined(gFont, "T", 0xFFFF0000, 0xFF000000, 2);
    GfxPrint(gFont, number.c_str(), 0xFFFFFFFF);
  }, nullptr, nullptr);
  ASSERT_TRUE(HpStep(30));
  EXPECT_EQ(GfxTextKeptCount(), 3) << "T, its outline and the last number";
  EXPECT_EQ(GfxMeshLiveCount(), meshes);
  GfxFontFree(gFont);
  EXPECT_EQ(GfxTextKeptCount(), 0) << "a font's texts go with it";
  HpEngineStop();
}

// A sprite is drawn over only the lit part of its picture: the same pixels as the whole quad, for
// an animation frame of a sheet, upright and mirrored, with the next frame's edge bleeding in. Two
// triangles on a rectangle's corners that leave a wedge of it open are no sprite: cut down, they
// would show what the wedge hides.
TEST(PicturesTest, ASpriteCutToItsLitPartLeavesThePixelsAsTheyWere) {
  // Two 64x64 frames side by side. The second is clear but for two blocks with a soft edge, off
  // the picture's edges (which count the opposite edge's texels too); the first has a few texels
  // lit on its last column, beside the second's lower block, which the second's filter reaches.
  // Rows are given as stored, top first: the picture is turned over as it is loaded.
  const int w = 128, h = 64;
  std::vector<uint8_t> rgba(w * h * 4, 0);
  auto block = [&rgba](int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        uint8_t* p = &rgba[(y * w + x) * 4];
        p[0] = (uint8_t)(x * 2), p[1] = (uint8_t)(y * 4), p[2] = 200, p[3] = x == x0 ? 90 : 255;
      }
  };
  block(100, 16, 110, 24);
  block(70, 40, 76, 48);
  block(63, 11, 64, 16);
  static std::string path;
  path = HpTempPath("sheet.png");
  ASSERT_TRUE(stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4));
  ASSERT_TRUE(HpEngineStart(800, 600));
  HpCapture(true);
  static Mesh* meshes[3];  // the quad, then two whose open wedge is at the top or the bottom
  static Texture* sheet;
  static float sx;
  static int shown;
  HpRunState(GS_Battle, [] {
    const float l = -0.5f, r = 0.5f, b = -0.5f, t = 0.5f;
    auto pair = [](float ax, float ay, float bx, float by, float cx, float cy, float dx, float dy,
                   float ex, float ey, float fx, float fy) {
      GfxMeshStart();
      GfxTriAdd(ax, ay, 0, ax + 0.5f, ay + 0.5f, bx, by, 0, bx + 0.5f, by + 0.5f, cx, cy, 0,
                cx + 0.5f, cy + 0.5f);
      GfxTriAdd(dx, dy, 0, dx + 0.5f, dy + 0.5f, ex, ey, 0, ex + 0.5f, ey + 0.5f, fx, fy, 0,
                fx + 0.5f, fy + 0.5f);
      return GfxMeshEnd("pair");
    };
    meshes[0] = pair(l, t, l, b, r, b, l, t, r, b, r, t);
    meshes[1] = pair(l, b, r, b, l, t, l, b, r, b, r, t);  // sharing the bottom edge
    meshes[2] = pair(l, t, r, t, l, b, l, t, r, t, r, b);  // sharing the top edge
    sheet = GfxTextureLoad(path.c_str());
  }, nullptr, nullptr, [] {
    Mtx33 m, frame;
    MathMtx33ScaleRotTrans(m, sx, 400, 0.3f, 10, -20);
    MathMtx33ScaleRotTrans(frame, 0.5f, 1, 0, 0.5f, 0);  // the second frame
    GfxSetTransform(m);
    GfxSetTextureTransform(frame);
    GfxTextureSet(sheet);
    GfxMeshDraw(meshes[shown]);
  }, nullptr, [] {
    for (Mesh* m : meshes) GfxMeshFree(m);
    GfxTextureUnload(sheet);
  });
  for (shown = 0; shown < 3; ++shown)
    for (float scale : {400.0f, -400.0f}) {
      sx = scale;
      // The still layers would give the second frame back as a copy of the first.
      GfxSetFillPaths(GFX_FILL_ALL & ~GFX_FILL_STILL);
      std::vector<uint32_t> cut = Frame();
      GfxSetFillPaths(GFX_FILL_ALL & ~GFX_FILL_STILL & ~GFX_FILL_TRIM);
      std::vector<uint32_t> whole = Frame();
      int worst = 0;
      long lit = 0;
      for (size_t i = 0; i < whole.size(); ++i)
        worst = std::max(worst, Diff(cut[i], whole[i])), lit += whole[i] != 0;
      EXPECT_LE(worst, 4) << "mesh " << shown << ", x scale " << scale;  // the pictures' tolerance
      if (shown == 0) {
        EXPECT_GT(lit, 2000) << "the blocks show";
      }
    }
  GfxSetFillPaths(GFX_FILL_ALL);
  HpEngineStop();
}

// The energy number stands in the board's top-left and keeps its shape at the screen's scale,
// full screen or windowed, from the start or by F11; each spell name ends before the next slot's.
TEST(PicturesTest, HudPlacedAndScaledFullScreenAndWindowedAndNamesFit) {
  Box base;
  for (bool full : {false, true}) {
    ASSERT_TRUE(HpStartBattle(Hero_Knight, Hero_Druid, Spell_Meteor, Spell_Wind, Spell_Stun,
                              Spell_Execute, 800, 600, full));
    HpCapture(true);
    for (int flip = 0; flip < 2; ++flip, HpPress(VK_F11)) {
      float s = full != (flip == 1) ? 1.8f : 1.0f;
      BoardPlayer(0).energy = 11;  // player 1's energy number: "11" against "88"
      std::vector<uint32_t> ones = Frame();
      BoardPlayer(0).energy = 88;
      Box b = Changed(ones, Frame());
      if (!full && !flip) base = b;
      EXPECT_TRUE(b.left < 0 && b.bottom > 0 && b.right > b.left) << "top-left of the board";
      EXPECT_TRUE(std::abs(b.left - base.left * s) < 4 && std::abs(b.right - base.right * s) < 4 &&
                  std::abs(b.bottom - base.bottom * s) < 4 && std::abs(b.top - base.top * s) < 4);
    }
    for (int p = 0; p < 2; ++p) {
      gMatch.spells[p][0] = gMatch.spells[p][1] = Spell_None;
      std::vector<uint32_t> none = Frame();
      Box slot[2];
      for (int i = 0; i < 2; ++i)
        for (SpellId id : {Spell_Meteor, Spell_Execute, Spell_Stun, Spell_Wind}) {
          gMatch.spells[p][i] = id;
          Box n = Changed(none, Frame());
          gMatch.spells[p][i] = Spell_None;
          EXPECT_TRUE(n.right > n.left && n.right <= (full ? 720 : 400)) << p << i << " " << id;
          slot[i] = {std::min(slot[i].left, n.left), std::max(slot[i].right, n.right), 0, 0};
        }
      EXPECT_LT(slot[0].right, slot[1].left) << "player " << p;
    }
    HpStop();
  }
}

// Every screen, full screen and in the 800x600 window, drawn twice from a fresh start with the
// renderer's cheaper fill paths on and off: no more apart than linear filtering may move a pixel.
std::vector<uint32_t> Render(GameStateId id, GameStateId from, int n, bool full, uint32_t fill) {
  MainMenuReplayLogos();
  if (!HpStart(from ? from : id, 800, 600, full)) return {};
  GfxSetFillPaths(fill);
  if (from) HpStep(1), ScreenHandOver(id);
  if (id == GS_MainMenu && n < 30) HpPress(VK_SPACE);  // past the logos
  HpStep(n - 1);
  HpCapture(true);
  std::vector<uint32_t> rgb = Frame();
  GfxSetFillPaths(GFX_FILL_ALL);
  HpStop();
  return rgb;
}

TEST(PicturesTest, EveryScreenLooksTheSameWithAndWithoutTheFillPaths) {
  const struct { GameStateId id, from; int frames; } shots[] = {
      {GS_MainMenu, 0, 10}, {GS_MainMenu, 0, 60}, {GS_Battle, 0, 10}, {GS_RoundOver, 0, 10},
      {GS_HeroSelect, 0, 10}, {GS_SpellSelect, GS_HeroSelect, 10}, {GS_HowToPlay, 0, 10},
      {GS_Settings, 0, 10}, {GS_Credits, 0, 10}};
  for (const auto& s : shots)
    for (bool full : {false, true}) {
      std::vector<uint32_t> on = Render(s.id, s.from, s.frames, full, GFX_FILL_ALL);
      std::vector<uint32_t> off = Render(s.id, s.from, s.frames, full, 0);
      ASSERT_TRUE(!on.empty() && on.size() == off.size());
      long lit = 0, sum = 0, worst = 0;
      for (size_t i = 0; i < on.size(); ++i) {
        long d = Diff(on[i], off[i]);
        lit += on[i] != 0, sum += d, worst = std::max(worst, d);
      }
      SCOPED_TRACE(testing::Message() << s.id << (full ? " full " : " 800x600 ") << s.frames);
      EXPECT_GT(lit, (long)on.size() / 20);  // a picture, not a black frame
      EXPECT_LT(sum, (long)on.size());  // under one level a pixel on average
      EXPECT_LE(worst, 4);
    }
}

// A battle's frames one after another, with the still layers taken over from frame to frame and
// with every frame drawn whole: the same pictures, frame for frame, while a troop walks, a number
// changes, the pause menu opens and closes, and F11 goes to full screen and back.
std::vector<std::vector<uint32_t>> Sequence(uint32_t fill) {
  std::vector<std::vector<uint32_t>> frames;
  if (!HpStartBattle(Hero_Knight, Hero_Druid, Spell_Meteor, Spell_Wind, Spell_Stun,
                     Spell_Execute, 800, 600, false))
    return frames;
  GfxSetFillPaths(fill);
  HpCapture(true);
  auto take = [&frames](int n) {
    while (n-- > 0) frames.push_back(Frame());
  };
  take(3);
  HpTroop(KnightTroop, 2, false, -250, false);
  take(8);
  BoardPlayer(0).energy = 11;
  take(2);
  BoardPlayer(0).energy = 88;
  take(2);
  HpPress(VK_ESCAPE);
  take(3);
  HpPress({'W', 'W', VK_SPACE});  // "Continue"
  take(4);
  HpPress(VK_F11);
  take(4);
  HpPress(VK_F11);
  take(4);
  GfxSetFillPaths(GFX_FILL_ALL);
  HpStop();
  return frames;
}

TEST(PicturesTest, NoFrameOfABattleKeepsAStalePixelFromTheStillLayers) {
  std::vector<std::vector<uint32_t>> kept = Sequence(GFX_FILL_ALL);
  std::vector<std::vector<uint32_t>> whole = Sequence(GFX_FILL_ALL & ~GFX_FILL_STILL);
  ASSERT_EQ(kept.size(), whole.size());
  ASSERT_EQ(kept.size(), 30u);
  for (size_t f = 0; f < kept.size(); ++f) {
    ASSERT_EQ(kept[f].size(), whole[f].size()) << "frame " << f;
    long worst = 0, sum = 0;
    for (size_t i = 0; i < kept[f].size(); ++i) {
      long d = Diff(kept[f][i], whole[f][i]);
      sum += d, worst = std::max(worst, d);
    }
    EXPECT_LE(worst, 4) << "frame " << f;
    EXPECT_LT(sum, (long)kept[f].size()) << "frame " << f;
  }
  EXPECT_NE(kept[3], kept[10]) << "the troop did not walk";
  EXPECT_NE(kept[12], kept[14]) << "the number did not change";
  EXPECT_NE(kept[14], kept[17]) << "the pause menu did not open";
  EXPECT_NE(kept[21].size(), kept[25].size()) << "F11 did not change the size";
}

}  // namespace
