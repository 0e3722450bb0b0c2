#include "framework/Collection.h"

#include <algorithm>

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

// ---- TCollectionItem ----------------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
  if (collection_ != nullptr) {
    try {
      collection_->RemoveItem(this);
    } catch (...) {
      // Update handlers of the collection must not escape a destructor.
    }
  }
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection_ == collection) return;
  if (collection_ != nullptr) collection_->RemoveItem(this);
  if (collection != nullptr) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (collection_ == nullptr) return -1;
  const auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  if (collection_ != nullptr && index != Index()) {
    collection_->MoveItem(this, index);
    Changed(true);
  }
}

std::string TCollectionItem::GetDisplayName() const { return ClassName(); }

TPersistent* TCollectionItem::GetOwner() { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ != nullptr && collection_->updateCount_ == 0)
    collection_->Update(allItems ? nullptr : this);
}

// ---- TCollection --------------------------------------------------------------------------

TCollection::TCollection(const TClassInfo* itemClass, TPersistent* owner)
    : itemClass_(itemClass), owner_(owner) {}

TCollection::~TCollection() {
  ++updateCount_;  // no Update calls from a collection that is going away
  while (!items_.empty()) delete items_.back();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  return items_[index];
}

TCollectionItem* TCollection::Add() {
  if (itemClass_ == nullptr || !itemClass_->InheritsFrom(TCollectionItem::StaticClassInfo()))
    throw EInvalidOperation("Collection has no item class");
  // The base constructor joins the item before the item class's own part exists: the
  // collection hears of its new item only once the item is whole.
  BeginUpdate();
  TScopeExit announce([&] { EndUpdate(); });
  TObject* obj = itemClass_->CreateInstance(this);
  auto* item = static_cast<TCollectionItem*>(obj);
  // An item class whose constructor does not join the collection is joined here.
  if (item->collection_ != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  {
    TScopeExit cleanup([&] { EndUpdate(); });
    while (!items_.empty()) delete items_.back();
  }
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_) {
    if (item->id_ == id) return item;
  }
  return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) Changed();
}

void TCollection::Assign(TPersistent* source) {
  if (source != nullptr && source->Is<TCollection>()) {
    auto* other = static_cast<TCollection*>(source);
    if (other == this) return;
    BeginUpdate();
    {
      TScopeExit cleanup([&] { EndUpdate(); });
      Clear();
      for (TCollectionItem* item : other->items_) Add()->Assign(item);
    }
    return;
  }
  TPersistent::Assign(source);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->collection_ = nullptr;
  Changed();
}

void TCollection::MoveItem(TCollectionItem* item, int index) {
  index = std::clamp(index, 0, Count() - 1);
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  items_.insert(items_.begin() + index, item);
}
