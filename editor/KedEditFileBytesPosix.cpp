// The file mapping of the line list on POSIX systems (native builds and their tests).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "editor/KedEditFileBytes.h"

namespace {

class TPosixMapping : public TKedEditTextBytes {
 public:
  TPosixMapping(std::string fileName, void* view, size_t size) : view_(view), size_(size) {
    SetFileName(std::move(fileName));
  }
  ~TPosixMapping() override { ::munmap(view_, size_); }
  TPosixMapping(const TPosixMapping&) = delete;
  TPosixMapping& operator=(const TPosixMapping&) = delete;
  const char* Data() const override { return static_cast<const char*>(view_); }
  size_t Size() const override { return size_; }
  bool IsFileMapping() const override { return true; }

 private:
  void* view_;
  size_t size_;
};

constexpr size_t kLargePage = size_t{2} << 20;

// Closes the descriptor on every path; the mapping keeps its own reference to the file.
class TDescriptor {
 public:
  explicit TDescriptor(int fd) : fd_(fd) {}
  ~TDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<TKedEditTextBytes> MapFileReadOnly(const std::string& fileName) {
  TDescriptor fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (size == 0 || size > 0xFFFFFFFFull) return nullptr;
#ifdef MAP_POPULATE
  // All pages at once: one fault per page costs more than the pass that indexes them.
  constexpr int kPopulate = MAP_POPULATE;
#else
  constexpr int kPopulate = 0;
#endif
  void* view =
      ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE | kPopulate, fd.Get(), 0);
  if (view == MAP_FAILED) return nullptr;
  ::madvise(view, static_cast<size_t>(size), MADV_WILLNEED);
  return std::make_unique<TPosixMapping>(fileName, view, static_cast<size_t>(size));
}

std::unique_ptr<TKedEditTextBytes> LoadFileBytes(const std::string& fileName) {
  return MapFileReadOnly(fileName);
}

void PrepareForFilling(void* data, size_t bytes) {
#ifdef MADV_HUGEPAGE
  // Only whole large pages inside the array can be advised.
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kLargePage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and fault page by page
#endif
  // Advice works on whole pages: from the first page the array touches.
  const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const uintptr_t first = reinterpret_cast<uintptr_t>(data) & ~(page - 1);
  const uintptr_t last = reinterpret_cast<uintptr_t>(data) + bytes;
  if (bytes > 0) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
}
