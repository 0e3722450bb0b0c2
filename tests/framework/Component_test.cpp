#include "framework/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Events.h"
#include "framework/SysUtils.h"

namespace {

// Records its own destruction and every notification it hears.
class TProbe : public TComponent {
  K_CLASS(TProbe, TComponent)
  TProbe(TComponent* owner, std::vector<std::string>* log, const std::string& name)
      : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~TProbe() override { log_->push_back("free " + Name()); }
  TComponent* Watched = nullptr;
  int LoadedCalls = 0;
  bool LoadingSeenInLoaded = false;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    log_->push_back(Name() + (op == opInsert ? " +" : " -") + c->Name());
    TComponent::Notification(c, op);
    if (op == opRemove && c == Watched) Watched = nullptr;
  }
  void Loaded() override {
    LoadingSeenInLoaded = ComponentState().Contains(csLoading);
    ++LoadedCalls;
    TComponent::Loaded();
    log_->push_back("loaded " + Name());
  }

 private:
  std::vector<std::string>* log_;
};

class TValue : public TPersistent {
  K_CLASS(TValue, TPersistent)
  int V = 0;
  void Assign(TPersistent* source) override {
    if (auto* value = dynamic_cast<TValue*>(source)) {
      V = value->V;
      return;
    }
    TPersistent::Assign(source);
  }
};

class TOther : public TPersistent {
  K_CLASS(TOther, TPersistent)
};

}  // namespace

TEST(Persistent, AssignCopiesKnownClassesAndRefusesOthers) {
  TValue a, b;
  b.V = 7;
  a.Assign(&b);
  EXPECT_EQ(a.V, 7);
  TOther other;
  try {
    a.Assign(&other);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TOther to a TValue.");
  }
  try {
    a.Assign(nullptr);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TValue.");
  }
}

TEST(Component, OwnerFreesItsComponentsLastFirst) {
  std::vector<std::string> log;
  auto* form = new TProbe(nullptr, &log, "Form1");
  auto* a = new TProbe(form, &log, "A");
  new TProbe(form, &log, "B");
  new TProbe(a, &log, "A1");
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->Components(1)->Name(), "B");
  EXPECT_EQ(a->ComponentIndex(), 0);
  EXPECT_EQ(form->FindComponent("b"), form->Components(1));
  EXPECT_EQ(form->FindComponent("A1"), nullptr);  // only directly owned ones
  EXPECT_THROW(form->Components(2), EListError);
  log.clear();
  delete form;
  // Each destructor body logs before its base frees what the component owns.
  const std::vector<std::string> expected = {"free Form1", "free B", "free A", "free A1"};
  EXPECT_EQ(log, expected);
}

TEST(Component, OwnerAndSiblingsHearInsertAndRemove) {
  std::vector<std::string> log;
  TProbe form(nullptr, &log, "Form1");
  auto* a = new TProbe(&form, &log, "A");
  log.clear();
  auto* b = new TProbe(&form, &log, "");
  b->SetName("B");
  // The owner hears of the insert and passes it to its components (the new one included).
  // The new component is still being constructed: its own override is not reached yet.
  EXPECT_EQ(log, (std::vector<std::string>{"Form1 +", "A +"}));
  log.clear();
  delete a;
  EXPECT_EQ(log, (std::vector<std::string>{"free A", "Form1 -A", "B -A"}));
  EXPECT_EQ(form.ComponentCount(), 1);
}

TEST(Component, FreeNotificationReachesComponentsOfOtherOwners) {
  std::vector<std::string> log;
  auto* form1 = new TProbe(nullptr, &log, "Form1");
  auto* form2 = new TProbe(nullptr, &log, "Form2");
  auto* images = new TProbe(form1, &log, "Images");
  auto* user = new TProbe(form2, &log, "User");
  user->Watched = images;
  images->FreeNotification(user);
  EXPECT_TRUE(images->ComponentState().Contains(csFreeNotification));
  log.clear();
  delete form1;
  EXPECT_EQ(user->Watched, nullptr);
  EXPECT_NE(std::find(log.begin(), log.end(), "User -Images"), log.end());

  // When the listener dies first, the link goes with it: no call into freed memory later.
  auto* form3 = new TProbe(nullptr, &log, "Form3");
  auto* source = new TProbe(form3, &log, "Source");
  auto* listener = new TProbe(form2, &log, "Listener");
  source->FreeNotification(listener);
  delete listener;
  log.clear();
  delete form3;  // ASan would flag a notification sent to the freed listener
  EXPECT_EQ(std::find(log.begin(), log.end(), "Listener -Source"), log.end());
  delete form2;
}

// Sends its free notifications itself, while it is still whole.
class TEarlyNotifier : public TComponent {
  K_CLASS(TEarlyNotifier, TComponent)
  using TComponent::TComponent;
  ~TEarlyNotifier() override { SendFreeNotifications(); }
};

// Asks the dying component what it is, as a listener that unhooks itself would.
class TClassAsker : public TComponent {
  K_CLASS(TClassAsker, TComponent)
  using TComponent::TComponent;
  std::string HeardFrom;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == opRemove) HeardFrom = c->ClassName();
    TComponent::Notification(c, op);
  }
};

