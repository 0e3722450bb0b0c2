// The program folder of the update run on Windows: temporary files beside their targets,
// replacement in one step, and the folder and file name of the running updater.
#pragma once

#include <string>

#include "updater/UpdateRun.h"

class TUpdateFolderWin32 : public IUpdateFolder {
 public:
  // `programFile`: the updater's own executable, its folder the program folder.
  explicit TUpdateFolderWin32(const std::string& programFile);

  std::string Path() const override { return path_; }
  std::string ProgramFileName() const override { return fileName_; }
  std::string NewTempFile(const std::string& target) override;
  std::optional<int64_t> FileSize(const std::string& path) override;
  std::string ReadFile(const std::string& path) override;
  bool MoveFileOver(const std::string& from, const std::string& to) override;
  bool FileExists(const std::string& path) override;
  void RemoveFile(const std::string& path) override;

 private:
  std::string path_;
  std::string fileName_;
};
