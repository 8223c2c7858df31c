#include "tests/support/MemoryRegistry.h"

#include "platform/Error.h"

namespace vantrel::test {

class MemoryRegistryAccessor : public RegistryAccessor {
public:
  explicit MemoryRegistryAccessor(MemoryRegistry &registry) : registry_(registry) {}

  void SetRootKey(RootKey root) override {
    CloseKey();
    root_ = RootKeyName(root);
  }
  bool OpenKey(const std::string &path, bool createIfMissing) override {
    const std::string full = Resolve(path);
    if (createIfMissing)
      registry_.keys[full];
    return Open(full);
  }
  bool OpenExistingKey(const std::string &path, KeyAccess) override {
    const std::string full = Resolve(path);
    if (registry_.denied.count(full) != 0)
      throw Error("Cannot open the registry key " + full + ": Access is denied.");
    return Open(full);
  }
  bool CreateKey(const std::string &path) override {
    registry_.keys[Resolve(path)];
    return true;
  }
  std::string ReadString(const std::string &name) override {
    auto key = registry_.keys.find(open_);
    if (key == registry_.keys.end())
      return "";
    auto value = key->second.find(name);
    return value == key->second.end() ? "" : value->second;
  }
  void WriteString(const std::string &name, const std::string &data) override {
    if (++registry_.writes_ == registry_.failAt_ || open_.empty())
      throw Error("Cannot write the registry value \"" + name + "\" under " + open_ +
                  ": simulated failure.");
    registry_.keys[open_][name] = data;
  }
  bool DeleteValue(const std::string &name) override {
    if (open_.empty())
      throw Error("Cannot delete the registry value \"" + name + "\": no key is open.");
    return registry_.keys[open_].erase(name) != 0;
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
    return registry_.keys.erase(Resolve(path)) != 0;
  }
  void CloseKey() override { open_.clear(); }

private:
  std::string Resolve(const std::string &path) const {
    if (!path.empty() && path.front() == '\\')
      return root_ + path;
    return (open_.empty() ? root_ : open_) + "\\" + path;
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

} // namespace vantrel::test
