// The skinned bevel: the framework's bevel that, while a skin is active, shows the frame
// strips of a section picture instead of its drawn lines ("GROUPBOX" for a frame, "PANEL"
// raised, "PANEL_LOW" lowered). It follows its shape and style; without a skin it keeps the
// standard look.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ExtCtrlsWin32.h"
#include "skin/controls/sBevelGeometry.h"
#include "skin/core/painting/sCommonDataWin32.h"

class TsBevel : public TBevel {
  K_CLASS(TsBevel, TBevel)
  explicit TsBevel(TComponent* owner);
  ~TsBevel() override;

  TsCommonData* SkinData() const { return skinData_.get(); }
  // A new shape or style picks the section again before the repaint.
  void Invalidate() override;
  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void Paint() override;

 private:
  class TCmdHandler;

  TsBevelLines Lines() const;
  void UpdateSection();
  void PrepareCache();

  TControlSkinHost host_;
  std::unique_ptr<TsCommonData> skinData_;
  TBevelShape storedShape_;
  TBevelStyle storedStyle_;
};
