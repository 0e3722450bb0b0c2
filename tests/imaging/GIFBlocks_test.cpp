// Reading and writing the blocks of a GIF file: header, extensions, trailer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>

#include "imaging/GIFImage.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

const std::vector<TColor> kFourColors{clBlack, clWhite, clRed, clBlue};

TBytes OnePixelFile(const std::string& signature = "GIF89a") {
  return TGifBuilder().Header(1, 1, kFourColors, signature).Frame(0, 0, 1, 1, {2}).Trailer().Data();
}

TEST(GIFBlocks, SignatureVariantsThatStillLoad) {
  struct Case {
    const char* name;
    TBytes bytes;
  } cases[] = {
      {"lower case", OnePixelFile("gif89a")},
      {"unknown version", OnePixelFile("GIF90z")},
      {"four-byte prefix",
       [] {
         TBytes b{0xDE, 0xAD, 0xBE, 0xEF};
         TBytes f = OnePixelFile();
         b.insert(b.end(), f.begin(), f.end());
         return b;
       }()},
  };
  for (const Case& c : cases) {
    TGIFImage image;
    ASSERT_NO_THROW(LoadGif(image, c.bytes)) << c.name;
    ASSERT_EQ(image.FrameCount(), 1) << c.name;
    EXPECT_EQ(image.Frame(0)->PixelAt(0, 0), 2) << c.name;
  }
}

TEST(GIFBlocks, MissingSignatureIsRejectedAndTheStreamIsRewound) {
  TBytes bytes = OnePixelFile();
  bytes[0] = 'X';
  TBytes withLead{7, 7};
  withLead.insert(withLead.end(), bytes.begin(), bytes.end());
  TMemoryStream stream = StreamOf(withLead);
  stream.SetPosition(2);
  TGIFImage image;
  try {
    image.LoadFromStream(stream);
    FAIL() << "no exception";
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Invalid GIF signature");
  }
  EXPECT_EQ(stream.Position(), 2);
}

TEST(GIFBlocks, ToleratedDeviationsBetweenBlocks) {
  struct Case {
    const char* name;
    TBytes bytes;
    std::vector<std::string> warnings;
  } cases[] = {
      {"no trailer", TGifBuilder().Header(1, 1, kFourColors).Frame(0, 0, 1, 1, {1}).Data(), {}},
      {"zero bytes between blocks",
       TGifBuilder()
           .Header(1, 1, kFourColors)
           .Byte(0)
           .Byte(0)
           .Frame(0, 0, 1, 1, {1})
           .Byte(0)
           .Trailer()
           .Data(),
       {}},
      {"unknown block",
       TGifBuilder().Header(1, 1, kFourColors).Frame(0, 0, 1, 1, {1}).Byte('X').Data(),
       {"Unknown GIF block type", "Invalid Image trailer"}},
  };
  for (const Case& c : cases) {
    TGIFImage image;
    std::vector<std::string> warnings;
    ASSERT_NO_THROW(LoadGif(image, c.bytes, &warnings)) << c.name;
    EXPECT_EQ(image.FrameCount(), 1) << c.name;
    EXPECT_EQ(warnings, c.warnings) << c.name;
  }
}

TEST(GIFBlocks, CommentAfterTheLastImageIsKeptAndWrittenBackBeforeTheTrailer) {
  const TBytes bytes = TGifBuilder()
                           .Header(1, 1, kFourColors)
                           .Frame(0, 0, 1, 1, {1})
                           .Comment("bye")
                           .Trailer()
                           .Data();
  TGIFImage image;
  LoadGif(image, bytes);
  ASSERT_EQ(image.FrameCount(), 2);
  EXPECT_TRUE(image.Frame(1)->IsEmpty());
  ASSERT_EQ(image.Frame(1)->Extensions().ItemCount(), 1);
  const TBytes saved = SaveGif(image);
  const TBytes tail{'!', 0xFE, 3, 'b', 'y', 'e', 0, ';'};
  ASSERT_GE(saved.size(), tail.size());
  EXPECT_EQ(TBytes(saved.end() - static_cast<std::ptrdiff_t>(tail.size()), saved.end()), tail);
}

