// Built once per TargetVersion, like the programs.
#include "engine/TargetProfile.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(BuildTargetProfile, IsTheProfileOfTheVersionBuiltFor) {
  EXPECT_EQ(&BuildTargetProfile(), &ProfileForVersion(TargetVersion));
  EXPECT_EQ(BuildTargetProfile().ideKey,
            "SOFTWARE\\Borland\\Delphi\\" + std::to_string(TargetVersion) + ".0");
}

} // namespace
} // namespace vantrel
