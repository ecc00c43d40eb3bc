// test_engine_windows.cpp - the engine's Windows side under Wine: the named mutex a second copy
// meets, the window class with the icon resource, fault lines on the debugger's channel.
#include <cstring>
#include <string>

#include "hp.h"
#include "kelog.h"
#include "keos.h"

// After the game's headers: its key numbers are an enum, which Windows' VK_ macros would rewrite.
#include <windows.h>

namespace {

TEST(EngineWindows, ASecondCopyMeetsTheNamedMutexUntilTheFirstReleasesIt) {
  ASSERT_TRUE(OsInstanceLockAcquire("Hollow Pikes"));
  HANDLE other = CreateMutexA(nullptr, FALSE, "Hollow Pikes");  // what a second copy does
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS);
  CloseHandle(other);
  EXPECT_FALSE(OsInstanceLockAcquire("Hollow Pikes"));
  OsInstanceLockRelease();
  EXPECT_TRUE(OsInstanceLockAcquire("Hollow Pikes")) << "released, the name is free again";
  OsInstanceLockRelease();
}

TEST(EngineWindows, TheWindowIsOfTheGamesClassWithIconResource101) {
  ASSERT_TRUE(HpEngineStart());
  HWND window = FindWindowA("Window Class", nullptr);
  ASSERT_NE(window, nullptr) << "no window of the class \"Window Class\"";
  EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101)), nullptr);
  EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0) << "the class has no icon";
  HpEngineStop();
}

// Wine's XInput keeps a thread running inside its DLL, which crashed on the unmapped code when SDL
// unloaded the DLL at shut-down; so the engine keeps it loaded, through any number of restarts.
TEST(EngineWindows, TheXInputDllStaysLoadedOnceTheEngineStops) {
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(HpEngineStart());
    HMODULE xinput = GetModuleHandleW(L"xinput1_4.dll");
    ASSERT_NE(xinput, nullptr) << "SDL has not loaded XInput for the pads";
    HpEngineStop();
    EXPECT_EQ(GetModuleHandleW(L"xinput1_4.dll"), xinput) << "unloaded at stop " << run + 1;
  }
}

// A debugger (DebugView, say) reads OutputDebugStringA through the DBWIN buffer: be one.
TEST(EngineWindows, FaultLinesReachTheDebuggersChannel) {
  HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
  HANDLE data = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
  HANDLE buffer = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
  ASSERT_TRUE(ready && data && buffer);
  const char* view = (const char*)MapViewOfFile(buffer, FILE_MAP_READ, 0, 0, 4096);
  ASSERT_NE(view, nullptr);
  SetEvent(ready);
  LogPrint("[test] a line for the debugger\n");
  ASSERT_EQ(WaitForSingleObject(data, 5000), WAIT_OBJECT_0) << "nothing reached the channel";
  EXPECT_EQ(*(const DWORD*)view, GetCurrentProcessId());
  EXPECT_STREQ(view + sizeof(DWORD), "[test] a line for the debugger\n");
  UnmapViewOfFile(view);
  CloseHandle(buffer), CloseHandle(data), CloseHandle(ready);
}

}  // namespace
