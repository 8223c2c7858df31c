// The floor a registration's time is measured against: a program that loads
// the DLLs the programs import, opens one registry key and ends, as a quiet
// run does (it creates no window, so it calls nothing of the user interface).
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows", 0, KEY_READ, &key) ==
      ERROR_SUCCESS)
    RegCloseKey(key);
  // Never true: the calls only keep the other DLLs imported.
  if (commandLine != nullptr && commandLine[0] == '\x01')
    return GetSystemMetrics(SM_CXSCREEN) + (GetStockObject(WHITE_BRUSH) != nullptr) +
           std::puts("");
  return 0;
}
