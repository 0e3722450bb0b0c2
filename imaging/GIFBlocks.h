// The blocks of a GIF file as objects: header, extensions, trailer, the lists that hold them,
// the registries of extension classes, and the byte helpers every reader and writer uses.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "imaging/GIFColorMap.h"

class TGIFImage;
class TGIFSubImage;

K_EXCEPTION(GIFException, EInvalidGraphic);
[[noreturn]] void RaiseGIFError(const std::string& message);

// ---- byte helpers ----------------------------------------------------------------------------
void WriteStreamByte(TStream& stream, uint8_t value);
// False at the end of the stream.
bool ReadStreamByte(TStream& stream, uint8_t& value);
// A short read raises "Premature end of data".
void ReadStreamExact(TStream& stream, void* buffer, int64_t count);
void WriteSubBlocks(TStream& stream, const TStrings& strings);
void ReadSubBlocks(TStream& stream, TStrings& strings);
// Bytes left after the current position (0 for streams without a size).
int64_t BytesLeft(TStream& stream);

// ---- items and lists ---------------------------------------------------------------------------
class TGIFItem : public TPersistent {
  K_CLASS(TGIFItem, TPersistent)
  explicit TGIFItem(TGIFImage* image) : image_(image) {}
  ~TGIFItem() override = default;

  TGIFImage* Image() const { return image_; }
  virtual int RequiredVersion() const { return 1; }
  virtual void ReportWarning(const std::string& message);
  virtual void SaveToStream(TStream& stream) = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
  void WriteFile(const std::string& fileName);
  void ReadFile(const std::string& fileName);

 protected:
  TGIFImage* image_;
};

// An ordered list of owned items.
template <class T>
class TGIFList {
 public:
  explicit TGIFList(TGIFImage* image) : image_(image) {}
  virtual ~TGIFList() = default;

  T* ItemAt(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  int ItemCount() const { return static_cast<int>(items_.size()); }
  int AppendItem(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return ItemCount() - 1;
  }
  void InsertItem(int index, std::unique_ptr<T> item) {
    items_.insert(items_.begin() + index, std::move(item));
  }
  // First item first, as the items may still look at the list while they go.
  void FreeAllItems() {
    while (!items_.empty()) FreeItemAt(0);
  }
  void FreeItemAt(int index) {
    std::unique_ptr<T> item = std::move(items_.at(static_cast<size_t>(index)));
    items_.erase(items_.begin() + index);
  }
  std::unique_ptr<T> DetachItem(int index) {
    std::unique_ptr<T> item = std::move(items_.at(static_cast<size_t>(index)));
    items_.erase(items_.begin() + index);
    return item;
  }
  int IndexOf(const T* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
      if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
  }
  void WriteItems(TStream& stream) {
    for (auto& item : items_) item->SaveToStream(stream);
  }
  TGIFImage* Image() const { return image_; }

 protected:
  TGIFImage* image_;
  std::vector<std::unique_ptr<T>> items_;
};

// ---- header ------------------------------------------------------------------------------------
#pragma pack(push, 1)
struct TGIFScreenDescriptor {
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t PackedFields = 0;
  uint8_t BackgroundIndex = 0;
  uint8_t AspectRatio = 0;
};
#pragma pack(pop)
static_assert(sizeof(TGIFScreenDescriptor) == 7);

class TGIFHeader : public TGIFItem {
  K_CLASS(TGIFHeader, TGIFItem)
  explicit TGIFHeader(TGIFImage* image);

  void ClearScreen();
  void SaveToStream(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  void Assign(TPersistent* source) override;
  void UpdatePackedFields();

  TColor ScreenBackground();
  int GlobalIndexBits() const { return colorMap_.IndexBitCount(); }
  int ScreenColorResolution() const { return GlobalIndexBits() - 1; }
  TGIFGlobalColorMap& ColorMap() { return colorMap_; }
  TGIFScreenDescriptor& Descriptor() { return descriptor_; }
  const TGIFScreenDescriptor& Descriptor() const { return descriptor_; }

 private:
  TGIFScreenDescriptor descriptor_;
  TGIFGlobalColorMap colorMap_;
};

// ---- extensions --------------------------------------------------------------------------------
class TGIFExtension;
using TGIFExtensionFactory = std::unique_ptr<TGIFExtension> (*)(TGIFSubImage* frame);
// The class of an extension found in a file: how to make one and how to look further.
struct TGIFExtensionClass {
  const TClassInfo* Info = nullptr;
  TGIFExtensionFactory Create = nullptr;
  // Answers a more specific class (stream at the label's end), or this one itself.
  const TGIFExtensionClass* (*RefineClass)(const TGIFExtensionClass* self,
                                           TStream& stream) = nullptr;
};

class TGIFExtension : public TGIFItem {
  K_CLASS(TGIFExtension, TGIFItem)
  explicit TGIFExtension(TGIFSubImage* frame);
  ~TGIFExtension() override = default;

  TGIFSubImage* Frame() const { return frame_; }
  virtual uint8_t ExtensionLabel() const = 0;
  int RequiredVersion() const override { return 2; }
  void SaveToStream(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  // At the label: the class for the extension that starts there; nullptr when none.
  static const TGIFExtensionClass* ResolveExtensionClass(TStream& stream);

 protected:
  void ReadIntroducer(TStream& stream);
  TGIFSubImage* frame_;
};

class TGIFGraphicControlExtension : public TGIFExtension {
  K_CLASS(TGIFGraphicControlExtension, TGIFExtension)
  explicit TGIFGraphicControlExtension(TGIFSubImage* frame);
  ~TGIFGraphicControlExtension() override;

