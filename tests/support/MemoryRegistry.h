#pragma once
// An in-memory registry for what the real one cannot be made to show: a
// write that fails part-way through a run.

#include "platform/Registry.h"

#include <map>
#include <set>
#include <string>

namespace vantrel::test {

class MemoryRegistry : public Registry {
public:
  // Full key path ("HKEY_LOCAL_MACHINE\SOFTWARE\...") -> value name -> data.
  std::map<std::string, std::map<std::string, std::string>> keys;
  // Keys that exist but that this process may not open.
  std::set<std::string> denied;

  // Makes the n-th value write from now (1 = the next) raise.
  void FailAtWrite(int n) { failAt_ = writes_ + n; }
  int Writes() const { return writes_; }

  std::unique_ptr<RegistryAccessor> CreateAccessor() override;

private:
  friend class MemoryRegistryAccessor;
  int writes_ = 0;
  int failAt_ = -1;
};

} // namespace vantrel::test
