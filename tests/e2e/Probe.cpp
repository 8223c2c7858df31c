// Looks at the running Vantrel program from the same Wine desktop and prints
// what it finds as key=value lines, for the end-to-end tests; and reads and
// writes the registry for them.
//
// Under an emulator every process start costs a second or more, so the tests
// start the probe once ("serve") and send it one command per line instead.
//
// Set VANTREL_PROGRAM to the program's file name
// (Vantrel4.exe) to look only at windows of that program's process: a crash
// dialog or another program's box never counts then.
//
//   probe dialog TIMEOUT_MS [FOCUS]
//                              waits until the dialog is up with the focus in
//                              it (in the control named FOCUS, if given)
//   probe message TIMEOUT_MS   waits for a message box and prints its text
//   probe close TIMEOUT_MS     sends the dialog what its close box sends
//   probe hold                 keeps the desktop alive until killed
//   probe watch TIMEOUT_MS     prints every program window that shows up meanwhile
//   probe holdfile PATH        keeps PATH open (others may read it) until killed
//   probe version PATH         prints the VERSIONINFO of an executable
//   probe denykey KEY          gives the key (HKLM, 32-bit view) a protected
//                              DACL that lets Everyone only read it; prints
//                              the DACL it had as sddl=...
//   probe setkeysddl KEY SDDL  gives the key that DACL back
//   probe shortpath PATH       prints the short (8.3) form of PATH
//   probe attributes PATH N    gives the file the attributes N (FILE_ATTRIBUTE_...)
//   probe shortnames FOLDER    prints nameI=LONG and shortI=SHORT for what the
//                              folder holds (a name the code page lacks shows "?")
//   probe reg OP...            registry operations, in order, on keys named
//                              HKLM\... (32-bit view) or HKCU\...:
//                                delkey KEY          deletes the key and all below it
//                                set KEY NAME DATA   writes a REG_SZ value
//                                setdword KEY NAME N writes a REG_DWORD value
//                                get KEY NAME        prints getI=DATA, or nothing
//                                haskey KEY          prints keyI=yes or keyI=no
//                                dump KEY            prints dumpI=NAME=DATA|... for every
//                                                    value (line ends and tabs as \n, \t)
//                              (I counts the operations from 0)
//   probe serve                reads commands (arguments separated by tabs)
//                              from standard input, one a line, and answers
//                              each with its lines, "status=N" and "."; ends
//                              at the end of its input
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Text(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

void Print(const char *key, const std::string &value) { std::printf("%s=%s\n", key, value.c_str()); }

void PrintRect(const char *key, const RECT &r) {
  std::printf("%s=%ld,%ld,%ld,%ld\n", key, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// The control's rectangle in its parent's client coordinates.
RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
  return rect;
}

template <typename Found> HWND WaitFor(DWORD timeoutMs, Found found) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (HWND window = found())
      return window;
    Sleep(50);
  }
  return nullptr;
}

bool OfTheProgram(HWND window) {
  const char *program = std::getenv("VANTREL_PROGRAM");
  if (program == nullptr || *program == '\0')
    return true;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr)
    return false;
  char image[MAX_PATH * 4] = {};
  DWORD size = sizeof image;
  const bool named = QueryFullProcessImageNameA(process, 0, image, &size) != FALSE;
  CloseHandle(process);
  const std::string path(image, named ? size : 0), name(program);
  return path.size() >= name.size() + 1 && path[path.size() - name.size() - 1] == '\\' &&
         _stricmp(path.c_str() + path.size() - name.size(), name.c_str()) == 0;
}

// A visible top-level window of the class, belonging to the program.
HWND FindProgramWindow(const char *className) {
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, className, nullptr))
    if (IsWindowVisible(window) && OfTheProgram(window))
      return window;
  return nullptr;
}

HWND FindDialog() { return FindProgramWindow("TFrmVantrel"); }

