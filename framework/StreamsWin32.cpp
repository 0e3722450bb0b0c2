// File streams over the Windows file API.
#include "framework/Streams.h"

#include "framework/SysUtils.h"

#include <windows.h>

namespace {
bool IsCreateMode(uint16_t mode) { return (mode & fmCreate) == fmCreate; }
}  // namespace

namespace {
HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  DWORD access;
  switch (mode & 3) {
    case fmOpenWrite:
      access = GENERIC_WRITE;
      break;
    case fmOpenReadWrite:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
    default:
      access = GENERIC_READ;
      break;
  }
  DWORD share;
  switch (mode & 0xF0) {
    case fmShareExclusive:
      share = 0;
      break;
    case fmShareDenyWrite:
      share = FILE_SHARE_READ;
      break;
    case fmShareDenyRead:
      share = FILE_SHARE_WRITE;
      break;
    case fmShareDenyNone:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
    default:
      share = 0;
      break;  // compatibility mode behaves as exclusive on NT
  }
  HANDLE h;
  if (IsCreateMode(mode)) {
    h = ::CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file \"" + fileName + "\"");
  } else {
    h = ::CreateFileA(fileName.c_str(), access, share, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  }
  handle_ = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() { ::CloseHandle(AsHandle(handle_)); }

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD got = 0;
  if (!::ReadFile(AsHandle(handle_), buffer, static_cast<DWORD>(count), &got, nullptr)) return 0;
  return static_cast<int32_t>(got);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD put = 0;
  if (!::WriteFile(AsHandle(handle_), buffer, static_cast<DWORD>(count), &put, nullptr)) return 0;
  return static_cast<int32_t>(put);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER result;
  DWORD method = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
  if (!::SetFilePointerEx(AsHandle(handle_), distance, &result, method))
    throw EStreamError("Invalid stream position");
  return result.QuadPart;
}

void TFileStream::SetSize(int64_t size) {
  int64_t pos = Position();
  Seek(size, soBeginning);
  if (!::SetEndOfFile(AsHandle(handle_))) {
    Seek(pos, soBeginning);
    throw EStreamError("Stream size cannot be changed");
  }
  if (pos < size) Seek(pos, soBeginning);
}
