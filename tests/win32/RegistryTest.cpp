// The Win32 registry accessor on the real registry of the test prefix.
#include "platform/Error.h"
#include "platform/RecordStore.h"
#include "platform/Registry.h"
#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/SystemMessage.h"
#include "tests/support/RegistryHelpers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

namespace vantrel {
namespace {

const std::string TestKey = "SOFTWARE\\VantrelTest";

class RegistryTest : public ::testing::Test {
protected:
  void SetUp() override { test::DeleteTree32(TestKey); }
  void TearDown() override { test::DeleteTree32(TestKey); }
  std::unique_ptr<RegistryAccessor> accessor = SystemRegistry().CreateAccessor();

  std::string WriteError(const std::string &name) {
    try {
      accessor->WriteString(name, "x");
    } catch (const Error &error) {
      return error.what();
    }
    ADD_FAILURE() << "write did not fail";
    return "";
  }
};

TEST_F(RegistryTest, WritesGoToThe32BitView) {
  ASSERT_TRUE(accessor->OpenKey("\\" + TestKey + "\\Help", true));
  accessor->WriteString("MyLib.hlp", "C:\\Tools\\");
  accessor->CloseKey();
  EXPECT_EQ(test::GetString32(TestKey + "\\Help", "MyLib.hlp"), "C:\\Tools\\");
  if (test::HasTwoRegistryViews()) {
    EXPECT_EQ(test::GetStringWow6432Node(TestKey + "\\Help", "MyLib.hlp"), "C:\\Tools\\");
  }
}

TEST_F(RegistryTest, PathsStartAtTheOpenKeyUnlessAbsolute) {
  ASSERT_TRUE(accessor->OpenKey(TestKey, true));
  ASSERT_TRUE(accessor->OpenKey("Inner", true)); // relative to the open key
  accessor->WriteString("v", "inner");
  ASSERT_TRUE(accessor->OpenKey("\\" + TestKey, false));
  accessor->WriteString("v", "outer");
  accessor->SetRootKey(RootKey::LocalMachine); // closes: now relative to the root again
  ASSERT_TRUE(accessor->OpenExistingKey(TestKey + "\\Inner", KeyAccess::Read));
  EXPECT_EQ(accessor->ReadString("v"), "inner");
  EXPECT_EQ(test::GetString32(TestKey, "v"), "outer");
}

TEST_F(RegistryTest, OpeningMissingKeysCreatesOnlyWhenAsked) {
  EXPECT_FALSE(accessor->OpenExistingKey(TestKey, KeyAccess::Read));
  EXPECT_FALSE(accessor->OpenKey(TestKey, false));
  EXPECT_FALSE(test::KeyExists32(TestKey));
  EXPECT_TRUE(accessor->CreateKey("\\" + TestKey + "\\A\\B"));
  EXPECT_TRUE(test::KeyExists32(TestKey + "\\A\\B"));
}

TEST_F(RegistryTest, ReadsStringsAndRefusesOtherTypes) {
  test::SetString32(TestKey, "RootDir", "C:\\Program Files\\Borland\\Delphi4");
  test::SetString32(TestKey, "Empty", "");
  test::SetString32(TestKey, "Long", std::string(3000, 'r'));
  test::SetDword32(TestKey, "Number", 4);
  ASSERT_TRUE(accessor->OpenExistingKey(TestKey, KeyAccess::Read));
  EXPECT_EQ(accessor->ReadString("RootDir"), "C:\\Program Files\\Borland\\Delphi4");
  EXPECT_EQ(accessor->ReadString("Empty"), "");
  EXPECT_EQ(accessor->ReadString("Missing"), "");
  EXPECT_EQ(accessor->ReadString("Long"), std::string(3000, 'r'));
  try {
    accessor->ReadString("Number");
    FAIL() << "read a number as text";
  } catch (const Error &error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("\"Number\""), std::string::npos) << message;
    EXPECT_NE(message.find(TestKey), std::string::npos) << message;
  }
}

TEST_F(RegistryTest, StringsAreStoredWithOneNulAndCanBeDeleted) {
  ASSERT_TRUE(accessor->OpenKey("\\" + TestKey, true));
  accessor->WriteString("", "C:\\Tools\\"); // the key's default value
  accessor->WriteString("Empty.hlp", "");
  EXPECT_EQ(test::GetString32(TestKey, ""), "C:\\Tools\\");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, TestKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key),
            ERROR_SUCCESS);
  for (const auto &[name, data] : {std::pair<std::string, std::string>{"", "C:\\Tools\\"},
                                   {"Empty.hlp", ""}}) {
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, data.size() + 1) << "exactly one terminating NUL for \"" << name << "\"";
  }
  RegCloseKey(key);

  EXPECT_TRUE(accessor->DeleteValue("Empty.hlp"));
  EXPECT_FALSE(accessor->DeleteValue("Empty.hlp"));
  EXPECT_EQ(test::GetString32(TestKey, "Empty.hlp"), std::nullopt);
}

