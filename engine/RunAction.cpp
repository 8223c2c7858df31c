#include "engine/RunAction.h"

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

void Run(Action action, const TargetProfile &profile, const HelpFileList &list,
         ClosableDialog &dialog, const RunServices &services) {
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
  if (action == Action::Register)
    RunRegistration(profile, list, dialog, locked);
  else
    RunRemoval(profile, list, dialog, locked);
}

} // namespace

void RunAction(Action action, const TargetProfile &profile, const HelpFileList &list,
               ClosableDialog &dialog, const RunServices &services) {
  try {
    Run(action, profile, list, dialog, services);
  } catch (const std::exception &error) {
    try {
      services.log.Write(std::string("failed: ") + error.what());
    } catch (const std::exception &) {
      // The run's own error is the one to report.
    }
    throw;
  }
  services.log.Write("done");
}

} // namespace vantrel
