#include "editor/KedEditTextBuffer.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <limits>
#include <new>
#include <string>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#endif

#include "editor/KedEditFileBytes.h"
#include "editor/KedEditParallel.h"
#include "framework/Streams.h"

namespace {

constexpr uint32_t kLengthMask = 0x0FFFFFFFu;     // cached expanded length
constexpr uint32_t kLengthTooLong = kLengthMask;  // not cached: recomputed on demand
constexpr uint32_t kLineHasTabs = 1u << 28;
constexpr uint32_t kLineHasNoTabs = 1u << 29;
constexpr uint32_t kExpandedLengthUnknown = 1u << 30;
constexpr uint32_t kOwned = 1u << 31;
constexpr uint32_t kNewLineMeta = kExpandedLengthUnknown;

std::string InvalidIndex(int index) { return "Invalid stringlist index " + std::to_string(index); }

// Tabs advance to the next multiple of the tab width.
std::string ExpandTabs(std::string_view text, int tabWidth, bool& hasTabs) {
  hasTabs = text.find('\t') != std::string_view::npos;
  if (!hasTabs) return std::string(text);
  const size_t width = tabWidth < 1 ? 1 : static_cast<size_t>(tabWidth);
  std::string out;
  out.reserve(text.size() + width * 2);
  for (char c : text) {
    if (c == '\t') {
      out.append(width - out.size() % width, ' ');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// The length ExpandTabs gives, without building the text: measuring every line of a
// dump must not allocate a copy of each.
uint64_t ExpandedLength(std::string_view text, int tabWidth) {
  const uint64_t width = tabWidth < 1 ? 1 : static_cast<uint64_t>(tabWidth);
  uint64_t length = 0;
  for (char c : text) length = c == '\t' ? length + width - length % width : length + 1;
  return length;
}

// Line breaks are found 16 bytes at a time where the processor allows: loading a
// gigabyte dump is bound by this scan and the read.
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define KED_SCAN_SSE2 1
#define KED_SCAN_TARGET __attribute__((target("sse2")))
#else
#define KED_SCAN_TARGET
#endif

// Line breaks in [begin, end): CR LF, a lone CR and a lone LF count one each.
KED_SCAN_TARGET size_t CountLineBreaks(const char* begin, const char* end) {
  size_t breaks = 0;
  size_t pairs = 0;
  bool previousCR = false;
  const char* p = begin;
#ifdef KED_SCAN_SSE2
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned crMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
    const unsigned lfMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
    if ((crMask | lfMask) != 0) {
      breaks += static_cast<size_t>(__builtin_popcount(crMask) + __builtin_popcount(lfMask));
      // An LF right after a CR, inside the block or across its start.
      pairs += static_cast<size_t>(
          __builtin_popcount(lfMask & ((crMask << 1) | (previousCR ? 1u : 0u))));
    }
    previousCR = (crMask & 0x8000u) != 0;
    p += 16;
  }
#endif
  for (; p < end; ++p) {
    if (*p == '\n') {
      ++breaks;
      if (previousCR) ++pairs;
    } else if (*p == '\r') {
      ++breaks;
    }
    previousCR = *p == '\r';
  }
  return breaks - pairs;
}

#ifdef KED_SCAN_SSE2
// Bit n of each mask tells whether byte n of the 32 at p is a CR (an LF).
KED_SCAN_TARGET inline void BreakMasks(const char* p, uint32_t& crMask, uint32_t& lfMask) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
  crMask = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(lo, cr))) |
           static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(hi, cr))) << 16;
  lfMask = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(lo, lf))) |
           static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(hi, lf))) << 16;
}
#endif

// How many lines the text has, counted exactly in a small text and estimated from samples
// spread over a large one, so the record array is allocated once in nearly every case.
size_t EstimateLineCount(const char* text, size_t size) {
  constexpr size_t kWindow = size_t{64} << 10;
  constexpr size_t kWindows = 16;
  if (size <= kWindow * kWindows) return size > 0 ? CountLineBreaks(text, text + size) + 1 : 0;
  const size_t stride = size / kWindows;
  size_t breaks = 0;
  for (size_t w = 0; w < kWindows; ++w)
    breaks += CountLineBreaks(text + w * stride, text + w * stride + kWindow);
  // A little more than the samples say, so a text of even lines needs no second allocation.
  const double perByte = static_cast<double>(breaks) / static_cast<double>(kWindow * kWindows);
  return static_cast<size_t>(perByte * static_cast<double>(size) * 1.02) + 1024;
}

