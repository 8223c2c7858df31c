#pragma once
// The program's own record of what its runs did and are doing, so that a
// removal undoes exactly that and a run that was killed half-way is
// completed by the next one. Each change is written before it is made.
//
// Under HKEY_LOCAL_MACHINE\SOFTWARE\Vantrel (RecordStore, in UTF-16):
// - "Registrations": one value per help name (names the registry takes for
//   one value name are one name), holding the help location the name had
//   before the first registration the record knows, the locations that later
//   registrations found there and that no registration of the record wrote
//   (other products'), and every registration of it: from which folder, for
//   which IDE version, and whether its run appended the directive line (or
//   adopted the one a run without a record from its folder appended);
// - "Contents": one value per IDE version, about its contents file: what the
//   registrations changed at its end, a replace under way, and whether the
//   help viewer's compiled copies are stale.
// - "Layout" (a value of the program's key): the number of the record's
//   layout, RecordLayout for what this program writes; a record without one
//   is of this layout.
// An entry that cannot be parsed is damaged; one that this system's code
// page cannot name (written under another) is foreign. Both are left as they
// are unless a run has to replace them. In a record of a newer layout, an
// entry that cannot be parsed was written by a newer version of the program:
// it is never damage, and no run changes it. (A newer layout keeps what this
// one can read as it reads it; what it must not change, it writes so that it
// cannot be read here.)

#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/RecordStore.h"
#include "platform/RunLog.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

extern const char *const RegistrationsKey; // below the program's key
extern const char *const ContentsKey;
extern const unsigned RecordLayout;

struct Registration {
  std::uint64_t sequence = 0; // orders registrations across both IDE versions
  std::string ide;            // the IDE version's name ("Delphi 4")
  bool appended = false;      // its run appended the directive line, or was about to
  // The help location named this folder before the record's first
  // registration from it: a run without a record from here registered the
  // name, and its line and location are this folder's (appended, too).
  bool adopted = false;
  std::u16string folder; // with its trailing backslash

  bool operator==(const Registration &other) const {
    return sequence == other.sequence && ide == other.ide && appended == other.appended &&
           adopted == other.adopted && folder == other.folder;
  }
};

struct NameEntry {
  std::u16string name; // as first registered
  // The help location before the first registration; nothing when there was none.
  std::optional<std::u16string> before;
  // Locations of other products (or of runs without a record) that later
  // registrations replaced, oldest first.
  std::vector<std::u16string> replaced;
  std::vector<Registration> registrations; // most recent last

  bool operator==(const NameEntry &other) const {
    return name == other.name && before == other.before && replaced == other.replaced &&
           registrations == other.registrations;
  }
  bool operator!=(const NameEntry &other) const { return !(*this == other); }
};

// A replace of a contents file by its edited copy, recorded before the copy is written.
struct PendingReplace {
  std::u16string contentsPath, editedCopy;
  std::string before, after; // Fingerprint texts of the file before and of the edited copy
  bool restoresEnd = false;  // the edit puts back what the registrations changed at the end

  bool operator==(const PendingReplace &other) const {
    return contentsPath == other.contentsPath && editedCopy == other.editedCopy &&
           before == other.before && after == other.after && restoresEnd == other.restoresEnd;
  }
};

struct ContentsRecord {
  // What the first line that registrations appended needed first: a line end
  // after the file's last line, an end-of-file character (26) replaced.
  bool lineEndAdded = false;
  bool endOfFileCharReplaced = false;
  bool stale = false; // the help viewer's compiled copies are older than the file
  // A registration that has not ended (it was killed): its folder and the
  // sequence it registers with. Its backup is made.
  std::optional<std::u16string> registeringFrom;
  std::optional<PendingReplace> replace;

  bool Empty() const { return *this == ContentsRecord(); }
  bool operator==(const ContentsRecord &other) const {
    return lineEndAdded == other.lineEndAdded &&
           endOfFileCharReplaced == other.endOfFileCharReplaced && stale == other.stale &&
           registeringFrom == other.registeringFrom && replace == other.replace;
  }
  bool operator!=(const ContentsRecord &other) const { return !(*this == other); }
};

