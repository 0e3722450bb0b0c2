// Portable graphics core: colours, font styles, pixel formats, the graphic base class,
// the bitmap as a device-independent pixel buffer, and the picture with its format registry.
//
// Pixel memory of TBitmap
// -----------------------
// A bitmap's pixels live in exactly one block laid out like a DIB: rows bottom-up, each row
// padded to a multiple of 4 bytes; ScanLine(y) returns row y counted from the top. The block
// is held by a TPixelStorage. Natively (and until Win32 code asks for a handle) it is a plain
// heap block. The Win32 half (GraphicsWin32.cpp) makes a DIB section of the same layout when a
// handle or canvas is first needed, copies the bytes once into it and hands it back with
// AdoptStorage: from then on the DIB section owns the one and only copy, so GDI drawing and
// ScanLine access see the same bytes and nothing has to be synchronised afterwards.
// The Win32 state of one bitmap (handle, memory DC, canvas) is a TBitmapBinding owned by the
// bitmap. The portable code tells it:
//   - StorageReleasing() before the pixel block is replaced or freed (size, format, palette
//     layout, load, assign): the binding drops its handle and DC, since they point at the old
//     block; a new DIB section is made on the next request;
//   - SyncForPixelAccess() before the CPU touches the pixels (ScanLine and friends): the
//     binding finishes pending GDI drawing (GdiFlush) and moves the pixels into the DIB
//     section first, so row addresses stay valid when GDI draws afterwards;
//   - PaletteChanged() after the colour table changed, so a DIB section updates its own table.
// The Win32 half installs its binding factory with TBitmap::SetBindingFactory; Draw goes
// through the binding, so the portable code never calls into Win32 code by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Events.h"
#include "framework/SysUtils.h"
#include "framework/Types.h"

class TCanvas;  // Win32 half
class TBitmap;

K_EXCEPTION(EInvalidGraphic, Exception);
K_EXCEPTION(EInvalidGraphicOperation, Exception);
K_EXCEPTION(EOutOfResources, EOutOfMemory);

// ---------------------------------------------------------------------------------------------
// Colours: 0x00BBGGRR, or a system colour 0xFF0000xx (index into the system colour table).
using TColor = int32_t;