// A read-only file is not replaced: moving a new file over it would bypass the flag.
void RefuseReadOnlyTarget(const std::string& fileName) {
  std::error_code statusError;
  const auto status = std::filesystem::status(fileName, statusError);
  if (!statusError && std::filesystem::is_regular_file(status) &&
      (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
    throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

// Removes a file if it is there; a file that cannot go is left for the user.
void RemoveQuietly(const std::string& fileName) {
  std::error_code ignored;
  std::filesystem::remove(fileName, ignored);
}

}  // namespace

// Opens an update bracket that closes on every path out of the operation.
class TKedEditStringList::UpdateGuard {
 public:
  explicit UpdateGuard(TKedEditStringList& list) : list_(list) { list_.BeginUpdate(); }
  ~UpdateGuard() {
    try {
      list_.EndUpdate();
    } catch (...) {
      // A handler failing while the list unwinds must not end the program.
    }
  }
  UpdateGuard(const UpdateGuard&) = delete;
  UpdateGuard& operator=(const UpdateGuard&) = delete;

 private:
  TKedEditStringList& list_;
};

TKedEditStringList::TKedEditStringList() = default;

TKedEditStringList::~TKedEditStringList() {
  // The owner is going away too; it must hear nothing while the lines are released.
  OnLinesChanged = nullptr;
  OnLinesChanging = nullptr;
}

void TKedEditStringList::CheckIndex(int index, int last) const {
  if (index < 0 || index > last) throw EKedEditStringList(InvalidIndex(index));
}

std::string_view TKedEditStringList::View(const LineRec& rec) const {
  if (rec.Meta & kOwned) return owned_[rec.Offset];
  // Empty lines inserted before any text was loaded have no bytes to point into.
  if (rec.Length == 0) return {};
  return std::string_view(bytes_->Data() + rec.Offset, rec.Length);
}

TKedEditStringList::LineRec TKedEditStringList::MakeOwned(std::string_view text, int32_t range,
                                                          uint32_t meta) {
  uint32_t slot;
  if (!freeSlots_.empty()) {
    slot = freeSlots_.back();
    owned_[slot].assign(text);
    freeSlots_.pop_back();
  } else {
    slot = static_cast<uint32_t>(owned_.size());
    owned_.emplace_back(text);
  }
  return LineRec{slot, static_cast<uint32_t>(text.size()), range, meta | kOwned};
}

void TKedEditStringList::Release(LineRec& rec) {
  if (rec.Meta & kOwned) {
    std::string().swap(owned_[rec.Offset]);
    freeSlots_.push_back(rec.Offset);
    rec.Meta &= ~kOwned;
  }
}

std::string TKedEditStringList::Get(int index) const { return std::string(LineView(index)); }

std::string_view TKedEditStringList::LineView(int index) const {
  if (index < 0 || index >= GetCount()) return {};
  return View(lines_[index]);
}

TObject* TKedEditStringList::GetObjectAt(int index) const {
  if (index < 0 || index >= GetCount() || !HasObjects()) return nullptr;
  return objects_[index];
}

std::string TKedEditStringList::GetTextStr() const {
  if (lines_.empty()) return {};
  size_t size = (lines_.size() - 1) * 2;
  for (const LineRec& rec : lines_) size += rec.Length;
  std::string text;
  text.reserve(size);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text.append("\r\n");
    text.append(View(lines_[i]));
  }
  return text;
}

void TKedEditStringList::SetUpdateState(bool updating) {
  if (updating) {
    if (OnLinesChanging) OnLinesChanging(this);
  } else if (OnLinesChanged) {
    OnLinesChanged(this);
  }
}

void TKedEditStringList::InsertLine(int index, const std::string& s) {
  if (lines_.size() == lines_.capacity()) {
    // Small lists grow by 16 records, larger ones by a quarter.
    const size_t cap = lines_.capacity();
    lines_.reserve(cap <= 64 ? cap + 16 : cap + cap / 4);
  }
  LineRec rec = MakeOwned(s, -1, kNewLineMeta);
  lines_.insert(lines_.begin() + index, rec);
  if (HasObjects()) objects_.insert(objects_.begin() + index, nullptr);
  InvalidateLongest();
}

int TKedEditStringList::Add(const std::string& s) {
  const int index = GetCount();
  UpdateGuard update(*this);
  InsertLine(index, s);
  if (OnLinesInserted) OnLinesInserted(this, index, 1);
  return index;
}

void TKedEditStringList::Insert(int index, const std::string& s) {
  CheckIndex(index, GetCount());
  UpdateGuard update(*this);
  InsertLine(index, s);
  if (OnLinesInserted) OnLinesInserted(this, index, 1);
}

void TKedEditStringList::Put(int index, const std::string& s) {
  if (index == GetCount()) {
    Add(s);
    return;
  }
  CheckIndex(index, GetCount() - 1);
  UpdateGuard update(*this);
  InvalidateLongest();
  LineRec& rec = lines_[index];
  const uint32_t meta = kExpandedLengthUnknown;
  if (rec.Meta & kOwned) {
    // Already a copy of its own: replace in place.
    owned_[rec.Offset].assign(s);
    rec.Length = static_cast<uint32_t>(s.size());
    rec.Meta = meta | kOwned;
  } else {
    rec = MakeOwned(s, rec.Range, meta);
  }
  if (OnLineReplaced) OnLineReplaced(this, index, 1);
}

void TKedEditStringList::PutObject(int index, TObject* object) {
  CheckIndex(index, GetCount() - 1);
  UpdateGuard update(*this);
  if (!HasObjects()) {
    if (!object) return;
    objects_.assign(lines_.size(), nullptr);
  }
  objects_[index] = object;
}

void TKedEditStringList::Delete(int index) {
  CheckIndex(index, GetCount() - 1);
  UpdateGuard update(*this);
  Release(lines_[index]);
  lines_.erase(lines_.begin() + index);
  if (HasObjects()) objects_.erase(objects_.begin() + index);
  InvalidateLongest();
  if (OnLinesDeleted) OnLinesDeleted(this, index, 1);
}

void TKedEditStringList::Exchange(int index1, int index2) {
  CheckIndex(index1, GetCount() - 1);
  CheckIndex(index2, GetCount() - 1);
  UpdateGuard update(*this);
  std::swap(lines_[index1], lines_[index2]);
  if (HasObjects()) std::swap(objects_[index1], objects_[index2]);
  if (longestIndex_ == index1) {
    longestIndex_ = index2;
  } else if (longestIndex_ == index2) {
    longestIndex_ = index1;
  }
}

void TKedEditStringList::Clear() {
  if (!lines_.empty()) {
    UpdateGuard update(*this);
    std::vector<LineRec>().swap(lines_);
    std::vector<std::string>().swap(owned_);
    std::vector<uint32_t>().swap(freeSlots_);
    std::vector<TObject*>().swap(objects_);
    bytes_.reset();
    if (OnListCleared) OnListCleared(this);
  }
  InvalidateLongest();
}

void TKedEditStringList::AddStrings(TStrings* strings) {
  const int n = strings ? strings->Count() : 0;
  if (n == 0) return;
  InvalidateLongest();
  UpdateGuard update(*this);
  const size_t first = lines_.size();
  const size_t needed = first + n;
  if (needed > lines_.capacity()) lines_.reserve((needed + 15) / 16 * 16);
  bool anyObject = false;
  for (int i = 0; i < n; ++i) {
    lines_.push_back(MakeOwned(strings->Get(i), -1, kNewLineMeta));
    anyObject = anyObject || strings->Objects(i) != nullptr;
  }
  if (anyObject && !HasObjects()) objects_.assign(first, nullptr);
  if (HasObjects()) {
    for (int i = 0; i < n; ++i) objects_.push_back(strings->Objects(i));
  }
  if (OnLinesInserted) OnLinesInserted(this, static_cast<int>(first), n);
}

void TKedEditStringList::SetCapacity(int newCapacity) {
  if (newCapacity < GetCount())
    throw EListError("Stringlist capacity cannot be smaller than count");
  if (static_cast<size_t>(newCapacity) > lines_.capacity()) {
    lines_.reserve(newCapacity);
  } else {
    std::vector<LineRec> shrunk;
    shrunk.reserve(newCapacity);
    shrunk.assign(lines_.begin(), lines_.end());
    lines_.swap(shrunk);
  }
}

void TKedEditStringList::InsertEmptyLines(int index, int count) {
  CheckIndex(index, GetCount());
  if (count <= 0) return;
  UpdateGuard update(*this);
  lines_.reserve(lines_.size() + count);
  lines_.insert(lines_.begin() + index, count, LineRec{0, 0, 0, kLineHasNoTabs});
  if (HasObjects()) objects_.insert(objects_.begin() + index, count, nullptr);
  InvalidateLongest();
  if (OnLinesInserted) OnLinesInserted(this, index, count);
}

void TKedEditStringList::DeleteLineRange(int index, int count) {
  if (count <= 0) return;
  CheckIndex(index, GetCount());
  count = std::min(count, GetCount() - index);
  if (count <= 0) return;
  UpdateGuard update(*this);
  for (int i = index; i < index + count; ++i) Release(lines_[i]);
  lines_.erase(lines_.begin() + index, lines_.begin() + index + count);
  if (HasObjects()) objects_.erase(objects_.begin() + index, objects_.begin() + index + count);
  InvalidateLongest();
  if (OnLinesDeleted) OnLinesDeleted(this, index, count);
}

int TKedEditStringList::DeleteLinesIf(
    const std::function<bool(int index, std::string_view line)>& remove) {
  struct Run {
    int First;
    int Count;
  };
  std::vector<Run> runs;
  const int count = GetCount();
  UpdateGuard update(*this);
  int kept = 0;
  std::exception_ptr failure;
  for (int i = 0; i < count; ++i) {
    LineRec& rec = lines_[i];
    bool drop = false;
    if (!failure) {
      // A failing test keeps the remaining lines, so the list stays whole.
      try {
        drop = remove(i, View(rec));
      } catch (...) {
        failure = std::current_exception();
      }
    }
    if (drop) {
      Release(rec);
      if (!runs.empty() && runs.back().First + runs.back().Count == i) {
        ++runs.back().Count;
      } else {
        runs.push_back({i, 1});
      }
      continue;
    }
    if (kept != i) {
      lines_[kept] = rec;
      if (HasObjects()) objects_[kept] = objects_[i];
    }
    ++kept;
  }
  if (runs.empty()) {
    if (failure) std::rethrow_exception(failure);
    return 0;
  }
  lines_.resize(kept);
  if (HasObjects()) objects_.resize(kept);
  InvalidateLongest();
  // From the last run to the first, so every reported index is still valid for
  // a listener that mirrors the deletions one run at a time.
  if (OnLinesDeleted) {
    for (auto it = runs.rbegin(); it != runs.rend(); ++it)
      OnLinesDeleted(this, it->First, it->Count);
  }
  if (failure) std::rethrow_exception(failure);
  return count - kept;
}

std::shared_ptr<TKedEditLineRun> TKedEditStringList::TakeLines(int index, int count) {
  auto run = std::make_shared<TKedEditLineRun>();
  CheckIndex(index, GetCount());
  count = std::max(0, std::min(count, GetCount() - index));
  run->bytes_ = bytes_;
  run->lines_.reserve(static_cast<size_t>(count));
  PrepareForFilling(run->lines_.data(), static_cast<size_t>(count) * sizeof(LineRec));
  run->lines_.assign(lines_.begin() + index, lines_.begin() + index + count);
  for (LineRec& rec : run->lines_) {
    if (!(rec.Meta & kOwned)) continue;
    // The edited line's text moves to the run; its slot here is free again.
    const uint32_t slot = rec.Offset;
    rec.Offset = static_cast<uint32_t>(run->owned_.size());
    run->owned_.push_back(std::move(owned_[slot]));
    owned_[slot] = std::string();
    freeSlots_.push_back(slot);
  }
  if (HasObjects())
    run->objects_.assign(objects_.begin() + index, objects_.begin() + index + count);
  if (count > 0) {
    UpdateGuard update(*this);
    lines_.erase(lines_.begin() + index, lines_.begin() + index + count);
    if (HasObjects()) objects_.erase(objects_.begin() + index, objects_.begin() + index + count);
    InvalidateLongest();
    if (OnLinesDeleted) OnLinesDeleted(this, index, count);
  }
  runs_.erase(std::remove_if(runs_.begin(), runs_.end(), [](const auto& r) { return r.expired(); }),
              runs_.end());
  if (run->bytes_) runs_.push_back(run);
  return run;
}

void TKedEditStringList::PutBackLines(int index, const TKedEditLineRun& run) {
  CheckIndex(index, GetCount());
  const int count = run.Count();
  if (count == 0) return;
  UpdateGuard update(*this);
  const bool sameBytes = run.bytes_ == bytes_;
  lines_.insert(lines_.begin() + index, run.lines_.begin(), run.lines_.end());
  for (int i = index; i < index + count; ++i) {
    LineRec& rec = lines_[static_cast<size_t>(i)];
    // Display lengths are measured again: the tab width may have changed meanwhile.
    rec.Meta = (rec.Meta & kOwned) | kExpandedLengthUnknown;
    if (rec.Meta & kOwned) {
      rec = MakeOwned(run.owned_[rec.Offset], rec.Range, rec.Meta & ~kOwned);
    } else if (!sameBytes && rec.Length > 0) {
      rec = MakeOwned(std::string_view(run.bytes_->Data() + rec.Offset, rec.Length), rec.Range,
                      rec.Meta);
    }
  }
  if (HasObjects() || !run.objects_.empty()) {
    if (!HasObjects()) objects_.assign(lines_.size() - static_cast<size_t>(count), nullptr);
    if (run.objects_.empty()) {
      objects_.insert(objects_.begin() + index, static_cast<size_t>(count), nullptr);
    } else {
      objects_.insert(objects_.begin() + index, run.objects_.begin(), run.objects_.end());
    }
  }
  InvalidateLongest();
  if (OnLinesInserted) OnLinesInserted(this, index, count);
}

// A save over the mapped file moves the lines onto the new file and lets the old one go; a
// run still pointing into the old mapping would hold that file open, so it takes a copy of
// the stretch of text its lines span.
void TKedEditStringList::DetachRunsFrom(const TKedEditTextBytes* old) {
  for (const std::weak_ptr<TKedEditLineRun>& weak : runs_) {
    const std::shared_ptr<TKedEditLineRun> run = weak.lock();
    if (!run || run->bytes_.get() != old) continue;
    uint64_t first = UINT64_MAX;
    uint64_t end = 0;
    for (const LineRec& rec : run->lines_) {
      if ((rec.Meta & kOwned) || rec.Length == 0) continue;
      first = std::min<uint64_t>(first, rec.Offset);
      end = std::max<uint64_t>(end, uint64_t{rec.Offset} + rec.Length);
    }
    if (end == 0) {
      run->bytes_.reset();
      continue;
    }
    std::unique_ptr<char[]> copy(new char[end - first]);
    std::memcpy(copy.get(), old->Data() + first, end - first);
    for (LineRec& rec : run->lines_) {
      if (!(rec.Meta & kOwned) && rec.Length > 0) rec.Offset -= static_cast<uint32_t>(first);
    }
    run->bytes_ = std::make_shared<TKedEditHeapBytes>(std::move(copy), end - first);
  }
  runs_.clear();
}

void TKedEditStringList::SwapContents(TKedEditStringList& other) {
  UpdateGuard update(*this);
  const bool hadLines = !lines_.empty();
  std::swap(bytes_, other.bytes_);
  runs_.swap(other.runs_);
  lines_.swap(other.lines_);
  owned_.swap(other.owned_);
  freeSlots_.swap(other.freeSlots_);
  objects_.swap(other.objects_);
  std::swap(lineBreakStyle_, other.lineBreakStyle_);
  longestIndex_ = -1;
  other.longestIndex_ = -1;
  if (tabWidth_ != other.tabWidth_) {
    // Cached display lengths were computed for the other list's tab width.
    for (LineRec& rec : lines_) rec.Meta = (rec.Meta & kOwned) | kExpandedLengthUnknown;
    for (LineRec& rec : other.lines_) rec.Meta = (rec.Meta & kOwned) | kExpandedLengthUnknown;
  }
  if (hadLines && OnListCleared) OnListCleared(this);
  if (!lines_.empty() && OnLinesInserted) OnLinesInserted(this, 0, GetCount());
}

int TKedEditStringList::GetLineRange(int index) const {
  if (index < 0 || index >= GetCount()) return 0;
  return lines_[index].Range;
}

void TKedEditStringList::SetLineRange(int index, int range) {
  CheckIndex(index, GetCount() - 1);
  UpdateGuard update(*this);
  lines_[index].Range = range;
}

void TKedEditStringList::StoreLineRange(int index, int range) {
  if (index >= 0 && index < GetCount()) lines_[index].Range = range;
}

void TKedEditStringList::ExpandLine(int index) {
  LineRec& rec = lines_[index];
  const uint32_t owned = rec.Meta & kOwned;
  if (rec.Length == 0) {
    rec.Meta = owned | kLineHasNoTabs;
    return;
  }
  const std::string_view text = View(rec);
  const bool hasTabs = text.find('\t') != std::string_view::npos;
  const uint64_t expanded = hasTabs ? ExpandedLength(text, tabWidth_) : text.size();
  const uint32_t length =
      expanded >= kLengthTooLong ? kLengthTooLong : static_cast<uint32_t>(expanded);
  rec.Meta = owned | length | (hasTabs ? kLineHasTabs : kLineHasNoTabs);
}

bool TKedEditStringList::LineHasTabs(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (lines_[index].Meta & kExpandedLengthUnknown) ExpandLine(index);
  return (lines_[index].Meta & kLineHasTabs) != 0;
}

std::string TKedEditStringList::GetExpandedLine(int index) {
  if (index < 0 || index >= GetCount()) return {};
  const LineRec& rec = lines_[index];
  if ((rec.Meta & kLineHasNoTabs) && !(rec.Meta & kExpandedLengthUnknown))
    return std::string(View(rec));
  bool hasTabs = false;
  std::string expanded = ExpandTabs(View(rec), tabWidth_, hasTabs);
  if (rec.Meta & kExpandedLengthUnknown) ExpandLine(index);
  return expanded;
}

int TKedEditStringList::GetExpandedLength(int index) {
  if (index < 0 || index >= GetCount()) return 0;
  if (lines_[index].Meta & kExpandedLengthUnknown) ExpandLine(index);
  const uint32_t length = lines_[index].Meta & kLengthMask;
  if (length != kLengthTooLong) return static_cast<int>(length);
  const uint64_t full = ExpandedLength(View(lines_[index]), tabWidth_);
  return full > static_cast<uint64_t>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(full);
}

int TKedEditStringList::GetLongestLineLength() {
  if (longestIndex_ == -1) {
    int longest = 0;
    for (int i = 0; i < GetCount(); ++i) {
      const int length = GetExpandedLength(i);
      if (length > longest) {
        longest = length;
        longestIndex_ = i;
      }
    }
  }
  if (longestIndex_ < 0 || longestIndex_ >= GetCount()) return 0;
  return GetExpandedLength(longestIndex_);
}

void TKedEditStringList::SetTabWidth(int value) {
  if (value == tabWidth_) return;
  tabWidth_ = value;
  InvalidateLongest();
  for (LineRec& rec : lines_)
    rec.Meta = (rec.Meta & (kOwned | kLineHasTabs)) | kExpandedLengthUnknown;
}

void TKedEditStringList::RefuseTooLarge(const std::string& name, uint64_t size) const {
  throw EReadError("File too large to open: \"" + name + "\" has " + std::to_string(size) +
                   " bytes, this program can hold at most " + std::to_string(maxFileSize_));
}

void TKedEditStringList::LoadFromFile(const std::string& fileName) {
  // Refused by the size of what was opened, before anything is read: a text that fills the
  // address space would leave the editor none to run in.
  uint64_t size = 0;
  try {
    if (std::unique_ptr<TKedEditTextBytes> bytes = LoadFileBytes(fileName, maxFileSize_, size)) {
      LoadFromBytes(std::move(bytes));
      return;
    }
    if (size > maxFileSize_) RefuseTooLarge(fileName, size);
    TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    const int64_t streamSize = stream.Size();
    size = streamSize > 0 ? static_cast<uint64_t>(streamSize) : 0;
    LoadWholeStream(&stream, streamSize, fileName);
  } catch (const std::bad_alloc&) {
    throw EReadError("Not enough memory to open \"" + fileName + "\" (" + std::to_string(size) +
                     " bytes)");
  }
}

void TKedEditStringList::LoadFromStream(TStream* stream) {
  LoadWholeStream(stream, stream->Size(), "stream");
}

void TKedEditStringList::LoadWholeStream(TStream* stream, int64_t size, const std::string& name) {
  // Line records hold 32-bit offsets; no 32-bit process can hold more anyway.
  if (size < 0 || static_cast<uint64_t>(size) > 0xFFFFFFFFull ||
      static_cast<uint64_t>(size) > static_cast<uint64_t>(std::numeric_limits<size_t>::max()))
    throw EReadError("File too large");
  if (static_cast<uint64_t>(size) > maxFileSize_) RefuseTooLarge(name, static_cast<uint64_t>(size));
  stream->SetPosition(0);
  std::unique_ptr<char[]> data(new char[size > 0 ? static_cast<size_t>(size) : 1]);
  // One read of the whole text, in pieces only because a read takes a 32-bit count.
  int64_t done = 0;
  while (done < size) {
    const int64_t chunk = std::min<int64_t>(size - done, int64_t{1} << 30);
    stream->ReadBuffer(data.get() + done, chunk);
    done += chunk;
  }
  LoadFromBuffer(std::move(data), static_cast<size_t>(size));
}

void TKedEditStringList::LoadFromString(std::string_view data) {
  std::unique_ptr<char[]> copy(new char[data.empty() ? 1 : data.size()]);
  if (!data.empty()) std::memcpy(copy.get(), data.data(), data.size());
  LoadFromBuffer(std::move(copy), data.size());
}

void TKedEditStringList::LoadFromBuffer(std::unique_ptr<char[]> data, size_t size) {
  LoadFromBytes(std::make_unique<TKedEditHeapBytes>(std::move(data), size));
}

bool TKedEditStringList::IsFileMapped() const { return bytes_ && bytes_->IsFileMapping(); }

namespace {

struct TBreaksSeen {
  bool CR = false;
  bool LF = false;
};

// Calls endLine(start, end) for every line that a break ends in text[from, to), the first
// starting at lineStart; returns where the line after the last break starts. Line breaks are
// found 32 bytes at a time and the line ends of a block are taken from its masks bit by bit,
// so the text is read exactly once. CR LF, a lone CR and a lone LF end a line each; `from`
// must not fall between the CR and the LF of a pair.
template <class EndLine>
KED_SCAN_TARGET uint32_t ScanLineBreaks(const char* text, size_t from, size_t to,
                                        uint32_t lineStart, TBreaksSeen& seen, EndLine&& endLine) {
  uint32_t crSeen = 0;
  uint32_t lfSeen = 0;
  uint32_t carryCR = 0;  // the previous block ended with a CR
  size_t i = from;
#ifdef KED_SCAN_SSE2
  for (; i + 32 <= to; i += 32) {
    uint32_t crMask;
    uint32_t lfMask;
    BreakMasks(text + i, crMask, lfMask);
    crSeen |= crMask;
    lfSeen |= lfMask;
    if ((crMask | lfMask) == 0) {
      // A lone LF further on pairs with no CR before this block.
      carryCR = 0;
      continue;
    }
    // The LF of a CR LF ends no line; it only moves the next line's start past itself.
    const uint32_t pairedLF = lfMask & ((crMask << 1) | carryCR);
    if (pairedLF & 1u) lineStart = static_cast<uint32_t>(i + 1);
    const uint32_t crBeforeLF = pairedLF >> 1;
    for (uint32_t ends = (crMask | lfMask) & ~pairedLF; ends != 0; ends &= ends - 1) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(ends));
      endLine(lineStart, static_cast<uint32_t>(i + bit));
      lineStart = static_cast<uint32_t>(i + bit + 1 + ((crBeforeLF >> bit) & 1u));
    }
    carryCR = crMask >> 31;
  }
#endif
  for (; i < to; ++i) {
    const char c = text[i];
    if (c == '\r') {
      crSeen = 1;
      endLine(lineStart, static_cast<uint32_t>(i));
    } else if (c == '\n') {
      lfSeen = 1;
      const bool paired = i > from && text[i - 1] == '\r';
      if (!paired) endLine(lineStart, static_cast<uint32_t>(i));
    } else {
      continue;
    }
    lineStart = static_cast<uint32_t>(i + 1);
  }
  seen.CR = seen.CR || crSeen != 0;
  seen.LF = seen.LF || lfSeen != 0;
  return lineStart;
}

}  // namespace

