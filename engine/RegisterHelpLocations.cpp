#include "engine/RegisterHelpLocations.h"

#include "engine/ReadInstallRoot.h"

namespace vantrel {

const char *const HelpLocationKey = "\\SOFTWARE\\Microsoft\\Windows\\Help";

std::string ProgramDirOf(const std::string &executablePath) {
  const std::size_t last = executablePath.find_last_of("\\:");
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
