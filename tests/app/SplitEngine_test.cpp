#include "app/SplitEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/PieceFileSink.h"
#include "editor/KedEditTextBuffer.h"

namespace {

class VectorSource : public TSplitLineSource {
 public:
  explicit VectorSource(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  int Count() const override { return static_cast<int>(lines_.size()); }
  std::string_view Line(int index) const override { return lines_[index]; }

 private:
  std::vector<std::string> lines_;
};

// The same line `count` times, without holding the text more than once.
class RepeatedSource : public TSplitLineSource {
 public:
  RepeatedSource(std::string line, int count) : line_(std::move(line)), count_(count) {}
  int Count() const override { return count_; }
  std::string_view Line(int) const override { return line_; }

 private:
  std::string line_;
  int count_;
};

// Keeps the pieces in memory, or only their line and byte counts.
class MemorySink : public TPieceSink {
 public:
  struct Piece {
    std::string Path;
    std::string Bytes;
    int64_t Size = 0;
    int Lines = 0;
    bool Closed = false;
  };
  explicit MemorySink(bool keepBytes = true, int failOnWrite = -1)
      : keepBytes_(keepBytes), failOnWrite_(failOnWrite) {}

  void PrepareFolder(const std::string& folder) override { Folders.push_back(folder); }
  void Create(const std::string& path) override {
    Pieces.emplace_back();
    Pieces.back().Path = path;
  }
  void WriteLine(std::string_view line) override {
    if (writes_++ == failOnWrite_) throw ESplitIoError(ESplitIoError::ioWrite, Pieces.back().Path);
    Piece& piece = Pieces.back();
    if (keepBytes_) piece.Bytes.append(line).append("\r\n");
    piece.Size += static_cast<int64_t>(line.size()) + 2;
    ++piece.Lines;
  }
  void Close() override { Pieces.back().Closed = true; }
  void Abandon() noexcept override {
    if (!Pieces.empty()) Pieces.back().Closed = true;
    ++Abandoned;
  }

  std::vector<std::string> Folders;
  std::vector<Piece> Pieces;
  int Abandoned = 0;

 private:
  bool keepBytes_;
  int failOnWrite_;
  int writes_ = 0;
};

class RecordingObserver : public TSplitObserver {
 public:
  void PieceCreated(int number, const std::string& path) override {
    Log.push_back("created " + std::to_string(number) + " " + path);
  }
  void PieceFinished(int number, const std::string& fileName) override {
    Log.push_back("finished " + std::to_string(number) + " " + fileName);
  }
  void Progress(const TSplitProgress& progress) override { Reports.push_back(progress); }

  std::vector<std::string> Log;
  std::vector<TSplitProgress> Reports;
};

TSplitOptions Options(int64_t limit, bool csv) {
  TSplitOptions options;
  options.Folder = "out";
  options.BaseName = "dump_split";
  options.SizeLimit = limit;
  options.CsvMode = csv;
  return options;
}

std::vector<std::vector<std::string>> PieceLines(const MemorySink& sink) {
  std::vector<std::vector<std::string>> pieces;
  for (const auto& piece : sink.Pieces) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < piece.Bytes.size()) {
      const size_t end = piece.Bytes.find("\r\n", start);
      lines.push_back(piece.Bytes.substr(start, end - start));
      start = end + 2;
    }
    pieces.push_back(lines);
  }
  return pieces;
}

struct CutCase {
  const char* name;
  std::vector<std::string> lines;
  int64_t limit;
  bool csv;
  std::vector<std::vector<std::string>> pieces;
};

const std::string kCreate = "CREATE TABLE t (a int);";
const std::string kInsert1 = "INSERT INTO t VALUES (1);";
const std::string kInsert2 = "INSERT INTO t VALUES (2);";

