#include "skin/core/skinfiles/skSkinPack.h"

#include <algorithm>
#include <cstring>

#include "skin/core/skinfiles/SkinIni.h"
#include "skin/core/skinfiles/skZLibEx.h"

namespace {

constexpr char kTag[4] = {'A', 'S', 'z', 'f'};
// deflate never packs better than about 1032:1, so an entry cannot unpack to more than this
// many bytes per byte that is left in the file (plus a little for the stream's frame).
constexpr int64_t kMaxInflateRatio = 1032;
constexpr int64_t kStreamFrameSlack = 64;

std::string EntryText(int32_t index) { return "entry " + IntToStr(index + 1); }

[[noreturn]] void Damaged(const std::string& what) {
  throw ESkinPackError("Packed skin file is damaged: " + what);
}

class TPackReader {
 public:
  explicit TPackReader(TMemoryStream& source) : source_(source) {}

  int64_t Remaining() { return source_.Size() - source_.Position(); }

  int32_t ReadInt32(const std::string& field) {
    uint8_t b[4];
    if (Remaining() < 4) Damaged(field + " is cut off");
    source_.ReadBuffer(b, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) |
                                (static_cast<uint32_t>(b[3]) << 24));
  }

  std::string ReadText(int32_t length, const std::string& field) {
    if (Remaining() < length) Damaged(field + " is cut off");
    std::string text(static_cast<size_t>(length), '\0');
    if (length > 0) source_.ReadBuffer(text.data(), length);
    return text;
  }

 private:
  TMemoryStream& source_;
};

// Inflates one entry of exactly `size` bytes from the source's position.
std::unique_ptr<TMemoryStream> UnpackEntry(TMemoryStream& source, int64_t size,
                                           const std::string& entry) {
  auto data = std::make_unique<TMemoryStream>();
  data->SetSize(size);
  TZDecompressionStream unpacker(&source);
  int64_t done = 0;
  while (done < size) {
    int32_t piece = static_cast<int32_t>(std::min<int64_t>(size - done, 1 << 20));
    int32_t got = unpacker.Read(data->Memory() + done, piece);
    if (got <= 0) {
      if (unpacker.StreamEnded()) Damaged(entry + " unpacks to less than its stated size");
      Damaged(entry + " is cut off");
    }
    done += got;
  }
  // The stream must end right here: one more byte, or no end mark, means the size lies.
  uint8_t extra;
  if (unpacker.Read(&extra, 1) > 0) Damaged(entry + " unpacks to more than its stated size");
  if (!unpacker.StreamEnded()) Damaged(entry + " is cut off");
  data->SetPosition(0);
  return data;
}

void ReadEntries(TskSkinConvertor& reader) {
  TMemoryStream& source = *reader.Source();
  TPackReader in(source);
  int32_t count = in.ReadInt32("the number of entries");
  if (count < 1 || count > TskSkinPackLimits::MaxEntries)
    Damaged("the number of entries (" + IntToStr(count) + ") is out of range");
  reader.ImageCount = count - 1;
  int64_t total = 0;
  for (int32_t i = 0; i < count; ++i) {
    const std::string entry = EntryText(i);
    int32_t nameLength = in.ReadInt32(entry + ": the name length");
    if (nameLength < 0 || nameLength > TskSkinPackLimits::MaxNameLength)
      Damaged(entry + ": the name length (" + IntToStr(nameLength) + ") is out of range");
    std::string name = in.ReadText(nameLength, entry + ": the name");
    int32_t size = in.ReadInt32(entry + ": the size");
    if (size < 0 || size > TskSkinPackLimits::MaxEntrySize ||
        size > in.Remaining() * kMaxInflateRatio + kStreamFrameSlack)
      Damaged(entry + ": the size (" + IntToStr(size) + ") is out of range");
    // The skin's INI text is held to its own, smaller limit before it is unpacked.
    if (SameText(name, "Options.dat") && size > kMaxSkinIniSize)
      throw ESkinPackError("Packed skin file holds an Options.dat of " + IntToStr(size) +
                           " bytes, which is larger than " + IntToStr(kMaxSkinIniSize) + " bytes");
    total += size;
    if (total > TskSkinPackLimits::MaxTotalSize) Damaged("the entries are too large together");
    auto data = UnpackEntry(source, size, entry);
    if (SameText(name, "Options.dat")) {
      if (reader.Options) Damaged("it holds Options.dat twice");
      reader.Options = std::move(data);
    } else {
      TskImageItem item;
      item.FileName = name;
      item.IsBitmap = UpperCase(ExtractFileExt(name)) == ".BMP";
      item.Data = std::move(data);
      reader.Images.push_back(std::move(item));
    }
  }
  if (!reader.Options) Damaged("it holds no Options.dat");
}

