// Icons: an .ico file as loaded (saved back unchanged) and, on Windows, the icon
// handle made from its best-fitting image, or an icon handle taken over.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/HandlesWin32.h"
#endif

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

#ifdef _WIN32
  // Made on first use from the directory entry nearest to the system icon size.
  HICON Handle();
  // Takes over an icon: the icon deletes it later.
  void SetHandle(HICON value);
  // Gives the handle to the caller; the icon becomes empty.
  HICON ReleaseHandle();
  bool HandleAllocated() const { return bool(handle_); }
#endif

 private:
  void Clear();

  std::vector<uint8_t> data_;
  std::vector<TIconEntry> entries_;
  int width_ = 0;
  int height_ = 0;
#ifdef _WIN32
  TIconHandle handle_;
#endif
};
