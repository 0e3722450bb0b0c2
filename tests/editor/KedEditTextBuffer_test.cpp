#include "editor/KedEditTextBuffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "editor/KedEditFileBytes.h"

namespace {

std::vector<std::string> LinesOf(const TKedEditStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("kestrava_textbuffer_" + name)).string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct LoadCase {
  const char* name;
  std::string data;
  std::vector<std::string> lines;
  TKedEditLineBreakStyle style;
  bool savesBackExactly;
};

// Every break form, trailing breaks and NUL bytes in one table.
const LoadCase kLoadCases[] = {
    {"Empty", "", {}, lbsCRLF, true},
    {"NoBreak", "abc", {"abc"}, lbsCRLF, true},
    {"CRLF", "a\r\nb", {"a", "b"}, lbsCRLF, true},
    {"CRLFTrailing", "a\r\nb\r\n", {"a", "b", ""}, lbsCRLF, true},
    {"LFTrailing", "a\nb\n", {"a", "b", ""}, lbsLF, true},
    {"CR", "a\rb", {"a", "b"}, lbsCR, true},
    {"MixedSavesCRLF", "a\r\nb\nc", {"a", "b", "c"}, lbsCRLF, false},
    {"LFCREndsTwoLines", "a\n\rb", {"a", "", "b"}, lbsCRLF, false},
    {"OnlyCRLF", "\r\n", {"", ""}, lbsCRLF, true},
    {"NulIsOrdinary", std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}, lbsLF, true},
    {"EmptyLinesLF", "\n\n", {"", "", ""}, lbsLF, true},
    // A CR closing one 32-byte scan block and a lone LF a whole block later are two breaks.
    {"LoneLFABlockAfterACR",
     std::string(31, 'x') + "\r" + std::string(32, 'y') + "\nz",
     {std::string(31, 'x'), std::string(32, 'y'), "z"},
     lbsCRLF,
     false},
};

class LoadTable : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadTable, SplitsLinesAndKeepsTheBreakStyle) {
  const LoadCase& c = GetParam();
  TKedEditStringList list;
  list.LoadFromString(c.data);
  EXPECT_EQ(LinesOf(list), c.lines);
  EXPECT_EQ(list.LineBreakStyle(), c.style);
  if (c.savesBackExactly) {
    EXPECT_EQ(list.SaveToString(), c.data);
  }
}

TEST_P(LoadTable, FileRoundTripMatchesStringRoundTrip) {
  const LoadCase& c = GetParam();
  const std::string in = TempPath(std::string(c.name) + ".in");
  const std::string out = TempPath(std::string(c.name) + ".out");
  { std::ofstream(in, std::ios::binary) << c.data; }
  TKedEditStringList list;
  list.LoadFromFile(in);
  EXPECT_EQ(LinesOf(list), c.lines);
  EXPECT_EQ(list.LineBreakStyle(), c.style);
  EXPECT_EQ(list.IsFileMapped(), !c.data.empty()) << "an empty file cannot be mapped";
  list.SaveToFile(out);
  EXPECT_EQ(ReadFile(out), list.SaveToString());
  std::remove(in.c_str());
  std::remove(out.c_str());
}

INSTANTIATE_TEST_SUITE_P(Breaks, LoadTable, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The reading rule byte by byte: CR LF, a lone CR and a lone LF end a line; a final
// break leaves an empty last line.
std::vector<std::string> ReferenceLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
    lines.push_back(text.substr(i, j - i));
    if (j < text.size() && text[j] == '\r') ++j;
    if (j < text.size() && text[j] == '\n') ++j;
    i = j;
  }
  if (!text.empty() && (text.back() == '\r' || text.back() == '\n')) lines.emplace_back();
  return lines;
}

TEST(KedEditStringList, LongTextsSplitAsTheByteRuleSaysWhereverBreaksFall) {
  // Breaks of every kind at every offset of the scan blocks, long lines and
  // runs of breaks, NUL bytes in between.
  uint32_t seed = 7;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  const char* const breaks[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int length = static_cast<int>(next() % 400);
    while (static_cast<int>(text.size()) < length) {
      const unsigned pick = next() % 12;
      if (pick < 5) {
        text += breaks[pick];
      } else if (pick == 5) {
        text.push_back('\0');
      } else {
        text.append(next() % 40, static_cast<char>('a' + pick));
      }
    }
    TKedEditStringList list;
    list.LoadFromString(text);
    ASSERT_EQ(LinesOf(list), ReferenceLines(text)) << "round " << round;
    ASSERT_LE(list.GetCapacity(), list.Count()) << "the records are allocated exactly";
  }
}

