// Writes the pieces of a split to disk through one large buffer, never over the file being
// split.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/FileIdentity.h"
#include "app/SplitEngine.h"

class TPieceFileSink : public TPieceSink {
 public:
  explicit TPieceFileSink(size_t bufferSize = 1 << 20);
  ~TPieceFileSink() override;
  TPieceFileSink(const TPieceFileSink&) = delete;
  TPieceFileSink& operator=(const TPieceFileSink&) = delete;

  // The file the lines come from: a piece whose path reaches it, by any name, is refused
  // before it is opened.
  void SetSourceFile(const std::string& path);

  void PrepareFolder(const std::string& folder) override;
  int PieceOverSource(const TSplitOptions& options) const override;
  void Create(const std::string& path) override;
  void WriteLine(std::string_view line) override;
  void Close() override;
  void Abandon() noexcept override;

 private:
  void Flush();
  void Put(const char* data, size_t size);

  std::vector<char> buffer_;
  size_t fill_ = 0;
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string sourceFile_;
  TFileIdentity source_;
};