  uint8_t ExtensionLabel() const override { return 0xF9; }
  void SaveToStream(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  void Assign(TPersistent* source) override;

  bool TransparentFlag() const { return (packed_ & 0x01) != 0; }
  void SetTransparentFlag(bool value);
  uint8_t TransparentIndex() const { return transparentIndex_; }
  void SetTransparentIndex(int value);
  uint16_t DelayTime() const { return delay_; }
  void SetDelayTime(uint16_t value) { delay_ = value; }
  bool UserInputFlag() const { return (packed_ & 0x02) != 0; }
  void SetUserInputFlag(bool value) { packed_ = value ? packed_ | 0x02 : packed_ & ~0x02; }
  uint8_t DisposalMethod() const { return (packed_ >> 2) & 0x07; }
  void SetDisposalMethod(uint8_t value) {
    packed_ = static_cast<uint8_t>((packed_ & ~0x1C) | ((value & 0x07) << 2));
  }
  // Forgets the frame (it is going away first).
  void Unlink() { frame_ = nullptr; }

 private:
  uint8_t blockSize_ = 4;
  uint8_t packed_ = 0;
  uint16_t delay_ = 0;
  uint8_t transparentIndex_ = 0;
  uint8_t terminator_ = 0;
};

class TGIFTextExtension : public TGIFExtension {
  K_CLASS(TGIFTextExtension, TGIFExtension)
  explicit TGIFTextExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
  uint8_t ExtensionLabel() const override { return 0x01; }
  void SaveToStream(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  TStringList& Text() { return text_; }
  std::array<uint8_t, 13>& Fields() { return fields_; }  // block size and the 12 grid bytes

 private:
  std::array<uint8_t, 13> fields_{12};
  TStringList text_;
};

class TGIFCommentExtension : public TGIFExtension {
  K_CLASS(TGIFCommentExtension, TGIFExtension)
  explicit TGIFCommentExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
  uint8_t ExtensionLabel() const override { return 0xFE; }
  void SaveToStream(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  TStringList& Text() { return text_; }

 private:
  TStringList text_;
};

class TGIFApplicationExtension : public TGIFExtension {
  K_CLASS(TGIFApplicationExtension, TGIFExtension)
  explicit TGIFApplicationExtension(TGIFSubImage* frame);
  uint8_t ExtensionLabel() const override { return 0xFF; }
  void SaveToStream(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  // Identifier (8 bytes) and authentication code (3 bytes).
  std::array<uint8_t, 11>& Identifier() { return identifier_; }
  void SetIdentifier(const std::string& elevenBytes);

 protected:
  virtual void WritePayload(TStream&) {}
  virtual void ReadPayload(TStream&) {}

 private:
  std::array<uint8_t, 11> identifier_{};
};

// One data sub-block kept as it was read.
struct TGIFBlock {
  std::vector<uint8_t> Data;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
  K_CLASS(TGIFUnknownAppExtension, TGIFApplicationExtension)
  using TGIFApplicationExtension::TGIFApplicationExtension;
  std::vector<TGIFBlock>& Blocks() { return blocks_; }

 protected:
  void WritePayload(TStream& stream) override;
  void ReadPayload(TStream& stream) override;

 private:
  std::vector<TGIFBlock> blocks_;
};

class TGIFAppExtNSLoop : public TGIFApplicationExtension {
  K_CLASS(TGIFAppExtNSLoop, TGIFApplicationExtension)
  explicit TGIFAppExtNSLoop(TGIFSubImage* frame);
  uint16_t RepeatCount() const { return repeatCount_; }
  void SetRepeatCount(uint16_t value) { repeatCount_ = value; }
  uint32_t BufferHint() const { return bufferHint_; }
  void SetBufferHint(uint32_t value) { bufferHint_ = value; }

 protected:
  void WritePayload(TStream& stream) override;
  void ReadPayload(TStream& stream) override;

 private:
  uint16_t repeatCount_ = 0;
  uint32_t bufferHint_ = 0;
};

class TGIFTrailer : public TGIFItem {
  K_CLASS(TGIFTrailer, TGIFItem)
  using TGIFItem::TGIFItem;
  void SaveToStream(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
};

// The extensions of one frame, in file order.
class TGIFExtensionList : public TGIFList<TGIFExtension> {
 public:
  explicit TGIFExtensionList(TGIFSubImage* frame);
  void ReadItems(TStream& stream);
  TGIFExtension* ExtensionAt(int index) const { return ItemAt(index); }

 private:
  TGIFSubImage* frame_;
};

// ---- registries --------------------------------------------------------------------------------
// Looked up from the last registration backwards.
void RegisterExtensionClass(uint8_t label, const TGIFExtensionClass* cls);
void RegisterAppExtensionClass(const std::string& elevenBytes, const TGIFExtensionClass* cls);
const TGIFExtensionClass* FindExtensionClass(uint8_t label);
const TGIFExtensionClass* FindAppExtensionClass(const std::array<uint8_t, 11>& identifier);
