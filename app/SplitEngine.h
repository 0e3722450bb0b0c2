// Cutting a text into numbered files of a chosen size, at statement boundaries
// in SQL mode and at any line in CSV mode.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/ProgressThrottle.h"
#include "framework/SysUtils.h"

class TKedEditStringList;

// The lines to split; read by index from the first to the last.
class TSplitLineSource {
 public:
  virtual ~TSplitLineSource() = default;
  virtual int Count() const = 0;
  // The line's bytes without its break; valid until the next call.
  virtual std::string_view Line(int index) const = 0;
};

// The editor's line list as a source.
class TLineListSource : public TSplitLineSource {
 public:
  explicit TLineListSource(const TKedEditStringList& lines) : lines_(lines) {}
  int Count() const override;
  std::string_view Line(int index) const override;

 private:
  const TKedEditStringList& lines_;
};

struct TSplitOptions;

// Where the pieces go. Each failure raises ESplitIoError naming the file.
class TPieceSink {
 public:
  virtual ~TPieceSink() = default;
  // Creates the output folder when it is missing (one level).
  virtual void PrepareFolder(const std::string& folder) = 0;
  // The number of a piece that would be written over the file being split, 0 when none
  // can be; asked once before anything is created.
  virtual int PieceOverSource(const TSplitOptions&) const { return 0; }
  virtual void Create(const std::string& path) = 0;
  // Writes the line followed by CR LF.
  virtual void WriteLine(std::string_view line) = 0;
  virtual void Close() = 0;
  // Closes the current piece after a failure, keeping what reached the disk.
  virtual void Abandon() noexcept = 0;
};

class ESplitIoError : public Exception {
 public:
  // ioSourceFile: the piece's path is the file being split, which is never written.
  enum TKind { ioCreateFolder, ioCreateFile, ioWrite, ioSourceFile };
  ESplitIoError(TKind kind, std::string path);
  TKind Kind() const { return kind_; }
  const std::string& Path() const { return path_; }

 private:
  TKind kind_;
  std::string path_;
};

// A refused size or an empty text; nothing was created.
class ESplitRefused : public Exception {
 public:
  enum TReason { InvalidSize, NoText };
  explicit ESplitRefused(TReason reason);
  TReason Reason() const { return reason_; }

 private:
  TReason reason_;
};

struct TSplitOptions {
  std::string Folder;     // as typed; a trailing delimiter is kept (a doubled one is harmless)
  std::string BaseName;   // without folder and number
  int64_t SizeLimit = 0;  // bytes; must be > 0
  bool CsvMode = false;
};

struct TSplitProgress {
  int LineIndex = 0;         // the line being written (0-based)
  int LastIndex = 0;         // Count - 1
  int64_t BytesWritten = 0;  // counted bytes of the current piece, CR LF included
  int FileCounter = 1;       // number of the current piece
};

class TSplitObserver {
 public:
  virtual ~TSplitObserver() = default;
  // A piece was created; number 1 is the first.
  virtual void PieceCreated(int number, const std::string& path) = 0;
  // The piece `number` was finished by a cut (the last piece is closed by the end of the run).
  virtual void PieceFinished(int number, const std::string& fileName) = 0;
  // Once when piece 1 is open, then throttled while the lines are written, and
  // always once with the final values.
  virtual void Progress(const TSplitProgress& progress) = 0;
};

struct TSplitResult {
  int Pieces = 0;
  int64_t BytesTotal = 0;
};

// Size number times unit (0 KB, 1 MB, 2 GB) in 64 bits; false for an empty text,
// a text that is no whole number, a number <= 0 or no unit.
bool TrySizeLimit(const std::string& sizeText, int unitIndex, int64_t& limit);

// "<base>_<number><ext>" without folder.
std::string PieceFileName(const TSplitOptions& options, int number);
// Folder + delimiter + piece file name.
std::string PiecePath(const TSplitOptions& options, int number);

// True when the line may begin a new piece in SQL mode: the previous line holds
// ");" and this one starts, case ignored, with INSERT, CREATE or DROP.
bool StartsStatement(std::string_view line);
bool IsStatementBoundary(std::string_view previous, std::string_view line);

// Runs the whole split. Raises ESplitRefused before anything is created, ESplitIoError
// (ioSourceFile) before anything is created when a piece it would write is the file being
// split, and ESplitIoError after closing the current piece when a folder, file or write fails.
TSplitResult RunSplit(const TSplitLineSource& source, const TSplitOptions& options,
                      TPieceSink& sink, TSplitObserver& observer,
                      ProgressThrottle throttle = ProgressThrottle());
