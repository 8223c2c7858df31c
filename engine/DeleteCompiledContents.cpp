#include "engine/DeleteCompiledContents.h"

#include <exception>
#include <vector>

namespace vantrel {

std::vector<std::string> CompiledContentsPaths(const std::string &contentsPath,
                                               SystemFolders &systemFolders) {
  const std::size_t slash = contentsPath.find_last_of("\\/:");
  const std::string besideIt = contentsPath.substr(0, slash == std::string::npos ? 0 : slash);
  const std::string fileName = contentsPath.substr(slash == std::string::npos ? 0 : slash + 1);
  const std::string base = fileName.substr(0, fileName.find_last_of('.'));

  std::vector<std::string> folders{besideIt, systemFolders.WindowsFolder() + "\\Help"};
  if (const std::optional<std::string> local = systemFolders.LocalAppDataFolder())
    folders.push_back(*local + "\\Help");
  std::vector<std::string> paths;
  for (const std::string &folder : folders)
    for (const char *extension : {".GID", ".FTG"})
      paths.push_back((folder.empty() ? "" : folder + "\\") + base + extension);
  return paths;
}

bool DeleteCompiledContents(const std::string &contentsPath, FileDeleter &fileDeleter,
                            SystemFolders &systemFolders, RunLog &log) {
  bool noneLeft = true;
  for (const std::string &path : CompiledContentsPaths(contentsPath, systemFolders)) {
    try {
      if (const std::optional<std::string> deleted = fileDeleter.DeleteFileNamed(path))
        log.Write("compiled contents deleted: " + *deleted);
    } catch (const std::exception &error) {
      noneLeft = false;
      std::string reason = error.what();
      while (!reason.empty() && reason.back() == '.')
        reason.pop_back();
      log.Write("compiled contents not deleted: " + reason +
                ". The help viewer may show the old contents: close it and run this program "
                "again, or delete the file.");
    }
  }
  return noneLeft;
}

} // namespace vantrel
