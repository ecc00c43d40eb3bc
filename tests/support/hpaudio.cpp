// hpaudio.cpp - sine WAV writer, backend selection through OpenAL Soft's environment, and a
// reader for the 16-bit or float WAV files its wave backend writes.
#include "hpaudio.h"

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string TempDir() {
  static std::string dir;
  if (dir.empty()) {
    char tmpl[] = "/tmp/hptest-audio-XXXXXX";
    dir = mkdtemp(tmpl) ? tmpl : "/tmp";
  }
  return dir;
}

void Put16(FILE* f, uint16_t v) { fwrite(&v, 2, 1, f); }
void Put32(FILE* f, uint32_t v) { fwrite(&v, 4, 1, f); }

uint16_t Get16(const uint8_t* p) { return (uint16_t)(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return (uint32_t)(p[0] | p[1] << 8 | p[2] << 16) | (uint32_t)p[3] << 24; }

}  // namespace

std::string TestTempPath(const std::string& name) {
  return TempDir() + "/" + name;
}

std::string TestSineWav(const std::string& name, double seconds) {
  const int rate = 22050;
  std::string path = TestTempPath(name);
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return path;
  uint32_t frames = (uint32_t)(seconds * rate);
  uint32_t bytes = frames * 2;
  fwrite("RIFF", 1, 4, f);
  Put32(f, 36 + bytes);
  fwrite("WAVEfmt ", 1, 8, f);
  Put32(f, 16);
  Put16(f, 1);  // PCM, mono
  Put16(f, 1);
  Put32(f, (uint32_t)rate);
  Put32(f, (uint32_t)rate * 2);
  Put16(f, 2);
  Put16(f, 16);
  fwrite("data", 1, 4, f);
  Put32(f, bytes);
  for (uint32_t i = 0; i < frames; ++i)
    Put16(f, (uint16_t)(int16_t)(0.5 * 32767 * sin(2 * M_PI * 440 * i / rate)));
  fclose(f);
  return path;
}

void TestUseNullBackend() {
  setenv("ALSOFT_DRIVERS", "null", 0);
}

void TestUseWaveBackend(const std::string& mixPath) {
  std::string conf = TestTempPath("alsoft.conf");
  FILE* f = fopen(conf.c_str(), "w");
  if (f) {
    fprintf(f, "[general]\ndrivers=wave\n[wave]\nfile=%s\n", mixPath.c_str());
    fclose(f);
  }
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  unsetenv("ALSOFT_DRIVERS");  // the test environment picks the null backend for everyone else
}

double TestMix::Rms(double from, double to) const {
  auto index = [this](double t) {
    double i = t * rate;
    return i <= 0 ? (size_t)0 : i >= (double)samples.size() ? samples.size() : (size_t)i;
  };
  size_t a = index(from), b = index(to);
  if (b <= a) return 0.0;
  double sum = 0;
  for (size_t i = a; i < b; ++i) sum += (double)samples[i] * samples[i];
  return sqrt(sum / (double)(b - a));
}

bool TestReadMix(const std::string& path, TestMix* out) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<uint8_t> file;
  uint8_t buf[65536];
  for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) file.insert(file.end(), buf, buf + n);
  fclose(f);
  if (file.size() < 12 || memcmp(file.data(), "RIFF", 4) || memcmp(file.data() + 8, "WAVE", 4))
    return false;
  int format = 0, channels = 0, bits = 0;
  out->rate = 0;
  out->samples.clear();
  for (size_t p = 12; p + 8 <= file.size();) {
    const uint8_t* chunk = file.data() + p;
    size_t size = Get32(chunk + 4);
    size_t avail = file.size() - (p + 8);
    if (size > avail) size = avail;  // a mix still being written has no final length yet
    if (!memcmp(chunk, "fmt ", 4) && size >= 16) {
      format = Get16(chunk + 8);
      channels = Get16(chunk + 10);
      out->rate = (int)Get32(chunk + 12);
      bits = Get16(chunk + 22);
      if (format == 0xFFFE && size >= 26) format = Get16(chunk + 32);  // extensible: sub-format
    } else if (!memcmp(chunk, "data", 4) && channels > 0) {
      size_t frameBytes = (size_t)channels * bits / 8;
      for (size_t i = 0; i + frameBytes <= size; i += frameBytes) {
        float sum = 0;
        for (int c = 0; c < channels; ++c) {
          const uint8_t* s = chunk + 8 + i + (size_t)c * bits / 8;
          if (format == 3 && bits == 32) {
            float v;
            memcpy(&v, s, 4);
            sum += v;
          } else if (format == 1 && bits == 16) {
            sum += (float)(int16_t)Get16(s) / 32768.0f;
          }
        }
        out->samples.push_back(sum / (float)channels);
      }
      return out->rate > 0;
    }
    p += 8 + size + (size & 1);
  }
  return false;
}
