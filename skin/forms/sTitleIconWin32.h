// The icon at the left of a skinned form's title: a picture of the program's own, or the
// form's icon, in a size of its own or the one the caption's height gives.
#pragma once

#include <memory>

#include "framework/Component.h"
#include "framework/Graphics.h"

class TsTitleIcon : public TPersistent {
  K_CLASS(TsTitleIcon, TPersistent)

 public:
  TsTitleIcon();
  ~TsTitleIcon() override;

  // Shown instead of the form's icon when not empty; assigning copies the picture.
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  // 0: the icon size for the caption's height.
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value; }
  int Width() const { return width_; }
  void SetWidth(int value) { width_ = value; }

 private:
  std::unique_ptr<TBitmap> glyph_;
  int height_ = 0;
  int width_ = 0;
};
