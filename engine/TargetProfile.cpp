#include "engine/TargetProfile.h"

#include "platform/Error.h"

namespace vantrel {

const TargetProfile &ProfileForVersion(int targetVersion) {
  static const TargetProfile version3{
      "SOFTWARE\\Borland\\Delphi\\3.0",
      "\\Help\\Delphi3.cnt",
      "\\Help\\Delphi3.~cn",
      "Register Delphi Component Help Files",
      "The following component help files will be registered and merged into the "
      "Delphi 3 help system.",
      "The following component help files will be removed from the Delphi 3 help system.",
      "Delphi 3"};
  static const TargetProfile version4{
      "SOFTWARE\\Borland\\Delphi\\4.0",
      "\\Help\\Delphi4.cnt",
      "\\Help\\Delphi4.~cn",
      "Register D4 Component Help Files",
      "The following component help files will be registered and merged into the "
      "Delphi 4 help system.",
      "The following component help files will be removed from the Delphi 4 help system.",
      "Delphi 4"};
  switch (targetVersion) {
  case 3:
    return version3;
  case 4:
    return version4;
  }
  throw Error("There is no target profile for IDE version " + std::to_string(targetVersion) + ".");
}

// Paths are joined as plain text: the install root is used exactly as read.
std::string ContentsPath(const TargetProfile &profile, const std::string &installRoot) {
  return installRoot + profile.contentsSuffix;
}

std::string BackupPath(const TargetProfile &profile, const std::string &installRoot) {
  return installRoot + profile.backupSuffix;
}

// Beside the contents file and its backup: Delphi4.cnt, Delphi4.~cn, Delphi4.~ed.
std::string EditedCopyPath(const TargetProfile &profile, const std::string &installRoot) {
  const std::string &suffix = profile.contentsSuffix;
  return installRoot + suffix.substr(0, suffix.find_last_of('.') + 1) + "~ed";
}

} // namespace vantrel
