#include "engine/ClaimHelpFiles.h"

#include "engine/MergeContents.h"

namespace vantrel {

bool SameFolder(std::string_view a, std::string_view b) {
  if (!a.empty() && a.back() == '\\')
    a.remove_suffix(1);
  if (!b.empty() && b.back() == '\\')
    b.remove_suffix(1);
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i]))
      return false;
  return true;
}

std::vector<HelpFileClaim> ClaimHelpFiles(const HelpFileList &list, const std::string &programDir,
                                          RegistryAccessor *helpLocations,
                                          FileExistence &fileExistence, RunLog &log) {
  std::vector<HelpFileClaim> claims;
  for (const std::string &entry : list) {
    HelpFileClaim claim;
    claim.entry = entry;
    claim.directiveLine = DirectiveLine(entry);
    if (helpLocations != nullptr)
      claim.location = helpLocations->ReadString(entry);
    claim.locationIsOurs = !claim.location.empty() && SameFolder(claim.location, programDir);
    if (claim.directiveLine.empty()) {
      log.Write("left alone: \"" + entry + "\" is neither a .hlp nor a .cnt file");
    } else if (!claim.location.empty() && !claim.locationIsOurs) {
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
