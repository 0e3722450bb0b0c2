// The alpha image list: keeps its pictures as whole PNG or icon files (Items) and builds the
// system image list from them with 32-bit colour and alpha; PNG items are drawn by their
// own alpha over whatever lies behind them. Helpers draw one state cell of a glyph strip.
#pragma once

#include <memory>

#include "framework/ImgListWin32.h"
#include "imaging/skAlphaImageList.h"

class TsAlphaImageList : public TImageList {
  K_CLASS(TsAlphaImageList, TImageList)
  explicit TsAlphaImageList(TComponent* owner);
  ~TsAlphaImageList() override;

  TsImgListItems* Items() const { return items_.get(); }
  // The list's own items copy the given collection.
  void SetItems(TsImgListItems* value);

  // Outside form loading: makes the system list and builds it from Items once.
  void AfterConstruction();
  void Loaded() override;
  // Refills the system list from Items.
  void RebuildFromItems();
  // Copies the items (or, for another kind of list, the icons) of the source.
  void CopyImagesFrom(TCustomImageList* source);
  void Assign(TPersistent* source) override;

  // Suspend and resume change handling; EndUpdate(true) reports the change.
  void BeginUpdate() { updating_ = true; }
  void EndUpdate(bool notify = true);

 protected:
  void Change() override;
  void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) override;

 private:
  friend bool GetListImageBitmap(TCustomImageList* list, int index, TBitmap* bitmap);
  void AddItemImage(const TsImgListItem& item);
  void GiveAlphaToPlainImages();

  std::unique_ptr<TsImgListItems> items_;
  bool listBuilt_ = false;
  bool updating_ = false;
  bool keepItemData_ = true;
};

// Copies image `index` of any image list into a 32-bit bitmap (a PNG item of an alpha list
// at the bitmap's size when it differs from the list's); false without a list, a bitmap or
// such an image.
bool GetListImageBitmap(TCustomImageList* list, int index, TBitmap* bitmap);

// Draws state `state` of image `index`, a strip of `cellCount` cells, at `at` in `bitmap`
// (32-bit); answers the cell's size, or (0, 0) when nothing was drawn.
TPoint DrawGlyphCell(TCustomImageList* list, TBitmap* bitmap, TPoint at, int index, int cellCount,
                     int state, bool reflected, int transparency, TColor blendColor);
// The same onto a device context.
TPoint DrawGlyphCellToDC(TCustomImageList* list, HDC dc, TPoint at, int index, int cellCount,
                         int state, bool reflected, int transparency, TColor blendColor);
