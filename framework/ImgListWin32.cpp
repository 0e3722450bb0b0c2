#include "framework/ImgListWin32.h"

namespace {

COLORREF ToListColor(TColor color) {
  if (color == clNone) return CLR_NONE;
  if (color == clDefault) return CLR_DEFAULT;
  return static_cast<COLORREF>(ColorToRGB(color)) & 0x00FFFFFF;
}

TColor FromListColor(COLORREF color) {
  if (color == CLR_NONE) return clNone;
  if (color == CLR_DEFAULT) return clDefault;
  return static_cast<TColor>(color);
}

UINT StyleFlags(TDrawingStyle style, TImageType type) {
  static const UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  return kStyles[style] | (type == itMask ? ILD_MASK : 0);
}

}  // namespace

K_PUBLISH(TImageList) {
  p.Prop("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy);
  p.Prop("BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor);
  p.Prop("BkColor", &TImageList::BkColor, &TImageList::SetBkColor);
  p.Enum("DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle,
         {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"});
  p.Prop("Height", &TImageList::Height, &TImageList::SetHeight);
  p.Enum("ImageType", &TImageList::ImageType, &TImageList::SetImageType, {"itImage", "itMask"});
  p.Prop("Masked", &TImageList::Masked, &TImageList::SetMasked);
  p.Prop("ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages);
  p.Prop("Width", &TImageList::Width, &TImageList::SetWidth);
}

// ---------------------------------------------------------------- TChangeLink

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(sender_);
}

// ---------------------------------------------------------------- TCustomImageList

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->SetSender(nullptr);
  links_.clear();
  FreeHandle();
}

void TCustomImageList::CreateImageList() {
  if (handle_) return;
  const UINT flags = ILC_COLOR32 | (masked_ ? ILC_MASK : 0);
  handle_ = ::ImageList_Create(width_, height_, flags, allocBy_, allocBy_);
  if (!handle_) throw EInvalidOperation("Failed to create the image list");
  ::ImageList_SetBkColor(handle_, ToListColor(bkColor_));
}

void TCustomImageList::FreeHandle() {
  if (handle_ && !shareImages_) ::ImageList_Destroy(handle_);
  handle_ = nullptr;
}

HIMAGELIST TCustomImageList::Handle() {
  CreateImageList();
  return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST value) {
  if (value == handle_) return;
  FreeHandle();
  handle_ = value;
  if (handle_) {
    int cx = 0, cy = 0;
    if (::ImageList_GetIconSize(handle_, &cx, &cy)) {
      width_ = cx;
      height_ = cy;
    }
    bkColor_ = FromListColor(::ImageList_GetBkColor(handle_));
  }
  Change();
}

void TCustomImageList::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  // The system list cannot change its image size and keep its images.
  if (handle_) {
    FreeHandle();
    Change();
  }
}

void TCustomImageList::SetWidth(int value) { SetSize(value, height_); }
void TCustomImageList::SetHeight(int value) { SetSize(width_, value); }

void TCustomImageList::SetMasked(bool value) {
  if (value == masked_) return;
  masked_ = value;
  if (handle_) {
    FreeHandle();
    Change();
  }
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
  if (value == drawingStyle_) return;
  drawingStyle_ = value;
  Change();
}

void TCustomImageList::SetImageType(TImageType value) {
  if (value == imageType_) return;
  imageType_ = value;
  Change();
}

TColor TCustomImageList::BkColor() {
  return handle_ ? FromListColor(::ImageList_GetBkColor(handle_)) : bkColor_;
}

void TCustomImageList::SetBkColor(TColor value) {
  bkColor_ = value;
  if (handle_) ::ImageList_SetBkColor(handle_, ToListColor(value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor value) {
  if (value == blendColor_) return;
  blendColor_ = value;
  Change();
}

int TCustomImageList::Count() { return handle_ ? ::ImageList_GetImageCount(handle_) : 0; }

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image) return -1;
  const int index = ::ImageList_Add(Handle(), BitmapHandle(image), mask ? BitmapHandle(mask) : nullptr);
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image) return -1;
  // The system blackens the masked pixels of the bitmap it is given: it gets a copy.
  TBitmap copy;
  copy.Assign(image);
  const int index = ::ImageList_AddMasked(Handle(), BitmapHandle(&copy), ToListColor(maskColor));
  Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  const int index = ::ImageList_ReplaceIcon(Handle(), -1, IconHandle(icon));
  Change();
  return index;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  if (!image || !handle_) return;
  ::ImageList_Replace(handle_, index, BitmapHandle(image), mask ? BitmapHandle(mask) : nullptr);
  Change();
}

void TCustomImageList::ReplaceIcon(int index, TIcon* icon) {
  if (!icon || icon->Empty() || !handle_) return;
  ::ImageList_ReplaceIcon(handle_, index, IconHandle(icon));
  Change();
}

void TCustomImageList::Delete(int index) {
  if (!handle_ || index < 0 || index >= Count()) return;
  ::ImageList_Remove(handle_, index);
  Change();
}

void TCustomImageList::Clear() {
  if (!handle_) return;
  ::ImageList_Remove(handle_, -1);
  Change();
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image || !handle_ || index < 0 || index >= Count()) return;
  image->SetSize(width_, height_);
  TCanvas* canvas = image->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(Rect(0, 0, width_, height_));
  ::ImageList_Draw(handle_, index, canvas->Handle(), 0, 0, ILD_NORMAL);
}

