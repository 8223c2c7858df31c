#pragma once
// Runs a program to its end and gives what it wrote. Windows-only test helper.

#include <string>

namespace vantrel::test {

struct ChildOutcome {
  unsigned long exitCode = 0;
  std::string output; // standard output and standard error
};

// Starts `program` (exactly as named: a short path stays short) with the
// arguments, and waits for it.
ChildOutcome RunChild(const std::string &program, const std::string &arguments);

// This test program's own path.
std::string ThisProgram();

} // namespace vantrel::test
