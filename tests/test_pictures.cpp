// test_pictures.cpp - what reaches the screen: pictures upright, mirrored and tinted, the resource
// accounting, text, placement at every size, minimising, the HUD and the renderer's fill paths.
#include <gtest/gtest.h>
#include <stb_image_write.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "battle/board.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "hp.h"
#include "kegraphics.h"
#include "keinput.h"
#include "keos.h"
#include "kesound.h"
#include "kesystem.h"
#include "screens/mainmenu.h"
#include "screens/screen.h"

namespace {

uint32_t Rgb(int x, int y) { return HpPixel(x, y) & 0xFFFFFF; }

// A box of changed pixels, in pixels about the frame's centre with y up.
struct Box {
  int left = INT_MAX, right = INT_MIN, bottom = INT_MAX, top = INT_MIN;
  bool Empty() const { return right < left; }
};
std::vector<uint32_t> Frame() {
  HpStep(1);
  std::vector<uint32_t> px;
  for (int y = 0; y < HpFrameHeight(); ++y)
    for (int x = 0; x < HpFrameWidth(); ++x) px.push_back(Rgb(x, y));
  return px;
}
Box Changed(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  Box box;
  int w = HpFrameWidth(), h = HpFrameHeight();
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] == b[i]) continue;
    int x = (int)(i % w) - w / 2, y = h / 2 - (int)(i / w);
    box = {std::min(box.left, x), std::max(box.right, x), std::min(box.bottom, y), std::max(box.top, y)};
  }
  return box;
}

