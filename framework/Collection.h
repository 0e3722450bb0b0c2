// TCollection and TCollectionItem: an owned, ordered list of items of one class.
//
//   class TMyItem : public TCollectionItem {
//     K_CLASS(TMyItem, TCollectionItem)
//     explicit TMyItem(TCollection* c) : TCollectionItem(c) {}
//   };
//   TCollection items(TMyItem::StaticClassInfo());
//   auto* item = static_cast<TMyItem*>(items.Add());
#pragma once

#include <string>
#include <vector>

#include "framework/Component.h"

class TCollection;

class TCollectionItem : public TPersistent {
  K_CLASS(TCollectionItem, TPersistent)

  // Appends itself to `collection` (when given).
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;  // leaves its collection
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return collection_; }
  void SetCollection(TCollection* collection);
  int ID() const { return id_; }
  int Index() const;  // -1 without collection
  // Moves the item inside its collection (clamped to the valid range).
  virtual void SetIndex(int index);
  // The item's name in lists and editors; the base answers the class name.
  virtual std::string GetDisplayName() const;
  std::string DisplayName() const { return GetDisplayName(); }
  TPersistent* GetOwner() override;

 protected:
  // Tells the collection: allItems = every item may have changed.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  K_CLASS(TCollection, TPersistent)

  // Items are made from `itemClass` (a TCollectionItem descendant constructed from the
  // collection); `owner` is what GetOwner answers.
  explicit TCollection(const TClassInfo* itemClass, TPersistent* owner = nullptr);
  ~TCollection() override;  // frees the items
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  const TClassInfo* ItemClass() const { return itemClass_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0..Count-1.
  TCollectionItem* Items(int index) const;
  void SetItems(int index, TCollectionItem* source) { Items(index)->Assign(source); }
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;

  void BeginUpdate();
  void EndUpdate();  // at zero: Update(nullptr)
  int UpdateCount() const { return updateCount_; }

  // From another collection: clears this one and adds one item per source item, each
  // assigned from its source item.
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return owner_; }

 protected:
  // After a change of `item` (nullptr: of the whole collection), unless updating.
  virtual void Update(TCollectionItem* item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(TCollectionItem* item, int index);

  const TClassInfo* itemClass_;
  TPersistent* owner_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};
