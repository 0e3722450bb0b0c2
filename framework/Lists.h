// TList: a list of untyped pointers that it does not own.
#pragma once

#include <vector>

#include "framework/System.h"

using TListSortCompare = int (*)(void* item1, void* item2);

class TList : public TObject {
  K_CLASS(TList, TObject)

  TList() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  // Shrinking drops the last items; growing appends nullptr (as setting Count does).
  void SetCount(int count);
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int capacity);

  // Every index outside 0..Count-1 raises EListError "List index out of bounds (%d)".
  void* Items(int index) const;
  void SetItems(int index, void* item);
  void* operator[](int index) const { return Items(index); }
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }

  int Add(void* item);
  void Insert(int index, void* item);  // index may be Count
  void Delete(int index);
  int Remove(void* item);     // the index it had, -1 when absent
  void* Extract(void* item);  // removes it; nullptr when absent
  int IndexOf(void* item) const;
  void Clear();
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  void Pack();                          // drops every nullptr
  void Sort(TListSortCompare compare);  // stable

  const std::vector<void*>& List() const { return items_; }

 private:
  void CheckIndex(int index) const;
  std::vector<void*> items_;
};
