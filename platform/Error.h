#pragma once
// The one error type of the program. Its text is what the user sees in the
// error box, so it names the file, key or value concerned and the reason.

#include <stdexcept>
#include <string>

namespace vantrel {

class Error : public std::runtime_error {
public:
  explicit Error(const std::string &message) : std::runtime_error(message) {}
};

} // namespace vantrel
