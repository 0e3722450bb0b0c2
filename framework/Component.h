// TPersistent (assignment between objects) and TComponent (ownership, names, notifications,
// the loading state).
#pragma once

#include <string>
#include <vector>

#include "framework/System.h"
#include "framework/Types.h"

class TPersistent : public TObject {
  K_CLASS(TPersistent, TObject)

  // Copies `source` into this object. The base asks the source's AssignTo; when nobody
  // knows how, raises EConvertError "Cannot assign a <source class> to a <this class>."
  // (source nullptr: "nil").
  virtual void Assign(TPersistent* source);
  // The object that owns this one for naming purposes (collections answer their owner).
  virtual TPersistent* GetOwner() { return nullptr; }

 protected:
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(TPersistent* source);
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

// A component is owned by its owner and freed with it: `new TButton(form)`.
class TComponent : public TPersistent {
  K_CLASS_PUBLISHED(TComponent, TPersistent)  // Name, Tag

  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  TPersistent* GetOwner() override { return owner_; }

  const std::string& Name() const { return name_; }
  // A name must be empty or an identifier (EComponentError "'%s' is not a valid component
  // name") and unique among the owner's components, case ignored (EComponentError
  // "A component named %s already exists").
  virtual void SetName(const std::string& name);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0..ComponentCount-1.
  TComponent* Components(int index) const;
  int ComponentIndex() const;  // position in the owner's list, -1 without owner
  // The owned component of that name, case ignored; nullptr when none.
  TComponent* FindComponent(const std::string& name) const;

  // Takes `c` over from its current owner (if any) and notifies opInsert.
  void InsertComponent(TComponent* c);
  // Gives `c` up (it then has no owner) after notifying opRemove.
  void RemoveComponent(TComponent* c);
  // Frees every owned component, last first.
  void DestroyComponents();

  TComponentState ComponentState() const { return state_; }
  // Sets csDestroying here and on every owned component. A descendant whose owned
  // components call back into it while they die calls Destroying() and DestroyComponents()
  // at the start of its own destructor.
  void Destroying();
  void SetDesigning(bool value, bool setChildren = true);

  // `c` hears Notification(this, opRemove) when this component is freed, and the other
  // way round; both links go when either side dies.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);

  // Forms built in code set their properties between these two calls, as streaming would:
  // BeginLoading sets csLoading and csReading on this component and every owned one;
  // EndLoading clears csReading and calls Loaded() once on each, this component first.
  void BeginLoading();
  void EndLoading();

  // Called once after the stored properties were set; the base clears csLoading.
  // (Public, unlike in the dialect, so framework classes may call it on each other.)
  virtual void Loaded();
  // Tells this component that `c` is inserted or about to go. The base drops a free
  // notification link to a removed component and passes the notice to every owned component.
  virtual void Notification(TComponent* c, TOperation operation);

 protected:
  void SetComponentState(TComponentState state) { state_ = state; }
  // Tells every free-notification listener that this component goes. The base destructor
  // does it, but by then the descendant's parts are gone; a descendant whose listeners
  // call back into it while they drop it (a highlighter's change hooks, say) calls this
  // at the start of its own destructor. A second call finds nobody left to tell.
  void SendFreeNotifications();

 private:
  void Insert(TComponent* c);
  void Remove(TComponent* c);
  void CollectForLoading(std::vector<TComponent*>& out);
  void NotifyNoThrow(TComponent* target, TComponent* c, TOperation operation);

  TComponent* owner_ = nullptr;
  std::string name_;
  int tag_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_;
};
