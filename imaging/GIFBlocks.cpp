#include "imaging/GIFBlocks.h"

#include <cstring>

#include "imaging/GIFFrames.h"
#include "imaging/GIFImage.h"

void RaiseGIFError(const std::string& message) { throw GIFException(message); }

// ---- byte helpers ----------------------------------------------------------------------------
void WriteStreamByte(TStream& stream, uint8_t value) { stream.WriteBuffer(&value, 1); }

bool ReadStreamByte(TStream& stream, uint8_t& value) { return stream.Read(&value, 1) == 1; }

void ReadStreamExact(TStream& stream, void* buffer, int64_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const int32_t chunk = static_cast<int32_t>(Min<int64_t>(count, 0x40000000));
    const int32_t got = stream.Read(p, chunk);
    if (got <= 0) RaiseGIFError("Premature end of data");
    p += got;
    count -= got;
  }
}

int64_t BytesLeft(TStream& stream) {
  const int64_t left = stream.Size() - stream.Position();
  return left > 0 ? left : 0;
}

void WriteSubBlocks(TStream& stream, const TStrings& strings) {
  for (int i = 0; i < strings.Count(); ++i) {
    const std::string s = strings[i];
    for (size_t pos = 0; pos < s.size(); pos += 255) {
      const size_t n = Min<size_t>(255, s.size() - pos);
      WriteStreamByte(stream, static_cast<uint8_t>(n));
      stream.WriteBuffer(s.data() + pos, static_cast<int64_t>(n));
    }
  }
  WriteStreamByte(stream, 0);
}

void ReadSubBlocks(TStream& stream, TStrings& strings) {
  strings.Clear();
  uint8_t length = 0;
  while (ReadStreamByte(stream, length) && length != 0) {
    std::string s(length, '\0');
    ReadStreamExact(stream, s.data(), length);
    strings.Add(s);
  }
}

// ---- items -----------------------------------------------------------------------------------
void TGIFItem::ReportWarning(const std::string& message) {
  if (image_ != nullptr) image_->ReportWarning(this, 1, message);
}

