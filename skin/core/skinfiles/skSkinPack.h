// Packed skins ("ASzf"): the skin INI "Options.dat" and the skin's image files in one block
// of bytes, each entry a zlib stream. The reader unpacks every entry into memory; the writer
// builds the same format (our skin generator and the tests use it).
//
// Layout (integers 32-bit signed little-endian): "ASzf", N, then N entries of
// L, name (L bytes), S (unpacked size), one complete zlib stream that inflates to S bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

// A packed skin that is damaged or absurd (the message says which field).
K_EXCEPTION(ESkinPackError, Exception);

// What one packed skin may hold. A file beyond these limits is refused before anything is
// allocated for it, so a few damaged bytes cannot ask for gigabytes.
struct TskSkinPackLimits {
  static constexpr int32_t MaxEntries = 4096;
  static constexpr int32_t MaxNameLength = 1024;
  static constexpr int64_t MaxEntrySize = 64 * 1024 * 1024;
  static constexpr int64_t MaxTotalSize = 256 * 1024 * 1024;
};

// One unpacked image entry.
struct TskImageItem {
  std::string FileName;   // as stored
  bool IsBitmap = false;  // the upper-cased extension is ".BMP"
  std::unique_ptr<TMemoryStream> Data;
};
using TskImageItems = std::vector<TskImageItem>;

// The unpacked contents of one packed skin.
class TskSkinConvertor : public TPersistent {
  K_CLASS(TskSkinConvertor, TPersistent)
  TskSkinConvertor() = default;
  ~TskSkinConvertor() override;

  // N - 1: the number of image entries.
  int ImageCount = 0;
  TskImageItems Images;
  std::unique_ptr<TMemoryStream> Options;  // "Options.dat", unpacked

  // The packed bytes being read. A stored skin lends its own stream (not owned).
  TMemoryStream* Source() const { return source_; }
  void SetSource(TMemoryStream* source, bool owned);
  void ReleaseSource();

  // Frees the images (last first), Options and an owned Source.
  void FreeContents();
  // The image whose upper-cased file name equals `name` (compared as given); nullptr when
  // there is none.
  const TskImageItem* FindImage(const std::string& name) const;

 private:
  TMemoryStream* source_ = nullptr;
  std::unique_ptr<TMemoryStream> ownedSource_;
};

// Reads the file into `reader` (a new one when it is null; emptied otherwise) and unpacks it;
// with `freeSource` the packed bytes are dropped afterwards. Nothing happens when the file
// does not exist. Failures as ReadPackedSkin.
void LoadPackedSkinFile(const std::string& fileName, std::unique_ptr<TskSkinConvertor>& reader,
                        bool freeSource);

// Unpacks reader->Source(). A wrong tag frees the reader (reader becomes null) and raises
// "Loaded data is not a packed skin file". A damaged file (truncated field, absurd count,
// length or size, a stream that does not end exactly at its stated size, no or two
// "Options.dat") raises ESkinPackError; zlib failures raise EZDecompressionError. After any
// failure the reader is empty.
void ReadPackedSkin(std::unique_ptr<TskSkinConvertor>& reader);

// One entry to pack.
struct TskPackEntry {
  std::string Name;
  std::vector<uint8_t> Data;
};

// Writes the entries as a packed skin (zlib level `level`).
void WritePackedSkin(TStream& target, const std::vector<TskPackEntry>& entries, int level = 9);
std::vector<uint8_t> PackSkin(const std::vector<TskPackEntry>& entries, int level = 9);
