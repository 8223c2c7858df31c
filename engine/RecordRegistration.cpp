#include "engine/RecordRegistration.h"

#include <algorithm>

namespace vantrel {

bool IsRecordedFolder(const RegistrationRecord &record, const std::u16string &folder,
                      const std::string &programDir, const SameFolderTest &sameFolder) {
  const std::optional<std::string> named = record.Narrow(folder);
  return named && sameFolder(*named, programDir);
}

unsigned long RegistrationSequence(const RegistrationRecord &record, const TargetProfile &profile,
                                   const std::string &programDir,
                                   const SameFolderTest &sameFolder) {
  const unsigned long last = record.LastSequence();
  for (const NameEntry *entry : record.Entries())
    for (const Registration &registration : entry->registrations)
      if (registration.sequence == last && registration.ide == profile.ideName &&
          IsRecordedFolder(record, registration.folder, programDir, sameFolder))
        return last;
  return last + 1;
}

void RecordRegistration(RegistrationRecord &record, const std::string &name,
                        const TargetProfile &profile, const std::string &programDir,
                        unsigned long sequence, const std::string &locationBefore,
                        const SameFolderTest &sameFolder) {
  const NameEntry *existing = record.Find(name);
  NameEntry entry = existing ? *existing : NameEntry{record.Widen(name), std::nullopt, {}};
  Registration ours{sequence, profile.ideName, false, record.Widen(programDir)};
  const bool known = !entry.registrations.empty();
  const auto earlier =
      std::find_if(entry.registrations.begin(), entry.registrations.end(),
                   [&](const Registration &r) {
                     return r.ide == profile.ideName &&
                            IsRecordedFolder(record, r.folder, programDir, sameFolder);
                   });
  if (earlier != entry.registrations.end()) {
    ours.appended = earlier->appended;
    ours.folder = earlier->folder; // as first recorded, whatever name it was started by now
    entry.registrations.erase(earlier);
  }
  if (!known)
    entry.before = locationBefore.empty() || sameFolder(locationBefore, programDir)
                       ? std::nullopt
                       : std::optional<std::u16string>(record.Widen(locationBefore));
  entry.registrations.push_back(ours);
  if (existing == nullptr || *existing != entry)
    record.Write(entry);
}

void RecordAppendedLine(RegistrationRecord &record, const std::string &name,
                        const TargetProfile &profile, const std::string &programDir,
                        const SameFolderTest &sameFolder) {
  const NameEntry *existing = record.Find(name);
  if (existing == nullptr)
    return; // the run records every name before it appends its line
  NameEntry entry = *existing;
  for (Registration &registration : entry.registrations)
    if (registration.ide == profile.ideName && !registration.appended &&
        IsRecordedFolder(record, registration.folder, programDir, sameFolder)) {
      registration.appended = true;
      record.Write(entry);
      return;
    }
}

} // namespace vantrel
