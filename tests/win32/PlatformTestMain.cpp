// The Win32 platform tests' start: "--oldest-system" runs them as on Windows
// 98, with every function that the oldest supported system lacks absent;
// "--overrun-stack" is the stack guard test's child (StackGuardTest.cpp).
#include "platform/win32/OptionalFunctions.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vantrel {
int OverrunStack();
}

int main(int argc, char **argv) {
  if (argc == 2 && std::strcmp(argv[1], "--overrun-stack") == 0)
    return vantrel::OverrunStack();
  testing::InitGoogleTest(&argc, argv);
  if (argc == 2 && std::strcmp(argv[1], "--oldest-system") == 0)
    vantrel::win32::PretendOldestSystem();
  return RUN_ALL_TESTS();
}
