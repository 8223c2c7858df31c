#include "engine/RequireUsableFolder.h"

#include "platform/Error.h"

#include <algorithm>

namespace vantrel {

void RequireUsableFolder(const std::string &programDir, const HelpFileList &list) {
  const auto longest =
      std::max_element(list.begin(), list.end(), [](const std::string &a, const std::string &b) {
        return a.size() < b.size();
      });
  const std::size_t length = programDir.size() + (longest == list.end() ? 0 : longest->size());
  if (length + 1 <= MaxAnsiPath)
    return;
  const std::string name = longest == list.end() ? std::string() : *longest;
  throw Error("The program's folder " + programDir +
              " has too long a path: with the listed name \"" + name + "\" it makes a path of " +
              std::to_string(length) +
              " characters, and the Windows functions that the help viewer uses take at most " +
              std::to_string(MaxAnsiPath - 1) +
              ". Move the program and the help files to a folder with a shorter path, and run it "
              "from there. Nothing has been changed.");
}

} // namespace vantrel