// The first line of the list that differs from the byte rule over text, or -1; without a copy
// of any line, so texts of millions of lines stay quick to check.
int FirstLineAgainstByteRule(const TKedEditStringList& list, std::string_view text) {
  int line = 0;
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
    if (list.LineView(line) != text.substr(i, j - i)) return line;
    ++line;
    if (j < text.size() && text[j] == '\r') ++j;
    if (j < text.size() && text[j] == '\n') ++j;
    i = j;
  }
  if (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
    if (!list.LineView(line).empty()) return line;
    ++line;
  }
  return line == list.Count() ? -1 : line;
}

// Texts of many megabytes are indexed in parts on several cores; the parts' seams must not
// show, wherever they fall: inside a line, on a break, between the CR and LF of a pair.
TEST(KedEditStringList, LargeTextsIndexedInPartsSplitAsTheByteRuleSays) {
  uint32_t seed = 11;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  std::string mixed;
  const char* const breaks[] = {"\r\n", "\n", "\r", "\r\n\r\n"};
  while (mixed.size() < (size_t{24} << 20)) {
    mixed.append(next() % 90, 'x');
    mixed += breaks[next() % 4];
  }
  std::vector<std::string> texts{mixed};
  // Nothing but CR LF pairs after one byte: about every second seam falls inside a pair.
  for (size_t extra = 0; extra < 3; ++extra) {
    std::string pairs = "a";
    for (size_t i = 0; i < (size_t{17} << 19) + extra; ++i) pairs += "\r\n";
    texts.push_back(pairs + std::string(extra, 'z'));
  }
  for (const std::string& text : texts) {
    TKedEditStringList list;
    list.LoadFromString(text);
    EXPECT_EQ(FirstLineAgainstByteRule(list, text), -1) << "a text of " << text.size() << " bytes";
    EXPECT_EQ(list.LineBreakStyle(), lbsCRLF);
  }
  TKedEditStringList lf;
  std::string lfText;
  while (lfText.size() < (size_t{20} << 20)) lfText += "line\n";
  lf.LoadFromString(lfText);
  EXPECT_EQ(lf.LineBreakStyle(), lbsLF) << "the style is seen in every part";
  EXPECT_EQ(lf.SaveToString(), lfText);
}

// The size limit stands for the address space of a 32-bit process: a larger file is refused
// with a message naming it, before anything is read, and the list keeps its text.
TEST(KedEditStringList, AFileLargerThanTheLimitIsRefusedAndTheTextKept) {
  const std::string path = TempPath("limit.sql");
  { std::ofstream(path, std::ios::binary) << "0123456789\r\n0123456789"; }
  TKedEditStringList list;
  list.LoadFromString("kept");
  list.SetMaxFileSize(21);
  try {
    list.LoadFromFile(path);
    ADD_FAILURE() << "a file over the limit was loaded";
  } catch (const EReadError& e) {
    EXPECT_EQ(std::string(e.what()), "File too large to open: \"" + path +
                                         "\" has 22 bytes, this program can hold at most 21");
  }
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"kept"}));
  list.SetMaxFileSize(22);
  list.LoadFromFile(path);
  EXPECT_EQ(list.Count(), 2) << "a file of exactly the limit loads";
  std::remove(path.c_str());
}

TEST(KedEditStringList, MixedBreaksSaveWithCRLFThroughout) {
  TKedEditStringList list;
  list.LoadFromString("a\r\nb\nc");
  EXPECT_EQ(list.SaveToString(), "a\r\nb\r\nc");
}

TEST(KedEditStringList, TextJoinsWithCRLFWhateverTheStyle) {
  TKedEditStringList list;
  list.LoadFromString("a\nb\n");
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");
}

TEST(KedEditStringList, FailedLoadKeepsThePreviousText) {
  TKedEditStringList list;
  list.LoadFromString("keep\nme");
  EXPECT_THROW(list.LoadFromFile(TempPath("does_not_exist/none.sql")), EFOpenError);
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"keep", "me"}));
  EXPECT_EQ(list.LineBreakStyle(), lbsLF);
}