// Waits until the window and its children have nothing left to paint, so
// that a screenshot shows them whole.
BOOL CALLBACK Painted(HWND window, LPARAM allPainted) {
  if (GetUpdateRect(window, nullptr, FALSE))
    *reinterpret_cast<bool *>(allPainted) = false;
  return TRUE;
}
void WaitUntilPainted(HWND window) {
  for (int tries = 0; tries < 100; ++tries) {
    bool allPainted = !GetUpdateRect(window, nullptr, FALSE);
    EnumChildWindows(window, Painted, reinterpret_cast<LPARAM>(&allPainted));
    if (allPainted)
      return;
    Sleep(20);
  }
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

const struct {
  const char *name;
  int id;
} Controls[] = {{"Panel1", 100}, {"ImgHelp", 101}, {"Label1", 102},
                {"LstFiles", 103}, {"BtnRegister", 1}, {"BtnCancel", 2}};

HWND ControlOf(HWND dialog, int id) {
  HWND window = GetDlgItem(dialog, id);
  return window != nullptr ? window : GetDlgItem(GetDlgItem(dialog, 100), id);
}

int ProbeDialog(DWORD timeoutMs, const std::string &focus) {
  // Up means: visible, and the keyboard focus inside it (where asked for).
  HWND dialog = WaitFor(timeoutMs, [&focus] {
    HWND found = FindDialog();
    if (found == nullptr || FocusOf(found) == nullptr || !IsChild(found, FocusOf(found)))
      return static_cast<HWND>(nullptr);
    for (const auto &control : Controls)
      if (focus == control.name && FocusOf(found) != ControlOf(found, control.id))
        return static_cast<HWND>(nullptr);
    return found;
  });
  if (dialog == nullptr) {
    std::printf("error=no dialog%s%s\n", focus.empty() ? "" : " with the focus in ", focus.c_str());
    return 1;
  }
  WaitUntilPainted(dialog);
  Print("caption", Text(dialog));
  const LONG style = GetWindowLongA(dialog, GWL_STYLE), exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
  Print("minimize_box", style & WS_MINIMIZEBOX ? "yes" : "no");
  Print("maximize_box", style & WS_MAXIMIZEBOX ? "yes" : "no");
  Print("sizable", style & WS_THICKFRAME ? "yes" : "no");
  Print("dialog_frame", exStyle & WS_EX_DLGMODALFRAME ? "yes" : "no");
  RECT rect;
  GetWindowRect(dialog, &rect);
  PrintRect("window", rect);
  GetClientRect(dialog, &rect);
  PrintRect("client", rect);
  std::printf("screen=%d,%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

  HWND owner = GetWindow(dialog, GW_OWNER);
  Print("owner_class", owner ? ClassOf(owner) : "");
  Print("owner_caption", owner ? Text(owner) : "");
  Print("owner_visible", owner && IsWindowVisible(owner) ? "yes" : "no");
  if (owner) {
    GetWindowRect(owner, &rect);
    PrintRect("owner_window", rect);
  }

  // The close box's centre, from the metrics of a dialog frame and caption.
  GetWindowRect(dialog, &rect);
  std::printf("close_box=%ld,%d\n",
              rect.right - GetSystemMetrics(SM_CXFIXEDFRAME) - GetSystemMetrics(SM_CXSIZE) / 2 - 1,
              static_cast<int>(rect.top + GetSystemMetrics(SM_CYFIXEDFRAME) +
                               GetSystemMetrics(SM_CYCAPTION) / 2));
  for (const auto &control : Controls) {
    HWND window = ControlOf(dialog, control.id);
    if (window == nullptr) {
      Print(control.name, "missing");
      continue;
    }
    const std::string key(control.name);
    PrintRect((key + ".rect").c_str(), RectInParent(window));
    Print((key + ".parent").c_str(), GetParent(window) == dialog ? "dialog" : ClassOf(GetParent(window)));
    Print((key + ".class").c_str(), ClassOf(window));
    Print((key + ".text").c_str(), Text(window));
    std::printf("%s.style=0x%08lx\n", key.c_str(), GetWindowLongA(window, GWL_STYLE));
    std::printf("%s.exstyle=0x%08lx\n", key.c_str(), GetWindowLongA(window, GWL_EXSTYLE));
    if (window == FocusOf(dialog))
      Print("focus", control.name);
  }
  HWND list = GetDlgItem(GetDlgItem(dialog, 100), 103);
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  std::printf("items=%ld\n", static_cast<long>(count));
  for (LRESULT i = 0; i < count; ++i) {
    // Asked in UTF-16: Wine hands list-box text across processes as UTF-16 only.
    wchar_t wide[4096] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    char item[8192] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, nullptr, nullptr);
    std::printf("item%ld=%s\n", static_cast<long>(i), item);
  }
  std::printf("item_height=%ld\n", static_cast<long>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)));
  std::printf("default_id=%ld\n", static_cast<long>(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0))));
  return 0;
}

