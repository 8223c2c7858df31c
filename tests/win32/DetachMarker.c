/* Says so when a process that loaded it ends the orderly way (ExitProcess),
   which lets DLLs run their clean-up; TerminateProcess ends it without. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_DETACH) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "clean-up ran\n", 13, &written, NULL);
  }
  return TRUE;
}
