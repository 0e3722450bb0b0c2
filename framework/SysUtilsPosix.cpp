// Files, folders and arithmetic that Windows provides itself, for the other systems.
#include "framework/SysUtils.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

const char PathDelim = '/';

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t numerator = static_cast<int64_t>(a) * b;
  int64_t divisor = c;
  if (divisor < 0) {
    numerator = -numerator;
    divisor = -divisor;
  }
  // Half away from zero: move the numerator by half the divisor towards its own sign.
  int64_t r =
      numerator >= 0 ? (numerator + divisor / 2) / divisor : (numerator - divisor / 2) / divisor;
  if (r > INT32_MAX || r < -INT32_MAX) return -1;
  return static_cast<int>(r);
}

namespace fs = std::filesystem;

bool FileExists(const std::string& fileName) {
  std::error_code ec;
  return !fileName.empty() && fs::is_regular_file(fs::path(fileName), ec);
}

bool DirectoryExists(const std::string& dirName) {
  std::error_code ec;
  return !dirName.empty() && fs::is_directory(fs::path(dirName), ec);
}

bool CreateDir(const std::string& dirName) {
  std::error_code ec;
  return !dirName.empty() && fs::create_directory(fs::path(dirName), ec);
}

bool RemoveFile(const std::string& fileName) {
  std::error_code ec;
  return FileExists(fileName) && fs::remove(fs::path(fileName), ec);
}

bool RemoveDir(const std::string& dirName) {
  std::error_code ec;
  return DirectoryExists(dirName) && fs::remove(fs::path(dirName), ec);
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
  std::error_code ec;
  if (fs::exists(fs::path(newName), ec)) return false;  // never replaces, as on Windows
  fs::rename(fs::path(oldName), fs::path(newName), ec);
  return !ec;
}

int64_t FileSizeOf(const std::string& fileName) {
  std::error_code ec;
  if (!FileExists(fileName)) return -1;
  auto size = fs::file_size(fs::path(fileName), ec);
  return ec ? -1 : static_cast<int64_t>(size);
}
