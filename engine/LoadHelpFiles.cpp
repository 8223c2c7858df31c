#include "engine/LoadHelpFiles.h"

namespace vantrel {

const char *const ListFilePath = ".\\Vantrel.ini";
const char *const HelpFilesSection = "HelpFiles";

void LoadHelpFiles(ProfileFiles &profiles, const std::string &listFilePath, HelpFileList &list) {
  std::unique_ptr<ProfileReader> reader = profiles.OpenProfile(listFilePath);
  // Every entry counts, also one whose key stands twice: the key names do
  // not matter.
  for (std::string &value : reader->ReadSectionValues(HelpFilesSection))
    list.push_back(std::move(value));
}

} // namespace vantrel
