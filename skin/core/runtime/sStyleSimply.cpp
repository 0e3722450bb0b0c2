#include "skin/core/runtime/sStyleSimply.h"

#include <algorithm>

#include "skin/core/painting/sCommonData.h"
#include "skin/core/pixels/sGraphics.h"

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

// ---- the skin-change animation ----------------------------------------------------------------

namespace {

bool IsTakingForm(const TSkinFormFacts& f) {
  return f.IsForm && !f.Minimized && !f.MdiChild && !f.HasParentWindow && f.Visible;
}

// The default manager with the skin-change animation switched on owns AnimationRunning.
bool AnimatesSkinChanges(TsSkinManager& manager) {
  return manager.IsDefault() && manager.AnimEffects()->SkinChanging.Active;
}

}  // namespace

std::vector<std::pair<TWindowKey, ISkinProvider*>> SkinChangeForms(ISkinChangeWindows& windows,
                                                                   const TsSkinManager& manager) {
  std::vector<std::pair<TWindowKey, ISkinProvider*>> forms;
  if (windows.ApplicationMinimized()) return forms;
  for (TWindowKey form : windows.Forms()) {
    if (!IsTakingForm(windows.FactsOf(form))) continue;
    ISkinProvider* provider = windows.ProviderOf(form);
    if (provider && provider->SkinManager() == &manager) forms.emplace_back(form, provider);
  }
  return forms;
}

void PrepareSkinChangeAnimation(ISkinChangeWindows& windows, TsSkinManager& manager) {
  if (manager.ComponentState().Contains(csLoading) || windows.ApplicationMinimized()) return;
  if (AnimatesSkinChanges(manager)) AnimationRunning = true;
  for (auto [form, provider] : SkinChangeForms(windows, manager)) {
    if (provider->BorderWindow()) {
      provider->SkinChangeCapture = true;
      if (!provider->CoverImage) {
        const TsCommonData* data = provider->SkinData();
        const TBitmap* cache = data ? data->CacheBitmap.get() : nullptr;
        provider->CoverImage = CreateBmp32(cache ? cache->Width() : 0, cache ? cache->Height() : 0);
      }
      FormServices().PaintFormToBitmap(*provider->CoverImage, *provider);
    }
    provider->Animating = true;
  }
}

void FreezeFormsForSkinChange(ISkinChangeWindows& windows, TsSkinManager& manager) {
  if (windows.ApplicationMinimized()) return;
  if (AnimatesSkinChanges(manager)) AnimationRunning = true;
  for (auto [form, provider] : SkinChangeForms(windows, manager)) {
    provider->Animating = true;
    if (const TWindowKey border = provider->BorderWindow()) {
      if (provider->CoverImage)
        FormServices().UpdateLayeredBitmap(border, provider->CoverImage.get(),
                                           windows.FactsOf(form).Alpha);
      windows.SetWindowRegion(border, provider->CreateBorderRegion(), false);
    }
    windows.SetRedraw(form, false);
  }
}

void FinishSkinChangeAnimation(ISkinChangeWindows& windows, TsSkinManager& manager, bool animate) {
  if (windows.ApplicationMinimized()) return;
  if (manager.IsDefault()) AnimationRunning = false;
  const TskSkinChanging& changing = manager.AnimEffects()->SkinChanging;
  for (auto [form, provider] : SkinChangeForms(windows, manager)) {
    if (!animate) {
      provider->SkinChangeCapture = false;
      windows.SetRedraw(form, true);
      continue;
    }
    const TSkinFormFacts facts = windows.FactsOf(form);
    if (changing.Active) {
      if (provider->DrawNonClientArea())
        FormServices().AnimateFromSnapshot(form, changing.Time, facts.Alpha, changing.Mode);
      else
        FormServices().AnimateFromSnapshot(form, 0, 255, atFading);
    }
    provider->SkinChangeCapture = false;
    if (provider->HasBorderForm() && facts.Maximized) windows.ReshowMaximized(form);
    windows.SetRedraw(form, true);
    provider->Animating = false;
    if (provider->DrawNonClientArea()) {
      windows.RemoveRegionOnOldSystems(form);
      provider->PrepareRegionParts();
      provider->SetFormRegion(true);
      windows.Redraw(form, false);
      if (provider->HasBorderForm()) provider->UpdateExBorder(false, 255);
    } else {
      windows.Redraw(form, true);
    }
  }
}

void AbandonSkinChangeAnimation(ISkinChangeWindows& windows, TsSkinManager& manager) {
  if (manager.IsDefault()) AnimationRunning = false;
  for (auto [form, provider] : SkinChangeForms(windows, manager)) {
    provider->SkinChangeCapture = false;
    provider->Animating = false;
    windows.SetRedraw(form, true);
    windows.Redraw(form, true);
  }
}
