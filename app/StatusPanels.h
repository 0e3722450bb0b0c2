// A plain status bar of fixed-width text panels, standing where the skinned status
// bar will go. Setting a panel's text repaints that panel at once.
#pragma once

#include <string>
#include <vector>

#include "framework/Controls.h"

class TStatusPanels : public TCustomControl {
  K_CLASS(TStatusPanels, TCustomControl)

  TStatusPanels(TComponent* owner, int panelCount, int panelWidth);

  int PanelCount() const { return static_cast<int>(texts_.size()); }
  const std::string& PanelText(int index) const;
  void SetPanelText(int index, const std::string& text);
  TRect PanelRect(int index) const;

 protected:
  void Paint() override;

 private:
  std::vector<std::string> texts_;
  int panelWidth_;
};
