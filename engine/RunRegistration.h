#pragma once

#include "engine/HelpFileList.h"
#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/Clock.h"
#include "platform/FileCopy.h"
#include "platform/FileDeletion.h"
#include "platform/FileExistence.h"
#include "platform/FileReplace.h"
#include "platform/FolderIdentity.h"
#include "platform/MachineLock.h"
#include "platform/MessageBox.h"
#include "platform/RecordStore.h"
#include "platform/Registry.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"
#include "platform/TextFile.h"

#include <functional>
#include <string>

namespace vantrel {

extern const char *const SuccessMessage;

// The window the run closes when it has succeeded.
class ClosableDialog {
public:
  virtual ~ClosableDialog() = default;
  virtual void Close() = 0;
};

struct RunServices {
  Registry &registry;
  RecordStore &recordStore;
  TextFiles &textFiles;
  FileCopier &fileCopier;
  FileReplacer &fileReplacer;
  FileExistence &fileExistence;
  FolderIdentity &folderIdentity;
  FileDeleter &fileDeleter;
  SystemFolders &systemFolders;
  MachineLock &machineLock;
  Clock &clock;
  CharacterSet &characterSet;
  MessageBoxes &messageBoxes;
  std::function<std::string()> executablePath;
  RunLog &log = NoRunLog();
};

// Registers the help locations, merges the contents file (and, when that
// changed it, deletes the help viewer's compiled copies), tells the user and
// closes the dialog. The record says what each step is about to change before
// it does (RegistrationRecord), so that the next run completes a run that was
// killed. The first error ends the run and leaves this function; what was
// done before it stays done.
void RunRegistration(const TargetProfile &profile, const HelpFileList &list,
                     ClosableDialog &dialog, const RunServices &services);

} // namespace vantrel
