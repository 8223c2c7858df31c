#pragma once

#include <string>
#include <vector>

namespace vantrel {

// The help-file entries of the list file, in file order, exactly as read.
using HelpFileList = std::vector<std::string>;

} // namespace vantrel
