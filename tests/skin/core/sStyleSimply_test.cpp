// The skinned-forms list and the broadcast rules over a fake set of forms.
#include "skin/core/sStyleSimply.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

TEST(SkinnedFormsList, RemovingMovesTheLastIntoTheFreedPlace) {
  const struct {
    std::vector<TWindowKey> before;
    TWindowKey removed;
    std::vector<TWindowKey> after;
  } cases[] = {
      {{1, 2, 3}, 2, {1, 3}}, {{1, 2, 3}, 3, {1, 2}}, {{1, 2, 3}, 1, {3, 2}}, {{1}, 1, {}},
      {{1, 2}, 7, {1, 2}},    {{2, 1, 2}, 2, {1}},  // registered twice: gone entirely
  };
  for (const auto& c : cases) {
    std::vector<TWindowKey> list = c.before;
    RemoveFromSkinnedList(list, c.removed);
    EXPECT_EQ(list, c.after);
  }
  SkinnedForms.clear();
  AddSkinnedForm(5);
  AddSkinnedForm(6);
  RemoveSkinnedForm(5);
  EXPECT_EQ(SkinnedForms, std::vector<TWindowKey>{6});
  SkinnedForms.clear();
}

struct TFakeForms : ISkinBroadcastTree {
  std::vector<TWindowKey> appForms;
  std::set<TWindowKey> skinned, mdiChildren, dead;
  std::vector<TWindowKey> dialogs;
  std::vector<TWindowKey> order;
  std::map<TWindowKey, std::vector<TWindowKey>> freesOnReceipt;  // receiver frees these forms

  std::vector<TWindowKey> ApplicationForms() const override { return appForms; }
  bool IsLiveForm(TWindowKey form) const override { return !dead.count(form); }
  bool TakesDirectBroadcast(TWindowKey form) const override {
    return !skinned.count(form) && !mdiChildren.count(form);
  }
  void SendToFormTree(TWindowKey form, TSkinCmdMessage&) override {
    order.push_back(form);
    for (TWindowKey freed : freesOnReceipt[form]) {
      dead.insert(freed);
      appForms.erase(std::remove(appForms.begin(), appForms.end(), freed), appForms.end());
    }
  }
  std::vector<TWindowKey> VisibleDialogWindows() const override { return dialogs; }
  void SendToWindow(TWindowKey window, TSkinCmdMessage&) override { order.push_back(window); }
};

TEST(SkinBroadcast, EveryFormIsToldExactlyOnceSkinnedOnesThroughTheList) {
  TFakeForms t;
  t.appForms = {1, 2, 3, 4};
  t.skinned = {2, 4};
  t.mdiChildren = {3};
  t.dialogs = {90};
  TSkinCmdMessage m{CmdSkinChanged};
  SendToAllForms(t, {4, 2}, m);
  // Unskinned forms from the last to the first, then the list, then the dialogs.
  EXPECT_EQ(t.order, (std::vector<TWindowKey>{1, 4, 2, 90}));
}

TEST(SkinBroadcast, AReceiverThatFreesFormsDoesNotEndTheBroadcast) {
  TFakeForms t;
  t.appForms = {1, 2, 3, 4, 5};
  t.skinned = {4, 5};
  t.freesOnReceipt[3] = {2, 5};  // form 3 frees an unskinned and a skinned form
  TSkinCmdMessage m{CmdSkinChanged};
  SendToAllForms(t, {4, 5}, m);
  EXPECT_EQ(t.order, (std::vector<TWindowKey>{3, 1, 4}));
}

}  // namespace
