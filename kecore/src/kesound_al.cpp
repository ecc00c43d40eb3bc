// kesound_al.cpp - the sound device on OpenAL Soft: one device and context for the whole run,
// a group of sources per channel group, 16-bit buffers decoded from WAV files with SDL.
#include "kesound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <SDL.h>  // for SDL_LoadWAV and its sample converter only

#include <cstdio>
#include <cstring>

#include "kelog.h"
#include "keos_plat.h"

struct SndChannel {
  ALuint source;
};

struct SndSystem {
  SndChannel* channels;
  int count;
};

struct SndSound {
  ALuint buffer;
};

namespace {

const int kMaxSystems = 8;
const ALCint kVoices = 400;  // four instances of 100; OpenAL Soft gives 255 unless asked

// Plain data on purpose: AudioSystem instances release their groups from their destructors at
// exit, and this record must still be intact then.
struct SndDevice {
  ALCdevice* device;
  ALCcontext* context;
  SndSystem* systems[kMaxSystems];
  int systemCount;
  bool failureReported;
};
SndDevice gSnd;

void ReportOnce(const char* what) {
  if (gSnd.failureReported) return;
  gSnd.failureReported = true;
  LogPrint("[audio] %s; the game runs without sound\n", what);
}

void DeviceClose() {
  alcMakeContextCurrent(nullptr);
  if (gSnd.context) alcDestroyContext(gSnd.context);
  if (gSnd.device) alcCloseDevice(gSnd.device);
  gSnd.context = nullptr;
  gSnd.device = nullptr;
}

// Opening the default device walks OpenAL Soft's backends (PulseAudio, which also reaches
// PipeWire, then ALSA, OSS and so on), and each one that fails prints its own complaint, and ALSA
// several, even when a later backend works. The outcome is ours to report, so standard error is
// closed for the probe alone: once a device is open its errors print as usual.
ALCdevice* OpenDefaultDeviceQuietly() {
  int quiet = PlatQuietBegin();
  ALCdevice* device = alcOpenDevice(nullptr);
  PlatQuietEnd(quiet);
  return device;
}

bool DeviceOpen() {
  if (gSnd.context) return true;
  gSnd.device = OpenDefaultDeviceQuietly();
  if (!gSnd.device) {
    ReportOnce("no sound device could be opened");
    return false;
  }
  const ALCint attrs[] = {ALC_MONO_SOURCES, kVoices, ALC_STEREO_SOURCES, 0, 0};
  gSnd.context = alcCreateContext(gSnd.device, attrs);
  if (!gSnd.context || !alcMakeContextCurrent(gSnd.context)) {
    ReportOnce("the sound device gave no context");
    DeviceClose();
    return false;
  }
  alDistanceModel(AL_NONE);  // a flat 2D game: every voice at full level, no attenuation
  return true;
}

void ForgetSystem(SndSystem* sys) {
  for (int i = 0; i < gSnd.systemCount; ++i) {
    if (gSnd.systems[i] != sys) continue;
    gSnd.systems[i] = gSnd.systems[--gSnd.systemCount];
    return;
  }
}

ALint SourceState(SndChannel* ch) {
  ALint state = AL_INITIAL;
  if (ch && gSnd.context) alGetSourcei(ch->source, AL_SOURCE_STATE, &state);
  return state;
}

// Decodes to 16-bit samples with at most two channels; false with a reason on stderr.
bool DecodeWav(const char* path, SndSound* out) {
  SDL_AudioSpec wav;
  Uint8* data = nullptr;
  Uint32 len = 0;
  if (!SDL_LoadWAV(path, &wav, &data, &len)) {
    LogPrint("[audio] cannot load %s: %s\n", path, SDL_GetError());
    return false;
  }
  Uint8 channels = wav.channels >= 2 ? 2 : 1;
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, AUDIO_S16SYS, channels,
                        wav.freq) < 0) {
    LogPrint("[audio] cannot convert %s: %s\n", path, SDL_GetError());
    SDL_FreeWAV(data);
    return false;
  }
  Uint8* pcm = data;
  int bytes = (int)len;
  if (cvt.needed) {
    cvt.len = (int)len;
    cvt.buf = (Uint8*)SDL_malloc((size_t)len * (size_t)cvt.len_mult);
    memcpy(cvt.buf, data, len);
    SDL_ConvertAudio(&cvt);
    pcm = cvt.buf;
    bytes = cvt.len_cvt;
  }
  alGetError();
  alGenBuffers(1, &out->buffer);
  alBufferData(out->buffer, channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm, bytes,
               wav.freq);
  bool ok = alGetError() == AL_NO_ERROR;
  if (!ok) {
    LogPrint("[audio] the sound device refused %s\n", path);
    alDeleteBuffers(1, &out->buffer);
  }
  if (cvt.needed) SDL_free(cvt.buf);
  SDL_FreeWAV(data);
  return ok;
}

}  // namespace

