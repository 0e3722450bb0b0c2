#include <windows.h>

#include "app/FileIdentity.h"
#include "framework/HandlesWin32.h"

TFileIdentity FileIdentityOf(const std::string& path) {
  if (path.empty()) return {};
  // No access rights asked and every sharing allowed: this neither reads the file nor keeps
  // anyone else from using it. Backup semantics let a folder answer too.
  TFileHandle file(CreateFileA(path.c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return {};
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.Get(), &info)) return {};
  return TFileIdentity{info.dwVolumeSerialNumber,
                       (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                       true};
}
