#include "app/PieceFileSink.h"

#include <cstring>
#include <string_view>

#include "framework/SysUtils.h"

TPieceFileSink::TPieceFileSink(size_t bufferSize) : buffer_(bufferSize < 16 ? 16 : bufferSize) {}

TPieceFileSink::~TPieceFileSink() { Abandon(); }

namespace {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AnsiCompareText(std::string(a), std::string(b)) == 0;
}

// The number n when `name` reads "<base>_<n><ext>" (case ignored, as Windows does), else 0.
int PieceNumberOf(const std::string& name, const TSplitOptions& options) {
  const std::string prefix = options.BaseName + "_";
  const std::string suffix = options.CsvMode ? ".csv" : ".sql";
  if (name.size() <= prefix.size() + suffix.size()) return 0;
  const std::string_view text(name);
  if (!SameTextIgnoringCase(text.substr(0, prefix.size()), prefix) ||
      !SameTextIgnoringCase(text.substr(text.size() - suffix.size()), suffix))
    return 0;
  const std::string digits(text.substr(prefix.size(), text.size() - prefix.size() - suffix.size()));
  int number = 0;
  if (digits.empty() || digits[0] == '0' ||
      digits.find_first_not_of("0123456789") != std::string::npos || !TryStrToInt(digits, number))
    return 0;
  return number;
}

}  // namespace

void TPieceFileSink::SetSourceFile(const std::string& path) {
  sourceFile_ = path;
  source_ = FileIdentityOf(path);
}

int TPieceFileSink::PieceOverSource(const TSplitOptions& options) const {
  if (!source_.Known) return 0;
  const int number = PieceNumberOf(ExtractFileName(sourceFile_), options);
  if (number <= 0) return 0;
  return FileIdentityOf(PiecePath(options, number)).SameFileAs(source_) ? number : 0;
}

void TPieceFileSink::PrepareFolder(const std::string& folder) {
  if (DirectoryExists(folder)) return;
  if (!CreateDir(ExcludeTrailingPathDelimiter(folder)))
    throw ESplitIoError(ESplitIoError::ioCreateFolder, folder);
}

void TPieceFileSink::Create(const std::string& path) {
  Abandon();
  // Opening for writing would cut the file being split to nothing while its lines are read.
  if (source_.Known && FileIdentityOf(path).SameFileAs(source_))
    throw ESplitIoError(ESplitIoError::ioSourceFile, path);
  // The C runtime opens the name in the ANSI code page, as the program's texts are.
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) throw ESplitIoError(ESplitIoError::ioCreateFile, path);
  // The runtime's own buffer would only copy again; ours is large already.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  path_ = path;
  fill_ = 0;
}

void TPieceFileSink::Flush() {
  if (fill_ == 0) return;
  const size_t size = fill_;
  fill_ = 0;
  if (!file_ || std::fwrite(buffer_.data(), 1, size, file_) != size)
    throw ESplitIoError(ESplitIoError::ioWrite, path_);
}

void TPieceFileSink::Put(const char* data, size_t size) {
  if (fill_ + size > buffer_.size()) {
    Flush();
    if (size > buffer_.size()) {
      // A line longer than the buffer goes straight to the file.
      if (!file_ || std::fwrite(data, 1, size, file_) != size)
        throw ESplitIoError(ESplitIoError::ioWrite, path_);
      return;
    }
  }
  std::memcpy(buffer_.data() + fill_, data, size);
  fill_ += size;
}

void TPieceFileSink::WriteLine(std::string_view line) {
  if (!line.empty()) Put(line.data(), line.size());
  Put("\r\n", 2);
}

void TPieceFileSink::Close() {
  if (!file_) return;
  Flush();
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) throw ESplitIoError(ESplitIoError::ioWrite, path_);
}

void TPieceFileSink::Abandon() noexcept {
  if (!file_) return;
  // Whatever is still buffered is written if it can be; errors no longer matter.
  if (fill_ > 0) std::fwrite(buffer_.data(), 1, fill_, file_);
  fill_ = 0;
  std::fclose(file_);
  file_ = nullptr;
}
