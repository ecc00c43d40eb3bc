// kelog.h - the one way the engine and the game report a fault: a tagged line such as
// "[os] cannot create the window: ..." on standard error and the platform's debugger channel.
#pragma once

#if defined(__GNUC__)
#define KE_PRINTF(a, b) __attribute__((format(printf, a, b)))
#else
#define KE_PRINTF(a, b)
#endif

void LogPrint(const char* format, ...) KE_PRINTF(1, 2);
void LogDebugChannel(const char* text);  // the platform's debugger channel; its OS file gives it
