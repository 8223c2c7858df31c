#include "tests/support/MemoryRegistry.h"

#include "platform/Error.h"

namespace vantrel::test {

namespace {

template <typename Text> Text Upper(Text text) {
  for (auto &c : text)
    if (c >= 'a' && c <= 'z')
      c = static_cast<typename Text::value_type>(c - 'a' + 'A');
  return text;
}

// The value of that name, whatever the case it is written in.
template <typename Values, typename Name> auto FindValue(Values &values, const Name &name) {
  for (auto value = values.begin(); value != values.end(); ++value)
    if (Upper(value->first) == Upper(name))
      return value;
  return values.end();
}

} // namespace

class MemoryRegistryAccessor : public RegistryAccessor {
public:
  explicit MemoryRegistryAccessor(MemoryRegistry &registry) : registry_(registry) {}

  void SetRootKey(RootKey root) override {
    CloseKey();
    root_ = RootKeyName(root);
  }
  bool OpenKey(const std::string &path, bool createIfMissing) override {
    const std::string full = Resolve(path);
    if (registry_.denied.count(full) != 0) {
      open_.clear();
      return false;
    }
    if (createIfMissing)
      Create(full);
    return Open(full);
  }
  bool OpenExistingKey(const std::string &path, KeyAccess) override {
    const std::string full = Resolve(path);
    if (registry_.denied.count(full) != 0)
      throw Error("Cannot open the registry key " + full + ": Access is denied.");
    return Open(full);
  }
  bool CreateKey(const std::string &path) override {
    Create(Resolve(path));
    return true;
  }
  std::string ReadString(const std::string &name) override {
    auto key = registry_.keys.find(open_);
    if (key == registry_.keys.end())
      throw Error("Cannot read the registry value \"" + name + "\": no key is open.");
    auto value = FindValue(key->second, name);
    return value == key->second.end() ? "" : value->second;
  }
  void WriteString(const std::string &name, const std::string &data) override {
    registry_.BeforeChange();
    if (++registry_.writes_ == registry_.failAt_ || open_.empty())
      throw Error("Cannot write the registry value \"" + name + "\" under " + open_ +
                  ": simulated failure.");
    auto &values = registry_.keys[open_];
    auto value = FindValue(values, name);
    if (value == values.end())
      values[name] = data;
    else
      value->second = data;
    registry_.AfterChange();
  }
  bool DeleteValue(const std::string &name) override {
    registry_.BeforeChange();
    if (open_.empty())
      throw Error("Cannot delete the registry value \"" + name + "\": no key is open.");
    auto &values = registry_.keys[open_];
    auto value = FindValue(values, name);
    if (value == values.end())
      return false;
    values.erase(value);
    registry_.AfterChange();
    return true;
  }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    auto key = registry_.keys.find(open_);
    if (key != registry_.keys.end())
      for (const auto &value : key->second)
        names.push_back(value.first);
    return names;
  }
  bool DeleteKey(const std::string &path) override {
    CloseKey();
    registry_.BeforeChange();
    if (registry_.keys.erase(Resolve(path)) == 0)
      return false;
    registry_.AfterChange();
    return true;
  }
  void CloseKey() override { open_.clear(); }

private:
  std::string Resolve(const std::string &path) const {
    if (!path.empty() && path.front() == '\\')
      return root_ + path;
    return (open_.empty() ? root_ : open_) + "\\" + path;
  }
  void Create(const std::string &full) {
    if (registry_.keys.count(full) != 0)
      return;
    registry_.BeforeChange();
    registry_.keys[full];
    registry_.AfterChange();
  }
  bool Open(const std::string &full) {
    open_ = registry_.keys.count(full) ? full : "";
    return !open_.empty();
  }

  MemoryRegistry &registry_;
  std::string root_ = "HKEY_LOCAL_MACHINE";
  std::string open_;
};

std::unique_ptr<RegistryAccessor> MemoryRegistry::CreateAccessor() {
  return std::make_unique<MemoryRegistryAccessor>(*this);
}

std::vector<RecordStore::Value> MemoryRegistry::ReadValues(const std::string &key) {
  std::vector<Value> values;
  const auto found = records.find(key);
  if (found != records.end())
    for (const auto &[name, text] : found->second)
      values.push_back({name, text});
  return values;
}

std::vector<std::string> MemoryRegistry::SubKeys(const std::string &key) {
  std::vector<std::string> names;
  const std::string prefix = key.empty() ? "" : key + "\\";
  for (const auto &[path, values] : records)
    if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
        path.find('\\', prefix.size()) == std::string::npos)
      names.push_back(path.substr(prefix.size()));
  return names;
}

void MemoryRegistry::WriteValue(const std::string &key, const std::u16string &name,
                                const std::u16string &text) {
  BeforeChange();
  for (std::size_t at = 0; at != std::string::npos;) { // the keys above it too
    at = key.find('\\', at + 1);
    records[key.substr(0, at)];
  }
  records[""];
  auto &values = records[key];
  auto value = FindValue(values, name);
  if (value == values.end())
    values[name] = text;
  else
    value->second = text;
  AfterChange();
}

void MemoryRegistry::DeleteValue(const std::string &key, const std::u16string &name) {
  BeforeChange();
  const auto found = records.find(key);
  if (found == records.end())
    return;
  const auto value = FindValue(found->second, name);
  if (value == found->second.end())
    return;
  found->second.erase(value);
  AfterChange();
}

bool MemoryRegistry::DeleteKeyIfEmpty(const std::string &key) {
  BeforeChange();
  const auto found = records.find(key);
  if (found == records.end() || !found->second.empty() || !SubKeys(key).empty())
    return false;
  if (undeletableRecordKeys.count(key) != 0)
    throw Error("Cannot delete the registry key " + std::string(ProgramKeyName) +
                (key.empty() ? "" : "\\" + key) + ": Access is denied.");
  records.erase(found);
  AfterChange();
  return true;
}

} // namespace vantrel::test
