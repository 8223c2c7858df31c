#include "tests/support/RegistryHelpers.h"

#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel::test {

namespace {

struct Key {
  HKEY handle = nullptr;
  ~Key() {
    if (handle)
      RegCloseKey(handle);
  }
};

std::optional<std::string> GetString(const std::string &key, const std::string &name, REGSAM view) {
  Key opened;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &opened.handle) !=
      ERROR_SUCCESS)
    return std::nullopt;
  char data[4096];
  DWORD size = sizeof data, type = 0;
  if (RegQueryValueExA(opened.handle, name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE *>(data), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(data, size > 0 && data[size - 1] == '\0' ? size - 1 : size);
}

void Set(const std::string &key, const std::string &name, DWORD type, const void *data,
         DWORD size) {
  Key created;
  LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &created.handle, nullptr);
  if (result == ERROR_SUCCESS)
    result = RegSetValueExA(created.handle, name.c_str(), 0, type,
                            static_cast<const BYTE *>(data), size);
  if (result != ERROR_SUCCESS)
    win32::RaiseError("Cannot set up registry value " + key + "\\" + name, result);
}

} // namespace

void SetString32(const std::string &key, const std::string &name, const std::string &data) {
  Set(key, name, REG_SZ, data.c_str(), static_cast<DWORD>(data.size() + 1));
}

void SetDword32(const std::string &key, const std::string &name, unsigned long data) {
  const DWORD value = data;
  Set(key, name, REG_DWORD, &value, sizeof value);
}

std::optional<std::string> GetString32(const std::string &key, const std::string &name) {
  return GetString(key, name, KEY_WOW64_32KEY);
}

std::optional<std::string> GetStringWow6432Node(const std::string &key, const std::string &name) {
  return GetString("SOFTWARE\\Wow6432Node\\" + key.substr(key.find('\\') + 1), name,
                   KEY_WOW64_64KEY);
}

bool HasTwoRegistryViews() {
  BOOL wow64 = FALSE;
  return sizeof(void *) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

bool KeyExists32(const std::string &key) {
  Key opened;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY,
                       &opened.handle) == ERROR_SUCCESS;
}

void DeleteTree32(const std::string &key) {
  const std::size_t split = key.rfind('\\');
  Key parent;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.substr(0, split).c_str(), 0,
                    KEY_ALL_ACCESS | KEY_WOW64_32KEY, &parent.handle) != ERROR_SUCCESS)
    return;
  const LONG result = RegDeleteTreeA(parent.handle, key.substr(split + 1).c_str());
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
    win32::RaiseError("Cannot delete registry key " + key, result);
}

} // namespace vantrel::test
