#include "engine/RegisterHelpLocations.h"

#include "engine/Characters.h"
#include "engine/ReadInstallRoot.h"

namespace vantrel {

const char *const HelpLocationKey = "\\SOFTWARE\\Microsoft\\Windows\\Help";

std::string ProgramDirOf(const std::string &executablePath, const LeadByteTable &leadBytes) {
  const std::size_t last = FindLastOf(executablePath, "\\:", leadBytes);
  return last == std::string::npos ? "" : executablePath.substr(0, last + 1);
}

std::string RegisterHelpLocations(const TargetProfile &profile, const HelpFileList &list,
                                  const std::string &programDir, Registry &registry,
                                  RunLog &log, const BeforeLocationWrite &beforeWrite) {
  std::unique_ptr<RegistryAccessor> accessor = registry.CreateAccessor();
  const std::string installRoot = ReadInstallRoot(profile, *accessor);
  bool opened = false;
  for (const std::string &entry : list) {
    if (entry.empty()) {
      log.Write("left alone: an empty entry in the list names no file");
      continue;
    }
    // Opened once, at the first name, created if missing; a key that could
    // not be opened fails the read or write with the open's reason.
    if (!opened) {
      accessor->SetRootKey(RootKey::LocalMachine);
      accessor->OpenKey(HelpLocationKey, true);
      opened = true;
    }
    if (beforeWrite)
      beforeWrite(entry, accessor->ReadString(entry));
    accessor->WriteString(entry, programDir);
    log.Write("value written: \"" + entry + "\" = " + programDir);
  }
  accessor->CloseKey();
  return installRoot;
}

} // namespace vantrel
