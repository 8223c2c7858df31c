#include "engine/ClaimRecordedHelpFiles.h"

#include "engine/ContentsLines.h"
#include "engine/HoldsHelpFile.h"
#include "engine/RecordRegistration.h"

#include <algorithm>

namespace vantrel {

std::vector<std::string> RecordedNamesOf(const RegistrationRecord &record,
                                         const TargetProfile &profile,
                                         const std::string &programDir,
                                         const SameFolderTest &sameFolder) {
  std::vector<std::string> names;
  for (const NameEntry *entry : record.Entries())
    if (std::any_of(entry->registrations.begin(), entry->registrations.end(),
                    [&](const Registration &r) {
                      return r.ide == profile.ideName &&
                             IsRecordedFolder(record, r.folder, programDir, sameFolder);
                    }))
      names.push_back(*record.Narrow(entry->name));
  return names;
}

std::vector<HelpFileClaim> ClaimRecordedHelpFiles(
    const std::vector<std::string> &names, const TargetProfile &profile,
    const RegistrationRecord &record, const std::string &programDir,
    RegistryAccessor *helpLocations, FileExistence &fileExistence, const SameFolderTest &sameFolder,
    const LeadByteTable &leadBytes, RunLog &log) {
  std::vector<HelpFileClaim> claims;
  for (const std::string &listed : names) {
    const NameEntry &entry = *record.Find(listed);
    const std::string name = record.Narrow(entry.name).value_or(listed);
    HelpFileClaim claim;
    claim.entry = name;
    claim.recorded = true;
    claim.directiveLine = DirectiveLine(name, leadBytes);
    claim.entryAfter = entry;
    claim.entryAfter.registrations.clear();

    // This folder's registration and the dead ones go; the rest stay.
    bool appendedGoes = false, ours = false;
    std::vector<std::string> deadFolders;
    for (const Registration &registration : entry.registrations) {
      const std::optional<std::string> folder = record.Narrow(registration.folder);
      const bool isOurs = registration.ide == profile.ideName && folder &&
                          sameFolder(*folder, programDir);
      const bool dead =
          !isOurs && folder && HoldsHelpFile(*folder, name, fileExistence) == Holding::Gone;
      if (dead) {
        log.Write("registered from " + *folder + ", which no longer holds " + name +
                  ": taken out of the record");
        deadFolders.push_back(*folder);
      }
      if (isOurs || dead) {
        ours = ours || isOurs;
        appendedGoes = appendedGoes || (registration.ide == profile.ideName && registration.appended);
        continue;
      }
      claim.entryAfter.registrations.push_back(registration);
    }
    std::vector<Registration> &left = claim.entryAfter.registrations;
    const auto holder = std::find_if(left.rbegin(), left.rend(), [&](const Registration &r) {
      return r.ide == profile.ideName;
    });

    if (claim.directiveLine.empty()) {
      log.Write("left alone: \"" + name + "\" is neither a .hlp nor a .cnt file");
    } else if (holder != left.rend()) {
      if (appendedGoes)
        holder->appended = true; // the line goes with that one
      log.Write("line kept: \"" + claim.directiveLine + "\" is still registered from " +
                record.Shown(holder->folder));
    } else if (!appendedGoes) {
      log.Write("line kept: \"" + claim.directiveLine + "\" was there before " +
                (ours ? "this folder's registration" : "its registrations"));
    } else {
      claim.linesAreOurs = true;
    }

    if (helpLocations != nullptr)
      claim.location = helpLocations->ReadString(name);
    claim.locationIsOurs =
        !claim.location.empty() &&
        (sameFolder(claim.location, programDir) ||
         std::any_of(deadFolders.begin(), deadFolders.end(),
                     [&](const std::string &dead) { return sameFolder(claim.location, dead); }));
    if (claim.locationIsOurs) {
      // The most recent other registration, for either IDE, whose folder holds the file.
      for (auto other = left.rbegin(); other != left.rend(); ++other) {
        const std::optional<std::string> folder = record.Narrow(other->folder);
        if (!folder || HoldsHelpFile(*folder, name, fileExistence) != Holding::Holds)
          continue;
        if (sameFolder(*folder, programDir))
          claim.stillUsedBy = "still registered from this folder for " + other->ide;
        else
          claim.restoreTo = *folder;
        break;
      }
      // Else the locations of others that registrations replaced, the most
      // recent first, then the one from before them all.
      std::vector<std::u16string> earlierLocations(entry.replaced.rbegin(), entry.replaced.rend());
      if (entry.before)
        earlierLocations.push_back(*entry.before);
      for (const std::u16string &location : earlierLocations) {
        if (!claim.stillUsedBy.empty() || claim.restoreTo)
          break;
        const std::optional<std::string> folder = record.Narrow(location);
        if (folder && !sameFolder(*folder, programDir) &&
            HoldsHelpFile(*folder, name, fileExistence) == Holding::Holds)
          claim.restoreTo = *folder;
      }
    }
    claims.push_back(std::move(claim));
  }
  return claims;
}

} // namespace vantrel
