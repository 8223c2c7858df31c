#pragma once
// Folders of the system and of the user that other programs keep files in.

#include <optional>
#include <string>

namespace vantrel {

class SystemFolders {
public:
  virtual ~SystemFolders() = default;
  // The Windows folder, without a trailing backslash.
  virtual std::string WindowsFolder() = 0;
  // The user's local application-data folder (Vista and later), or nothing.
  virtual std::optional<std::string> LocalAppDataFolder() = 0;
};

SystemFolders &SystemFolderLocations();

} // namespace vantrel
