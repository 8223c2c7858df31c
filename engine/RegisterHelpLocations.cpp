#include "engine/RegisterHelpLocations.h"

#include "platform/Error.h"

namespace vantrel {

const char *const HelpLocationKey = "\\SOFTWARE\\Microsoft\\Windows\\Help";
const char *const InstallRootValue = "RootDir";

std::string ProgramDirOf(const std::string &executablePath) {
  const std::size_t last = executablePath.find_last_of("\\:");
  return last == std::string::npos ? "" : executablePath.substr(0, last + 1);
}

std::string RegisterHelpLocations(const TargetProfile &profile, const HelpFileList &list,
                                  const std::string &programDir, Registry &registry) {
  std::unique_ptr<RegistryAccessor> accessor = registry.CreateAccessor();
  accessor->SetRootKey(RootKey::LocalMachine);

  // Read only: creating the key would tell other installers the IDE is there.
  const std::string ideKey = std::string(RootKeyName(RootKey::LocalMachine)) + "\\" + profile.ideKey;
  if (!accessor->OpenKeyReadOnly(profile.ideKey))
    throw Error("Delphi does not seem to be installed: the registry key " + ideKey +
                " is missing, so its value \"" + InstallRootValue +
                "\" (Delphi's folder) cannot be read. Nothing has been changed.");
  const std::string installRoot = accessor->ReadString(InstallRootValue);
  accessor->CloseKey();
  if (installRoot.empty())
    throw Error("Delphi's folder is not known: the registry value \"" +
                std::string(InstallRootValue) + "\" under " + ideKey +
                " is missing or empty. Nothing has been changed.");

  for (const std::string &entry : list) {
    accessor->SetRootKey(RootKey::LocalMachine);
    accessor->CreateKey(HelpLocationKey);
    accessor->OpenKey(HelpLocationKey, true);
    accessor->WriteString(entry, programDir);
    accessor->CloseKey();
  }
  return installRoot;
}

} // namespace vantrel
