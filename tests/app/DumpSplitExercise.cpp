#include "tests/app/DumpSplitExercise.h"

#include <string_view>
#include <vector>

#include "app/DumpCleaner.h"
#include "app/SplitEngine.h"
#include "editor/KedEditTextBuffer.h"

namespace {

// The pieces in memory, each as the bytes a file would get.
class TMemorySink : public TPieceSink {
 public:
  void PrepareFolder(const std::string&) override {}
  void Create(const std::string&) override {
    Pieces.emplace_back();
    Lines.push_back(0);
  }
  void WriteLine(std::string_view line) override {
    Pieces.back().append(line).append("\r\n");
    ++Lines.back();
  }
  void Close() override {}
  void Abandon() noexcept override {}

  std::vector<std::string> Pieces;
  std::vector<int> Lines;
};

class TQuietObserver : public TSplitObserver {
 public:
  void PieceCreated(int, const std::string&) override {}
  void PieceFinished(int, const std::string&) override {}
  void Progress(const TSplitProgress&) override {}
};

std::vector<std::string> LinesOf(const TKedEditStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.emplace_back(list.LineView(i));
  return lines;
}

// What cleaning must leave, decided here without the cleaner's own predicates.
std::vector<std::string> Kept(const std::vector<std::string>& lines, bool comments, bool blanks) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    const std::string_view v = line;
    const bool comment = v.starts_with("--") || v.starts_with("#") || v.starts_with("/*");
    if ((comments && comment) || (blanks && line.empty())) continue;
    kept.push_back(line);
  }
  return kept;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool BeginsStatement(std::string_view line) {
  auto begins = [&](std::string_view word) {
    if (line.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
      if ((line[i] & ~0x20) != word[i]) return false;
    return true;
  };
  return begins("INSERT") || begins("CREATE") || begins("DROP");
}

// An SQL cut may fall before `line` only when it begins a statement after a line that
// closes one.
bool MayCut(std::string_view previous, std::string_view line) {
  return BeginsStatement(line) && Contains(previous, ");");
}

}  // namespace

std::string CheckDumpSplit(const uint8_t* data, size_t size) {
  if (size < 3) return "";
  const bool csv = (data[0] & 1) != 0;
  const bool cleanComments = (data[0] & 2) != 0;
  const bool cleanBlanks = (data[0] & 4) != 0;
  const int64_t limit = 1 + (data[1] | data[2] << 8);
  TKedEditStringList list;
  list.LoadFromString(std::string_view(reinterpret_cast<const char*>(data) + 3, size - 3));

  const std::vector<std::string> loaded = LinesOf(list);
  const std::vector<std::string> expected = Kept(loaded, cleanComments, cleanBlanks);
  int removed = 0;
  if (cleanComments) removed += RemoveLines(list, TCleanKind::CommentLines, {});
  if (cleanBlanks) removed += RemoveLines(list, TCleanKind::BlankLines, {});
  const std::vector<std::string> lines = LinesOf(list);
  if (lines != expected) return "cleaning kept other lines than those that do not match";
  if (removed != static_cast<int>(loaded.size() - lines.size()))
    return "cleaning counted other lines than it removed";

  TSplitOptions options;
  options.Folder = "out";
  options.BaseName = "piece";
  options.SizeLimit = limit;
  options.CsvMode = csv;
  TLineListSource source(list);
  TMemorySink sink;
  TQuietObserver observer;
  const bool noText = lines.empty() || (lines.size() == 1 && lines[0].empty());
  TSplitResult result;
  try {
    result = RunSplit(source, options, sink, observer);
  } catch (const ESplitRefused& e) {
    if (e.Reason() == ESplitRefused::NoText && noText && sink.Pieces.empty()) return "";
    return "the split refused a text it should split";
  }
  if (noText) return "the split wrote pieces of no text";

  std::string joined, expectedBytes;
  for (const std::string& line : lines) expectedBytes.append(line).append("\r\n");
  for (const std::string& piece : sink.Pieces) joined += piece;
  if (joined != expectedBytes) return "the pieces joined are not every line followed by CR LF";
  if (result.Pieces != static_cast<int>(sink.Pieces.size()))
    return "the split counted other pieces than it wrote";
  if (result.BytesTotal != static_cast<int64_t>(joined.size()))
    return "the split counted other bytes than it wrote";
  size_t first = 0;  // index of the first line of the current piece
  for (size_t p = 0; p < sink.Pieces.size(); ++p) {
    if (sink.Lines[p] == 0) return "a piece is empty";
    if (csv && sink.Lines[p] >= 2 && static_cast<int64_t>(sink.Pieces[p].size()) > limit + 1)
      return "a CSV piece of two or more lines is larger than the limit plus one byte";
    // A cut may come only where the line would take the piece to the limit; in SQL mode
    // also only before a statement that follows a line holding ");".
    if (p > 0) {
      const int64_t before = static_cast<int64_t>(sink.Pieces[p - 1].size());
      if (before + static_cast<int64_t>(lines[first].size()) < limit)
        return "a piece was cut before the limit was reached";
      if (!csv && !MayCut(lines[first - 1], lines[first]))
        return "an SQL piece begins elsewhere than at a statement";
    }
    // Where a cut was allowed inside the piece, the split must have made it there: the
    // first allowed place, never a later one.
    int64_t written = 0;
    for (size_t i = first; i < first + static_cast<size_t>(sink.Lines[p]); ++i) {
      const bool allowed = i > first && (csv || MayCut(lines[i - 1], lines[i]));
      if (allowed && written + static_cast<int64_t>(lines[i].size()) >= limit)
        return csv ? "a CSV piece goes on past the line that reached the limit"
                   : "an SQL piece goes on past a statement where the limit allowed a cut";
      written += static_cast<int64_t>(lines[i].size()) + 2;
    }
    first += static_cast<size_t>(sink.Lines[p]);
  }
  return "";
}
