#pragma once
// What the oldest Windows a program supports lacks: the x86 programs start on
// Windows 98 and NT 4.0, the x64 ones on XP x64. Every function newer than
// that is looked up here at run time, and every call that older systems have
// only as a stub is flagged here, so that nothing else in the program knows
// about Windows versions.

#include <windows.h>

namespace vantrel::win32 {

struct OptionalFunctions {
  // Windows 7 with KB2533623, 8 and later.
  BOOL(WINAPI *SetDefaultDllDirectories)(DWORD flags) = nullptr;
  // XP SP1 and later.
  BOOL(WINAPI *SetDllDirectoryW)(LPCWSTR folder) = nullptr;
  // Vista and later.
  int(WINAPI *CompareStringOrdinal)(LPCWCH a, int aLength, LPCWCH b, int bLength,
                                    BOOL ignoreCase) = nullptr;
  // 98 and 2000 and later (on 98 and ME the W form is a stub).
  DWORD(WINAPI *GetLongPathNameW)(LPCWSTR path, LPWSTR buffer, DWORD size) = nullptr;
  DWORD(WINAPI *GetLongPathNameA)(LPCSTR path, LPSTR buffer, DWORD size) = nullptr;
  // NT: the registry's UTF-16 functions, for the program's own record (98
  // and ME export them as stubs that fail).
  LONG(WINAPI *RegQueryValueExW)(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                 LPBYTE data, LPDWORD size) = nullptr;
  LONG(WINAPI *RegSetValueExW)(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                               const BYTE *data, DWORD size) = nullptr;
  LONG(WINAPI *RegEnumValueW)(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength,
                              LPDWORD reserved, LPDWORD type, LPBYTE data,
                              LPDWORD size) = nullptr;
  LONG(WINAPI *RegDeleteValueW)(HKEY key, LPCWSTR name) = nullptr;
  // NT (ntdll): the fixed upper-case table by which the registry matches
  // value names, whatever the user's locale.
  WCHAR(WINAPI *RtlUpcaseUnicodeChar)(WCHAR c) = nullptr;

  // Windows NT: file and module names in UTF-16 (on 98 and ME those calls
  // are stubs that fail).
  bool wideNames = false;
  // NT: a file opened to append only (FILE_APPEND_DATA).
  bool appendAccess = false;
  // NT: MoveFileEx, which replaces a file in one step (a stub on 98 and ME).
  bool replaceInOneStep = false;
  // 2000 and later: WideCharToMultiByte takes WC_NO_BEST_FIT_CHARS.
  bool noBestFitFlag = false;
  // Vista and later: WideCharToMultiByte takes WC_ERR_INVALID_CHARS.
  bool invalidCharsFlag = false;
  // 2000 and later: kernel object names in the "Global\" namespace.
  bool globalNamespace = false;
};

// GetVersion's value on Windows 98.
constexpr DWORD Windows98 = 0xC0000A04;

// What a system that GetVersion describes so has: the functions above that
// it exports and that work there, and the flags.
OptionalFunctions ForVersion(DWORD version);

// What this system has, looked up once.
const OptionalFunctions &Optional();

// For tests: from now on, behave as a system with these functions and flags.
void PretendSystem(const OptionalFunctions &functions);
// The same as on Windows 98, where none of the functions above but
// GetLongPathNameA is there.
void PretendOldestSystem();

} // namespace vantrel::win32
