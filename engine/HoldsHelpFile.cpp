#include "engine/HoldsHelpFile.h"

#include <exception>

namespace vantrel {

namespace {

// "C:\" for C:\Components\, "\\server\share\" for a path on that share; empty
// for anything else.
std::string RootOf(const std::string &folder) {
  if (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\')
    return folder.substr(0, 3);
  if (folder.rfind("\\\\", 0) == 0) {
    const std::size_t server = folder.find('\\', 2);
    const std::size_t share = server == std::string::npos ? server : folder.find('\\', server + 1);
    if (server != std::string::npos && server > 2 && share != server + 1)
      return share == std::string::npos ? folder + "\\" : folder.substr(0, share + 1);
  }
  return "";
}

} // namespace

std::string InFolder(const std::string &folder, const std::string &name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

Holding HoldsHelpFile(const std::string &folder, const std::string &name,
                      FileExistence &fileExistence) {
  try {
    if (fileExistence.FileExists(InFolder(folder, name)))
      return Holding::Holds;
    const std::string root = RootOf(folder);
    return !root.empty() && fileExistence.FolderExists(root) ? Holding::Gone : Holding::Unknown;
  } catch (const std::exception &) {
    return Holding::Unknown; // an error is never taken for absence
  }
}

} // namespace vantrel
