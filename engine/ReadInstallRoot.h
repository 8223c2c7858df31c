#pragma once

#include "engine/TargetProfile.h"
#include "platform/Registry.h"

#include <string>

namespace vantrel {

// The IDE key's value that holds the IDE's install folder.
extern const char *const InstallRootValue;

// The IDE's install folder, read from its registry key without creating the
// key. Raises, naming the key, when the IDE's key or its install root is
// missing: then the IDE is not installed and nothing may be changed.
std::string ReadInstallRoot(const TargetProfile &profile, RegistryAccessor &accessor);

} // namespace vantrel
