#pragma once

#include "engine/TargetProfile.h"
#include "platform/Registry.h"

#include <optional>
#include <string>

namespace vantrel {

// The IDE key's value that holds the IDE's install folder.
extern const char *const InstallRootValue;

// The IDE's install folder, read from its registry key without creating the
// key; nothing when the key or its install root is missing or empty (the IDE
// is not installed). Any other failure to read raises.
std::optional<std::string> FindInstallRoot(const TargetProfile &profile,
                                           RegistryAccessor &accessor);

// The same, for a run that needs the IDE: raises, naming the key, when the
// IDE is not installed, so that nothing is changed.
std::string ReadInstallRoot(const TargetProfile &profile, RegistryAccessor &accessor);

// "HKEY_LOCAL_MACHINE\SOFTWARE\Borland\Delphi\4.0", for messages.
std::string IdeKeyName(const TargetProfile &profile);

} // namespace vantrel
