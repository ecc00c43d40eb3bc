// test_engine.cpp - the engine under the game: keys and pads through the real event pump, the
// state manager's call order, objects and Animation, the frame's failures and the debug overlay.
#include <GL/glew.h>
#include <SDL.h>
#include <imgui.h>

#include <cmath>

#include "framework/gameobject.h"
#include "framework/quad.h"
#include "hp.h"
#include "kegraphics.h"
#include "keos.h"
#include "kesystem.h"

namespace {

// Callbacks and objects log here; a state can request a change from init or update.
std::string gLog;
GameStateId gRequest = 0;  // asked for in the callback of letter gRequestIn
char gRequestIn = 0;
std::string Frame(bool running = true) {
  gLog.clear();
  EXPECT_EQ(HpStep(1), running);
  return gLog;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(HpEngineStart(320, 240)); }
  void TearDown() override { HpEngineStop(); }
};

TEST_F(EngineTest, KeysPadButtonsSticksTriggersSlotsAndRumble) {
  HpRunState(GS_Battle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  // Held over an auto-repeat: pressed, held, held, up.
  for (int i = 0, held[] = {2, 1, 1, 0}; i < 4; ++i) {
    i == 3 ? HpKeyUp('W') : HpKeyDown('W');  // down again is the keyboard's repeat
    EXPECT_TRUE(HpStep(1) && InputGetKeyValue('W') == held[i]) << "frame " << i;
  }

  int pad = HpPadAttach();
  for (uint16_t bit : {PAD_DPAD_UP, PAD_START, PAD_RIGHT_SHOULDER, PAD_A, PAD_Y}) {
    HpPadButtons(pad, bit, true);
    EXPECT_TRUE(HpStep(1) && InputPadGetState(0)->buttons == bit && InputPadIsTriggered(0, bit));
    HpPadButtons(pad, bit, false);
  }
  // Dead zones (the right stick's larger) and a trigger's light touch read as rest; full is 1.
  const int kLX = SDL_CONTROLLER_AXIS_LEFTX, kRX = SDL_CONTROLLER_AXIS_RIGHTX,
            kRT = SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
  const struct { int axis, raw; float lo, hi; } cases[] = {
      {kLX, 7849, 0, 0}, {kLX, 20000, 0.45f, 0.52f}, {kLX, -32768, -1, -1}, {kRX, 8500, 0, 0},
      {kRX, 32767, 1, 1}, {kRT, 30, 0, 0}, {kRT, 31, 0.001f, 0.01f}, {kRT, 255, 1, 1}};
  for (const auto& c : cases) {
    if (c.axis == kRT) HpPadTrigger(pad, kRT, (uint8_t)c.raw);
    else HpPadAxis(pad, c.axis, (int16_t)c.raw);
    ASSERT_TRUE(HpStep(1));
    float v = c.axis == kRT ? InputPadGetTrigger(0, PAD_RIGHT)
                            : InputPadGetStick(0, c.axis == kLX ? PAD_LEFT : PAD_RIGHT).x;
    EXPECT_TRUE(v >= c.lo - 1e-5f && v <= c.hi + 1e-5f) << c.axis << " at " << c.raw << ": " << v;
  }
  HpPadAxis(pad, kLX, 32767);
  HpPadAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 32767);  // SDL's down; a diagonal capped at length 1
  EXPECT_TRUE(HpStep(1) && std::abs(InputPadGetStick(0, PAD_LEFT).y + 0.7071f) < 1e-3);

  // Slots follow connection order; an unplugged pad's slot empties at once, the others stay.
  int second = HpPadAttach(), third = HpPadAttach();
  HpPadButtons(third, PAD_X, true);
  HpPadDetach(second);
  EXPECT_TRUE(HpStep(1) && !InputPadIsConnected(1) && InputPadGetState(2)->buttons == PAD_X);

  // Rumble is clamped, one motor keeps the other's speed, and it stops on request.
  const struct { void (*set)(int, float); float to; int low, high; } rumbles[] = {
      {InputPadSetVibration, 1.5f, 65535, 65535}, {InputPadSetVibration, -0.2f, 0, 0},
      {InputPadSetRightMotor, 0.25f, 0, 16383},   {InputPadSetLeftMotor, 1, 65535, 16383},
      {InputPadSetLeftMotor, 0, 0, 16383},
      {[](int p, float) { InputPadStopVibration(p); }, 0, 0, 0}};
  for (const auto& r : rumbles) {
    r.set(0, r.to);
    EXPECT_TRUE(HpPadRumble(pad).low == r.low && HpPadRumble(pad).high == r.high) << r.to;
  }
}

