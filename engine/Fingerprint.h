#pragma once
// A file's content in brief: its size and a hash of its bytes (64-bit
// FNV-1a), enough to tell later whether a file is still the one it was.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace vantrel {

class Fingerprint {
public:
  void Add(std::string_view bytes) {
    for (unsigned char byte : bytes)
      hash_ = (hash_ ^ byte) * 0x100000001b3ull;
    size_ += bytes.size();
  }
  // "SIZE:HASH", as the record keeps it.
  std::string Text() const {
    char text[48];
    std::snprintf(text, sizeof text, "%llu:%016llx", static_cast<unsigned long long>(size_),
                  static_cast<unsigned long long>(hash_));
    return text;
  }

private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
  std::uint64_t size_ = 0;
};

inline std::string FingerprintOf(std::string_view bytes) {
  Fingerprint fingerprint;
  fingerprint.Add(bytes);
  return fingerprint.Text();
}

} // namespace vantrel
