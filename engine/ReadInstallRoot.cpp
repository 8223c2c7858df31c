#include "engine/ReadInstallRoot.h"

#include "platform/Error.h"

namespace vantrel {

const char *const InstallRootValue = "RootDir";

std::string IdeKeyName(const TargetProfile &profile) {
  return std::string(RootKeyName(RootKey::LocalMachine)) + "\\" + profile.ideKey;
}

std::optional<std::string> FindInstallRoot(const TargetProfile &profile,
                                           RegistryAccessor &accessor) {
  accessor.SetRootKey(RootKey::LocalMachine);
  // Read only: creating the key would tell other installers the IDE is there.
  if (!accessor.OpenExistingKey(profile.ideKey, KeyAccess::Read))
    return std::nullopt;
  const std::string installRoot = accessor.ReadString(InstallRootValue);
  accessor.CloseKey();
  if (installRoot.empty())
    return std::nullopt;
  return installRoot;
}

std::string ReadInstallRoot(const TargetProfile &profile, RegistryAccessor &accessor) {
  if (std::optional<std::string> installRoot = FindInstallRoot(profile, accessor))
    return *installRoot;
  throw Error(profile.ideName + " does not seem to be installed: the registry value \"" +
              InstallRootValue + "\" (" + profile.ideName + "'s folder) under " +
              IdeKeyName(profile) + " is missing or empty. Nothing has been changed.");
}

} // namespace vantrel
