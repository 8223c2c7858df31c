#pragma once
// The help viewer compiles a contents file, with the index of every file it
// links, into hidden files of the same base name (Delphi4.GID, and the
// full-text groups in Delphi4.FTG) and reads those from then on: once the
// contents file has changed they are stale, and the viewer shows the old
// help. Deleted, the viewer builds them anew at its next start. The user's
// own files beside them (annotations .ANN, bookmarks .BMK, the full-text
// index .FTS) are never touched.

#include "platform/FileDeletion.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"

#include <string>
#include <vector>

namespace vantrel {

// Where the viewer keeps the compiled copies of the contents file at
// `contentsPath`: beside it, in the Windows folder's Help subfolder and in the
// user's local Help folder; the .GID and the .FTG of each.
std::vector<std::string> CompiledContentsPaths(const std::string &contentsPath,
                                               SystemFolders &systemFolders);

// Deletes the compiled copies of the contents file at `contentsPath`: beside
// it, in the Windows folder's Help subfolder and in the user's local Help
// folder, where the viewer keeps them. A copy that cannot be deleted does not
// fail the run: the log names it and says what to do. Returns whether none is
// left.
bool DeleteCompiledContents(const std::string &contentsPath, FileDeleter &fileDeleter,
                            SystemFolders &systemFolders, RunLog &log);

} // namespace vantrel