void Log(char what) {  // the letter and the state: m the menu, b the other
  gLog += std::string{what, GsmGetCurrentState() == GS_MainMenu ? 'm' : 'b', ' '};
  if (what == gRequestIn) gRequestIn = 0, GsmSetNextState(gRequest);
}

TEST_F(EngineTest, StateManagerCallOrderForChangeRestartAndQuit) {
  GsmCallback l = [] { Log('L'); }, i = [] { Log('I'); }, u = [] { Log('U'); },
              d = [] { Log('D'); }, f = [] { Log('F'); }, x = [] { Log('X'); };
  for (GameStateId id : {GS_Credits, GS_MainMenu}) GsmAddState(id, l, i, u, d, f, x);
  GsmInit(GS_MainMenu);
  EXPECT_EQ(Frame(), "Lm Im Um Dm ");
  GsmSetNextState(GS_Credits);
  EXPECT_EQ(Frame(), "Fm Xm Lb Ib Ub Db ");
  GsmSetNextState(GS_Restart);
  EXPECT_EQ(Frame(), "Fb Ib Ub Db ");
  GsmSetNextState(12345);  // unregistered: ignored
  EXPECT_EQ(Frame(), "Ub Db ");
  gRequest = GS_MainMenu, gRequestIn = 'I';  // a change asked in init runs no frame of its own
  GsmSetNextState(GS_Restart);
  EXPECT_EQ(Frame(), "Fb Ib Fb Xb Lm Im Um Dm ");
  gRequest = GS_Quit, gRequestIn = 'U';  // quit: the frame still draws, the next one unloads
  EXPECT_EQ(Frame(), "Um Dm ");
  EXPECT_EQ(Frame(false), "Fm Xm ");
}

int gDeleted = 0;
struct Probe : GameObject {
  char name;
  Probe(char n, float x) : GameObject(gQuadMesh, nullptr), name(n) {
    position = {x, 0}, scale = {40, 40};
    ObjectListOf(GsmGetCurrentState())->objects.push_back(this);
  }
  ~Probe() override { ++gDeleted; }
  void Move() override { gLog += name; }
};

TEST_F(EngineTest, ObjectsAreWalkedDrawnAndFreedAndAnimationsStopAtTheirFinalValues) {
  HpRunState(GS_SpellSelect, [] { gQuadMesh = CreateQuadMesh(); }, nullptr,
             [] { ObjectListOf(GS_SpellSelect)->Update(); },
             [] { ObjectListOf(GS_SpellSelect)->Draw({1, 1}); },
             [] { ObjectListOf(GS_SpellSelect)->Free(); }, [] { GfxMeshFree(gQuadMesh); });
  ASSERT_TRUE(HpStep(1));
  Probe *shown = new Probe('a', -100), *still = new Probe('s', 0);
  Probe *hidden = new Probe('h', 100), *dead = new Probe('d', 0);
  still->active = hidden->visible = dead->alive = false;
  HpCapture(true);
  EXPECT_EQ(Frame(), "ah");  // inactive and dead ones are skipped, hidden ones run
  auto lit = [](float x) { return (HpPixel(160 + (int)x, 120) & 0xFFFFFF) != 0; };
  EXPECT_TRUE(lit(-100) && lit(0) && lit(-100 + 18) && !lit(100) && !lit(-100 + 23));

  // An Animation joins the battle's list whatever is current and ends on its final values.
  Animation* swing = new Animation(nullptr, {0, 0}, {100, -50}, {10, 10}, {30, 5}, 1.0f, 0, 1.0f);
  ASSERT_EQ(ObjectListOf(GS_Battle)->objects.back(), swing);
  int updates = 0;
  for (; !swing->Animate() && updates < 200; ++updates)
    if (updates == 30 && std::abs(swing->position.x - 50) > 3) ADD_FAILURE() << "not a line";
  EXPECT_TRUE(updates >= 55 && updates <= 65) << updates;  // about a second at 60 a second
  const Animation& w = *swing;
  EXPECT_EQ((std::vector<float>{w.position.x, w.position.y, w.scale.x, w.scale.y, w.rotation}),
            (std::vector<float>{100, -50, 30, 5, 1}));
  for (int i = 0; i < 2; ++i) ObjectListOf(GS_Battle)->Free();

  // Freed objects are retired first and deleted at the next purge, once even if retired twice.
  ObjectList& list = *ObjectListOf(GS_SpellSelect);
  list.Free();
  EXPECT_EQ(gDeleted, 0);
  list.graveyard.push_back(shown);
  list.Free();
  EXPECT_TRUE(gDeleted == 4 && list.objects.empty()) << gDeleted;
  GsmSetNextState(GS_Quit);
  HpStep(2);
}

