// hp.cpp - the test support library over the real engine and game, SDL's event queue and
// virtual joysticks, the GPU's frame and OpenAL Soft's wave files.
#include "hp.h"

#include <SDL.h>
#include <imgui.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "battle/battle.h"
#include "battle/pause.h"
#include "framework/gameobject.h"
#include "game.h"
#include "kegraphics.h"
#include "keos.h"
#include "kesound.h"
#include "kesystem.h"

namespace fs = std::filesystem;

namespace {

struct VirtualPad {
  bool used = false;
  SDL_JoystickID id = -1;
  SDL_Joystick* joystick = nullptr;
  HpRumble rumble = {0, 0, 0};
};

struct HpState {
  std::vector<HpBox> boxes;
  bool capture = false;
  std::vector<uint8_t> frame;  // RGBA, bottom row first
  int frameW = 0, frameH = 0;
  VirtualPad pads[8];
  fs::path home, temp;  // the folder a test left, and its temporary one
};
HpState gHp;

void CaptureBox(const char* text, const char* caption, uint32_t style) {
  gHp.boxes.push_back({text ? text : "", caption ? caption : "", style});
}

void GrabFrame() {
  if (!gHp.capture) return;
  OsGetClientSize(&gHp.frameW, &gHp.frameH);
  gHp.frame.resize((size_t)gHp.frameW * gHp.frameH * 4);
  GfxReadPixels(0, 0, gHp.frameW, gHp.frameH, gHp.frame.data());
}

SDL_Scancode ScancodeOf(int vk) {
  if (vk >= 'A' && vk <= 'Z') return (SDL_Scancode)(SDL_SCANCODE_A + (vk - 'A'));
  if (vk >= '1' && vk <= '9') return (SDL_Scancode)(SDL_SCANCODE_1 + (vk - '1'));
  if (vk >= VK_F1 && vk <= VK_F12) return (SDL_Scancode)(SDL_SCANCODE_F1 + (vk - VK_F1));
  if (vk > VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
    return (SDL_Scancode)(SDL_SCANCODE_KP_1 + (vk - VK_NUMPAD0 - 1));
  const int kOthers[][2] = {{'0', SDL_SCANCODE_0}, {VK_NUMPAD0, SDL_SCANCODE_KP_0},
      {VK_LEFT, SDL_SCANCODE_LEFT}, {VK_UP, SDL_SCANCODE_UP}, {VK_RIGHT, SDL_SCANCODE_RIGHT},
      {VK_DOWN, SDL_SCANCODE_DOWN}, {VK_ESCAPE, SDL_SCANCODE_ESCAPE},
      {VK_RETURN, SDL_SCANCODE_RETURN}, {VK_SPACE, SDL_SCANCODE_SPACE},
      {VK_CONTROL, SDL_SCANCODE_LCTRL}, {VK_MENU, SDL_SCANCODE_LALT}};
  for (const auto& o : kOthers)
    if (o[0] == vk) return (SDL_Scancode)o[1];
  return SDL_SCANCODE_UNKNOWN;
}

void PushKey(int vk, bool down, bool alt) {
  SDL_Event e = {};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = ScancodeOf(vk);
  e.key.keysym.sym = SDL_GetKeyFromScancode(e.key.keysym.scancode);
  e.key.keysym.mod = alt ? KMOD_LALT : KMOD_NONE;
  SDL_PushEvent(&e);
}

void ResetSettings() {
  musicVolume = soundVolume = 1.0f;
  musicVolumeStep = soundVolumeStep = 10;
  muted = false;
  windowSizeIndex = 0;
  for (int i = 0; i < kGameScreenCount; ++i)
    GameScreens()[i].fullscreen = GameScreens()[i].id == GS_MainMenu;
  battleOnHold = holdForHowToPlay = holdForSettings = holdForCredits = false;
  BattleSetNoHealthLoss(false);
}

AudioSystem* const kAudios[] = {&gAudio, &gHowToPlayAudio, &gCreditsAudio, &gSettingsAudio};

// SDL maps a virtual trigger from the whole signed axis onto 0..32767 and the engine keeps its
// top eight bits: the first axis value that reads as the byte.
int16_t AxisForTriggerByte(uint8_t byte) {
  for (int a = -32768; a <= 32767; ++a)
    if ((int)((float)(a + 32768) / 65535.0f * 32767) * 255 / 32767 >= byte) return (int16_t)a;
  return 32767;
}

int SDLCALL RecordRumble(void* userdata, Uint16 low, Uint16 high) {
  HpRumble* r = static_cast<HpRumble*>(userdata);
  *r = {low, high, r->calls + 1};
  return 0;
}

VirtualPad* PadOf(int pad) {
  return pad >= 0 && pad < 8 && gHp.pads[pad].used ? &gHp.pads[pad] : nullptr;
}

bool WriteFile(const char* path, const std::string& bytes) {
  std::error_code err;
  fs::remove(path, err);  // never write through the link into the real data
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return (bool)out;
}

bool LinkTree(const fs::path& from, const fs::path& to) {
  std::error_code err;
  fs::create_directories(to, err);
  for (const fs::directory_entry& e : fs::directory_iterator(from, err)) {
    fs::path target = to / e.path().filename();
    if (e.is_directory() ? !LinkTree(e.path(), target) : !HpLinkFile(e.path(), target))
      return false;
  }
  return !err;
}

}  // namespace

// ---- Starting and stopping

bool HpEngineStart(int w, int h, bool fullscreen) {
  OsClockSetVirtual(true);
  OsSetMessageBoxHook(CaptureBox);
  gHp.boxes.clear();
  GsmReset();
  ScreenUseTable(GameScreens(), kGameScreenCount);
  if (!SysInit("Hollow Pikes")) return false;
  SysSetBeforeSwapHook(GrabFrame);
  ImGui::GetIO().IniFilename = nullptr;  // programs run side by side in one folder
  if (!fullscreen) {
    SysSetFullscreen(false);
    SysSetWindowSize(w, h);
  }
  return true;
}

bool HpEngineStop() {
  HpPadDetachAll();
  SysSetBeforeSwapHook(nullptr);
  bool clean = SysShutdown();
  GsmReset();
  gHp.capture = false;
  return clean;
}

std::vector<HpBox>& HpBoxes() { return gHp.boxes; }

bool HpStart(GameStateId first, int w, int h, bool fullscreen) {
  ResetSettings();
  if (!HpEngineStart(w, h, fullscreen)) return false;
  for (AudioSystem* a : kAudios) a->Init();
  GameRegisterStates();
  ScreenFullscreenFlag(first) = fullscreen;
  GsmInit(first);
  return true;
}

void HpStop() {
  GsmSetNextState(GS_Quit);
  while (HpStep(1)) continue;
  GamePurgeScreens();  // retired objects wait for a purge that never comes after the last frame
  HpPadDetachAll();
  for (AudioSystem* a : kAudios) a->Shutdown();
  HpEngineStop();
}

bool HpStartBattle(HeroId p1, HeroId p2, SpellId s10, SpellId s11, SpellId s20, SpellId s21,
                   int w, int h, bool fullscreen) {
  gMatch = {{p1, p2}, {{s10, s11}, {s20, s21}}, {3, 3}, Round_P1Won};
  for (int i = 0; i < 2; ++i) BoardPlayer(i).spellCursor = 1;
  return HpStart(GS_Battle, w, h, fullscreen) && HpStep(1) && GsmGetCurrentState() == GS_Battle;
}

void HpRunState(GameStateId id, GsmCallback load, GsmCallback init, GsmCallback update,
                GsmCallback draw, GsmCallback free, GsmCallback unload) {
  GsmAddState(id, load, init, update, draw, free, unload);
  GsmInit(id);
}

// ---- Frames and input

bool HpStep(int frames) {
  for (int i = 0; i < frames; ++i)
    if (!GsmStep()) return false;
  return true;
}

bool HpStepUntil(GameStateId id, int frames) {
  for (int i = 0; i < frames && GsmGetCurrentState() != id; ++i)
    if (!HpStep(1)) return false;
  return GsmGetCurrentState() == id;
}

int HpFramesWhileIn(GameStateId id, int limit) {
  int frames = 0;
  while (GsmGetCurrentState() == id && frames < limit && HpStep(1)) ++frames;
  return frames;
}

void HpKeyDown(int vk, bool alt) { PushKey(vk, true, alt); }
void HpKeyUp(int vk, bool alt) { PushKey(vk, false, alt); }

void HpPress(int vk) {
  HpKeyDown(vk);
  HpStep(1);
  HpKeyUp(vk);
  HpStep(1);
}

void HpPress(std::initializer_list<int> keys) {
  for (int vk : keys) HpPress(vk);
}

void HpAltF4() {
  HpKeyDown(VK_MENU);
  HpKeyDown(VK_F4, true);
  HpStep(1);
  HpKeyUp(VK_F4, true);
  HpKeyUp(VK_MENU);
}

int HpPadAttach() {
  int slot = 0;
  while (slot < 8 && gHp.pads[slot].used) ++slot;
  if (slot == 8) return -1;
  VirtualPad& p = gHp.pads[slot];
  p.rumble = {0, 0, 0};
  SDL_VirtualJoystickDesc desc = {};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
  desc.button_mask = (1u << desc.nbuttons) - 1;
  desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
  desc.name = "Test Pad";
  desc.userdata = &p.rumble;
  desc.Rumble = RecordRumble;
  int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0 || !(p.joystick = SDL_JoystickOpen(index))) return -1;
  p.id = SDL_JoystickInstanceID(p.joystick);
  p.used = true;
  // A fresh virtual axis sits at 0, which SDL reads as a half-pulled trigger.
  SDL_JoystickSetVirtualAxis(p.joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
  SDL_JoystickSetVirtualAxis(p.joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
  InputReset();  // poll now rather than in two seconds
  return slot;
}

void HpPadDetach(int pad) {
  VirtualPad* p = PadOf(pad);
  if (!p) return;
  for (int i = 0, n = SDL_NumJoysticks(); i < n; ++i)  // indices shift, instance ids do not
    if (SDL_JoystickGetDeviceInstanceID(i) == p->id) SDL_JoystickDetachVirtual(i);
  SDL_JoystickClose(p->joystick);
  *p = VirtualPad();
}

void HpPadDetachAll() { for (int i = 0; i < 8; ++i) HpPadDetach(i); }

void HpPadButtons(int pad, uint16_t bits, bool down) {
  // SDL's button for each bit of the classic pad, from the lowest (D-pad up) to Y; -1: none.
  const int kButtonOfBit[16] = {11, 12, 13, 14, 6, 4, 7, 8, 9, 10, -1, -1, 0, 1, 2, 3};
  VirtualPad* p = PadOf(pad);
  for (int bit = 0; p && bit < 16; ++bit)
    if ((bits >> bit & 1) && kButtonOfBit[bit] >= 0)
      SDL_JoystickSetVirtualButton(p->joystick, kButtonOfBit[bit], down);
}

void HpPadPress(int pad, uint16_t bits) {
  HpPadButtons(pad, bits, true);
  HpStep(1);
  HpPadButtons(pad, bits, false);
  HpStep(1);
}

void HpPadAxis(int pad, int sdlAxis, int16_t value) {
  if (VirtualPad* p = PadOf(pad)) SDL_JoystickSetVirtualAxis(p->joystick, sdlAxis, value);
}

void HpPadTrigger(int pad, int axis, uint8_t v) { HpPadAxis(pad, axis, AxisForTriggerByte(v)); }

HpRumble HpPadRumble(int pad) {
  VirtualPad* p = PadOf(pad);
  return p ? p->rumble : HpRumble{0, 0, 0};
}

// ---- Pixels

void HpCapture(bool on) { gHp.capture = on; }

uint32_t HpPixel(int x, int y) {
  if (x < 0 || y < 0 || x >= gHp.frameW || y >= gHp.frameH) return 0;
  const uint8_t* p = &gHp.frame[((size_t)(gHp.frameH - 1 - y) * gHp.frameW + x) * 4];
  return (uint32_t)p[3] << 24 | (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
}

int HpFrameWidth() { return gHp.frameW; }
int HpFrameHeight() { return gHp.frameH; }

int HpCountPixels(float x0, float y0, float x1, float y1, unsigned rgb, int tolerance) {
  Vec2 s = ScreenScale();
  int cx = gHp.frameW / 2, cy = gHp.frameH / 2, count = 0;
  for (int y = cy - (int)(y1 * s.y); y < cy - (int)(y0 * s.y); ++y)
    for (int x = cx + (int)(x0 * s.x); x < cx + (int)(x1 * s.x); ++x) {
      unsigned p = HpPixel(x, y);
      bool near = true;
      for (int shift = 0; shift < 24; shift += 8)
        near = near && abs((int)((p >> shift) & 0xFF) - (int)((rgb >> shift) & 0xFF)) <= tolerance;
      count += near;
    }
  return count;
}

// ---- What is alive

HpLive HpLiveNow() { return {GfxTextureLiveCount(), GfxMeshLiveCount(), GfxFontLiveCount()}; }

// ---- The battle

Troop* HpTroop(TroopKind kind, int lane, bool rightSide, float x, bool hold) {
  GameObject* arrow = BoardPlayer(rightSide ? 1 : 0).arrow;
  float y = arrow->position.y;
  arrow->position.y = kLaneSpacing * lane;
  Troop* t = SpawnTroop(kind, lane, rightSide);
  arrow->position.y = y;
  HpTroopMoveTo(t, x);
  if (hold) t->speedFactor = 0;
  return t;
}

void HpTroopMoveTo(Troop* t, float x) {
  float dx = x - t->position.x;
  t->position.x = x;
  t->healthBar->position.x += dx;
  t->rangeMarker->position.x += dx;
}

int HpTroopCount(bool rightSide) {
  int n = 0;
  for (GameObject* o : BoardObjects().objects)
    if (Troop* t = AsTroop(o)) n += t->rightSide == rightSide;
  return n;
}

void HpPressCast(int player) {
  HpKeyDown(player == 0 ? 'Z' : VK_NUMPAD0 + 4);
  HpStep(1);
  HpKeyUp(player == 0 ? 'Z' : VK_NUMPAD0 + 4);
}

void HpCast(int player, int slot) {
  BoardPlayer(player).spellCursor = slot + 1;
  HpPressCast(player);
}

// ---- Sound

std::string HpTempPath(const std::string& name) {
  static std::string dir;
  if (dir.empty()) {
    dir = HpMakeTempFolder("hptest");
    if (dir.empty()) dir = fs::temp_directory_path().string();
  }
  return dir + "/" + name;
}

bool HpWav(const std::string& path, int channels, int rate, int bits, uint32_t frames,
           int (*sample)(uint32_t i)) {
  const uint32_t block = (uint32_t)(channels * bits / 8), bytes = frames * block;
  std::string w = "RIFF";
  auto le = [&w](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) w += (char)(v >> (8 * i) & 0xFF);
  };
  le(36 + bytes, 4);
  w += "WAVEfmt ";
  le(16, 4), le(1, 2), le((uint32_t)channels, 2), le((uint32_t)rate, 4), le(rate * block, 4);
  le(block, 2), le((uint32_t)bits, 2);
  w += "data";
  le(bytes, 4);
  for (uint32_t i = 0; i < frames * (uint32_t)channels; ++i) le((uint32_t)sample(i), bits / 8);
  return WriteFile(path.c_str(), w);
}

std::string HpSineWav(const std::string& name, double seconds) {
  std::string path = HpTempPath(name);
  HpWav(path, 1, 22050, 16, (uint32_t)(seconds * 22050),
        [](uint32_t i) { return (int)(0.5 * 32767 * sin(2 * 3.14159265358979 * 440 * i / 22050)); });
  return path;
}

void HpUseWaveBackend(const std::string& mixPath) {
  std::string conf = HpTempPath("alsoft.conf");
  WriteFile(conf.c_str(),
            "[general]\ndrivers=wave\nchannels=mono\nsample-type=int16\n[wave]\nfile=" + mixPath);
  HpSetEnv("ALSOFT_CONF", conf.c_str());
  HpSetEnv("ALSOFT_DRIVERS", nullptr);  // the test environment picks the null backend for the others
}

double HpMixClock() { return SndDeviceSeconds(); }

void HpMixFor(double seconds, bool frames) {
  // The mixer keeps its own time; a minute without progress means it stopped.
  double end = HpMixClock() + seconds;
  for (int i = 0; i < 6000 && HpMixClock() < end; ++i) {
    if (frames) HpStep(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

double HpMix::Rms(double from, double to) const {
  auto index = [this](double t) {
    return (size_t)std::fmax(0.0, std::fmin(t * rate, (double)samples.size()));
  };
  size_t a = index(from), b = index(to);
  double sum = 0;
  for (size_t i = a; i < b; ++i) sum += (double)samples[i] * samples[i];
  return b > a ? sqrt(sum / (double)(b - a)) : 0.0;
}

bool HpReadMix(const std::string& path, HpMix* out) {
  std::ifstream in(path, std::ios::binary);
  std::string f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Mono 16-bit as configured; a mix still being written has no final length yet.
  size_t data = f.find("data", 36);
  if (f.compare(12, 4, "fmt ") || data == std::string::npos) return false;
  memcpy(&out->rate, &f[24], 4);
  out->samples.resize((f.size() - data - 8) / 2);
  for (size_t i = 0, p = data + 8; i < out->samples.size(); ++i, p += 2)
    out->samples[i] = (float)(int16_t)((uint8_t)f[p] | (uint8_t)f[p + 1] << 8) / 32768;
  return out->rate > 0;
}

std::string HpFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// ---- Data folders and whole games

bool HpFolderEnter(bool withData) {
  gHp.home = fs::current_path();
  gHp.temp = HpMakeTempFolder("hp-play");
  if (gHp.temp.empty()) return false;
  if (withData && !LinkTree(fs::canonical(gHp.home / "data"), gHp.temp / "data")) return false;
  fs::current_path(gHp.temp);
  return true;
}

void HpFolderLeave() {
  if (gHp.temp.empty()) return;
  std::error_code err;
  fs::current_path(gHp.home, err);
  fs::remove_all(gHp.temp, err);
  gHp.temp.clear();
}

std::string HpMakeTempFolder(const char* prefix) {
  std::random_device random;
  std::error_code err;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path dir = fs::temp_directory_path(err) / (std::string(prefix) + "-" + std::to_string(random()));
    if (!err && fs::create_directory(dir, err)) return dir.string();
  }
  return std::string();
}

bool HpTruncate(const char* path, size_t keepBytes) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(keepBytes, '\0');
  in.read(&bytes[0], (std::streamsize)keepBytes);
  bytes.resize((size_t)in.gcount());
  return in.is_open() && WriteFile(path, bytes);
}

bool HpGarbage(const char* path) {
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes += (char)(i * 7919 % 251);
  return WriteFile(path, bytes);
}

bool HpRemove(const char* path) {
  std::error_code err;
  return fs::remove(path, err);
}

void HpPlayMatchRound(void (*check)()) {
  ASSERT_TRUE(HpStart(GS_MainMenu));
  SysSetIcon("data/icon.png");
  for (int i = 0; i < 20 && GsmGetCurrentState() == GS_MainMenu; ++i) HpPress(VK_RETURN);
  // The Knight each; Wind, then the spell of the next column each (the same one is refused).
  HpPress({VK_SPACE, VK_SPACE, VK_SPACE, 'D', VK_SPACE, VK_SPACE, VK_RIGHT, VK_SPACE});
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  if (GsmGetCurrentState() == GS_Battle) {
    check();
    HpPress({'P', 'S', VK_SPACE});  // Settings over the paused battle, and back
    EXPECT_TRUE(HpStepUntil(GS_Settings, 3));
    HpStep(10);
    HpPress(VK_ESCAPE);
    EXPECT_TRUE(HpStepUntil(GS_Battle, 3) && PauseIsOpen());
    HpPress({'W', 'W', 'W', VK_SPACE});  // up to "Continue"
    EXPECT_FALSE(PauseIsOpen());
    // Player 1 summons, now and then a spell, against an idle player 2 until the round ends.
    for (int n = 0; n < 2000 && GsmGetCurrentState() == GS_Battle; ++n) HpPress("1234ZD"[n % 6]);
    EXPECT_EQ(GsmGetCurrentState(), GS_RoundOver) << "the round did not end";
    EXPECT_EQ(gMatch.roundWinner, Round_P1Won);
    EXPECT_TRUE(gMatch.heroHealth[0] == 3 && gMatch.heroHealth[1] == 2);
    EXPECT_TRUE(HpStepUntil(GS_Battle, 400)) << "no next round";
  }
  HpAltF4();
  EXPECT_FALSE(HpStep(1)) << "Alt+F4 did not quit";
  HpStop();
  EXPECT_TRUE(HpLiveNow() == (HpLive{0, 0, 0}));
  EXPECT_TRUE(HpBoxes().empty()) << HpBoxes()[0].text;
}
