#include "platform/RecordStore.h"

#include "platform/Error.h"
#include "platform/win32/CodePageText.h"
#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/RegistryKey.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

#include <algorithm>
#include <map>

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

// The program's key stays open while the process runs, and so does every
// key below it once opened: a run reads and writes one value after another,
// and a key opened from the program's key is found far quicker than a path
// from HKEY_LOCAL_MACHINE in the 32-bit view. A key deleted meanwhile (by
// another program, or a test) is opened anew.
class Win32RecordStore : public RecordStore {
public:
  std::vector<Value> ReadValues(const std::string &key) override {
    std::vector<Value> values;
    const win32::OptionalFunctions &optional = win32::Optional();
    const LONG opened = WithKey(key, Need::Existing, [&](HKEY handle) {
      values.clear();
      // Each value's name and data in one call; the buffers grow for a longer one.
      std::size_t nameSize = 256, dataSize = 4096;
      for (DWORD index = 0;;) {
        Value value;
        DWORD type = 0;
        LONG result;
        std::string data(dataSize, '\0');
        DWORD dataLength = static_cast<DWORD>(data.size());
        if (optional.RegEnumValueW != nullptr) {
          std::wstring name(nameSize, L'\0');
          DWORD length = static_cast<DWORD>(name.size());
          result = optional.RegEnumValueW(handle, index, name.data(), &length, nullptr, &type,
                                          reinterpret_cast<BYTE *>(data.data()), &dataLength);
          value.name = FromWide(name.data(), length);
        } else {
          std::string name(nameSize, '\0');
          DWORD length = static_cast<DWORD>(name.size());
          result = RegEnumValueA(handle, index, name.data(), &length, nullptr, &type,
                                 reinterpret_cast<BYTE *>(data.data()), &dataLength);
          value.name = FromAnsi(std::string_view(name.data(), length));
        }
        if (result == ERROR_MORE_DATA) {
          nameSize *= 2;
          dataSize = std::max<std::size_t>(dataSize * 2, dataLength + 2);
          continue;
        }
        if (result != ERROR_SUCCESS)
          return result == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : result;
        if (type == REG_SZ) {
          data.resize(dataLength);
          value.text = optional.RegEnumValueW != nullptr ? FromUtf16Bytes(data) : FromAnsiBytes(data);
        }
        values.push_back(std::move(value));
        ++index;
      }
    });
    if (opened != ERROR_SUCCESS && opened != ERROR_FILE_NOT_FOUND)
      win32::RaiseError("Cannot read the values of the registry key " + KeyName(key), opened);
    return values;
  }

  std::vector<std::string> SubKeys(const std::string &key) override {
    std::vector<std::string> names;
    const LONG opened = WithKey(key, Need::Existing, [&](HKEY handle) {
      names.clear();
      for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        const LONG result =
            RegEnumKeyExA(handle, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
          return result == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : result;
        names.emplace_back(name, length);
      }
    });
    if (opened != ERROR_SUCCESS && opened != ERROR_FILE_NOT_FOUND)
      win32::RaiseError("Cannot read the subkeys of the registry key " + KeyName(key), opened);
    return names;
  }

