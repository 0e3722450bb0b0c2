// Icons: an .ico file as loaded (saved back unchanged) and, on Windows, the icon
// handle made from its best-fitting image, or an icon handle taken over (IconWin32.h).
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"
#include "framework/NativeHandle.h"

// One image of an .ico file, as its directory describes it.
struct TIconEntry {
  int Width = 0;  // 256 for a directory byte of 0
  int Height = 0;
  int BitCount = 0;
  uint32_t Offset = 0;  // of the image data in the file
  uint32_t Size = 0;
};

// Reads the directory of an .ico file. Every entry must lie inside the file;
// EInvalidGraphic "Icon image is not valid" otherwise or when there is none.
std::vector<TIconEntry> ReadIconDirectory(const std::vector<uint8_t>& file);
// The entry nearest to the system icon size; of equal sizes the deepest colours.
size_t PreferredIconEntry(const std::vector<TIconEntry>& entries);
// The system's icon size: 32 where there is no system to ask.
int SystemIconSize();
// EInvalidGraphic "Icon image is not valid".
[[noreturn]] void InvalidIcon();

class TIcon : public TGraphic {
  K_CLASS(TIcon, TGraphic)
  TIcon();
  ~TIcon() override;

  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  // An icon's size is that of its image: EInvalidGraphicOperation.
  void SetWidth(int value) override;
  void SetHeight(int value) override;

  // Reads the rest of the stream as one .ico file.
  void LoadFromStream(TStream& stream) override;
  // Writes the file as loaded or, for a handle taken over, a 32-bit image with its mask.
  void SaveToStream(TStream& stream) override;
  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const TRect& r) override;


 private:
  void Clear();

  std::vector<uint8_t> data_;
  std::vector<TIconEntry> entries_;
  int width_ = 0;
  int height_ = 0;
  // The system's icon: made from the file on first use, or taken over (IconWin32.h).
  TNativeHandle handle_;
  friend class TIconHandles;
};