void TCustomImageList::GetIcon(int index, TIcon* icon) {
  if (!icon || !handle_ || index < 0 || index >= Count()) return;
  SetIconHandle(icon, ::ImageList_GetIcon(handle_, index, ILD_NORMAL));
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style,
                            TImageType type, bool enabled) {
  if (!canvas || !handle_ || index < 0 || index >= Count()) return;
  DoDraw(index, canvas, x, y, StyleFlags(style, type), enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  if (enabled) {
    ::ImageList_DrawEx(handle_, index, canvas->Handle(), x, y, 0, 0, ToListColor(bkColor_),
                       ToListColor(blendColor_), style);
    return;
  }
  // A disabled image: the pixels it covers are mixed half and half with the button
  // face. Done by hand, since not every system blends (ILD_BLEND50) on request.
  TBitmap before, after;
  for (TBitmap* b : {&before, &after}) {
    b->SetPixelFormat(pf32bit);
    b->SetSize(width_, height_);
    ::BitBlt(b->Canvas()->Handle(), 0, 0, width_, height_, canvas->Handle(), x, y, SRCCOPY);
  }
  ::ImageList_DrawEx(handle_, index, after.Canvas()->Handle(), 0, 0, 0, 0, ToListColor(bkColor_),
                     ToListColor(blendColor_), style);
  const TColor face = ColorToRGB(clBtnFace);
  for (int row = 0; row < height_; ++row) {
    const uint8_t* b = before.ScanLine(row);
    uint8_t* a = after.ScanLine(row);
    for (int col = 0; col < width_; ++col, b += 4, a += 4) {
      if (b[0] == a[0] && b[1] == a[1] && b[2] == a[2]) continue;  // not covered by the image
      a[0] = static_cast<uint8_t>((a[0] + ColorB(face)) / 2);
      a[1] = static_cast<uint8_t>((a[1] + ColorG(face)) / 2);
      a[2] = static_cast<uint8_t>((a[2] + ColorR(face)) / 2);
    }
  }
  ::BitBlt(canvas->Handle(), x, y, width_, height_, after.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TCustomImageList::Assign(TPersistent* source) {
  if (auto* list = dynamic_cast<TCustomImageList*>(source)) {
    if (list == this) return;
    FreeHandle();
    width_ = list->width_;
    height_ = list->height_;
    masked_ = list->masked_;
    allocBy_ = list->allocBy_;
    drawingStyle_ = list->drawingStyle_;
    imageType_ = list->imageType_;
    bkColor_ = list->BkColor();
    blendColor_ = list->blendColor_;
    // The copy owns its images, whatever the source shares.
    shareImages_ = false;
    if (list->handle_) handle_ = ::ImageList_Duplicate(list->handle_);
    Change();
    return;
  }
  TComponent::Assign(source);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link) return;
  link->SetSender(this);
  for (TChangeLink* l : links_)
    if (l == link) return;
  links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  for (size_t i = 0; i < links_.size(); ++i) {
    if (links_[i] == link) {
      link->SetSender(nullptr);
      links_.erase(links_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

void TCustomImageList::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changed_) {
    changed_ = false;
    Change();
  }
}

void TCustomImageList::Change() {
  if (updateCount_ > 0) {
    changed_ = true;
    return;
  }
  // A link may unregister itself while it is told: work on a copy.
  std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::Loaded() {
  TComponent::Loaded();
  Change();
}