int ProbeMessage(DWORD timeoutMs) {
  HWND box = WaitFor(timeoutMs, [] { return FindProgramWindow("#32770"); });
  if (box == nullptr) {
    std::printf("error=no message box\n");
    return 1;
  }
  WaitUntilPainted(box);
  Print("caption", Text(box));
  Print("text", Text(GetDlgItem(box, 0xFFFF)));
  HWND owner = GetWindow(box, GW_OWNER);
  Print("owner_class", owner ? ClassOf(owner) : "");
  Print("dialog_enabled", IsWindowEnabled(FindDialog()) ? "yes" : "no");
  RECT rect;
  GetWindowRect(box, &rect);
  PrintRect("window", rect);
  return 0;
}

// Stays attached to the desktop until killed, so that the desktop (and Wine's
// desktop process) lives through a whole test run instead of being started
// by whichever test happens to come first.
int Hold() {
  GetDesktopWindow();
  HWND window = CreateWindowExA(0, "STATIC", "vantrel-hold", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, nullptr, nullptr);
  std::printf("holding\n");
  std::fflush(stdout);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
  DestroyWindow(window);
  return 0;
}

// For the quiet runs: names any window of the program's classes that becomes
// visible before the time is up.
int Watch(DWORD timeoutMs) {
  std::printf("watching\n");
  std::fflush(stdout);
  const DWORD start = GetTickCount();
  int seen = 0;
  while (GetTickCount() - start < timeoutMs) {
    for (const char *className : {"TApplication", "TFrmVantrel", "#32770"}) {
      HWND window = FindProgramWindow(className);
      if (window != nullptr && ++seen < 10) {
        std::printf("seen=%s %s\n", className, Text(window).c_str());
        std::fflush(stdout);
      }
    }
    Sleep(10);
  }
  return 0;
}

// Another program that has the file open, sharing it for reading only.
int HoldFile(const char *path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("error=cannot open %s\n", path);
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}

// As Windows' own file properties read it.
int PrintVersion(const char *path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  std::string data(size, '\0');
  if (size == 0 || !GetFileVersionInfoA(path, 0, size, data.data())) {
    std::printf("error=no version information in %s\n", path);
    return 1;
  }
  VS_FIXEDFILEINFO *fixed = nullptr;
  char *product = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void **>(&fixed), &length) ||
      !VerQueryValueA(data.data(), "\\StringFileInfo\\040904B0\\ProductVersion",
                      reinterpret_cast<void **>(&product), &length))
    return 1;
  std::printf("file_version=%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
              LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
              LOWORD(fixed->dwFileVersionLS));
  std::printf("product_version=%s\n", product);
  return 0;
}

