#include "skin/core/sStyleSimply.h"

#include <algorithm>

std::vector<TWindowKey> SkinnedForms;

void RemoveFromSkinnedList(std::vector<TWindowKey>& list, TWindowKey form) {
  for (size_t i = 0; i < list.size();) {
    if (list[i] == form) {
      list[i] = list.back();
      list.pop_back();
    } else {
      ++i;
    }
  }
}

void AddSkinnedForm(TWindowKey form) { SkinnedForms.push_back(form); }

void RemoveSkinnedForm(TWindowKey form) { RemoveFromSkinnedList(SkinnedForms, form); }

void SendToSkinnedWindows(ISkinBroadcastTree& tree, const std::vector<TWindowKey>& list,
                          TSkinCmdMessage& message) {
  // The list may change while receivers run; the copy keeps the walk valid.
  const std::vector<TWindowKey> forms = list;
  for (TWindowKey form : forms)
    if (form && tree.IsLiveForm(form)) tree.SendToFormTree(form, message);
  for (TWindowKey window : tree.VisibleDialogWindows()) tree.SendToWindow(window, message);
}

void SendToAllForms(ISkinBroadcastTree& tree, const std::vector<TWindowKey>& list,
                    TSkinCmdMessage& message) {
  const std::vector<TWindowKey> forms = tree.ApplicationForms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if (tree.IsLiveForm(*it) && tree.TakesDirectBroadcast(*it)) tree.SendToFormTree(*it, message);
  SendToSkinnedWindows(tree, list, message);
}