TEST(KedEditStringList, OutOfRangeReadsAreEmptyAndWritesRaise) {
  TKedEditStringList list;
  list.LoadFromString("a\nb");
  EXPECT_EQ(list.Get(-1), "");
  EXPECT_EQ(list.Get(2), "");
  EXPECT_EQ(list.GetLineRange(5), 0);
  EXPECT_EQ(list.GetObjectAt(2), nullptr);
  try {
    list.Delete(2);
    FAIL() << "Delete(Count) must raise";
  } catch (const EKedEditStringList& e) {
    EXPECT_EQ(e.Message(), "Invalid stringlist index 2");
  }
  EXPECT_THROW(list.Delete(-1), EKedEditStringList);
  EXPECT_THROW(list.Insert(3, "x"), EKedEditStringList);
  EXPECT_THROW(list.Exchange(0, 2), EKedEditStringList);
  EXPECT_THROW(list.SetCapacity(1), EListError);
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a", "b"}));
}

TEST(KedEditStringList, PutAtCountAppendsAndEditsCopyOnlyTheLine) {
  TKedEditStringList list;
  list.Put(0, "first");
  EXPECT_EQ(LinesOf(list), std::vector<std::string>{"first"});

  list.LoadFromString("one\ntwo\nthree");
  list.SetLineRange(1, 7);
  list.Put(1, "TWO!");
  list.Put(3, "four");
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"one", "TWO!", "three", "four"}));
  EXPECT_EQ(list.GetLineRange(1), 7) << "replacing the text keeps the highlighter state";
  EXPECT_EQ(list.SaveToString(), "one\nTWO!\nthree\nfour");
}

TEST(KedEditStringList, InsertDeleteAndExchangeMixLoadedAndEditedLines) {
  TKedEditStringList list;
  list.LoadFromString("a\nb\nc");
  list.Insert(1, "x");
  list.Delete(0);
  list.Exchange(0, 2);
  list.Put(1, "B");
  list.Delete(1);
  list.Add("y");
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"c", "x", "y"}));
}

TEST(KedEditStringList, ObjectsFollowTheirLines) {
  TKedEditStringList list;
  list.LoadFromString("a\nb\nc");
  TObject marker;
  list.PutObject(2, &marker);
  list.Delete(0);
  EXPECT_EQ(list.GetObjectAt(1), &marker);
  list.Insert(0, "z");
  EXPECT_EQ(list.GetObjectAt(2), &marker);
  EXPECT_EQ(list.GetObjectAt(0), nullptr);
}

struct Event {
  std::string kind;
  int index;
  int count;
  bool operator==(const Event&) const = default;
};

class ListEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    list.OnLinesChanging = [this](TObject*) { events.push_back({"changing", 0, 0}); };
    list.OnLinesChanged = [this](TObject*) { events.push_back({"changed", 0, 0}); };
    list.OnListCleared = [this](TObject*) { events.push_back({"cleared", 0, 0}); };
    list.OnLinesDeleted = [this](TObject*, int i, int n) { events.push_back({"deleted", i, n}); };
    list.OnLinesInserted = [this](TObject*, int i, int n) { events.push_back({"inserted", i, n}); };
    list.OnLineReplaced = [this](TObject*, int i, int n) { events.push_back({"replaced", i, n}); };
  }
  TKedEditStringList list;
  std::vector<Event> events;
};

TEST_F(ListEvents, EachChangeIsBracketedAndReported) {
  list.Add("a");
  list.Put(0, "b");
  list.InsertEmptyLines(1, 2);
  list.DeleteLineRange(0, 5);
  EXPECT_EQ(events, (std::vector<Event>{{"changing", 0, 0},
                                        {"inserted", 0, 1},
                                        {"changed", 0, 0},
                                        {"changing", 0, 0},
                                        {"replaced", 0, 1},
                                        {"changed", 0, 0},
                                        {"changing", 0, 0},
                                        {"inserted", 1, 2},
                                        {"changed", 0, 0},
                                        {"changing", 0, 0},
                                        {"deleted", 0, 3},
                                        {"changed", 0, 0}}));
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListEvents, CompactionDeletesInOnePassAndReportsRunsFromTheEnd) {
  list.LoadFromString("keep\n--a\n--b\nkeep\n--c");
  events.clear();
  const int removed =
      list.DeleteLinesIf([](int, std::string_view line) { return line.starts_with("--"); });
  EXPECT_EQ(removed, 3);
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"keep", "keep"}));
  EXPECT_EQ(events,
            (std::vector<Event>{
                {"changing", 0, 0}, {"deleted", 4, 1}, {"deleted", 1, 2}, {"changed", 0, 0}}));
}

