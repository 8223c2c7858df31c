#pragma once
// What each registration did, kept by the program under its own registry key
// so that a removal undoes exactly that: per IDE version and help name, the
// folders that registered the name (most recent last), whether each one's run
// appended the directive line or found it there, and the help location the
// name had before the first of them changed it.

#include "engine/TargetProfile.h"
#include "platform/Registry.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// Under HKEY_LOCAL_MACHINE; a key per IDE version below it ("...\Delphi 4").
extern const char *const RecordKey;

struct RecordedFolder {
  unsigned long sequence = 0; // orders registrations across both IDEs' records
  bool appended = false;      // its run appended the directive line
  std::string folder;         // with its trailing backslash
};

struct NameRecord {
  std::optional<std::string> before; // the help location before the first registration
  std::vector<RecordedFolder> folders; // most recent last
};

// Help name -> what is recorded for it.
using RegistrationRecord = std::map<std::string, NameRecord>;

// The record of one IDE version; empty when there is none.
RegistrationRecord ReadRegistrationRecord(Registry &registry, const TargetProfile &profile);

// Writes the record's names that `names` lists (deleting those left with no
// folder), then deletes the IDE's record key if that has no name left.
void WriteRegistrationRecord(Registry &registry, const TargetProfile &profile,
                             const RegistrationRecord &record,
                             const std::vector<std::string> &names);

// The highest sequence number in the records of every known IDE version.
unsigned long LastSequence(Registry &registry);

} // namespace vantrel
