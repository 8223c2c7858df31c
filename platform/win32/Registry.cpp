#include "platform/Registry.h"

#include "platform/Error.h"
#include "platform/win32/RegistryKey.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

#include <algorithm>

namespace vantrel {

namespace {

using win32::UniqueKey;
constexpr REGSAM View = win32::RegistryView;

HKEY RootHandle(RootKey root) {
  switch (root) {
  case RootKey::LocalMachine:
    return HKEY_LOCAL_MACHINE;
  }
  return nullptr;
}

class Win32RegistryAccessor : public RegistryAccessor {
public:
  void SetRootKey(RootKey root) override {
    CloseKey();
    root_ = root;
  }

  bool OpenKey(const std::string &path, bool createIfMissing) override {
    const Target target = Resolve(path);
    UniqueKey opened;
    if (createIfMissing)
      lastError_ = RegCreateKeyExA(target.parent, target.subKey.c_str(), 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE | View, nullptr,
                                   opened.Receive(), nullptr);
    else
      lastError_ = RegOpenKeyExA(target.parent, target.subKey.c_str(), 0,
                                 KEY_READ | KEY_WRITE | View, opened.Receive());
    return Adopt(opened, target.fullPath);
  }

  bool OpenExistingKey(const std::string &path, KeyAccess access) override {
    const Target target = Resolve(path);
    UniqueKey opened;
    const REGSAM rights = access == KeyAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE;
    lastError_ =
        RegOpenKeyExA(target.parent, target.subKey.c_str(), 0, rights | View, opened.Receive());
    if (lastError_ != ERROR_SUCCESS && lastError_ != ERROR_FILE_NOT_FOUND)
      win32::RaiseError("Cannot open the registry key " + target.fullPath, lastError_);
    return Adopt(opened, target.fullPath);
  }

  bool CreateKey(const std::string &path) override {
    const Target target = Resolve(path);
    UniqueKey created;
    return RegCreateKeyExA(target.parent, target.subKey.c_str(), 0, nullptr,
                           REG_OPTION_NON_VOLATILE, KEY_READ | View, nullptr, created.Receive(),
                           nullptr) == ERROR_SUCCESS;
  }

  std::string ReadString(const std::string &name) override {
    if (key_.Get() == nullptr) // why the key could not be opened: nothing was read
      win32::RaiseError("Cannot read the registry value \"" + name + "\" under " + keyPath_,
                        lastError_);
    // One call for the usual value; a longer one is read again with room for it.
    std::string data(512, '\0');
    for (;;) {
      DWORD type = 0, size = static_cast<DWORD>(data.size());
      const LONG result = RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE *>(data.data()), &size);
      if (result == ERROR_FILE_NOT_FOUND)
        return "";
      if (result == ERROR_MORE_DATA) {
        data.assign(std::max<std::size_t>(size, data.size() * 2), '\0');
        continue; // it may grow in between
      }
      if (result != ERROR_SUCCESS)
        win32::RaiseError("Cannot read the registry value \"" + name + "\" under " + keyPath_,
                          result);
      if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error("The registry value \"" + name + "\" under " + keyPath_ +
                    " is not a string value.");
      data.resize(size);
      while (!data.empty() && data.back() == '\0')
        data.pop_back();
      return data;
    }
  }

  void WriteString(const std::string &name, const std::string &data) override {
    const std::string what = "Cannot write the registry value \"" + name + "\" under " + keyPath_;
    if (key_.Get() == nullptr)
      win32::RaiseError(what, lastError_); // why the key could not be opened
    const LONG result =
        RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE *>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    if (result != ERROR_SUCCESS)
      win32::RaiseError(what, result);
  }

  bool DeleteValue(const std::string &name) override {
    const std::string what = "Cannot delete the registry value \"" + name + "\" under " + keyPath_;
    if (key_.Get() == nullptr)
      win32::RaiseError(what, lastError_);
    const LONG result = RegDeleteValueA(key_.Get(), name.c_str());
    if (result == ERROR_FILE_NOT_FOUND)
      return false;
    if (result != ERROR_SUCCESS)
      win32::RaiseError(what, result);
    return true;
  }

  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    if (key_.Get() == nullptr)
      return names;
    DWORD count = 0, longest = 0;
    LONG result = RegQueryInfoKeyA(key_.Get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &count, &longest, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS)
      win32::RaiseError("Cannot read the values of the registry key " + keyPath_, result);
    std::string name(longest + 1, '\0');
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(name.size());
      result = RegEnumValueA(key_.Get(), index, name.data(), &length, nullptr, nullptr, nullptr,
                             nullptr);
      if (result == ERROR_NO_MORE_ITEMS)
        return names;
      if (result == ERROR_MORE_DATA) { // a value added meanwhile
        name.resize(name.size() * 2);
        --index;
        continue;
      }
      if (result != ERROR_SUCCESS)
        win32::RaiseError("Cannot read the values of the registry key " + keyPath_, result);
      names.emplace_back(name.data(), length);
    }
  }

  bool DeleteKey(const std::string &path) override {
    CloseKey();
    const Target target = Resolve(path);
    const LONG result = win32::DeleteKeyInView(target.parent, target.subKey.c_str());
    if (result == ERROR_FILE_NOT_FOUND)
      return false;
    if (result != ERROR_SUCCESS)
      win32::RaiseError("Cannot delete the registry key " + target.fullPath, result);
    return true;
  }

  void CloseKey() override { key_.Reset(); }

private:
  struct Target {
    HKEY parent;
    std::string subKey;
    std::string fullPath; // for messages
  };

  Target Resolve(const std::string &path) const {
    if (!path.empty() && path.front() == '\\')
      return {RootHandle(root_), path.substr(1), std::string(RootKeyName(root_)) + path};
    if (key_.Get() != nullptr)
      return {key_.Get(), path, keyPath_ + "\\" + path};
    return {RootHandle(root_), path, std::string(RootKeyName(root_)) + "\\" + path};
  }

  bool Adopt(UniqueKey &opened, const std::string &fullPath) {
    keyPath_ = fullPath; // also after a failure: a later write names the key it wanted
    key_.Reset(opened.Release());
    return lastError_ == ERROR_SUCCESS;
  }

  RootKey root_ = RootKey::LocalMachine;
  UniqueKey key_;
  std::string keyPath_;
  LONG lastError_ = ERROR_INVALID_HANDLE;
};

class Win32Registry : public Registry {
public:
  std::unique_ptr<RegistryAccessor> CreateAccessor() override {
    return std::make_unique<Win32RegistryAccessor>();
  }
};

} // namespace

Registry &SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

} // namespace vantrel