// The key's DACL, replaced by the one in `sddl`; returns the old one as SDDL.
int SetKeyDacl(const char *keyPath, const char *sddl, bool printOld) {
  HKEY key = nullptr;
  LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0,
                              READ_CONTROL | WRITE_DAC | KEY_WOW64_32KEY, &key);
  if (result != ERROR_SUCCESS) {
    std::printf("error=cannot open %s (%ld)\n", keyPath, result);
    return 1;
  }
  PSECURITY_DESCRIPTOR old = nullptr;
  if (printOld) {
    PACL oldDacl = nullptr;
    char *oldSddl = nullptr;
    if (GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &oldDacl,
                        nullptr, &old) != ERROR_SUCCESS ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(
            old, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &oldSddl, nullptr))
      return 1;
    std::printf("sddl=%s\n", oldSddl);
    LocalFree(oldSddl);
    LocalFree(old);
  }
  PSECURITY_DESCRIPTOR wanted = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &wanted,
                                                            nullptr))
    return 1;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  GetSecurityDescriptorDacl(wanted, &present, &dacl, &defaulted);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(wanted, &control, &revision);
  const SECURITY_INFORMATION what =
      DACL_SECURITY_INFORMATION |
      (control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION
                                   : UNPROTECTED_DACL_SECURITY_INFORMATION);
  result = SetSecurityInfo(key, SE_REGISTRY_KEY, what, nullptr, nullptr, dacl, nullptr);
  LocalFree(wanted);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 0 : 1;
}

int CloseDialog(DWORD timeoutMs) {
  HWND dialog = WaitFor(timeoutMs, FindDialog);
  if (dialog == nullptr)
    return 1;
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

// Registry operations on HKLM\... (the 32-bit view, where the programs keep
// their keys) or HKCU\...; see the usage above.
int Registry(const std::vector<std::string> &ops) {
  for (std::size_t at = 0, index = 0; at < ops.size(); ++index) {
    const std::string &op = ops[at];
    const std::size_t arguments =
        op == "delkey" || op == "haskey" || op == "dump" ? 1 : op == "get" ? 2 : 3;
    const std::size_t slash = at + 1 < ops.size() ? ops[at + 1].find('\\') : std::string::npos;
    if ((op != "set" && op != "setdword" && arguments == 3) || at + arguments >= ops.size() ||
        slash == std::string::npos) {
      std::printf("error=bad operation %s\n", op.c_str());
      return 2;
    }
    const bool machine = ops[at + 1].compare(0, slash, "HKLM") == 0;
    const HKEY root = machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const REGSAM view = machine ? KEY_WOW64_32KEY : 0;
    const std::string path = ops[at + 1].substr(slash + 1);
    const std::string name = arguments >= 2 ? ops[at + 2] : "", data = arguments == 3 ? ops[at + 3] : "";
    at += arguments + 1;
    HKEY key = nullptr;
    LONG result = ERROR_SUCCESS;
    if (op == "delkey") {
      const std::size_t last = path.find_last_of('\\');
      result = RegOpenKeyExA(root, path.substr(0, last).c_str(), 0, KEY_ALL_ACCESS | view, &key);
      if (result == ERROR_SUCCESS)
        result = RegDeleteTreeA(key, path.substr(last + 1).c_str());
    } else if (op == "dump") {
      result = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key);
      std::string all;
      for (DWORD i = 0; result == ERROR_SUCCESS; ++i) {
        char name[1024], value[8192];
        DWORD nameSize = sizeof name, size = sizeof value - 1;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr,
                          reinterpret_cast<BYTE *>(value), &size) != ERROR_SUCCESS)
          break;
        for (const char c : std::string(name, nameSize) + "=" + std::string(value, size) + "|")
          all += c == '\n' ? std::string("\\n") : c == '\t' ? std::string("\\t") : std::string(1, c);
      }
      std::printf("dump%zu=%s\n", index, all.c_str());
      result = ERROR_SUCCESS; // a missing key dumps as nothing
    } else if (op == "haskey" || op == "get") {
      char value[8192] = {};
      DWORD size = sizeof value - 1, type = REG_SZ;
      result = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key);
      if (op == "haskey")
        std::printf("key%zu=%s\n", index, result == ERROR_SUCCESS ? "yes" : "no");
      else if (result == ERROR_SUCCESS)
        result = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE *>(value), &size);
      if (op == "get" && result == ERROR_SUCCESS && type == REG_SZ)
        std::printf("get%zu=%s\n", index, value);
      else if (op == "get" && result == ERROR_SUCCESS)
        result = ERROR_INVALID_DATA; // not a string
      if (op == "haskey")
        result = ERROR_SUCCESS;
    } else {
      const DWORD number = std::strtoul(data.c_str(), nullptr, 10);
      result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                               &key, nullptr);
      if (result == ERROR_SUCCESS)
        result = op == "set" ? RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                              reinterpret_cast<const BYTE *>(data.c_str()),
                                              static_cast<DWORD>(data.size() + 1))
                             : RegSetValueExA(key, name.c_str(), 0, REG_DWORD,
                                              reinterpret_cast<const BYTE *>(&number), sizeof number);
    }
    if (key != nullptr)
      RegCloseKey(key);
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) { // a missing one: no value
      std::printf("error=%s %s failed (%ld)\n", op.c_str(), path.c_str(), result);
      return 1;
    }
  }
  return 0;
}

