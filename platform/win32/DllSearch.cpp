#include "platform/DllSearch.h"

#include "platform/win32/OptionalFunctions.h"

#include <windows.h>

namespace vantrel {

void RestrictDllSearch() {
  // Looked up, not imported: Windows 7 without its 2011 update lacks the
  // first, XP before SP1 and older systems lack both. There the system DLLs
  // that the program imports are KnownDLLs, always loaded from System32.
  const win32::OptionalFunctions &optional = win32::Optional();
  if (optional.SetDefaultDllDirectories != nullptr &&
      optional.SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
    return;
  if (optional.SetDllDirectoryW != nullptr)
    optional.SetDllDirectoryW(L""); // at least the current folder is out of the search then
}

} // namespace vantrel
