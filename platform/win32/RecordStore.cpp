#include "platform/RecordStore.h"

#include "platform/Error.h"
#include "platform/win32/CodePageText.h"
#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/RegistryKey.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

using win32::UniqueKey;

const char *const ProgramKey = "SOFTWARE\\Vantrel";

std::string KeyPath(const std::string &key) {
  return key.empty() ? ProgramKey : std::string(ProgramKey) + "\\" + key;
}

std::string KeyName(const std::string &key) {
  return std::string("HKEY_LOCAL_MACHINE\\") + KeyPath(key);
}

// A value's name for messages: "?" for a character the code page lacks.
std::string Shown(const std::u16string &name) {
  std::string shown;
  for (char16_t c : name) {
    const std::optional<std::string> text = win32::ToCodePage(std::wstring(1, c), CP_ACP);
    shown += text ? *text : "?";
  }
  return shown;
}

std::wstring Wide(const std::u16string &text) { return std::wstring(text.begin(), text.end()); }

std::u16string FromWide(const wchar_t *text, std::size_t length) {
  return std::u16string(text, text + length);
}

// The text as Windows 98 and ME keep it, in the ANSI code page, where the
// record's texts come from.
std::string Ansi(const std::u16string &text) {
  if (std::optional<std::string> ansi = win32::ToCodePage(Wide(text), CP_ACP))
    return *ansi;
  throw Error("\"" + Shown(text) + "\" has characters that this system's code page lacks.");
}

std::u16string FromAnsi(std::string_view text) {
  const std::wstring wide = win32::FromCodePage(text, CP_ACP);
  return std::u16string(wide.begin(), wide.end());
}

class Win32RecordStore : public RecordStore {
public:
  std::vector<Value> ReadValues(const std::string &key) override {
    std::vector<Value> values;
    UniqueKey opened;
    if (!Open(key, KEY_READ, opened))
      return values;
    const win32::OptionalFunctions &optional = win32::Optional();
    for (DWORD index = 0;; ++index) {
      Value value;
      DWORD type = 0;
      LONG result;
      if (optional.RegEnumValueW != nullptr) {
        std::wstring name(256, L'\0');
        for (;;) {
          DWORD length = static_cast<DWORD>(name.size());
          result = optional.RegEnumValueW(opened.Get(), index, name.data(), &length, nullptr,
                                          &type, nullptr, nullptr);
          if (result != ERROR_MORE_DATA) {
            name.resize(length);
            break;
          }
          name.resize(name.size() * 2);
        }
        value.name = FromWide(name.data(), name.size());
      } else {
        std::string name(256, '\0');
        for (;;) {
          DWORD length = static_cast<DWORD>(name.size());
          result = RegEnumValueA(opened.Get(), index, name.data(), &length, nullptr, &type,
                                 nullptr, nullptr);
          if (result != ERROR_MORE_DATA) {
            name.resize(length);
            break;
          }
          name.resize(name.size() * 2);
        }
        value.name = FromAnsi(name);
      }
      if (result == ERROR_NO_MORE_ITEMS)
        return values;
      if (result != ERROR_SUCCESS)
        win32::RaiseError("Cannot read the values of the registry key " + KeyName(key), result);
      if (type == REG_SZ)
        value.text = ReadText(opened.Get(), key, value.name);
      values.push_back(std::move(value));
    }
  }