TEST_F(RegistryTest, FailedWritesNameValueKeyAndReason) {
  test::SetString32(TestKey, "x", "y");
  ASSERT_TRUE(accessor->OpenExistingKey(TestKey, KeyAccess::Read));
  std::string message = WriteError("A.HLP");
  EXPECT_NE(message.find("\"A.HLP\""), std::string::npos) << message;
  EXPECT_NE(message.find("HKEY_LOCAL_MACHINE\\" + TestKey), std::string::npos) << message;
  EXPECT_NE(message.find(": "), std::string::npos) << message;

  // A key that could not be opened: a write or read says which key it wanted
  // and why the open failed, whatever another call left as the last error.
  EXPECT_FALSE(accessor->OpenKey("\\" + TestKey + "\\Missing", false));
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  message = WriteError("B.HLP");
  EXPECT_NE(message.find(TestKey + "\\Missing"), std::string::npos) << message;
  const std::string notFound = win32::SystemMessage(ERROR_FILE_NOT_FOUND);
  EXPECT_NE(message.find(notFound), std::string::npos) << message;
  try {
    accessor->ReadString("B.HLP");
    ADD_FAILURE() << "read did not fail";
  } catch (const Error &error) {
    EXPECT_NE(std::string(error.what()).find(notFound), std::string::npos) << error.what();
  }
}

// The program's own record: names and texts in UTF-16 read back as written
// (on Windows 98 in the ANSI code page), keys created as needed and deleted
// only once empty.
TEST_F(RegistryTest, RecordStoreKeepsItsTextsAndDeletesOnlyEmptyKeys) {
  test::DeleteTree32("SOFTWARE\\Vantrel");
  RecordStore &store = SystemRecordStore();
  const bool wide = win32::Optional().wideNames; // else: ASCII, as the code page holds it
  const std::u16string name = wide ? u"\u30A2\u00E9.hlp" : u"Grid.hlp";
  const std::u16string text =
      std::u16string(u"before\n1\tDelphi 4\tfound\tC:\\") + (wide ? u"\u90E8\u54C1" : u"X") + u"\\";
  store.WriteValue("Test\\Inner", name, text);
  store.Flush();
  EXPECT_EQ(store.SubKeys("Test"), std::vector<std::string>{"Inner"});
  const std::vector<RecordStore::Value> values = store.ReadValues("Test\\Inner");
  ASSERT_EQ(values.size(), 1u);
  EXPECT_TRUE(values[0].name == name);
  EXPECT_TRUE(values[0].text == text);
  EXPECT_FALSE(store.DeleteKeyIfEmpty("Test")) << "it has a subkey";
  EXPECT_FALSE(store.DeleteKeyIfEmpty("Test\\Inner")) << "it has a value";
  store.DeleteValue("Test\\Inner", name);
  store.DeleteValue("Test\\Inner", name); // gone already: no error
  EXPECT_TRUE(store.DeleteKeyIfEmpty("Test\\Inner"));
  EXPECT_TRUE(store.DeleteKeyIfEmpty("Test"));
  EXPECT_TRUE(store.ReadValues("Test").empty());
  test::SetDword32("SOFTWARE\\Vantrel\\Test", "Number", 4);
  EXPECT_FALSE(store.ReadValues("Test").at(0).text) << "not a string value";
  test::DeleteTree32("SOFTWARE\\Vantrel");
  EXPECT_NO_THROW(store.Flush()) << "the key above the deleted program's key is flushed";
}

} // namespace
} // namespace vantrel
