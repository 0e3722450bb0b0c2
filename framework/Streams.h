// Streams: TStream with 64-bit positions, TMemoryStream and TFileStream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/System.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
// The older spellings of the same origins.
constexpr TSeekOrigin soFromBeginning = soBeginning;
constexpr TSeekOrigin soFromCurrent = soCurrent;
constexpr TSeekOrigin soFromEnd = soEnd;

class TStream : public TObject {
  K_CLASS(TStream, TObject)

  // Reads up to `count` bytes; answers how many it read (0 at the end).
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // Writes up to `count` bytes; answers how many it wrote.
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Answers the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  virtual int64_t Size();
  // Raises EStreamError when the stream cannot change its size.
  virtual void SetSize(int64_t size);

  // Exactly `count` bytes or EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies `count` bytes from `source`'s position; count 0 copies the whole source from
  // its start. Answers the number of bytes copied.
  int64_t CopyFrom(TStream* source, int64_t count);
};

// Bytes in memory; the block grows as it is written past its end.
class TMemoryStream : public TStream {
  K_CLASS(TMemoryStream, TStream)

  TMemoryStream() = default;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  // Raises EOutOfMemory "Out of memory while expanding memory stream" when it cannot grow.
  void SetSize(int64_t size) override;

  // The bytes; valid until the size changes.
  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  void Clear();
  void LoadFromStream(TStream* stream);  // the whole stream, position 0 afterwards
  void LoadFromFile(const std::string& fileName);
  void SaveToStream(TStream* stream);
  void SaveToFile(const std::string& fileName);

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// Open modes: one access mode or fmCreate, plus one share mode.
constexpr uint16_t fmCreate = 0xFF00;  // creates the file or empties an existing one
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

// A file opened for the stream's lifetime. Failing to open raises EFCreateError
// "Cannot create file "<name>"" (fmCreate) or EFOpenError "Cannot open file "<name>"".
class TFileStream : public TStream {
  K_CLASS(TFileStream, TStream)

  TFileStream(const std::string& fileName, uint16_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  // A POSIX file descriptor, or a Win32 file HANDLE stored as an integer.
  intptr_t handle_;
};
