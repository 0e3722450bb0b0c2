#include "skin/core/skinfiles/skZLibEx.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <numeric>

namespace {

std::vector<uint8_t> Bytes(size_t size, uint32_t seed) {
  std::vector<uint8_t> out(size);
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    out[i] = static_cast<uint8_t>(seed >> 24);
  }
  return out;
}

void Append(TMemoryStream& stream, const std::vector<uint8_t>& bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::vector<uint8_t> ReadAll(TStream& stream, size_t size) {
  std::vector<uint8_t> out(size);
  stream.ReadBuffer(out.data(), static_cast<int64_t>(size));
  return out;
}

TEST(ZDecompressionStreamTest, BackToBackStreamsLeaveTheSourceOnTheNextStream) {
  // The first stream's end lies inside a 64 KB input block (random data does not compress).
  for (size_t firstSize : {size_t{10}, size_t{70000}, size_t{200000}}) {
    const std::vector<uint8_t> first = Bytes(firstSize, 1);
    const std::vector<uint8_t> second = Bytes(5000, 2);
    const std::vector<uint8_t> packedFirst = ZCompressBytes(first.data(), first.size());
    TMemoryStream source;
    Append(source, {0xAA, 0xBB});  // the streams need not begin at 0
    Append(source, packedFirst);
    Append(source, ZCompressBytes(second.data(), second.size()));
    source.SetPosition(2);
    {
      TZDecompressionStream unpack(&source);
      EXPECT_EQ(ReadAll(unpack, first.size()), first);
      uint8_t extra;
      EXPECT_EQ(unpack.Read(&extra, 1), 0);
      EXPECT_TRUE(unpack.StreamEnded());
    }
    EXPECT_EQ(source.Position(), static_cast<int64_t>(2 + packedFirst.size())) << firstSize;
    TZDecompressionStream unpack(&source);
    EXPECT_EQ(ReadAll(unpack, second.size()), second);
  }
}

TEST(ZDecompressionStreamTest, SeekRewindsToTheStreamsOwnStartAndOnlyMovesForward) {
  const std::vector<uint8_t> data = Bytes(30000, 3);
  TMemoryStream source;
  Append(source, {1, 2, 3});
  Append(source, ZCompressBytes(data.data(), data.size()));
  source.SetPosition(3);
  TZDecompressionStream unpack(&source);
  ReadAll(unpack, 1000);
  EXPECT_EQ(unpack.Seek(0, soBeginning), 0);
  EXPECT_EQ(ReadAll(unpack, 100), std::vector<uint8_t>(data.begin(), data.begin() + 100));
  EXPECT_EQ(unpack.Seek(50, soCurrent), 150);
  EXPECT_EQ(ReadAll(unpack, 1)[0], data[150]);
  EXPECT_EQ(unpack.Seek(1000, soBeginning), 1000);
  EXPECT_EQ(ReadAll(unpack, 1)[0], data[1000]);
  EXPECT_THROW(unpack.Seek(-1, soCurrent), EZDecompressionError);
  EXPECT_THROW(unpack.Seek(10, soBeginning), EZDecompressionError);
  EXPECT_EQ(unpack.Seek(0, soEnd), 30000);
  EXPECT_EQ(unpack.Size(), 30000);
  try {
    unpack.Write("x", 1);
    FAIL() << "Write must refuse";
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
  }
}

TEST(ZDecompressionStreamTest, DamagedAndDictionaryStreamsRaiseInsteadOfLooping) {
  const std::string text = "[GLOBALINFO]\r\nVERSION=7.0\r\n";
  std::vector<uint8_t> bad = ZCompressBytes(text.data(), text.size());
  bad[4] ^= 0xFF;
  bad[5] ^= 0x5A;
  TMemoryStream damaged;
  Append(damaged, bad);
  damaged.SetPosition(0);
  TZDecompressionStream unpackDamaged(&damaged);
  char out[64];
  try {
    unpackDamaged.Read(out, static_cast<int32_t>(text.size()));
    FAIL() << "damaged data must raise";
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.ErrorCode(), Z_DATA_ERROR);
    EXPECT_EQ(e.Message(), "data error");
  }

  // A stream made with a preset dictionary: inflate asks for it and would ask forever.
  z_stream z{};
  ASSERT_EQ(deflateInit(&z, 9), Z_OK);
  const char dict[] = "GLOBALINFO";
  deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dict), sizeof dict - 1);
  std::vector<uint8_t> packed(256);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = packed.data();
  z.avail_out = static_cast<uInt>(packed.size());
  ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  packed.resize(z.total_out);
  deflateEnd(&z);
  TMemoryStream withDictionary;
  Append(withDictionary, packed);
  withDictionary.SetPosition(0);
  TZDecompressionStream unpack(&withDictionary);
  try {
    unpack.Read(out, static_cast<int32_t>(text.size()));
    FAIL() << "a dictionary request must raise";
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.Message(), "need dictionary");
  }
}

TEST(ZDecompressionStreamTest, ResultCodesHaveTheirTexts) {
  const std::pair<int, const char*> cases[] = {
      {2, "need dictionary"},      {1, "stream end"},    {0, "ok"},
      {-1, "file error"},          {-2, "stream error"}, {-3, "data error"},
      {-4, "insufficient memory"}, {-5, "buffer error"}, {-6, "incompatible version"}};
  for (const auto& [code, text] : cases) EXPECT_EQ(ZLibErrorMessage(code), text) << code;
  EXPECT_EQ(CheckInflateResult(1), 1);
  EXPECT_THROW(CheckInflateResult(-5), EZDecompressionError);
}

}  // namespace
