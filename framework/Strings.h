// TStrings (the abstract list of lines with attached objects), TStringList and
// THashedStringList.
//
// A descendant stores the lines itself and overrides Get, GetCount, Clear, Delete and
// Insert (and, to keep objects, GetObjectAt and PutObject). Every other operation is built
// on those. The object accessor is not called GetObject because <windows.h> turns that
// name into a macro.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "framework/Component.h"
#include "framework/Events.h"

class TStream;

class TStrings : public TPersistent {
  K_CLASS(TStrings, TPersistent)

  TStrings() = default;

  // ---- the storage a descendant provides ----
  virtual std::string Get(int index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObjectAt(int index) const;      // base: nullptr
  virtual void Put(int index, const std::string& s);  // base: Delete + Insert, object kept
  virtual void PutObject(int index, TObject* obj);    // base: ignored
  virtual int GetCapacity() const { return GetCount(); }
  virtual void SetCapacity(int) {}
  virtual void Clear() = 0;
  virtual void Delete(int index) = 0;
  virtual void Insert(int index, const std::string& s) = 0;

  // ---- built on the storage ----
  int Count() const { return GetCount(); }
  std::string Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::string& s) { Put(index, s); }
  std::string operator[](int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObjectAt(index); }
  void SetObjects(int index, TObject* obj) { PutObject(index, obj); }

  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* obj);
  void InsertObject(int index, const std::string& s, TObject* obj);
  virtual void AddStrings(TStrings* strings);
  void Append(const std::string& s) { Add(s); }
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  // Index of the first line equal to `s` (case ignored unless the list says otherwise), -1.
  virtual int IndexOf(const std::string& s) const;
  // Index of the first "name=value" line whose name is `name`, -1.
  virtual int IndexOfName(const std::string& name) const;
  int IndexOfObject(TObject* obj) const;
  bool Equals(const TStrings* other) const;  // same lines in the same order, case counts

  // "name=value" lines. Names(i) is "" for a line without "=".
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  std::string Values(const std::string& name) const;  // "" when the name is absent
  // Replaces the value, appends "name=value" when absent; an empty value deletes the line.
  void SetValues(const std::string& name, const std::string& value);

  // Every line followed by CR LF. Setting splits at CR LF, LF or CR; a final line break
  // does not make an empty last line.
  std::string Text() const { return GetTextStr(); }
  void SetText(const std::string& text) { SetTextStr(text); }
  virtual std::string GetTextStr() const;
  virtual void SetTextStr(const std::string& text);
  // Lines separated by commas; a line holding a blank, comma, quote or control character
  // (or an empty line) is written in double quotes with inner quotes doubled. Reading also
  // splits at unquoted blanks.
  std::string CommaText() const;
  void SetCommaText(const std::string& text);

  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream* stream);  // from the stream's position to its end
  virtual void SaveToFile(const std::string& fileName);
  virtual void SaveToStream(TStream* stream);

  // While the count is above zero, change notices are held back.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // From any TStrings: lines and objects (replacing this list's).
  void Assign(TPersistent* source) override;

 protected:
  // Called when the update count leaves or reaches zero.
  virtual void SetUpdateState(bool updating);
  // Line comparison used by IndexOf and sorting; the base ignores Windows-1252 case.
  virtual int CompareStrings(const std::string& a, const std::string& b) const;
  // Raises EStringListError "List index out of bounds (%d)".
  [[noreturn]] void IndexError(int index) const;

 private:
  int updateCount_ = 0;
};

// Runs `change` between strings->BeginUpdate() and EndUpdate(), ending the update also when
// `change` throws. Not a destructor: EndUpdate fires change handlers, and what they throw
// must reach the caller.
template <class Change>
void WhileUpdating(TStrings* strings, Change&& change) {
  strings->BeginUpdate();
  try {
    change();
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
using TStringListSortCompare = int (*)(TStringList* list, int index1, int index2);

class TStringList : public TStrings {
  K_CLASS(TStringList, TStrings)

  TStringList() = default;
  ~TStringList() override;

  std::string Get(int index) const override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  TObject* GetObjectAt(int index) const override;
  // On a sorted list Put raises EStringListError "Operation not allowed on sorted list".
  void Put(int index, const std::string& s) override;
  void PutObject(int index, TObject* obj) override;
  int GetCapacity() const override { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int capacity) override;
  void Clear() override;
  void Delete(int index) override;
  // On a sorted list Insert raises EStringListError "Operation not allowed on sorted list".
  void Insert(int index, const std::string& s) override;

  // A sorted list inserts at the sorted place; a duplicate is then ignored (dupIgnore,
  // answering the existing index), accepted, or refused with EStringListError
  // "String list does not allow duplicates" (dupError).
  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* obj) override;
  void Exchange(int index1, int index2) override;
  int IndexOf(const std::string& s) const override;

  // Binary search of a sorted list: true and the first equal line's index, or false and
  // the index where `s` would be inserted.
  virtual bool Find(const std::string& s, int& index) const;
  virtual void Sort();
  virtual void CustomSort(TStringListSortCompare compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);
  // The list frees its objects when lines are deleted and when it is freed.
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }

  TNotifyEvent OnChange;    // after a change, unless updating
  TNotifyEvent OnChanging;  // before a change, unless updating

 protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(const std::string& a, const std::string& b) const override;
  // Called around every change whatever the update count; they fire the events.
  virtual void Changing();
  virtual void Changed();
  void InsertItem(int index, const std::string& s, TObject* obj);

 private:
  struct TStringItem {
    std::string String;
    TObject* Object = nullptr;
  };
  void CheckIndex(int index) const;
  std::vector<TStringItem> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  bool ownsObjects_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

// A string list with hashed IndexOf and IndexOfName for long lists; the hash tables are
// rebuilt on the first lookup after a change.
class THashedStringList : public TStringList {
  K_CLASS(THashedStringList, TStringList)

  THashedStringList() = default;
  int IndexOf(const std::string& s) const override;
  int IndexOfName(const std::string& name) const override;

 protected:
  void Changed() override;

 private:
  std::string Key(const std::string& s) const;
  mutable std::unordered_map<std::string, int> valueHash_;
  mutable std::unordered_map<std::string, int> nameHash_;
  mutable bool valueHashValid_ = false;
  mutable bool nameHashValid_ = false;
};
