// The file mapping under the loaded lines on Windows: its share mode keeps writers out
// while the lines point into the file, and a file someone writes is read instead.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "editor/KedEditTextBuffer.h"
#include "framework/Streams.h"

namespace {

class MappedFileShare : public ::testing::Test {
 protected:
  void SetUp() override { std::ofstream(path, std::ios::binary) << "first\r\nsecond"; }
  void TearDown() override { std::remove(path.c_str()); }
  const std::string path =
      (std::filesystem::temp_directory_path() / "kestrava_mapped_share.sql").string();
};

TEST_F(MappedFileShare, OtherWritersAreRefusedWhileTheLinesPointIntoTheFile) {
  TKedEditStringList list;
  list.LoadFromFile(path);
  ASSERT_TRUE(list.IsFileMapped());
  EXPECT_THROW(TFileStream(path, fmOpenWrite | fmShareDenyNone), EFOpenError);
  EXPECT_THROW(TFileStream(path, fmCreate), EFCreateError);
  {
    TFileStream reader(path, fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(reader.Size(), 13);
  }
  list.Clear();
  EXPECT_NO_THROW(TFileStream(path, fmOpenWrite | fmShareDenyNone)) << "released on Clear";
}

TEST_F(MappedFileShare, AFileOpenForWritingElsewhereIsReadInstead) {
  TFileStream writer(path, fmOpenReadWrite | fmShareDenyNone);
  TKedEditStringList list;
  list.LoadFromFile(path);
  EXPECT_FALSE(list.IsFileMapped());
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(1), "second");
}

// Read through a stream, the file is refused by the stream's size, with the message a mapped
// one gets.
TEST_F(MappedFileShare, AFileReadInsteadIsRefusedOverTheLimitByItsStreamSize) {
  TFileStream writer(path, fmOpenReadWrite | fmShareDenyNone);
  TKedEditStringList list;
  list.LoadFromString("kept");
  list.SetMaxFileSize(12);
  try {
    list.LoadFromFile(path);
    ADD_FAILURE() << "a file over the limit was read";
  } catch (const EReadError& e) {
    EXPECT_EQ(std::string(e.what()), "File too large to open: \"" + path +
                                         "\" has 13 bytes, this program can hold at most 12");
  }
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Get(0), "kept");
  list.SetMaxFileSize(13);
  list.LoadFromFile(path);
  EXPECT_FALSE(list.IsFileMapped());
  EXPECT_EQ(list.Count(), 2) << "a file of exactly the limit is read";
}

TEST_F(MappedFileShare, SavingOverTheMappedFileReplacesItAndMapsTheNewOne) {
  TKedEditStringList list;
  list.LoadFromFile(path);
  list.Put(0, "changed");
  list.SaveToFile(path);
  EXPECT_TRUE(list.IsFileMapped());
  EXPECT_EQ(list.Get(0), "changed");
  EXPECT_EQ(list.Get(1), "second");
  EXPECT_THROW(TFileStream(path, fmOpenWrite | fmShareDenyNone), EFOpenError)
      << "the saved file is the one now held";
  list.Clear();
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "changed\r\nsecond");
}

}  // namespace
