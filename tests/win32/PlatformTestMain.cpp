// The Win32 platform tests' start: "--oldest-system" runs them as on Windows
// 98, with every function that the oldest supported system lacks absent. The
// tests start this program again as a child for what a process shows only
// once: "--overrun-stack" (StackGuardTest.cpp), "--print-guard" (the stack
// guard's value) and "--executable-path" (ExecutablePath's answer), after
// "--oldest-system" where the parent runs so.
#include "platform/ExecutablePath.h"
#include "platform/win32/OptionalFunctions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>

extern "C" std::uintptr_t __stack_chk_guard;

namespace vantrel {
int OverrunStack();
}

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--oldest-system") == 0)
      vantrel::win32::PretendOldestSystem();
    else if (std::strcmp(argv[i], "--overrun-stack") == 0)
      return vantrel::OverrunStack();
    else if (std::strcmp(argv[i], "--print-guard") == 0)
      return std::printf("%llx\n", static_cast<unsigned long long>(__stack_chk_guard)) < 0;
    else if (std::strcmp(argv[i], "--executable-path") == 0) {
      try {
        std::printf("%s\n", vantrel::ExecutablePath().c_str());
      } catch (const std::exception &error) {
        std::printf("error: %s\n", error.what());
      }
      return 0;
    }
  }
  return RUN_ALL_TESTS();
}
