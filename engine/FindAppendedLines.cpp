#include "engine/FindAppendedLines.h"

#include "engine/ContentsLines.h"

#include <set>

namespace vantrel {

bool FindAppendedLines(const TargetProfile &profile, const std::string &contentsPath,
                       const RegistrationRecord &record, TextFiles &textFiles,
                       const LeadByteTable &leadBytes) {
  std::set<std::string> appended;
  for (const NameEntry *entry : record.Entries())
    for (const Registration &registration : entry->registrations)
      if (registration.ide == profile.ideName && registration.appended) {
        const std::string line = DirectiveLine(*record.Narrow(entry->name), leadBytes);
        if (!line.empty())
          appended.insert(DirectiveKey(line, leadBytes));
      }
  if (appended.empty())
    return false;
  std::unique_ptr<TextReader> reader = textFiles.OpenForReading(contentsPath);
  bool found = false;
  while (!found && !reader->AtEnd())
    found = appended.count(DirectiveKey(reader->ReadLine().text, leadBytes)) != 0;
  reader->Close();
  return found;
}

} // namespace vantrel
