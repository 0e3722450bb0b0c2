#include "imaging/GIFColorMap.h"

#include <array>
#include <utility>

#include "imaging/GIFBlocks.h"
#include "imaging/GIFFrames.h"
#include "imaging/GIFImage.h"

int BitsForColorCount(int count) {
  if (count <= 0) return 0;
  int bits = 1;
  while ((1 << bits) < count) ++bits;
  return bits;
}

void TGIFColorMap::ClearEntries() {
  entries_.clear();
  count_ = 0;
  capacity_ = 0;
  sorted_ = false;
}

void TGIFColorMap::GrowCapacity(int n) {
  if (n < capacity_) return;
  if (n <= 16)
    capacity_ = 16;
  else
    capacity_ = Min(((n + 31) / 32) * 32, 256);
  entries_.resize(static_cast<size_t>(capacity_));
}

void TGIFColorMap::WriteEntries(TStream& stream) const {
  if (count_ == 0) return;
  std::vector<uint8_t> bytes(static_cast<size_t>(3 << IndexBitCount()), 0);
  for (int i = 0; i < count_; ++i) {
    bytes[3 * i] = entries_[i].Red;
    bytes[3 * i + 1] = entries_[i].Green;
    bytes[3 * i + 2] = entries_[i].Blue;
  }
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TGIFColorMap::ReadEntries(TStream& stream, int n) {
  ClearEntries();
  n = Max(0, Min(n, 256));
  GrowCapacity(n);
  std::vector<uint8_t> bytes(static_cast<size_t>(3 * n));
  ReadStreamExact(stream, bytes.data(), static_cast<int64_t>(bytes.size()));
  for (int i = 0; i < n; ++i) entries_[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
  count_ = n;
}

int TGIFColorMap::IndexBitCount() const { return BitsForColorCount(count_); }

int TGIFColorMap::IndexOfColor(TColor color) const {
  const TGIFColor c = ColorToTriple(color);
  if (sorted_) {
    for (int i = 0; i < count_; ++i)
      if (entries_[i] == c) return i;
  } else {
    for (int i = count_ - 1; i >= 0; --i)
      if (entries_[i] == c) return i;
  }
  return -1;
}

int TGIFColorMap::AppendColor(TColor color) {
  if (count_ >= 256) RaiseGIFError("Color table overflow");
  if (count_ >= capacity_) GrowCapacity(count_ + 1);
  entries_[count_] = ColorToTriple(color);
  ++count_;
  sorted_ = false;
  NotifyChanged();
  return count_ - 1;
}

int TGIFColorMap::FindOrAppendColor(TColor color) {
  const int index = IndexOfColor(color);
  return index >= 0 ? index : AppendColor(color);
}

void TGIFColorMap::RemoveColor(int index) {
  if (index < 0 || index >= count_) RaiseGIFError("Invalid color index");
  entries_.erase(entries_.begin() + index);
  entries_.push_back({});
  --count_;
  sorted_ = false;
  NotifyChanged();
}

TColor TGIFColorMap::ColorAt(int index) {
  if (count_ == 0) RaiseGIFError("Color table is empty");
  if (index < 0 || index >= count_) {
    Warning("Invalid color index");
    index = 0;
  }
  return TripleToColor(entries_[index]);
}

void TGIFColorMap::SetEntry(int index, TColor color) {
  if (index < 0 || index >= count_) RaiseGIFError("Invalid color index");
  entries_[index] = ColorToTriple(color);
  NotifyChanged();
}

void TGIFColorMap::CopyFromPalette(const TColorTable& palette) {
  ClearEntries();
  const int n = Min(static_cast<int>(palette.size()), 256);
  if (n == 0) return;
  GrowCapacity(n);
  for (int i = 0; i < n; ++i) entries_[i] = {palette[i].Red, palette[i].Green, palette[i].Blue};
  count_ = n;
  NotifyChanged();
}

void TGIFColorMap::CopyFromRGBQuads(const TRGBQuad* quads, int n) {
  ClearEntries();
  n = Min(n, 256);
  if (n <= 0) return;
  GrowCapacity(n);
  for (int i = 0; i < n; ++i) entries_[i] = {quads[i].Red, quads[i].Green, quads[i].Blue};
  count_ = n;
  NotifyChanged();
}

TColorTable TGIFColorMap::MakePalette() const {
  TColorTable table;
  table.reserve(static_cast<size_t>(count_));
  for (int i = 0; i < count_; ++i)
    table.push_back(TRGBQuad{entries_[i].Blue, entries_[i].Green, entries_[i].Red, 0});
  return table;
}

void TGIFColorMap::Assign(TPersistent* source) {
  if (auto* map = dynamic_cast<TGIFColorMap*>(source)) {
    if (map == this) return;
    ClearEntries();
    capacity_ = map->capacity_;
    count_ = map->count_;
    sorted_ = map->sorted_;
    entries_.assign(static_cast<size_t>(capacity_), TGIFColor{});
    for (int i = 0; i < count_; ++i) entries_[i] = map->entries_[i];
    NotifyChanged();
    return;
  }
  inherited::Assign(source);
}

void TGIFColorMap::Warning(const std::string& message) {
  if (TGIFImage* image = OwnerImage()) image->ReportWarning(this, 1, message);
}

namespace {

struct TUsage {
  int64_t Count;
  int Index;
};

// Quicksort by use count, highest first. The order among equal counts follows from this
// exact partitioning, so the same file always sorts the same way.
void SortUsageDescending(std::vector<TUsage>& pairs, int low, int high) {
  while (true) {
    int i = low;
    int j = high;
    const int64_t pivot = pairs[(low + high) / 2].Count;
    do {
      while (pairs[i].Count > pivot) ++i;
      while (pairs[j].Count < pivot) --j;
      if (i <= j) {
        std::swap(pairs[i], pairs[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (low < j) SortUsageDescending(pairs, low, j);
    low = i;
    if (i >= high) break;
  }
}

}  // namespace

bool TGIFColorMap::SortByUsage() {
  if (count_ <= 1) return false;
  sorted_ = true;
  std::vector<TUsage> pairs(static_cast<size_t>(count_));
  for (int i = 0; i < count_; ++i) pairs[i] = {0, i};
  const std::vector<TGIFSubImage*> frames = CoveredFrames();
  for (TGIFSubImage* frame : frames) {
    const uint8_t* p = frame->Pixels();
    if (p == nullptr) continue;
    const int64_t n = frame->PixelCount();
    // Indexes beyond the map are counted nowhere: they stay as they are.
    for (int64_t k = 0; k < n; ++k)
      if (p[k] < count_) ++pairs[p[k]].Count;
  }
  // A transparent colour stays in the map even where no pixel uses it: the frame's
  // transparent index must keep pointing into the map.
  for (TGIFSubImage* frame : frames) {
    const int t = frame->TransparentIndex();
    if (t >= 0 && t < count_ && pairs[t].Count == 0) pairs[t].Count = 1;
  }
  SortUsageDescending(pairs, 0, count_ - 1);
  bool inOrder = true;
  for (int i = 0; i < count_; ++i)
    if (pairs[i].Index != i) inOrder = false;
  if (inOrder) return true;

  std::array<uint8_t, 256> newIndex{};
  for (int i = 0; i < 256; ++i) newIndex[i] = static_cast<uint8_t>(i);
  for (int pos = 0; pos < count_; ++pos) newIndex[pairs[pos].Index] = static_cast<uint8_t>(pos);
  for (TGIFSubImage* frame : frames) {
    uint8_t* p = frame->Pixels();
    const int64_t n = frame->PixelCount();
    for (int64_t k = 0; k < n; ++k)
      if (p[k] < count_) p[k] = newIndex[p[k]];
    if (frame->Transparent() && frame->GraphicControlExtension() != nullptr) {
      TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
      if (gce->TransparentIndex() < count_)
        gce->SetTransparentIndex(newIndex[gce->TransparentIndex()]);
    }
    frame->ReleaseBitmap();
  }
  std::vector<TGIFColor> moved(entries_.size());
  for (int pos = 0; pos < count_; ++pos) moved[pos] = entries_[pairs[pos].Index];
  entries_ = std::move(moved);
  for (int pos = 0; pos < count_; ++pos)
    if (pairs[pos].Count == 0) {
      count_ = pos;
      break;
    }
  NotifyChanged();
  return true;
}

// ---- global map ------------------------------------------------------------------------------
bool TGIFGlobalColorMap::OptimizeOrder() {
  if (image_ == nullptr || image_->FrameCount() == 0) return false;
  return SortByUsage();
}

std::vector<TGIFSubImage*> TGIFGlobalColorMap::CoveredFrames() const {
  std::vector<TGIFSubImage*> frames;
  if (image_ == nullptr) return frames;
  for (int i = 0; i < image_->FrameCount(); ++i) {
    TGIFSubImage* frame = image_->Frame(i);
    if (frame->EffectiveColorMap() == this) frames.push_back(frame);
  }
  return frames;
}

void TGIFGlobalColorMap::NotifyChanged() {
  if (image_ == nullptr) return;
  image_->SetPalette({});
  // Pictures already made from the old colours go: the buffer of true colours has no
  // palette to differ from the new one, and frames keep their rendering until told.
  image_->ReleaseBitmap();
  for (TGIFSubImage* frame : CoveredFrames()) frame->ReleaseBitmap();
}

// ---- local map -------------------------------------------------------------------------------
TGIFImage* TGIFLocalColorMap::OwnerImage() const {
  return frame_ != nullptr ? frame_->Image() : nullptr;
}

std::vector<TGIFSubImage*> TGIFLocalColorMap::CoveredFrames() const {
  if (frame_ == nullptr) return {};
  return {frame_};
}

void TGIFLocalColorMap::NotifyChanged() {
  if (frame_ != nullptr) frame_->ReplacePalette({});
}