  std::vector<std::string> SubKeys(const std::string &key) override {
    std::vector<std::string> names;
    UniqueKey opened;
    if (!Open(key, KEY_READ, opened))
      return names;
    for (DWORD index = 0;; ++index) {
      char name[256];
      DWORD length = sizeof name;
      const LONG result =
          RegEnumKeyExA(opened.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (result == ERROR_NO_MORE_ITEMS)
        return names;
      if (result != ERROR_SUCCESS)
        win32::RaiseError("Cannot read the subkeys of the registry key " + KeyName(key), result);
      names.emplace_back(name, length);
    }
  }

  void WriteValue(const std::string &key, const std::u16string &name,
                  const std::u16string &text) override {
    const std::string what =
        "Cannot write the registry value \"" + Shown(name) + "\" under " + KeyName(key);
    UniqueKey created;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath(key).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE | win32::RegistryView,
                                  nullptr, created.Receive(), nullptr);
    if (result == ERROR_SUCCESS) {
      const win32::OptionalFunctions &optional = win32::Optional();
      if (optional.RegSetValueExW != nullptr) {
        const std::wstring data = Wide(text);
        result = optional.RegSetValueExW(created.Get(), Wide(name).c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE *>(data.c_str()),
                                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
      } else {
        const std::string data = Ansi(text);
        result = RegSetValueExA(created.Get(), Ansi(name).c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE *>(data.c_str()),
                                static_cast<DWORD>(data.size() + 1));
      }
    }
    if (result != ERROR_SUCCESS)
      win32::RaiseError(what, result);
  }

  void DeleteValue(const std::string &key, const std::u16string &name) override {
    UniqueKey opened;
    if (!Open(key, KEY_READ | KEY_WRITE, opened))
      return;
    const win32::OptionalFunctions &optional = win32::Optional();
    const LONG result = optional.RegDeleteValueW != nullptr
                            ? optional.RegDeleteValueW(opened.Get(), Wide(name).c_str())
                            : RegDeleteValueA(opened.Get(), Ansi(name).c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
      win32::RaiseError("Cannot delete the registry value \"" + Shown(name) + "\" under " +
                            KeyName(key),
                        result);
  }

  bool DeleteKeyIfEmpty(const std::string &key) override {
    {
      UniqueKey opened;
      if (!Open(key, KEY_READ, opened))
        return false;
      DWORD subKeys = 0, values = 0;
      const LONG result = RegQueryInfoKeyA(opened.Get(), nullptr, nullptr, nullptr, &subKeys,
                                           nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                                           nullptr);
      if (result != ERROR_SUCCESS)
        win32::RaiseError("Cannot read the registry key " + KeyName(key), result);
      if (subKeys != 0 || values != 0)
        return false;
    }
    const LONG result = win32::DeleteKeyInView(HKEY_LOCAL_MACHINE, KeyPath(key).c_str());
    if (result == ERROR_FILE_NOT_FOUND)
      return false;
    if (result != ERROR_SUCCESS)
      win32::RaiseError("Cannot delete the registry key " + KeyName(key), result);
    return true;
  }

private:
  // False when there is no such key; any other failure raises.
  static bool Open(const std::string &key, REGSAM access, UniqueKey &opened) {
    const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath(key).c_str(), 0,
                                      access | win32::RegistryView, opened.Receive());
    if (result == ERROR_FILE_NOT_FOUND)
      return false;
    if (result != ERROR_SUCCESS)
      win32::RaiseError("Cannot open the registry key " + KeyName(key), result);
    return true;
  }

  static std::u16string ReadText(HKEY key, const std::string &keyPath,
                                 const std::u16string &name) {
    const std::string what =
        "Cannot read the registry value \"" + Shown(name) + "\" under " + KeyName(keyPath);
    const win32::OptionalFunctions &optional = win32::Optional();
    for (;;) {
      DWORD type = 0, size = 0;
      const std::wstring wideName = Wide(name);
      const std::string ansiName = optional.RegQueryValueExW != nullptr ? "" : Ansi(name);
      const auto query = [&](BYTE *data) {
        return optional.RegQueryValueExW != nullptr
                   ? optional.RegQueryValueExW(key, wideName.c_str(), nullptr, &type, data, &size)
                   : RegQueryValueExA(key, ansiName.c_str(), nullptr, &type, data, &size);
      };
      LONG result = query(nullptr);
      if (result != ERROR_SUCCESS)
        win32::RaiseError(what, result);
      std::string bytes(size, '\0');
      result = query(reinterpret_cast<BYTE *>(bytes.data()));
      if (result == ERROR_MORE_DATA)
        continue; // it grew in between
      if (result != ERROR_SUCCESS)
        win32::RaiseError(what, result);
      bytes.resize(size);
      if (optional.RegQueryValueExW == nullptr) {
        while (!bytes.empty() && bytes.back() == '\0')
          bytes.pop_back();
        return FromAnsi(bytes);
      }
      std::u16string text(bytes.size() / 2, u'\0');
      for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
      while (!text.empty() && text.back() == u'\0')
        text.pop_back();
      return text;
    }
  }
};

} // namespace

RecordStore &SystemRecordStore() {
  static Win32RecordStore store;
  return store;
}

} // namespace vantrel
