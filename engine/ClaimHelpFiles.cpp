#include "engine/ClaimHelpFiles.h"

#include "engine/ContentsLines.h"

namespace vantrel {

std::vector<HelpFileClaim> ClaimHelpFiles(const HelpFileList &list, const std::string &programDir,
                                          RegistryAccessor *helpLocations,
                                          FileExistence &fileExistence, CharacterSet &characterSet,
                                          FolderIdentity &folderIdentity, RunLog &log) {
  std::vector<HelpFileClaim> claims;
  for (const std::string &entry : list) {
    if (entry.empty()) {
      log.Write("left alone: an empty entry in the list names no file");
      continue;
    }
    HelpFileClaim claim;
    claim.entry = entry;
    claim.directiveLine = DirectiveLine(entry, characterSet.LeadBytes());
    if (helpLocations != nullptr)
      claim.location = helpLocations->ReadString(entry);
    claim.locationIsOurs = !claim.location.empty() &&
                           SameFolder(claim.location, programDir, characterSet, folderIdentity);
    if (claim.directiveLine.empty()) {
      log.Write("left alone: \"" + entry + "\" is neither a .hlp nor a .cnt file");
    } else if (claim.location.empty()) {
      log.Write("lines kept: \"" + claim.directiveLine +
                "\": the name has no help location, so nothing shows them to be this folder's");
    } else if (!claim.locationIsOurs) {
      log.Write("lines kept: \"" + claim.directiveLine + "\" belongs to the registration of " +
                claim.location + ", another installation, which still names it");
    } else if (!fileExistence.FileExists(programDir + entry)) {
      log.Write("lines kept: \"" + claim.directiveLine + "\", since " + programDir + entry +
                " is not there: the file is not this component's");
    } else {
      claim.linesAreOurs = true;
    }
    claims.push_back(std::move(claim));
  }
  return claims;
}

} // namespace vantrel