const CutCase kCutCases[] = {
    {"CsvCutsAtAnyLine", {"aaaa", "bbbb", "cccc"}, 10, true, {{"aaaa"}, {"bbbb"}, {"cccc"}}},
    {"CsvLineStaysWhileBelowLimit", {"aaaa", "bbb", "c"}, 10, true, {{"aaaa", "bbb"}, {"c"}}},
    {"CsvFirstLongLineGoesAloneIntoPieceOne",
     {"xxxxxxxxxx", "y"},
     5,
     true,
     {{"xxxxxxxxxx"}, {"y"}}},
    {"SqlCutsBeforeInsertAfterStatementEnd",
     {kCreate, kInsert1, kInsert2},
     30,
     false,
     {{kCreate}, {kInsert1}, {kInsert2}}},
    {"SqlIndentedInsertIsNoBoundary",
     {kInsert1, "  INSERT INTO t VALUES (2);"},
     10,
     false,
     {{kInsert1, "  INSERT INTO t VALUES (2);"}}},
    {"SqlLowerCaseInsertIsABoundary",
     {kInsert1, "insert into t values (2);"},
     10,
     false,
     {{kInsert1}, {"insert into t values (2);"}}},
    {"SqlDropAndCreateAreBoundaries",
     {kInsert1, "drop table t;", "x);", "Create table u (b int);"},
     10,
     false,
     {{kInsert1}, {"drop table t;", "x);"}, {"Create table u (b int);"}}},
    {"SqlStatementEndAnywhereInPreviousLine",
     {"(1); -- end", "INSERT INTO t VALUES (2);"},
     5,
     false,
     {{"(1); -- end"}, {"INSERT INTO t VALUES (2);"}}},
    {"SqlWithoutBoundaryStaysInOnePiece",
     {"INSERT INTO t VALUES (1)", "INSERT INTO t VALUES (2)", "a);", "b"},
     1,
     false,
     {{"INSERT INTO t VALUES (1)", "INSERT INTO t VALUES (2)", "a);", "b"}}},
    {"FinalEmptyLineIsWrittenWithItsBreak", {"a", ""}, 1000, true, {{"a", ""}}},
    {"EveryLineOwnPieceWithLimitOne", {"a", "b", ""}, 1, true, {{"a"}, {"b"}, {""}}},
};

class CutTable : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutTable, CutsWhereTheRulesAllowAndNeverWritesAnEmptyPiece) {
  const CutCase& c = GetParam();
  VectorSource source(c.lines);
  MemorySink sink;
  RecordingObserver observer;
  RunSplit(source, Options(c.limit, c.csv), sink, observer);
  EXPECT_EQ(PieceLines(sink), c.pieces);
  for (const auto& piece : sink.Pieces) {
    EXPECT_GT(piece.Lines, 0) << piece.Path;
    EXPECT_TRUE(piece.Closed) << piece.Path;
  }
}

