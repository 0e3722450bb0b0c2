// The Windows half of TBitmap: a DIB section over the pixel block, a memory DC
// with a canvas on it, drawing onto other canvases, and the live system colours.
#include <windows.h>
// The picture class's own RegisterClipboardFormat, not the Win32 macro.
#undef RegisterClipboardFormat

#include <cstring>

#include "framework/CanvasWin32.h"
#include "framework/Graphics.h"
#include "framework/GraphicsWin32.h"
#include "framework/HandlesWin32.h"

namespace {

// The pixel block of a bitmap once Windows code asked for a handle: the DIB
// section owns the memory, so GDI and ScanLine work on the same bytes.
class TDibStorage : public TPixelStorage {
 public:
  TDibStorage(HBITMAP bitmap, uint8_t* bits) : bitmap_(bitmap), bits_(bits) {}
  uint8_t* Bits() override { return bits_; }
  HBITMAP Handle() const { return bitmap_.Get(); }
  // Hands the section to a new owner; the bytes stay valid for it.
  HBITMAP Release() { return bitmap_.Release(); }

 private:
  TGdiObject<HBITMAP> bitmap_;
  uint8_t* bits_;
};

// A plain heap block, for pixels copied out of a handle that goes to someone else.
class THeapStorage : public TPixelStorage {
 public:
  explicit THeapStorage(size_t size) : bytes_(size) {}
  uint8_t* Bits() override { return bytes_.data(); }

 private:
  std::vector<uint8_t> bytes_;
};

// BITMAPINFO with room for the largest colour table or the three bit-field masks.
struct TDibInfo {
  BITMAPINFOHEADER Header{};
  RGBQUAD Colors[256]{};

  BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

TDibInfo DescribeBitmap(const TBitmap& bitmap) {
  TDibInfo info;
  BITMAPINFOHEADER& h = info.Header;
  h.biSize = sizeof(h);
  h.biWidth = bitmap.Width();
  h.biHeight = bitmap.Height();  // positive: bottom-up, as the pixel block is laid out
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bitmap.BitsPerPixel());
  h.biCompression = BI_RGB;
  if (bitmap.PixelFormat() == pf16bit) {
    h.biCompression = BI_BITFIELDS;
    auto* masks = reinterpret_cast<DWORD*>(info.Colors);
    masks[0] = 0xF800;
    masks[1] = 0x07E0;
    masks[2] = 0x001F;
  } else if (h.biBitCount <= 8) {
    TColorTable table = bitmap.Palette();
    if (table.empty()) table = DefaultPalette(bitmap.PixelFormat());
    const size_t count = std::min<size_t>(table.size(), size_t{1} << h.biBitCount);
    for (size_t i = 0; i < count; ++i)
      info.Colors[i] = RGBQUAD{table[i].Blue, table[i].Green, table[i].Red, 0};
    h.biClrUsed = static_cast<DWORD>(count);
  }
  return info;
}

TPixelFormat FormatOfBitCount(int bits) {
  switch (bits) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      return pf16bit;
    case 24:
      return pf24bit;
    default:
      return pf32bit;
  }
}

class TBitmapCanvas;

class TWin32BitmapBinding : public TBitmapBinding {
 public:
  explicit TWin32BitmapBinding(TBitmap& bitmap) : bitmap_(bitmap) {}
  ~TWin32BitmapBinding() override { ReleaseDC(); }

  TBitmap& Bitmap() { return bitmap_; }
  HBITMAP Handle();
  // The handle for code outside: taken out of the canvas's DC first (unless the
  // canvas is locked), because GDI selects a bitmap into one DC at a time and
  // image lists, icons and other DCs must be able to select it.
  HBITMAP HandleForCaller();
  void SetHandle(HBITMAP value);
  HBITMAP ReleaseHandle();
  TCanvas* Canvas();
  // The memory DC with the DIB section selected; made on demand.
  HDC MemoryDC();

  void StorageReleasing() override {
    ReleaseDC();
    dib_ = nullptr;
  }
  // Pixel addresses handed out must stay valid when GDI draws later: the pixels
  // move into the DIB section before the first access.
  void SyncForPixelAccess() override {
    if (!dib_ && !creating_ && !bitmap_.Empty()) Handle();
    ::GdiFlush();
  }
  void PaletteChanged() override;
  void Draw(TCanvas* canvas, const TRect& r) override;

 private:
  void ReleaseDC();