TEST(GIFBlocks, VersionFollowsTheFeaturesInUse) {
  TGIFImage plain;
  LoadGif(plain, TGifBuilder().Header(1, 1, kFourColors).Frame(0, 0, 1, 1, {1}).Trailer().Data());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(SaveGif(plain).data()), 6), "GIF87a");

  TGIFImage withExtension;
  LoadGif(withExtension, TGifBuilder()
                             .Header(1, 1, kFourColors, "GIF87a")
                             .GraphicControl(0, 5)
                             .Frame(0, 0, 1, 1, {1})
                             .Trailer()
                             .Data());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(SaveGif(withExtension).data()), 6), "GIF89a");

  TGIFImage sortedLocal;
  LoadGif(sortedLocal,
          TGifBuilder().Header(1, 1, {}).Frame(0, 0, 1, 1, {1}, 2, kFourColors).Trailer().Data());
  sortedLocal.Frame(0)->ColorMap().SetSorted(true);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(SaveGif(sortedLocal).data()), 6), "GIF89a");
}

TEST(GIFBlocks, LoopingExtensionIsWrittenByteForByte) {
  TGIFImage image;
  LoadGif(image, TGifBuilder().Header(1, 1, kFourColors).Frame(0, 0, 1, 1, {1}).Trailer().Data());
  auto loop = std::make_unique<TGIFAppExtNSLoop>(image.Frame(0));
  TMemoryStream stream;
  loop->SaveToStream(stream);
  const TBytes expected{'!', 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                        'E', '2',  '.', '0', 3,   1,   0,   0,   0};
  EXPECT_EQ(BytesOf(stream), expected);
}

TEST(GIFBlocks, LoopingExtensionRoundTripsCountAndBufferHint) {
  const TBytes bytes =
      TGifBuilder().Header(1, 1, kFourColors).Loop(3).Frame(0, 0, 1, 1, {1}).Trailer().Data();
  TGIFImage image;
  LoadGif(image, bytes);
  auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(image.Frame(0)->Extensions().ExtensionAt(0));
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->RepeatCount(), 3);
  loop->SetBufferHint(0x01020304);
  TGIFImage again;
  LoadGif(again, SaveGif(image));
  auto* reread = dynamic_cast<TGIFAppExtNSLoop*>(again.Frame(0)->Extensions().ExtensionAt(0));
  ASSERT_NE(reread, nullptr);
  EXPECT_EQ(reread->RepeatCount(), 3);
  EXPECT_EQ(reread->BufferHint(), 0x01020304u);
}

TEST(GIFBlocks, ApplicationBlockOfTenBytesIsKeptAsUnknownAndWrittenWithEleven) {
  // Ten bytes of identifier; the eleventh byte read is the sub-block length after them.
  const TBytes bytes = TGifBuilder()
                           .Header(1, 1, kFourColors)
                           .Application(10, "OLDWRITER1", {0xAA, 0xBB})
                           .Frame(0, 0, 1, 1, {1})
                           .Trailer()
                           .Data();
  TGIFImage image;
  LoadGif(image, bytes);
  auto* app = dynamic_cast<TGIFUnknownAppExtension*>(image.Frame(0)->Extensions().ExtensionAt(0));
  ASSERT_NE(app, nullptr);
  TMemoryStream stream;
  app->SaveToStream(stream);
  const TBytes written = BytesOf(stream);
  ASSERT_GT(written.size(), 3u);
  EXPECT_EQ(written[2], 11);
}

