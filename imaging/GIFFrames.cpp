#include "imaging/GIFFrames.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "framework/ScopeExit.h"
#include "imaging/GIFColorReduction.h"
#include "imaging/GIFImage.h"
#include "imaging/GIFLzw.h"

namespace {

// A frame beyond its budget is refused before its buffer is allocated (GIFMemoryBudget.h).
std::vector<uint8_t> NewPixelBuffer(int64_t count, uint8_t fill, int64_t budget) {
  if (count > std::min(budget, kMaxGIFImagePixels)) throw EOutOfMemory("Out of memory");
  try {
    return std::vector<uint8_t>(static_cast<size_t>(count), fill);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory");
  }
}

// The most pixels the image data at the stream's position can deliver: the minimum code size,
// then sub-blocks up to the terminator or the end of the stream. The stream is left where it was.
int64_t PixelsDataCanDeliver(TStream& stream) {
  const int64_t start = stream.Position();
  TScopeExit rewind([&] { stream.SetPosition(start); });
  uint8_t minCodeSize = 0;
  if (!ReadStreamByte(stream, minCodeSize) || minCodeSize < 1 || minCodeSize > 11) return 0;
  int64_t bytes = 0;
  uint8_t length = 0;
  while (ReadStreamByte(stream, length) && length != 0) {
    const int64_t present = Min<int64_t>(length, BytesLeft(stream));
    bytes += present;
    stream.Seek(present, soCurrent);
  }
  // Every code takes at least minCodeSize + 1 bits; a last partial code counts whole.
  const int64_t codes = bytes * 8 / (minCodeSize + 1) + 1;
  return codes * kMaxGIFPixelsPerCode;
}

}  // namespace

TGIFSubImage::TGIFSubImage(TGIFImage* image)
    : TGIFItem(image), extensions_(this), colorMap_(this) {}

TGIFSubImage::~TGIFSubImage() {
  // Extensions may still look at the frame while they go.
  extensions_.FreeAllItems();
  gce_ = nullptr;
}

void TGIFSubImage::ClearFrame() {
  extensions_.FreeAllItems();
  colorMap_.ClearEntries();
  ReleasePixels();
  descriptor_.Height = 0;
  descriptor_.Width = 0;
  transparent_ = false;
  gce_ = nullptr;
  ReleaseBitmap();
  ReleaseMask();
}

bool TGIFSubImage::IsEmpty() const { return pixels_.empty() || Width() == 0 || Height() == 0; }

void TGIFSubImage::AllocatePixels() {
  ReleasePixels();
  const int64_t n = static_cast<int64_t>(Width()) * Height();
  if (n > 0) pixels_ = NewPixelBuffer(n, 0, kMaxGIFImagePixels);
}

void TGIFSubImage::RequirePixels() {
  if (pixels_.empty()) AllocatePixels();
  if (pixels_.empty()) RaiseGIFError("Image is empty");
}

void TGIFSubImage::ReleasePixels() {
  pixels_.clear();
  pixels_.shrink_to_fit();
}

int TGIFSubImage::BoundsValue(int index) const {
  switch (index) {
    case 1:
      return Left();
    case 2:
      return Top();
    case 3:
      return Width();
    case 4:
      return Height();
    default:
      return 0;
  }
}

void TGIFSubImage::SetBoundsValue(int index, int value) {
  switch (index) {
    case 1:
      SetFrameBounds(value, Top(), Width(), Height());
      break;
    case 2:
      SetFrameBounds(Left(), value, Width(), Height());
      break;
    case 3:
      SetFrameBounds(Left(), Top(), value, Height());
      break;
    case 4:
      SetFrameBounds(Left(), Top(), Width(), value);
      break;
    default:
      break;
  }
}