TKedEditStringList::TLineBreaksSeen TKedEditStringList::IndexLines(const char* text, size_t size,
                                                                   std::vector<LineRec>& lines) {
  TBreaksSeen seen;
  const uint32_t lastStart =
      ScanLineBreaks(text, 0, size, 0, seen, [&lines](uint32_t start, uint32_t end) {
        if (lines.size() == lines.capacity()) lines.reserve(lines.size() + lines.size() / 4 + 1024);
        lines.push_back(LineRec{start, end - start, -1, kNewLineMeta});
      });
  // The text after the last break (or the empty line a final break leaves) is one more.
  if (size > 0)
    lines.push_back(LineRec{lastStart, static_cast<uint32_t>(size) - lastStart, -1, kNewLineMeta});
  return {seen.CR, seen.LF};
}

// Two passes over the parts, each on its own core: the first counts the lines a part ends,
// so the records are allocated once at their exact number and every part knows where its
// own begin; the second writes them. A part's first line starts after the last break of the
// parts before it.
TKedEditStringList::TLineBreaksSeen TKedEditStringList::IndexLinesInParallel(
    const char* text, size_t size, int parts, std::vector<LineRec>& lines) {
  std::vector<size_t> bounds(static_cast<size_t>(parts) + 1, size);
  bounds[0] = 0;
  for (int p = 1; p < parts; ++p) {
    size_t at = size / static_cast<size_t>(parts) * static_cast<size_t>(p);
    // A CR LF belongs to one part.
    if (text[at - 1] == '\r' && text[at] == '\n') ++at;
    bounds[static_cast<size_t>(p)] = at;
  }
  struct TPart {
    size_t Lines = 0;      // lines the part's breaks end
    size_t NextStart = 0;  // after the part's last break; 0 when it has none
    TBreaksSeen Seen;
  };
  std::vector<TPart> counted(static_cast<size_t>(parts));
  KedRunInParallel(parts, [&](int p) {
    TPart& part = counted[static_cast<size_t>(p)];
    const size_t from = bounds[static_cast<size_t>(p)];
    const size_t to = bounds[static_cast<size_t>(p) + 1];
    part.Lines = CountLineBreaks(text + from, text + to);
    for (size_t i = to; i > from; --i) {
      if (text[i - 1] == '\r' || text[i - 1] == '\n') {
        part.NextStart = i + (text[i - 1] == '\r' && i < to && text[i] == '\n' ? 1 : 0);
        break;
      }
    }
  });
  size_t total = 1;
  for (const TPart& part : counted) total += part.Lines;
  lines.reserve(total);
  PrepareForFilling(lines.data(), total * sizeof(LineRec));
  lines.resize(total);
  KedRunInParallel(parts, [&](int p) {
    size_t first = 0;
    uint32_t lineStart = 0;
    for (int q = 0; q < p; ++q) {
      first += counted[static_cast<size_t>(q)].Lines;
      if (counted[static_cast<size_t>(q)].Lines > 0)
        lineStart = static_cast<uint32_t>(counted[static_cast<size_t>(q)].NextStart);
    }
    LineRec* out = lines.data() + first;
    ScanLineBreaks(text, bounds[static_cast<size_t>(p)], bounds[static_cast<size_t>(p) + 1],
                   lineStart, counted[static_cast<size_t>(p)].Seen,
                   [&out](uint32_t start, uint32_t end) {
                     *out++ = LineRec{start, end - start, -1, kNewLineMeta};
                   });
  });
  uint32_t lastStart = 0;
  TBreaksSeen seen;
  for (const TPart& part : counted) {
    if (part.Lines > 0) lastStart = static_cast<uint32_t>(part.NextStart);
    seen.CR = seen.CR || part.Seen.CR;
    seen.LF = seen.LF || part.Seen.LF;
  }
  lines.back() = LineRec{lastStart, static_cast<uint32_t>(size) - lastStart, -1, kNewLineMeta};
  return {seen.CR, seen.LF};
}

