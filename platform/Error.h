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

// A file that another program has open and shares with no one: a virus
// scanner or an editor, often for a moment only.
class FileInUseError : public Error {
public:
  using Error::Error;
};

} // namespace vantrel
