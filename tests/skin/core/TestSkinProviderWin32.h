// A form's skin provider as the window tests play it, and a form that answers CmdGetProvider
// with one and records what it is told while a skin changes.
#pragma once

#include <commctrl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/FormsWin32.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/skinfiles/sMessages.h"

namespace skintest {

// A form's skin provider as the test plays it: counts what the engine asks of it.
struct TTestProvider : ISkinProvider {
  explicit TTestProvider(TsSkinManager* manager) : manager(manager), data(nullptr) {}
  TsSkinManager* manager;
  TsCommonData data;
  bool extendedBorders = false;
  int minimizeStarts = 0, restoreStarts = 0;
  TsSkinManager* SkinManager() const override { return manager; }
  bool DrawNonClientArea() const override { return true; }
  TsCommonData* SkinData() override { return &data; }
  bool HasBorderForm() const override { return false; }
  TWindowKey BorderWindow() const override { return 0; }
  bool ExtendedBordersAllowed() const override { return extendedBorders; }
  TRegionKey CreateBorderRegion() override { return 0; }
  void UpdateExBorder(bool, int) override {}
  void ClearBorderShowing() override {}
  TWindowKey CoverWindow() const override { return 0; }
  void FreeCoverWindow() override {}
  void StartMinimizeAnimation() override { ++minimizeStarts; }
  bool StartRestoreAnimation() override {
    ++restoreStarts;
    return false;
  }
  void PrepareRegionParts() override {}
  void SetFormRegion(bool) override {}
};

// A form that answers CmdGetProvider with its provider and records, in order, what it is
// told while a skin changes.
struct TProviderForm {
  TProviderForm(TForm* form, ISkinProvider* provider) : wnd(form->Handle()), provider(provider) {
    SetWindowSubclass(wnd, Proc, 4, reinterpret_cast<DWORD_PTR>(this));
  }
  ~TProviderForm() { RemoveWindowSubclass(wnd, Proc, 4); }
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<TProviderForm*>(ref);
    if (msg == WM_SETREDRAW) self->log.push_back(w ? "redraw on" : "redraw off");
    if (msg == SM_SKINCMD) {
      const int cmd = SkinCmdOf(w);
      if (cmd == CmdGetProvider) return reinterpret_cast<LRESULT>(self->provider);
      if (cmd == CmdSkinChanged) self->log.push_back("skin changed");
      if (cmd == CmdRefresh) self->log.push_back("refresh");
    }
    return DefSubclassProc(wnd, msg, w, l);
  }
  HWND wnd;
  ISkinProvider* provider;
  std::vector<std::string> log;
};

}  // namespace skintest
