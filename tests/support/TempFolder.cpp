#include "tests/support/TempFolder.h"

#include "platform/Error.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

#include <atomic>

namespace vantrel::test {

using win32::RaiseLastError;
using win32::UniqueHandle;

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH)
    RaiseLastError("Cannot find the temporary folder");
  path_ = std::string(temp, length) + "vantrel-test-" + std::to_string(GetCurrentProcessId()) +
          "-" + std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
  CreateFolder(path_);
}

TempFolder::~TempFolder() {
  try {
    RemoveTree(path_);
  } catch (const Error &) {
    // A leftover temporary folder is no reason to fail a test.
  }
}

void CreateFolder(const std::string &path) {
  if (!CreateDirectoryA(path.c_str(), nullptr))
    RaiseLastError("Cannot create folder " + path);
}

void WriteFileBytes(const std::string &path, const std::string &bytes) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid())
    RaiseLastError("Cannot create " + path);
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    RaiseLastError("Cannot write " + path);
}

std::string ReadFileBytes(const std::string &path) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid())
    RaiseLastError("Cannot open " + path);
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  do {
    if (!ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr))
      RaiseLastError("Cannot read " + path);
    bytes.append(chunk, got);
  } while (got != 0);
  return bytes;
}

bool PathExists(const std::string &path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string &path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..")
        continue;
      const std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        DeleteFileA(child.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  if (!RemoveDirectoryA(path.c_str()))
    RaiseLastError("Cannot remove folder " + path);
}

} // namespace vantrel::test
