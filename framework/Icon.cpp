#include "framework/Icon.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;


uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

void InvalidIcon() { throw EInvalidGraphic("Icon image is not valid"); }

size_t PreferredIconEntry(const std::vector<TIconEntry>& entries) {
  const int want = SystemIconSize();
  size_t best = 0;
  for (size_t i = 1; i < entries.size(); ++i) {
    const int d = std::abs(entries[i].Width - want);
    const int bestD = std::abs(entries[best].Width - want);
    if (d < bestD || (d == bestD && entries[i].BitCount > entries[best].BitCount)) best = i;
  }
  return best;
}

std::vector<TIconEntry> ReadIconDirectory(const std::vector<uint8_t>& file) {
  if (file.size() < kDirectorySize) InvalidIcon();
  const uint8_t* p = file.data();
  if (Read16(p) != 0 || Read16(p + 2) != 1) InvalidIcon();
  const size_t count = Read16(p + 4);
  if (count == 0 || kDirectorySize + count * kEntrySize > file.size()) InvalidIcon();
  std::vector<TIconEntry> entries;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = p + kDirectorySize + i * kEntrySize;
    TIconEntry entry;
    entry.Width = e[0] ? e[0] : 256;
    entry.Height = e[1] ? e[1] : 256;
    entry.BitCount = Read16(e + 6);
    entry.Size = Read32(e + 8);
    entry.Offset = Read32(e + 12);
    // Offsets and sizes come from the file: checked in 64 bits before any use.
    if (entry.Size == 0 || uint64_t{entry.Offset} + entry.Size > file.size()) InvalidIcon();
    // Writers often leave the depth 0: the image's own header tells it.
    if (entry.BitCount == 0 && entry.Size >= 16) {
      const uint8_t* image = p + entry.Offset;
      entry.BitCount = Read32(image) == 40 ? Read16(image + 14) : 32;
    }
    entries.push_back(entry);
  }
  return entries;
}

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

void TIcon::Clear() {
  data_.clear();
  entries_.clear();
  width_ = height_ = 0;
  handle_.Reset();
}

bool TIcon::Empty() const {
  if (handle_) return false;
  return entries_.empty();
}

int TIcon::Width() const { return width_; }
int TIcon::Height() const { return height_; }

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::LoadFromStream(TStream& stream) {
  const int64_t size = stream.Size() - stream.Position();
  std::vector<uint8_t> data(static_cast<size_t>(size > 0 ? size : 0));
  if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  std::vector<TIconEntry> entries = ReadIconDirectory(data);
  Clear();
  data_ = std::move(data);
  entries_ = std::move(entries);
  const TIconEntry& chosen = entries_[PreferredIconEntry(entries_)];
  width_ = chosen.Width;
  height_ = chosen.Height;
  Changed(this);
}

void TIcon::Assign(TPersistent* source) {
  if (auto* icon = dynamic_cast<TIcon*>(source)) {
    if (icon == this) return;
    Clear();
    data_ = icon->data_;
    entries_ = icon->entries_;
    width_ = icon->width_;
    height_ = icon->height_;
    if (data_.empty()) handle_.CopyFrom(icon->handle_);
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}