void TKedEditStringList::LoadFromBytes(std::unique_ptr<TKedEditTextBytes> bytes) {
  const size_t size = bytes->Size();
  // Line records hold 32-bit offsets (a 32-bit process cannot hold more anyway).
  if ((static_cast<uint64_t>(size) >> 32) != 0) throw Exception("Text too large");

  std::vector<LineRec> lines;
  TLineBreaksSeen seen;
  const int parts = KedParallelParts(size);
  if (parts > 1) {
    seen = IndexLinesInParallel(bytes->Data(), size, parts, lines);
  } else {
    lines.reserve(EstimateLineCount(bytes->Data(), size));
    PrepareForFilling(lines.data(), lines.capacity() * sizeof(LineRec));
    seen = IndexLines(bytes->Data(), size, lines);
  }
  if (lines.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
    throw Exception("Text has too many lines");

  // Everything that can fail is done: take the new text over.
  UpdateGuard update(*this);
  Clear();
  bytes_ = std::move(bytes);
  lines_.swap(lines);
  if (seen.CR && !seen.LF) {
    lineBreakStyle_ = lbsCR;
  } else if (seen.LF && !seen.CR) {
    lineBreakStyle_ = lbsLF;
  } else {
    lineBreakStyle_ = lbsCRLF;
  }
  if (!lines_.empty() && OnLinesInserted) OnLinesInserted(this, 0, GetCount());
}

std::string TKedEditStringList::SaveToString() const {
  if (lines_.empty()) return {};
  std::string_view brk = lineBreakStyle_ == lbsLF ? "\n" : lineBreakStyle_ == lbsCR ? "\r" : "\r\n";
  size_t size = (lines_.size() - 1) * brk.size();
  for (const LineRec& rec : lines_) size += rec.Length;
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) out.append(brk);
    out.append(View(lines_[i]));
  }
  return out;
}

