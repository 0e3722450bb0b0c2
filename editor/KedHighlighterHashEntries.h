// The SQL highlighter's keyword table: 256 buckets of chained keyword entries.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/System.h"

// One keyword in a bucket chain. A chain is kept in ascending keyword length (equal
// lengths in the order of adding), so a lookup can stop at the first longer entry.
class TKedHashEntry : public TObject {
  K_CLASS(TKedHashEntry, TObject)

  TKedHashEntry(std::string keyword, int kind);
  ~TKedHashEntry() override;
  TKedHashEntry(const TKedHashEntry&) = delete;
  TKedHashEntry& operator=(const TKedHashEntry&) = delete;

  TKedHashEntry* Next() const { return next_.get(); }
  int KeywordLen() const { return static_cast<int>(keyword_.size()); }
  const std::string& Keyword() const { return keyword_; }
  int Kind() const { return kind_; }

  // Merges newEntry into the chain held by head; head becomes newEntry when the chain was
  // empty or newEntry's keyword is shorter than the first one. A keyword equal to one in
  // the chain, case ignored, raises Exception "Keyword \"%s\" already in list"; newEntry is
  // then freed and the chain stays as it was.
  static void MergeEntry(std::unique_ptr<TKedHashEntry>& head,
                         std::unique_ptr<TKedHashEntry> newEntry);

 private:
  std::unique_ptr<TKedHashEntry> next_;
  std::string keyword_;
  int kind_;
};

// Chain heads indexed by hash value; owns its chains.
class TKedHashEntryList : public TObject {
  K_CLASS(TKedHashEntryList, TObject)

  TKedHashEntryList() = default;
  ~TKedHashEntryList() override;
  TKedHashEntryList(const TKedHashEntryList&) = delete;
  TKedHashEntryList& operator=(const TKedHashEntryList&) = delete;

  int Count() const { return static_cast<int>(buckets_.size()); }
  // The head of bucket index; nullptr for an empty bucket or an index outside 0..Count-1.
  TKedHashEntry* Get(int index) const;
  // Grows the list to hashValue + 1 buckets when needed and merges entry into that chain.
  void Add(int hashValue, std::unique_ptr<TKedHashEntry> entry);
  void Clear();

 private:
  std::vector<std::unique_ptr<TKedHashEntry>> buckets_;
};