void TGIFSubImage::SetFrameBounds(int left, int top, int width, int height) {
  auto clamp16 = [](int v) { return static_cast<uint16_t>(Max(0, Min(v, 0xFFFF))); };
  const bool resized = clamp16(width) != descriptor_.Width || clamp16(height) != descriptor_.Height;
  descriptor_.Left = clamp16(left);
  descriptor_.Top = clamp16(top);
  descriptor_.Width = clamp16(width);
  descriptor_.Height = clamp16(height);
  if (resized) {
    ReleaseBitmap();
    ReleaseMask();
    AllocatePixels();
  }
  if (image_ == nullptr) return;
  bool tooLarge = false;
  TGIFScreenDescriptor& screen = image_->Header().Descriptor();
  if (screen.Width < Left() + Width()) {
    if (screen.Width > 0) {
      ReportWarning("Image width too small for contained frames");
      tooLarge = true;
    }
    screen.Width = clamp16(Left() + Width());
  }
  if (screen.Height < Top() + Height()) {
    if (screen.Height > 0) {
      ReportWarning("Image height too small for contained frames");
      tooLarge = true;
    }
    screen.Height = clamp16(Top() + Height());
  }
  if (tooLarge) ReportWarning("Image exceeds Logical Screen size");
}

void TGIFSubImage::SetInterlaced(bool value) {
  descriptor_.PackedFields =
      value ? descriptor_.PackedFields | 0x40 : descriptor_.PackedFields & ~0x40;
}

TGIFColorMap* TGIFSubImage::EffectiveColorMap() {
  if (colorMap_.Count() > 0) return &colorMap_;
  if (image_ != nullptr && image_->GlobalColorMap().Count() > 0) return &image_->GlobalColorMap();
  return &colorMap_;
}

uint8_t TGIFSubImage::PixelAt(int x, int y) {
  if (x < 0 || x >= Width()) RaiseGIFError("Invalid pixel coordinates");
  return PixelRow(y)[x];
}

uint8_t* TGIFSubImage::PixelRow(int y) {
  if (y < 0 || y >= Height()) RaiseGIFError("Invalid pixel coordinates");
  RequirePixels();
  return pixels_.data() + static_cast<int64_t>(y) * Width();
}

int TGIFSubImage::RequiredVersion() const {
  return colorMap_.Sorted() || extensions_.ItemCount() > 0 ? 2 : 1;
}

int TGIFSubImage::TransparentIndex() const {
  if (!transparent_ || gce_ == nullptr) return -1;
  return gce_->TransparentIndex();
}

// ---- palette and rendering ------------------------------------------------------------------
TColorTable TGIFSubImage::PaletteHandle() {
  if (bitmap_ && !bitmap_->Palette().empty()) return bitmap_->Palette();
  if (!palette_.empty()) return palette_;
  if (image_ != nullptr && image_->ShouldDither()) {
    palette_ = CreateColorCubePalette();
    return palette_;
  }
  if (colorMap_.Count() > 0) {
    palette_ = colorMap_.MakePalette();
    return palette_;
  }
  return image_ != nullptr ? image_->GetPalette() : TColorTable{};
}

void TGIFSubImage::ReplacePalette(const TColorTable& palette) {
  if (palette == palette_) return;
  palette_ = palette;
  if (bitmap_ && bitmap_->Palette() != palette) {
    ReleaseBitmap();
    if (image_ != nullptr) {
      image_->SetPaletteModified(true);
      image_->DoChanged(this);
    }
  }
}

void TGIFSubImage::NewRenderedBitmap() { bitmap_ = std::make_unique<TBitmap>(); }

void TGIFSubImage::ReleaseBitmap() { bitmap_.reset(); }

void TGIFSubImage::ReleaseMask() {
  mask_.clear();
  maskNeeded_ = true;
}

bool TGIFSubImage::HasTransparencyMask() {
  if (maskNeeded_ && transparent_) {
    ReleaseBitmap();
    EnsureBitmap();
  }
  return !mask_.empty();
}

