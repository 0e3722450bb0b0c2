// One frame of a GIF image: descriptor, extensions, local colour map and pixels (one colour
// index per byte), with rendering into a bitmap, painting, conversion from other pictures
// and the two optimisations that work on single frames.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/GIFBlocks.h"
#include "imaging/GIFColorMap.h"
#include "imaging/GIFMemoryBudget.h"

#pragma pack(push, 1)
struct TGIFImageDescriptor {
  uint8_t Separator = ',';
  uint16_t Left = 0;
  uint16_t Top = 0;
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t PackedFields = 0;
};
#pragma pack(pop)
static_assert(sizeof(TGIFImageDescriptor) == 10);

class TGIFSubImage : public TGIFItem {
  K_CLASS(TGIFSubImage, TGIFItem)
  explicit TGIFSubImage(TGIFImage* image);
  ~TGIFSubImage() override;

  void ClearFrame();
  bool IsEmpty() const;
  void AllocatePixels();
  void RequirePixels();
  void ReleasePixels();
  // The pixels this frame may take while a file is read: what the frames before it left of
  // the image's budget.
  void SetPixelBudget(int64_t pixels) { pixelBudget_ = pixels; }
  // The pixels this frame may declare beyond what its coded data can deliver: what the frames
  // before it left of the file's allowance (kMaxGIFUnbackedPixels).
  void SetUnbackedPixelBudget(int64_t pixels) { unbackedBudget_ = pixels; }
  // What the frame's last read took of that allowance.
  int64_t UnbackedPixels() const { return unbackedPixels_; }

  int Left() const { return descriptor_.Left; }
  int Top() const { return descriptor_.Top; }
  int Width() const { return descriptor_.Width; }
  int Height() const { return descriptor_.Height; }
  int BoundsValue(int index) const;
  void SetBoundsValue(int index, int value);
  void SetFrameBounds(int left, int top, int width, int height);
  TRect FrameRect() const { return Bounds(Left(), Top(), Width(), Height()); }
  bool IsInterlaced() const { return (descriptor_.PackedFields & 0x40) != 0; }
  void SetInterlaced(bool value);
  const TGIFImageDescriptor& Descriptor() const { return descriptor_; }

  TGIFColorMap* EffectiveColorMap();
  TGIFLocalColorMap& ColorMap() { return colorMap_; }
  int LocalIndexBits() const { return colorMap_.IndexBitCount(); }
  int LocalColorResolution() const { return LocalIndexBits() - 1; }

  uint8_t PixelAt(int x, int y);
  uint8_t* PixelRow(int y);
  uint8_t* Pixels() { return pixels_.empty() ? nullptr : pixels_.data(); }
  int64_t PixelCount() const { return static_cast<int64_t>(pixels_.size()); }

  int RequiredVersion() const override;

  TGIFExtensionList& Extensions() { return extensions_; }
  TGIFGraphicControlExtension* GraphicControlExtension() const { return gce_; }
  void SetGraphicControlExtension(TGIFGraphicControlExtension* gce) { gce_ = gce; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { transparent_ = value; }
  // The transparent index of the graphic control extension; -1 when the frame is opaque.
  int TransparentIndex() const;

  // Palette and rendering.
  TColorTable PaletteHandle();
  void ReplacePalette(const TColorTable& palette);
  TBitmap* EnsureBitmap();
  bool HasRenderedBitmap() const { return bitmap_ != nullptr; }
  TBitmap* RenderedBitmap() const { return bitmap_.get(); }
  void NewRenderedBitmap();
  void ReleaseBitmap();
  void ReleaseMask();
  bool HasTransparencyMask();
  // One byte per pixel of the rendered bitmap, non-zero = transparent; empty when none.
  const std::vector<uint8_t>& Mask() const { return mask_; }

  // Painting onto a 24- or 32-bit bitmap: the portable canvas of the painter.
  void PaintFrame(TBitmap& target, const TRect& rect, bool tile, bool transparent);
  TRect MapToDestRect(const TRect& dest) const;
  void PaintFrameStretched(TBitmap& target, const TRect& rect, bool tile, bool transparent);

  void SaveToStream(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  void UpdatePackedFields();
  void DecodeImageData(TStream& stream);
  void EncodeImageData(TStream& stream);

  void Assign(TPersistent* source) override;
  void TrimTransparentEdges();
  void MakeUnchangedTransparent(TGIFSubImage* previous);

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  void RenderPlain(TBitmap& bitmap, bool dithered);
  void AssignBitmap(TBitmap* source);
  void ApplyTransparencyMask(const std::vector<uint8_t>& mask);

  TGIFImageDescriptor descriptor_;
  std::unique_ptr<TBitmap> bitmap_;
  std::vector<uint8_t> mask_;
  bool maskNeeded_ = true;
  TColorTable palette_;
  TGIFExtensionList extensions_;
  TGIFLocalColorMap colorMap_;
  std::vector<uint8_t> pixels_;
  int64_t pixelBudget_ = kMaxGIFImagePixels;
  int64_t unbackedBudget_ = kMaxGIFUnbackedPixels;
  int64_t unbackedPixels_ = 0;
  bool transparent_ = false;
  TGIFGraphicControlExtension* gce_ = nullptr;
};

// The frames of an image, in file order.
class TGIFImageList : public TGIFList<TGIFSubImage> {
 public:
  using TGIFList::TGIFList;
  void ReadItems(TStream& stream);
  void WriteItems(TStream& stream);
};

// Frames that can still receive a transparent colour of their own.
bool CanAddTransparentColor(TGIFSubImage* frame);
// The index a frame should use for new transparent pixels (appends black when needed).
int ObtainTransparentIndex(TGIFSubImage* frame);
