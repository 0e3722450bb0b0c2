#include "updater/UpdateFolderWin32.h"

#include <windows.h>

#include "framework/HandlesWin32.h"
#include "framework/SysUtils.h"

namespace {
K_EXCEPTION(EUpdateFolder, Exception);
}

TUpdateFolderWin32::TUpdateFolderWin32(const std::string& programFile) {
  size_t slash = programFile.find_last_of("\\/");
  path_ = slash == std::string::npos ? std::string() : programFile.substr(0, slash + 1);
  fileName_ = slash == std::string::npos ? programFile : programFile.substr(slash + 1);
}

std::string TUpdateFolderWin32::NewTempFile(const std::string& target) {
  // Beside the target, so that the replacement is a rename on one volume.
  std::string folder = target.substr(0, target.find_last_of('\\') + 1);
  char name[MAX_PATH];
  if (::GetTempFileNameA(folder.c_str(), "upd", 0, name) == 0) {
    throw EUpdateFolder("Cannot create a temporary file in " + folder);
  }
  return name;
}

std::optional<int64_t> TUpdateFolderWin32::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

std::string TUpdateFolderWin32::ReadFile(const std::string& path) {
  TFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw EUpdateFolder("Cannot open " + path);
  LARGE_INTEGER size;
  // The list is a few lines; anything near this limit is not a list.
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 16 * 1024 * 1024) {
    throw EUpdateFolder("Cannot read " + path);
  }
  std::string text(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!text.empty() &&
      (!::ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr) ||
       read != text.size())) {
    throw EUpdateFolder("Cannot read " + path);
  }
  return text;
}

bool TUpdateFolderWin32::MoveFileOver(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool TUpdateFolderWin32::FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TUpdateFolderWin32::RemoveFile(const std::string& path) { ::DeleteFileA(path.c_str()); }