int Command(const std::vector<std::string> &args) {
  const std::string command = args.empty() ? "" : args[0];
  const std::size_t count = args.size();
  if (command == "hold" && count == 1)
    return Hold();
  if (command == "holdfile" && count == 2)
    return HoldFile(args[1].c_str());
  if (command == "version" && count == 2)
    return PrintVersion(args[1].c_str());
  if (command == "shortpath" && count == 2) {
    char shortPath[MAX_PATH * 4] = {};
    if (GetShortPathNameA(args[1].c_str(), shortPath, sizeof shortPath) == 0)
      return 1;
    std::printf("path=%s\n", shortPath);
    return 0;
  }
  if (command == "denykey" && count == 2)
    return SetKeyDacl(args[1].c_str(), "D:P(A;;KR;;;WD)", true);
  if (command == "setkeysddl" && count == 3)
    return SetKeyDacl(args[1].c_str(), args[2].c_str(), false);
  if (command == "shortnames" && count == 2) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((args[1] + "\\*").c_str(), &found);
    for (int i = 0; search != INVALID_HANDLE_VALUE;) {
      if (found.cFileName[0] != '.') {
        std::printf("name%d=%s\nshort%d=%s\n", i, found.cFileName, i,
                    found.cAlternateFileName[0] ? found.cAlternateFileName : found.cFileName);
        ++i;
      }
      if (!FindNextFileA(search, &found)) {
        FindClose(search);
        break;
      }
    }
    return 0;
  }
  if (command == "attributes" && count == 3)
    return SetFileAttributesA(args[1].c_str(), std::strtoul(args[2].c_str(), nullptr, 10)) ? 0 : 1;
  if (command == "reg")
    return Registry(std::vector<std::string>(args.begin() + 1, args.end()));
  const DWORD timeoutMs = count >= 2 ? std::strtoul(args[1].c_str(), nullptr, 10) : 0;
  if (command == "dialog" && (count == 2 || count == 3))
    return ProbeDialog(timeoutMs, count == 3 ? args[2] : "");
  if (command == "message" && count == 2)
    return ProbeMessage(timeoutMs);
  if (command == "close" && count == 2)
    return CloseDialog(timeoutMs);
  if (command == "watch" && count == 2)
    return Watch(timeoutMs);
  std::printf("error=usage: probe dialog TIMEOUT_MS [FOCUS] | message|close|watch TIMEOUT_MS"
              " | hold | holdfile PATH | version PATH | denykey KEY | setkeysddl KEY SDDL"
              " | shortpath PATH | program NAME | reg OP... | serve\n");
  return 2;
}

// One command a line, until the input ends (the test that started it is gone).
int Serve() {
  std::string line;
  for (int c; (c = std::getchar()) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    std::vector<std::string> args;
    for (std::size_t start = 0;;) {
      const std::size_t tab = line.find('\t', start);
      args.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos)
        break;
      start = tab + 1;
    }
    line.clear();
    const int status = Command(args);
    std::printf("status=%d\n.\n", status);
    std::fflush(stdout);
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  SetProcessDPIAware(); // read the program's pixels as they are, whatever the DPI
  if (argc == 2 && std::string(argv[1]) == "serve")
    return Serve();
  const int result = Command(std::vector<std::string>(argv + 1, argv + argc));
  std::fflush(stdout);
  return result;
}