TBitmap* TGIFSubImage::EnsureBitmap() {
  if (bitmap_ || IsEmpty()) return bitmap_.get();
  const bool dither = image_ != nullptr && image_->ShouldDither();
  if (image_ != nullptr) image_->DoProgress(this, psStarting, 0, false, "Rendering...");
  bool ok = false;
  {
    TScopeExit ending([&] {
      if (image_ != nullptr)
        image_->DoProgress(this, psEnding, ok ? 100 : 0, image_->PaletteModified(), "Rendering...");
    });
    try {
      auto bitmap = std::make_unique<TBitmap>();
      RenderPlain(*bitmap, dither);
      bitmap_ = std::move(bitmap);
      ok = true;
    } catch (const EAbort&) {
      // Stopped on request: the frame stays without a bitmap.
    }
  }
  if (image_ != nullptr && image_->PaletteModified()) image_->DoChanged(this);
  return bitmap_.get();
}

void TGIFSubImage::RenderPlain(TBitmap& bitmap, bool dithered) {
  const TColorTable palette = dithered ? CreateColorCubePalette() : PaletteHandle();
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetPalette(palette);
  bitmap.SetSize(Width(), Height());
  if (IsEmpty()) return;
  const bool wantMask = maskNeeded_ && transparent_;
  maskNeeded_ = false;
  const int transparentIndex = wantMask && gce_ != nullptr ? gce_->TransparentIndex() : -1;
  std::vector<uint8_t> mask;
  if (wantMask) mask.assign(pixels_.size(), 0);
  bool anyTransparent = false;
  const int w = Width();
  const int h = Height();

  TNetscapeColorLookup cube;
  std::unique_ptr<TFloydSteinbergDitherer> ditherer;
  TColorTable colors;
  uint8_t fill = 0;
  if (dithered) {
    ditherer = std::make_unique<TFloydSteinbergDitherer>(w, cube);
    if (TGIFColorMap* map = EffectiveColorMap(); map->Count() > 0) colors = map->MakePalette();
    if (transparentIndex >= 0 && transparentIndex < static_cast<int>(colors.size())) {
      // The cube entry nearest to the transparent colour: always one of the 216.
      uint8_t r, g, b;
      const TRGBQuad& q = colors[transparentIndex];
      fill = static_cast<uint8_t>(cube.NearestColor(q.Red, q.Green, q.Blue, r, g, b));
    }
  }

  for (int y = 0; y < h; ++y) {
    if ((y & 31) == 0 && image_ != nullptr)
      image_->DoProgress(this, psRunning, static_cast<uint8_t>(y * 100 / h), false, "Rendering...");
    const uint8_t* src = pixels_.data() + static_cast<int64_t>(y) * w;
    uint8_t* dst = bitmap.ScanLine(y);
    uint8_t* maskRow = wantMask ? mask.data() + static_cast<int64_t>(y) * w : nullptr;
    if (!dithered) {
      std::memcpy(dst, src, static_cast<size_t>(w));
      if (maskRow != nullptr)
        for (int x = 0; x < w; ++x)
          if (src[x] == transparentIndex) {
            maskRow[x] = 1;
            anyTransparent = true;
          }
      continue;
    }
    if (maskRow != nullptr) std::memset(dst, fill, static_cast<size_t>(w));
    while (ditherer->Column() >= 0 && ditherer->Column() < w) {
      const int x = ditherer->Column();
      const uint8_t index = src[x];
      if (maskRow != nullptr && index == transparentIndex) {
        maskRow[x] = 1;
        anyTransparent = true;
        ditherer->StepColumn();
        continue;
      }
      TRGBQuad q{};
      if (index < colors.size()) q = colors[index];
      uint8_t r, g, b;
      dst[x] = static_cast<uint8_t>(ditherer->DitherPixel(q.Red, q.Green, q.Blue, r, g, b));
    }
    ditherer->NextRow();
  }
  if (wantMask && anyTransparent) mask_ = std::move(mask);
}

// ---- painting ---------------------------------------------------------------------------------
TRect TGIFSubImage::MapToDestRect(const TRect& dest) const {
  int iw = image_ != nullptr ? image_->Width() : 0;
  int ih = image_ != nullptr ? image_->Height() : 0;
  // A screen smaller than the frame would divide by zero or map outside the rectangle.
  iw = Max(iw, Max(1, Left() + Width()));
  ih = Max(ih, Max(1, Top() + Height()));
  const int dw = dest.Width();
  const int dh = dest.Height();
  return {dest.Left + MulDiv(Left(), dw, iw), dest.Top + MulDiv(Top(), dh, ih),
          dest.Left + MulDiv(Left() + Width(), dw, iw),
          dest.Top + MulDiv(Top() + Height(), dh, ih)};
}

