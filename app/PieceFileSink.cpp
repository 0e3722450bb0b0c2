#include "app/PieceFileSink.h"

#include <cstring>

#include "framework/SysUtils.h"

TPieceFileSink::TPieceFileSink(size_t bufferSize) : buffer_(bufferSize < 16 ? 16 : bufferSize) {}

TPieceFileSink::~TPieceFileSink() { Abandon(); }

void TPieceFileSink::PrepareFolder(const std::string& folder) {
  if (DirectoryExists(folder)) return;
  if (!CreateDir(ExcludeTrailingPathDelimiter(folder)))
    throw ESplitIoError(ESplitIoError::ioCreateFolder, folder);
}

void TPieceFileSink::Create(const std::string& path) {
  Abandon();
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
