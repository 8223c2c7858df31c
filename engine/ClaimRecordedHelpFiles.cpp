#include "engine/ClaimRecordedHelpFiles.h"

#include "engine/MergeContents.h"

#include <algorithm>

namespace vantrel {

namespace {

// The file's path in a folder that may be written with or without its
// trailing backslash.
std::string InFolder(const std::string &folder, const std::string &name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

} // namespace

std::vector<std::string> RecordedNamesOf(const RegistrationRecord &record,
                                         const std::string &programDir,
                                         const SameFolderTest &sameFolder) {
  std::vector<std::string> names;
  for (const auto &[name, recorded] : record)
    if (std::any_of(recorded.folders.begin(), recorded.folders.end(),
                    [&](const RecordedFolder &f) { return sameFolder(f.folder, programDir); }))
      names.push_back(name);
  return names;
}

std::vector<HelpFileClaim> ClaimRecordedHelpFiles(
    const std::vector<std::string> &names, const TargetProfile &profile,
    const std::map<std::string, RegistrationRecord> &records, const std::string &programDir,
    RegistryAccessor *helpLocations, FileExistence &fileExistence, const SameFolderTest &sameFolder,
    const LeadByteTable &leadBytes, RunLog &log) {
  const RegistrationRecord &ours = records.at(profile.ideName);
  std::vector<HelpFileClaim> claims;
  for (const std::string &name : names) {
    const NameRecord &recorded = ours.at(name);
    HelpFileClaim claim;
    claim.entry = name;
    claim.recorded = true;
    claim.directiveLine = DirectiveLine(name, leadBytes);
    bool appended = false;
    std::vector<const RecordedFolder *> others; // this IDE's other registrations of the name
    for (const RecordedFolder &folder : recorded.folders)
      if (sameFolder(folder.folder, programDir))
        appended = appended || folder.appended;
      else
        others.push_back(&folder);

    if (claim.directiveLine.empty())
      log.Write("left alone: \"" + name + "\" is neither a .hlp nor a .cnt file");
    else if (!appended)
      log.Write("line kept: \"" + claim.directiveLine + "\" was there before this folder's "
                "registration");
    else if (!others.empty())
      log.Write("line kept: \"" + claim.directiveLine + "\" is still registered from " +
                others.back()->folder);
    else
      claim.linesAreOurs = true;

    if (helpLocations != nullptr)
      claim.location = helpLocations->ReadString(name);
    claim.locationIsOurs = !claim.location.empty() && sameFolder(claim.location, programDir);
    if (claim.locationIsOurs) {
      // Every other registration of the name, for either IDE, most recent first.
      std::vector<std::pair<const RecordedFolder *, std::string>> candidates;
      for (const auto &[ideName, record] : records) {
        const auto other = record.find(name);
        if (other == record.end())
          continue;
        for (const RecordedFolder &folder : other->second.folders)
          if (ideName != profile.ideName || !sameFolder(folder.folder, programDir))
            candidates.emplace_back(&folder, ideName);
      }
      std::sort(candidates.begin(), candidates.end(), [](const auto &a, const auto &b) {
        return a.first->sequence > b.first->sequence;
      });
      for (const auto &[folder, ideName] : candidates) {
        if (!fileExistence.FileExists(InFolder(folder->folder, name)))
          continue;
        if (sameFolder(folder->folder, programDir))
          claim.stillUsedBy = "still registered from this folder for " + ideName;
        else
          claim.restoreTo = folder->folder;
        break;
      }
      if (claim.stillUsedBy.empty() && !claim.restoreTo && recorded.before &&
          fileExistence.FileExists(InFolder(*recorded.before, name)))
        claim.restoreTo = *recorded.before;
    }
    claims.push_back(std::move(claim));
  }
  return claims;
}

} // namespace vantrel