INSTANTIATE_TEST_SUITE_P(Rules, CutTable, ::testing::ValuesIn(kCutCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SplitEngine, TwoMegabyteLimitWithNinetyEightByteLinesCutsAfterLine20970) {
  RepeatedSource source(std::string(98, 'x'), 50000);
  MemorySink sink(false);
  RecordingObserver observer;
  int64_t limit = 0;
  ASSERT_TRUE(TrySizeLimit("2", 1, limit));
  RunSplit(source, Options(limit, true), sink, observer);
  ASSERT_EQ(sink.Pieces.size(), 3u);
  EXPECT_EQ(sink.Pieces[0].Lines, 20971);
  EXPECT_EQ(sink.Pieces[0].Size, 2097100);
  EXPECT_EQ(sink.Pieces[1].Lines, 20971);
  EXPECT_EQ(sink.Pieces[2].Lines, 50000 - 2 * 20971);
  EXPECT_EQ(sink.Pieces[0].Path, std::string("out") + PathDelim + "dump_split_1.csv");
  EXPECT_EQ(sink.Pieces[2].Path, std::string("out") + PathDelim + "dump_split_3.csv");
}

TEST(SplitEngine, LimitsAndByteCountsBeyondTwoGigabytesDoNotWrap) {
  // 4000 lines of 1 MB: 4 GB counted, never held in memory.
  RepeatedSource source(std::string(1 << 20, 'v'), 4000);
  MemorySink sink(false);
  RecordingObserver observer;
  int64_t limit = 0;
  ASSERT_TRUE(TrySizeLimit("3", 2, limit));
  ASSERT_EQ(limit, 3221225472LL);
  const TSplitResult result = RunSplit(source, Options(limit, true), sink, observer);
  ASSERT_EQ(sink.Pieces.size(), 2u);
  EXPECT_EQ(sink.Pieces[0].Lines, 3071);
  EXPECT_EQ(sink.Pieces[0].Size, 3071LL * 1048578);
  EXPECT_EQ(sink.Pieces[1].Lines, 929);
  EXPECT_EQ(result.BytesTotal, 4000LL * 1048578);
  EXPECT_EQ(observer.Reports.back().BytesWritten, 929LL * 1048578);
}

struct SizeCase {
  const char* text;
  int unit;
  bool accepted;
  int64_t limit;
};

TEST(SplitEngine, SizeLimitIsComputedInSixtyFourBitsAndRefusesNonsense) {
  const SizeCase cases[] = {
      {"2", 0, true, 2048},
      {"2", 1, true, 2097152},
      {"1", 2, true, 1073741824},
      {"2", 2, true, 2147483648LL},
      {"2048", 1, true, 2147483648LL},
      {"2097152", 0, true, 2147483648LL},
      {"2147483647", 2, true, 2147483647LL << 30},
      {"", 1, false, 0},
      {"abc", 1, false, 0},
      {"1.5", 1, false, 0},
      {"0", 1, false, 0},
      {"-3", 1, false, 0},
      {"99999999999", 0, false, 0},
      {"5", -1, false, 0},
  };
  for (const SizeCase& c : cases) {
    int64_t limit = -1;
    EXPECT_EQ(TrySizeLimit(c.text, c.unit, limit), c.accepted) << c.text << " unit " << c.unit;
    EXPECT_EQ(limit, c.limit) << c.text << " unit " << c.unit;
  }
}

TEST(SplitEngine, RefusesZeroSizeAndEmptyTextBeforeCreatingAnything) {
  struct Case {
    std::vector<std::string> lines;
    int64_t limit;
    ESplitRefused::TReason reason;
  };
  const Case cases[] = {
      {{"a"}, 0, ESplitRefused::InvalidSize},
      {{"a"}, -5, ESplitRefused::InvalidSize},
      {{}, 100, ESplitRefused::NoText},
      {{""}, 100, ESplitRefused::NoText},
  };
  for (const Case& c : cases) {
    VectorSource source(c.lines);
    MemorySink sink;
    RecordingObserver observer;
    try {
      RunSplit(source, Options(c.limit, true), sink, observer);
      ADD_FAILURE() << "split ran with limit " << c.limit;
    } catch (const ESplitRefused& e) {
      EXPECT_EQ(e.Reason(), c.reason);
    }
    EXPECT_TRUE(sink.Folders.empty());
    EXPECT_TRUE(sink.Pieces.empty());
  }
}

TEST(SplitEngine, WriteErrorClosesThePieceAndNamesItsFile) {
  VectorSource source({"aaaa", "bbbb", "cccc", "dddd"});
  MemorySink sink(true, 2);  // the third line fails: the first line of piece 2
  RecordingObserver observer;
  try {
    RunSplit(source, Options(12, true), sink, observer);
    FAIL() << "the write error must stop the run";
  } catch (const ESplitIoError& e) {
    EXPECT_EQ(e.Kind(), ESplitIoError::ioWrite);
    EXPECT_EQ(e.Path(), sink.Pieces.back().Path);
    EXPECT_NE(e.Message().find("dump_split_2.csv"), std::string::npos);
  }
  EXPECT_EQ(sink.Abandoned, 1);
  ASSERT_EQ(sink.Pieces.size(), 2u);
  EXPECT_EQ(sink.Pieces[0].Bytes, "aaaa\r\nbbbb\r\n");
  EXPECT_TRUE(sink.Pieces[1].Closed);
}

TEST(SplitEngine, ReportsPiecesInOrderAndTheFinalProgress) {
  VectorSource source({"aaaa", "bbbb", "cccc"});
  MemorySink sink;
  RecordingObserver observer;
  // A clock that never moves: only the events themselves report.
  const auto frozen = std::chrono::steady_clock::time_point{};
  RunSplit(source, Options(10, true), sink, observer,
           ProgressThrottle(std::chrono::milliseconds(40), 1, [=] { return frozen; }));
  const std::string sep(1, PathDelim);
  EXPECT_EQ(observer.Log, (std::vector<std::string>{
                              "created 1 out" + sep + "dump_split_1.csv",
                              "finished 1 dump_split_1.csv",
                              "created 2 out" + sep + "dump_split_2.csv",
                              "finished 2 dump_split_2.csv",
                              "created 3 out" + sep + "dump_split_3.csv",
                          }));
  ASSERT_FALSE(observer.Reports.empty());
  EXPECT_EQ(observer.Reports.size(), 2u) << "the start and the end; cuts wait for the clock";
  EXPECT_EQ(observer.Reports.back().LineIndex, 2);
  EXPECT_EQ(observer.Reports.back().LastIndex, 2);
  EXPECT_EQ(observer.Reports.back().FileCounter, 3);
  EXPECT_EQ(observer.Reports.back().BytesWritten, 6);
}

TEST(SplitEngine, ThrottledProgressReportsWhenTheIntervalHasPassed) {
  RepeatedSource source("line", 10);
  MemorySink sink(false);
  RecordingObserver observer;
  auto now = std::chrono::steady_clock::time_point{};
  // Every clock read is a second later: each checked line is due.
  ProgressThrottle throttle(std::chrono::milliseconds(40), 1, [&] {
    now += std::chrono::seconds(1);
    return now;
  });
  RunSplit(source, Options(1 << 20, true), sink, observer, throttle);
  // The start, one per line, and the end.
  EXPECT_EQ(observer.Reports.size(), 12u);
}

// ---- real files -------------------------------------------------------------

class SplitFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() /
           ("kestrava_split_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
  }
  void TearDown() override { std::filesystem::remove_all(root); }
  static std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path root;
};

