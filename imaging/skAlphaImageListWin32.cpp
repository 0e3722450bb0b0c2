#include "imaging/skAlphaImageListWin32.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "framework/HandlesWin32.h"
#include "framework/IconWin32.h"
#include "framework/ScopeExit.h"
#include "imaging/skAlphaImageListPixels.h"
#include "imaging/skPNG.h"

namespace {

// The item's file as a stream of its own, read from the start.
void CopyItemData(const TsImgListItem& item, TMemoryStream& out) {
  if (item.DataSize() > 0) out.Write(item.DataBytes(), static_cast<int32_t>(item.DataSize()));
  out.Seek(0, soBeginning);
}

// The colour bitmap of an icon as a 32-bit bitmap of width x height (alpha as stored).
bool IconColorBits(HICON icon, int width, int height, TBitmap& out) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return false;
  TGdiObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
  if (!color) return false;
  out.SetPixelFormat(pf32bit);
  out.SetSize(width, height);
  out.Fill(clBlack);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> bits(static_cast<size_t>(width) * height * 4);
  TWindowDC screen(nullptr);
  if (!::GetDIBits(screen.Get(), color.Get(), 0, height, bits.data(), &bi, DIB_RGB_COLORS))
    return false;
  for (int y = 0; y < height; ++y)
    std::memcpy(out.ScanLine(y), bits.data() + static_cast<size_t>(y) * width * 4,
                static_cast<size_t>(width) * 4);
  return true;
}

}  // namespace

TsAlphaImageList::TsAlphaImageList(TComponent* owner)
    : TImageList(owner), items_(std::make_unique<TsImgListItems>(this)) {}

TsAlphaImageList::~TsAlphaImageList() = default;

void TsAlphaImageList::SetItems(TsImgListItems* value) { items_->Assign(value); }

void TsAlphaImageList::AfterConstruction() {
  if (ComponentState().Contains(csLoading)) return;
  Handle();
  if (!listBuilt_) RebuildFromItems();
}

void TsAlphaImageList::Loaded() {
  TImageList::Loaded();
  Handle();
  if (!listBuilt_) {
    RebuildFromItems();
    listBuilt_ = true;
  }
}

void TsAlphaImageList::AddItemImage(const TsImgListItem& item) {
  TMemoryStream data;
  CopyItemData(item, data);
  if (item.ImageFormat() == ifPNG) {
    TPNGGraphic png;
    png.LoadFromStream(data);
    const TColor bk = BkColor();
    TIconHandle icon(
        png.MakeIconOnColor(bk == clNone || bk == clDefault ? clBlack : ColorToRGB(bk)));
    if (icon) ::ImageList_ReplaceIcon(Handle(), -1, icon.Get());
  } else {
    TIcon icon;
    icon.LoadFromStream(data);
    if (!icon.Empty()) ::ImageList_ReplaceIcon(Handle(), -1, IconHandle(&icon));
  }
}

void TsAlphaImageList::RebuildFromItems() {
  if (!HandleAllocated()) return;
  updating_ = true;
  TScopeExit notUpdating([this] { updating_ = false; });
  ::ImageList_RemoveAll(Handle());
  for (int i = 0; i < items_->Count(); ++i) AddItemImage(*items_->ItemAt(i));
  if (items_->Count() > 0) listBuilt_ = true;
}

void TsAlphaImageList::EndUpdate(bool notify) {
  updating_ = false;
  if (notify) Change();
}

void TsAlphaImageList::Change() {
  if (updating_ || !HandleAllocated() || ComponentState().Contains(csLoading) || !listBuilt_)
    return;
  const int images = ::ImageList_GetImageCount(Handle());
  const bool designing = ComponentState().Contains(csDesigning);
  if (designing || images > items_->Count()) TImageList::Change();
  if (designing) return;
  if (items_->Count() > images) {
    RebuildFromItems();
    TImageList::Change();
  } else if (images > items_->Count()) {
    GiveAlphaToPlainImages();
  }
}

