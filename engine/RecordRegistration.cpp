#include "engine/RecordRegistration.h"

#include <algorithm>

namespace vantrel {

bool IsRecordedFolder(const RegistrationRecord &record, const std::u16string &folder,
                      const std::string &programDir, const SameFolderTest &sameFolder) {
  const std::optional<std::string> named = record.Narrow(folder);
  return named && sameFolder(*named, programDir);
}

std::uint64_t RegistrationSequence(const RegistrationRecord &record, const TargetProfile &profile,
                                   const std::string &programDir,
                                   const SameFolderTest &sameFolder) {
  const std::uint64_t last = record.LastSequence();
  for (const NameEntry *entry : record.Entries())
    for (const Registration &registration : entry->registrations)
      if (registration.sequence == last && registration.ide == profile.ideName &&
          IsRecordedFolder(record, registration.folder, programDir, sameFolder))
        return last;
  return last == UINT64_MAX ? last : last + 1; // a number no one reaches but by editing
}

void RecordRegistration(RegistrationRecord &record, const std::string &name,
                        const TargetProfile &profile, const std::string &programDir,
                        std::uint64_t sequence, const std::string &locationBefore,
                        const SameFolderTest &sameFolder) {
  const NameEntry *existing = record.Find(name);
  NameEntry entry = existing ? *existing : NameEntry{record.Widen(name), std::nullopt, {}, {}};
  Registration ours{sequence, profile.ideName, false, record.Widen(programDir)};
  const bool known = !entry.registrations.empty();
  const auto earlier =
      std::find_if(entry.registrations.begin(), entry.registrations.end(),
                   [&](const Registration &r) {
                     return r.ide == profile.ideName &&
                            IsRecordedFolder(record, r.folder, programDir, sameFolder);
                   });
  const bool repeated = earlier != entry.registrations.end();
  if (repeated) {
    ours.appended = earlier->appended;
    ours.folder = earlier->folder; // as first recorded, whatever name it was started by now
    entry.registrations.erase(earlier);
  }
  const bool namesThisFolder = !locationBefore.empty() && sameFolder(locationBefore, programDir);
  const bool recordWroteIt =
      namesThisFolder ||
      std::any_of(entry.registrations.begin(), entry.registrations.end(),
                  [&](const Registration &r) {
                    return IsRecordedFolder(record, r.folder, locationBefore, sameFolder);
                  });
  if (namesThisFolder && !repeated)
    ours.appended = true; // adopted: a run from here without a record appended it, or found it
  if (!known)
    entry.before = locationBefore.empty() || namesThisFolder
                       ? std::nullopt
                       : std::optional<std::u16string>(record.Widen(locationBefore));
  else if (!locationBefore.empty() && !recordWroteIt &&
           (entry.replaced.empty() || entry.replaced.back() != record.Widen(locationBefore)))
    entry.replaced.push_back(record.Widen(locationBefore));
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
