// hpaudio.h - test support for sound: short sine WAV files written by the test, OpenAL Soft's
// null or wave backend chosen before the first OpenAL call, and the written mix read back.
#pragma once
#include <string>
#include <vector>

// A 16-bit mono 440 Hz sine of the given length in a private temporary folder; returns its path.
std::string TestSineWav(const std::string& name, double seconds);

// Both must run before the first OpenAL call of the test program (each program is a process).
void TestUseNullBackend();                       // keeps a backend the caller chose
void TestUseWaveBackend(const std::string& mixPath);  // the mix is written to mixPath

// The mix the wave backend wrote (mono, 16-bit), complete once the device was closed.
struct TestMix {
  int rate = 0;
  std::vector<float> samples;  // -1..1
  double Seconds() const { return rate ? (double)samples.size() / rate : 0.0; }
  // Root mean square of the samples between two times, in seconds from the device's opening.
  double Rms(double from, double to) const;
};
bool TestReadMix(const std::string& path, TestMix* out);

// A path in the private temporary folder.
std::string TestTempPath(const std::string& name);
