// settings.cpp - settings: music and sound volume, full screen, window size and mute on a wooden
// board with an arrow between the rows; back to the main menu or to the paused battle.
#include "screens/settings.h"

#include "battle/match.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "framework/quad.h"
#include "keinput.h"
#include "kegraphics.h"
#include "kesystem.h"
#include "screens/heldbattle.h"
#include "screens/screen.h"
#include "states.h"

namespace {

// The arrow's y decides the row.
const float kRowMusic = 210, kRowSound = 110, kRowFullscreen = 10, kRowWindowSize = -90,
            kRowMute = -190;
const float kRowStep = 100;
const int kSquares = 10;
const uint32_t kWhite = 0xFFFFFFFF, kGrey = 0xFF808080;

enum SettingsPicture { PIC_Background, PIC_Arrow, PIC_Square, PIC_On, PIC_Off, PIC_Count };
const char* const kPictureFiles[PIC_Count] = {
    "data/WoodenBG.png", "data/Arrow2.png", "data/VolumeSquare.png", "data/On.png", "data/Off.png",
};

struct SettingsState {
  Texture* pictures[PIC_Count] = {};
  Font* font = nullptr;
  SoundEntry* music = nullptr;
  SoundEntry* select = nullptr;
  ChannelSlot* settingsMusicChannel = nullptr;
  ChannelSlot* settingsEffectChannel = nullptr;  // none until the first selection sound
  GameObject* arrow = nullptr;
  GameObject* fullscreenSign = nullptr;
  GameObject* muteSign = nullptr;
  GameObject* musicSquares[kSquares] = {};
  GameObject* soundSquares[kSquares] = {};
  uint32_t windowSizeColor = kWhite;
  ScreenLabel<15> musicLabel;
  ScreenLabel<30> soundLabel, fullscreenLabel, windowSizeLabel, muteLabel;
  ScreenLabel<50> windowSizeValue;
};
SettingsState gSettings;

bool& SettingsFullscreen() {
  return ScreenFullscreenFlag(GS_Settings);
}

void SettingsPlaySelect() {
  gSettings.settingsEffectChannel = gSettingsAudio.Play(gSettings.select, ScreenSoundVolume());
}

void SettingsToggleFullscreen() {
  SettingsPlaySelect();
  bool& on = SettingsFullscreen();
  on = !on;
  SysSetFullscreen(on);
}

// A pair of arrows either side of a row: the left one mirrored.
void SettingsRowArrows(float leftX, float y) {
  CreateGameObject(gQuadMesh, gSettings.pictures[PIC_Arrow], leftX, y, -30, 30);
  CreateGameObject(gQuadMesh, gSettings.pictures[PIC_Arrow], 300, y, 30, 30);
}

void SettingsBar(float y) {
  GameObject* bar = CreateGameObject(gQuadMesh, nullptr, 103, y, 360, 50);
  bar->tinted = true;
  bar->color = 0xFF1E1303;
}

void SettingsSquares(GameObject* (&squares)[kSquares], float y) {
  for (int i = 0; i < kSquares; ++i)
    squares[i] = CreateGameObject(gQuadMesh, gSettings.pictures[PIC_Square], -55 + 35.0f * i, y,
                                  30, 30);
}

GameObject* SettingsSign(bool on, float y) {
  return CreateGameObject(gQuadMesh, gSettings.pictures[on ? PIC_On : PIC_Off], 160, y, 160, 80);
}

void SettingsShowSign(GameObject* sign, bool on) {
  sign->texture = gSettings.pictures[on ? PIC_On : PIC_Off];
}

void SettingsShowSquares(GameObject* const (&squares)[kSquares], int step) {
  for (int i = 0; i < kSquares; ++i) squares[i]->visible = i < step;
}

// Right raises, otherwise Left lowers, by a tenth; the step alone bounds the change. True when
// the volume changed.
bool SettingsStepVolume(float* volume, int32_t* step) {
  if (InputIsTriggered(VK_RIGHT)) {
    if (*step == 10) return false;
    *volume += 0.1f;
    *step += 1;
    return true;
  }
  if (InputIsTriggered(VK_LEFT) && *step != 0) {
    *volume -= 0.1f;
    *step -= 1;
    return true;
  }
  return false;
}

void SettingsMoveArrow() {
  float& y = gSettings.arrow->position.y;
  if (InputIsTriggered(VK_DOWN) || InputPadIsTriggered(0, PAD_DPAD_DOWN))
    y = y == kRowMute ? kRowMusic : y - kRowStep;
  else if (InputIsTriggered(VK_UP) || InputPadIsTriggered(0, PAD_DPAD_UP))
    y = y == kRowMusic ? kRowMute : y + kRowStep;
}

void SettingsChangeRow() {
  bool left = InputIsTriggered(VK_LEFT), right = InputIsTriggered(VK_RIGHT);
  float row = gSettings.arrow->position.y;
  if (row == kRowMusic) {
    SettingsStepVolume(&musicVolume, &musicVolumeStep);
  } else if (row == kRowSound) {
    if (SettingsStepVolume(&soundVolume, &soundVolumeStep)) SettingsPlaySelect();
  } else if (row == kRowFullscreen) {
    if (left || right) SettingsToggleFullscreen();
  } else if (row == kRowMute) {
    if (left || right) {
      muted = !muted;
      SettingsPlaySelect();
    }
  } else if (row == kRowWindowSize && !SettingsFullscreen()) {
    if (left) windowSizeIndex = windowSizeIndex == 0 ? kWindowSizeCount - 1 : windowSizeIndex - 1;
    if (right) windowSizeIndex = windowSizeIndex == kWindowSizeCount - 1 ? 0 : windowSizeIndex + 1;
  }
}

bool SettingsBackPressed() {
  return InputIsTriggered('Q') || InputIsTriggered(VK_ESCAPE) || InputPadIsTriggered(0, PAD_B) ||
         InputPadIsTriggered(1, PAD_B);
}

}  // namespace

