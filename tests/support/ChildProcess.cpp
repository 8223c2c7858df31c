#include "tests/support/ChildProcess.h"

#include "tests/support/TempFolder.h"

#include <windows.h>

#include <stdexcept>

namespace vantrel::test {

ChildOutcome RunChild(const std::string &program, const std::string &arguments) {
  TempFolder folder;
  const std::string outputPath = folder / "output.txt";
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = startup.hStdError = output;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + program + "\" " + arguments;
  const BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      0, nullptr, nullptr, &startup, &process);
  CloseHandle(output);
  if (!started)
    throw std::runtime_error("cannot start " + program);
  WaitForSingleObject(process.hProcess, INFINITE);
  ChildOutcome outcome;
  GetExitCodeProcess(process.hProcess, &outcome.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  outcome.output = ReadFileBytes(outputPath);
  return outcome;
}

std::string ThisProgram() {
  char program[MAX_PATH * 4] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);
  return program;
}

} // namespace vantrel::test
