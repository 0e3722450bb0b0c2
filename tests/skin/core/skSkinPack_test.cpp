#include "skin/core/skinfiles/skSkinPack.h"

#include <gtest/gtest.h>

#include "skin/core/skinfiles/skZLibEx.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

using skintest::SkinFile;

std::unique_ptr<TskSkinConvertor> ReaderOver(const std::vector<uint8_t>& bytes) {
  auto reader = std::make_unique<TskSkinConvertor>();
  auto source = std::make_unique<TMemoryStream>();
  if (!bytes.empty()) source->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  reader->SetSource(source.release(), true);
  return reader;
}

std::string Text(TMemoryStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.Memory()),
                     static_cast<size_t>(stream.Size()));
}

// The message a packed skin's read fails with; empty when it reads.
std::string ReadError(const std::vector<uint8_t>& bytes) {
  auto reader = ReaderOver(bytes);
  try {
    ReadPackedSkin(reader);
  } catch (const std::exception& e) {
    if (reader) {
      EXPECT_TRUE(reader->Images.empty());
      EXPECT_FALSE(reader->Options);
    }
    return e.what();
  }
  return "";
}

TEST(SkinPackTest, WriterAndReaderRoundTrip) {
  const std::vector<uint8_t> bitmap = skintest::BmpFile(5, 3, clRed);
  const std::vector<TskPackEntry> entries = {{"Options.dat", std::vector<uint8_t>{'[', 'A', ']'}},
                                             {"MASTER.BMP", bitmap},
                                             {"Glyph.png", std::vector<uint8_t>(70000, 7)},
                                             {"EMPTY.BMP", {}}};
  auto reader = ReaderOver(PackSkin(entries));
  ReadPackedSkin(reader);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->ImageCount, 3);
  EXPECT_EQ(Text(*reader->Options), "[A]");
  ASSERT_EQ(reader->Images.size(), 3u);
  EXPECT_EQ(reader->Images[0].FileName, "MASTER.BMP");
  EXPECT_TRUE(reader->Images[0].IsBitmap);
  EXPECT_EQ(std::vector<uint8_t>(reader->Images[0].Data->Memory(),
                                 reader->Images[0].Data->Memory() + bitmap.size()),
            bitmap);
  EXPECT_FALSE(reader->Images[1].IsBitmap);
  EXPECT_EQ(reader->Images[1].Data->Size(), 70000);
  EXPECT_EQ(reader->Images[2].Data->Size(), 0);  // an empty entry loads
  EXPECT_EQ(reader->FindImage("GLYPH.PNG"), &reader->Images[1]);
  EXPECT_EQ(reader->FindImage("Glyph.png"), nullptr);  // the value is compared as given
}

TEST(SkinPackTest, OptionsNameIgnoresCaseAndTheTagDoesNot) {
  auto reader = ReaderOver(PackSkin({{"options.DAT", {'x'}}, {"A.BMP", {'y'}}}));
  ReadPackedSkin(reader);
  ASSERT_TRUE(reader && reader->Options);
  EXPECT_EQ(Text(*reader->Options), "x");
  EXPECT_EQ(reader->ImageCount, 1);

  std::vector<uint8_t> upper = PackSkin({{"Options.dat", {'x'}}});
  upper[3] = 'F';  // "ASZF"
  auto refused = ReaderOver(upper);
  try {
    ReadPackedSkin(refused);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Loaded data is not a packed skin file");
  }
  EXPECT_FALSE(refused);  // the reader is gone
}

TEST(SkinPackTest, EveryTruncationFailsCleanly) {
  const std::vector<uint8_t> good =
      PackSkin({{"Options.dat", {'[', 'A', ']'}}, {"A.BMP", skintest::BmpFile(4, 4, clBlue)}});
  ASSERT_EQ(ReadError(good), "");
  for (size_t length = 0; length < good.size(); ++length) {
    const std::string error = ReadError(std::vector<uint8_t>(good.begin(), good.begin() + length));
    EXPECT_FALSE(error.empty()) << "a file cut after " << length << " bytes must fail";
  }
}

// The damaged files skingen writes, each with the words its error must contain.
TEST(SkinPackTest, BrokenFilesGiveTheirErrors) {
  const std::pair<const char*, const char*> cases[] = {
      {"truncated-tag", "not a packed skin"},
      {"truncated-count", "number of entries is cut off"},
      {"truncated-namelength", "name length is cut off"},
      {"truncated-name", "the name is cut off"},
      {"truncated-size", "the size is cut off"},
      {"truncated-stream", "entry 1 is cut off"},
      {"truncated-checksum", "is cut off"},
      {"count-negative", "number of entries (-1) is out of range"},
      {"count-huge", "is out of range"},
      {"count-zero", "number of entries (0)"},
      {"namelength-huge", "name length (1073741824) is out of range"},
      {"namelength-negative", "name length (-5) is out of range"},
      {"size-huge", "the size (2147483632) is out of range"},
      {"size-negative", "the size (-1) is out of range"},
      {"size-too-small", "unpacks to more than its stated size"},
      {"size-too-large", "unpacks to less than its stated size"},
      {"stream-corrupt", "data error"},
      {"stream-dictionary", "need dictionary"},
      {"options-missing", "holds no Options.dat"},
      {"options-twice", "holds Options.dat twice"},
      {"tag-wrong-case", "Loaded data is not a packed skin file"},
  };
  for (const auto& [name, words] : cases) {
    const std::string error = ReadError(SkinFile(std::string("broken/") + name + ".asz"));
    EXPECT_NE(error.find(words), std::string::npos) << name << ": " << error;
  }
  EXPECT_EQ(ReadError(SkinFile("odd/empty-entry.asz")), "");
}

TEST(SkinPackTest, LoadsAFileAndIgnoresAMissingOne) {
  std::unique_ptr<TskSkinConvertor> reader;
  LoadPackedSkinFile(skintest::SkinsDir() + "/packed/Missing.asz", reader, true);
  EXPECT_FALSE(reader);
  LoadPackedSkinFile(skintest::SkinsDir() + "/packed/Test.asz", reader, true);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->ImageCount, 8);
  EXPECT_EQ(reader->Source(), nullptr);  // freed after reading
  ASSERT_NE(reader->FindImage("MASTER.BMP"), nullptr);
  EXPECT_TRUE(reader->FindImage("MASTER.BMP")->IsBitmap);
}

TEST(SkinPackTest, AStoredSkinsStreamIsLentNotTaken) {
  const std::vector<uint8_t> bytes = PackSkin({{"Options.dat", {'x'}}});
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  auto reader = std::make_unique<TskSkinConvertor>();
  reader->SetSource(&data, false);
  ReadPackedSkin(reader);
  reader.reset();
  EXPECT_EQ(data.Size(), static_cast<int64_t>(bytes.size()));  // still ours, still whole
}

}  // namespace
