// File streams over POSIX file descriptors.
#include "framework/Streams.h"

#include "framework/SysUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {
bool IsCreateMode(uint16_t mode) { return (mode & fmCreate) == fmCreate; }
}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  int fd;
  if (IsCreateMode(mode)) {
    fd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw EFCreateError("Cannot create file \"" + fileName + "\"");
  } else {
    int flags = (mode & 3) == fmOpenWrite       ? O_WRONLY
                : (mode & 3) == fmOpenReadWrite ? O_RDWR
                                                : O_RDONLY;
    fd = ::open(fileName.c_str(), flags | O_CLOEXEC);
    struct stat st;
    // A folder opens on POSIX but is no file to stream.
    if (fd >= 0 && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
      ::close(fd);
      fd = -1;
    }
    if (fd < 0) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  }
  handle_ = fd;
}

TFileStream::~TFileStream() { ::close(static_cast<int>(handle_)); }

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t got = ::read(static_cast<int>(handle_), buffer, static_cast<size_t>(count));
  return got < 0 ? 0 : static_cast<int32_t>(got);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t put = ::write(static_cast<int>(handle_), buffer, static_cast<size_t>(count));
  return put < 0 ? 0 : static_cast<int32_t>(put);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence);
  if (r < 0) throw EStreamError("Invalid stream position");
  return static_cast<int64_t>(r);
}

void TFileStream::SetSize(int64_t size) {
  if (size < 0 || ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) != 0)
    throw EStreamError("Stream size cannot be changed");
  if (Position() > size) Seek(size, soBeginning);
}