void TGIFSubImage::PaintFrame(TBitmap& target, const TRect& rect, bool tile, bool transparent) {
  PaintFrameStretched(target, tile ? rect : MapToDestRect(rect), tile, transparent);
}

namespace {

// Puts the frame's rendered bitmap stretched into `dest` of the target, leaving masked
// pixels and everything outside the target alone.
void StretchInto(TBitmap& target, const TRect& dest, const TRect& clip, TBitmap& source,
                 const std::vector<uint8_t>* mask) {
  const int sw = source.Width();
  const int sh = source.Height();
  const int dw = dest.Width();
  const int dh = dest.Height();
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const int x0 = std::max({dest.Left, clip.Left, 0});
  const int y0 = std::max({dest.Top, clip.Top, 0});
  const int x1 = std::min({dest.Right, clip.Right, target.Width()});
  const int y1 = std::min({dest.Bottom, clip.Bottom, target.Height()});
  const TColorTable& palette = source.Palette();
  const int bpp = target.BitsPerPixel();
  for (int y = y0; y < y1; ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y - dest.Top) * sh / dh);
    const uint8_t* srow = source.ScanLine(sy);
    const uint8_t* mrow = mask != nullptr ? mask->data() + static_cast<int64_t>(sy) * sw : nullptr;
    uint8_t* drow = (bpp == 24 || bpp == 32) ? target.ScanLine(y) : nullptr;
    for (int x = x0; x < x1; ++x) {
      const int sx = static_cast<int>(static_cast<int64_t>(x - dest.Left) * sw / dw);
      if (mrow != nullptr && mrow[sx] != 0) continue;
      const uint8_t index = srow[sx];
      const TRGBQuad q = index < palette.size() ? palette[index] : TRGBQuad{};
      if (drow != nullptr) {
        uint8_t* p = drow + static_cast<int64_t>(x) * (bpp / 8);
        p[0] = q.Blue;
        p[1] = q.Green;
        p[2] = q.Red;
      } else {
        target.SetPixelColor(x, y, ColorFromQuad(q));
      }
    }
  }
}

}  // namespace

void TGIFSubImage::PaintFrameStretched(TBitmap& target, const TRect& rect, bool tile,
                                       bool transparent) {
  TBitmap* bitmap = EnsureBitmap();
  if (bitmap == nullptr) return;
  const std::vector<uint8_t>* mask =
      transparent && transparent_ && HasTransparencyMask() ? &mask_ : nullptr;
  bitmap = bitmap_.get();  // rendering the mask may have replaced it
  if (bitmap == nullptr) return;
  if (!tile) {
    StretchInto(target, rect, rect, *bitmap, mask);
    target.SetModified(true);
    return;
  }
  const int iw = image_ != nullptr ? Max(1, image_->Width()) : Max(1, Width());
  const int ih = image_ != nullptr ? Max(1, image_->Height()) : Max(1, Height());
  for (int ty = rect.Top; ty < rect.Bottom; ty += ih)
    for (int tx = rect.Left; tx < rect.Right; tx += iw)
      StretchInto(target, Bounds(tx + Left(), ty + Top(), Width(), Height()), rect, *bitmap, mask);
  target.SetModified(true);
}