  TBitmap& bitmap_;
  TDibStorage* dib_ = nullptr;  // owned by the bitmap as its storage
  bool creating_ = false;       // reading the old pixels must not make a section again
  TDCHandle dc_;
  HGDIOBJ oldBitmap_ = nullptr;
  std::unique_ptr<TBitmapCanvas> canvas_;
};

// The canvas of a bitmap: its DC is the binding's memory DC, made when the first
// drawing call needs it and dropped whenever the pixel block is replaced.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TWin32BitmapBinding& binding) : binding_(binding) {}
  void FreeHandle() { SetHandle(nullptr); }

 protected:
  void CreateHandle() override { SetHandle(binding_.MemoryDC()); }
  // Drawing changes the picture: whoever shows the bitmap hears of it.
  void Changed() override {
    TCanvas::Changed();
    binding_.Bitmap().SetModified(true);
  }

 private:
  TWin32BitmapBinding& binding_;
};

HBITMAP TWin32BitmapBinding::Handle() {
  if (dib_) return dib_->Handle();
  if (bitmap_.Empty()) return nullptr;
  TDibInfo info = DescribeBitmap(bitmap_);
  void* bits = nullptr;
  HBITMAP section = ::CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) throw EOutOfMemory("Out of system resources");
  auto storage = std::make_unique<TDibStorage>(section, static_cast<uint8_t*>(bits));
  creating_ = true;
  const uint8_t* current = bitmap_.Bits();
  creating_ = false;
  if (current) std::memcpy(bits, current, bitmap_.BitsSize());
  TDibStorage* adopted = storage.get();
  bitmap_.AdoptStorage(std::move(storage));
  dib_ = adopted;
  return dib_->Handle();
}

HBITMAP TWin32BitmapBinding::HandleForCaller() {
  if (!canvas_ || canvas_->LockCount() == 0) ReleaseDC();
  return Handle();
}

HDC TWin32BitmapBinding::MemoryDC() {
  if (!dc_) {
    dc_.Reset(::CreateCompatibleDC(nullptr));
    if (!dc_) throw EOutOfMemory("Out of system resources");
  }
  if (!oldBitmap_) {
    if (HBITMAP handle = Handle()) oldBitmap_ = ::SelectObject(dc_.Get(), handle);
  }
  return dc_.Get();
}

void TWin32BitmapBinding::ReleaseDC() {
  if (canvas_) canvas_->FreeHandle();
  if (dc_ && oldBitmap_) ::SelectObject(dc_.Get(), oldBitmap_);
  oldBitmap_ = nullptr;
  dc_.Reset();
}

TCanvas* TWin32BitmapBinding::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
  return canvas_.get();
}

void TWin32BitmapBinding::PaletteChanged() {
  if (!dib_ || bitmap_.BitsPerPixel() > 8) return;
  TDibInfo info = DescribeBitmap(bitmap_);
  ::SetDIBColorTable(MemoryDC(), 0, info.Header.biClrUsed, info.Colors);
}

void TWin32BitmapBinding::SetHandle(HBITMAP value) {
  if (value && dib_ && value == dib_->Handle()) return;
  if (!value) {
    bitmap_.SetSize(0, 0);
    return;
  }
  // The given bitmap belongs to us from now on; its pixels are read into a DIB
  // section of the matching format and the bitmap itself is deleted.
  TGdiObject<HBITMAP> taken(value);
  BITMAP bm{};
  if (::GetObjectA(value, sizeof(bm), &bm) == 0) throw EInvalidGraphic("Invalid bitmap");
  const int bits = bm.bmBitsPixel * bm.bmPlanes;
  const TPixelFormat format = FormatOfBitCount(bits);

  // The colour table of an indexed bitmap comes out of GetDIBits with the bits.
  TDibInfo read{};
  read.Header.biSize = sizeof(read.Header);
  read.Header.biWidth = bm.bmWidth;
  read.Header.biHeight = bm.bmHeight;
  read.Header.biPlanes = 1;
  read.Header.biBitCount = static_cast<WORD>(BitsPerPixelOf(format));
  read.Header.biCompression = BI_RGB;
  if (format == pf16bit) {
    read.Header.biCompression = BI_BITFIELDS;
    auto* masks = reinterpret_cast<DWORD*>(read.Colors);
    masks[0] = 0xF800;
    masks[1] = 0x07E0;
    masks[2] = 0x001F;
  }
  TWindowDC screen(nullptr);
  std::vector<uint8_t> pixels(static_cast<size_t>(DibRowBytes(bm.bmWidth, read.Header.biBitCount)) *
                              bm.bmHeight);
  if (!pixels.empty() && ::GetDIBits(screen.Get(), value, 0, bm.bmHeight, pixels.data(), read.Get(),
                                     DIB_RGB_COLORS) == 0)
    throw EInvalidGraphic("Invalid bitmap");

  bitmap_.SetSize(0, 0);
  bitmap_.SetPixelFormat(format);
  if (bits <= 8) {
    const size_t count = size_t{1} << bits;
    TColorTable table(count);
    for (size_t i = 0; i < count; ++i)
      table[i] =
          TRGBQuad{read.Colors[i].rgbBlue, read.Colors[i].rgbGreen, read.Colors[i].rgbRed, 0};
    bitmap_.SetPalette(table);
  }
  bitmap_.SetSize(bm.bmWidth, bm.bmHeight);
  if (uint8_t* target = bitmap_.Bits()) std::memcpy(target, pixels.data(), bitmap_.BitsSize());
}