TEST_F(SplitFiles, PiecesOnDiskHoldTheLinesWithCRLF) {
  {
    std::ofstream(root / "dump.sql", std::ios::binary) << kCreate << "\n"
                                                       << kInsert1 << "\n"
                                                       << kInsert2 << "\n";
  }
  TKedEditStringList lines;
  lines.LoadFromFile((root / "dump.sql").string());
  TLineListSource source(lines);
  TSplitOptions options = Options(30, false);
  options.Folder = (root / "pieces").string();  // missing: created
  TPieceFileSink sink;
  RecordingObserver observer;
  const TSplitResult result = RunSplit(source, options, sink, observer);
  EXPECT_EQ(result.Pieces, 3);
  EXPECT_EQ(Read(root / "pieces" / "dump_split_1.sql"), kCreate + "\r\n");
  EXPECT_EQ(Read(root / "pieces" / "dump_split_2.sql"), kInsert1 + "\r\n");
  EXPECT_EQ(Read(root / "pieces" / "dump_split_3.sql"), kInsert2 + "\r\n\r\n");
}

TEST_F(SplitFiles, FolderWithMissingParentIsReportedAndNothingIsWritten) {
  VectorSource source({"a"});
  TSplitOptions options = Options(100, true);
  options.Folder = (root / "missing" / "deeper").string();
  TPieceFileSink sink;
  RecordingObserver observer;
  try {
    RunSplit(source, options, sink, observer);
    FAIL() << "the folder cannot be created";
  } catch (const ESplitIoError& e) {
    EXPECT_EQ(e.Kind(), ESplitIoError::ioCreateFolder);
    EXPECT_EQ(e.Path(), options.Folder);
  }
  EXPECT_FALSE(std::filesystem::exists(root / "missing"));
  EXPECT_TRUE(observer.Log.empty());
}

