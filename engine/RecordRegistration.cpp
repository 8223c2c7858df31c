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
                        const SameFolderTest &sameFolder, bool appendsLine) {
  const NameEntry *existing = record.Find(name);
  NameEntry entry = existing ? *existing : NameEntry{record.Widen(name), std::nullopt, {}, {}};
  Registration ours{sequence, profile.ideName, false, false, record.Widen(programDir)};
  const bool known = !entry.registrations.empty();
  const auto fromHere = [&](const Registration &r) {
    return IsRecordedFolder(record, r.folder, programDir, sameFolder);
  };
  const auto earlier =
      std::find_if(entry.registrations.begin(), entry.registrations.end(),
                   [&](const Registration &r) { return r.ide == profile.ideName && fromHere(r); });
  const bool repeated = earlier != entry.registrations.end();
  if (repeated) {
    ours.appended = earlier->appended;
    ours.adopted = earlier->adopted;
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
  // The line and location are this folder's when the location named it
  // before any registration of the record from here set it: then a run
  // without a record from here made both (or found the line). Another
  // registration from here, for the other IDE, tells whether it did.
  const auto otherFromHere =
      std::find_if(entry.registrations.begin(), entry.registrations.end(), fromHere);
  if (namesThisFolder && !repeated &&
      (otherFromHere == entry.registrations.end() || otherFromHere->adopted))
    ours.appended = ours.adopted = true;
  ours.appended = ours.appended || appendsLine;
  if (!known)
    entry.before = locationBefore.empty() || namesThisFolder
                       ? std::nullopt
                       : std::optional<std::u16string>(record.Widen(locationBefore));
  else if (!locationBefore.empty() && !recordWroteIt) {
    // One line per folder: a location met again is the most recent.
    entry.replaced.erase(std::remove_if(entry.replaced.begin(), entry.replaced.end(),
                                        [&](const std::u16string &location) {
                                          return IsRecordedFolder(record, location,
                                                                  locationBefore, sameFolder);
                                        }),
                         entry.replaced.end());
    entry.replaced.push_back(record.Widen(locationBefore));
  }
  entry.registrations.push_back(ours);
  if (existing == nullptr || *existing != entry)
    record.Write(entry);
}

} // namespace vantrel
