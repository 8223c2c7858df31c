#pragma once
// A throwaway place with an IDE install root, and the text-file and copy
// services to work on it. Under Windows (Wine) these are real files in a fresh
// temporary folder and the program's own Win32 services; in the native build
// they are the in-memory stand-ins. The contents-merge tests run on both.

#include "platform/FileCopy.h"
#include "platform/FileDeletion.h"
#include "platform/FileExistence.h"
#include "platform/FileReplace.h"
#include "platform/TextFile.h"

#include <memory>
#include <string>

namespace vantrel::test {

class FileSandbox {
public:
  virtual ~FileSandbox() = default;
  // An install root whose Help folder exists; no trailing backslash.
  virtual std::string InstallRoot() = 0;
  // A component's folder, with the trailing backslash.
  virtual std::string ComponentDir() = 0;
  virtual void WriteBytes(const std::string &path, const std::string &bytes) = 0;
  // Raises if the file is missing.
  virtual std::string ReadBytes(const std::string &path) = 0;
  virtual bool Exists(const std::string &path) = 0;
  // Puts something at `path` that a copy cannot replace.
  virtual void BlockPath(const std::string &path) = 0;
  // Gives the file the read-only attribute: nothing may write it then.
  virtual void MakeReadOnly(const std::string &path) = 0;
  virtual TextFiles &Files() = 0;
  virtual FileCopier &Copier() = 0;
  virtual FileReplacer &Replacer() = 0;
  virtual FileExistence &Existence() = 0;
  virtual FileDeleter &Deleter() = 0;
};

std::unique_ptr<FileSandbox> MakeFileSandbox();

} // namespace vantrel::test