constexpr TColor clScrollBar = static_cast<TColor>(0xFF000000);
constexpr TColor clBackground = static_cast<TColor>(0xFF000001);
constexpr TColor clActiveCaption = static_cast<TColor>(0xFF000002);
constexpr TColor clInactiveCaption = static_cast<TColor>(0xFF000003);
constexpr TColor clMenu = static_cast<TColor>(0xFF000004);
constexpr TColor clWindow = static_cast<TColor>(0xFF000005);
constexpr TColor clWindowFrame = static_cast<TColor>(0xFF000006);
constexpr TColor clMenuText = static_cast<TColor>(0xFF000007);
constexpr TColor clWindowText = static_cast<TColor>(0xFF000008);
constexpr TColor clCaptionText = static_cast<TColor>(0xFF000009);
constexpr TColor clActiveBorder = static_cast<TColor>(0xFF00000A);
constexpr TColor clInactiveBorder = static_cast<TColor>(0xFF00000B);
constexpr TColor clAppWorkSpace = static_cast<TColor>(0xFF00000C);
constexpr TColor clHighlight = static_cast<TColor>(0xFF00000D);
constexpr TColor clHighlightText = static_cast<TColor>(0xFF00000E);
constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000F);
constexpr TColor clBtnShadow = static_cast<TColor>(0xFF000010);
constexpr TColor clGrayText = static_cast<TColor>(0xFF000011);
constexpr TColor clBtnText = static_cast<TColor>(0xFF000012);
constexpr TColor clInactiveCaptionText = static_cast<TColor>(0xFF000013);
constexpr TColor clBtnHighlight = static_cast<TColor>(0xFF000014);
constexpr TColor cl3DDkShadow = static_cast<TColor>(0xFF000015);
constexpr TColor cl3DLight = static_cast<TColor>(0xFF000016);
constexpr TColor clInfoText = static_cast<TColor>(0xFF000017);
constexpr TColor clInfoBk = static_cast<TColor>(0xFF000018);
constexpr TColor clHotLight = static_cast<TColor>(0xFF00001A);
constexpr TColor clGradientActiveCaption = static_cast<TColor>(0xFF00001B);
constexpr TColor clGradientInactiveCaption = static_cast<TColor>(0xFF00001C);
constexpr TColor clMenuHighlight = static_cast<TColor>(0xFF00001D);
constexpr TColor clMenuBar = static_cast<TColor>(0xFF00001E);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// Channel helpers named so they cannot clash with the <windows.h> macros.
constexpr uint8_t ColorR(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t ColorG(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t ColorB(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
constexpr TColor MakeColor(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}
constexpr bool IsSystemColor(TColor c) {
  return (static_cast<uint32_t>(c) & 0xFF000000u) == 0xFF000000u;
}

// The RGB value of a colour. System colours are looked up in a fixed classic table natively;
// the Win32 half may install the live system colours (SetSystemColorSource).
TColor ColorToRGB(TColor color);
using TSystemColorSource = uint32_t (*)(int index);  // returns 0x00BBGGRR
void SetSystemColorSource(TSystemColorSource source);

// A colour from its name as the framework writes it ("clRed", "clWindowText"; any letter
// case) or from its number (decimal, "$" or "0x" hexadecimal). Raises EConvertError for
// anything else.
TColor StringToColor(const std::string& text);

// ---------------------------------------------------------------------------------------------
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TPixelFormat {
  pfDevice,
  pf1bit,
  pf4bit,
  pf8bit,
  pf15bit,
  pf16bit,
  pf24bit,
  pf32bit,
  pfCustom
};

enum TTransparentMode { tmAuto, tmFixed };

enum TProgressStage { psStarting, psRunning, psEnding };

// One colour-table entry in DIB order.
struct TRGBQuad {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Reserved = 0;
  friend constexpr bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};
using TColorTable = std::vector<TRGBQuad>;

constexpr TRGBQuad QuadFromColor(TColor c) { return {ColorB(c), ColorG(c), ColorR(c), 0}; }
constexpr TColor ColorFromQuad(TRGBQuad q) { return MakeColor(q.Red, q.Green, q.Blue); }

// The file layouts of a BMP file (little-endian, packed as on disk).
#pragma pack(push, 1)
struct TBitmapFileHeader {
  uint16_t bfType = 0x4D42;  // "BM"
  uint32_t bfSize = 0;
  uint16_t bfReserved1 = 0;
  uint16_t bfReserved2 = 0;
  uint32_t bfOffBits = 0;
};
struct TBitmapInfoHeader {
  uint32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};
#pragma pack(pop)
static_assert(sizeof(TBitmapFileHeader) == 14);
static_assert(sizeof(TBitmapInfoHeader) == 40);

constexpr uint32_t BI_RGB_CODE = 0;
constexpr uint32_t BI_BITFIELDS_CODE = 3;

// Bits per pixel of the storage of a format (pfDevice is kept as 32 bits, the depth of the
// screens the program runs on); 0 for pfCustom.
int BitsPerPixelOf(TPixelFormat format);
// Bytes of one DIB row: padded to a multiple of 4.
int64_t DibRowBytes(int64_t width, int bitsPerPixel);

// ---------------------------------------------------------------------------------------------
// Graphic events.
using TProgressEvent = TMethod<void(TObject* sender, TProgressStage stage, uint8_t percentDone,
                                    bool redrawNow, const TRect& r, const std::string& msg)>;

// The abstract image: a size, a change notification and stream/file persistence.
class TGraphic : public TPersistent {
  K_CLASS(TGraphic, TPersistent)
  TGraphic() = default;
  ~TGraphic() override = default;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int value) = 0;
  virtual void SetHeight(int value) = 0;
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);

  bool Modified() const { return modified_; }
  void SetModified(bool value);

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  virtual void LoadFromFile(const std::string& fileName);
  virtual void SaveToFile(const std::string& fileName);
  // The graphic as stored in a form resource; by default its own file format.
  virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
  virtual void WriteData(TStream& stream) { SaveToStream(stream); }

  // Paints the graphic into r on the canvas (Win32 drawing; natively a no-op).
  virtual void Draw(TCanvas* canvas, const TRect& r) = 0;

#ifdef _WIN32
  // The clipboard (GraphicsWin32.cpp). data is the clipboard handle of the format (when null,
  // the graphic fetches it from the open clipboard); palette is an HPALETTE or null. Saving
  // fills the three with what the caller hands to SetClipboardData and then owns; a graphic
  // may place further formats itself. By default neither is supported: EInvalidGraphic.
  virtual void LoadFromClipboardFormat(uint16_t format, void* data, void* palette);
  virtual void SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette);
#endif

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

 protected:
  // Marks the graphic modified and fires OnChange.
  virtual void Changed(TObject* sender);
  void Progress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                const TRect& r, const std::string& msg);

 private:
  bool transparent_ = false;
  bool modified_ = false;
};

// Memory of one bitmap's pixels (see the top of this file).
class TPixelStorage {
 public:
  virtual ~TPixelStorage() = default;
  virtual uint8_t* Bits() = 0;
};

// Platform state of one bitmap (see the top of this file).
class TBitmapBinding {
 public:
  virtual ~TBitmapBinding() = default;
  virtual void StorageReleasing() = 0;
  virtual void SyncForPixelAccess() {}
  virtual void PaletteChanged() {}
  virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
};

// A device-independent bitmap. The pixel buffer is the single source of truth.
class TBitmap : public TGraphic {
  K_CLASS(TBitmap, TGraphic)
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  bool Empty() const override { return width_ == 0 || height_ == 0; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int value) override { SetSize(value, height_); }
  void SetHeight(int value) override { SetSize(width_, value); }
  // Keeps the overlapping top-left part of the image; new pixels are 0 (index 0 or black).
  void SetSize(int width, int height);

