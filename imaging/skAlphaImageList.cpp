#include "imaging/skAlphaImageList.h"

#include <algorithm>
#include <cstring>

#include "framework/SysUtils.h"
#include "imaging/skAlphaImageListPixels.h"
#include "imaging/skPNG.h"

K_PUBLISH(TsImgListItem) {
  p.Enum("ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::SetImageFormat,
         {"ifPNG", "ifICO"});
}

TsImgListItem::TsImgListItem(TCollection* collection) : TCollectionItem(collection) {}

void TsImgListItem::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TsImgListItem*>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  if (other == this) return;
  imageFormat_ = other->imageFormat_;
  pixelFormat_ = other->pixelFormat_;
  data_.Clear();
  if (other->DataSize() > 0)
    data_.Write(other->DataBytes(), static_cast<int32_t>(other->DataSize()));
  data_.Seek(0, soBeginning);
}

void TsImgListItem::AssignTo(TPersistent* dest) {
  if (auto* other = dynamic_cast<TsImgListItem*>(dest)) {
    other->Assign(this);
    return;
  }
  TCollectionItem::AssignTo(dest);
}

TsImgListItems::TsImgListItems(TPersistent* owner)
    : TCollection(TsImgListItem::StaticClassInfo(), owner) {}

namespace {

constexpr uint32_t kKeyPixel = 0x00FF00FFu;

uint32_t PixelAt(const uint8_t* row, int x) {
  uint32_t v;
  std::memcpy(&v, row + 4 * x, 4);
  return v;
}

}  // namespace

bool HasAlphaChannel(const TBitmap& bitmap) {
  if (bitmap.PixelFormat() != pf32bit) return false;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x)
      if (row[4 * x + 3] != 0) return true;
  }
  return false;
}

void RepairAlpha(TBitmap& bitmap) {
  if (bitmap.PixelFormat() != pf32bit || bitmap.Empty() || HasAlphaChannel(bitmap)) return;
  // Compare colours only: every alpha byte is zero here.
  const uint32_t transparent = PixelAt(bitmap.ScanLine(bitmap.Height() - 1), 0);
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x)
      if (PixelAt(row, x) != transparent) row[4 * x + 3] = 255;
  }
}

bool GiveOpaqueAlphaExceptKey(TBitmap& bitmap) {
  if (bitmap.PixelFormat() != pf32bit || HasAlphaChannel(bitmap)) return false;
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x)
      if (PixelAt(row, x) != kKeyPixel) row[4 * x + 3] = 255;
  }
  return true;
}

bool DecodeItemBitmap(const TsImgListItem& item, int width, int height, TBitmap& bitmap) {
  if (item.ImageFormat() != ifPNG || item.DataSize() == 0) return false;
  TMemoryStream data;
  data.Write(item.DataBytes(), static_cast<int32_t>(item.DataSize()));
  data.Seek(0, soBeginning);
  TPNGGraphic png;
  png.LoadFromStream(data);
  if (png.Width() == width && png.Height() == height) {
    bitmap.Assign(&png);
  } else {
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(width, height);
    AlphaImagePixels().Stretch(&png, &bitmap);
  }
  if (bitmap.PixelFormat() != pf32bit) {
    bitmap.SetPixelFormat(pf32bit);
    RepairAlpha(bitmap);
  }
  return true;
}

TGlyphCell GlyphCellOf(int width, int cellCount, int state) {
  cellCount = std::max(cellCount, 1);
  TGlyphCell cell;
  cell.Width = width / cellCount;
  cell.Left = cell.Width * std::clamp(state, 0, cellCount - 1);
  return cell;
}

namespace {
IAlphaImagePixels* RegisteredPixels = nullptr;
}  // namespace

IAlphaImagePixels& AlphaImagePixels() {
  if (!RegisteredPixels)
    throw EInvalidOperation("The image list's pixel routines are not registered");
  return *RegisteredPixels;
}

void SetAlphaImagePixels(IAlphaImagePixels* pixels) { RegisteredPixels = pixels; }
