#include "platform/win32/OptionalFunctions.h"

namespace vantrel::win32 {

namespace {

template <typename Function> void LookUp(HMODULE module, const char *name, Function &function) {
  // Through a plain function pointer: GetProcAddress returns a differently typed one.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

OptionalFunctions &Functions() {
  static OptionalFunctions functions = ForVersion(GetVersion());
  return functions;
}

} // namespace

OptionalFunctions ForVersion(DWORD version) {
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
  if (const HMODULE ntdll = GetModuleHandleA("ntdll.dll"))
    LookUp(ntdll, "RtlUpcaseUnicodeChar", found.RtlUpcaseUnicodeChar);
  // The high bit of GetVersion is set on 95, 98 and ME only; the low byte is
  // the major version, the next the minor one.
  const bool nt = (version & 0x80000000u) == 0;
  const DWORD major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
  const auto before = [&](DWORD wantMajor, DWORD wantMinor) {
    return !nt || major < wantMajor || (major == wantMajor && minor < wantMinor);
  };
  found.wideNames = nt;
  found.appendAccess = nt;
  found.replaceInOneStep = nt;
  found.noBestFitFlag = nt && major >= 5;
  found.invalidCharsFlag = nt && major >= 6;
  found.globalNamespace = nt && major >= 5;
  // What a system of that version lacks, or has as a stub only: a real one
  // does not export the first, and the stubs fail.
  if (before(6, 1))
    found.SetDefaultDllDirectories = nullptr;
  if (before(5, 1))
    found.SetDllDirectoryW = nullptr;
  if (before(6, 0))
    found.CompareStringOrdinal = nullptr;
  if (before(5, 0))
    found.GetLongPathNameW = nullptr;
  if (nt ? major < 5 : minor < 10) // NT 4.0 and 95 lack it; 98 has it
    found.GetLongPathNameA = nullptr;
  if (!nt) {
    found.RegQueryValueExW = nullptr;
    found.RegSetValueExW = nullptr;
    found.RegEnumValueW = nullptr;
    found.RegDeleteValueW = nullptr;
    found.RtlUpcaseUnicodeChar = nullptr;
  }
  return found;
}

const OptionalFunctions &Optional() { return Functions(); }

void PretendSystem(const OptionalFunctions &functions) { Functions() = functions; }

void PretendOldestSystem() { PretendSystem(ForVersion(Windows98)); }

} // namespace vantrel::win32
