#include "engine/RegistrationRecord.h"

#include "platform/Error.h"

#include <algorithm>
#include <cstdlib>

namespace vantrel {

const char *const RecordKey = "\\SOFTWARE\\Vantrel\\Registrations";

namespace {

// A name's record as one string value: "before=FOLDER" (or "before" when the
// name had no help location), then a line per folder: "SEQUENCE<TAB>appended
// or found<TAB>FOLDER". Folder names hold no control characters.
std::string Format(const NameRecord &record) {
  std::string text = record.before ? "before=" + *record.before : "before";
  for (const RecordedFolder &folder : record.folders)
    text += "\n" + std::to_string(folder.sequence) + "\t" +
            (folder.appended ? "appended" : "found") + "\t" + folder.folder;
  return text;
}

NameRecord Parse(const std::string &text, const std::string &where) {
  NameRecord record;
  std::size_t start = 0;
  for (bool first = true; start <= text.size(); first = false) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (first) {
      if (line.rfind("before=", 0) == 0)
        record.before = line.substr(7);
      else if (line != "before")
        throw Error("The registration record " + where + " is damaged: " + line);
      continue;
    }
    const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
    if (tab1 == std::string::npos || tab2 == std::string::npos)
      throw Error("The registration record " + where + " is damaged: " + line);
    RecordedFolder folder;
    folder.sequence = std::strtoul(line.substr(0, tab1).c_str(), nullptr, 10);
    folder.appended = line.substr(tab1 + 1, tab2 - tab1 - 1) == "appended";
    folder.folder = line.substr(tab2 + 1);
    record.folders.push_back(folder);
  }
  return record;
}

std::string IdeRecordKey(const TargetProfile &profile) {
  return std::string(RecordKey) + "\\" + profile.ideName;
}

} // namespace

RegistrationRecord ReadRegistrationRecord(Registry &registry, const TargetProfile &profile) {
  RegistrationRecord record;
  std::unique_ptr<RegistryAccessor> accessor = registry.CreateAccessor();
  accessor->SetRootKey(RootKey::LocalMachine);
  if (!accessor->OpenExistingKey(IdeRecordKey(profile), KeyAccess::Read))
    return record;
  for (const std::string &name : accessor->ValueNames())
    record[name] = Parse(accessor->ReadString(name), "of \"" + name + "\" for " + profile.ideName);
  return record;
}

void WriteRegistrationRecord(Registry &registry, const TargetProfile &profile,
                             const RegistrationRecord &record,
                             const std::vector<std::string> &names) {
  std::unique_ptr<RegistryAccessor> accessor = registry.CreateAccessor();
  accessor->SetRootKey(RootKey::LocalMachine);
  const std::string key = IdeRecordKey(profile);
  accessor->CreateKey(key);
  accessor->OpenKey(key, true);
  for (const std::string &name : names) {
    const auto recorded = record.find(name);
    if (recorded != record.end() && !recorded->second.folders.empty())
      accessor->WriteString(name, Format(recorded->second));
    else
      accessor->DeleteValue(name);
  }
  const bool empty = accessor->ValueNames().empty();
  accessor->CloseKey();
  if (empty && accessor->DeleteKey(key)) {
    bool othersLeft = false;
    for (int version : KnownTargetVersions)
      othersLeft = othersLeft || !ReadRegistrationRecord(registry, ProfileForVersion(version)).empty();
    if (!othersLeft) {
      accessor->DeleteKey(RecordKey);
      accessor->DeleteKey("\\SOFTWARE\\Vantrel");
    }
  }
}

unsigned long LastSequence(Registry &registry) {
  unsigned long last = 0;
  for (int version : KnownTargetVersions)
    for (const auto &name : ReadRegistrationRecord(registry, ProfileForVersion(version)))
      for (const RecordedFolder &folder : name.second.folders)
        last = std::max(last, folder.sequence);
  return last;
}

} // namespace vantrel
