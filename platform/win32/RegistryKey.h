#pragma once
// What the registry services share: the view they work in and an owned key handle.

#include <windows.h>

namespace vantrel::win32 {

// The IDE is a 32-bit program and keeps its key in the 32-bit view, where the
// 32-bit help viewer also looks for help locations; the program's own record
// lives there too. A 32-bit program sees that view anyway; Windows 2000
// refuses the flag.
#ifdef _WIN64
constexpr REGSAM RegistryView = KEY_WOW64_32KEY;
#else
constexpr REGSAM RegistryView = 0;
#endif

class UniqueKey {
public:
  UniqueKey() = default;
  UniqueKey(const UniqueKey &) = delete;
  UniqueKey &operator=(const UniqueKey &) = delete;
  ~UniqueKey() { Reset(); }
  HKEY Get() const { return key_; }
  HKEY *Receive() {
    Reset();
    return &key_;
  }
  void Reset(HKEY key = nullptr) {
    if (key_ != nullptr)
      RegCloseKey(key_);
    key_ = key;
  }
  HKEY Release() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
  }

private:
  HKEY key_ = nullptr;
};

// Deletes a key that has no subkeys, in the view above.
inline LONG DeleteKeyInView(HKEY parent, const char *subKey) {
#ifdef _WIN64
  return RegDeleteKeyExA(parent, subKey, RegistryView, 0);
#else
  return RegDeleteKeyA(parent, subKey);
#endif
}

} // namespace vantrel::win32
