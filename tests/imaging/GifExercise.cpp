#include "tests/imaging/GifExercise.h"

#include "imaging/GIFImage.h"
#include "tests/imaging/GifInstantServices.h"
#include "tests/imaging/GifTestFiles.h"

void ExerciseGifBytes(const uint8_t* data, size_t size) {
  TInstantServices services;
  TGIFImage image;
  image.SetPainterServices(&services);
  image.SetPaintFlags(dfAnimate | dfTransparent | dfDither);
  TMemoryStream stream;
  if (size > 0) stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  try {
    image.LoadFromStream(stream);
  } catch (const Exception&) {
    return;
  }
  // Rendering is linear in the declared size; a few flipped bits can declare frames of
  // hundreds of megapixels, which is legal but makes a run take minutes.
  int64_t pixels = 0;
  for (int i = 0; i < image.FrameCount(); ++i) pixels += image.Frame(i)->PixelCount();
  if (pixels > (int64_t{1} << 18)) return;
  try {
    TBitmap canvas;
    canvas.SetPixelFormat(pf24bit);
    canvas.SetSize(17, 13);
    image.DrawOn(canvas, Rect(0, 0, 17, 13));
    for (int i = 0; i < image.FrameCount(); ++i) image.Frame(i)->EnsureBitmap();
    // A picture of the whole screen is as large as the screen declares, whatever is drawn.
    if (int64_t{image.Width()} * image.Height() <= (int64_t{1} << 18)) {
      TBitmap asBitmap;
      asBitmap.Assign(&image);
    }
  } catch (const Exception&) {
  }
  try {
    image.OptimizeFrames(0x0F, crNone, 8, dtNearest);
  } catch (const Exception&) {
  }
  try {
    TMemoryStream out;
    image.SaveToStream(out);
    out.SetPosition(0);
    TGIFImage again;
    again.LoadFromStream(out);
  } catch (const Exception&) {
  }
}

std::vector<std::vector<uint8_t>> GifSeedFiles() {
  const std::vector<TColor> colors{clBlack, clWhite, clRed, clBlue, clLime, clYellow};
  std::vector<std::vector<uint8_t>> seeds;
  seeds.push_back(TGifBuilder()
                      .Header(6, 5, colors, "GIF89a", 2)
                      .Loop(2)
                      .Comment("seed")
                      .GraphicControl(2, 4, 1)
                      .Frame(0, 0, 3, 3, {0, 1, 2, 3, 4, 5, 0, 1, 2}, 3)
                      .GraphicControl(3, 1)
                      .Frame(2, 1, 4, 4, std::vector<uint8_t>(16, 3), 3, colors, true)
                      .Application(11, "XMP DataXMP", {1, 2, 3})
                      .GraphicControl(1, 0, 0)
                      .Frame(1, 1, 2, 2, {0, 0, 5, 5}, 3)
                      .Trailer()
                      .Data());
  // Files written by the codec itself, with both encoders.
  for (uint8_t encoder : {ecLZW, ecRLE}) {
    TGIFImage image;
    LoadGif(image, seeds[0]);
    image.SetEncoderKind(encoder);
    seeds.push_back(SaveGif(image));
  }
  return seeds;
}
