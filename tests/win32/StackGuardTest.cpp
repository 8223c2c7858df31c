// The stack protector, with the program's own guard: seeded anew at every
// start, and a function that writes past its buffer ends the process at once,
// without the clean-up of an orderly exit.
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace vantrel {

namespace {
__attribute__((noinline)) void WritePast(char *buffer, volatile std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    reinterpret_cast<volatile char *>(buffer)[i] = 'x';
}
} // namespace

// The child: runs an overrun, which must never come back. The DLL it loads
// first says so if the process ends the orderly way.
__attribute__((noinline)) int OverrunStack() {
  LoadLibraryA("vantrel_detach_marker.dll"); // beside this program
  char buffer[16];
  WritePast(buffer, 64);
  return buffer[0] == 'x' ? 0 : 1;
}

namespace {

TEST(StackGuard, IsSeededAtEveryStartAndAnOverrunEndsTheProcessAtOnce) {
  const std::string first = test::RunChild(test::ThisProgram(), "--print-guard").output;
  const std::string second = test::RunChild(test::ThisProgram(), "--print-guard").output;
  char initial[32]; // the guard's value before the seeding
  std::snprintf(initial, sizeof initial, "%llx\r\n",
                static_cast<unsigned long long>(static_cast<std::uintptr_t>(0x2B992DDFA232ull)));
  EXPECT_NE(first, second) << "the guard is the same at every start";
  for (const std::string &guard : {first, second}) {
    EXPECT_NE(guard, initial) << "never seeded";
    EXPECT_NE(guard, "0\r\n");
  }

  const test::ChildOutcome overrun = test::RunChild(test::ThisProgram(), "--overrun-stack");
  EXPECT_EQ(overrun.exitCode, static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN))
      << "the overrun came back";
  EXPECT_NE(overrun.output.find("*** stack smashing detected ***"), std::string::npos);
  EXPECT_EQ(overrun.output.find("clean-up ran"), std::string::npos)
      << "the process ran its clean-up after the overrun";
}

} // namespace
} // namespace vantrel
