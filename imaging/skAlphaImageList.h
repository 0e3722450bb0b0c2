// The portable half of the alpha image list: its items (whole PNG or icon files kept with
// their alpha), decoding an item at the list's size, the alpha repairs and the state cells
// of glyph strips. The list itself, over the system's image list, is skAlphaImageListWin32.h.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/Collection.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"

enum TsImageFormat { ifPNG, ifICO };

class TsImgListItem : public TCollectionItem {
  K_CLASS_PUBLISHED(TsImgListItem, TCollectionItem)
  explicit TsImgListItem(TCollection* collection = nullptr);

  TsImageFormat ImageFormat() const { return imageFormat_; }
  void SetImageFormat(TsImageFormat value) { imageFormat_ = value; }
  // Copied with the item; nothing else reads it.
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat value) { pixelFormat_ = value; }
  // The complete image file ("ImgData" in the form resource).
  TMemoryStream& ImgData() { return data_; }
  int64_t DataSize() const { return data_.Size(); }
  const uint8_t* DataBytes() const { return data_.Memory(); }

  // Copies ImageFormat, PixelFormat and the bytes from another item.
  void Assign(TPersistent* source) override;
  void AssignTo(TPersistent* dest) override;

 private:
  TsImageFormat imageFormat_ = ifPNG;
  TPixelFormat pixelFormat_ = pf32bit;
  mutable TMemoryStream data_;  // mutable: the stream's Size() is not const
};

class TsImgListItems : public TCollection {
  K_CLASS(TsImgListItems, TCollection)
  explicit TsImgListItems(TPersistent* owner = nullptr);

  TsImgListItem* Add() { return static_cast<TsImgListItem*>(TCollection::Add()); }
  TsImgListItem* ItemAt(int index) const { return static_cast<TsImgListItem*>(Items(index)); }
};

// True when any pixel of the 32-bit bitmap has a non-zero alpha byte.
bool HasAlphaChannel(const TBitmap& bitmap);

// A 32-bit bitmap without any alpha: the colour of the bottom-left pixel becomes
// transparent, every other pixel opaque. Bitmaps that carry alpha stay as they are.
void RepairAlpha(TBitmap& bitmap);

// A 32-bit bitmap without any alpha (an image added through the plain list methods):
// every pixel whose value is not the key 0x00FF00FF becomes opaque. False when the
// bitmap already carried alpha and was left alone.
bool GiveOpaqueAlphaExceptKey(TBitmap& bitmap);

// Decodes a PNG item into a 32-bit bitmap of width x height (resampled when the PNG has
// another size) with its alpha. False for an ICO item or one without data; a damaged PNG
// raises the decoder's error.
bool DecodeItemBitmap(const TsImgListItem& item, int width, int height, TBitmap& bitmap);

// One state of a strip of `cellCount` equal cells across an image `width` wide: its left
// edge and width. The state is limited to cellCount - 1.
struct TGlyphCell {
  int Left = 0;
  int Width = 0;
};
TGlyphCell GlyphCellOf(int width, int cellCount, int state);