void SettingsLoad() {
  for (int i = 0; i < PIC_Count; ++i) gSettings.pictures[i] = GfxTextureLoad(kPictureFiles[i]);
  HeldBattleQuadCreate();
  gSettings.font = GfxFontCreate(1.0f);
  gSettings.music = gSettingsAudio.LoadSound("data/Sound/Pause.wav");
  gSettings.select = gSettingsAudio.LoadSound("data/Sound/WoodSelect.wav");
}

void SettingsInit() {
  CreateGameObject(gQuadMesh, gSettings.pictures[PIC_Background], 0, 0, 800, 610);
  gSettings.arrow = CreateGameObject(gQuadMesh, gSettings.pictures[PIC_Arrow], -350, kRowSound,
                                     60, 60);
  SettingsRowArrows(0, kRowWindowSize);
  SettingsRowArrows(-100, kRowMusic);
  SettingsRowArrows(-100, kRowSound);
  SettingsBar(kRowSound);
  SettingsBar(kRowMusic);
  SettingsSquares(gSettings.soundSquares, kRowSound);
  SettingsSquares(gSettings.musicSquares, kRowMusic);
  gSettings.fullscreenSign = SettingsSign(SettingsFullscreen(), kRowFullscreen);
  gSettings.muteSign = SettingsSign(muted, kRowMute);

  const float k = 1.25f;
  gSettings.musicLabel = {"", -300, 200, k, kWhite};
  gSettings.musicLabel.Format("Music");
  gSettings.soundLabel = {"", -310, 100, k, kWhite};
  gSettings.soundLabel.Format("Sound");
  gSettings.fullscreenLabel = {"", -310, 0, k, kWhite};
  gSettings.fullscreenLabel.Format("Toggle Fullscreen");
  gSettings.windowSizeLabel = {"", -310, -100, k, kWhite};
  gSettings.windowSizeLabel.Format("Window size");
  gSettings.muteLabel = {"", -310, -200, k, kWhite};
  gSettings.muteLabel.Format("Mute");
  gSettings.windowSizeValue = {"", 45, -100, k, kWhite};

  gSettings.settingsEffectChannel = nullptr;
  gSettings.settingsMusicChannel = gSettingsAudio.Play(gSettings.music, ScreenMusicVolume());
  if (gSettings.settingsMusicChannel) gSettings.settingsMusicChannel->SetLooping(true);
}

void SettingsUpdate() {
  if (!ScreenPrologue(gSettingsAudio,
                      {gSettings.settingsMusicChannel, gSettings.settingsEffectChannel}))
    return;
  ScreenKeepChannel(gSettings.settingsMusicChannel, ScreenMusicVolume());
  ScreenKeepChannel(gSettings.settingsEffectChannel, ScreenSoundVolume());
  ObjectListOf(GS_Settings)->Update();
  gSettingsAudio.Update();

  // F11 flips this screen's own flag (not the window's), the same switch as the row below.
  if (InputIsTriggered(VK_F11)) SettingsToggleFullscreen();
  SettingsShowSign(gSettings.fullscreenSign, SettingsFullscreen());
  gSettings.windowSizeColor = SettingsFullscreen() ? kGrey : kWhite;

  SettingsMoveArrow();
  SettingsChangeRow();
  if (SettingsBackPressed()) HeldBattleReturn(holdForSettings);

  SettingsShowSquares(gSettings.soundSquares, soundVolumeStep);
  SettingsShowSquares(gSettings.musicSquares, musicVolumeStep);
  const WindowSize& size = kWindowSizes[windowSizeIndex];
  if (!SettingsFullscreen()) SysSetWindowSize(size.width, size.height);
  SettingsShowSign(gSettings.muteSign, muted);
}

void SettingsDraw() {
  ObjectListOf(GS_Settings)->Draw(ScreenScale());
  const WindowSize& size = kWindowSizes[windowSizeIndex];
  gSettings.windowSizeValue.Format("%i x %i", (int)size.width, (int)size.height);
  gSettings.windowSizeLabel.color = gSettings.windowSizeValue.color = gSettings.windowSizeColor;
  gSettings.musicLabel.Print(gSettings.font);
  gSettings.soundLabel.Print(gSettings.font);
  gSettings.fullscreenLabel.Print(gSettings.font);
  gSettings.windowSizeLabel.Print(gSettings.font);
  gSettings.muteLabel.Print(gSettings.font);
  gSettings.windowSizeValue.Print(gSettings.font);
}

void SettingsFree() {
  ObjectListOf(GS_Settings)->Free();
  HeldBattleReleaseFree(&holdForSettings);
  gSettingsAudio.StopAll();
  gSettings.settingsMusicChannel = gSettings.settingsEffectChannel = nullptr;
}

void SettingsUnload() {
  ScreenUnloadPictures(gSettings.pictures);
  GfxFontFree(gSettings.font);
  gSettings.font = nullptr;
  gSettingsAudio.FreeSound(gSettings.music);
  gSettingsAudio.FreeSound(gSettings.select);
  gSettings.music = gSettings.select = nullptr;
  HeldBattleUnload(&holdForSettings);
}
