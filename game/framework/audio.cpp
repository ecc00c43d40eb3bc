// audio.cpp - AudioSystem over the sound device: slot pool with free and busy lists, the sound
// cache, and the per-slot controls the screens use every frame.
#include "audio.h"

#include "kesound.h"

AudioSystem gAudio;
AudioSystem gHowToPlayAudio;
AudioSystem gCreditsAudio;
AudioSystem gSettingsAudio;

namespace {

const int kChannelCount = 100;

float ClampVolume(float v) {
  if (!(v >= 0.0f)) return 0.0f;  // also catches NaN
  return v > 1.0f ? 1.0f : v;
}

}  // namespace

void ChannelSlot::SetVolume(float v) {
  if (!channel) return;
  volume = ClampVolume(v);
  SndChannelSetVolume(channel, volume);
}

void ChannelSlot::SetLooping(bool on) {
  if (!channel) return;
  looping = on;
  SndChannelSetLoopCount(channel, on ? -1 : 0);
}

void ChannelSlot::SetPaused(bool on) {
  if (!channel) return;
  paused = on;
  SndChannelSetPaused(channel, on);
}

AudioSystem::~AudioSystem() {
  Shutdown();
  delete[] slots;
}

bool AudioSystem::Init() {
  Shutdown();
  system = SndSystemCreate(kChannelCount);
  if (!system) return false;
  // The slot array outlives Shutdown and Init: screens may hold slot pointers for the whole run.
  if (!slots) slots = new ChannelSlot[kChannelCount];
  channelCount = kChannelCount;
  for (int i = 0; i < channelCount; ++i) {
    slots[i] = ChannelSlot();
    freeSlots.push_back(&slots[i]);
  }
  return true;
}

void AudioSystem::Shutdown() {
  if (system) {
    StopAll();
    for (auto& kv : sounds) {
      SndSoundUnload(kv.second->sound);
      delete kv.second;
    }
    sounds.clear();
    soundCount = 0;
    SndSystemFree(system);
    system = nullptr;
  }
  freeSlots.clear();
  busySlots.clear();
  for (int i = 0; slots && i < channelCount; ++i) slots[i].channel = nullptr;
}

void AudioSystem::Update() {
  if (!system) return;
  for (auto it = busySlots.begin(); it != busySlots.end();) {
    ChannelSlot* slot = *it;
    if (slot->channel && SndChannelIsPlaying(slot->channel)) {
      ++it;
      continue;
    }
    freeSlots.push_back(slot);
    it = busySlots.erase(it);
  }
}

SoundEntry* AudioSystem::LoadSound(const char* path) {
  if (!system || !path) return nullptr;
  auto found = sounds.find(path);
  if (found != sounds.end()) return found->second;
  SndSound* sound = SndSoundLoad(path);
  if (!sound) return nullptr;
  SoundEntry* entry = new SoundEntry{sound, path};
  sounds[entry->path] = entry;
  soundCount += 1;
  return entry;
}

void AudioSystem::FreeSound(SoundEntry* entry) {
  if (!system || !entry) return;
  // Found by its address, never read before: an entry of another instance, or one already
  // freed, is not ours to release.
  auto found = sounds.begin();
  while (found != sounds.end() && found->second != entry) ++found;
  if (found == sounds.end()) return;
  SndSoundUnload(entry->sound);
  sounds.erase(found);
  soundCount -= 1;
  delete entry;
}

ChannelSlot* AudioSystem::Play(SoundEntry* entry, float volume) {
  if (!system || !entry || freeSlots.empty()) return nullptr;
  ChannelSlot* slot = freeSlots.back();
  freeSlots.pop_back();
  busySlots.push_back(slot);
  slot->plays += 1;
  SndChannel* channel = SndSystemChannel(system, (int)(slot - slots));
  float v = ClampVolume(volume);
  slot->channel = SndChannelPlay(channel, entry->sound, v) ? channel : nullptr;
  if (slot->channel) {
    slot->paused = false;
    slot->looping = false;
    slot->volume = v;
  }
  return slot;
}

void AudioSystem::StopAll() {
  if (!system) return;
  while (!busySlots.empty()) {
    ChannelSlot* slot = busySlots.back();
    if (slot->channel) SndChannelStop(slot->channel);
    freeSlots.push_back(slot);
    busySlots.pop_back();
  }
}