TEST_F(EngineTest, ShaderErrorsNameTheirStageAndTheDebugOverlayReadsInput) {
  const char* bad = "#version 330\nvoid main(){ not glsl }\n";
  for (GLenum type : {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &bad, nullptr);
    glCompileShader(s);
    GfxCheckShader(s);
    glDeleteShader(s);
  }
  ASSERT_EQ(HpBoxes().size(), 2u);
  EXPECT_EQ(HpBoxes()[1].caption + (HpBoxes()[1].text.empty() ? " without its log" : ""),
            "Fragment Shader Compilation Error");

  // Update runs while Dear ImGui's input record is filled.
  HpRunState(GS_Credits, nullptr, nullptr, [] {
    for (ImWchar c : ImGui::GetIO().InputQueueCharacters) gLog += (char)c;
  }, nullptr, nullptr, nullptr);
  gLog.clear();
  HpPress('P');
  EXPECT_TRUE(gLog == "p" && ImGui::GetIO().DisplaySize.x == 320) << gLog;
}

// 60 frames a second: a frame whose work is done early lasts a sixtieth of a second, one whose
// work takes longer keeps its own length, and nothing is made up for afterwards.
TEST_F(EngineTest, FramesLastASixtiethOfASecondUnlessTheirWorkTakesLonger) {
  static double work = 0;  // seconds of virtual time each update spends
  HpRunState(GS_Credits, nullptr, nullptr, [] { OsClockAdvance(work); }, nullptr, nullptr,
             nullptr);
  for (double w : {0.0, 0.004, 0.0165, 0.025, 0.004}) {
    work = w;
    double start = SysGetTime();
    ASSERT_TRUE(HpStep(1));
    double expected = std::max(w, 1.0 / 60);
    EXPECT_NEAR(SysGetFrameTime(), expected, 1e-6) << "work " << w;
    EXPECT_NEAR(SysGetTime() - start, expected, 1e-6) << "work " << w;
    EXPECT_NEAR(SysGetFrameRate(), 1 / expected, 0.01) << "work " << w;
  }
  work = 0.01;
  uint32_t first = SysGetFrameCount();
  for (double end = SysGetTime() + 1.0; SysGetTime() < end - 1e-6;) ASSERT_TRUE(HpStep(1));
  EXPECT_EQ(SysGetFrameCount() - first, 60u) << "frames in one second";
}

// The battle's own sine and cosine (a flyer's bob) are the float nearest the true value, to the
// last bit or its neighbour, all along the phases a round passes through and past them.
TEST(EngineMathTest, SineAndCosineAreExactToAFloat) {
  auto within = [](float ours, double truth) {
    float t = (float)truth;
    return ours == t || ours == std::nextafter(t, 2.0f) || ours == std::nextafter(t, -2.0f);
  };
  for (float x = -2000; x < 8000; x += 0.0137f) {
    ASSERT_TRUE(within(MathSin(x), sin((double)x))) << "sin " << x;
    ASSERT_TRUE(within(MathCos(x), cos((double)x))) << "cos " << x;
  }
}

// A run nobody watches cannot have a box clicked: resources left at its end are reported on
// standard error alone, and its shut-down says so. A watched run shows the box as well.
TEST(EngineStopTest, LeftResourcesAreReportedAndAnUnwatchedRunShowsNoBox) {
  for (bool unwatched : {true, false}) {
    SysSetHeadless(unwatched);
    ASSERT_TRUE(HpEngineStart());
    ASSERT_NE(GfxTextureLoad("data/icon.png"), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(HpEngineStop());
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("[os] ERROR: NOT ALL RESOURCES HAVE BEEN RELEASED!"), std::string::npos)
        << log;
    EXPECT_EQ(HpBoxes().size(), unwatched ? 0u : 1u);
    ASSERT_TRUE(HpEngineStart());
    EXPECT_TRUE(HpEngineStop()) << "nothing left the second time";
  }
  SysSetHeadless(false);
}

}  // namespace