TEST_F(ListEvents, SwapTakesOverAFreshlyLoadedList) {
  list.Add("old");
  TKedEditStringList fresh;
  fresh.LoadFromString("n1\rn2");
  events.clear();
  list.SwapContents(fresh);
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"n1", "n2"}));
  EXPECT_EQ(list.LineBreakStyle(), lbsCR);
  EXPECT_EQ(LinesOf(fresh), std::vector<std::string>{"old"});
  EXPECT_EQ(events,
            (std::vector<Event>{
                {"changing", 0, 0}, {"cleared", 0, 0}, {"inserted", 0, 2}, {"changed", 0, 0}}));
}

TEST(KedEditStringList, ExpandedLengthsFollowTheTabWidth) {
  TKedEditStringList list;
  list.LoadFromString("a\tb\nlonger line\n");
  EXPECT_EQ(list.GetExpandedLength(0), 9);
  EXPECT_EQ(list.GetLongestLineLength(), 11);
  list.SetTabWidth(4);
  EXPECT_EQ(list.GetExpandedLength(0), 5);
  EXPECT_EQ(list.GetExpandedLine(0), "a   b");
  list.SetTabWidth(1);
  EXPECT_EQ(list.GetExpandedLength(0), 3);
  list.Put(0, "\t\t\t\t\t\t\t\t\t\t\t\t");
  EXPECT_EQ(list.GetLongestLineLength(), 12) << "an edit invalidates the longest line";
  EXPECT_EQ(list.GetExpandedLength(2), 0);
}

TEST(KedEditStringList, LoadedTextCostsAtMostSixteenBytesALineBeyondTheFile) {
  std::string data;
  for (int i = 0; i < 100000; ++i) data += "x\n";
  TKedEditStringList list;
  list.LoadFromString(data);
  ASSERT_EQ(list.Count(), 100001);
  EXPECT_LE(list.MemoryUsed(), data.size() + 16u * list.Count());
}

