// test_engine.cpp - the engine under the game: keys and pads through the real event pump, the
// state manager's call order, objects and Animation, the frame's failures and the debug overlay.
#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <imgui.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "framework/gameobject.h"
#include "framework/quad.h"
#include "hp.h"
#include "kegraphics.h"
#include "keinput.h"
#include "keos.h"
#include "screens/screen.h"

namespace {

// Runs the game's program with the environment change `prepare` makes; its exit status, or -1
// when it was still running after six seconds.
int RunGame(const std::function<void()>& prepare, const std::string& errLog) {
  pid_t pid = fork();
  if (pid == 0) {
    prepare();
    if (!freopen(errLog.c_str(), "w", stderr)) _exit(126);
    execl("./hollow-pikes", "hollow-pikes", (char*)nullptr);
    _exit(127);
  }
  int status = 0;
  for (int i = 0; i < 300; ++i, usleep(20000))
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(HpEngineStart(320, 240)); }
  void TearDown() override { HpEngineStop(); }
};

TEST_F(EngineTest, KeyFramesAndPadButtonsSticksTriggersAndSlots) {
  HpRunState(GS_Battle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  // Held over an auto-repeat reads pressed, held, held, then up; down and up in one frame is unseen.
  const int held[] = {2, 1, 1, 0};
  HpKeyDown('W');
  for (int i = 0; i < 4; ++i) {
    if (i == 1) HpKeyDown('W');
    if (i == 3) HpKeyUp('W');
    ASSERT_TRUE(HpStep(1));
    EXPECT_EQ(InputGetKeyValue('W'), held[i]) << "frame " << i;
  }
  HpKeyDown(VK_SPACE);
  HpKeyUp(VK_SPACE);
  ASSERT_TRUE(HpStep(1));
  EXPECT_FALSE(InputIsPressed(VK_SPACE) || InputIsTriggered(VK_SPACE));

  int pad = HpPadAttach();
  ASSERT_TRUE(InputPadIsConnected(0));
  for (uint16_t bit : {PAD_DPAD_UP, PAD_START, PAD_RIGHT_SHOULDER, PAD_A, PAD_Y}) {
    HpPadButtons(pad, bit, true);
    ASSERT_TRUE(HpStep(1));
    EXPECT_EQ(InputPadGetState(0)->buttons, bit);
    EXPECT_TRUE(InputPadIsTriggered(0, bit));
    HpPadButtons(pad, bit, false);
  }
  // Stick dead zones (the right one larger), y up, a diagonal capped at length 1.
  const struct { int axis; int16_t raw; float lo, hi; } sticks[] = {
      {SDL_CONTROLLER_AXIS_LEFTX, 7000, 0, 0},      {SDL_CONTROLLER_AXIS_LEFTX, 7849, 0, 0},
      {SDL_CONTROLLER_AXIS_LEFTX, 20000, 0.45f, 0.52f}, {SDL_CONTROLLER_AXIS_LEFTX, -32768, -1, -1},
      {SDL_CONTROLLER_AXIS_RIGHTX, 8500, 0, 0},     {SDL_CONTROLLER_AXIS_RIGHTX, 32767, 1, 1}};
  for (const auto& c : sticks) {
    HpPadAxis(pad, c.axis, c.raw);
    ASSERT_TRUE(HpStep(1));
    float v = InputPadGetStick(0, c.axis == SDL_CONTROLLER_AXIS_LEFTX ? PAD_LEFT : PAD_RIGHT).x;
    EXPECT_GE(v, c.lo - 1e-5f) << c.axis << " " << c.raw;
    EXPECT_LE(v, c.hi + 1e-5f) << c.axis << " " << c.raw;
    HpPadAxis(pad, c.axis, 0);
  }
  HpPadAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  HpPadAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 32767);  // SDL's down
  ASSERT_TRUE(HpStep(1));
  Vec2 diagonal = InputPadGetStick(0, PAD_LEFT);
  EXPECT_NEAR(diagonal.x, 0.7071f, 1e-3);
  EXPECT_NEAR(diagonal.y, -0.7071f, 1e-3);
  // Triggers: a light touch reads released, a full pull 1.
  const struct { uint8_t raw; float lo, hi; } triggers[] = {{30, 0, 0}, {31, 0.001f, 0.01f},
                                                            {142, 0.45f, 0.52f}, {255, 1, 1}};
  for (const auto& c : triggers) {
    HpPadTrigger(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, c.raw);
    ASSERT_TRUE(HpStep(1));
    float v = InputPadGetTrigger(0, PAD_RIGHT);
    EXPECT_TRUE(v >= c.lo - 1e-5f && v <= c.hi + 1e-5f) << (int)c.raw << " reads " << v;
  }

  // Slots follow connection order; an unplugged pad's slot empties at once, the others stay.
  int second = HpPadAttach(), third = HpPadAttach();
  HpPadButtons(second, PAD_B, true);
  HpPadButtons(third, PAD_X, true);
  ASSERT_TRUE(HpStep(1));
  EXPECT_EQ(InputPadGetState(1)->buttons, PAD_B);
  EXPECT_EQ(InputPadGetState(2)->buttons, PAD_X);
  HpPadDetach(second);
  ASSERT_TRUE(HpStep(1));
  EXPECT_FALSE(InputPadIsConnected(1) || InputPadIsPressed(1, PAD_B));
  EXPECT_EQ(InputPadGetState(2)->buttons, PAD_X);
}

