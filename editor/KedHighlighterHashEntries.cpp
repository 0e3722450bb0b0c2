#include "editor/KedHighlighterHashEntries.h"

#include "framework/SysUtils.h"

TKedHashEntry::TKedHashEntry(std::string keyword, int kind)
    : keyword_(std::move(keyword)), kind_(kind) {}

TKedHashEntry::~TKedHashEntry() {
  // Unlink the chain iteratively: a recursive release of a long chain could exhaust the stack.
  std::unique_ptr<TKedHashEntry> rest = std::move(next_);
  while (rest) rest = std::move(rest->next_);
}

void TKedHashEntry::MergeEntry(std::unique_ptr<TKedHashEntry>& head,
                               std::unique_ptr<TKedHashEntry> newEntry) {
  if (!newEntry) return;
  // Walk to the link where newEntry belongs, checking every entry passed for a repeat.
  std::unique_ptr<TKedHashEntry>* link = &head;
  while (*link) {
    TKedHashEntry& entry = **link;
    if (SameText(entry.keyword_, newEntry->keyword_))
      throw Exception("Keyword \"" + entry.keyword_ + "\" already in list");
    if (newEntry->KeywordLen() < entry.KeywordLen()) break;
    link = &entry.next_;
  }
  newEntry->next_ = std::move(*link);
  *link = std::move(newEntry);
}

TKedHashEntryList::~TKedHashEntryList() = default;

TKedHashEntry* TKedHashEntryList::Get(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return buckets_[static_cast<size_t>(index)].get();
}

void TKedHashEntryList::Add(int hashValue, std::unique_ptr<TKedHashEntry> entry) {
  if (hashValue < 0) throw ERangeError("Range check error");
  if (hashValue >= Count()) buckets_.resize(static_cast<size_t>(hashValue) + 1);
  auto& bucket = buckets_[static_cast<size_t>(hashValue)];
  TKedHashEntry::MergeEntry(bucket, std::move(entry));
}

void TKedHashEntryList::Clear() { buckets_.clear(); }
