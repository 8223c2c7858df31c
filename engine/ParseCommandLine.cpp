#include "engine/ParseCommandLine.h"

#include "engine/Characters.h"

#include <set>

namespace vantrel {

const char *const UsageText =
    "Usage: Vantrel [/register | /unregister | /check] [/quiet] [/log=PATH] [/list=PATH]\n"
    "\n"
    "/register\tRegister the listed help files (the default).\n"
    "/unregister\tRemove the help files that this folder provides.\n"
    "/check\t\tSay whether the help viewer finds them, changing nothing.\n"
    "/quiet\t\tNo window and no message; the exit code tells the outcome.\n"
    "/log=PATH\tAppend a report of the run to PATH.\n"
    "/list=PATH\tRead the list of help files from PATH instead of .\\Vantrel.ini.\n"
    "/?, /help\tShow this text.\n"
    "\n"
    "Exit codes: 0 done (or all is well), 1 failed, 2 bad command line, 3 closed without a\n"
    "run, 4 the check found what stands in the way.";

namespace {

// The switch's name, upper-cased, and its value after '=' (if any).
bool SplitSwitch(const std::string &argument, std::string &name, std::optional<std::string> &value) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
    return false;
  const std::size_t equals = argument.find('=');
  name = argument.substr(1, equals == std::string::npos ? std::string::npos : equals - 1);
  UpperCaseAscii(name);
  value.reset();
  if (equals != std::string::npos)
    value = argument.substr(equals + 1);
  return true;
}

} // namespace

bool AsksForQuiet(const std::vector<std::string> &arguments) {
  for (const std::string &argument : arguments) {
    std::string name;
    std::optional<std::string> value;
    if (SplitSwitch(argument, name, value) && name == "QUIET" && !value)
      return true;
  }
  return false;
}

CommandLine ParseCommandLine(const std::vector<std::string> &arguments) {
  CommandLine command;
  std::set<std::string> seen;
  for (const std::string &argument : arguments) {
    std::string name;
    std::optional<std::string> value;
    if (!SplitSwitch(argument, name, value))
      throw UsageError("\"" + argument + "\" is not a switch.");
    if (name == "HELP")
      name = "?";
    const bool takesPath = name == "LOG" || name == "LIST";
    const bool known = takesPath || name == "REGISTER" || name == "UNREGISTER" ||
                       name == "CHECK" || name == "QUIET" || name == "?";
    if (!known)
      throw UsageError("\"" + argument + "\" is not a switch of this program.");
    if (!seen.insert(name).second)
      throw UsageError("\"" + argument + "\" is given twice.");
    if (takesPath && (!value || value->empty()))
      throw UsageError("\"" + argument + "\" needs a path: /" + (name == "LOG" ? "log" : "list") +
                       "=PATH.");
    if (!takesPath && value)
      throw UsageError("\"" + argument + "\" takes no value.");
    command.anySwitch = true;
    if (name == "UNREGISTER")
      command.action = Action::Remove;
    else if (name == "CHECK")
      command.action = Action::Check;
    else if (name == "QUIET")
      command.quiet = true;
    else if (name == "?")
      command.help = true;
    else if (name == "LOG")
      command.logPath = value;
    else if (name == "LIST")
      command.listPath = value;
  }
  if (seen.count("REGISTER") + seen.count("UNREGISTER") + seen.count("CHECK") > 1)
    throw UsageError("Only one of /register, /unregister and /check can be given.");
  return command;
}

} // namespace vantrel