// A quad of pictures drawn with a transform, tint and mesh colour the test sets.
struct Scene {
  Mesh* quad = nullptr;
  Texture* picture = nullptr;
  std::string path;
  float sx = 200, sy = 100, x = 100, y = 50;
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
void SceneUnload() {
  GfxMeshFree(gScene.quad);
  GfxTextureUnload(gScene.picture);
}

// Top-left, top-right, bottom-left, bottom-right of pixels x 400..600, y 200..300.
void ExpectQuadrants(const uint32_t want[4]) {
  const int at[4][2] = {{450, 225}, {550, 225}, {450, 275}, {550, 275}};
  for (int q = 0; q < 4; ++q)
    for (int shift = 0; shift <= 16; shift += 8)
      EXPECT_NEAR((int)(Rgb(at[q][0], at[q][1]) >> shift & 0xFF), (int)(want[q] >> shift & 0xFF), 4)
          << "quadrant " << q;
}

TEST(PicturesTest, UprightMirroredTintedAndAccountedFor) {
  // Red, green over blue, white, top row first as files store them.
  const uint8_t rgba[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
  gScene.path = HpTempPath("quadrants.png");
  ASSERT_TRUE(stbi_write_png(gScene.path.c_str(), 2, 2, 4, rgba, 8));
  ASSERT_TRUE(HpEngineStart(800, 600));
  HpLive before = HpLiveNow();
  HpCapture(true);
  HpRunState(GS_Battle, SceneLoad, nullptr, nullptr, SceneDraw, nullptr, SceneUnload);
  ASSERT_TRUE(HpStep(2));
  ASSERT_NE(gScene.picture, nullptr);
  ExpectQuadrants((const uint32_t[]){0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  EXPECT_NE(Rgb(401, 201), 0u);  // it fills its transform and no more
  EXPECT_EQ(Rgb(398, 250) | Rgb(602, 250) | Rgb(450, 198) | Rgb(450, 302), 0u);
  gScene.sx = -200;  // a negative x scale mirrors
  gScene.tint = 0xFF8080FF;  // halves red and green
  ASSERT_TRUE(HpStep(1));
  ExpectQuadrants((const uint32_t[]){0x008000, 0x800000, 0x8080FF, 0x0000FF});

  // Loaded and unloaded pictures are counted back to where they were; one left over and two
  // meshes are named in the report at shut-down.
  Texture* extra = GfxTextureLoad(gScene.path.c_str());
  ASSERT_NE(extra, nullptr);
  EXPECT_EQ(GfxTextureLiveCount(), before.textures + 2);
  GfxTextureUnload(extra);
  EXPECT_EQ(GfxTextureLiveCount(), before.textures + 1);
  EXPECT_EQ(GfxTextureLoad(HpTempPath("missing.png").c_str()), nullptr);
  GsmSetNextState(GS_Quit);
  HpStep(2);
  EXPECT_EQ(HpLiveNow(), before);
  ASSERT_NE(GfxTextureLoad(gScene.path.c_str()), nullptr);
  for (int i = 0; i < 2; ++i) {
    GfxMeshStart();
    GfxTriAdd(0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1);
    ASSERT_NE(GfxMeshEnd(nullptr), nullptr);
  }
  HpEngineStop();
  ASSERT_EQ(HpBoxes().size(), 1u);
  EXPECT_NE(HpBoxes()[0].text.find("Remaining Textures = 1\n"), std::string::npos);
  EXPECT_NE(HpBoxes()[0].text.find("Remaining Triangle Meshes = 2\n"), std::string::npos);
  EXPECT_EQ(HpLiveNow(), (HpLive{0, 0, 0}));
  gScene = Scene();
}

Font* gFont = nullptr;
TEST(PicturesTest, MeshColoursAndTextAreDrawnWhereTheyBelong) {
  ASSERT_TRUE(HpEngineStart(800, 600));
  gScene.vertex = 0xFFFF0000;  // a mesh asked for in red, under a white tint
  gScene.sx = gScene.sy = 20;
  gScene.x = gScene.y = 0;
  HpCapture(true);
  HpRunState(GS_Battle, SceneLoad, nullptr, nullptr, SceneDraw, nullptr, SceneUnload);
  ASSERT_TRUE(HpStep(2));
  EXPECT_EQ(Rgb(400, 300), 0xFF0000u);
  EXPECT_EQ(Rgb(400, 312), 0u);

  // A red "T" at four times the font size, its pen at the centre: a bar over a stem.
  gFont = GfxFontCreate(1.0f);
  ASSERT_NE(gFont, nullptr);
  HpRunState(GS_Credits, nullptr, nullptr, nullptr, [] {
    Mtx33 m;
    MathMtx33ScaleRotTrans(m, 4, 4, 0, 0, 0);
    GfxSetTransform(m);
    GfxPrint(gFont, "T", 0xFFFF0000);
  }, nullptr, nullptr);
  ASSERT_TRUE(HpStep(1));
  std::vector<int> widths;  // red pixels per row, top down
  for (int y = 0; y < 600; ++y) {
    int n = 0;
    for (int x = 0; x < 800; ++x) n += Rgb(x, y) == 0xFF0000u;
    if (!n) continue;
    widths.push_back(n);
    EXPECT_LE(y, 300) << "a glyph without descender stays above its baseline";
  }
  ASSERT_GT(widths.size(), 60u);
  EXPECT_GT(widths[4], 3 * widths[widths.size() - 5]) << "the bar is at the top";
  EXPECT_EQ(Rgb(398, 250) | Rgb(395, 150), 0u);  // it starts at its pen
  GfxFontFree(gFont);
  HpEngineStop();
  gScene = Scene();
}

// A screen written the way every screen is: an object at (200, 0), music, F11.
struct TestScreen {
  SoundEntry* sound = nullptr;
  ChannelSlot* music = nullptr;
  int updates = 0;
} gS;
void TsLoad() {
  gQuadMesh = CreateQuadMesh();
  gS.sound = gAudio.LoadSound(HpSineWav("music.wav", 0.5).c_str());
}
void TsInit() {
  CreateGameObject(gQuadMesh, nullptr, 200, 0, 100, 100);
  if ((gS.music = gAudio.Play(gS.sound, ScreenMusicVolume()))) gS.music->SetLooping(true);
}
void TsUpdate() {
  if (!ScreenPrologue(gAudio, {gS.music})) return;
  ++gS.updates;
  ScreenKeepChannel(gS.music, ScreenMusicVolume());
  ObjectListOf(GsmGetCurrentState())->Update();
  ScreenCheckF11();
}
void TsDraw() { ObjectListOf(GsmGetCurrentState())->Draw(ScreenScale()); }
void TsFree() {
  ObjectListOf(GsmGetCurrentState())->Free();
  gAudio.StopAll();
}
void TsUnload() {
  GfxMeshFree(gQuadMesh);
  gAudio.FreeSound(gS.sound);
}
bool TsStart(int w, int h, bool full) {
  gS = TestScreen();
  if (!HpEngineStart(w, h, full) || !gAudio.Init()) return false;
  ScreenFullscreenFlag(GS_Credits) = full;
  HpCapture(true);
  HpRunState(GS_Credits, TsLoad, TsInit, TsUpdate, TsDraw, TsFree, TsUnload);
  return HpStep(2);
}
void TsStop() {
  GsmSetNextState(GS_Quit);
  HpStep(2);
  ObjectListOf(GS_Credits)->Free();
  gAudio.Shutdown();
  HpEngineStop();
}
// The object, 100 wide at (200, 0), at scale f in a frame of w by h.
bool DrawnAt(float f, int w, int h) {
  int cx = (int)(w / 2 + 200 * f), cy = h / 2, half = (int)(50 * f);
  return HpFrameWidth() == w && HpFrameHeight() == h && Rgb(cx - half + 2, cy) && Rgb(cx + half - 2, cy) &&
         !Rgb(cx - half - 3, cy) && !Rgb(cx + half + 3, cy);
}

TEST(PicturesTest, PlacementFullScreenAndWindowedAndF11) {
  ASSERT_TRUE(TsStart(800, 600, true));  // the first frame already fills the display
  EXPECT_TRUE(DrawnAt(1.8f, 1920, 1080));
  for (bool full : {false, true}) {
    HpPress(VK_F11);
    EXPECT_EQ(SysIsFullscreen(), full);
    EXPECT_TRUE(full ? DrawnAt(1.8f, 1920, 1080) : DrawnAt(1.0f, 800, 600)) << full;
  }
  TsStop();
}

TEST(PicturesTest, MinimisingPausesTheMusicAndRestoringResumesIt) {
  if (!HpDisplayStart(1024, 768, true)) GTEST_SKIP() << "no private display with a window manager";
  ASSERT_TRUE(TsStart(320, 240, false) && HpStep(1) && gS.music);
  auto until = [](bool paused) {  // the window manager answers in its own time
    for (int i = 0; i < 300 && HpStep(1) && SndChannelIsPaused(gS.music->channel) != paused; ++i)
      usleep(10000);
    return ScreenIsMinimised() == paused && SndChannelIsPaused(gS.music->channel) == paused;
  };
  OsMinimise();
  EXPECT_TRUE(until(true));
  int updates = gS.updates;
  HpStep(5);
  EXPECT_EQ(gS.updates, updates);  // nothing of the screen runs meanwhile
  OsRestore();
  EXPECT_TRUE(until(false));
  EXPECT_GT(gS.updates, updates);
  TsStop();
  HpDisplayStop();
}

// Player 1's energy number ("11" against "88" on the same board) at three sizes: in the board's
// top-left, and the same shape scaled with the screen.
TEST(PicturesTest, HudEnergyNumberScalesAndSpellNamesFit) {
  const struct { int index, w, h; bool full; float scale; } sizes[] = {
      {0, 800, 600, false, 1.0f}, {2, 1280, 960, false, 1.6f}, {0, 1920, 1080, true, 1.8f}};
  Box base;
  for (const auto& c : sizes) {
    SCOPED_TRACE(c.w);
    ASSERT_TRUE(HpStartBattle(Hero_Knight, Hero_Druid, Spell_Meteor, Spell_Wind, Spell_Stun,
                              Spell_Execute, c.w, c.h, c.full));
    windowSizeIndex = c.index;
    SysSetWindowSize(c.w, c.h);
    HpCapture(true);
    BoardPlayer(0).energy = 11;
    std::vector<uint32_t> ones = Frame();
    BoardPlayer(0).energy = 88;
    Box b = Changed(ones, Frame());
    ASSERT_FALSE(b.Empty());
    if (c.scale == 1.0f) base = b;
    EXPECT_TRUE(b.left < 0 && b.bottom > 0) << "top-left of the board";
    EXPECT_NEAR(b.left, base.left * c.scale, 4);
    EXPECT_NEAR(b.right, base.right * c.scale, 4);
    EXPECT_NEAR(b.bottom, base.bottom * c.scale, 4);
    EXPECT_NEAR(b.top, base.top * c.scale, 4);
    if (c.full) {
      // Each name shown alone in its slot ends before the next slot's name starts, and inside
      // the board, however long it is.
      const SpellId spells[4] = {Spell_Meteor, Spell_Execute, Spell_Stun, Spell_Wind};
      for (int p = 0; p < 2; ++p) {
        gMatch.spells[p][0] = gMatch.spells[p][1] = Spell_None;
        std::vector<uint32_t> none = Frame();
        Box slot[2];
        for (int s = 0; s < 2; ++s)
          for (SpellId id : spells) {
            gMatch.spells[p][s] = id;
            Box n = Changed(none, Frame());
            gMatch.spells[p][s] = Spell_None;
            ASSERT_FALSE(n.Empty());
            slot[s] = {std::min(slot[s].left, n.left), std::max(slot[s].right, n.right), 0, 0};
            EXPECT_LE(n.right, 400 * c.scale) << p << s << id;
          }
        EXPECT_LT(slot[0].right, slot[1].left) << "player " << p;
      }
    }
    HpStop();
  }
  windowSizeIndex = 0;
}

// Every screen, full screen and in the 800x600 window, drawn twice from a fresh start with the
// renderer's cheaper fill paths on and off: no more apart than linear filtering may move a pixel.
std::vector<uint32_t> Render(GameStateId id, GameStateId from, int frames, bool full, uint32_t paths) {
  MainMenuReplayLogos();
  std::vector<uint32_t> rgb;
  if (!HpStart(from ? from : id, 800, 600, full)) return rgb;
  GfxSetFillPaths(paths);
  if (from) HpStep(1), ScreenHandOver(id);
  if (id == GS_MainMenu && frames < 30) HpPress(VK_SPACE);  // past the logos
  HpStep(frames - 1);
  HpCapture(true);
  rgb = Frame();
  HpCapture(false);
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
      SCOPED_TRACE(std::to_string(s.id) + (full ? " full screen" : " 800x600") + std::to_string(s.frames));
      std::vector<uint32_t> on = Render(s.id, s.from, s.frames, full, GFX_FILL_ALL);
      std::vector<uint32_t> off = Render(s.id, s.from, s.frames, full, 0);
      ASSERT_FALSE(on.empty());
      ASSERT_EQ(on.size(), off.size());
      double sum = 0;
      int worst = 0;
      long lit = 0;
      for (size_t i = 0; i < on.size(); ++i) {
        lit += on[i] != 0;
        for (int shift : {0, 8, 16}) {
          int d = std::abs((int)(on[i] >> shift & 0xFF) - (int)(off[i] >> shift & 0xFF));
          sum += d;
          worst = std::max(worst, d);
        }
      }
      EXPECT_GT(lit, (long)on.size() / 20);  // a picture, not a black frame
      EXPECT_LT(sum / (on.size() * 3.0), 1.0);
      EXPECT_LE(worst, 4);
    }
}

}  // namespace
