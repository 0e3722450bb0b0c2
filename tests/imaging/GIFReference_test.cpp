// Cross-checks with ImageMagick (installed by scripts/install-deps; missing, the tests fail):
// files it writes decode to the same colours and frame geometry here, and files the codec
// writes decode the same there.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "imaging/GIFImage.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

bool HaveConvert() {
  static const bool have = std::system("convert -version > /dev/null 2>&1") == 0;
  return have;
}

std::string RunCommand(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

std::string TempName(const std::string& name) {
  return testing::TempDir() + "kestrava_gif_" + name;
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// A picture of `colors` distinct random colours as a binary PPM.
std::string RandomPpm(std::mt19937& rng, int w, int h, int colors, std::vector<TColor>& pixels) {
  std::vector<TColor> palette;
  while (static_cast<int>(palette.size()) < colors) {
    const TColor c = static_cast<TColor>(rng() & 0xFFFFFF);
    if (std::find(palette.begin(), palette.end(), c) == palette.end()) palette.push_back(c);
  }
  pixels.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = palette[i < palette.size() ? i : rng() % palette.size()];
  std::string ppm = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  for (TColor c : pixels)
    ppm +=
        {static_cast<char>(ColorR(c)), static_cast<char>(ColorG(c)), static_cast<char>(ColorB(c))};
  return ppm;
}

std::vector<TColor> FrameColors(TGIFSubImage* frame) {
  std::vector<TColor> out;
  TGIFColorMap* map = frame->EffectiveColorMap();
  for (int y = 0; y < frame->Height(); ++y)
    for (int x = 0; x < frame->Width(); ++x) out.push_back(map->ColorAt(frame->PixelAt(x, y)));
  return out;
}

std::vector<TColor> RgbColors(const std::string& rgb) {
  std::vector<TColor> out;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    out.push_back(MakeColor(static_cast<uint8_t>(rgb[i]), static_cast<uint8_t>(rgb[i + 1]),
                            static_cast<uint8_t>(rgb[i + 2])));
  return out;
}

TEST(GIFReference, FilesWrittenByImageMagickDecodeToTheSameColours) {
  ASSERT_TRUE(HaveConvert()) << "ImageMagick's convert is missing: run scripts/install-deps";
  std::mt19937 rng(42);
  struct Case {
    int w, h, colors;
    bool interlace;
  } cases[] = {{1, 1, 2, false},
               {7, 5, 3, true},
               {40, 30, 16, false},
               {33, 17, 100, true},
               {64, 64, 256, false}};
  for (const Case& c : cases) {
    std::vector<TColor> pixels;
    const std::string ppm = TempName("in.ppm"), gif = TempName("im.gif");
    WriteFile(ppm, RandomPpm(rng, c.w, c.h, c.colors, pixels));
    RunCommand("convert " + ppm + (c.interlace ? " -interlace GIF " : " ") + gif);
    std::ifstream in(gif, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TGIFImage image;
    std::vector<std::string> warnings;
    LoadGif(image, TBytes(bytes.begin(), bytes.end()), &warnings);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Frame(0)->IsInterlaced(), c.interlace);
    EXPECT_EQ(FrameColors(image.Frame(0)),
              RgbColors(RunCommand("convert " + gif + " -depth 8 rgb:-")))
        << c.w << "x" << c.h << " " << c.colors;
    EXPECT_TRUE(warnings.empty());
  }
}

TEST(GIFReference, AnimationsWrittenByImageMagickKeepGeometryAndDelays) {
  ASSERT_TRUE(HaveConvert()) << "ImageMagick's convert is missing: run scripts/install-deps";
  std::mt19937 rng(5);
  std::vector<TColor> a, b;
  const std::string pa = TempName("a.ppm"), pb = TempName("b.ppm"), gif = TempName("anim.gif");
  WriteFile(pa, RandomPpm(rng, 12, 9, 20, a));
  WriteFile(pb, RandomPpm(rng, 5, 4, 7, b));
  RunCommand("convert -delay 7 " + pa + " -delay 9 -page +3+2 " + pb + " -loop 3 " + gif);
  std::ifstream in(gif, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TGIFImage image;
  LoadGif(image, TBytes(bytes.begin(), bytes.end()));
  std::ostringstream ours;
  for (int i = 0; i < image.FrameCount(); ++i) {
    TGIFSubImage* f = image.Frame(i);
    ours << f->Width() << " " << f->Height() << " +" << f->Left() << " +" << f->Top() << " "
         << (f->GraphicControlExtension() ? f->GraphicControlExtension()->DelayTime() : 0) << "\n";
  }
  EXPECT_EQ(ours.str(), RunCommand("identify -format \"%w %h %X %Y %T\\n\" " + gif));
  TGIFAppExtNSLoop* loop = nullptr;
  for (int k = 0; k < image.Frame(0)->Extensions().ItemCount(); ++k)
    if (auto* l = dynamic_cast<TGIFAppExtNSLoop*>(image.Frame(0)->Extensions().ExtensionAt(k)))
      loop = l;
  ASSERT_NE(loop, nullptr);
  // The count as the file stores it (writers differ in whether the first pass is counted).
  const size_t at = bytes.find("NETSCAPE2.0");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(loop->RepeatCount(),
            static_cast<uint8_t>(bytes[at + 13]) | (static_cast<uint8_t>(bytes[at + 14]) << 8));
}

TEST(GIFReference, FilesWrittenByTheCodecDecodeTheSameInImageMagick) {
  ASSERT_TRUE(HaveConvert()) << "ImageMagick's convert is missing: run scripts/install-deps";
  std::mt19937 rng(8);
  for (int bits = 1; bits <= 8; ++bits)
    for (uint8_t encoder : {ecLZW, ecRLE})
      for (bool interlaced : {false, true}) {
        const int colors = 1 << bits;
        const int w = 3 + static_cast<int>(rng() % 60), h = 1 + static_cast<int>(rng() % 40);
        std::vector<TColor> table(static_cast<size_t>(colors));
        for (auto& c : table) c = static_cast<TColor>(rng() & 0xFFFFFF);
        std::vector<uint8_t> pixels(static_cast<size_t>(w) * h);
        uint8_t run = 0;
        for (auto& p : pixels)
          p = rng() % 4 == 0 ? (run = static_cast<uint8_t>(rng() % colors)) : run;
        TGIFImage image;
        LoadGif(image, TGifBuilder()
                           .Header(w, h, table)
                           .Frame(0, 0, w, h, pixels, std::max(2, bits), {}, interlaced)
                           .Trailer()
                           .Data());
        image.SetEncoderKind(encoder);
        const TBytes saved = SaveGif(image);
        const std::string gif = TempName("ours.gif");
        WriteFile(gif, std::string(saved.begin(), saved.end()));
        EXPECT_EQ(RgbColors(RunCommand("convert " + gif + " -depth 8 rgb:- 2>/dev/null")),
                  FrameColors(image.Frame(0)))
            << "bits " << bits << " encoder " << int(encoder) << " interlaced " << interlaced;
      }
}

}  // namespace
