#include "ui/RunProgram.h"

#include "engine/Characters.h"
#include "engine/LoadHelpFiles.h"
#include "engine/ParseCommandLine.h"
#include "engine/RequireHelpFiles.h"
#include "engine/RunAction.h"
#include "platform/CharacterSet.h"
#include "platform/Clock.h"
#include "platform/ExecutablePath.h"
#include "platform/FileCopy.h"
#include "platform/FileDeletion.h"
#include "platform/FileExistence.h"
#include "platform/FileReplace.h"
#include "platform/FolderIdentity.h"
#include "platform/MachineLock.h"
#include "platform/MessageBox.h"
#include "platform/ProfileFile.h"
#include "platform/RecordStore.h"
#include "platform/Registry.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"
#include "platform/TextFile.h"
#include "ui/Application.h"
#include "ui/FrmVantrel.h"

#include <cstdio>
#include <memory>

namespace vantrel::ui {

namespace {

// With /quiet nothing is shown: the exit code and the log tell the outcome.
struct SilentMessages : MessageBoxes {
  void ShowMessage(const std::string &, MessageKind) override {}
};
struct NoDialog : ClosableDialog {
  void Close() override {}
};

void ShowUsage(const TargetProfile &profile, const std::string &problem) {
  const std::string text = problem.empty() ? UsageText : problem + "\n\n" + UsageText;
  MessageBoxA(nullptr, text.c_str(), profile.applicationTitle.c_str(),
              MB_OK | (problem.empty() ? MB_ICONINFORMATION : MB_ICONERROR));
}

std::string WorkingDirectory() {
  std::string folder(GetCurrentDirectoryA(0, nullptr), '\0');
  folder.resize(GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

// The INI reader looks for a bare file name in the Windows folder: a list
// named on the command line is the working folder's, as .\Vantrel.ini is.
std::string InWorkingFolder(const std::string &path) {
  const bool bare = FindLastOf(path, "\\/:", SystemCharacterSet().LeadBytes()) == std::string::npos;
  return bare ? ".\\" + path : path;
}

// "2026-12-07 19:45:01 Vantrel4.exe 1.0.0: register, in C:\Components\GridPack"
std::string LogHeader(const CommandLine &command) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond);
  return std::string(stamp) + " " + ExecutableFileName() + " " + VantrelVersion + ": " +
         (command.action == Action::Remove  ? "unregister"
          : command.action == Action::Check ? "check"
                                            : "register") +
         ", in " +
         WorkingDirectory();
}

// The dialog, until the user closes it. Raises when it cannot be created.
RunOutcome RunDialog(HINSTANCE instance, const TargetProfile &profile, const RunServices &services,
                     Action action, const std::string &listFilePath) {
  Application application(instance, profile.applicationTitle);
  TFrmVantrel FrmVantrel(instance, application.Window(), profile, SystemProfileFiles(), services,
                         action, listFilePath);
  FrmVantrel.Show();
  application.Run(FrmVantrel.Handle());
  return FrmVantrel.Outcome();
}

} // namespace

int RunProgram(HINSTANCE instance, const TargetProfile &profile,
               const std::vector<std::string> &arguments) {
  CommandLine command;
  try {
    command = ParseCommandLine(arguments);
  } catch (const UsageError &error) {
    if (!AsksForQuiet(arguments))
      ShowUsage(profile, error.what());
    return BadCommandLine;
  }
  if (command.help) {
    if (!command.quiet)
      ShowUsage(profile, "");
    return Completed;
  }

  SilentMessages silent;
  MessageBoxes &messages = command.quiet ? static_cast<MessageBoxes &>(silent) : SystemMessageBoxes();
  std::unique_ptr<RunLog> log;
  const auto fail = [&](const std::exception &error, bool logged) {
    try {
      if (log && !logged)
        log->Write(std::string("failed: ") + error.what());
    } catch (const std::exception &) {
      // The error to report is the run's own.
    }
    messages.ShowMessage(error.what(), MessageKind::Error);
    return Failed;
  };

  // With switches, an installer started in the wrong folder, with a list that
  // names nothing, or with a log it cannot have, learns so before anything is
  // changed.
  const std::string listFilePath =
      command.anySwitch ? InWorkingFolder(command.listPath.value_or(ListFilePath)) : ListFilePath;
  HelpFileList list;
  if (command.anySwitch) {
    try {
      if (command.logPath) {
        log = OpenRunLog(*command.logPath);
        log->Write(LogHeader(command));
      }
      if (!SystemFileExistence().FileExists(listFilePath))
        throw Error("The list of help files " + listFilePath +
                    " was not found (the working folder is " + WorkingDirectory() +
                    "). Nothing has been changed.");
      LoadHelpFiles(SystemProfileFiles(), listFilePath, list);
      RequireHelpFiles(list, listFilePath);
    } catch (const std::exception &error) {
      return fail(error, false);
    }
  }

  const RunServices services{SystemRegistry(),
                             SystemRecordStore(),
                             SystemTextFiles(),
                             SystemFileCopier(),
                             SystemFileReplacer(),
                             SystemFileExistence(),
                             SystemFolderIdentity(),
                             SystemFileDeleter(),
                             SystemFolderLocations(),
                             SystemMachineLock(),
                             SystemClock(),
                             SystemCharacterSet(),
                             messages,
                             [&log] {
                               std::string why;
                               std::string path = ExecutablePath(&why);
                               if (log && !why.empty())
                                 log->Write(why);
                               return path;
                             },
                             log ? *log : NoRunLog()};
  // A check has no dialog: its report is its message (none with /quiet).
  if (command.quiet || command.action == Action::Check) {
    bool allWell = true;
    try {
      NoDialog noDialog;
      allWell = RunAction(command.action, profile, list, noDialog, services, log != nullptr);
    } catch (const std::exception &error) {
      return fail(error, true); // the run has logged its own failure
    }
    return allWell ? Completed : InTheWay;
  }

  RunOutcome outcome = RunOutcome::NoRun;
  try {
    outcome = RunDialog(instance, profile, services, command.action, listFilePath);
  } catch (const std::exception &error) {
    return fail(error, false);
  }
  if (!command.anySwitch)
    return 0; // the plain dialog always ends with 0
  switch (outcome) {
  case RunOutcome::Completed:
    return Completed;
  case RunOutcome::Failed:
    return Failed;
  case RunOutcome::NoRun:
    break;
  }
  try {
    if (log)
      log->Write("cancelled");
  } catch (const std::exception &) {
    // The exit code tells it all the same.
  }
  return ClosedWithoutRun;
}

} // namespace vantrel::ui
