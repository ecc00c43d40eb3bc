// audio.h - AudioSystem: a pool of 100 channel slots and a cache of sounds keyed by path, in
// four instances so that screens opened over a paused battle keep their sounds apart.
#pragma once
#include <list>
#include <map>
#include <string>

struct SndSystem;
struct SndChannel;
struct SndSound;

// A loaded sound; the pointer is the caller's handle until FreeSound.
struct SoundEntry {
  SndSound* sound;
  std::string path;
};

// One of the 100 slots. The pointer stays valid for the whole run; once its sound has ended and
// the slot has been recycled it steers whatever the slot plays next.
struct ChannelSlot {
  SndChannel* channel = nullptr;  // null: never played, or the last play failed
  float volume = 1.0f;
  bool looping = false;
  bool paused = true;
  // Plays started in this slot: a holder that notes it can tell its own sound from a later one.
  unsigned plays = 0;

  void SetVolume(float v);  // clamped to [0, 1]
  void SetLooping(bool on);
  void SetPaused(bool on);
};

class AudioSystem {
 public:
  AudioSystem() = default;
  AudioSystem(const AudioSystem&) = delete;  // owns its device channels and slot array
  AudioSystem& operator=(const AudioSystem&) = delete;
  ~AudioSystem();

  // False when no sound device is available: the instance stays off and every call is harmless.
  bool Init();
  // Stops everything, frees every sound still loaded and the channels.
  void Shutdown();
  // Moves slots whose sound has ended back to the free list.
  void Update();
  // The same entry for the same path; null when off or the file cannot be read.
  SoundEntry* LoadSound(const char* path);
  void FreeSound(SoundEntry* entry);  // an entry this instance does not hold is left alone
  // Starts the sound once through, unpaused, already at the given volume (so a muted screen
  // never clicks); null when off, entry is null or all 100 slots are busy.
  ChannelSlot* Play(SoundEntry* entry, float volume);
  void StopAll();

  bool IsOn() const { return system != nullptr; }

  SndSystem* system = nullptr;
  int soundCount = 0;
  int channelCount = 100;
  ChannelSlot* slots = nullptr;
  std::list<ChannelSlot*> freeSlots;
  std::list<ChannelSlot*> busySlots;
  std::map<std::string, SoundEntry*> sounds;
};

extern AudioSystem gAudio;           // battle, main menu, round over, hero and spell selection
extern AudioSystem gHowToPlayAudio;
extern AudioSystem gCreditsAudio;
extern AudioSystem gSettingsAudio;
