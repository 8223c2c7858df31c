#pragma once
// Everything that differs between the program built for IDE version 3 and
// the one built for version 4.

#include <string>

namespace vantrel {

struct TargetProfile {
  std::string ideKey;           // under HKEY_LOCAL_MACHINE, no leading backslash
  std::string contentsSuffix;   // install root + this = master help contents file
  std::string backupSuffix;     // install root + this = its backup
  std::string applicationTitle; // task-bar text
  std::string labelCaption;     // text above the list in the dialog
  std::string removalCaption;   // the same, when the dialog removes (/unregister)
  std::string ideName;          // "Delphi 4", for messages
};

// Every IDE version this program knows. Removal looks at all of them, since
// they share the help locations.
constexpr int KnownTargetVersions[] = {3, 4};

// The profile for IDE version 3 or 4; raises vantrel::Error for any other.
const TargetProfile &ProfileForVersion(int targetVersion);

// The profile this program was built for (build setting TargetVersion).
const TargetProfile &BuildTargetProfile();

std::string ContentsPath(const TargetProfile &profile, const std::string &installRoot);
std::string BackupPath(const TargetProfile &profile, const std::string &installRoot);
// Where a removal writes the edited contents file before it takes the file's place.
std::string EditedCopyPath(const TargetProfile &profile, const std::string &installRoot);

} // namespace vantrel