void TGIFItem::WriteFile(const std::string& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

void TGIFItem::ReadFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

// ---- header ----------------------------------------------------------------------------------
TGIFHeader::TGIFHeader(TGIFImage* image) : TGIFItem(image), colorMap_(image) { ClearScreen(); }

void TGIFHeader::ClearScreen() {
  colorMap_.ClearEntries();
  descriptor_ = {};
}

void TGIFHeader::SaveToStream(TStream& stream) {
  const int version = image_ != nullptr ? image_->RequiredVersion() : 0;
  if (version == 0) RaiseGIFError("Unsupported GIF version");
  stream.WriteBuffer(version == 1 ? "GIF87a" : "GIF89a", 6);
  UpdatePackedFields();
  stream.WriteBuffer(&descriptor_, sizeof(descriptor_));
  if ((descriptor_.PackedFields & 0x80) != 0) colorMap_.WriteEntries(stream);
}

void TGIFHeader::LoadFromStream(TStream& stream) {
  const int64_t start = stream.Position();
  char signature[6];
  ReadStreamExact(stream, signature, 6);
  if (UpperCase(std::string(signature, 3)) != "GIF") {
    // Some files carry a 4-byte prefix before the signature.
    stream.SetPosition(start + 4);
    ReadStreamExact(stream, signature, 6);
    if (UpperCase(std::string(signature, 3)) != "GIF") RaiseGIFError("Invalid GIF signature");
  }
  ReadStreamExact(stream, &descriptor_, sizeof(descriptor_));
  if ((descriptor_.PackedFields & 0x80) != 0)
    colorMap_.ReadEntries(stream, 2 << (descriptor_.PackedFields & 7));
  else
    colorMap_.ClearEntries();
}

void TGIFHeader::Assign(TPersistent* source) {
  if (auto* header = dynamic_cast<TGIFHeader*>(source)) {
    if (header == this) return;
    colorMap_.Assign(&header->colorMap_);
    descriptor_ = header->descriptor_;
    return;
  }
  if (auto* map = dynamic_cast<TGIFColorMap*>(source)) {
    ClearScreen();
    colorMap_.Assign(map);
    return;
  }
  inherited::Assign(source);
}

void TGIFHeader::UpdatePackedFields() {
  uint8_t packed = 0;
  if (colorMap_.Count() > 0) packed |= 0x80;
  if (colorMap_.Sorted()) packed |= 0x08;
  const int resolution = image_ != nullptr ? image_->MaxColorResolution() : ScreenColorResolution();
  packed |= static_cast<uint8_t>((Max(resolution, 0) & 7) << 4);
  int sizeBits;
  if (colorMap_.Count() > 0)
    sizeBits = colorMap_.IndexBitCount() - 1;
  else
    sizeBits = (image_ != nullptr ? image_->MaxIndexBits() : 0) - 1;
  packed |= static_cast<uint8_t>(Max(sizeBits, 0) & 7);
  descriptor_.PackedFields = packed;
}

TColor TGIFHeader::ScreenBackground() { return colorMap_.ColorAt(descriptor_.BackgroundIndex); }

// ---- registries ------------------------------------------------------------------------------
namespace {

struct TLabelEntry {
  uint8_t Label;
  const TGIFExtensionClass* Class;
};
struct TAppEntry {
  std::string Identifier;
  const TGIFExtensionClass* Class;
};

std::vector<TLabelEntry>& LabelRegistry();
std::vector<TAppEntry>& AppRegistry();

template <class T>
std::unique_ptr<TGIFExtension> MakeExtension(TGIFSubImage* frame) {
  return std::make_unique<T>(frame);
}

const TGIFExtensionClass* RefineSelf(const TGIFExtensionClass* self, TStream&) { return self; }

extern const TGIFExtensionClass kUnknownAppClass;

const TGIFExtensionClass* RefineApplication(const TGIFExtensionClass* self, TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t size = 0;
  if (!ReadStreamByte(stream, size)) return nullptr;
  std::array<uint8_t, 11> id{};
  if (size == 10) {
    if (stream.Read(id.data(), 10) != 10) return nullptr;
    return &kUnknownAppClass;
  }
  if (size == 11 && stream.Read(id.data(), 11) == 11) {
    const TGIFExtensionClass* cls = FindAppExtensionClass(id);
    return cls != nullptr ? cls : &kUnknownAppClass;
  }
  stream.SetPosition(start);
  return self;
}

const TGIFExtensionClass kTextClass{TGIFTextExtension::StaticClassInfo(),
                                    &MakeExtension<TGIFTextExtension>, &RefineSelf};
const TGIFExtensionClass kGraphicControlClass{TGIFGraphicControlExtension::StaticClassInfo(),
                                              &MakeExtension<TGIFGraphicControlExtension>,
                                              &RefineSelf};
const TGIFExtensionClass kCommentClass{TGIFCommentExtension::StaticClassInfo(),
                                       &MakeExtension<TGIFCommentExtension>, &RefineSelf};
const TGIFExtensionClass kApplicationClass{TGIFApplicationExtension::StaticClassInfo(),
                                           &MakeExtension<TGIFApplicationExtension>,
                                           &RefineApplication};
const TGIFExtensionClass kUnknownAppClass{TGIFUnknownAppExtension::StaticClassInfo(),
                                          &MakeExtension<TGIFUnknownAppExtension>, &RefineSelf};
const TGIFExtensionClass kLoopClass{TGIFAppExtNSLoop::StaticClassInfo(),
                                    &MakeExtension<TGIFAppExtNSLoop>, &RefineSelf};

std::vector<TLabelEntry>& LabelRegistry() {
  static std::vector<TLabelEntry> registry{{0x01, &kTextClass},
                                           {0xF9, &kGraphicControlClass},
                                           {0xFE, &kCommentClass},
                                           {0xFF, &kApplicationClass}};
  return registry;
}

std::vector<TAppEntry>& AppRegistry() {
  static std::vector<TAppEntry> registry{{"NETSCAPE2.0", &kLoopClass},
                                         {"ANIMEXTS1.0", &kLoopClass}};
  return registry;
}

}  // namespace

void RegisterExtensionClass(uint8_t label, const TGIFExtensionClass* cls) {
  LabelRegistry().push_back({label, cls});
}

void RegisterAppExtensionClass(const std::string& elevenBytes, const TGIFExtensionClass* cls) {
  AppRegistry().push_back({elevenBytes, cls});
}

const TGIFExtensionClass* FindExtensionClass(uint8_t label) {
  const auto& registry = LabelRegistry();
  for (auto it = registry.rbegin(); it != registry.rend(); ++it)
    if (it->Label == label) return it->Class;
  return nullptr;
}

const TGIFExtensionClass* FindAppExtensionClass(const std::array<uint8_t, 11>& identifier) {
  const std::string key(reinterpret_cast<const char*>(identifier.data()), identifier.size());
  const auto& registry = AppRegistry();
  for (auto it = registry.rbegin(); it != registry.rend(); ++it)
    if (it->Identifier == key) return it->Class;
  return nullptr;
}

// ---- extensions ------------------------------------------------------------------------------
TGIFExtension::TGIFExtension(TGIFSubImage* frame)
    : TGIFItem(frame != nullptr ? frame->Image() : nullptr), frame_(frame) {}

void TGIFExtension::SaveToStream(TStream& stream) {
  WriteStreamByte(stream, '!');
  WriteStreamByte(stream, ExtensionLabel());
}

void TGIFExtension::ReadIntroducer(TStream& stream) {
  uint8_t bytes[2];
  ReadStreamExact(stream, bytes, 2);
  if (bytes[0] != '!') RaiseGIFError("Invalid extension introducer");
  if (bytes[1] != ExtensionLabel())
    RaiseGIFError("Internal error: Extension Instance does not match Extension Label");
}

void TGIFExtension::LoadFromStream(TStream& stream) { ReadIntroducer(stream); }

const TGIFExtensionClass* TGIFExtension::ResolveExtensionClass(TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t label = 0;
  const TGIFExtensionClass* cls = nullptr;
  if (ReadStreamByte(stream, label)) {
    cls = FindExtensionClass(label);
    // Each refinement either answers itself or a more specific class; the chain is finite
    // because the registered classes refine towards leaves, but a bound keeps it so.
    for (int step = 0; cls != nullptr && step < 16; ++step) {
      const TGIFExtensionClass* next = cls->RefineClass(cls, stream);
      if (next == cls) break;
      cls = next;
    }
  }
  stream.SetPosition(start);
  return cls;
}

// Graphic control extension.
TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* frame)
    : TGIFExtension(frame) {
  if (frame != nullptr && frame->GraphicControlExtension() == nullptr)
    frame->SetGraphicControlExtension(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
  if (frame_ != nullptr && frame_->GraphicControlExtension() == this) {
    if (TransparentFlag()) frame_->SetTransparent(false);
    frame_->SetGraphicControlExtension(nullptr);
  }
}

void TGIFGraphicControlExtension::SaveToStream(TStream& stream) {
  TGIFExtension::SaveToStream(stream);
  const uint8_t bytes[6] = {4,
                            packed_,
                            static_cast<uint8_t>(delay_),
                            static_cast<uint8_t>(delay_ >> 8),
                            transparentIndex_,
                            0};
  stream.WriteBuffer(bytes, 6);
}

void TGIFGraphicControlExtension::LoadFromStream(TStream& stream) {
  ReadIntroducer(stream);
  uint8_t bytes[6];
  if (stream.Read(bytes, 6) != 6) {
    ReportWarning("Premature end of data");
    return;
  }
  blockSize_ = bytes[0];
  packed_ = bytes[1];
  delay_ = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
  transparentIndex_ = bytes[4];
  terminator_ = bytes[5];
  if (TransparentFlag() && frame_ != nullptr && frame_->GraphicControlExtension() == this)
    frame_->SetTransparent(true);
}

void TGIFGraphicControlExtension::Assign(TPersistent* source) {
  if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(source)) {
    packed_ = gce->packed_;
    delay_ = gce->delay_;
    transparentIndex_ = gce->transparentIndex_;
    if (frame_ != nullptr && frame_->GraphicControlExtension() == this)
      frame_->SetTransparent(TransparentFlag());
    return;
  }
  inherited::Assign(source);
}

