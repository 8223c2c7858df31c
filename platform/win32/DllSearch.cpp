#include "platform/DllSearch.h"

#include <windows.h>

namespace vantrel {

void RestrictDllSearch() {
  // Looked up, not imported: Windows 7 without its 2011 update lacks it, and
  // the program must start there all the same.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI *)(DWORD);
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories == nullptr ||
      !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
    SetDllDirectoryW(L""); // at least the current folder is out of the search then
}

} // namespace vantrel
