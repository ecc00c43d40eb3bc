// statetext.h - a simulation's state written out line by line, each number exactly: two machines
// that play in step compare it and keep it for a report when they differ.
#pragma once

struct StateText {
  void (*line)(void* context, const char* text);
  void* context;
  // One line (at most 255 characters; floats as %a keep every bit).
  void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
};