void TGIFGraphicControlExtension::SetTransparentFlag(bool value) {
  packed_ = value ? packed_ | 0x01 : packed_ & ~0x01;
  if (frame_ != nullptr && frame_->GraphicControlExtension() == this) frame_->SetTransparent(value);
}

void TGIFGraphicControlExtension::SetTransparentIndex(int value) {
  if (frame_ != nullptr) {
    TGIFColorMap* map = frame_->EffectiveColorMap();
    if (map != nullptr && map->Count() > 0 && value >= map->Count()) {
      ReportWarning("Invalid color index");
      value = 0;
    }
  }
  if (value < 0 || value > 255) value = 0;
  transparentIndex_ = static_cast<uint8_t>(value);
}

// Text extension.
void TGIFTextExtension::SaveToStream(TStream& stream) {
  TGIFExtension::SaveToStream(stream);
  fields_[0] = 12;
  stream.WriteBuffer(fields_.data(), 13);
  WriteSubBlocks(stream, text_);
}

void TGIFTextExtension::LoadFromStream(TStream& stream) {
  ReadIntroducer(stream);
  ReadStreamExact(stream, fields_.data(), 13);
  ReadSubBlocks(stream, text_);
}

// Comment extension.
void TGIFCommentExtension::SaveToStream(TStream& stream) {
  TGIFExtension::SaveToStream(stream);
  WriteSubBlocks(stream, text_);
}