// ---- reading and writing ---------------------------------------------------------------------
void TGIFSubImage::LoadFromStream(TStream& stream) {
  ClearFrame();
  extensions_.ReadItems(stream);
  uint8_t b = 0;
  if (!ReadStreamByte(stream, b)) return;
  stream.Seek(-1, soCurrent);
  if (b == ';' || b == 0) return;
  ReadStreamExact(stream, &descriptor_, sizeof(descriptor_));
  descriptor_.Separator = ',';
  if ((descriptor_.Width == 0 || descriptor_.Height == 0) && image_ != nullptr) {
    descriptor_.Width = static_cast<uint16_t>(image_->Width());
    descriptor_.Height = static_cast<uint16_t>(image_->Height());
    ReportWarning("Image exceeds Logical Screen size");
  }
  if ((descriptor_.PackedFields & 0x80) != 0)
    colorMap_.ReadEntries(stream, 2 << (descriptor_.PackedFields & 7));
  DecodeImageData(stream);
  if (RenderFramesOnLoad) EnsureBitmap();
}

void TGIFSubImage::DecodeImageData(TStream& stream) {
  const int64_t n = static_cast<int64_t>(Width()) * Height();
  const int fill = transparent_ && gce_ != nullptr ? gce_->TransparentIndex() : 0;
  pixels_.clear();
  unbackedPixels_ = 0;
  if (n > 0) {
    // Declaring a size costs four bytes; a frame is allocated only as large as its data can
    // fill, plus what is left of the file's small allowance for cut-off data.
    const int64_t deliverable = PixelsDataCanDeliver(stream);
    if (n > deliverable) {
      unbackedPixels_ = n - deliverable;
      if (unbackedPixels_ > unbackedBudget_)
        RaiseGIFError("Image data too short for the image size (data cut off)");
    }
    pixels_ = NewPixelBuffer(n, static_cast<uint8_t>(fill), pixelBudget_);
  }
  TGIFWarningHandler warn = [this](int, const std::string& message) { ReportWarning(message); };
  DecodeLZW(stream, Pixels(), Width(), Height(), IsInterlaced(), warn);
}

void TGIFSubImage::SaveToStream(TStream& stream) {
  extensions_.WriteItems(stream);
  if (IsEmpty()) return;
  UpdatePackedFields();
  stream.WriteBuffer(&descriptor_, sizeof(descriptor_));
  colorMap_.WriteEntries(stream);
  EncodeImageData(stream);
}

void TGIFSubImage::UpdatePackedFields() {
  uint8_t packed = descriptor_.PackedFields & (0x40 | 0x10 | 0x08);
  if (colorMap_.Count() > 0) {
    packed |= 0x80;
    if (colorMap_.Sorted()) packed |= 0x20;
    packed |= static_cast<uint8_t>((colorMap_.IndexBitCount() - 1) & 7);
  }
  descriptor_.PackedFields = packed;
}

void TGIFSubImage::EncodeImageData(TStream& stream) {
  int bits;
  int maxColor;
  if (colorMap_.Count() > 0) {
    bits = colorMap_.IndexBitCount();
    maxColor = colorMap_.Count();
  } else {
    bits = image_ != nullptr ? image_->MaxIndexBits() : 8;
    // A frame of an image without any colour table still writes valid codes.
    if (bits == 0) bits = 8;
    maxColor = 1 << bits;
  }
  std::unique_ptr<TGIFEncoder> encoder;
  if (image_ != nullptr && image_->EncoderKind() == ecRLE)
    encoder = std::make_unique<TRLEEncoder>();
  else
    encoder = std::make_unique<TLZWEncoder>();
  encoder->OnWarning = [this](int, const std::string& message) { ReportWarning(message); };
  encoder->EncodeFrame(stream, bits, maxColor, Pixels(), IsInterlaced(), Height(), Width());
}

// ---- assignment ------------------------------------------------------------------------------
void TGIFSubImage::AssignTo(TPersistent* dest) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    if (TBitmap* mine = EnsureBitmap()) {
      bitmap->Assign(mine);
    } else {
      bitmap->SetSize(0, 0);
    }
    return;
  }
  inherited::AssignTo(dest);
}