TEST_F(EngineTest, RumbleIsClampedKeepsTheOtherMotorAndStops) {
  int a = HpPadAttach();
  ASSERT_TRUE(InputPadIsConnected(0));
  InputPadSetVibration(0, 1.5f);
  EXPECT_EQ(HpPadRumble(a).low, 65535);
  EXPECT_EQ(HpPadRumble(a).high, 65535);
  InputPadSetVibration(0, -0.2f);
  EXPECT_EQ(HpPadRumble(a).low + HpPadRumble(a).high, 0);
  InputPadSetRightMotor(0, 0.25f);
  InputPadSetLeftMotor(0, 1.0f);
  InputPadSetLeftMotor(0, 0.0f);
  EXPECT_EQ(HpPadRumble(a).high, 16383);
  InputPadStopVibration(0);
  EXPECT_EQ(HpPadRumble(a).low + HpPadRumble(a).high, 0);
  int calls = HpPadRumble(a).calls;
  InputPadSetVibration(2, 1.0f);  // an empty slot reaches no pad
  EXPECT_EQ(HpPadRumble(a).calls, calls);
}

// Every callback logs its letter and the current state (m: the menu, b: the other); a request
// can be made from update or init.
std::string gLog;
GameStateId gRequest = 0;
char gRequestIn = 0;
void Log(char what) {
  gLog += std::string{what, GsmGetCurrentState() == GS_MainMenu ? 'm' : 'b', ' '};
  if (what == gRequestIn) gRequestIn = 0, GsmSetNextState(gRequest);
}
std::string Frame(bool running = true) {
  gLog.clear();
  EXPECT_EQ(HpStep(1), running);
  return gLog;
}

TEST_F(EngineTest, StateManagerCallOrderForChangeRestartAndQuit) {
  const GsmCallback l = [] { Log('L'); }, i = [] { Log('I'); }, u = [] { Log('U'); },
                    d = [] { Log('D'); }, f = [] { Log('F'); }, x = [] { Log('X'); };
  GsmAddState(GS_Credits, l, i, u, d, f, x);
  GsmAddState(GS_MainMenu, l, i, u, d, f, x);
  GsmInit(GS_MainMenu);
  EXPECT_EQ(Frame(), "Lm Im Um Dm ");
  GsmSetNextState(GS_Credits);
  EXPECT_EQ(Frame(), "Fm Xm Lb Ib Ub Db ");
  GsmSetNextState(GS_Restart);
  EXPECT_EQ(Frame(), "Fb Ib Ub Db ");
  EXPECT_EQ(GsmGetPreviousState(), GS_MainMenu);
  GsmSetNextState(12345);  // unregistered: ignored
  EXPECT_EQ(Frame(), "Ub Db ");
  gRequest = GS_MainMenu, gRequestIn = 'I';  // a change asked in init runs no frame of its own
  GsmSetNextState(GS_Restart);
  EXPECT_EQ(Frame(), "Fb Ib Fb Xb Lm Im Um Dm ");
  gRequest = GS_Quit, gRequestIn = 'U';  // quit: the frame still draws, the next one unloads
  EXPECT_EQ(Frame(), "Um Dm ");
  EXPECT_EQ(Frame(false), "Fm Xm ");
  EXPECT_FALSE(HpStep(1));
}

// Logs its operations; can be switched off in the ways the game does.
std::string gCalls;
int gDeleted = 0;
struct Probe : GameObject {
  char name;
  explicit Probe(char n, float x) : GameObject(gQuadMesh, nullptr), name(n) {
    position = {x, 0};
    scale = {40, 40};
    ObjectListOf(GsmGetCurrentState())->objects.push_back(this);
  }
  ~Probe() override { ++gDeleted; }
  void Move() override { gCalls += name, gCalls += 'M'; }
  void FindTarget() override { gCalls += 'F'; }
  void Attack() override { gCalls += 'A'; }
  void UpdateEffects() override { gCalls += 'U'; }
  bool Animate() override { return gCalls += "N ", false; }
};

