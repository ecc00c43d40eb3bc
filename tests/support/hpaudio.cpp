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
    fprintf(f, "[general]\ndrivers=wave\nchannels=mono\nsample-type=int16\n[wave]\nfile=%s\n",
            mixPath.c_str());
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
  out->samples.clear();
  // Mono 16-bit, as the configuration asks; a mix still being written has no final length yet.
  for (size_t p = 12; p + 8 <= file.size(); p += 8 + Get32(&file[p + 4])) {
    if (!memcmp(&file[p], "fmt ", 4)) {
      out->rate = (int)Get32(&file[p + 12]);
      if (Get16(&file[p + 10]) != 1 || Get16(&file[p + 22]) != 16) return false;
    } else if (!memcmp(&file[p], "data", 4)) {
      for (size_t i = p + 8; i + 2 <= file.size(); i += 2)
        out->samples.push_back((float)(int16_t)Get16(&file[i]) / 32768.0f);
      return out->rate > 0;
    }
  }
  return false;
}
