#include "engine/RegistrationRecord.h"

#include "platform/Error.h"

#include <algorithm>
#include <climits>

namespace vantrel {

const char *const RegistrationsKey = "Registrations";
const char *const ContentsKey = "Contents";
// 1 was a key per IDE version; 2 is an entry per name.
const unsigned RecordLayout = 2;

namespace {

const std::u16string LayoutValue = u"Layout";
const std::vector<RecordStore::Value> NoValues;

// The record's texts are UTF-16; its own words are ASCII.
std::u16string Ascii(const std::string &text) { return std::u16string(text.begin(), text.end()); }

std::string AsciiOf(const std::u16string &text) {
  std::string ascii;
  for (char16_t c : text)
    ascii += c < 128 ? static_cast<char>(c) : '?';
  return ascii;
}

std::vector<std::u16string> Split(const std::u16string &text, char16_t separator) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::u16string::npos ? end : end - start));
    if (end == std::u16string::npos)
      return parts;
    start = end + 1;
  }
}

// Any number the writer can write; one beyond what the type holds is damage.
bool ParseNumber(const std::u16string &text, std::uint64_t &number) {
  if (text.empty())
    return false;
  number = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9')
      return false;
    const unsigned digit = c - u'0';
    if (number > (UINT64_MAX - digit) / 10)
      return false;
    number = number * 10 + digit;
  }
  return true;
}

void SortBySequence(std::vector<Registration> &registrations) {
  std::stable_sort(registrations.begin(), registrations.end(),
                   [](const Registration &a, const Registration &b) {
                     return a.sequence < b.sequence;
                   });
}

// An entry of the older layout taken into one of the present: its
// registrations that the present one lacks, and its location before when its
// earliest registration comes first. Taking one in twice changes nothing, so
// that a move that was cut short is completed as it was begun.
void MergeEntry(NameEntry &into, const NameEntry &older) {
  if (older.registrations.empty())
    return;
  const bool earlier = into.registrations.empty() ||
                       older.registrations.front().sequence < into.registrations.front().sequence;
  if (earlier)
    into.before = older.before;
  for (const Registration &registration : older.registrations)
    if (std::none_of(into.registrations.begin(), into.registrations.end(),
                     [&](const Registration &r) {
                       return r.ide == registration.ide && r.folder == registration.folder;
                     }))
      into.registrations.push_back(registration);
  SortBySequence(into.registrations);
}

bool KnownIde(const std::string &ide) {
  return std::any_of(std::begin(KnownTargetVersions), std::end(KnownTargetVersions),
                     [&](int version) { return ProfileForVersion(version).ideName == ide; });
}

// "before=FOLDER" or "before" (no help location), then a line per location
// that a later registration replaced, "replaced<TAB>FOLDER", oldest first,
// then a line per registration:
// "SEQUENCE<TAB>IDE<TAB>adopted|appended|found<TAB>FOLDER". The older
// layout had no IDE field: its key said which IDE. Folders hold no control
// characters. Nothing on failure; `reason` says why.
std::optional<NameEntry> ParseEntry(const std::u16string &name, const std::u16string &text,
                                    const std::optional<std::string> &olderIde,
                                    std::string &reason) {
  NameEntry entry;
  entry.name = name;
  const std::vector<std::u16string> lines = Split(text, u'\n');
  const std::u16string &first = lines.front();
  if (first.rfind(u"before=", 0) == 0)
    entry.before = first.substr(7);
  else if (first != u"before") {
    reason = AsciiOf(first);
    return std::nullopt;
  }
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::u16string> fields = Split(lines[i], u'\t');
    if (fields.size() == 2 && fields[0] == u"replaced" && !fields[1].empty() &&
        entry.registrations.empty()) {
      entry.replaced.push_back(fields[1]);
      continue;
    }
    Registration registration;
    const std::size_t offset = olderIde ? 0 : 1;
    const std::u16string &line = fields.size() > 1 + offset ? fields[1 + offset] : u"";
    if (fields.size() != 3 + offset || !ParseNumber(fields[0], registration.sequence) ||
        (line != u"adopted" && line != u"appended" && line != u"found") ||
        fields[2 + offset].empty() || (!olderIde && !KnownIde(AsciiOf(fields[1])))) {
      reason = AsciiOf(lines[i]);
      return std::nullopt;
    }
    registration.ide = olderIde ? *olderIde : AsciiOf(fields[1]);
    registration.adopted = line == u"adopted";
    registration.appended = line != u"found";
    registration.folder = fields[2 + offset];
    entry.registrations.push_back(registration);
  }
  SortBySequence(entry.registrations);
  return entry;
}

