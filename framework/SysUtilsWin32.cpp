// Files and folders through the Windows API.
#include "framework/SysUtils.h"

#include <windows.h>

const char PathDelim = '\\';

bool FileExists(const std::string& fileName) {
  DWORD a = ::GetFileAttributesA(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& dirName) {
  DWORD a = ::GetFileAttributesA(dirName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const std::string& dirName) {
  return ::CreateDirectoryA(dirName.c_str(), nullptr) != 0;
}
bool RemoveFile(const std::string& fileName) { return ::DeleteFileA(fileName.c_str()) != 0; }
bool RemoveDir(const std::string& dirName) { return ::RemoveDirectoryA(dirName.c_str()) != 0; }
bool RenameFile(const std::string& oldName, const std::string& newName) {
  return ::MoveFileA(oldName.c_str(), newName.c_str()) != 0;
}

int64_t FileSizeOf(const std::string& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return -1;
  }
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