void TGIFCommentExtension::LoadFromStream(TStream& stream) {
  ReadIntroducer(stream);
  ReadSubBlocks(stream, text_);
}

// Application extensions.
TGIFApplicationExtension::TGIFApplicationExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}

void TGIFApplicationExtension::SetIdentifier(const std::string& elevenBytes) {
  identifier_.fill(0);
  std::memcpy(identifier_.data(), elevenBytes.data(), Min<size_t>(11, elevenBytes.size()));
}

void TGIFApplicationExtension::SaveToStream(TStream& stream) {
  TGIFExtension::SaveToStream(stream);
  WriteStreamByte(stream, 11);
  stream.WriteBuffer(identifier_.data(), 11);
  WritePayload(stream);
}

void TGIFApplicationExtension::LoadFromStream(TStream& stream) {
  ReadIntroducer(stream);
  uint8_t size = 0;
  ReadStreamExact(stream, &size, 1);
  if (size == 10) {
    // Old writers put only 10 bytes: the byte after them completes the identifier.
    identifier_.fill(0);
    ReadStreamExact(stream, identifier_.data(), 11);
    stream.Seek(-1, soCurrent);
  } else if (size < 10) {
    RaiseGIFError("Unsupported Application Extension block size");
  } else {
    ReadStreamExact(stream, identifier_.data(), 11);
    if (size > 11) stream.Seek(Min<int64_t>(size - 11, BytesLeft(stream)), soCurrent);
  }
  ReadPayload(stream);
}

void TGIFUnknownAppExtension::WritePayload(TStream& stream) {
  for (const TGIFBlock& block : blocks_) {
    WriteStreamByte(stream, static_cast<uint8_t>(block.Data.size()));
    stream.WriteBuffer(block.Data.data(), static_cast<int64_t>(block.Data.size()));
  }
  WriteStreamByte(stream, 0);
}