std::u16string FormatEntry(const NameEntry &entry) {
  std::u16string text = entry.before ? u"before=" + *entry.before : u"before";
  for (const std::u16string &location : entry.replaced)
    text += u"\nreplaced\t" + location;
  for (const Registration &registration : entry.registrations)
    text += u"\n" + Ascii(std::to_string(registration.sequence)) + u"\t" +
            Ascii(registration.ide) + u"\t" +
            (registration.adopted    ? u"adopted"
             : registration.appended ? u"appended"
                                     : u"found") +
            u"\t" + registration.folder;
  return text;
}

// A fact a line: "line end added", "end-of-file character replaced",
// "stale", "registering<TAB>FOLDER", "replace<TAB>CONTENTS<TAB>EDITED COPY
// <TAB>BEFORE<TAB>AFTER<TAB>restores end|keeps end".
std::optional<ContentsRecord> ParseContents(const std::u16string &text, std::string &reason) {
  ContentsRecord contents;
  for (const std::u16string &line : Split(text, u'\n')) {
    const std::vector<std::u16string> fields = Split(line, u'\t');
    if (line == u"line end added")
      contents.lineEndAdded = true;
    else if (line == u"end-of-file character replaced")
      contents.endOfFileCharReplaced = true;
    else if (line == u"stale")
      contents.stale = true;
    else if (fields.size() == 2 && fields[0] == u"registering")
      contents.registeringFrom = fields[1];
    else if (fields.size() == 6 && fields[0] == u"replace")
      contents.replace = PendingReplace{fields[1], fields[2], AsciiOf(fields[3]),
                                        AsciiOf(fields[4]), fields[5] == u"restores end"};
    else if (!line.empty()) {
      reason = AsciiOf(line);
      return std::nullopt;
    }
  }
  return contents;
}

std::u16string FormatContents(const ContentsRecord &contents) {
  std::vector<std::u16string> lines;
  if (contents.lineEndAdded)
    lines.push_back(u"line end added");
  if (contents.endOfFileCharReplaced)
    lines.push_back(u"end-of-file character replaced");
  if (contents.stale)
    lines.push_back(u"stale");
  if (contents.registeringFrom)
    lines.push_back(u"registering\t" + *contents.registeringFrom);
  if (const std::optional<PendingReplace> &replace = contents.replace)
    lines.push_back(u"replace\t" + replace->contentsPath + u"\t" + replace->editedCopy + u"\t" +
                    Ascii(replace->before) + u"\t" + Ascii(replace->after) + u"\t" +
                    (replace->restoresEnd ? u"restores end" : u"keeps end"));
  std::u16string text;
  for (const std::u16string &line : lines)
    text += (text.empty() ? u"" : u"\n") + line;
  return text;
}

} // namespace

RegistrationRecord::RegistrationRecord(RecordStore &store, CharacterSet &characterSet)
    : store_(store), characterSet_(characterSet) {
  const auto unreadable = [&](std::vector<Unreadable> &list, const std::u16string &name,
                              const std::string &reason) {
    list.push_back({Shown(name), reason, characterSet_.NameKey(name)});
  };
  // The keys below the program's are read where they are: a machine without
  // a record answers at the first looks.
  const std::vector<std::string> keys = store_.SubKeys("");
  const auto holds = [&](const char *key) {
    return std::any_of(keys.begin(), keys.end(), [&](const std::string &name) {
      return characterSet_.NameKey(characterSet_.Widen(name)) ==
             characterSet_.NameKey(characterSet_.Widen(key));
    });
  };
  for (const RecordStore::Value &value : store_.ReadValues("")) {
    std::uint64_t layout = 0;
    if (characterSet_.NameKey(value.name) == characterSet_.NameKey(LayoutValue) && value.text &&
        ParseNumber(*value.text, layout))
      layout_ = static_cast<unsigned>(std::min<std::uint64_t>(layout, UINT_MAX));
  }
  const bool newerLayout = layout_ > RecordLayout;
  for (const RecordStore::Value &value :
       holds(RegistrationsKey) ? store_.ReadValues(RegistrationsKey) : NoValues) {
    const std::u16string key = characterSet_.NameKey(value.name);
    std::string reason = "not a string value";
    std::optional<NameEntry> entry;
    if (value.text)
      entry = ParseEntry(value.name, *value.text, std::nullopt, reason);
    if (!characterSet_.Narrow(value.name)) {
      unreadable(foreign_, value.name, entry ? "" : reason);
    } else if (!entry && newerLayout) {
      unreadable(newer_, value.name, reason);
    } else if (!entry) {
      damage_[key] = reason;
      unreadable(damaged_, value.name, reason);
    } else {
      entries_[key] = std::move(*entry);
    }
  }

  // The older layout: a key per IDE version, whose entries are merged into
  // the present ones (another program's copy of an older version may have
  // registered a name that the present layout holds too).
  for (const std::string &ide :
       holds(RegistrationsKey) ? store_.SubKeys(RegistrationsKey) : std::vector<std::string>()) {
    if (!KnownIde(ide))
      continue; // not one of ours: left as it is
    const std::string key = std::string(RegistrationsKey) + "\\" + ide;
    for (const RecordStore::Value &value : store_.ReadValues(key)) {
      const std::u16string nameKey = characterSet_.NameKey(value.name);
      std::string reason = "not a string value";
      std::optional<NameEntry> entry;
      if (value.text)
        entry = ParseEntry(value.name, *value.text, ide, reason);
      if (damage_.count(nameKey) != 0 || !characterSet_.Narrow(value.name))
        continue; // left as it is
      if (!entry) {
        damage_[nameKey] = reason;
        unreadable(damaged_, value.name, reason);
        continue;
      }
      older_.emplace_back(key, value.name);
      NameEntry &merged = entries_[nameKey];
      if (merged.name.empty())
        merged.name = value.name;
      MergeEntry(merged, *entry);
    }
  }

  for (const RecordStore::Value &value : holds(ContentsKey) ? store_.ReadValues(ContentsKey) : NoValues) {
    std::string reason = "not a string value";
    std::optional<ContentsRecord> contents;
    if (value.text)
      contents = ParseContents(*value.text, reason);
    if (contents)
      contents_[AsciiOf(value.name)] = std::move(*contents);
    else if (newerLayout)
      newerContents_.push_back(AsciiOf(value.name));
    else
      // Read as empty: the next write mends it.
      damaged_.push_back({Shown(value.name) + "'s contents file", reason, u"\n"});
  }
}

