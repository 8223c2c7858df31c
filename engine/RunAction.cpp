#include "engine/RunAction.h"

#include "engine/CheckRegistration.h"
#include "engine/RetryingFiles.h"
#include "engine/RunRemoval.h"

#include <cstdio>
#include <exception>

namespace vantrel {

namespace {

// Holds the machine-wide lock until the run is over, or until the run tells
// the user that it is: a message box that waits for a click must not keep
// other installers waiting.
class HeldLock : public MessageBoxes {
public:
  HeldLock(MachineLock &lock, MessageBoxes &messages) : lock_(lock), messages_(messages) {}
  HeldLock(const HeldLock &) = delete;
  HeldLock &operator=(const HeldLock &) = delete;
  ~HeldLock() { Release(); }

  LockTaken Take() {
    const LockTaken taken = lock_.Take(LockTimeoutMs);
    held_ = true;
    return taken;
  }
  void Release() {
    if (held_)
      lock_.Release();
    held_ = false;
  }
  void ShowMessage(const std::string &text, MessageKind kind) override {
    Release();
    messages_.ShowMessage(text, kind);
  }

private:
  MachineLock &lock_;
  MessageBoxes &messages_;
  bool held_ = false;
};

// The report in the log, then in a message: all of it, or its first lines.
bool Report(const CheckReport &report, std::size_t names, bool logGiven,
            const RunServices &services) {
  std::size_t notOk = 0;
  for (std::size_t i = 0; i < report.lines.size(); ++i) {
    services.log.Write(report.lines[i]);
    notOk += i < names && report.lines[i].rfind("not ok: ", 0) == 0;
  }
  const std::size_t inTheWay = report.lines.size() - names;
  const std::string summary =
      report.allWell ? "check: all is well"
                     : "check: " + std::to_string(notOk) + " of " + std::to_string(names) +
                           " help files not ok, " + std::to_string(inTheWay) +
                           (inTheWay == 1 ? " thing" : " things") + " in the way";
  services.log.Write(summary);
  std::string text;
  for (std::size_t i = 0; i < report.lines.size() && i < CheckLinesShown; ++i)
    text += report.lines[i] + "\n";
  if (report.lines.size() > CheckLinesShown)
    text += "... and " + std::to_string(report.lines.size() - CheckLinesShown) + " more" +
            (logGiven ? " in the log" : "") + "\n";
  services.messageBoxes.ShowMessage(text + "\n" + summary,
                                    report.allWell ? MessageKind::Information
                                                   : MessageKind::Warning);
  return report.allWell;
}

bool Run(Action action, const TargetProfile &profile, const HelpFileList &list,
         ClosableDialog &dialog, const RunServices &services, bool logGiven) {
  HeldLock lock(services.machineLock, services.messageBoxes);
  const LockTaken taken = lock.Take();
  if (taken.waitedMs != 0) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", taken.waitedMs / 1000.0);
    services.log.Write(std::string("waited ") + seconds +
                       " s for another registration or removal to end");
  }
  if (taken.abandoned)
    services.log.Write("the run before this one ended without finishing (its lock was "
                       "abandoned): this run completes what it left");
  RetryingFiles files(services.textFiles, services.fileCopier, services.fileReplacer,
                      services.clock, services.log);
  const RunServices locked{services.registry,
                           services.recordStore,
                           files,
                           files,
                           files,
                           services.fileExistence,
                           services.folderIdentity,
                           services.fileDeleter,
                           services.systemFolders,
                           services.machineLock,
                           services.clock,
                           services.characterSet,
                           lock,
                           services.executablePath,
                           services.log};
  switch (action) {
  case Action::Register:
    RunRegistration(profile, list, dialog, locked);
    return true;
  case Action::Remove:
    RunRemoval(profile, list, dialog, locked);
    return true;
  case Action::Check:
    break;
  }
  const CheckReport report = CheckRegistration(profile, list, locked);
  const std::size_t names = report.lines.size() - report.aroundLines;
  return Report(report, names, logGiven, locked);
}

} // namespace

bool RunAction(Action action, const TargetProfile &profile, const HelpFileList &list,
               ClosableDialog &dialog, const RunServices &services, bool logGiven) {
  bool allWell = true;
  try {
    allWell = Run(action, profile, list, dialog, services, logGiven);
  } catch (const std::exception &error) {
    try {
      services.log.Write(std::string("failed: ") + error.what());
    } catch (const std::exception &) {
      // The run's own error is the one to report.
    }
    throw;
  }
  services.log.Write("done");
  return allWell;
}

} // namespace vantrel
