// The Win32 half of the editor's option objects and support routines: bitmap
// resources, free notifications of image lists and the gutter's drawing.
#include "editor/KedEditMiscClasses.h"
#include "editor/KedEditMiscProcs.h"

#include <windows.h>

#include "framework/ImgListWin32.h"

void RequestKedFreeNotification(TCustomImageList* images, TComponent* owner) {
  images->FreeNotification(owner);
}

std::unique_ptr<TBitmap> LoadKedBitmapResourceFromModule(const std::string& name) {
  HANDLE handle =
      LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (handle == nullptr) throw Exception(Format("Resource %s not found", name));
  auto bitmap = std::make_unique<TBitmap>();
  SetBitmapHandle(bitmap.get(), static_cast<HBITMAP>(handle));  // takes the handle over
  return bitmap;
}

namespace {

void CopyCell(TCanvas* canvas, TBitmap* picture, const TKedCellPlacement& p, TColor mask) {
  HDC source = picture->Canvas()->Handle();
  HDC dest = canvas->Handle();
  const TRect& s = p.Source;
  const TRect& d = p.Dest;
  if (mask == clNone) {
    BitBlt(dest, d.Left, d.Top, d.Width(), d.Height(), source, s.Left, s.Top, SRCCOPY);
  } else {
    TransparentBlt(dest, d.Left, d.Top, d.Width(), d.Height(), source, s.Left, s.Top, s.Width(),
                   s.Height(), static_cast<UINT>(ColorToRGB(mask)));
  }
}

}  // namespace

void TKedGlyph::DrawGlyph(TCanvas* canvas, int x, int y, int lineHeight) const {
  TKedCellPlacement placement;
  if (!Placement(x, y, lineHeight, placement)) return;
  CopyCell(canvas, PictureUsed(), placement, MaskColorUsed());
}

void TKedInternalImage::DrawCell(TCanvas* canvas, int number, int x, int y, int lineHeight) const {
  TKedCellPlacement placement;
  if (!CellPlacement(number, x, y, lineHeight, placement)) return;
  canvas->CopyRect(placement.Dest, images_->Canvas(), placement.Source);
}

void PaintStepGradient(TCanvas* canvas, TColor startColor, TColor endColor, int steps,
                       const TRect& rect, bool horizontal) {
  const auto bands = StepGradientBands(static_cast<std::uint32_t>(ColorToRGB(startColor)),
                                       static_cast<std::uint32_t>(ColorToRGB(endColor)), steps,
                                       rect.Left, rect.Top, rect.Right, rect.Bottom, horizontal);
  for (const TKedGradientBand& band : bands) {
    canvas->Brush()->SetColor(static_cast<TColor>(band.Color));
    canvas->FillRect(Rect(band.Left, band.Top, band.Right, band.Bottom));
  }
}

