#pragma once
// The program's own record, under HKEY_LOCAL_MACHINE\SOFTWARE\Vantrel in the
// registry's 32-bit view: names and texts in UTF-16, so that what a run under
// one code page wrote reads back the same under any other.

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// Key paths are below the program's key ("" is the key itself, "Registrations" a subkey).
class RecordStore {
public:
  struct Value {
    std::u16string name;
    std::optional<std::u16string> text; // nothing: the value is not a string
  };

  virtual ~RecordStore() = default;
  // The key's values; none when there is no such key. Raises vantrel::Error,
  // naming the key and the system's reason, when it cannot be read.
  virtual std::vector<Value> ReadValues(const std::string &key) = 0;
  // The names of the key's subkeys; none when there is no such key.
  virtual std::vector<std::string> SubKeys(const std::string &key) = 0;
  // Writes a string value, creating the key (and those above it) if missing.
  virtual void WriteValue(const std::string &key, const std::u16string &name,
                          const std::u16string &text) = 0;
  // Deletes the value if it is there.
  virtual void DeleteValue(const std::string &key, const std::u16string &name) = 0;
  // Deletes the key if it holds no value and no subkey; false when it holds
  // some or is not there.
  virtual bool DeleteKeyIfEmpty(const std::string &key) = 0;
  // Returns once what the record holds is on the disk (the registry writes
  // it lazily otherwise), together with every other change of its hive.
  virtual void Flush() = 0;
};

// The key the paths above are below, for messages.
inline constexpr const char *ProgramKeyName = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel";

RecordStore &SystemRecordStore();

} // namespace vantrel