void PutInt32(TStream& target, int64_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                  static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
  target.WriteBuffer(b, 4);
}

}  // namespace

// ---- TskSkinConvertor -------------------------------------------------------------------------

TskSkinConvertor::~TskSkinConvertor() { FreeContents(); }

void TskSkinConvertor::SetSource(TMemoryStream* source, bool owned) {
  ReleaseSource();
  source_ = source;
  if (owned) ownedSource_.reset(source);
}

void TskSkinConvertor::ReleaseSource() {
  ownedSource_.reset();
  source_ = nullptr;
}

void TskSkinConvertor::FreeContents() {
  while (!Images.empty()) Images.pop_back();
  ImageCount = 0;
  Options.reset();
  ReleaseSource();
}

const TskImageItem* TskSkinConvertor::FindImage(const std::string& name) const {
  for (const TskImageItem& item : Images)
    if (UpperCase(item.FileName) == name) return &item;
  return nullptr;
}

// ---- reading ----------------------------------------------------------------------------------

void LoadPackedSkinFile(const std::string& fileName, std::unique_ptr<TskSkinConvertor>& reader,
                        bool freeSource) {
  if (!FileExists(fileName)) return;
  if (FileSizeOf(fileName) > TskSkinPackLimits::MaxTotalSize)
    Damaged("the file is larger than any skin may be");
  if (reader)
    reader->FreeContents();
  else
    reader = std::make_unique<TskSkinConvertor>();
  auto source = std::make_unique<TMemoryStream>();
  source->LoadFromFile(fileName);
  reader->SetSource(source.release(), true);
  ReadPackedSkin(reader);
  if (freeSource) reader->ReleaseSource();
}

void ReadPackedSkin(std::unique_ptr<TskSkinConvertor>& reader) {
  if (!reader || !reader->Source()) throw ESkinPackError("No packed skin data to read");
  TMemoryStream& source = *reader->Source();
  source.SetPosition(0);
  char tag[4] = {};
  if (source.Read(tag, 4) != 4 || std::memcmp(tag, kTag, 4) != 0) {
    reader.reset();
    throw Exception("Loaded data is not a packed skin file");
  }
  // Keep the source (a stored skin's lent stream stays with its owner) but none of the
  // entries of a failed read.
  try {
    ReadEntries(*reader);
  } catch (...) {
    while (!reader->Images.empty()) reader->Images.pop_back();
    reader->Options.reset();
    reader->ImageCount = 0;
    throw;
  }
}

// ---- writing ----------------------------------------------------------------------------------

void WritePackedSkin(TStream& target, const std::vector<TskPackEntry>& entries, int level) {
  target.WriteBuffer(kTag, 4);
  PutInt32(target, static_cast<int64_t>(entries.size()));
  for (const TskPackEntry& entry : entries) {
    PutInt32(target, static_cast<int64_t>(entry.Name.size()));
    target.WriteBuffer(entry.Name.data(), static_cast<int64_t>(entry.Name.size()));
    PutInt32(target, static_cast<int64_t>(entry.Data.size()));
    std::vector<uint8_t> packed = ZCompressBytes(entry.Data.data(), entry.Data.size(), level);
    target.WriteBuffer(packed.data(), static_cast<int64_t>(packed.size()));
  }
}

std::vector<uint8_t> PackSkin(const std::vector<TskPackEntry>& entries, int level) {
  TMemoryStream stream;
  WritePackedSkin(stream, entries, level);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}
