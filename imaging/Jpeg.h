// JPEG pictures: decoded with libjpeg into a 24-bit bitmap; the compressed data is
// kept as loaded, so saving writes the very same file back.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Graphics.h"

class TJPEGImage : public TGraphic {
  K_CLASS(TJPEGImage, TGraphic)
  TJPEGImage();
  ~TJPEGImage() override;

  bool Empty() const override { return !bitmap_ || bitmap_->Empty(); }
  int Width() const override { return bitmap_ ? bitmap_->Width() : 0; }
  int Height() const override { return bitmap_ ? bitmap_->Height() : 0; }
  // The size is the decoded image's: EInvalidGraphicOperation.
  void SetWidth(int value) override;
  void SetHeight(int value) override;

  // Reads the rest of the stream as one JPEG file and decodes it; EInvalidGraphic
  // when it is not a JPEG file or cannot be decoded (the image is then empty).
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const TRect& r) override;

  // The decoded image (pf24bit); empty before a load.
  TBitmap* Bitmap();

 protected:
  // Into a TBitmap: the decoded pixels.
  void AssignTo(TPersistent* dest) override;

 private:
  void Decode();

  std::vector<uint8_t> data_;
  std::unique_ptr<TBitmap> bitmap_;
};

// Registers TJPEGImage for ".jpg" and ".jpeg" with TPicture; called from a program's
// start-up list.
void RegisterJPEGImage();