class RegistrationRecord {
public:
  struct Unreadable {
    std::string shownName; // "?" for each character this code page lacks
    std::string reason;
    std::u16string key;    // NameKey
  };

  // Reads the whole record, the older layout (a key per IDE version) too.
  RegistrationRecord(RecordStore &store, CharacterSet &characterSet);

  // The entry of the name, by the registry's rule; nullptr when there is none
  // or it is damaged.
  const NameEntry *Find(const std::string &name) const;
  // Why the name's entry is damaged; nothing when it is not.
  std::optional<std::string> Damage(const std::string &name) const;
  // Raises, naming it, when a run would have to change the entry of one of
  // the names, or the IDE's contents record, that a newer version of the
  // program wrote and this one cannot read.
  void RequireOwnLayout(const std::vector<std::string> &names, const TargetProfile &profile) const;
  // "the record of "Grid.hlp" was written by a newer version ..." when it was; else nothing.
  std::optional<std::string> Newer(const std::string &name) const;
  // Every readable entry whose name this code page can name, in name order.
  std::vector<const NameEntry *> Entries() const;
  // Entries that this code page cannot name, and damaged ones.
  const std::vector<Unreadable> &Foreign() const { return foreign_; }
  const std::vector<Unreadable> &Damaged() const { return damaged_; }
  // Names every entry that this run cannot read in the log. A damaged entry
  // of a name in `touched` gets `touchedNote` (what the run does with it);
  // the others are left as they are.
  void LogUnreadable(RunLog &log, const std::vector<std::string> &touched,
                     const std::string &touchedNote) const;

  const ContentsRecord &Contents(const TargetProfile &profile) const;
  std::uint64_t LastSequence() const;
  // Whether a registration for the IDE that appended a line is recorded.
  bool AnyAppended(const TargetProfile &profile) const;

  // Changes, each written to the store at once. An entry without
  // registrations is deleted. The registry writes them to the disk lazily,
  // and not in order with the files: a run flushes the record before each
  // change of a file that it describes.
  void Write(const NameEntry &entry);
  void Write(const TargetProfile &profile, const ContentsRecord &contents);

  // Moves entries of the older layout into the present one: each entry is
  // written anew before the older values go.
  bool HasOlderLayout() const { return !older_.empty(); }
  void MoveOlderLayout();

  // Returns once the changes so far are on the disk (none: at once).
  void Flush();

  // Deletes the record's empty keys (also one that another program left),
  // the program's key last; returns what could not go, with the reason.
  std::vector<std::string> DeleteEmptyKeys();

  // The text in this code page, "?" for each character it lacks.
  std::string Shown(const std::u16string &text) const;
  std::u16string Widen(const std::string &text) const { return characterSet_.Widen(text); }
  std::optional<std::string> Narrow(const std::u16string &text) const {
    return characterSet_.Narrow(text);
  }

private:
  // Writes a value of the record; in a record without the layout's number,
  // that first.
  void WriteValue(const std::string &key, const std::u16string &name, const std::u16string &text);
  void DeleteValue(const std::string &key, const std::u16string &name);
  std::string NewerMessage(const std::string &what) const;

  RecordStore &store_;
  CharacterSet &characterSet_;
  unsigned layout_ = 0; // as the record says; 0: it says nothing
  bool unflushed_ = false;
  std::map<std::u16string, NameEntry> entries_;       // by NameKey
  std::map<std::u16string, std::string> damage_;      // NameKey -> reason
  std::map<std::string, ContentsRecord> contents_;    // by IDE name
  std::vector<Unreadable> foreign_, damaged_, newer_;
  std::vector<std::string> newerContents_; // IDE names
  // Values of the older layout still to move, merged into entries_ already:
  // (IDE key, value name).
  std::vector<std::pair<std::string, std::u16string>> older_;
};

} // namespace vantrel
