// The Windows half of icons: the icon handle made from the file or taken over, saving a
// taken-over icon as a file, and drawing.
#include "framework/IconWin32.h"

#include <cstring>

#include "framework/CanvasWin32.h"

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void DestroyIconHandle(void* icon) { ::DestroyIcon(static_cast<HICON>(icon)); }
void* CopyIconHandle(void* icon) { return ::CopyIcon(static_cast<HICON>(icon)); }

}  // namespace

int SystemIconSize() {
  int size = ::GetSystemMetrics(SM_CXICON);
  return size > 0 ? size : 32;
}

// Reaches the icon's private fields: a handle taken over replaces the file.
class TIconHandles {
 public:
  static HICON Handle(TIcon& icon);
  static void SetHandle(TIcon& icon, HICON value);
  static HICON ReleaseHandle(TIcon& icon);
  static bool Allocated(const TIcon& icon) { return bool(icon.handle_); }
};

HICON IconHandle(TIcon* icon) { return TIconHandles::Handle(*icon); }
void SetIconHandle(TIcon* icon, HICON value) { TIconHandles::SetHandle(*icon, value); }
HICON ReleaseIconHandle(TIcon* icon) { return TIconHandles::ReleaseHandle(*icon); }
bool IconHandleAllocated(const TIcon* icon) { return TIconHandles::Allocated(*icon); }

HICON TIconHandles::Handle(TIcon& icon) {
  if (!icon.handle_ && !icon.entries_.empty()) {
    const TIconEntry& e = icon.entries_[PreferredIconEntry(icon.entries_)];
    icon.handle_.Reset(::CreateIconFromResourceEx(icon.data_.data() + e.Offset, e.Size, TRUE, 0x00030000,
                                             e.Width, e.Height, LR_DEFAULTCOLOR),
                      DestroyIconHandle, CopyIconHandle);
    if (!icon.handle_) InvalidIcon();
  }
  return static_cast<HICON>(icon.handle_.Get());
}

void TIconHandles::SetHandle(TIcon& icon, HICON value) {
  if (value && value == icon.handle_.Get()) return;
  icon.Clear();
  icon.handle_.Reset(value, DestroyIconHandle, CopyIconHandle);
  if (value) {
    ICONINFO info{};
    if (::GetIconInfo(value, &info)) {
      // GetIconInfo hands out copies of both bitmaps: they are ours to delete.
      TGdiObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
      BITMAP bm{};
      if (color && ::GetObjectA(color.Get(), sizeof(bm), &bm)) {
        icon.width_ = bm.bmWidth;
        icon.height_ = bm.bmHeight;
      } else if (mask && ::GetObjectA(mask.Get(), sizeof(bm), &bm)) {
        icon.width_ = bm.bmWidth;
        icon.height_ = bm.bmHeight / 2;  // a monochrome icon keeps AND and XOR masks stacked
      }
    }
  }
  icon.Changed(&icon);
}

HICON TIconHandles::ReleaseHandle(TIcon& icon) {
  HICON released = Handle(icon);
  icon.handle_.Release();
  icon.Clear();
  return released;
}

void TIcon::SaveToStream(TStream& stream) {
  if (!data_.empty()) {
    stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
    return;
  }
  if (!handle_) return;
  ICONINFO info{};
  if (!::GetIconInfo(static_cast<HICON>(handle_.Get()), &info)) InvalidIcon();
  TGdiObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
  const int w = width_, h = height_;
  if (w <= 0 || h <= 0) InvalidIcon();

  // One 32-bit image: the colours (bottom-up), then the 1-bit AND mask.
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = w;
  header.biHeight = h;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
  TWindowDC screen(nullptr);
  if (color) {
    BITMAPINFO bi{};
    bi.bmiHeader = header;
    if (!::GetDIBits(screen.Get(), color.Get(), 0, h, pixels.data(), &bi, DIB_RGB_COLORS))
      InvalidIcon();
  }
  const size_t maskRow = static_cast<size_t>((w + 31) / 32) * 4;
  std::vector<uint8_t> maskBits(maskRow * h);
  {
    struct {
      BITMAPINFOHEADER Header;
      RGBQUAD Colors[2];
    } mi{};
    mi.Header = header;
    mi.Header.biBitCount = 1;
    // A monochrome icon's mask holds the AND half in its upper rows, which are the
    // last rows of a bottom-up read.
    const int maskHeight = color ? h : 2 * h;
    mi.Header.biHeight = maskHeight;
    std::vector<uint8_t> all(maskRow * maskHeight);
    if (!::GetDIBits(screen.Get(), mask.Get(), 0, maskHeight, all.data(),
                     reinterpret_cast<BITMAPINFO*>(&mi), DIB_RGB_COLORS))
      InvalidIcon();
    std::memcpy(maskBits.data(), all.data() + (maskHeight - h) * maskRow, maskBits.size());
  }

  header.biHeight = h * 2;  // an icon image counts both masks in its height
  header.biSizeImage = static_cast<DWORD>(pixels.size() + maskBits.size());
  const uint32_t imageSize = static_cast<uint32_t>(sizeof(header) + header.biSizeImage);
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, 1);
  file.push_back(static_cast<uint8_t>(w >= 256 ? 0 : w));
  file.push_back(static_cast<uint8_t>(h >= 256 ? 0 : h));
  file.push_back(0);  // colour count: none for 32 bits
  file.push_back(0);
  Put16(file, 1);   // planes
  Put16(file, 32);  // bits
  Put32(file, imageSize);
  Put32(file, static_cast<uint32_t>(kDirectorySize + kEntrySize));
  const auto* h8 = reinterpret_cast<const uint8_t*>(&header);
  file.insert(file.end(), h8, h8 + sizeof(header));
  file.insert(file.end(), pixels.begin(), pixels.end());
  file.insert(file.end(), maskBits.begin(), maskBits.end());
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
  if (!canvas || Empty()) return;
  ::DrawIconEx(canvas->Handle(), r.Left, r.Top, IconHandle(this), r.Width(), r.Height(), 0, nullptr,
               DI_NORMAL);
}
