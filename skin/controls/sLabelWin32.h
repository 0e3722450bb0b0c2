// Skinned labels: graphic controls that follow the default skin manager. They take their font
// colour from the skin (the nearest parent section that gives its font, else the skin's global
// font colour), may paint a section behind their text, and show disabled text as a mix of font
// and background colour. The edit label is the caption a bound label keeps beside its control;
// the web label opens its address when clicked; the sticky label stays beside another control.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/StdCtrlsWin32.h"
#include "skin/controls/sStickyPlace.h"
#include "skin/core/runtime/sBoundLabel.h"

class TsCustomLabel : public TCustomLabel {
  K_CLASS(TsCustomLabel, TCustomLabel)
  explicit TsCustomLabel(TComponent* owner);

  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& value);
  // OnMouseEnter and OnMouseLeave are the framework control's own.
  void WndProc(TMessage& message) override;
  // The font the label paints with (its own, coloured from the skin).
  virtual TFont* GetCurrentFont();

 protected:
  void Paint() override;
  void DoDrawText(TRect& rect, UINT flags) override;

 private:
  std::string skinSection_;
};

class TsLabel : public TsCustomLabel {
  K_CLASS(TsLabel, TsCustomLabel)
  explicit TsLabel(TComponent* owner) : TsCustomLabel(owner) {}

  bool UseSkinColor() const { return useSkinColor_; }
  void SetUseSkinColor(bool value) { useSkinColor_ = value; }
  void WndProc(TMessage& message) override;
  TFont* GetCurrentFont() override;

 private:
  bool useSkinColor_ = true;
};

// The label a bound label shows beside its control.
class TsEditLabel : public TsLabel {
  K_CLASS(TsEditLabel, TsLabel)
  explicit TsEditLabel(TComponent* owner) : TsLabel(owner) {}
  TsEditLabel(TWinControl* control, TsBoundLabel* boundLabel);
  TsBoundLabel* BoundLabel() const { return boundLabel_; }

 private:
  TsBoundLabel* boundLabel_ = nullptr;
};

// The label object of `boundLabel` for `control`: a new TsEditLabel owned by the control,
// freed when the bound label lets it go.
std::unique_ptr<IEditLabel> MakeEditLabel(TWinControl* control, TsBoundLabel* boundLabel);

// The system's show commands, in their numbers' order.
enum TsWindowShowMode {
  soHide,
  soNormal,
  soShowMinimized,
  soMaximize,
  soShowNoActivate,
  soShow,
  soMinimize,
  soShowMinNoActive,
  soShowNA,
  soRestore,
  soDefault
};

class TsWebLabel : public TsLabel {
  K_CLASS(TsWebLabel, TsLabel)
  explicit TsWebLabel(TComponent* owner);

  TFont* NormalFont() const { return normalFont_.get(); }
  TFont* HoverFont() const { return hoverFont_.get(); }
  void SetLabelFont(TFont* value);
  void SetHoverFont(TFont* value) { hoverFont_->Assign(value); }
  const std::string& URL() const { return url_; }
  void SetURL(const std::string& value) { url_ = value; }
  TsWindowShowMode ShowMode() const { return showMode_; }
  void SetShowMode(TsWindowShowMode value) { showMode_ = value; }
  bool MouseAbove() const { return mouseAbove_; }

  void WndProc(TMessage& message) override;
  TFont* GetCurrentFont() override;
  // Opens the address; replaceable so tests see the call without starting a browser.
  std::function<void(const std::string& url, int showCommand)> OpenAddress;

 protected:
  void Loaded() override;

 private:
  void SetMouseAbove(bool value);

  std::unique_ptr<TFont> normalFont_;
  std::unique_ptr<TFont> hoverFont_;
  std::string url_;
  TsWindowShowMode showMode_ = soDefault;
  bool mouseAbove_ = false;
};

class TsStickyLabel : public TsLabel {
  K_CLASS(TsStickyLabel, TsLabel)
  explicit TsStickyLabel(TComponent* owner) : TsLabel(owner) {}
  ~TsStickyLabel() override;

  TWinControl* AttachTo() const { return attachTo_; }
  void SetAttachTo(TWinControl* value);
  TAlignTo AlignTo() const { return alignTo_; }
  void SetAlignTo(TAlignTo value);
  int Gap() const { return gap_; }
  void SetGap(int value);

  void WndProc(TMessage& message) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  enum class TFollow { Label, Control };
  void Realign(TFollow who);
  void AttachedWndProc(TMessage& message);

  TWinControl* attachTo_ = nullptr;
  TAlignTo alignTo_ = altLeft;
  int gap_ = 2;
  TWndMethod oldWindowProc_;
  bool realigning_ = false;
};
