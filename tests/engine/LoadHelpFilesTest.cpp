// The list-loading rules against a stand-in reader; the real INI reader is
// tested under Windows.
#include "engine/LoadHelpFiles.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace vantrel {
namespace {

struct FakeProfileFiles : ProfileFiles {
  // path -> section -> keys and values in file order
  std::map<std::string, std::map<std::string, std::vector<std::pair<std::string, std::string>>>>
      files;
  std::string openedPath;
  int openReaders = 0;
  bool failOnValue = false;

  struct Reader : ProfileReader {
    FakeProfileFiles &owner;
    std::string path;
    Reader(FakeProfileFiles &o, std::string p) : owner(o), path(std::move(p)) { ++owner.openReaders; }
    ~Reader() override { --owner.openReaders; }
    std::vector<std::string> ReadSectionValues(const std::string &section) override {
      if (owner.failOnValue)
        throw Error("Cannot read " + path);
      std::vector<std::string> values;
      for (auto &[key, value] : owner.files[path][section])
        values.push_back(value);
      return values;
    }
  };

  std::unique_ptr<ProfileReader> OpenProfile(const std::string &path) override {
    openedPath = path;
    return std::make_unique<Reader>(*this, path);
  }
};

TEST(LoadHelpFiles, ValuesComeInKeyOrderUnchanged) {
  FakeProfileFiles profiles;
  profiles.files[".\\Vantrel.ini"]["HelpFiles"] = {
      {"A", "x.hlp"}, {"C", "z.cnt"}, {"B", " y.hlp"}, {"D", ""}, {"E", "x.hlp"}};
  profiles.files[".\\Vantrel.ini"]["Other"] = {{"A", "other.hlp"}};
  HelpFileList list;
  LoadHelpFiles(profiles, ListFilePath, list);
  EXPECT_EQ(profiles.openedPath, ".\\Vantrel.ini");
  EXPECT_EQ(list, (HelpFileList{"x.hlp", "z.cnt", " y.hlp", "", "x.hlp"}));
  EXPECT_EQ(profiles.openReaders, 0);
}

TEST(LoadHelpFiles, MissingSectionGivesEmptyList) {
  FakeProfileFiles profiles;
  HelpFileList list;
  LoadHelpFiles(profiles, ListFilePath, list);
  EXPECT_TRUE(list.empty());
}

TEST(LoadHelpFiles, ReaderIsReleasedWhenReadingFails) {
  FakeProfileFiles profiles;
  profiles.files["list.ini"]["HelpFiles"] = {{"A", "x.hlp"}};
  profiles.failOnValue = true;
  HelpFileList list;
  EXPECT_THROW(LoadHelpFiles(profiles, "list.ini", list), Error);
  EXPECT_EQ(profiles.openReaders, 0);
  EXPECT_TRUE(list.empty());
}

} // namespace
} // namespace vantrel