  TPixelFormat PixelFormat() const { return pixelFormat_; }
  // Converts the pixels to the new format (see Graphics.cpp for the rules).
  void SetPixelFormat(TPixelFormat value);
  int BitsPerPixel() const { return BitsPerPixelOf(pixelFormat_); }
  int RowBytes() const { return static_cast<int>(DibRowBytes(width_, BitsPerPixel())); }

  // Row y counted from the top; EInvalidGraphic when y lies outside the image.
  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;
  // The whole block (bottom row first); nullptr when empty.
  uint8_t* Bits();
  size_t BitsSize() const;

  // Colour table of pf1bit, pf4bit and pf8bit (at most 2^bits entries); empty otherwise.
  const TColorTable& Palette() const { return palette_; }
  void SetPalette(const TColorTable& entries);

  // Colour of one pixel (0x00BBGGRR); clBlack outside the image. Index formats read the
  // colour table (indexes beyond it read black).
  TColor PixelColor(int x, int y) const;
  void SetPixelColor(int x, int y, TColor color);
  // Fills the whole image with a colour (indexed formats: the nearest table entry).
  void Fill(TColor color);

  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode value);
  // tmAuto: the colour of the bottom-left pixel; tmFixed: the stored colour.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor value);

  void Assign(TPersistent* source) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // Form data: a 32-bit byte count, then a BMP file. Descendants that load another file
  // format (the PNG reader) are still stored and read as bitmaps here.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;
  void Draw(TCanvas* canvas, const TRect& r) override;
#ifdef _WIN32
  // CF_BITMAP: loading copies the clipboard's bitmap; saving hands out a copy of the pixels.
  void LoadFromClipboardFormat(uint16_t format, void* data, void* palette) override;
  void SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette) override;
#endif

  // Win32 half: takes over a storage of BitsSize() bytes that already holds the pixels.
  void AdoptStorage(std::unique_ptr<TPixelStorage> storage);
  TBitmapBinding* Binding();
  using TBindingFactory = std::unique_ptr<TBitmapBinding> (*)(TBitmap& bitmap);
  static void SetBindingFactory(TBindingFactory factory);

#ifdef _WIN32
  // The canvas on the bitmap's DIB section (GraphicsWin32.cpp; the handle is there too).
  TCanvas* Canvas();
#endif

 private:
  void ReleaseStorage();
  void NotifyPixelAccess() const;
  void ReadBmp(TStream& stream);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat pixelFormat_ = pfDevice;
  TColorTable palette_;
  std::unique_ptr<TPixelStorage> storage_;
  std::unique_ptr<TBitmapBinding> binding_;
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
};

// The default colour table of an indexed format (2, 16 or 256 entries).
TColorTable DefaultPalette(TPixelFormat format);
// Index of the entry closest to a colour (squared RGB distance; first one wins ties).
int NearestPaletteIndex(const TColorTable& table, TColor color);

// ---------------------------------------------------------------------------------------------
// A graphic class reference: the class's run-time information (T::StaticClassInfo()).
using TGraphicClass = const TClassInfo*;

// Holds one graphic of any registered class and loads files by their extension.
class TPicture : public TPersistent {
  K_CLASS(TPicture, TPersistent)
  TPicture();
  ~TPicture() override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Copies the given graphic into a new instance of its own class (nullptr clears).
  void SetGraphic(TGraphic* value);
  // The graphic as a bitmap; replaces any other graphic by an empty bitmap.
  TBitmap* Bitmap();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Picks the class by the file's extension (letter case ignored; the last registration
  // wins); EInvalidGraphic "Unknown picture file extension (.ext)" when none fits.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  void Assign(TPersistent* source) override;
  // The picture as stored in a form resource: the graphic's class name (a length byte and
  // the name; empty for no graphic), then the graphic's own data.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

  TNotifyEvent OnChange;

  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 TGraphicClass graphicClass);
  static void RegisterClipboardFormat(uint32_t format, TGraphicClass graphicClass);
  // Removes every file and clipboard registration of the class and of its descendants.
  static void UnregisterGraphicClass(TGraphicClass graphicClass);
  // The class that opens an extension (with or without the dot); nullptr when none.
  static TGraphicClass FileFormatFor(const std::string& extension);
  static std::string FileFormatDescription(const std::string& extension);
  static TGraphicClass ClipboardFormatFor(uint32_t format);

#ifdef _WIN32
  // A graphic class is registered for the format.
  static bool SupportsClipboardFormat(uint16_t format);
  // Replaces the graphic by a new one of the class registered for the format, loaded from the
  // clipboard data; EInvalidGraphic "Unsupported clipboard format" when none is registered.
  void LoadFromClipboardFormat(uint16_t format, void* data, void* palette);
  // The graphic's own clipboard data; nothing (format 0, no data) without a graphic.
  void SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette);
#endif

 private:
  void TakeGraphic(std::unique_ptr<TGraphic> graphic);
  void GraphicChanged(TObject* sender);

  std::unique_ptr<TGraphic> graphic_;
};