SndSystem* SndSystemCreate(int channelCount) {
  if (channelCount <= 0 || !DeviceOpen()) return nullptr;
  if (gSnd.systemCount == kMaxSystems) {
    ReportOnce("too many sound systems");
    return nullptr;
  }
  SndSystem* sys = new SndSystem{new SndChannel[channelCount], channelCount};
  ALuint* names = new ALuint[channelCount];
  alGetError();
  alGenSources(channelCount, names);
  bool ok = alGetError() == AL_NO_ERROR;
  for (int i = 0; ok && i < channelCount; ++i) {
    sys->channels[i].source = names[i];
    alSourcei(names[i], AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(names[i], AL_POSITION, 0, 0, 0);
  }
  delete[] names;
  if (!ok) {
    ReportOnce("the sound device has too few voices");
    delete[] sys->channels;
    delete sys;
    if (gSnd.systemCount == 0) DeviceClose();
    return nullptr;
  }
  gSnd.systems[gSnd.systemCount++] = sys;
  return sys;
}

void SndSystemFree(SndSystem* sys) {
  if (!sys) return;
  for (int i = 0; i < sys->count; ++i) {
    ALuint s = sys->channels[i].source;
    alSourceStop(s);
    alSourcei(s, AL_BUFFER, 0);
    alDeleteSources(1, &s);
  }
  ForgetSystem(sys);
  delete[] sys->channels;
  delete sys;
  if (gSnd.systemCount == 0) DeviceClose();
}

SndChannel* SndSystemChannel(SndSystem* sys, int index) {
  if (!sys || index < 0 || index >= sys->count) return nullptr;
  return &sys->channels[index];
}

SndSound* SndSoundLoad(const char* path) {
  if (!gSnd.context || !path) return nullptr;
  SndSound* sound = new SndSound{0};
  if (DecodeWav(path, sound)) return sound;
  delete sound;
  return nullptr;
}

void SndSoundUnload(SndSound* sound) {
  if (!sound) return;
  if (gSnd.context) {
    for (int g = 0; g < gSnd.systemCount; ++g) {
      SndSystem* sys = gSnd.systems[g];
      for (int i = 0; i < sys->count; ++i) {
        ALint bound = 0;
        alGetSourcei(sys->channels[i].source, AL_BUFFER, &bound);
        if ((ALuint)bound != sound->buffer) continue;
        alSourceStop(sys->channels[i].source);
        alSourcei(sys->channels[i].source, AL_BUFFER, 0);
      }
    }
    alDeleteBuffers(1, &sound->buffer);
  }
  delete sound;
}

bool SndChannelPlay(SndChannel* ch, SndSound* sound, float volume) {
  if (!ch || !sound || !gSnd.context) return false;
  alGetError();
  alSourceStop(ch->source);  // a source takes a new buffer only when not playing
  alSourcei(ch->source, AL_BUFFER, (ALint)sound->buffer);
  alSourcei(ch->source, AL_LOOPING, AL_FALSE);
  alSourcef(ch->source, AL_GAIN, volume);
  alSourcePlay(ch->source);
  return alGetError() == AL_NO_ERROR;
}

void SndChannelStop(SndChannel* ch) {
  if (ch && gSnd.context) alSourceStop(ch->source);
}

// Only a playing voice pauses and only a paused one resumes: playing a voice whose sound has
// ended would start it again from the beginning.
void SndChannelSetPaused(SndChannel* ch, bool paused) {
  ALint state = SourceState(ch);
  if (paused && state == AL_PLAYING) alSourcePause(ch->source);
  if (!paused && state == AL_PAUSED) alSourcePlay(ch->source);
}

void SndChannelSetVolume(SndChannel* ch, float volume) {
  if (ch && gSnd.context) alSourcef(ch->source, AL_GAIN, volume);
}

void SndChannelSetLoopCount(SndChannel* ch, int count) {
  if (ch && gSnd.context) alSourcei(ch->source, AL_LOOPING, count < 0 ? AL_TRUE : AL_FALSE);
}

bool SndChannelIsPlaying(SndChannel* ch) {
  ALint state = SourceState(ch);
  return state == AL_PLAYING || state == AL_PAUSED;
}

bool SndChannelIsPaused(SndChannel* ch) {
  return SourceState(ch) == AL_PAUSED;
}

float SndChannelGetVolume(SndChannel* ch) {
  ALfloat gain = 0;
  if (ch && gSnd.context) alGetSourcef(ch->source, AL_GAIN, &gain);
  return gain;
}

double SndDeviceSeconds() {
  if (!gSnd.device || !alcIsExtensionPresent(gSnd.device, "ALC_SOFT_device_clock")) return 0;
  auto clock = (LPALCGETINTEGER64VSOFT)alcGetProcAddress(gSnd.device, "alcGetInteger64vSOFT");
  ALCint64SOFT ns = 0;
  if (clock) clock(gSnd.device, ALC_DEVICE_CLOCK_SOFT, 1, &ns);
  return (double)ns / 1e9;
}