void RegistrationRecord::LogUnreadable(RunLog &log, const std::vector<std::string> &touched,
                                       const std::string &touchedNote) const {
  for (const Unreadable &entry : foreign_)
    log.Write("left alone: the record of \"" + entry.shownName +
              "\", written under a code page with characters that this system's lacks");
  for (const Unreadable &entry : newer_)
    log.Write("left alone: " + NewerMessage("\"" + entry.shownName + "\""));
  for (const std::string &ide : newerContents_)
    log.Write("left alone: " + NewerMessage(ide + "'s contents file"));
  for (const Unreadable &entry : damaged_) {
    const bool isTouched = std::any_of(touched.begin(), touched.end(), [&](const std::string &t) {
      return characterSet_.NameKey(characterSet_.Widen(t)) == entry.key;
    });
    log.Write(isTouched ? "the record of \"" + entry.shownName + "\" is damaged (" +
                              entry.reason + "): " + touchedNote
                        : "left alone: the record of \"" + entry.shownName + "\" is damaged (" +
                              entry.reason + ")");
  }
}

const NameEntry *RegistrationRecord::Find(const std::string &name) const {
  const auto found = entries_.find(characterSet_.NameKey(characterSet_.Widen(name)));
  return found == entries_.end() ? nullptr : &found->second;
}

std::optional<std::string> RegistrationRecord::Damage(const std::string &name) const {
  const auto found = damage_.find(characterSet_.NameKey(characterSet_.Widen(name)));
  return found == damage_.end() ? std::nullopt : std::optional<std::string>(found->second);
}

std::string RegistrationRecord::NewerMessage(const std::string &what) const {
  return "the record of " + what + " was written by a newer version of this program (layout " +
         std::to_string(layout_) + ")";
}

std::optional<std::string> RegistrationRecord::Newer(const std::string &name) const {
  const std::u16string key = characterSet_.NameKey(characterSet_.Widen(name));
  for (const Unreadable &entry : newer_)
    if (entry.key == key)
      return NewerMessage("\"" + entry.shownName + "\"");
  return std::nullopt;
}

void RegistrationRecord::RequireOwnLayout(const std::vector<std::string> &names,
                                          const TargetProfile &profile) const {
  std::vector<std::string> messages;
  for (const std::string &name : names)
    if (std::optional<std::string> message = Newer(name))
      messages.push_back(*message);
  if (std::count(newerContents_.begin(), newerContents_.end(), profile.ideName) != 0)
    messages.push_back(NewerMessage(profile.ideName + "'s contents file"));
  if (!messages.empty())
    throw Error(messages.front() + "; run that version");
}

std::vector<const NameEntry *> RegistrationRecord::Entries() const {
  std::vector<const NameEntry *> entries;
  for (const auto &[key, entry] : entries_)
    entries.push_back(&entry);
  return entries;
}

