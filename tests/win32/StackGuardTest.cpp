// The stack protector, with the program's own guard: a function that writes
// past its buffer ends the process before it returns.
#include "platform/win32/SystemMessage.h"

#include <gtest/gtest.h>

#include <windows.h>

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
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  ASSERT_TRUE(CreatePipe(&read, &write, &inherit, 0));
  win32::UniqueHandle reading(read), writing(write);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdError = write;
  PROCESS_INFORMATION child{};
  std::string commandLine = "\"" + std::string(program) + "\" --overrun-stack";
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &startup, &child));
  win32::UniqueHandle process(child.hProcess), thread(child.hThread);
  writing.Reset();
  std::string printed;
  char chunk[256];
  DWORD got = 0;
  while (ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got != 0)
    printed.append(chunk, got);
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  EXPECT_EQ(exitCode, STATUS_STACK_BUFFER_OVERRUN) << "the overrun came back";
  EXPECT_NE(printed.find("*** stack smashing detected ***"), std::string::npos) << printed;
}

} // namespace
} // namespace vantrel
