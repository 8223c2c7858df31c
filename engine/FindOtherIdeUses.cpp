#include "engine/FindOtherIdeUses.h"

#include "engine/ReadInstallRoot.h"
#include "engine/ContentsLines.h"

#include <set>

namespace vantrel {

std::map<std::string, std::string> FindOtherIdeUses(const TargetProfile &profile,
                                                    const std::vector<std::string> &directiveLines,
                                                    Registry &registry, TextFiles &textFiles,
                                                    FileExistence &fileExistence,
                                                    const LeadByteTable &leadBytes) {
  std::set<std::string> wanted;
  for (const std::string &line : directiveLines)
    wanted.insert(DirectiveKey(line, leadBytes));
  std::map<std::string, std::string> uses;
  if (wanted.empty())
    return uses;
  for (int version : KnownTargetVersions) {
    const TargetProfile &other = ProfileForVersion(version);
    if (other.ideKey == profile.ideKey)
      continue;
    const std::optional<std::string> installRoot =
        FindInstallRoot(other, *registry.CreateAccessor());
    if (!installRoot)
      continue;
    const std::string contentsPath = ContentsPath(other, *installRoot);
    if (!fileExistence.FileExists(contentsPath))
      continue;
    std::unique_ptr<TextReader> reader = textFiles.OpenForReading(contentsPath);
    while (!reader->AtEnd()) {
      const std::string key = DirectiveKey(reader->ReadLine().text, leadBytes);
      if (wanted.count(key) != 0)
        uses.emplace(key, other.ideName + " (" + contentsPath + ")");
    }
    reader->Close();
  }
  return uses;
}

} // namespace vantrel
