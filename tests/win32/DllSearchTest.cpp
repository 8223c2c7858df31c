// The start-up's DLL search: a DLL planted in the program's folder is found by
// its bare name until the search is restricted, and not after. Its own
// program, since the restriction lasts for the rest of the process.
#include "platform/DllSearch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace vantrel {
namespace {

std::string WindowsPath(std::string unixPath) {
  for (char &c : unixPath)
    if (c == '/')
      c = '\\';
  return "Z:" + unixPath; // Wine's Z: drive is the Unix root
}

TEST(DllSearch, DllPlantedInTheProgramsFolderIsNotLoaded) {
  char program[MAX_PATH * 4] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string planted(program);
  planted = planted.substr(0, planted.find_last_of('\\') + 1) + "vantrel_sideload.dll";
  ASSERT_TRUE(CopyFileA(WindowsPath(SideloadDll).c_str(), planted.c_str(), FALSE)) << planted;

  HMODULE found = LoadLibraryA("vantrel_sideload.dll");
  EXPECT_NE(found, nullptr) << "without the restriction the folder's DLL is found";
  if (found != nullptr)
    FreeLibrary(found);
  ASSERT_EQ(GetModuleHandleA("vantrel_sideload.dll"), nullptr);

  RestrictDllSearch();
  found = LoadLibraryA("vantrel_sideload.dll");
  EXPECT_EQ(found, nullptr) << "the program's folder is still searched";
  if (found != nullptr)
    FreeLibrary(found);
  EXPECT_NE(LoadLibraryA("version.dll"), nullptr) << "System32 is still searched";
  DeleteFileA(planted.c_str());
}

} // namespace
} // namespace vantrel
