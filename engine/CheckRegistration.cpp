#include "engine/CheckRegistration.h"

#include "engine/Characters.h"
#include "engine/ContentsLines.h"
#include "engine/DeleteCompiledContents.h"
#include "engine/DistinctNames.h"
#include "engine/HoldsHelpFile.h"
#include "engine/ReadInstallRoot.h"
#include "engine/RecordRegistration.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/RegistrationRecord.h"

#include <algorithm>
#include <set>

namespace vantrel {

namespace {

// The directive lines of the contents file, as they stand, in its order.
std::vector<std::string> DirectivesOf(const std::string &contentsPath, const RunServices &services,
                                      const LeadByteTable &leadBytes) {
  std::vector<std::string> directives;
  std::unique_ptr<TextReader> reader = services.textFiles.OpenForReading(contentsPath);
  for (bool first = true; !reader->AtEnd(); first = false) {
    const TextLine line = reader->ReadLine();
    if (first)
      RefuseUtf16(line.text, contentsPath);
    const std::string key = DirectiveKey(line.text, leadBytes);
    if (key.rfind(":LINK ", 0) == 0 || key.rfind(":INCLUDE ", 0) == 0)
      directives.emplace_back(line.text);
  }
  reader->Close();
  return directives;
}

std::string Join(const std::vector<std::string> &reasons) {
  std::string text;
  for (const std::string &reason : reasons)
    text += (text.empty() ? "" : "; ") + reason;
  return text;
}

} // namespace

CheckReport CheckRegistration(const TargetProfile &profile, const HelpFileList &list,
                              const RunServices &services) {
  const LeadByteTable &leadBytes = services.characterSet.LeadBytes();
  const std::string programDir = ProgramDirOf(services.executablePath(), leadBytes);
  const HelpFileList names = DistinctNames(list, services.characterSet, NoRunLog());
  const std::string installRoot = ReadInstallRoot(profile, *services.registry.CreateAccessor());
  const std::string contentsPath = ContentsPath(profile, installRoot);
  const std::string helpFolder = contentsPath.substr(0, FindLastOf(contentsPath, "\\", leadBytes));
  const std::vector<std::string> directives = DirectivesOf(contentsPath, services, leadBytes);
  std::set<std::string> directiveKeys;
  for (const std::string &line : directives)
    directiveKeys.insert(DirectiveKey(line, leadBytes));
  const SameFolderTest sameFolder =
      SameFolderForTheRun(services.characterSet, services.folderIdentity);
  const RegistrationRecord record(services.recordStore, services.characterSet);
  std::unique_ptr<RegistryAccessor> helpLocations = services.registry.CreateAccessor();
  helpLocations->SetRootKey(RootKey::LocalMachine);
  const bool anyLocations = helpLocations->OpenExistingKey(HelpLocationKey, KeyAccess::Read);
  const auto locationOf = [&](const std::string &name) {
    return anyLocations ? helpLocations->ReadString(name) : std::string();
  };
  CheckReport report;
  const auto add = [&](std::string line, bool well) {
    report.lines.push_back(std::move(line));
    report.allWell = report.allWell && well;
  };
  const auto inTheWay = [&](std::string line) {
    add(std::move(line), false);
    ++report.aroundLines;
  };

  for (const std::string &name : names) {
    std::vector<std::string> reasons;
    if (!services.fileExistence.FileExists(InFolder(programDir, name)))
      reasons.push_back(InFolder(programDir, name) + " is not there");
    const std::string location = locationOf(name);
    if (location.empty()) {
      reasons.push_back("it has no help location: the help viewer will not find it");
    } else if (!sameFolder(location, programDir)) {
      reasons.push_back(
          "the help location names " + location +
          (HoldsHelpFile(location, name, services.fileExistence) == Holding::Holds
               ? ", which holds another " + name + ": the help viewer shows that one"
               : ", which does not hold " + name + ": the help viewer will not find it"));
    }
    const std::string line = DirectiveLine(name, leadBytes);
    if (!line.empty() && directiveKeys.count(DirectiveKey(line, leadBytes)) == 0)
      reasons.push_back(contentsPath + " has no line \"" + line + "\"");
    const NameEntry *entry = record.Find(name);
    const bool recorded =
        entry != nullptr &&
        std::any_of(entry->registrations.begin(), entry->registrations.end(),
                    [&](const Registration &r) {
                      return r.ide == profile.ideName &&
                             IsRecordedFolder(record, r.folder, programDir, sameFolder);
                    });
    if (const std::optional<std::string> damage = record.Damage(name))
      reasons.push_back("its record is damaged (" + *damage + ")");
    else if (const std::optional<std::string> newer = record.Newer(name))
      reasons.push_back(*newer);
    else if (!recorded)
      reasons.push_back("the record has no registration of it from this folder for " +
                        profile.ideName);
    add(reasons.empty() ? "ok: " + name : "not ok: " + name + ": " + Join(reasons),
        reasons.empty());
  }

  for (const NameEntry *entry : record.Entries())
    for (const Registration &registration : entry->registrations) {
      const std::optional<std::string> folder = record.Narrow(registration.folder);
      const std::optional<std::string> name = record.Narrow(entry->name);
      if (registration.ide == profile.ideName && folder &&
          HoldsHelpFile(*folder, *name, services.fileExistence) == Holding::Gone)
        inTheWay("dead registration: \"" + *name + "\" from " + *folder +
                 ", which no longer holds the file: the next removal of it takes it out of the "
                 "record");
    }

  // The viewer looks for a file that a line names at its help location and
  // beside the contents file.
  for (const std::string &line : directives) {
    const std::string name = DirectiveFile(line);
    const std::string location = locationOf(name);
    if (!location.empty() && services.fileExistence.FileExists(InFolder(location, name)))
      continue;
    if (services.fileExistence.FileExists(InFolder(helpFolder, name)))
      continue;
    inTheWay("missing: " + line + " (" +
             (location.empty() ? std::string("no help location") : "not in " + location) +
             "; not in " + helpFolder + ")");
  }

  const std::optional<std::uint64_t> contentsWritten =
      services.fileExistence.LastWritten(contentsPath);
  for (const std::string &path : CompiledContentsPaths(contentsPath, services.systemFolders)) {
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".GID") != 0)
      continue;
    const std::optional<std::uint64_t> written = services.fileExistence.LastWritten(path);
    if (written && contentsWritten && *written < *contentsWritten)
      inTheWay("stale: " + path + " is older than " + contentsPath +
               ": the help viewer may show the old contents; close it and delete the file");
  }
  return report;
}

} // namespace vantrel