HBITMAP TWin32BitmapBinding::ReleaseHandle() {
  if (!Handle()) return nullptr;
  ReleaseDC();
  // The bitmap keeps a copy of its pixels; the section goes to the caller.
  auto copy = std::make_unique<THeapStorage>(bitmap_.BitsSize());
  std::memcpy(copy->Bits(), bitmap_.Bits(), bitmap_.BitsSize());
  HBITMAP released = dib_->Release();
  dib_ = nullptr;
  bitmap_.AdoptStorage(std::move(copy));
  return released;
}

void TWin32BitmapBinding::Draw(TCanvas* canvas, const TRect& r) {
  if (!canvas || bitmap_.Empty()) return;
  HDC source = MemoryDC();
  HDC target = canvas->Handle();
  const int w = bitmap_.Width();
  const int h = bitmap_.Height();
  if (bitmap_.Transparent()) {
    const COLORREF key = static_cast<COLORREF>(ColorToRGB(bitmap_.TransparentColor())) & 0xFFFFFF;
    ::TransparentBlt(target, r.Left, r.Top, r.Width(), r.Height(), source, 0, 0, w, h, key);
  } else {
    ::StretchBlt(target, r.Left, r.Top, r.Width(), r.Height(), source, 0, 0, w, h,
                 canvas->CopyMode());
  }
}

TWin32BitmapBinding& BindingOf(TBitmap& bitmap) {
  return static_cast<TWin32BitmapBinding&>(*bitmap.Binding());
}

uint32_t LiveSystemColor(int index) { return ::GetSysColor(index); }

std::unique_ptr<TBitmapBinding> MakeBinding(TBitmap& bitmap) {
  return std::make_unique<TWin32BitmapBinding>(bitmap);
}

}  // namespace

void InstallWin32Graphics() {
  TBitmap::SetBindingFactory(&MakeBinding);
  SetSystemColorSource(&LiveSystemColor);
  TPicture::RegisterClipboardFormat(CF_BITMAP, TBitmap::StaticClassInfo());
}

HBITMAP BitmapHandle(TBitmap* bitmap) { return BindingOf(*bitmap).HandleForCaller(); }
void SetBitmapHandle(TBitmap* bitmap, HBITMAP value) { BindingOf(*bitmap).SetHandle(value); }
HBITMAP ReleaseBitmapHandle(TBitmap* bitmap) { return BindingOf(*bitmap).ReleaseHandle(); }
TCanvas* TBitmap::Canvas() { return BindingOf(*this).Canvas(); }

void TBitmap::LoadFromClipboardFormat(uint16_t format, void* data, void* /*palette*/) {
  HANDLE handle = static_cast<HANDLE>(data);
  if (format == CF_BITMAP && handle == nullptr) handle = ::GetClipboardData(CF_BITMAP);
  if (format != CF_BITMAP || handle == nullptr)
    throw EInvalidGraphic("Unsupported clipboard format");
  // The clipboard keeps its bitmap: SetHandle takes over a copy of the same depth.
  auto copy = static_cast<HBITMAP>(::CopyImage(handle, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (copy == nullptr) throw EInvalidGraphic("Invalid bitmap");
  SetBitmapHandle(this, copy);
  Changed(this);
}

void TBitmap::SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette) {
  format = 0;
  data = nullptr;
  palette = nullptr;
  if (Empty()) return;
  // The receiver owns what it gets, so it gets a copy and this bitmap keeps its own section.
  TBitmap copy;
  copy.Assign(this);
  data = ReleaseBitmapHandle(&copy);
  if (data != nullptr) format = CF_BITMAP;
}
