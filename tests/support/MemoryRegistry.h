#pragma once
// An in-memory registry, and the program's record in it, for what the real
// one cannot be made to show: a write that fails part-way through a run, a
// run killed between two writes, a power cut. Value names match without
// regard to (ASCII) case, and keep the spelling they were first written with,
// as Windows does. All of it is one hive, as SOFTWARE is: a write reaches the
// disk when the hive is flushed, with every write before it.

#include "platform/RecordStore.h"
#include "platform/Registry.h"
#include "tests/support/WriteGate.h"

#include <map>
#include <set>
#include <string>

namespace vantrel::test {

class MemoryRegistry : public Registry, public RecordStore {
public:
  // Full key path ("HKEY_LOCAL_MACHINE\SOFTWARE\...") -> value name -> data.
  std::map<std::string, std::map<std::string, std::string>> keys;
  // Keys that exist but that this process may not open.
  std::set<std::string> denied;
  // The record: key path below the program's key -> value name -> text.
  std::map<std::string, std::map<std::u16string, std::u16string>> records;
  std::set<std::string> undeletableRecordKeys;
  WriteGate *gate = nullptr;

  // Makes the n-th value write from now (1 = the next) raise.
  void FailAtWrite(int n) { failAt_ = writes_ + n; }
  // What is on the disk: the keys and the record as the last flush (or
  // MakeDurable) left them; a power cut brings them back.
  void MakeDurable() { durableKeys_ = keys, durableRecords_ = records; }
  void PowerCut() { keys = durableKeys_, records = durableRecords_; }
  int Writes() const { return writes_; }

  std::unique_ptr<RegistryAccessor> CreateAccessor() override;

  std::vector<Value> ReadValues(const std::string &key) override;
  std::vector<std::string> SubKeys(const std::string &key) override;
  void WriteValue(const std::string &key, const std::u16string &name,
                  const std::u16string &text) override;
  void DeleteValue(const std::string &key, const std::u16string &name) override;
  bool DeleteKeyIfEmpty(const std::string &key) override;
  void Flush() override {
    BeforeChange(); // a killed process flushes nothing
    MakeDurable();
  }

  void BeforeChange() {
    if (gate != nullptr)
      gate->Before();
  }
  void AfterChange() {
    if (gate != nullptr)
      gate->After();
  }

private:
  friend class MemoryRegistryAccessor;
  int writes_ = 0;
  int failAt_ = -1;
  std::map<std::string, std::map<std::string, std::string>> durableKeys_;
  std::map<std::string, std::map<std::u16string, std::u16string>> durableRecords_;
};

} // namespace vantrel::test
