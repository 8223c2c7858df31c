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
                                  RunLog &log) {
  std::unique_ptr<RegistryAccessor> accessor = registry.CreateAccessor();
  const std::string installRoot = ReadInstallRoot(profile, *accessor);
  for (const std::string &entry : list) {
    accessor->SetRootKey(RootKey::LocalMachine);
    accessor->CreateKey(HelpLocationKey);
    accessor->OpenKey(HelpLocationKey, true);
    accessor->WriteString(entry, programDir);
    accessor->CloseKey();
    log.Write("value written: \"" + entry + "\" = " + programDir);
  }
  return installRoot;
}

} // namespace vantrel
