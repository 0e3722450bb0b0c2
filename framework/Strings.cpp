#include "framework/Strings.h"

#include <algorithm>

#include "framework/Streams.h"
#include "framework/SysUtils.h"

// ---- TStrings -----------------------------------------------------------------------------

TObject* TStrings::GetObjectAt(int) const { return nullptr; }

void TStrings::Put(int index, const std::string& s) {
  TObject* obj = GetObjectAt(index);
  WhileUpdating(this, [&] {
    Delete(index);
    InsertObject(index, s, obj);
  });
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::IndexError(int index) const {
  throw EStringListError(Format("List index out of bounds (%d)", index));
}

int TStrings::Add(const std::string& s) {
  int index = GetCount();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* obj) {
  int index = Add(s);
  PutObject(index, obj);
  return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* obj) {
  Insert(index, s);
  PutObject(index, obj);
}

void TStrings::AddStrings(TStrings* strings) {
  if (strings == nullptr) return;
  WhileUpdating(this, [&] {
    // Read the count first: adding a list to itself copies it once.
    int n = strings->Count();
    for (int i = 0; i < n; ++i) AddObject(strings->Get(i), strings->GetObjectAt(i));
  });
}

void TStrings::Assign(TPersistent* source) {
  if (source != nullptr && source->Is<TStrings>()) {
    auto* other = static_cast<TStrings*>(source);
    if (other == this) return;
    WhileUpdating(this, [&] {
      Clear();
      AddStrings(other);
    });
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::Exchange(int index1, int index2) {
  WhileUpdating(this, [&] {
    std::string s1 = Get(index1);
    TObject* o1 = GetObjectAt(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObjectAt(index2));
    Put(index2, s1);
    PutObject(index2, o1);
  });
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  WhileUpdating(this, [&] {
    std::string s = Get(curIndex);
    TObject* obj = GetObjectAt(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, obj);
  });
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
  return AnsiCompareText(a, b);
}

int TStrings::IndexOf(const std::string& s) const {
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    if (CompareStrings(Get(i), s) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    std::string line = Get(i);
    size_t eq = line.find('=');
    if (eq != std::string::npos && CompareStrings(line.substr(0, eq), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* obj) const {
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    if (GetObjectAt(i) == obj) return i;
  }
  return -1;
}

bool TStrings::Equals(const TStrings* other) const {
  if (other == nullptr || other->GetCount() != GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i) {
    if (Get(i) != other->Get(i)) return false;
  }
  return true;
}

std::string TStrings::Names(int index) const {
  std::string line = Get(index);
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
  std::string line = Get(index);
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string TStrings::Values(const std::string& name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (!value.empty()) {
    if (i < 0) {
      Add(name + "=" + value);
    } else {
      Put(i, name + "=" + value);
    }
  } else if (i >= 0) {
    Delete(i);
  }
}

std::string TStrings::GetTextStr() const {
  std::string text;
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    text += Get(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetTextStr(const std::string& text) {
  WhileUpdating(this, [&] {
    Clear();
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
      size_t start = i;
      while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
      Add(text.substr(start, i - start));
      if (i < n && text[i] == '\r') ++i;
      if (i < n && text[i] == '\n') ++i;
    }
  });
}

std::string TStrings::CommaText() const {
  std::string result;
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    std::string s = Get(i);
    bool quote = s.empty();
    for (char c : s) {
      if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') quote = true;
    }
    if (i > 0) result += ',';
    if (quote) {
      result += '"';
      for (char c : s) {
        result += c;
        if (c == '"') result += '"';
      }
      result += '"';
    } else {
      result += s;
    }
  }
  return result;
}

void TStrings::SetCommaText(const std::string& text) {
  WhileUpdating(this, [&] {
    Clear();
    const size_t n = text.size();
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t i = 0;
    while (i < n && isBlank(text[i])) ++i;
    while (i < n) {
      std::string item;
      if (text[i] == '"') {
        ++i;
        while (i < n) {
          if (text[i] == '"') {
            if (i + 1 < n && text[i + 1] == '"') {
              item += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          item += text[i++];
        }
        // Anything glued to the closing quote up to the next separator belongs to the item.
        while (i < n && text[i] != ',' && !isBlank(text[i])) item += text[i++];
      } else {
        while (i < n && text[i] != ',' && !isBlank(text[i])) item += text[i++];
      }
      Add(item);
      while (i < n && isBlank(text[i])) ++i;
      if (i < n && text[i] == ',') {
        ++i;
        while (i < n && isBlank(text[i])) ++i;
        if (i >= n) Add("");  // a trailing comma ends with an empty item
      }
    }
  });
}

void TStrings::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::LoadFromStream(TStream* stream) {
  int64_t size = stream->Size() - stream->Position();
  std::string text(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (!text.empty()) stream->ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
  SetTextStr(text);
}

void TStrings::SaveToFile(const std::string& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

void TStrings::SaveToStream(TStream* stream) {
  std::string text = GetTextStr();
  stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

// ---- TStringList --------------------------------------------------------------------------

namespace {
[[noreturn]] void SortedListError() {
  throw EStringListError("Operation not allowed on sorted list");
}
}  // namespace

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (ownsObjects_) {
    for (auto& item : items_) delete item.Object;
  }
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount()) IndexError(index);
}

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[index].String;
}

TObject* TStringList::GetObjectAt(int index) const {
  CheckIndex(index);
  return items_[index].Object;
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) SortedListError();
  CheckIndex(index);
  Changing();
  items_[index].String = s;
  Changed();
}

void TStringList::PutObject(int index, TObject* obj) {
  CheckIndex(index);
  Changing();
  items_[index].Object = obj;
  Changed();
}

void TStringList::SetCapacity(int capacity) {
  if (capacity > GetCapacity()) items_.reserve(capacity);
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  std::vector<TStringItem> old;
  old.swap(items_);
  if (ownsObjects_) {
    for (auto& item : old) delete item.Object;
  }
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  TObject* obj = items_[index].Object;
  items_.erase(items_.begin() + index);
  if (ownsObjects_) delete obj;
  Changed();
}

void TStringList::Insert(int index, const std::string& s) {
  if (sorted_) SortedListError();
  if (index < 0 || index > GetCount()) IndexError(index);
  InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* obj) {
  Changing();
  items_.insert(items_.begin() + index, TStringItem{s, obj});
  Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* obj) {
  int index;
  if (!sorted_) {
    index = GetCount();
  } else if (Find(s, index)) {
    switch (duplicates_) {
      case dupIgnore:
        return index;
      case dupError:
        throw EStringListError("String list does not allow duplicates");
      case dupAccept:
        break;
    }
  }
  InsertItem(index, s, obj);
  return index;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[index1], items_[index2]);
  Changed();
}

int TStringList::IndexOf(const std::string& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  // Leftmost match, or the insertion point when there is none.
  int lo = 0;
  int hi = GetCount();
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (CompareStrings(items_[mid].String, s) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  index = lo;
  return lo < GetCount() && CompareStrings(items_[lo].String, s) == 0;
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->items_[a].String, list->items_[b].String);
  });
}

void TStringList::CustomSort(TStringListSortCompare compare) {
  if (GetCount() < 2) return;
  Changing();
  // Sort positions, so `compare` sees the list as it was while it decides.
  std::vector<int> order(items_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(this, a, b) < 0; });
  std::vector<TStringItem> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[i]));
  items_.swap(sorted);
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (sorted_ == value) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) {
    Changing();
  } else {
    Changed();
  }
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

// ---- THashedStringList --------------------------------------------------------------------

std::string THashedStringList::Key(const std::string& s) const {
  return CaseSensitive() ? s : AnsiUpperCase(s);
}

void THashedStringList::Changed() {
  valueHashValid_ = false;
  nameHashValid_ = false;
  TStringList::Changed();
}

int THashedStringList::IndexOf(const std::string& s) const {
  if (!valueHashValid_) {
    valueHash_.clear();
    for (int i = GetCount() - 1; i >= 0; --i) valueHash_[Key(Get(i))] = i;  // first wins
    valueHashValid_ = true;
  }
  auto it = valueHash_.find(Key(s));
  return it == valueHash_.end() ? -1 : it->second;
}

int THashedStringList::IndexOfName(const std::string& name) const {
  if (!nameHashValid_) {
    nameHash_.clear();
    for (int i = GetCount() - 1; i >= 0; --i) {
      std::string line = Get(i);
      size_t eq = line.find('=');
      if (eq != std::string::npos) nameHash_[Key(line.substr(0, eq))] = i;
    }
    nameHashValid_ = true;
  }
  auto it = nameHash_.find(Key(name));
  return it == nameHash_.end() ? -1 : it->second;
}