void TGIFUnknownAppExtension::ReadPayload(TStream& stream) {
  blocks_.clear();
  uint8_t length = 0;
  while (ReadStreamByte(stream, length) && length != 0) {
    TGIFBlock block;
    block.Data.resize(length);
    ReadStreamExact(stream, block.Data.data(), length);
    blocks_.push_back(std::move(block));
  }
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {
  SetIdentifier("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::WritePayload(TStream& stream) {
  const uint8_t loop[4] = {3, 1, static_cast<uint8_t>(repeatCount_),
                           static_cast<uint8_t>(repeatCount_ >> 8)};
  stream.WriteBuffer(loop, 4);
  if (bufferHint_ != 0) {
    const uint8_t hint[6] = {5,
                             2,
                             static_cast<uint8_t>(bufferHint_),
                             static_cast<uint8_t>(bufferHint_ >> 8),
                             static_cast<uint8_t>(bufferHint_ >> 16),
                             static_cast<uint8_t>(bufferHint_ >> 24)};
    stream.WriteBuffer(hint, 6);
  }
  WriteStreamByte(stream, 0);
}

void TGIFAppExtNSLoop::ReadPayload(TStream& stream) {
  auto skip = [&stream](int64_t n) {
    if (n > 0) stream.Seek(Min(n, BytesLeft(stream)), soCurrent);
  };
  uint8_t length = 0;
  // The end of the data counts as the closing zero length.
  while (ReadStreamByte(stream, length) && length != 0) {
    uint8_t id = 0;
    if (!ReadStreamByte(stream, id)) break;
    if ((id & 7) == 1) {
      if (length < 3) RaiseGIFError("Invalid GIF data");
      uint8_t b[2];
      ReadStreamExact(stream, b, 2);
      repeatCount_ = static_cast<uint16_t>(b[0] | (b[1] << 8));
      skip(length - 3);
    } else if ((id & 7) == 2) {
      if (length < 5) RaiseGIFError("Invalid GIF data");
      uint8_t b[4];
      ReadStreamExact(stream, b, 4);
      bufferHint_ = static_cast<uint32_t>(b[0] | (b[1] << 8) | (b[2] << 16) |
                                          (static_cast<uint32_t>(b[3]) << 24));
      skip(length - 5);
    } else {
      skip(length - 1);
    }
  }
}

// Trailer.
void TGIFTrailer::SaveToStream(TStream& stream) { WriteStreamByte(stream, ';'); }

void TGIFTrailer::LoadFromStream(TStream& stream) {
  uint8_t b = 0;
  if (!ReadStreamByte(stream, b)) return;
  if (b != ';') ReportWarning("Invalid Image trailer");
}

// ---- extension list --------------------------------------------------------------------------
TGIFExtensionList::TGIFExtensionList(TGIFSubImage* frame)
    : TGIFList(frame != nullptr ? frame->Image() : nullptr), frame_(frame) {}

void TGIFExtensionList::ReadItems(TStream& stream) {
  uint8_t b = 0;
  if (!ReadStreamByte(stream, b)) return;
  while (b != ',' && b != ';') {
    if (b != '!') {
      if (image_ != nullptr) image_->ReportWarning(frame_, 1, "Invalid extension introducer");
      break;
    }
    const TGIFExtensionClass* cls = TGIFExtension::ResolveExtensionClass(stream);
    if (cls == nullptr) RaiseGIFError("Unknown extension type");
    stream.Seek(-1, soCurrent);
    std::unique_ptr<TGIFExtension> ext = cls->Create(frame_);
    ext->LoadFromStream(stream);
    AppendItem(std::move(ext));
    if (!ReadStreamByte(stream, b)) return;
  }
  stream.Seek(-1, soCurrent);
}