void TsAlphaImageList::GiveAlphaToPlainImages() {
  const int images = ::ImageList_GetImageCount(Handle());
  for (int i = 0; i < images; ++i) {
    TIconHandle icon(::ImageList_GetIcon(Handle(), i, ILD_NORMAL));
    if (!icon) continue;
    TBitmap image;
    if (!IconColorBits(icon.Get(), Width(), Height(), image)) continue;
    if (!GiveOpaqueAlphaExceptKey(image)) continue;  // icons with alpha stay as they are
    ICONINFO info{};
    if (!::GetIconInfo(icon.Get(), &info)) continue;
    TGdiObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
    ICONINFO made{};
    made.fIcon = TRUE;
    made.hbmMask = mask.Get();
    made.hbmColor = BitmapHandle(&image);
    TIconHandle replacement(::CreateIconIndirect(&made));
    if (replacement) ::ImageList_ReplaceIcon(Handle(), i, replacement.Get());
  }
}

void TsAlphaImageList::CopyImagesFrom(TCustomImageList* source) {
  if (!source || !HandleAllocated() || !source->HandleAllocated()) return;
  ::ImageList_SetBkColor(source->Handle(), CLR_NONE);
  auto* alpha = dynamic_cast<TsAlphaImageList*>(source);
  if (keepItemData_ && alpha) {
    items_->Clear();
    for (int i = 0; i < alpha->items_->Count(); ++i)
      items_->Add()->Assign(alpha->items_->ItemAt(i));
    RebuildFromItems();
    return;
  }
  ::ImageList_RemoveAll(Handle());
  ::ImageList_SetBkColor(Handle(), CLR_NONE);
  const int images = ::ImageList_GetImageCount(source->Handle());
  for (int i = 0; i < images; ++i) {
    TIconHandle icon(::ImageList_GetIcon(source->Handle(), i, ILD_TRANSPARENT));
    if (icon) ::ImageList_ReplaceIcon(Handle(), -1, icon.Get());
  }
}

void TsAlphaImageList::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TsAlphaImageList*>(source);
  if (!other) {
    TImageList::Assign(source);
    return;
  }
  if (other == this) return;
  updating_ = true;
  {
    TScopeExit cleanup([&] { updating_ = false; });
    SetMasked(other->Masked());
    SetImageType(other->ImageType());
    SetDrawingStyle(other->DrawingStyle());
    SetShareImages(other->ShareImages());
    int width = other->Width(), height = other->Height();
    if (other->HandleAllocated()) ::ImageList_GetIconSize(other->Handle(), &width, &height);
    SetSize(width, height);  // a new size makes the system list anew
    SetBkColor(other->BkColor());
    SetBlendColor(other->BlendColor());
    Handle();
    CopyImagesFrom(other);
  }
}

void TsAlphaImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT, bool) {
  if (!HandleAllocated()) return;
  const bool pngItem =
      index >= 0 && index < items_->Count() && items_->ItemAt(index)->ImageFormat() == ifPNG;
  if (!pngItem) {
    ::ImageList_SetBkColor(Handle(), CLR_NONE);
    TIconHandle icon(::ImageList_GetIcon(Handle(), index, ILD_TRANSPARENT));
    if (icon)
      ::DrawIconEx(canvas->Handle(), x, y, icon.Get(), Width(), Height(), 0, nullptr, DI_NORMAL);
    return;
  }
  TBitmap image;
  image.SetPixelFormat(pf32bit);
  image.SetSize(Width(), Height());
  if (!GetListImageBitmap(this, index, &image)) return;
  // The glyph is composed over a copy of what lies beneath it, then copied back.
  TBitmap behind;
  behind.SetPixelFormat(pf32bit);
  behind.SetSize(Width(), Height());
  ::BitBlt(behind.Canvas()->Handle(), 0, 0, Width(), Height(), canvas->Handle(), x, y, SRCCOPY);
  TsGlyphCopy copy;
  copy.DestRect = copy.SourceRect = Rect(0, 0, Width(), Height());
  copy.Dest = &behind;
  copy.Source = &image;
  copy.OverOwnBackground = true;
  AlphaImagePixels().CopyGlyph(copy);
  ::BitBlt(canvas->Handle(), x, y, Width(), Height(), behind.Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool GetListImageBitmap(TCustomImageList* list, int index, TBitmap* bitmap) {
  if (!list || !bitmap || !list->HandleAllocated()) return false;
  if (index < 0 || index >= list->Count()) return false;
  if (auto* alpha = dynamic_cast<TsAlphaImageList*>(list); alpha && alpha->keepItemData_) {
    if (index < alpha->items_->Count()) {
      const TsImgListItem& item = *alpha->items_->ItemAt(index);
      if (item.ImageFormat() == ifPNG && item.DataSize() > 0) {
        const int width = bitmap->Width() > 0 ? bitmap->Width() : list->Width();
        const int height = bitmap->Height() > 0 ? bitmap->Height() : list->Height();
        return DecodeItemBitmap(item, width, height, *bitmap);
      }
    }
  }
  TIconHandle icon(::ImageList_GetIcon(list->Handle(), index, ILD_NORMAL));
  if (!icon) return false;
  const int width = bitmap->Width() > 0 ? bitmap->Width() : list->Width();
  const int height = bitmap->Height() > 0 ? bitmap->Height() : list->Height();
  TBitmap colour;
  if (!IconColorBits(icon.Get(), width, height, colour)) return false;
  bitmap->Assign(&colour);
  return true;
}

TPoint DrawGlyphCell(TCustomImageList* list, TBitmap* bitmap, TPoint at, int index, int cellCount,
                     int state, bool reflected, int transparency, TColor blendColor) {
  if (!list || !bitmap || bitmap->Width() == 0 || !list->HandleAllocated()) return {0, 0};
  const TGlyphCell cell = GlyphCellOf(list->Width(), cellCount, state);
  const int height = list->Height();
  if (dynamic_cast<TsAlphaImageList*>(list)) {
    TBitmap image;
    image.SetPixelFormat(pf32bit);
    image.SetSize(list->Width(), height);
    if (!GetListImageBitmap(list, index, &image)) return {0, 0};
    TsGlyphCopy copy;
    copy.DestRect = Rect(at.X, at.Y, at.X + cell.Width, at.Y + height);
    copy.SourceRect = Rect(cell.Left, 0, cell.Left + cell.Width, height);
    copy.Dest = bitmap;
    copy.Source = &image;
    copy.Reflected = reflected;
    copy.Transparency = transparency;
    copy.BlendColor = blendColor;
    AlphaImagePixels().CopyGlyph(copy);
  } else {
    // Other lists draw themselves over what lies beneath the cell.
    TBitmap image;
    image.SetPixelFormat(pf32bit);
    image.SetSize(list->Width(), height);
    ::BitBlt(image.Canvas()->Handle(), 0, 0, list->Width(), height, bitmap->Canvas()->Handle(),
             at.X - cell.Left, at.Y, SRCCOPY);
    list->Draw(image.Canvas(), 0, 0, index);
    ::BitBlt(bitmap->Canvas()->Handle(), at.X, at.Y, cell.Width, height, image.Canvas()->Handle(),
             cell.Left, 0, SRCCOPY);
  }
  return {cell.Width, height};
}

TPoint DrawGlyphCellToDC(TCustomImageList* list, HDC dc, TPoint at, int index, int cellCount,
                         int state, bool reflected, int transparency, TColor blendColor) {
  if (!list || !list->HandleAllocated()) return {0, 0};
  const TGlyphCell cell = GlyphCellOf(list->Width(), cellCount, state);
  const int height = list->Height() + (reflected ? list->Height() / 2 : 0);
  TBitmap area;
  area.SetPixelFormat(pf32bit);
  area.SetSize(std::max(cell.Width, 1), std::max(height, 1));
  ::BitBlt(area.Canvas()->Handle(), 0, 0, cell.Width, height, dc, at.X, at.Y, SRCCOPY);
  const TPoint size = DrawGlyphCell(list, &area, {0, 0}, index, cellCount, state, reflected,
                                    transparency, blendColor);
  ::BitBlt(dc, at.X, at.Y, cell.Width, height, area.Canvas()->Handle(), 0, 0, SRCCOPY);
  return size;
}
