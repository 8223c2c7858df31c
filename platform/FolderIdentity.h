#pragma once
// Whether two folder names name one folder on disk, whatever the names: its
// short (8.3) name, another drive letter or share that leads to it.

#include <optional>
#include <string>

namespace vantrel {

class FolderIdentity {
public:
  virtual ~FolderIdentity() = default;
  // True or false when both folders exist and the file system tells who they
  // are (volume and file index); nothing otherwise: then only the names can
  // be compared.
  virtual std::optional<bool> SameFolderOnDisk(const std::string &a, const std::string &b) = 0;
};

FolderIdentity &SystemFolderIdentity();

} // namespace vantrel
