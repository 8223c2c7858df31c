// Compiled once per program, with TargetVersion set by the build.
#include "engine/TargetProfile.h"

#ifndef TargetVersion
#error "Build with TargetVersion set to 3 or 4"
#endif
static_assert(TargetVersion == 3 || TargetVersion == 4, "TargetVersion must be 3 or 4");

namespace vantrel {

const TargetProfile &BuildTargetProfile() { return ProfileForVersion(TargetVersion); }

} // namespace vantrel