  void WriteValue(const std::string &key, const std::u16string &name,
                  const std::u16string &text) override {
    const win32::OptionalFunctions &optional = win32::Optional();
    const LONG result = WithKey(key, Need::Created, [&](HKEY handle) {
      if (optional.RegSetValueExW != nullptr) {
        const std::wstring data = Wide(text);
        return optional.RegSetValueExW(handle, Wide(name).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE *>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
      }
      const std::string data = Ansi(text);
      return RegSetValueExA(handle, Ansi(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE *>(data.c_str()),
                            static_cast<DWORD>(data.size() + 1));
    });
    if (result != ERROR_SUCCESS)
      win32::RaiseError("Cannot write the registry value \"" + Shown(name) + "\" under " +
                            KeyName(key),
                        result);
  }

  void DeleteValue(const std::string &key, const std::u16string &name) override {
    const win32::OptionalFunctions &optional = win32::Optional();
    const LONG result = WithKey(key, Need::Existing, [&](HKEY handle) {
      return optional.RegDeleteValueW != nullptr ? optional.RegDeleteValueW(handle, Wide(name).c_str())
                                                 : RegDeleteValueA(handle, Ansi(name).c_str());
    });
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
      win32::RaiseError("Cannot delete the registry value \"" + Shown(name) + "\" under " +
                            KeyName(key),
                        result);
  }

  bool DeleteKeyIfEmpty(const std::string &key) override {
    DWORD subKeys = 0, values = 0;
    const LONG result = WithKey(key, Need::Existing, [&](HKEY handle) {
      return RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                              &values, nullptr, nullptr, nullptr, nullptr);
    });
    if (result == ERROR_FILE_NOT_FOUND)
      return false;
    if (result != ERROR_SUCCESS)
      win32::RaiseError("Cannot read the registry key " + KeyName(key), result);
    if (subKeys != 0 || values != 0)
      return false;
    // Its handles, and those of the keys below it, go first.
    for (auto open = opened_.begin(); open != opened_.end();)
      open = key.empty() || open->first == key || open->first.rfind(key + "\\", 0) == 0
                 ? opened_.erase(open)
                 : std::next(open);
    const LONG deleted = win32::DeleteKeyInView(HKEY_LOCAL_MACHINE, KeyPath(key).c_str());
    if (deleted == ERROR_FILE_NOT_FOUND)
      return false;
    if (deleted != ERROR_SUCCESS)
      win32::RaiseError("Cannot delete the registry key " + KeyName(key), deleted);
    return true;
  }

  // A key's flush writes its whole hive. Once the program's key is deleted,
  // the key above it carries the deletion to the disk.
  void Flush() override {
    LONG result = WithKey("", Need::Existing, [](HKEY handle) { return RegFlushKey(handle); });
    std::string flushed = KeyName("");
    if (result == ERROR_FILE_NOT_FOUND) {
      flushed = "HKEY_LOCAL_MACHINE\\SOFTWARE";
      UniqueKey software;
      result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ | win32::RegistryView,
                             software.Receive());
      if (result == ERROR_SUCCESS)
        result = RegFlushKey(software.Get());
    }
    if (result != ERROR_SUCCESS)
      win32::RaiseError("Cannot write the registry key " + flushed + " to the disk", result);
  }

private:
  enum class Need { Existing, Created };

  // Runs `use` on the key (opened, or created with the keys above it); a key
  // deleted meanwhile is opened once more. ERROR_FILE_NOT_FOUND: there is no
  // such key to use.
  template <typename Use> LONG WithKey(const std::string &key, Need need, Use &&use) {
    LONG result = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 2; ++attempt) {
      const HKEY handle = Key(key, need, result);
      if (handle != nullptr)
        result = use(handle);
      if (result != ERROR_KEY_DELETED)
        return result;
      opened_.clear();
    }
    return result;
  }

  // The key, kept open: for writing where this process may write, else for
  // reading; nullptr with the reason in `result`.
  HKEY Key(const std::string &key, Need need, LONG &result) {
    const auto found = opened_.find(key);
    if (found != opened_.end() && (need == Need::Existing || found->second.writable))
      return found->second.handle.Get();
    // From the program's key, kept open too; that one from the machine's root.
    HKEY parent = HKEY_LOCAL_MACHINE;
    std::string path = KeyPath(key);
    if (!key.empty()) {
      parent = Key("", need, result);
      if (parent == nullptr)
        return nullptr;
      path = key;
    }
    UniqueKey handle;
    bool writable = true;
    const REGSAM view = parent == HKEY_LOCAL_MACHINE ? win32::RegistryView : 0;
    if (need == Need::Created) {
      result = RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_READ | KEY_WRITE | view, nullptr, handle.Receive(), nullptr);
    } else {
      result = RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ | KEY_WRITE | view, handle.Receive());
      if (result == ERROR_ACCESS_DENIED) { // a run that only reads (a check, without rights)
        writable = false;
        result = RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ | view, handle.Receive());
      }
    }
    if (result != ERROR_SUCCESS)
      return nullptr;
    OpenKey &kept = opened_[key];
    kept.handle.Reset(handle.Release());
    kept.writable = writable;
    return kept.handle.Get();
  }

  struct OpenKey {
    UniqueKey handle;
    bool writable = false;
  };
  std::map<std::string, OpenKey> opened_; // by key path below the program's key ("" is it)

  // A REG_SZ value's data as the W functions give it (UTF-16, with a
  // terminating NUL or without), and as the A ones do.
  static std::u16string FromUtf16Bytes(const std::string &bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    while (!text.empty() && text.back() == u'\0')
      text.pop_back();
    return text;
  }

  static std::u16string FromAnsiBytes(std::string bytes) {
    while (!bytes.empty() && bytes.back() == '\0')
      bytes.pop_back();
    return FromAnsi(bytes);
  }
};

} // namespace

RecordStore &SystemRecordStore() {
  static Win32RecordStore store;
  return store;
}

} // namespace vantrel
