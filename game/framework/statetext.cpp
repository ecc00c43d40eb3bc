// statetext.cpp - formatting one line of a written-out state and handing it on.
#include "framework/statetext.h"

#include <cstdarg>
#include <cstdio>

void StateText::Print(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  line(context, text);
}
