#pragma once
// The Windows registry, through an accessor that has at most one key open at
// a time. Key paths that begin with a backslash start at the root key; others
// start at the open key, or at the root key when none is open.

#include <memory>
#include <string>
#include <vector>

namespace vantrel {

enum class RootKey { LocalMachine };
enum class KeyAccess { Read, ReadWrite };

class RegistryAccessor {
public:
  virtual ~RegistryAccessor() = default; // closes the open key
  virtual void SetRootKey(RootKey root) = 0;
  // Opens the key for reading and writing, creating it if asked to; false
  // for any failure, whose reason a later write reports.
  virtual bool OpenKey(const std::string &path, bool createIfMissing) = 0;
  // Opens a key that exists, never creating it. False only when there is no
  // such key; any other failure (access denied) raises vantrel::Error naming
  // the key and the system's reason, since the key may well be there.
  virtual bool OpenExistingKey(const std::string &path, KeyAccess access) = 0;
  // Creates the key (and the keys above it) if missing; leaves nothing open.
  virtual bool CreateKey(const std::string &path) = 0;
  // The string value of the open key; empty when there is no such value.
  // Raises vantrel::Error for a value that is not a string, and when no key
  // is open (an open that failed: its reason), since then nothing was read.
  virtual std::string ReadString(const std::string &name) = 0;
  // Writes a string value (an empty name means the key's default value).
  // Raises vantrel::Error naming the value, the key and the system's reason.
  virtual void WriteString(const std::string &name, const std::string &data) = 0;
  // Deletes a value of the open key; false when there was no such value.
  // Raises vantrel::Error naming the value, the key and the system's reason.
  virtual bool DeleteValue(const std::string &name) = 0;
  // The names of the open key's values. Raises vantrel::Error naming the key.
  virtual std::vector<std::string> ValueNames() = 0;
  // Deletes a key that has no subkeys (closing the open one first); false
  // when there was no such key. Raises vantrel::Error naming the key.
  virtual bool DeleteKey(const std::string &path) = 0;
  virtual void CloseKey() = 0;
};

class Registry {
public:
  virtual ~Registry() = default;
  virtual std::unique_ptr<RegistryAccessor> CreateAccessor() = 0;
};

// The machine's registry, in the 32-bit view that the IDE and the help viewer use.
Registry &SystemRegistry();

// "HKEY_LOCAL_MACHINE" and the like, for messages.
inline const char *RootKeyName(RootKey root) {
  switch (root) {
  case RootKey::LocalMachine:
    return "HKEY_LOCAL_MACHINE";
  }
  return "?";
}

} // namespace vantrel
