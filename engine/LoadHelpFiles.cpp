#include "engine/LoadHelpFiles.h"

namespace vantrel {

const char *const ListFilePath = ".\\Vantrel.ini";
const char *const HelpFilesSection = "HelpFiles";

void LoadHelpFiles(ProfileFiles &profiles, const std::string &listFilePath, HelpFileList &list) {
  std::unique_ptr<ProfileReader> reader = profiles.OpenProfile(listFilePath);
  const std::vector<std::string> keys = reader->ReadSectionKeys(HelpFilesSection);
  for (const std::string &key : keys)
    list.push_back(reader->ReadValue(HelpFilesSection, key, ""));
}

} // namespace vantrel
