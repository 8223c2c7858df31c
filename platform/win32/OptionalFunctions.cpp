#include "platform/win32/OptionalFunctions.h"

namespace vantrel::win32 {

namespace {

template <typename Function> void LookUp(HMODULE module, const char *name, Function &function) {
  // Through a plain function pointer: GetProcAddress returns a differently typed one.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

OptionalFunctions LookUpAll() {
  OptionalFunctions found;
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  LookUp(kernel, "SetDefaultDllDirectories", found.SetDefaultDllDirectories);
  LookUp(kernel, "SetDllDirectoryW", found.SetDllDirectoryW);
  LookUp(kernel, "CompareStringOrdinal", found.CompareStringOrdinal);
  LookUp(kernel, "GetLongPathNameW", found.GetLongPathNameW);
  LookUp(kernel, "GetLongPathNameA", found.GetLongPathNameA);
  const HMODULE advapi = GetModuleHandleA("advapi32.dll");
  LookUp(advapi, "RegQueryValueExW", found.RegQueryValueExW);
  LookUp(advapi, "RegSetValueExW", found.RegSetValueExW);
  LookUp(advapi, "RegEnumValueW", found.RegEnumValueW);
  LookUp(advapi, "RegDeleteValueW", found.RegDeleteValueW);
  // The high bit of GetVersion is set on 95, 98 and ME only.
  const DWORD version = GetVersion();
  const bool nt = (version & 0x80000000u) == 0;
  const DWORD major = LOBYTE(LOWORD(version));
  found.wideNames = nt;
  found.appendAccess = nt;
  found.replaceInOneStep = nt;
  found.noBestFitFlag = nt && major >= 5;
  found.invalidCharsFlag = nt && major >= 6;
  found.globalNamespace = nt && major >= 5;
  if (!nt) { // stubs there
    found.GetLongPathNameW = nullptr;
    found.RegQueryValueExW = nullptr;
    found.RegSetValueExW = nullptr;
    found.RegEnumValueW = nullptr;
    found.RegDeleteValueW = nullptr;
  }
  return found;
}

OptionalFunctions &Functions() {
  static OptionalFunctions functions = LookUpAll();
  return functions;
}

} // namespace

const OptionalFunctions &Optional() { return Functions(); }

void PretendOldestSystem() {
  OptionalFunctions &functions = Functions();
  functions = OptionalFunctions();
  // Windows 98 has the A form.
  LookUp(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA", functions.GetLongPathNameA);
}

} // namespace vantrel::win32
