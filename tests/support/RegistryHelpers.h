#pragma once
// Direct access to the 32-bit view of HKEY_LOCAL_MACHINE, for setting up and
// checking registry tests. Windows-only test helper.

#include <optional>
#include <string>

namespace vantrel::test {

// Creates the key (32-bit view) and sets a string value in it.
void SetString32(const std::string &key, const std::string &name, const std::string &data);
void SetDword32(const std::string &key, const std::string &name, unsigned long data);
// The string value, or nothing when the key or value is missing.
std::optional<std::string> GetString32(const std::string &key, const std::string &name);
bool KeyExists32(const std::string &key);
// Removes the key with everything below it, if it is there.
void DeleteTree32(const std::string &key);
// Whether the 64-bit view sees the key under Wow6432Node.
std::optional<std::string> GetStringWow6432Node(const std::string &key, const std::string &name);
// Whether Windows has a 64-bit view at all (32-bit Windows has only one).
bool HasTwoRegistryViews();

} // namespace vantrel::test
