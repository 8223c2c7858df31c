#pragma once
// What a registration writes into the record before each of its changes.

#include "engine/RegistrationRecord.h"
#include "engine/SameFolder.h"
#include "engine/TargetProfile.h"

#include <cstdint>
#include <string>

namespace vantrel {

// The sequence a registration from programDir for the IDE records: the most
// recent one's again when that is this folder's for this IDE (a run that
// completes an interrupted one, or repeats it), so that it stays the most
// recent; else the next.
std::uint64_t RegistrationSequence(const RegistrationRecord &record, const TargetProfile &profile,
                                   const std::string &programDir, const SameFolderTest &sameFolder);

// Before the name's help location is written: its entry gets this folder's
// registration for the IDE, as the most recent, keeping a line that an
// earlier run from here appended as appended, and marked as appending the
// name's line when this run is about to (`appendsLine`). The location the name has now
// (`locationBefore`, empty: none, read before) is kept where the record did
// not write it: as the entry's "before" when the record knows no
// registration of the name, else as one that this registration replaced
// (once per folder: one met again becomes the most recent). One that named
// this folder before any registration of the record from here was left by a
// run from here without a record: its location and line are adopted as this
// registration's own, so that the removal takes both.
void RecordRegistration(RegistrationRecord &record, const std::string &name,
                        const TargetProfile &profile, const std::string &programDir,
                        std::uint64_t sequence, const std::string &locationBefore,
                        const SameFolderTest &sameFolder, bool appendsLine);

// Whether the recorded folder is programDir (one this code page cannot name is not).
bool IsRecordedFolder(const RegistrationRecord &record, const std::u16string &folder,
                      const std::string &programDir, const SameFolderTest &sameFolder);

} // namespace vantrel