TEST(KedEditStringList, SetTextReadsEveryBreakForm) {
  TKedEditStringList list;
  list.SetText("a\r\nb\nc\rd\r\n");
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(KedEditStringList, RecordsGrowWhenSampledLineLengthsMislead) {
  // Above a megabyte the record count is estimated from samples spread over the text; here
  // the sampled stretches hold long lines and the rest short ones, so the estimate is far
  // too low and the records must grow while the text is indexed.
  const size_t size = 3u << 20;
  const size_t stride = size / 16;
  std::string text;
  text.reserve(size);
  while (text.size() < size) {
    const bool sampled = text.size() % stride < (64u << 10);
    text += sampled ? std::string(1000, 's') + "\r\n" : std::string("x\n");
  }
  TKedEditStringList list;
  list.LoadFromString(text);
  const std::vector<std::string> expected = ReferenceLines(text);
  ASSERT_EQ(list.Count(), static_cast<int>(expected.size()));
  EXPECT_EQ(LinesOf(list), expected);
  EXPECT_EQ(list.LineBreakStyle(), lbsCRLF);
}

// A file written for one test and removed after it.
class MappedFile : public ::testing::Test {
 protected:
  void Write(const std::string& data) { std::ofstream(path, std::ios::binary) << data; }
  void TearDown() override {
    std::remove(path.c_str());
    std::remove((path + ".saving").c_str());
  }
  const std::string path =
      TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(MappedFile, MappingShowsTheFileBytesAndIsRefusedWhereItCannotBe) {
  Write(std::string("line\0one\r\n", 11));
  std::unique_ptr<TKedEditTextBytes> bytes = MapFileReadOnly(path);
  ASSERT_NE(bytes, nullptr);
  EXPECT_TRUE(bytes->IsFileMapping());
  EXPECT_EQ(bytes->FileName(), path);
  EXPECT_EQ(std::string(bytes->Data(), bytes->Size()), std::string("line\0one\r\n", 11));
  EXPECT_EQ(MapFileReadOnly(TempPath("no_such_folder/none.sql")), nullptr);
  bytes.reset();  // Windows lets nobody write a mapped file
  Write("");
  EXPECT_EQ(MapFileReadOnly(path), nullptr) << "an empty file is read, not mapped";
}

// The loader decides on the size of the file it opened, so a file that grew after someone
// looked at its size cannot slip past the limit; it tells that size either way.
TEST_F(MappedFile, LoadingTakesAFileUpToTheLimitAndTellsTheSizeItOpened) {
  Write("0123456789\r\n0123456789");
  struct Case {
    uint64_t limit;
    bool taken;
  };
  for (const Case& c : {Case{0, false}, Case{21, false}, Case{22, true}, Case{UINT64_MAX, true}}) {
    uint64_t opened = 99;
    std::unique_ptr<TKedEditTextBytes> bytes = LoadFileBytes(path, c.limit, opened);
    EXPECT_EQ(opened, 22u) << c.limit;
    EXPECT_EQ(bytes != nullptr, c.taken) << c.limit;
    if (bytes) {
      EXPECT_EQ(std::string(bytes->Data(), bytes->Size()), "0123456789\r\n0123456789");
    }
  }
  uint64_t opened = 99;
  EXPECT_EQ(LoadFileBytes(TempPath("no_such_folder/none.sql"), UINT64_MAX, opened), nullptr);
  EXPECT_EQ(opened, 0u) << "nothing opened";
}

#ifndef _WIN32
// Reading splits the file over several cores: sizes around a page, a large page and a part
// boundary must all come back byte for byte.
TEST_F(MappedFile, ReadingShowsTheFileBytesAcrossItsPartsAndIsRefusedWhereItCannotBe) {
  for (const size_t size :
       {size_t{1}, size_t{4095}, (size_t{2} << 20) + 3, (size_t{40} << 20) + 7}) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i)
      data[i] = static_cast<char>(i % 64 == 63 ? '\n' : i * 7 % 251);
    Write(data);
    std::unique_ptr<TKedEditTextBytes> bytes = ReadFileBytes(path);
    ASSERT_NE(bytes, nullptr) << size;
    EXPECT_FALSE(bytes->IsFileMapping());
    ASSERT_EQ(bytes->Size(), size);
    EXPECT_TRUE(std::string_view(bytes->Data(), bytes->Size()) == data) << size;
  }
  EXPECT_EQ(ReadFileBytes(TempPath("no_such_folder/none.sql")), nullptr);
  Write("");
  EXPECT_EQ(ReadFileBytes(path), nullptr) << "an empty file is read through a stream";
}
#endif

// A dump large enough to be read rather than mapped where reading is faster: the lines are
// exactly the file's.
TEST_F(MappedFile, ALargeDumpOpensWithExactlyItsText) {
  std::string text;
  text.reserve(size_t{65} << 20);
  for (int i = 0; text.size() < (size_t{65} << 20); ++i)
    text += "INSERT INTO t VALUES (" + std::to_string(i) + ", 'some text');\r\n";
  text += "-- last line without a break";
  Write(text);
  TKedEditStringList list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.LineBreakStyle(), lbsCRLF);
  EXPECT_EQ(list.Get(list.Count() - 1), "-- last line without a break");
  EXPECT_TRUE(list.SaveToString() == text);
}

TEST_F(MappedFile, EditsCopyTheirLinesAndNeverReachTheFile) {
  Write("one\ntwo\nthree");
  TKedEditStringList list;
  list.LoadFromFile(path);
  ASSERT_TRUE(list.IsFileMapped());
  list.Put(1, "TWO");
  list.Insert(0, "zero");
  list.Delete(3);
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"zero", "one", "TWO"}));
  EXPECT_EQ(ReadFile(path), "one\ntwo\nthree");
  list.Clear();
  EXPECT_FALSE(list.IsFileMapped()) << "clearing releases the file";
}