TEST_F(EngineTest, ObjectsAreWalkedDrawnAndFreedAndAnimationsStopAtTheirFinalValues) {
  HpRunState(GS_SpellSelect, [] { gQuadMesh = CreateQuadMesh(); }, nullptr,
             [] { ObjectListOf(GS_SpellSelect)->Update(); },
             [] { ObjectListOf(GS_SpellSelect)->Draw(ScreenScale()); },
             [] { ObjectListOf(GS_SpellSelect)->Free(); }, [] { GfxMeshFree(gQuadMesh); });
  ASSERT_TRUE(HpStep(1));
  Probe* shown = new Probe('a', -100);
  Probe* still = new Probe('s', 0);
  Probe* hidden = new Probe('h', 100);
  Probe* dead = new Probe('d', 0);
  still->active = false;
  hidden->visible = false;
  dead->alive = false;
  HpCapture(true);
  gCalls.clear();
  ASSERT_TRUE(HpStep(1));
  EXPECT_EQ(gCalls, "aMFAUN hMFAUN ");  // inactive and dead ones are skipped, hidden ones run
  auto lit = [](float x) { return (HpPixel(160 + (int)x, 120) & 0xFFFFFF) != 0; };
  EXPECT_TRUE(lit(-100) && lit(0) && lit(-100 + 18));
  EXPECT_FALSE(lit(100) || lit(-100 + 23));
  EXPECT_TRUE(ObjectListOf(GS_Battle)->objects.empty());  // each state has its own list

  // An Animation joins the battle's list whatever is current; it ends on its final values.
  ASSERT_TRUE(HpStep(2));
  Animation* swing = new Animation(nullptr, {0, 0}, {100, -50}, {10, 10}, {30, 5}, 1.0f, 0, 1.0f);
  ASSERT_EQ(ObjectListOf(GS_Battle)->objects.back(), swing);
  int updates = 0;
  for (; !swing->Animate() && updates < 200; ++updates) {
    if (updates == 30) {
      EXPECT_NEAR(swing->position.x, 50, 3) << "a straight line, not a jump";
    }
  }
  EXPECT_GE(updates, 55);
  EXPECT_LE(updates, 65);
  EXPECT_FLOAT_EQ(swing->position.x, 100);
  EXPECT_FLOAT_EQ(swing->position.y, -50);
  EXPECT_FLOAT_EQ(swing->scale.x, 30);
  EXPECT_FLOAT_EQ(swing->scale.y, 5);
  EXPECT_FLOAT_EQ(swing->rotation, 1);
  ObjectListOf(GS_Battle)->Free();
  ObjectListOf(GS_Battle)->Free();

  // Freed objects are retired first and deleted at the next purge, once even if retired twice.
  ObjectList& list = *ObjectListOf(GS_SpellSelect);
  list.Free();
  EXPECT_EQ(gDeleted, 0);
  list.graveyard.push_back(shown);
  list.Free();
  EXPECT_EQ(gDeleted, 4);
  EXPECT_TRUE(list.objects.empty());
  GsmSetNextState(GS_Quit);
  HpStep(2);
}

TEST_F(EngineTest, ShaderErrorsNameTheirStageAndTheDebugOverlayReadsInput) {
  for (GLenum type : {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}) {
    GLuint s = glCreateShader(type);
    const char* bad = "#version 330\nvoid main(){ this is not glsl }\n";
    glShaderSource(s, 1, &bad, nullptr);
    glCompileShader(s);
    GfxCheckShader(s);
    glDeleteShader(s);
  }
  ASSERT_EQ(HpBoxes().size(), 2u);
  EXPECT_EQ(HpBoxes()[0].caption, "Vertex Shader Compilation Error");
  EXPECT_EQ(HpBoxes()[1].caption, "Fragment Shader Compilation Error");
  EXPECT_FALSE(HpBoxes()[1].text.empty());

  // Update runs while Dear ImGui's input record is filled.
  HpRunState(GS_Credits, nullptr, nullptr, [] {
    for (ImWchar c : ImGui::GetIO().InputQueueCharacters) gLog += (char)c;
  }, nullptr, nullptr, nullptr);
  gLog.clear();
  HpPress('P');
  EXPECT_EQ(gLog, "p");
  EXPECT_EQ(ImGui::GetIO().DisplaySize.x, 320.0f);
  EXPECT_NEAR(ImGui::GetIO().DeltaTime, 1.0f / 60, 1e-4);
}

TEST(EngineStartTest, NoOpenGl33ShowsTheBoxAndFailsStartUp) {
  EXPECT_EXIT(
      {
        setenv("MESA_GL_VERSION_OVERRIDE", "3.0", 1);
        setenv("MESA_GLSL_VERSION_OVERRIDE", "130", 1);
        bool started = HpEngineStart();
        bool shown = HpBoxes().size() == 1 && HpBoxes()[0].caption == "OpenGL 3.3 Not Supported";
        _exit(!started && shown ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(EngineStartTest, SecondCopyAndNoDisplayEndAtOnce) {
  char dir[] = "/tmp/hp-lock-XXXXXX";  // private, so a game running elsewhere cannot interfere
  ASSERT_NE(mkdtemp(dir), nullptr);
  setenv("XDG_RUNTIME_DIR", dir, 1);
  std::string log = HpTempPath("stderr.txt");
  ASSERT_TRUE(OsInstanceLockAcquire("Hollow Pikes"));
  EXPECT_EQ(RunGame([] {}, log), 0) << "the second copy did not leave at once";
  OsInstanceLockRelease();

  // Over ssh without X forwarding: one line saying why and status 1, never an unseen game.
  EXPECT_EQ(RunGame([] {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) unsetenv(name);
  }, log), 1);
  std::ifstream in(log);
  std::string first, more;
  std::getline(in, first);
  EXPECT_EQ(first.rfind("[os] no display could be opened", 0), 0u) << first;
  EXPECT_FALSE(std::getline(in, more)) << more;
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