void TKedEditStringList::SaveToStream(TStream* stream) {
  const std::string bytes = SaveToString();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TKedEditStringList::SaveToFile(const std::string& fileName) {
  if (IsFileMapped()) {
    std::error_code error;
    if (std::filesystem::equivalent(bytes_->FileName(), fileName, error)) {
      SaveOverMappedFile(fileName);
      return;
    }
  }
  WriteBesideAndReplace(fileName);
}

// The lines written to a file beside fileName, whose name it returns; on failure that file is
// removed and the error goes on.
std::string TKedEditStringList::WriteLinesBeside(const std::string& fileName) const {
  RefuseReadOnlyTarget(fileName);
  const std::string beside = fileName + ".saving";
  try {
    WriteLinesTo(beside);
  } catch (...) {
    RemoveQuietly(beside);
    throw;
  }
  return beside;
}

// The old file is replaced only by a complete new one: the text goes to a file beside it
// first, so a full disk or a write error leaves the old file whole (and says so).
void TKedEditStringList::WriteBesideAndReplace(const std::string& fileName) const {
  const std::string beside = WriteLinesBeside(fileName);
  std::error_code error;
  std::filesystem::rename(beside, fileName, error);
  if (error) {
    RemoveQuietly(beside);
    throw EFCreateError("Cannot create file \"" + fileName + "\"");
  }
}

void TKedEditStringList::WriteLinesTo(const std::string& fileName) const {
  TKedEditFileWriter writer(fileName);
  writer.SetLineBreakStyle(lineBreakStyle_);
  const size_t n = lines_.size();
  for (size_t i = 0; i < n; ++i) {
    if (i + 1 < n) {
      writer.WriteLine(View(lines_[i]));
    } else {
      writer.Write(View(lines_[i]));
    }
  }
  writer.Close();
}

// Writing the mapped file in place would cut the text out from under the lines (and is
// refused on Windows while the mapping holds it). The lines move onto the new file before
// the old one is released, so the text the user sees never has a gap.
void TKedEditStringList::SaveOverMappedFile(const std::string& fileName) {
  const std::string beside = WriteLinesBeside(fileName);
  std::unique_ptr<TKedEditTextBytes> fresh = MapFileReadOnly(beside);
  if (!fresh) {
    // Unmappable (an empty text, or no address space left): the lines take copies.
    TFileStream stream(beside, fmOpenRead | fmShareDenyNone);
    const int64_t size = stream.Size();
    std::unique_ptr<char[]> data(new char[size > 0 ? static_cast<size_t>(size) : 1]);
    if (size > 0) stream.ReadBuffer(data.get(), size);
    fresh = std::make_unique<TKedEditHeapBytes>(std::move(data), static_cast<size_t>(size));
  }
  if (!RebaseOnto(std::move(fresh))) {
    // A line holding a break of its own would read back as two: keep the old file.
    RemoveQuietly(beside);
    throw EFCreateError("Cannot create file \"" + fileName + "\"");
  }
  std::error_code error;
  std::filesystem::rename(beside, fileName, error);
  // The text is safe beside the file either way; the lines now live on it.
  if (error) throw EFCreateError("Cannot create file \"" + fileName + "\"");
  bytes_->SetFileName(fileName);
}

bool TKedEditStringList::RebaseOnto(std::unique_ptr<TKedEditTextBytes> bytes) {
  std::vector<LineRec> fresh;
  fresh.reserve(lines_.size());
  IndexLines(bytes->Data(), bytes->Size(), fresh);
  // A list of one empty line saves as an empty file, which reads back as no line.
  if (fresh.empty() && lines_.size() == 1 && lines_[0].Length == 0)
    fresh.push_back(LineRec{0, 0, -1, kNewLineMeta});
  if (fresh.size() != lines_.size()) return false;
  for (size_t i = 0; i < fresh.size(); ++i) {
    if (fresh[i].Length != lines_[i].Length) return false;
  }
  for (size_t i = 0; i < fresh.size(); ++i) {
    LineRec& rec = lines_[i];
    Release(rec);
    rec.Offset = fresh[i].Offset;
  }
  std::vector<std::string>().swap(owned_);
  std::vector<uint32_t>().swap(freeSlots_);
  DetachRunsFrom(bytes_.get());
  bytes_ = std::move(bytes);
  return true;
}

size_t TKedEditStringList::MemoryUsed() const {
  size_t used = (bytes_ ? bytes_->Size() : 0) + lines_.capacity() * sizeof(LineRec) +
                owned_.capacity() * sizeof(std::string) + freeSlots_.capacity() * sizeof(uint32_t) +
                objects_.capacity() * sizeof(TObject*);
  for (const std::string& s : owned_) used += s.capacity();
  return used;
}

// --- file output ---

TKedEditFiler::TKedEditFiler() : buffer_(0x4000, '\0') {}

TKedEditFiler::~TKedEditFiler() = default;

void TKedEditFiler::SetBufferSize(size_t size) {
  if (size != buffer_.size()) buffer_.resize(size);
}

TKedEditFileWriter::TKedEditFileWriter(const std::string& fileName)
    : stream_(std::make_unique<TFileStream>(fileName, fmCreate)) {}

TKedEditFileWriter::~TKedEditFileWriter() {
  if (!stream_) return;
  try {
    Flush();
  } catch (...) {
    // A destructor cannot report; Close() is the path that reports write errors.
  }
}

void TKedEditFileWriter::Flush() {
  if (fill_ == 0 || !stream_) return;
  const size_t size = fill_;
  fill_ = 0;
  stream_->WriteBuffer(buffer_.data(), static_cast<int64_t>(size));
}

void TKedEditFileWriter::Close() {
  if (!stream_) return;
  Flush();
  stream_.reset();
}

void TKedEditFileWriter::Reserve(size_t length) {
  if (fill_ + length > buffer_.size()) {
    Flush();
    if (length > buffer_.size()) SetBufferSize(length);
  }
}

void TKedEditFileWriter::Write(std::string_view s) {
  Reserve(s.size());
  if (!s.empty()) std::memcpy(buffer_.data() + fill_, s.data(), s.size());
  fill_ += s.size();
}

void TKedEditFileWriter::WriteLine(std::string_view s) {
  const size_t breakLength = lineBreakStyle_ == lbsCRLF ? 2 : 1;
  Reserve(s.size() + breakLength);
  if (!s.empty()) std::memcpy(buffer_.data() + fill_, s.data(), s.size());
  fill_ += s.size();
  if (lineBreakStyle_ != lbsLF) buffer_[fill_++] = '\r';
  if (lineBreakStyle_ != lbsCR) buffer_[fill_++] = '\n';
}
