#include "platform/ExecutablePath.h"

#include "platform/Error.h"
#include "platform/win32/CodePageText.h"
#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

#include <algorithm>

namespace vantrel {

namespace {

// Calls `get(buffer, size)` with ever larger buffers until the answer fits;
// it returns the length, or 0 for a failure.
template <typename Text, typename Get> Text Growing(Get get, const char *failure) {
  Text text(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = get(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0)
      win32::RaiseLastError(failure);
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(std::max<std::size_t>(text.size() * 2, length + 1));
  }
}

const char *const NoPathFailure = "Cannot find the program's own path";
const char *const NoLongPathFailure = "Cannot find the long form of the program's path";

// The program's path as Windows started it, through GetModuleFileNameW or, on
// Windows 98 and ME, GetModuleFileNameA (where a character without a form in
// the code page comes back as "?"). Paths may be longer than MAX_PATH: a full
// buffer means the path was cut.
template <typename Text, typename Char>
Text StartedPath(DWORD(WINAPI *getModuleFileName)(HMODULE, Char *, DWORD)) {
  return Growing<Text>(
      [getModuleFileName](Char *buffer, DWORD size) {
        const DWORD length = getModuleFileName(nullptr, buffer, size);
        return length == size ? size : length; // cut: try larger
      },
      NoPathFailure);
}

// The path in its long form, where the system can tell it. A folder whose
// long form cannot be read (no right to list a folder above it) keeps the
// path as started: it still names the folder.
template <typename Text, typename Char>
Text LongForm(const Text &started, DWORD(WINAPI *getLongPathName)(const Char *, Char *, DWORD)) {
  if (getLongPathName == nullptr)
    return started;
  try {
    return Growing<Text>(
        [&started, getLongPathName](Char *buffer, DWORD size) {
          return getLongPathName(started.c_str(), buffer, size);
        },
        NoLongPathFailure);
  } catch (const Error &) {
    return started;
  }
}

std::wstring WideStartedPath() { return StartedPath<std::wstring>(GetModuleFileNameW); }

std::wstring WideLongForm(const std::wstring &started) {
  return LongForm(started, win32::Optional().GetLongPathNameW);
}

std::string AnsiExecutablePath() {
  return LongForm(StartedPath<std::string>(GetModuleFileNameA), win32::Optional().GetLongPathNameA);
}

[[noreturn]] void RefuseFolder(const std::string &shownFolder) {
  throw Error("The program's folder " + shownFolder +
              " has a name with characters outside this system's character set, which the "
              "Windows help viewer cannot find. Move the program and the help files to a "
              "folder whose name uses only characters of the system's character set, and run "
              "it from there. Nothing has been changed.");
}

// For showing only: a character without a form in the 8-bit character set
// becomes "?", never a look-alike that names another folder.
std::string Shown(std::wstring_view wide) {
  std::string text;
  for (const wchar_t c : wide) {
    const std::optional<std::string> character = win32::ToCodePage(std::wstring_view(&c, 1), GetACP());
    text += character ? *character : "?";
  }
  return text;
}

} // namespace

std::string ExecutablePath(std::string *why) {
  // The help viewer and the contents file know only 8-bit text, so the path
  // must be one the system's character set can hold. GetModuleFileNameA would
  // put "?" for any other character: a folder that does not exist.
  if (!win32::Optional().wideNames) {
    const std::string path = AnsiExecutablePath();
    if (path.find('?') != std::string::npos)
      RefuseFolder(path.substr(0, path.find_last_of('\\')));
    return path;
  }
  const std::wstring started = WideStartedPath(), wide = WideLongForm(started);
  if (std::optional<std::string> path = win32::ToCodePage(wide, GetACP()))
    return *path;
  // Started by a short (8.3) name that the character set can hold: the help
  // viewer finds the folder by it.
  if (std::optional<std::string> path = win32::ToCodePage(started, GetACP())) {
    if (why != nullptr)
      *why = "folder recorded by its short name " + path->substr(0, path->find_last_of('\\')) +
             ": its long name " + Shown(wide.substr(0, wide.find_last_of(L'\\'))) +
             " has characters outside this system's character set";
    return *path;
  }
  RefuseFolder(Shown(wide.substr(0, wide.find_last_of(L'\\'))));
}

std::string ExecutableFileName() {
  if (!win32::Optional().wideNames) {
    const std::string path = AnsiExecutablePath();
    return path.substr(path.find_last_of("\\/:") + 1);
  }
  const std::wstring wide = WideLongForm(WideStartedPath());
  return Shown(wide.substr(wide.find_last_of(L"\\/:") + 1));
}

} // namespace vantrel
