#include "engine/DistinctNames.h"

#include <map>

namespace vantrel {

HelpFileList DistinctNames(const HelpFileList &list, CharacterSet &characterSet, RunLog &log) {
  HelpFileList names;
  std::map<std::u16string, std::string> seen; // NameKey -> the spelling kept
  for (const std::string &entry : list) {
    if (entry.empty()) {
      log.Write("left alone: an empty entry in the list names no file");
      continue;
    }
    const auto [first, isNew] =
        seen.emplace(characterSet.NameKey(characterSet.Widen(entry)), entry);
    if (isNew)
      names.push_back(entry);
    else
      log.Write("left alone: \"" + entry + "\" is the help file \"" + first->second +
                "\", listed before it");
  }
  return names;
}

} // namespace vantrel
