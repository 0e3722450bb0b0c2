// The file mapping of the line list on Windows.
#include <windows.h>

#include <cstdint>

#include "editor/KedEditFileBytes.h"
#include "framework/HandlesWin32.h"

namespace {

class TWin32Mapping : public TKedEditTextBytes {
 public:
  TWin32Mapping(std::string fileName, TFileHandle file, TKernelHandle section, const void* view,
                size_t size)
      : file_(std::move(file)), section_(std::move(section)), view_(view), size_(size) {
    SetFileName(std::move(fileName));
  }
  ~TWin32Mapping() override { ::UnmapViewOfFile(view_); }
  TWin32Mapping(const TWin32Mapping&) = delete;
  TWin32Mapping& operator=(const TWin32Mapping&) = delete;
  const char* Data() const override { return static_cast<const char*>(view_); }
  size_t Size() const override { return size_; }
  bool IsFileMapping() const override { return true; }

 private:
  // The file stays open for as long as the view: its share mode is what keeps other
  // programs from writing the bytes the lines point into.
  TFileHandle file_;
  TKernelHandle section_;
  const void* view_;
  size_t size_;
};

}  // namespace

namespace {

std::unique_ptr<TKedEditTextBytes> MapFileUpTo(const std::string& fileName, uint64_t maxSize,
                                               uint64_t& openedSize) {
  openedSize = 0;
  // Readers are welcome, writers are not; a file someone already writes cannot be
  // opened this way and is read instead. Sharing delete lets a save rename a new file
  // into this one's place.
  TFileHandle file(::CreateFileA(fileName.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) return nullptr;
  const uint64_t bytes = static_cast<uint64_t>(size.QuadPart);
  openedSize = bytes;
  // An empty file cannot be mapped.
  if (bytes == 0 || bytes > maxSize || bytes > 0xFFFFFFFFull) return nullptr;
  // Exactly the size looked at: the share mode keeps writers out, and the mapping states it.
  TKernelHandle section(::CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY,
                                             static_cast<DWORD>(bytes >> 32),
                                             static_cast<DWORD>(bytes), nullptr));
  if (!section) return nullptr;
  // A 32-bit process whose address space has no free run this long gets nullptr here.
  const void* view = ::MapViewOfFile(section.Get(), FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) return nullptr;
  return std::make_unique<TWin32Mapping>(fileName, std::move(file), std::move(section), view,
                                         static_cast<size_t>(bytes));
}

}  // namespace

std::unique_ptr<TKedEditTextBytes> MapFileReadOnly(const std::string& fileName) {
  uint64_t openedSize = 0;
  return MapFileUpTo(fileName, UINT64_MAX, openedSize);
}

namespace {

// Windows 8 and later fetch a range of a view in one call; older systems, and Wine where it
// does nothing, fault the pages in as the lines are indexed.
using TPrefetchVirtualMemory = BOOL(WINAPI*)(HANDLE, ULONG_PTR, PVOID, ULONG);

struct TMemoryRange {
  PVOID VirtualAddress;
  SIZE_T NumberOfBytes;
};

void PrefetchView(const void* view, size_t bytes) {
  static const auto prefetch = reinterpret_cast<TPrefetchVirtualMemory>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "PrefetchVirtualMemory")));
  if (!prefetch) return;
  TMemoryRange range{const_cast<void*>(view), bytes};
  prefetch(::GetCurrentProcess(), 1, &range, 0);
}

}  // namespace

std::unique_ptr<TKedEditTextBytes> LoadFileBytes(const std::string& fileName, uint64_t maxSize,
                                                 uint64_t& openedSize) {
  std::unique_ptr<TKedEditTextBytes> bytes = MapFileUpTo(fileName, maxSize, openedSize);
  if (bytes) PrefetchView(bytes->Data(), bytes->Size());
  return bytes;
}

// Large pages on Windows need a privilege a desktop program does not hold.
void PrepareForFilling(void*, size_t) {}
