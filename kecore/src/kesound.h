// kesound.h - the engine's sound device: one shared output device, groups of channels (one group
// per AudioSystem of the game), sounds decoded from WAV files. The only code that uses OpenAL.
#pragma once

struct SndSystem;   // a group of channels on the shared device
struct SndChannel;  // one voice; it belongs to its group for the group's whole life
struct SndSound;    // a decoded sound, playable on any channel

// Opens the device on first use; null when there is no device or too few voices left.
// The first failure of the run is reported once on stderr.
SndSystem* SndSystemCreate(int channelCount);
// Stops and frees the group's channels; the last group closes the device.
void SndSystemFree(SndSystem* sys);
SndChannel* SndSystemChannel(SndSystem* sys, int index);

// Null when no device is open or the file is missing or not a WAV file we can read.
SndSound* SndSoundLoad(const char* path);
// Stops every channel that plays the sound first: the device refuses to free a sound in use.
void SndSoundUnload(SndSound* sound);

// Starts the sound once through, unpaused, at the given volume; false when it cannot play.
bool SndChannelPlay(SndChannel* ch, SndSound* sound, float volume);
void SndChannelStop(SndChannel* ch);
void SndChannelSetPaused(SndChannel* ch, bool paused);
void SndChannelSetVolume(SndChannel* ch, float volume);
void SndChannelSetLoopCount(SndChannel* ch, int count);  // -1 for ever, 0 once
bool SndChannelIsPlaying(SndChannel* ch);                // playing or paused
bool SndChannelIsPaused(SndChannel* ch);
float SndChannelGetVolume(SndChannel* ch);

// Seconds of sound the device has mixed since it opened: the mix's own clock, which a recording
// of the mix follows sample for sample. 0 while no device is open.
double SndDeviceSeconds();
