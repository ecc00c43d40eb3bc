// keos.h - the OS layer: window, OpenGL context, events, clock, gamepads, message boxes, lock.
// The only engine code that includes SDL sits behind these functions.
#pragma once
#include <cstddef>
#include <cstdint>

// Window messages, numbered as the desktop API the engine was first written for numbers them.
enum : uint32_t {
  OS_WM_DESTROY = 0x0002,
  OS_WM_CLOSE = 0x0010,
  OS_WM_KEYDOWN = 0x0100,
  OS_WM_KEYUP = 0x0101,
  OS_WM_SYSKEYDOWN = 0x0104,
  OS_WM_SYSKEYUP = 0x0105,
  OS_WM_MOUSEMOVE = 0x0200,
  OS_WM_LBUTTONDOWN = 0x0201,
  OS_WM_LBUTTONUP = 0x0202,
  OS_WM_RBUTTONDOWN = 0x0204,
  OS_WM_RBUTTONUP = 0x0205,
  OS_WM_MBUTTONDOWN = 0x0207,
  OS_WM_MBUTTONUP = 0x0208,
  OS_WM_MOUSEWHEEL = 0x020A,
};


typedef void (*OsMessageFn)(uint32_t msg, uint64_t wparam, int64_t lparam);
typedef void (*OsMessageBoxFn)(const char* text, const char* caption, uint32_t style);

enum : uint32_t {  // message box styles
  OS_MB_ICONERROR = 0x10, OS_MB_ICONEXCLAMATION = 0x30, OS_MB_ICONINFORMATION = 0x40,
  OS_MB_TASKMODAL = 0x2000, OS_MB_SETFOREGROUND = 0x10000,
};

// Single instance: a non-blocking advisory lock on a per-user file named after the product.
bool OsInstanceLockAcquire(const char* product);
void OsInstanceLockRelease();

// Makes the folder that holds data/ the working directory: beside the executable (the build
// tree), or the installed share/hollow-pikes; otherwise the working directory stays.
void OsEnterDataFolder(const char* installName);
// The player's own folder for the product's files, created if missing, with a trailing slash;
// empty when there is none.
void OsUserFolder(const char* product, char* out, size_t size);

// Window and OpenGL 3.3 core context. A window made while hidden is set is never shown and
// counts as focused and never minimised: a run nobody watches must not stop for want of focus.
void OsSetWindowHidden(bool hidden);
bool OsWindowCreate(const char* title, int x, int y, int clientW, int clientH);
void OsWindowFree();
bool OsDisplayMissing();  // the window could not be made for want of a display
bool OsGlCreateContext();           // false: no 3.3 core context could be made
void OsGlSwap();
void OsGetClientSize(int* w, int* h);
void OsGetWindowPos(int* x, int* y);
void OsSetWindowPos(int x, int y);
void OsSetClientSize(int w, int h);
void OsSetBordered(bool bordered);
void OsGetDisplaySize(int* w, int* h);     // of the display the window is on
void OsGetDisplayOrigin(int* x, int* y);   // its top-left corner on the desktop
void OsSettleWindow(int x, int y, int w, int h);  // re-applies a placement a window manager moved
bool OsIsMinimised();
bool OsHasFocus();
void OsMinimise();
void OsRestore();
void OsShowCursor(bool show);
void OsSetWindowIcon(int w, int h, const uint8_t* rgba);

// Events: every pending event is translated and handed to fn as a window message.
void OsPumpMessages(OsMessageFn fn);
void OsGetMouseState(int* x, int* y);   // client pixels
bool OsIsCapsLockOn();

// Clock: performance counter, or a virtual one that only the frame wait advances.
uint64_t OsClockCounter();
uint64_t OsClockFrequency();
void OsClockSetVirtual(bool on);
bool OsClockIsVirtual();
void OsClockAdvance(double seconds);    // virtual clock only
void OsSleepSeconds(double seconds);    // real clock: sleeps; virtual clock: advances
double OsThreadSeconds();               // processor time this thread has used

// Message boxes: routed through one function that tests replace. The text also goes to standard
// error as one tagged line; with a hidden window that line is all (nobody could close a box).
void OsMessageBox(const char* text, const char* caption, uint32_t style);
OsMessageBoxFn OsSetMessageBoxHook(OsMessageBoxFn fn);   // returns the previous hook

// Gamepads: four slots in connection order. Raw values as the game's pad records hold them.
struct OsPadRaw {
  uint16_t buttons;                 // the classic pad's button bits
  uint8_t leftTrigger, rightTrigger;
  int16_t leftX, leftY, rightX, rightY;   // y grows upward
};
bool OsPadQuery(int slot, OsPadRaw* out);     // false: nothing in that slot
void OsPadRumble(int slot, uint16_t low, uint16_t high);
void OsPadCloseAll();
