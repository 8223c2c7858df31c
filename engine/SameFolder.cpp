#include "engine/SameFolder.h"

#include "engine/Characters.h"

#include <map>
#include <memory>
#include <optional>

namespace vantrel {

bool SameFolder(std::string_view a, std::string_view b, CharacterSet &characterSet,
                FolderIdentity &folderIdentity) {
  if (const std::optional<bool> same =
          folderIdentity.SameFolderOnDisk(std::string(a), std::string(b)))
    return *same;
  const LeadByteTable &leadBytes = characterSet.LeadBytes();
  // A trailing backslash, unless it is the second byte of a character ("表").
  for (std::string_view *folder : {&a, &b})
    if (!folder->empty() && folder->back() == '\\' &&
        IsCharacterStart(*folder, folder->size() - 1, leadBytes))
      folder->remove_suffix(1);
  return characterSet.SameFolderName(a, b);
}

SameFolderTest SameFolderForTheRun(CharacterSet &characterSet, FolderIdentity &folderIdentity) {
  auto answers = std::make_shared<std::map<std::pair<std::string, std::string>, bool>>();
  return [&characterSet, &folderIdentity, answers](const std::string &a, const std::string &b) {
    const auto [answer, isNew] = answers->emplace(std::make_pair(a, b), false);
    if (isNew)
      answer->second = SameFolder(a, b, characterSet, folderIdentity);
    return answer->second;
  };
}

} // namespace vantrel
