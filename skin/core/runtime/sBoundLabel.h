// The bound label: the caption label an edit-like skinned control keeps beside or above
// itself. The label control and the bound control are reached through small interfaces, so
// placement and the label's life are tested without windows.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "framework/Graphics.h"

enum TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };
enum TsLabelAlignment { laLeftJustify, laRightJustify, laCenter };

// The font a bound label keeps while it has no label.
struct TsBoundLabelFont {
  std::string Name = "MS Sans Serif";
  int Height = -11;
  TColor Color = clWindowText;
  bool operator==(const TsBoundLabelFont&) const = default;
};

// The control the label belongs to.
class IBoundControl {
 public:
  virtual ~IBoundControl() = default;
  virtual std::string Name() const = 0;
  virtual TRect BoundsRect() const = 0;  // in its parent
  virtual bool Visible() const = 0;
  virtual bool Enabled() const = 0;
};

// The label control (a TsEditLabel): lives on the bound control's parent.
class IEditLabel {
 public:
  virtual ~IEditLabel() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetAutoSize(bool value) = 0;
  virtual void SetWordWrap(bool value) = 0;
  virtual void SetAlignment(TsLabelAlignment value) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetBounds(int left, int top, int width, int height) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool value) = 0;
  virtual void SetEnabled(bool value) = 0;
  virtual void SetName(const std::string& name) = 0;
  // Puts the label on the bound control's parent, focus-linked to the control.
  virtual void AttachToControl() = 0;
  virtual TsBoundLabelFont Font() const = 0;
  virtual void SetFont(const TsBoundLabelFont& font) = 0;
  virtual bool UseSkinColor() const = 0;
  virtual void SetUseSkinColor(bool value) = 0;
};

class TsBoundLabel {
 public:
  using TLabelFactory = std::function<std::unique_ptr<IEditLabel>()>;
  TsBoundLabel(IBoundControl& control, TLabelFactory makeLabel);

  bool Active() const { return active_; }
  void SetActive(bool value);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  TsCaptionLayout Layout() const { return layout_; }
  void SetLayout(TsCaptionLayout value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int value);
  // The label's font, or the kept one without a label.
  TsBoundLabelFont Font() const;
  // Without a label only the kept font changes.
  void SetFont(const TsBoundLabelFont& value);
  // Kept while there is no label and handed to the next label.
  bool UseSkinColor() const;
  void SetUseSkinColor(bool value);
  IEditLabel* TheLabel() const { return label_.get(); }

  void AlignLabel();
  void UpdateAlignment();

 private:
  IBoundControl& control_;
  TLabelFactory makeLabel_;
  std::unique_ptr<IEditLabel> label_;
  bool active_ = false;
  std::string caption_;
  TsCaptionLayout layout_ = sclLeft;
  int indent_ = 0;
  int maxWidth_ = 0;
  TsBoundLabelFont font_;
  bool useSkinColor_ = true;
};
