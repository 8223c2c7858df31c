#pragma once
// The command line for installers. Without arguments the program is the
// plain dialog; every switch is optional.

#include "engine/RunAction.h"
#include "platform/Error.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct CommandLine {
  bool anySwitch = false; // false: started without arguments
  Action action = Action::Register;
  bool quiet = false;
  bool help = false;
  std::optional<std::string> logPath;
  std::optional<std::string> listPath;
};

// A command line that cannot be carried out: the program shows the usage and ends.
class UsageError : public Error {
public:
  using Error::Error;
};

// Reads the arguments after the program's name. Switches start with / or -
// and ignore case. Raises UsageError for an unknown or repeated switch,
// /register with /unregister, a switch without its =PATH, and anything else.
CommandLine ParseCommandLine(const std::vector<std::string> &arguments);

// Whether the arguments ask for quiet, even when they are otherwise wrong.
bool AsksForQuiet(const std::vector<std::string> &arguments);

extern const char *const UsageText;

// Exit codes whenever a switch is given; without one the program ends with 0.
enum ExitCode : int {
  Completed = 0,
  Failed = 1,
  BadCommandLine = 2,
  ClosedWithoutRun = 3,
  InTheWay = 4, // the check found a help file not ok, or something in the way
};

} // namespace vantrel