// A dump split again into the folder it lies in, under a name one of its pieces would get:
// the piece that would be the dump itself is refused, and the dump stays byte for byte.
TEST_F(SplitFiles, APieceThatWouldBeTheFileBeingSplitIsRefusedAndTheFileStaysWhole) {
  // Four pieces of at most 12 bytes: three of two lines, the last holding the empty last line.
  const std::string dump = "aaaa\nbbbb\ncccc\ndddd\neeee\nffff\n";
  struct TCase {
    const char* what;
    std::string sourceName;  // in the target folder unless `linkedAs` is set
    std::string linkedAs;    // a second name of the source inside the target folder
    int refusedPiece;        // 0: the split runs
    bool refusedUpFront;     // nothing is written at all
  };
  const TCase cases[] = {
      {"piece 1 is the dump", "backup_1.csv", "", 1, true},
      {"piece 3 is the dump", "backup_3.csv", "", 3, true},
      {"the split ends before piece 7", "backup_7.csv", "", 0, false},
#ifdef _WIN32
      {"another case of the name", "BACKUP_2.CSV", "", 2, true},
#else
      {"another case names another file", "BACKUP_2.CSV", "", 0, false},
#endif
      {"a hard link under a piece's name", "elsewhere.csv", "backup_2.csv", 2, false},
  };
  for (const TCase& c : cases) {
    for (const bool mapped : {true, false}) {
      SCOPED_TRACE(std::string(c.what) +
                   (mapped ? ", lines mapped from the file" : ", lines read into memory"));
      std::filesystem::remove_all(root);
      std::filesystem::create_directories(root / "out");
      const std::filesystem::path source =
          (c.linkedAs.empty() ? root / "out" : root) / c.sourceName;
      std::ofstream(source, std::ios::binary) << dump;
      if (!c.linkedAs.empty()) std::filesystem::create_hard_link(source, root / "out" / c.linkedAs);
      {
        TKedEditStringList lines;
        if (mapped)
          lines.LoadFromFile(source.string());
        else
          lines.LoadFromString(Read(source));
        ASSERT_EQ(lines.IsFileMapped(), mapped);
        TLineListSource lineSource(lines);
        TSplitOptions options = Options(12, true);
        options.Folder = (root / "out").string();
        options.BaseName = "backup";
        TPieceFileSink sink;
        sink.SetSourceFile(source.string());
        RecordingObserver observer;
        if (c.refusedPiece == 0) {
          EXPECT_EQ(RunSplit(lineSource, options, sink, observer).Pieces, 4);
        } else {
          try {
            RunSplit(lineSource, options, sink, observer);
            ADD_FAILURE() << "the piece over the source must be refused";
          } catch (const ESplitIoError& e) {
            EXPECT_EQ(e.Kind(), ESplitIoError::ioSourceFile);
            EXPECT_EQ(e.Path(), PiecePath(options, c.refusedPiece));
            EXPECT_NE(std::string(e.what()).find(PiecePath(options, c.refusedPiece)),
                      std::string::npos);
          }
          for (int n = 1; n < c.refusedPiece; ++n)
            EXPECT_EQ(std::filesystem::exists(PiecePath(options, n)), !c.refusedUpFront) << n;
        }
        // Every line still reads as it was, mapped or not.
        ASSERT_EQ(lines.Count(), 7);
        EXPECT_EQ(lines.Get(5), "ffff");
      }
      EXPECT_EQ(Read(source), dump);
    }
  }
}

#ifdef __linux__
TEST_F(SplitFiles, FullDiskStopsTheRunAndKeepsTheFinishedPieces) {
  // Piece 2 is a link to a device that refuses every write.
  std::filesystem::create_symlink("/dev/full", root / "dump_split_2.csv");
  VectorSource source({"aaaa", "bbbb", "cccc", "dddd"});
  TSplitOptions options = Options(12, true);
  options.Folder = root.string();
  TPieceFileSink sink;
  RecordingObserver observer;
  try {
    RunSplit(source, options, sink, observer);
    FAIL() << "writing to a full disk must fail";
  } catch (const ESplitIoError& e) {
    EXPECT_EQ(e.Kind(), ESplitIoError::ioWrite);
    EXPECT_EQ(e.Path(), (root / "dump_split_2.csv").string());
  }
  EXPECT_EQ(Read(root / "dump_split_1.csv"), "aaaa\r\nbbbb\r\n");
  EXPECT_FALSE(std::filesystem::exists(root / "dump_split_3.csv"));
}
#endif

}  // namespace
