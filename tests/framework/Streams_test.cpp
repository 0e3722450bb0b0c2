#include "framework/Streams.h"

#include <gtest/gtest.h>

#include <cstring>

#include "framework/SysUtils.h"

namespace {
std::string TempFile(const char* name) {
  return IncludeTrailingPathDelimiter(testing::TempDir()) + name;
}
}  // namespace

TEST(MemoryStream, WritesReadsAndSeeksLikeAFile) {
  TMemoryStream s;
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Size(), 5);
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Seek(-2, soFromEnd), 3);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2);  // short read at the end
  EXPECT_EQ(std::string(buf, 2), "lo");
  EXPECT_EQ(s.Read(buf, 8), 0);
  s.SetPosition(7);  // past the end: writing there fills the gap with zeros
  s.WriteBuffer("!", 1);
  EXPECT_EQ(s.Size(), 8);
  EXPECT_EQ(s.Memory()[5], 0);
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Memory()), 2), "he");
  EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
}

TEST(MemoryStream, ReadBufferPastTheEndRaisesReadError) {
  TMemoryStream s;
  s.WriteBuffer("abc", 3);
  s.SetPosition(1);
  char buf[4];
  try {
    s.ReadBuffer(buf, 4);
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
}

TEST(FileStream, RoundTripsThroughAFile) {
  const std::string name = TempFile("kfw_stream.bin");
  {
    TFileStream out(name, fmCreate);
    for (int i = 0; i < 1000; ++i) out.WriteBuffer(&i, sizeof i);
    EXPECT_EQ(out.Size(), 4000);
  }
  TMemoryStream mem;
  mem.LoadFromFile(name);
  EXPECT_EQ(mem.Size(), 4000);
  int v;
  mem.Seek(4 * 999, soBeginning);
  mem.ReadBuffer(&v, 4);
  EXPECT_EQ(v, 999);

  {
    TFileStream in(name, fmOpenRead | fmShareDenyNone);
    in.Seek(-4, soEnd);
    in.ReadBuffer(&v, 4);
    EXPECT_EQ(v, 999);
    EXPECT_THROW(in.ReadBuffer(&v, 4), EReadError);
    int zero = 0;
    EXPECT_THROW(in.WriteBuffer(&zero, 4), EWriteError);  // opened for reading only
  }
  {
    TFileStream rw(name, fmOpenReadWrite);
    rw.SetSize(8);
    EXPECT_EQ(rw.Size(), 8);
    TMemoryStream copy;
    rw.SetPosition(0);
    EXPECT_EQ(copy.CopyFrom(&rw, 0), 8);
    EXPECT_EQ(copy.Size(), 8);
  }
  DeleteFile(name);
}

TEST(FileStream, OpenAndCreateFailuresNameTheFile) {
  const std::string missing = TempFile("kfw_no_such_dir") + PathDelim + "x.bin";
  try {
    TFileStream s(missing, fmOpenRead);
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\"");
  }
  try {
    TFileStream s(missing, fmCreate);
    ADD_FAILURE();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + missing + "\"");
  }
  EXPECT_THROW(TFileStream(testing::TempDir(), fmOpenRead), EFOpenError);  // a folder
}

TEST(FileStream, PositionsAndSizesBeyondFourGigabytes) {
  const std::string name = TempFile("kfw_stream_large.bin");
  {
    TFileStream s(name, fmCreate);
    const int64_t far = (int64_t{5} << 30) + 3;  // past 32 bits
    s.SetSize(far + 4);                          // sparse where the file system allows it
    EXPECT_EQ(s.Size(), far + 4);
    EXPECT_EQ(s.Seek(far, soBeginning), far);
    s.WriteBuffer("tail", 4);
    EXPECT_EQ(s.Position(), far + 4);
    s.Seek(-4, soCurrent);
    char buf[4];
    s.ReadBuffer(buf, 4);
    EXPECT_EQ(std::string(buf, 4), "tail");
  }
  EXPECT_EQ(FileSizeOf(name), (int64_t{5} << 30) + 7);
  DeleteFile(name);
}