void TGIFSubImage::Assign(TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) {
    ClearFrame();
    return;
  }
  if (auto* frame = dynamic_cast<TGIFSubImage*>(source)) {
    ClearFrame();
    if (frame->IsEmpty()) return;
    descriptor_ = frame->descriptor_;
    pixels_ = frame->pixels_;
    colorMap_.Assign(&frame->colorMap_);
    TMemoryStream copy;
    frame->extensions_.WriteItems(copy);
    WriteStreamByte(copy, ';');
    copy.SetPosition(0);
    extensions_.ReadItems(copy);
    transparent_ = frame->transparent_ && gce_ != nullptr && gce_->TransparentFlag();
    if (frame->bitmap_) {
      NewRenderedBitmap();
      bitmap_->Assign(frame->bitmap_.get());
      mask_ = frame->mask_;
      maskNeeded_ = frame->maskNeeded_;
    }
    return;
  }
  if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    ClearFrame();
    if (!bitmap->Empty()) AssignBitmap(bitmap);
    return;
  }
  if (auto* picture = dynamic_cast<TPicture*>(source)) {
    Assign(picture->Graphic());
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    ClearFrame();
    if (graphic->Empty()) return;
    TBitmap temp;
    temp.Assign(graphic);
    AssignBitmap(&temp);
    return;
  }
  inherited::Assign(source);
}

namespace {

// An 8-entry cache in front of the colour map: true-colour pictures repeat their colours.
class TColorRing {
 public:
  int Find(TColor color) {
    int slot = last_;
    for (int n = 0; n < 8; ++n) {
      if (!used_[slot]) return -1;
      if (colors_[slot] == color) {
        last_ = slot;
        return indexes_[slot];
      }
      slot = (slot + 7) % 8;
    }
    return -1;
  }
  void Add(TColor color, int index) {
    last_ = (last_ + 1) % 8;
    colors_[last_] = color;
    indexes_[last_] = index;
    used_[last_] = true;
  }

 private:
  std::array<TColor, 8> colors_{};
  std::array<int, 8> indexes_{};
  std::array<bool, 8> used_{};
  int last_ = 0;
};

}  // namespace

