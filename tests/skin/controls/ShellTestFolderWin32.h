// A folder tree of the test's own under the Wine prefix's drive, removed with everything in it
// when the test ends.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace shelltest {

class TTestFolder {
 public:
  explicit TTestFolder(const std::string& name) {
    path_ = "C:\\kestrava-" + name + "-" + std::to_string(GetCurrentProcessId());
    Remove();
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TTestFolder() { Remove(); }
  TTestFolder(const TTestFolder&) = delete;
  TTestFolder& operator=(const TTestFolder&) = delete;

  // The folder's path without a final "\".
  const std::string& Path() const { return path_; }
  std::string Sub(const std::string& relative) const { return path_ + "\\" + relative; }
  std::string MakeFolder(const std::string& relative) const {
    std::string path = Sub(relative);
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return path;
  }
  std::string MakeFile(const std::string& relative, const std::string& text = "x") const {
    std::string path = Sub(relative);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return path;
  }

 private:
  void Remove() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  std::string path_;
};

inline bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace shelltest