TEST(GIFBlocks, UnknownApplicationBlocksRoundTripVerbatim) {
  const TBytes bytes = TGifBuilder()
                           .Header(1, 1, kFourColors)
                           .Application(11, "XMP DataXMP", {1, 2, 3, 4, 5})
                           .Frame(0, 0, 1, 1, {1})
                           .Trailer()
                           .Data();
  TGIFImage image;
  LoadGif(image, bytes);
  const TBytes saved = SaveGif(image);
  const std::string id = "XMP DataXMP";
  TBytes block{'!', 0xFF, 11};
  block.insert(block.end(), id.begin(), id.end());
  block.insert(block.end(), {5, 1, 2, 3, 4, 5, 0, ','});
  EXPECT_NE(std::search(saved.begin(), saved.end(), block.begin(), block.end()), saved.end());
}

TEST(GIFBlocks, FormatErrorsInExtensions) {
  struct Case {
    const char* name;
    TBytes extension;
    const char* message;
  } cases[] = {
      {"unknown label", {'!', 0x42, 0}, "Unknown extension type"},
      {"application block too small",
       {'!', 0xFF, 5, 'A', 'B', 'C', 'D', 'E', 0},
       "Unsupported Application Extension block size"},
      {"looping sub-block too short",
       {'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 0, 0},
       "Invalid GIF data"},
      {"text extension cut short", {'!', 0x01, 12, 0, 0}, "Premature end of data"},
  };
  for (const Case& c : cases) {
    const TBytes bytes = TGifBuilder().Header(1, 1, kFourColors).Bytes(c.extension).Data();
    TGIFImage image;
    try {
      LoadGif(image, bytes);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const GIFException& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }
  }
}

TEST(GIFBlocks, GraphicControlCutShortWarnsAndLoadingGoesOn) {
  const TBytes bytes = TGifBuilder().Header(1, 1, kFourColors).Bytes({'!', 0xF9, 4, 0}).Data();
  TGIFImage image;
  std::vector<std::string> warnings;
  ASSERT_NO_THROW(LoadGif(image, bytes, &warnings));
  EXPECT_NE(std::find(warnings.begin(), warnings.end(), "Premature end of data"), warnings.end());
}

TEST(GIFBlocks, EndOfDataInsideExtensionsNeverReadsPastTheStream) {
  const TBytes full = TGifBuilder()
                          .Header(2, 2, kFourColors)
                          .Loop(0)
                          .Comment(std::string(300, 'c'))
                          .Application(11, "XMP DataXMP", TBytes(40, 9))
                          .GraphicControl(2, 7, 1)
                          .Frame(0, 0, 2, 2, {0, 1, 2, 3})
                          .Trailer()
                          .Data();
  for (size_t cut = 13; cut < full.size(); ++cut) {
    TGIFImage image;
    try {
      LoadGif(image, TBytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)));
    } catch (const GIFException&) {
    }
  }
  SUCCEED();
}

TEST(GIFBlocks, GlobalSizeFieldDescribesTheGlobalTableNotTheLargestLocal) {
  TGIFImage image;
  std::vector<TColor> many(256);
  for (int i = 0; i < 256; ++i) many[i] = MakeColor(static_cast<uint8_t>(i), 0, 0);
  LoadGif(
      image,
      TGifBuilder().Header(1, 1, kFourColors).Frame(0, 0, 1, 1, {200}, 8, many).Trailer().Data());
  const TBytes saved = SaveGif(image);
  EXPECT_EQ(saved[10] & 0x07, 1);
  EXPECT_EQ(saved[10] & 0x80, 0x80);
}

TEST(GIFBlocks, SavingAnImageWithoutFramesIsRefused) {
  TGIFImage image;
  TMemoryStream stream;
  try {
    image.SaveToStream(stream);
    FAIL() << "no exception";
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Unsupported GIF version");
  }
}

TEST(GIFBlocks, BitsForColorCount) {
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 1},   {3, 2},   {4, 2},  {5, 3},
                                       {8, 3}, {9, 4}, {128, 7}, {129, 8}, {256, 8}};
  for (auto [count, bits] : cases) EXPECT_EQ(BitsForColorCount(count), bits) << count;
}

}  // namespace
