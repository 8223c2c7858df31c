#include "engine/ReadInstallRoot.h"

#include "platform/Error.h"

namespace vantrel {

const char *const InstallRootValue = "RootDir";

std::string ReadInstallRoot(const TargetProfile &profile, RegistryAccessor &accessor) {
  accessor.SetRootKey(RootKey::LocalMachine);
  // Read only: creating the key would tell other installers the IDE is there.
  const std::string ideKey = std::string(RootKeyName(RootKey::LocalMachine)) + "\\" + profile.ideKey;
  if (!accessor.OpenKeyReadOnly(profile.ideKey))
    throw Error("Delphi does not seem to be installed: the registry key " + ideKey +
                " is missing, so its value \"" + InstallRootValue +
                "\" (Delphi's folder) cannot be read. Nothing has been changed.");
  const std::string installRoot = accessor.ReadString(InstallRootValue);
  accessor.CloseKey();
  if (installRoot.empty())
    throw Error("Delphi's folder is not known: the registry value \"" +
                std::string(InstallRootValue) + "\" under " + ideKey +
                " is missing or empty. Nothing has been changed.");
  return installRoot;
}

} // namespace vantrel
