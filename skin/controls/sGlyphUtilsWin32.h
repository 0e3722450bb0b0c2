// The glyph mode of a combo edit's button: which image list and which images its button shows
// (its own list, or the built-in button pictures when it names no image of its own), the
// button's width and state cells that follow from them, and the blend, grey look and hint
// the button keeps for it.
#pragma once

#include <string>

#include "framework/Component.h"
#include "framework/ImgListWin32.h"
#include "skin/controls/sGlyphUtils.h"

class TControl;
class TsAlphaImageList;
class TsSpeedButton;

// The built-in button pictures: five 48 x 16 strips of three state cells (a folder, a round
// arrow, a calendar, three dots, a calculator), made from the program's resources at first use
// and kept for the program's run.
TsAlphaImageList* BuiltInButtonGlyphs();
// The built-in pictures in their order.
enum TsBuiltInButtonGlyph { bgFolder, bgRefresh, bgDate, bgEllipsis, bgCalculator };

class TsGlyphMode : public TPersistent {
 public:
  explicit TsGlyphMode(TControl* owner);

  // The owner's button, set by the owner once it exists; nil while it has none.
  TsSpeedButton* Button() const { return button_; }
  void SetButton(TsSpeedButton* value);

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int ImageIndexHot() const { return imageIndexHot_; }
  void SetImageIndexHot(int value);
  int ImageIndexPressed() const { return imageIndexPressed_; }
  void SetImageIndexPressed(int value);
  // Kept in the button: 0 and false while it is not ready (none yet, loading or going).
  int Blend() const;
  void SetBlend(int value);
  bool Grayed() const;
  void SetGrayed(bool value);
  // The button's hint when there is a button, else the owner's.
  std::string Hint() const;
  void SetHint(const std::string& value);

  // The list the button shows: Images when it holds ImageIndex, else the built-in pictures.
  TCustomImageList* ChosenList() const;
  int CellCount() const;
  int GlyphWidth() const;
  int GlyphHeight() const;
  // The button takes the glyph's width (and a pixel either side) and its state cells.
  void UpdateButton();

 private:
  TsGlyphModeSize Size() const;
  bool ButtonReady() const;

  TControl* owner_;
  TCustomImageList* images_ = nullptr;
  int imageIndex_ = -1;
  int imageIndexHot_ = -1;
  int imageIndexPressed_ = -1;
  TsSpeedButton* button_ = nullptr;
};
