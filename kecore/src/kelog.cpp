// kelog.cpp - fault lines to standard error and, on Windows, to OutputDebugStringA, so a game
// started without a console still tells a debugger what went wrong.
#include "kelog.h"

#include <cstdarg>
#include <cstdio>

void LogPrint(const char* format, ...) {
  char text[2048];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);  // a longer line is cut, never overrun
  va_end(args);
  fputs(text, stderr);
  LogDebugChannel(text);
}
