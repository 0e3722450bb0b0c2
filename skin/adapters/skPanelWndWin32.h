// The adapters of the panels inside a standard dialog: a dialog inside the dialog (the file
// dialogs' templates, a folder picker's tree host) that shows the skin's section around its
// children (TskTransPanelWnd), and a framework panel window in a dialog (TskDlgPanelWnd)
// framed by the skin while the panel paints its own inside. A panel window that belongs to no
// framework control (a window of that class made by anyone) is skinned the same way, only its
// colour is not touched.
#pragma once

#include <windows.h>

#include <string>

#include "framework/ControlsWin32.h"
#include "skin/adapters/skSBUtilsWin32.h"

class TskTransPanelWnd : public TskMainWnd {
 protected:
  friend class TskMainWnd;
  using TskMainWnd::TskMainWnd;
  void WndProc(TMessage& message) override;

 private:
  void PaintBackground(WPARAM given);
};

class TskDlgPanelWnd : public TskMainWnd {
 public:
  // The framework control whose window this is; null for a raw window.
  TWinControl* HostPanel() const { return hostPanel_; }

 protected:
  friend class TskMainWnd;
  TskDlgPanelWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                 const std::string& section);
  void ApplySkinColors() override;
  void WndProc(TMessage& message) override;

 private:
  void PrepareCache();
  void PaintClient(WPARAM given);
  void PaintBorder(WPARAM given);
  // The host's colour set, when there is a host and it differs.
  void SetHostColor(TColor color);
  TWinControl* hostPanel_ = nullptr;
};