const ContentsRecord &RegistrationRecord::Contents(const TargetProfile &profile) const {
  static const ContentsRecord none;
  const auto found = contents_.find(profile.ideName);
  return found == contents_.end() ? none : found->second;
}

std::uint64_t RegistrationRecord::LastSequence() const {
  std::uint64_t last = 0;
  for (const auto &[key, entry] : entries_)
    for (const Registration &registration : entry.registrations)
      last = std::max(last, registration.sequence);
  return last;
}

bool RegistrationRecord::AnyAppended(const TargetProfile &profile) const {
  for (const auto &[key, entry] : entries_)
    for (const Registration &registration : entry.registrations)
      if (registration.ide == profile.ideName && registration.appended)
        return true;
  return false;
}

void RegistrationRecord::Flush() {
  if (!unflushed_)
    return;
  store_.Flush();
  unflushed_ = false;
}

void RegistrationRecord::WriteValue(const std::string &key, const std::u16string &name,
                                    const std::u16string &text) {
  unflushed_ = true;
  if (layout_ == 0) { // the layout's number first, in a record without one
    store_.WriteValue("", LayoutValue, Ascii(std::to_string(RecordLayout)));
    layout_ = RecordLayout;
  }
  store_.WriteValue(key, name, text);
}

void RegistrationRecord::DeleteValue(const std::string &key, const std::u16string &name) {
  unflushed_ = true;
  store_.DeleteValue(key, name);
}

void RegistrationRecord::Write(const NameEntry &entry) {
  const std::u16string key = characterSet_.NameKey(entry.name);
  if (entry.registrations.empty()) {
    DeleteValue(RegistrationsKey, entry.name);
    entries_.erase(key);
  } else {
    WriteValue(RegistrationsKey, entry.name, FormatEntry(entry));
    entries_[key] = entry;
  }
  damage_.erase(key);
}

void RegistrationRecord::Write(const TargetProfile &profile, const ContentsRecord &contents) {
  if (contents.Empty()) {
    DeleteValue(ContentsKey, Ascii(profile.ideName));
  } else {
    WriteValue(ContentsKey, Ascii(profile.ideName), FormatContents(contents));
  }
  contents_[profile.ideName] = contents;
}

void RegistrationRecord::MoveOlderLayout() {
  // Every entry is written in the present layout before its older values go,
  // so that a move cut short loses nothing.
  std::vector<std::u16string> written;
  for (const auto &[ideKey, name] : older_) {
    const std::u16string key = characterSet_.NameKey(name);
    const auto entry = entries_.find(key);
    if (entry == entries_.end() ||
        std::find(written.begin(), written.end(), key) != written.end())
      continue;
    WriteValue(RegistrationsKey, entry->second.name, FormatEntry(entry->second));
    written.push_back(key);
  }
  for (const auto &[ideKey, name] : older_)
    DeleteValue(ideKey, name);
  for (const auto &[ideKey, name] : older_)
    store_.DeleteKeyIfEmpty(ideKey);
  older_.clear();
}

std::vector<std::string> RegistrationRecord::DeleteEmptyKeys() {
  unflushed_ = true; // whatever it deletes
  std::vector<std::string> left;
  const auto deleteIfEmpty = [&](const std::string &key) {
    try {
      store_.DeleteKeyIfEmpty(key);
    } catch (const std::exception &error) {
      left.push_back(error.what());
    }
  };
  try {
    for (const std::string &subKey : store_.SubKeys(RegistrationsKey))
      deleteIfEmpty(std::string(RegistrationsKey) + "\\" + subKey);
  } catch (const std::exception &error) {
    left.push_back(error.what());
  }
  deleteIfEmpty(RegistrationsKey);
  deleteIfEmpty(ContentsKey);
  try {
    // The layout's number goes with the last of what it describes.
    const std::vector<RecordStore::Value> values = store_.ReadValues("");
    if (store_.SubKeys("").empty() && values.size() == 1 &&
        characterSet_.NameKey(values.front().name) == characterSet_.NameKey(LayoutValue)) {
      DeleteValue("", values.front().name);
      layout_ = 0;
    }
    store_.DeleteKeyIfEmpty("");
  } catch (const std::exception &error) {
    left.push_back(error.what());
  }
  return left;
}

std::string RegistrationRecord::Shown(const std::u16string &text) const {
  if (std::optional<std::string> narrow = characterSet_.Narrow(text))
    return *narrow;
  std::string shown;
  for (char16_t c : text) {
    const std::optional<std::string> one = characterSet_.Narrow(std::u16string(1, c));
    shown += one ? *one : "?";
  }
  return shown;
}

} // namespace vantrel
