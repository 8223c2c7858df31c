// The stack protector's guard value and its failure handlers, in place of the
// compiler's own library: that one seeds the guard through CryptoAPI, which
// Windows 95 may lack and which doubles a small program's start. The guard is
// seeded as the Microsoft C runtime seeds its security cookie: from the time,
// the performance counter, the process and thread ids and an address, which
// differ from one start to the next.
//
// Nothing here may itself be protected: the guard changes while it runs.

#include <windows.h>

#include <cstdint>

extern "C" {

// Never zero, also before the seeding: a guard of zero is what an overrun by
// a string's terminating NUL would write.
std::uintptr_t __stack_chk_guard = static_cast<std::uintptr_t>(0x2B992DDFA232ull);

__attribute__((noreturn, no_stack_protector)) void __stack_chk_fail() {
  // The program's state can no longer be trusted: say so where someone may
  // read it, and end at once, as Windows' own fast fail does.
  static const char message[] = "*** stack smashing detected ***: terminated\r\n";
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written = 0;
  if (error != nullptr && error != INVALID_HANDLE_VALUE)
    WriteFile(error, message, sizeof message - 1, &written, nullptr);
  TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
  for (;;)
    ExitProcess(STATUS_STACK_BUFFER_OVERRUN);
}

// The same for the fortified string functions' checks.
__attribute__((noreturn, no_stack_protector)) void __chk_fail() { __stack_chk_fail(); }

// Some objects built for 32-bit x86 call this name.
__attribute__((noreturn, no_stack_protector)) void __stack_chk_fail_local() { __stack_chk_fail(); }

} // extern "C"

namespace {

// The first constructor to run: only the C runtime's start-up, which is not
// protected, is on the stack below it.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  std::uint64_t seed = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  seed ^= static_cast<std::uint64_t>(counter.QuadPart) << 17;
  seed ^= static_cast<std::uint64_t>(GetCurrentProcessId()) << 32;
  seed ^= GetCurrentThreadId();
  seed ^= static_cast<std::uint64_t>(GetTickCount()) << 11;
  seed ^= reinterpret_cast<std::uintptr_t>(&now); // where the stack lies differs per start
  std::uintptr_t guard = static_cast<std::uintptr_t>(seed ^ (seed >> 32));
  if (guard == 0)
    guard = static_cast<std::uintptr_t>(0x2B992DDFA232ull);
  __stack_chk_guard = guard;
}

} // namespace
