// A text of the program's own shown in a skinned form's title after its caption, in a font of
// its own; with the font's colour left at clNone it takes the skin's title colours.
#pragma once

#include <memory>
#include <string>

#include "framework/Canvas.h"
#include "framework/Component.h"

class TsSkinProvider;

class TskAddedTitle : public TPersistent {
  K_CLASS(TskAddedTitle, TPersistent)

 public:
  explicit TskAddedTitle(TsSkinProvider* owner);
  ~TskAddedTitle() override;

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value);
  // The form's own caption stands before the added text.
  bool ShowMainCaption() const { return showMainCaption_; }
  void SetShowMainCaption(bool value);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);

 private:
  void Repaint();

  TsSkinProvider* owner_;
  std::unique_ptr<TFont> font_;
  bool showMainCaption_ = true;
  std::string text_;
};
