/* A DLL that someone plants in the program's folder, for the DLL search test. */
#include <windows.h>

__declspec(dllexport) int VantrelSideloaded(void) { return 1; }
