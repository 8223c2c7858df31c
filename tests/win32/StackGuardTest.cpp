// The stack protector, with the program's own guard: a function that writes
// past its buffer ends the process before it returns.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace vantrel {

namespace {
__attribute__((noinline)) void WritePast(char *buffer, volatile std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    reinterpret_cast<volatile char *>(buffer)[i] = 'x';
}
} // namespace

// The child: runs an overrun, which must never come back.
__attribute__((noinline)) int OverrunStack() {
  char buffer[16];
  WritePast(buffer, 64);
  return buffer[0] == 'x' ? 0 : 1;
}

namespace {

TEST(StackGuard, EndsAProgramThatOverrunsABuffer) {
  char program[MAX_PATH * 4] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);
  const std::string child = "\"\"" + std::string(program) + "\" --overrun-stack 2>NUL\"";
  EXPECT_EQ(static_cast<DWORD>(std::system(child.c_str())), STATUS_STACK_BUFFER_OVERRUN)
      << "the overrun came back";
}

} // namespace
} // namespace vantrel
