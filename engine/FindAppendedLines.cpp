#include "engine/FindAppendedLines.h"

#include "engine/ContentsLines.h"

namespace vantrel {

std::string AppendedLineKey(const std::string &name, const LeadByteTable &leadBytes) {
  const std::string line = DirectiveLine(name, leadBytes);
  return line.empty() ? line : DirectiveKey(line, leadBytes);
}

std::set<std::string> FindAppendedLines(const TargetProfile &profile,
                                        const std::string &contentsPath,
                                        const RegistrationRecord &record, TextFiles &textFiles,
                                        const LeadByteTable &leadBytes) {
  std::set<std::string> appended;
  for (const NameEntry *entry : record.Entries())
    for (const Registration &registration : entry->registrations)
      if (registration.ide == profile.ideName && registration.appended) {
        const std::string key = AppendedLineKey(*record.Narrow(entry->name), leadBytes);
        if (!key.empty())
          appended.insert(key);
      }
  std::set<std::string> found;
  if (appended.empty())
    return found;
  std::unique_ptr<TextReader> reader = textFiles.OpenForReading(contentsPath);
  while (!reader->AtEnd()) {
    const std::string key = DirectiveKey(reader->ReadLine().text, leadBytes);
    if (appended.count(key) != 0)
      found.insert(key);
  }
  reader->Close();
  return found;
}

} // namespace vantrel
