#include "engine/RecordRegistration.h"

#include <algorithm>

namespace vantrel {

void RecordRegistration(const TargetProfile &profile, const HelpFileList &list,
                        const std::string &programDir,
                        const std::map<std::string, std::string> &locationsBefore,
                        const std::vector<std::string> &appended, Registry &registry,
                        const SameFolderTest &sameFolder) {
  RegistrationRecord record = ReadRegistrationRecord(registry, profile);
  unsigned long sequence = LastSequence(registry);
  std::vector<std::string> names;
  for (const std::string &entry : list) {
    if (entry.empty() || std::find(names.begin(), names.end(), entry) != names.end())
      continue;
    names.push_back(entry);
    NameRecord &name = record[entry];
    RecordedFolder ours;
    ours.folder = programDir;
    ours.appended = std::find(appended.begin(), appended.end(), entry) != appended.end();
    const auto earlier = std::find_if(name.folders.begin(), name.folders.end(),
                                      [&](const RecordedFolder &f) {
                                        return sameFolder(f.folder, programDir);
                                      });
    if (earlier != name.folders.end()) {
      ours.appended = ours.appended || earlier->appended;
      name.folders.erase(earlier);
    }
    if (name.folders.empty() && !name.before) {
      const auto before = locationsBefore.find(entry);
      if (before != locationsBefore.end() && !before->second.empty() &&
          !sameFolder(before->second, programDir))
        name.before = before->second;
    }
    ours.sequence = ++sequence;
    name.folders.push_back(ours);
  }
  WriteRegistrationRecord(registry, profile, record, names);
}

} // namespace vantrel
