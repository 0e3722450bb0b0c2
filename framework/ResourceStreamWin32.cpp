#include "framework/ResourceStreamWin32.h"

#include <algorithm>
#include <cstring>

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, const char* type) {
  Load(instance, name.c_str(), type, name);
}

TResourceStream::TResourceStream(HINSTANCE instance, int id, const char* type) {
  Load(instance, MAKEINTRESOURCEA(id), type, IntToStr(id));
}

void TResourceStream::Load(HINSTANCE instance, const char* name, const char* type,
                           const std::string& shownName) {
  // Resource memory belongs to the module: nothing to free (FreeResource is a no-op on NT).
  HRSRC info = ::FindResourceA(instance, name, type);
  HGLOBAL block = info != nullptr ? ::LoadResource(instance, info) : nullptr;
  const void* data = block != nullptr ? ::LockResource(block) : nullptr;
  if (data == nullptr) throw EResNotFound("Resource " + shownName + " not found");
  data_ = static_cast<const uint8_t*>(data);
  size_ = ::SizeofResource(instance, info);
}

int32_t TResourceStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  int64_t n = std::min<int64_t>(count, size_ - position_);
  std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
  position_ += n;
  return static_cast<int32_t>(n);
}

int32_t TResourceStream::Write(const void*, int32_t) {
  throw EStreamError("Can't write to a read-only resource stream");
}

int64_t TResourceStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
  int64_t target = base + offset;
  if (target < 0) throw EStreamError("Invalid stream position");
  position_ = target;
  return position_;
}
