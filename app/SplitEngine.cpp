#include "app/SplitEngine.h"

#include "editor/KedEditTextBuffer.h"

namespace {

bool StartsWithUpper(std::string_view line, std::string_view word) {
  if (line.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    char c = line[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != word[i]) return false;
  }
  return true;
}

std::string IoMessage(ESplitIoError::TKind kind, const std::string& path) {
  switch (kind) {
    case ESplitIoError::ioCreateFolder:
      return "Cannot create the directory " + path;
    case ESplitIoError::ioCreateFile:
      return "Cannot create the file " + path;
    case ESplitIoError::ioSourceFile:
      return "The file " + path + " is the file being split and is not overwritten";
    case ESplitIoError::ioWrite:
      break;
  }
  return "Error writing the file " + path;
}

// Counts the pieces a split makes without writing anything.
class TPieceCounter : public TPieceSink, public TSplitObserver {
 public:
  void PrepareFolder(const std::string&) override {}
  void Create(const std::string&) override {}
  void WriteLine(std::string_view) override {}
  void Close() override {}
  void Abandon() noexcept override {}
  void PieceCreated(int, const std::string&) override {}
  void PieceFinished(int, const std::string&) override {}
  void Progress(const TSplitProgress&) override {}
};

int CountPieces(const TSplitLineSource& source, const TSplitOptions& options) {
  TPieceCounter counter;
  return RunSplit(source, options, counter, counter).Pieces;
}

}  // namespace

int TLineListSource::Count() const { return lines_.Count(); }

std::string_view TLineListSource::Line(int index) const { return lines_.LineView(index); }

ESplitIoError::ESplitIoError(TKind kind, std::string path)
    : Exception(IoMessage(kind, path)), kind_(kind), path_(std::move(path)) {}

ESplitRefused::ESplitRefused(TReason reason)
    : Exception(reason == InvalidSize ? "Invalid file size" : "There is no text to split"),
      reason_(reason) {}

bool TrySizeLimit(const std::string& sizeText, int unitIndex, int64_t& limit) {
  limit = 0;
  int number = 0;
  if (!TryStrToInt(sizeText, number) || number <= 0) return false;
  if (unitIndex < 0 || unitIndex > 2) return false;
  // 64 bits: 2 GB and more must not wrap; int32 max << 30 still fits.
  limit = static_cast<int64_t>(number) << (10 * (unitIndex + 1));
  return true;
}

std::string PieceFileName(const TSplitOptions& options, int number) {
  return options.BaseName + "_" + std::to_string(number) + (options.CsvMode ? ".csv" : ".sql");
}

std::string PiecePath(const TSplitOptions& options, int number) {
  return options.Folder + PathDelim + PieceFileName(options, number);
}

bool StartsStatement(std::string_view line) {
  return StartsWithUpper(line, "INSERT") || StartsWithUpper(line, "CREATE") ||
         StartsWithUpper(line, "DROP");
}

bool IsStatementBoundary(std::string_view previous, std::string_view line) {
  return StartsStatement(line) && previous.find(");") != std::string_view::npos;
}

TSplitResult RunSplit(const TSplitLineSource& source, const TSplitOptions& options,
                      TPieceSink& sink, TSplitObserver& observer, ProgressThrottle throttle) {
  if (options.SizeLimit <= 0) throw ESplitRefused(ESplitRefused::InvalidSize);
  const int count = source.Count();
  if (count == 0 || (count == 1 && source.Line(0).empty()))
    throw ESplitRefused(ESplitRefused::NoText);

  // Only when the file being split carries a piece's name is the split run once without
  // writing, to learn whether it reaches that piece; nothing is created before the answer.
  if (const int clash = sink.PieceOverSource(options);
      clash > 0 && CountPieces(source, options) >= clash)
    throw ESplitIoError(ESplitIoError::ioSourceFile, PiecePath(options, clash));

  TSplitProgress state;
  state.LastIndex = count - 1;
  TSplitResult result;

  try {
    sink.PrepareFolder(options.Folder);
    const std::string firstPath = PiecePath(options, 1);
    sink.Create(firstPath);
    result.Pieces = 1;
    observer.PieceCreated(1, firstPath);
    observer.Progress(state);
    throttle.Reported();

    int linesInPiece = 0;
    for (int i = 0; i < count; ++i) {
      std::string_view line = source.Line(i);
      state.LineIndex = i;
      // A cut needs a line already in the piece, so no piece is ever empty.
      bool cut = linesInPiece > 0 &&
                 static_cast<int64_t>(line.size()) + state.BytesWritten >= options.SizeLimit;
      if (cut && !options.CsvMode) {
        cut = StartsStatement(line);
        if (cut) {
          // The previous line is read again only where a cut is possible; a
          // source's view may not outlive the next read.
          const std::string previous(source.Line(i - 1));
          line = source.Line(i);
          cut = IsStatementBoundary(previous, line);
        }
      }
      if (cut) {
        sink.Close();
        observer.PieceFinished(state.FileCounter, PieceFileName(options, state.FileCounter));
        ++state.FileCounter;
        state.BytesWritten = 0;
        linesInPiece = 0;
        const std::string path = PiecePath(options, state.FileCounter);
        sink.Create(path);
        ++result.Pieces;
        observer.PieceCreated(state.FileCounter, path);
      }
      // Cuts report through the throttle too: a tiny size makes a piece per line.
      if (throttle.Due()) observer.Progress(state);
      sink.WriteLine(line);
      const int64_t counted = static_cast<int64_t>(line.size()) + 2;
      state.BytesWritten += counted;
      result.BytesTotal += counted;
      ++linesInPiece;
    }
    sink.Close();
  } catch (...) {
    sink.Abandon();
    throw;
  }
  observer.Progress(state);
  return result;
}