TEST(Component, EarlyFreeNotificationsSeeTheWholeComponent) {
  TClassAsker listener(nullptr);
  auto* source = new TEarlyNotifier(nullptr);
  source->FreeNotification(&listener);
  delete source;
  EXPECT_EQ(listener.HeardFrom, "TEarlyNotifier");
}

TEST(Component, RemoveFreeNotificationStopsTheNotice) {
  std::vector<std::string> log;
  TProbe form(nullptr, &log, "Form");
  auto* other = new TProbe(nullptr, &log, "Other");
  other->FreeNotification(&form);
  other->RemoveFreeNotification(&form);
  log.clear();
  delete other;
  EXPECT_EQ(log, std::vector<std::string>{"free Other"});
}

TEST(Component, NamesAreIdentifiersUniqueInTheirOwner) {
  std::vector<std::string> log;
  TProbe form(nullptr, &log, "Form");
  auto* a = new TProbe(&form, &log, "Edit1");
  auto* b = new TProbe(&form, &log, "");
  try {
    b->SetName("EDIT1");
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A component named EDIT1 already exists");
  }
  try {
    b->SetName("1st");
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "'1st' is not a valid component name");
  }
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  b->SetName("sBitBtn_2");
  a->SetName("");  // clearing is allowed
  EXPECT_EQ(form.FindComponent("sbitbtn_2"), b);
}

TEST(Component, InsertComponentMovesBetweenOwners) {
  std::vector<std::string> log;
  TProbe form1(nullptr, &log, "F1");
  TProbe form2(nullptr, &log, "F2");
  auto* c = new TProbe(&form1, &log, "C");
  log.clear();
  form2.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &form2);
  EXPECT_EQ(form1.ComponentCount(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"F1 -C", "C -C", "F2 +C", "C +C"}));
  form2.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  delete c;
}

TEST(Component, LoadingSetsTheStateAndCallsLoadedOncePerComponent) {
  std::vector<std::string> log;
  TProbe form(nullptr, &log, "Form");
  auto* a = new TProbe(&form, &log, "A");
  auto* a1 = new TProbe(a, &log, "A1");
  form.BeginLoading();
  EXPECT_TRUE(a1->ComponentState().Contains(csLoading));
  EXPECT_TRUE(a1->ComponentState().Contains(csReading));
  log.clear();
  form.EndLoading();
  EXPECT_EQ(log, (std::vector<std::string>{"loaded Form", "loaded A", "loaded A1"}));
  EXPECT_TRUE(a->LoadingSeenInLoaded);  // csLoading is still set inside Loaded
  EXPECT_FALSE(a->ComponentState().Contains(csLoading));
  EXPECT_FALSE(a->ComponentState().Contains(csReading));
  EXPECT_EQ(a1->LoadedCalls, 1);
}

namespace {
class TWitness : public TComponent {
  K_CLASS(TWitness, TComponent)
  TWitness(TComponent* owner, bool* detached) : TComponent(owner), detached_(detached) {}
  ~TWitness() override { *detached_ = Owner() == nullptr; }

 private:
  bool* detached_;
};
}  // namespace

TEST(Component, DestroyingStateIsSetBeforeChildrenDie) {
  bool detached = false;
  auto* owner = new TComponent(nullptr);
  auto* w = new TWitness(owner, &detached);
  owner->Destroying();
  EXPECT_TRUE(w->ComponentState().Contains(csDestroying));
  delete owner;
  EXPECT_TRUE(detached);  // a child dies already taken out of its owner's list
}

// ---- events ------------------------------------------------------------------------------

namespace {
class THandlers : public TObject {
 public:
  int Clicks = 0;
  TObject* LastSender = nullptr;
  void Click(TObject* sender) {
    ++Clicks;
    LastSender = sender;
  }
  void Other(TObject*) {}
};
class TDerivedHandlers : public THandlers {};
}  // namespace

TEST(Events, MethodEventsCallAndCompareByObjectAndMethod) {
  THandlers h1, h2;
  TNotifyEvent e = MakeEvent<&THandlers::Click>(&h1);
  TNotifyEvent none;
  EXPECT_FALSE(none);
  EXPECT_TRUE(none == nullptr);
  ASSERT_TRUE(e);
  e(&h2);
  EXPECT_EQ(h1.Clicks, 1);
  EXPECT_EQ(h1.LastSender, &h2);

  EXPECT_TRUE(e == MakeEvent<&THandlers::Click>(&h1));
  EXPECT_FALSE(e == MakeEvent<&THandlers::Click>(&h2));
  EXPECT_FALSE(e == MakeEvent<&THandlers::Other>(&h1));
  TDerivedHandlers d;
  EXPECT_TRUE(MakeEvent<&THandlers::Click>(&d) ==
              MakeEvent<&THandlers::Click>(static_cast<THandlers*>(&d)));
  EXPECT_EQ(e.Data(), &h1);
}

TEST(Events, CallablesAreKeptAliveAndCompareByIdentity) {
  int calls = 0;
  TNotifyEvent a = [&calls](TObject*) { ++calls; };
  TNotifyEvent copy = a;
  TNotifyEvent b = [&calls](TObject*) { ++calls; };
  a = nullptr;
  copy(nullptr);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(a);
  EXPECT_TRUE(copy == copy);
  EXPECT_FALSE(copy == b);
  TMethod<int(int, int)> add = [](int x, int y) { return x + y; };
  EXPECT_EQ(add(2, 3), 5);
}