TEST_F(MappedFile, SavingOverTheMappedFileKeepsTheTextAndItsLineStates) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "INSERT INTO t VALUES (" + std::to_string(i) + ");\r\n";
  Write(text);
  TKedEditStringList list;
  list.LoadFromFile(path);
  list.Put(2, "edited");
  list.InsertEmptyLines(4, 2);
  list.StoreLineRange(3, 42);
  const std::vector<std::string> before = LinesOf(list);
  list.SaveToFile(path);
  EXPECT_EQ(LinesOf(list), before);
  EXPECT_EQ(list.GetLineRange(3), 42) << "the highlighter's states survive the save";
  EXPECT_TRUE(list.IsFileMapped()) << "the lines live on the saved file";
  EXPECT_EQ(ReadFile(path), list.SaveToString());
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
  list.Put(0, "again");
  list.SaveToFile(path);
  EXPECT_EQ(ReadFile(path).substr(0, 7), "again\r\n");
}

TEST_F(MappedFile, SavingALineWithABreakOfItsOwnOverTheMappedFileKeepsTheOldFile) {
  Write("a\nb");
  TKedEditStringList list;
  list.LoadFromFile(path);
  list.Put(0, "x\ny");
  EXPECT_THROW(list.SaveToFile(path), EFCreateError);
  EXPECT_EQ(ReadFile(path), "a\nb");
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"x\ny", "b"}));
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
}

TEST_F(MappedFile, SavingAnEmptiedMappedFileLeavesAnEmptyFile) {
  Write("only");
  TKedEditStringList list;
  list.LoadFromFile(path);
  list.Put(0, "");
  list.SaveToFile(path);
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{""}));
}

TEST_F(MappedFile, AReadOnlyMappedFileIsNotReplaced) {
  Write("a\nb");
  TKedEditStringList list;
  list.LoadFromFile(path);
  list.Put(0, "changed");
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_THROW(list.SaveToFile(path), EFCreateError);
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(ReadFile(path), "a\nb");
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"changed", "b"}));
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
}

// Undo keeps deleted lines as records pointing into the mapped file; a save over that file
// must neither be blocked by them (Windows refuses to replace a mapped file) nor lose them.
TEST_F(MappedFile, LinesKeptForUndoComeBackAfterASaveOverTheMappedFile) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "INSERT INTO t VALUES (" + std::to_string(i) + ");\r\n";
  Write(text);
  TKedEditStringList list;
  list.LoadFromFile(path);
  list.Put(20, "edited");
  const std::string before = list.SaveToString();
  const std::shared_ptr<TKedEditLineRun> run = list.TakeLines(10, 2000);
  ASSERT_EQ(run->Count(), 2000);
  EXPECT_EQ(list.Count(), 1001);
  list.SaveToFile(path);
  EXPECT_EQ(ReadFile(path), list.SaveToString());
  list.PutBackLines(10, *run);
  EXPECT_EQ(list.SaveToString(), before);
  EXPECT_EQ(list.Get(20), "edited");
}

TEST(KedEditSave, AFailedWriteLeavesTheOldFileWholeAndSaysSo) {
  const std::string path = TempPath("save-target.sql");
  { std::ofstream(path, std::ios::binary) << "old text"; }
  TKedEditStringList list;
  list.Add("new");
  list.Add("text");
  // The file beside the target cannot be made: the save must fail before touching it.
  std::filesystem::create_directory(path + ".saving");
  EXPECT_THROW(list.SaveToFile(path), EFCreateError);
  EXPECT_EQ(ReadFile(path), "old text");
  EXPECT_EQ(list.Count(), 2) << "the edited text stays";
  std::filesystem::remove(path + ".saving");
  list.SaveToFile(path);
  EXPECT_EQ(ReadFile(path), "new\r\ntext");
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
  std::remove(path.c_str());
}

TEST(KedEditFileWriter, WritesLinesLongerThanItsBuffer) {
  const std::string path = TempPath("long.txt");
  const std::string longLine(40000, 'q');
  {
    TKedEditFileWriter writer(path);
    writer.SetLineBreakStyle(lbsCR);
    writer.WriteLine("a");
    writer.WriteLine(longLine);
    writer.Write("z");
    writer.Close();
  }
  EXPECT_EQ(ReadFile(path), "a\r" + longLine + "\rz");
  std::remove(path.c_str());
}

}  // namespace
