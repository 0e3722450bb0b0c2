// libFuzzer target of the pixel core: the gradient text parsed and painted, and every
// routine that takes rectangles, points or sizes fed values from the input, on small bitmaps
// whose sizes come from the input too. ASan and UBSan report any read or write outside a
// bitmap and any overflow.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>

#include "framework/SysUtils.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGradient.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/sResample.h"
#include "skin/core/pixels/sTextPaint.h"

namespace {

// Coordinates mostly near the bitmaps, sometimes anywhere in the int range.
int Coordinate(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 7) == 0) return in.ConsumeIntegral<int32_t>();
  return in.ConsumeIntegralInRange(-40, 60);
}

TRect AnyRect(FuzzedDataProvider& in) {
  return {Coordinate(in), Coordinate(in), Coordinate(in), Coordinate(in)};
}

std::unique_ptr<TBitmap> AnyBitmap(FuzzedDataProvider& in) {
  auto bmp = CreateBmp32(in.ConsumeIntegralInRange(0, 24), in.ConsumeIntegralInRange(0, 24));
  if (bmp->Empty()) return bmp;
  for (int y = 0; y < bmp->Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bmp->ScanLine(y));
    for (int x = 0; x < bmp->Width(); ++x)
      row[x] = in.ConsumeBool() ? KeyColor : in.ConsumeIntegral<uint32_t>();
  }
  return bmp;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string text = in.ConsumeRandomLengthString(200);
  auto dest = AnyBitmap(in);
  auto source = AnyBitmap(in);
  auto background = AnyBitmap(in);

  TsGradArray gradient;
  try {
    ParseGradientData(text, gradient);
  } catch (const EConvertError&) {
    gradient = {{0x0000FF, 0xFF0000, 50, in.ConsumeIntegralInRange(-1, 3)}};
  }
  PaintGradient(dest.get(), AnyRect(in), gradient);
  PaintGradientTextured(dest.get(), AnyRect(in), gradient, in.ConsumeIntegral<uint8_t>(),
                        AnyRect(in), source.get());

  const TsBackgroundSource bg =
      in.ConsumeBool() ? MakeBackgroundSource(background.get(), Coordinate(in), Coordinate(in))
                       : EmptyBackgroundSource;
  while (in.remaining_bytes() > 0) {
    switch (in.ConsumeIntegralInRange(0, 21)) {
      case 0:
        FillRect32(dest.get(), AnyRect(in), clRed);
        break;
      case 1:
        FillBorder32(dest.get(), AnyRect(in), Coordinate(in), Coordinate(in), Coordinate(in),
                     Coordinate(in), clBlue);
        break;
      case 2:
        FillAlphaRect(dest.get(), AnyRect(in), 7, in.ConsumeBool());
        break;
      case 3:
        BlendRectColor(dest.get(), AnyRect(in), Coordinate(in), clLime);
        break;
      case 4: {
        TskFastSum32 sum;
        if (sum.AttachBitmaps(source.get(), dest.get())) {
          sum.DestWeight = in.ConsumeIntegral<uint8_t>();
          sum.DestRect = AnyRect(in);
          sum.SourceRect = AnyRect(in);
          sum.Blend();
        }
        break;
      }
      case 5:
        CopyKeyedBitmap(dest.get(), source.get(), Coordinate(in), clFuchsia, Coordinate(in));
        break;
      case 6:
        CopyRectWithBackground(dest.get(), TPoint{Coordinate(in), Coordinate(in)}, source.get(),
                               AnyRect(in), clFuchsia, in.ConsumeBool(), bg);
        break;
      case 7:
        BlendBitmapKeyed(dest.get(), TPoint{Coordinate(in), Coordinate(in)}, source.get(),
                         AnyRect(in), clFuchsia, 0.25);
        break;
      case 8:
        BlendBitmapRect(dest.get(), source.get(), in.ConsumeIntegral<uint8_t>(),
                        Point(Coordinate(in), Coordinate(in)), AnyRect(in));
        break;
      case 9:
        BlendByAlphaMask(dest.get(), source.get(), background.get(), AnyRect(in));
        break;
      case 10:
        CopyAlphaBitmap(AnyRect(in), AnyRect(in), dest.get(), in.ConsumeBool(), bg, source.get());
        break;
      case 11:
        CopyImageWithEffects(dest.get(), AnyRect(in), source.get(), AnyRect(in),
                             {.Transparency = Coordinate(in),
                              .BlendColor = in.ConsumeBool() ? clRed : NoBlendColor,
                              .Reflected = in.ConsumeBool(),
                              .UseBackground = in.ConsumeBool(),
                              .Background = bg});
        break;
      case 12:
        CopyNineSlice(
            dest.get(), AnyRect(in), source.get(), AnyRect(in),
            {.Margins = AnyRect(in),
             .CornerLimits = AnyRect(in),
             .EdgeModes = {in.ConsumeIntegralInRange(0, 2), in.ConsumeIntegralInRange(0, 2),
                           in.ConsumeIntegralInRange(0, 2), in.ConsumeIntegralInRange(0, 2)},
             .DrawCentre = in.ConsumeBool(),
             .CentreMode = in.ConsumeIntegralInRange(0, 2)});
        break;
      case 13:
        StretchRect32(dest.get(), AnyRect(in), source.get(), AnyRect(in));
        break;
      case 14:
        PaintGlyph(dest.get(), AnyRect(in), source.get(),
                   {.Count = in.ConsumeIntegralInRange(-1, 6),
                    .Mode = in.ConsumeIntegralInRange(-1, 3),
                    .State = Coordinate(in),
                    .Blend = Coordinate(in),
                    .Enabled = in.ConsumeBool(),
                    .DisabledKind = TsDisabledKind{dkBlended}});
        break;
      case 15:
        PaintShadowRect(dest.get(), AnyRect(in), Coordinate(in), Coordinate(in), Coordinate(in),
                        clBlack);
        break;
      case 16:
        PaintDisabledEffect(dest.get(), TsDisabledKind{dkBlended}, clGray,
                            Point(Coordinate(in), Coordinate(in)), bg);
        break;
      case 17:
        BlendTextCoverage(dest.get(), *source, AnyRect(in), clRed);
        break;
      case 18:
        try {
          TBitmap out;
          StretchBitmap(source.get(), &out, in.ConsumeIntegralInRange(-2, 40),
                        in.ConsumeIntegralInRange(-1, 8), in.ConsumeIntegralInRange(-2, 40));
        } catch (const Exception&) {
          // a source under 2 x 2
        }
        break;
      case 20:
        ShiftBitmapHue(dest.get(), in.ConsumeIntegral<int32_t>());
        break;
      case 21:
        ChangeBitmapSaturation(dest.get(), in.ConsumeIntegral<int32_t>());
        break;
      case 19: {
        CalcItemLayout(AnyRect(in),
                       {in.ConsumeIntegralInRange(0, 64), in.ConsumeIntegralInRange(0, 64)},
                       {in.ConsumeIntegralInRange(0, 400), in.ConsumeIntegralInRange(0, 64)},
                       {.Layout = static_cast<TsItemLayout>(in.ConsumeIntegralInRange(0, 3)),
                        .Alignment = static_cast<TsItemAlignment>(in.ConsumeIntegralInRange(0, 2)),
                        .Spacing = in.ConsumeIntegralInRange(-1, 20),
                        .Margin = in.ConsumeIntegralInRange(-1, 20),
                        .Flags = in.ConsumeIntegral<uint32_t>()});
        break;
      }
    }
  }
  return 0;
}
