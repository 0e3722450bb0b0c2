// A title button of the program's own on a skinned form: shown left of the standard buttons,
// with the skin's title-button image behind its glyph, and events for the mouse. Its hit code
// is 1000 + its index in the provider's TitleButtons.
#pragma once

#include <memory>
#include <string>

#include "framework/Collection.h"
#include "framework/ControlsWin32.h"
#include "framework/Graphics.h"

class TsTitleButton : public TCollectionItem {
  K_CLASS(TsTitleButton, TCollectionItem)

 public:
  explicit TsTitleButton(TCollection* collection);
  ~TsTitleButton() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Drawn centred over the button; assigning copies the picture.
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) { name_ = value; }
  bool UseSkinData() const { return useSkinData_; }
  void SetUseSkinData(bool value);
  // A hidden button takes no place; a change repaints the frame at once.
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  KFW_EVENT(TMouseEvent, OnMouseDown)
  KFW_EVENT(TMouseEvent, OnMouseUp)

 public:
  std::string GetDisplayName() const override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // The hint beside the mouse while the button is hot (none for an empty hint).
  void OpenHintWindow();
  void CloseHintWindow() { hintWindow_.reset(); }
  THintWindow* HintWindow() const { return hintWindow_.get(); }

 protected:
  // Into another title button: everything but Visible.
  void AssignTo(TPersistent* dest) override;

 private:
  // The frame shows the change.
  void Repaint();

  bool enabled_ = true;
  std::unique_ptr<TBitmap> glyph_;
  std::string hint_;
  std::string name_;
  bool useSkinData_ = true;
  bool visible_ = true;
  std::unique_ptr<THintWindow> hintWindow_;
};
