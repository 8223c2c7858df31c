#include "engine/RemoveHelpLocations.h"

#include "engine/MergeContents.h"
#include "engine/RegisterHelpLocations.h"

namespace vantrel {

bool SameFolder(std::string_view a, std::string_view b) {
  if (!a.empty() && a.back() == '\\')
    a.remove_suffix(1);
  if (!b.empty() && b.back() == '\\')
    b.remove_suffix(1);
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i]))
      return false;
  return true;
}

void RemoveHelpLocations(const HelpFileList &list, const std::string &programDir,
                         Registry &registry, RunLog &log) {
  std::unique_ptr<RegistryAccessor> accessor = registry.CreateAccessor();
  accessor->SetRootKey(RootKey::LocalMachine);
  if (!accessor->OpenKey(HelpLocationKey, false)) {
    log.Write("no value to remove: there is no help-location key");
    return;
  }
  for (const std::string &entry : list) {
    const std::string data = accessor->ReadString(entry);
    if (data.empty())
      log.Write("value not there: \"" + entry + "\"");
    else if (!SameFolder(data, programDir))
      log.Write("value kept: \"" + entry + "\" = " + data + " names another folder");
    else if (accessor->DeleteValue(entry))
      log.Write("value removed: \"" + entry + "\" = " + data);
  }
  accessor->CloseKey();
}

} // namespace vantrel
