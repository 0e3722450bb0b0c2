// The skin's painting of a foreign speed button (a framework speed button whose class one of
// the skin manager's foreign-class lists names). Such a button has no window, so no window
// adapter can take it: the handler takes the button's window method instead, paints the
// button from its skin data and hands every other message on to the method it replaced. The
// handler gives that method back when its manager removes the skin and when it is freed; a
// button freed first is let go of, never called again.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/ButtonsWin32.h"
#include "skin/adapters/skComponentWatch.h"
#include "skin/adapters/skSpeedButtonLayout.h"
#include "skin/core/painting/sCommonDataWin32.h"

class TsSkinManager;

class TskSpeedButtonHandler {
 public:
  // The skin data (not owned) takes `section` when it names none. The manager and the flag
  // play no part: the skin data names the manager.
  TskSpeedButtonHandler(TGraphicControl* button, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag);
  ~TskSpeedButtonHandler();
  TskSpeedButtonHandler(const TskSpeedButtonHandler&) = delete;
  TskSpeedButtonHandler& operator=(const TskSpeedButtonHandler&) = delete;

  // The button, or null once it was freed.
  TGraphicControl* Button() const { return button_; }
  TsCommonData* CommonData() const { return data_; }
  // The handler sits in the button's window method chain.
  bool Hooked() const { return hook_ && hook_->Active; }

  // 0 normal, 1 hot, 2 pressed (down, or held down as one of a group).
  int GetDrawState() const;
  TSize MeasureCaption();
  TRect GetGlyphRect();
  TRect GetCaptionRect();

 private:
  // The state the button's chain shares: once the handler is gone, or has given the method
  // back, messages only pass to the saved method.
  struct THook {
    TskSpeedButtonHandler* Handler = nullptr;
    TWndMethod Saved;
    bool Active = true;
  };
  void WndProc(TMessage& message);
  LRESULT CallSavedProc(UINT msg, WPARAM wParam, LPARAM& lParam);
  void PassOn(TMessage& message);
  // The button gets its saved method back; the handler hears nothing more.
  void Unhook();
  void ButtonFreed();
  bool OwnManager(const TMessage& message) const;
  void RepaintButton();

  void Paint(TMessage& message);
  void PrepareCache();
  void DrawCaption();
  void DrawGlyph();
  TskSpeedButtonFacts Facts();
  TSpeedButton* SpeedButton() const { return dynamic_cast<TSpeedButton*>(button_); }

  TGraphicControl* button_;
  TsCommonData* data_;
  std::shared_ptr<THook> hook_;
  TskComponentWatch watcher_;
};