void TGIFSubImage::AssignBitmap(TBitmap* source) {
  SetFrameBounds(0, 0, source->Width(), source->Height());
  TBitmap work;
  const TPixelFormat format = source->PixelFormat();
  const bool indexed = format == pf1bit || format == pf4bit || format == pf8bit;
  if (indexed) {
    work.Assign(source);
  } else {
    // Reduced on a copy, so that assigning never changes the source picture.
    TBitmap copy;
    copy.Assign(source);
    const uint8_t reduction =
        image_ != nullptr ? image_->ReductionMethod() : static_cast<uint8_t>(crColorCube216);
    const uint8_t dither =
        image_ != nullptr ? image_->DitherMethod() : static_cast<uint8_t>(dtNearest);
    const int bits = image_ != nullptr ? image_->ReductionBitCount() : 8;
    std::unique_ptr<TBitmap> reduced =
        DitherBitmapToPalette(copy, reduction, dither, nullptr, bits);
    work.Assign(reduced.get());
  }
  AllocatePixels();
  if (image_ != nullptr) image_->DoProgress(this, psStarting, 0, false, "Converting...");
  const int w = Width();
  const int h = Height();
  TPixelFormat wf = work.PixelFormat();
  if (wf != pf1bit && wf != pf4bit && wf != pf8bit && wf != pf24bit) {
    work.SetPixelFormat(pf24bit);
    wf = pf24bit;
  }
  bool ok = false;
  TScopeExit ending([&] {
    if (image_ != nullptr)
      image_->DoProgress(this, psEnding, ok ? 100 : 0, image_->PaletteModified(), "Converting...");
  });
  {
    TColorRing ring;
    for (int y = 0; y < h && y < work.Height(); ++y) {
      if ((y & 31) == 0 && image_ != nullptr)
        image_->DoProgress(this, psRunning, static_cast<uint8_t>(y * 100 / h), false,
                           "Converting...");
      const uint8_t* src = work.ScanLine(y);
      uint8_t* dst = pixels_.data() + static_cast<int64_t>(y) * w;
      switch (wf) {
        case pf1bit:
          for (int x = 0; x < w; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
          break;
        case pf4bit:
          for (int x = 0; x < w; ++x) dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
          break;
        case pf8bit:
          std::memcpy(dst, src, static_cast<size_t>(w));
          break;
        default:
          for (int x = 0; x < w; ++x) {
            const uint8_t* p = src + 3 * x;
            const TColor color = MakeColor(p[2], p[1], p[0]);
            int index = ring.Find(color);
            if (index < 0) {
              index = colorMap_.FindOrAppendColor(color);
              ring.Add(color, index);
            }
            dst[x] = static_cast<uint8_t>(index);
          }
          break;
      }
    }
    if (wf != pf24bit) colorMap_.CopyFromPalette(work.Palette());
    if (indexed) {
      NewRenderedBitmap();
      bitmap_->Assign(&work);
    }
    if (source->Transparent()) {
      // The picture's transparent colour becomes the frame's mask.
      const TColor key = source->TransparentColor() & 0xFFFFFF;
      std::vector<uint8_t> mask(pixels_.size(), 0);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          mask[static_cast<size_t>(y) * w + x] = (source->PixelColor(x, y) & 0xFFFFFF) == key;
      ApplyTransparencyMask(mask);
    }
    ok = true;
  }
}

void TGIFSubImage::ApplyTransparencyMask(const std::vector<uint8_t>& mask) {
  colorMap_.OptimizeOrder();
  const int count = colorMap_.Count();
  if (count < 1 || count > 255) return;
  const int index = colorMap_.AppendColor(clBlack);
  bool changed = false;
  for (size_t i = 0; i < pixels_.size() && i < mask.size(); ++i)
    if (mask[i] != 0) {
      pixels_[i] = static_cast<uint8_t>(index);
      changed = true;
    }
  if (!changed) {
    colorMap_.RemoveColor(index);
    return;
  }
  TGIFGraphicControlExtension* gce = gce_;
  if (gce == nullptr) {
    auto added = std::make_unique<TGIFGraphicControlExtension>(this);
    gce = added.get();
    extensions_.AppendItem(std::move(added));
  }
  gce->SetTransparentIndex(index);
  gce->SetTransparentFlag(true);
  ReleaseBitmap();
  ReleaseMask();
}

// ---- frame list --------------------------------------------------------------------------------
void TGIFImageList::ReadItems(TStream& stream) {
  const int64_t size = stream.Size();
  // All frames of one file share one budget, so many frames cannot add up to what one
  // frame may not take.
  int64_t pixelsLeft = kMaxGIFImagePixels;
  int64_t unbackedLeft = kMaxGIFUnbackedPixels;
  uint8_t b = 0;
  while (ReadStreamByte(stream, b)) {
    if (b == 0) continue;
    if (b == ';') {
      stream.Seek(-1, soCurrent);
      return;
    }
    if (b != '!' && b != ',') {
      if (image_ != nullptr) image_->ReportWarning(nullptr, 1, "Unknown GIF block type");
      stream.Seek(-1, soCurrent);
      return;
    }
    stream.Seek(-1, soCurrent);
    auto frame = std::make_unique<TGIFSubImage>(image_);
    const int64_t before = stream.Position();
    frame->SetPixelBudget(pixelsLeft);
    frame->SetUnbackedPixelBudget(unbackedLeft);
    frame->LoadFromStream(stream);
    pixelsLeft -= frame->PixelCount();
    unbackedLeft -= frame->UnbackedPixels();
    AppendItem(std::move(frame));
    if (image_ != nullptr && size > 0)
      image_->DoProgress(image_, psRunning,
                         static_cast<uint8_t>(Min<int64_t>(stream.Position() * 100 / size, 100)),
                         RenderFramesOnLoad, "Loading...");
    // A frame that consumed nothing would be read again forever.
    if (stream.Position() == before) return;
  }
}

void TGIFImageList::WriteItems(TStream& stream) {
  const int count = ItemCount();
  for (int i = 0; i < count; ++i) {
    ItemAt(i)->SaveToStream(stream);
    if (image_ != nullptr)
      image_->DoProgress(image_, psRunning, static_cast<uint8_t>((i + 1) * 100 / count), false,
                         "Saving...");
  }
}
