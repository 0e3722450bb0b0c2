#include "framework/Icon.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include "framework/Canvas.h"
#endif

namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
#ifdef _WIN32
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
#endif

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic("Icon image is not valid"); }

int SystemIconSize() {
#ifdef _WIN32
  int size = ::GetSystemMetrics(SM_CXICON);
  return size > 0 ? size : 32;
#else
  return 32;
#endif
}

// The entry nearest to the system icon size; of equal sizes the deepest colours.
size_t PreferredEntry(const std::vector<TIconEntry>& entries) {
  const int want = SystemIconSize();
  size_t best = 0;
  for (size_t i = 1; i < entries.size(); ++i) {
    const int d = std::abs(entries[i].Width - want);
    const int bestD = std::abs(entries[best].Width - want);
    if (d < bestD || (d == bestD && entries[i].BitCount > entries[best].BitCount)) best = i;
  }
  return best;
}

}  // namespace

std::vector<TIconEntry> ReadIconDirectory(const std::vector<uint8_t>& file) {
  if (file.size() < kDirectorySize) InvalidIcon();
  const uint8_t* p = file.data();
  if (Read16(p) != 0 || Read16(p + 2) != 1) InvalidIcon();
  const size_t count = Read16(p + 4);
  if (count == 0 || kDirectorySize + count * kEntrySize > file.size()) InvalidIcon();
  std::vector<TIconEntry> entries;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = p + kDirectorySize + i * kEntrySize;
    TIconEntry entry;
    entry.Width = e[0] ? e[0] : 256;
    entry.Height = e[1] ? e[1] : 256;
    entry.BitCount = Read16(e + 6);
    entry.Size = Read32(e + 8);
    entry.Offset = Read32(e + 12);
    // Offsets and sizes come from the file: checked in 64 bits before any use.
    if (entry.Size == 0 || uint64_t{entry.Offset} + entry.Size > file.size()) InvalidIcon();
    // Writers often leave the depth 0: the image's own header tells it.
    if (entry.BitCount == 0 && entry.Size >= 16) {
      const uint8_t* image = p + entry.Offset;
      entry.BitCount = Read32(image) == 40 ? Read16(image + 14) : 32;
    }
    entries.push_back(entry);
  }
  return entries;
}

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

void TIcon::Clear() {
  data_.clear();
  entries_.clear();
  width_ = height_ = 0;
#ifdef _WIN32
  handle_.Reset();
#endif
}

bool TIcon::Empty() const {
#ifdef _WIN32
  if (handle_) return false;
#endif
  return entries_.empty();
}

int TIcon::Width() const { return width_; }
int TIcon::Height() const { return height_; }

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::LoadFromStream(TStream& stream) {
  const int64_t size = stream.Size() - stream.Position();
  std::vector<uint8_t> data(static_cast<size_t>(size > 0 ? size : 0));
  if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  std::vector<TIconEntry> entries = ReadIconDirectory(data);
  Clear();
  data_ = std::move(data);
  entries_ = std::move(entries);
  const TIconEntry& chosen = entries_[PreferredEntry(entries_)];
  width_ = chosen.Width;
  height_ = chosen.Height;
  Changed(this);
}

void TIcon::Assign(TPersistent* source) {
  if (auto* icon = dynamic_cast<TIcon*>(source)) {
    if (icon == this) return;
    Clear();
    data_ = icon->data_;
    entries_ = icon->entries_;
    width_ = icon->width_;
    height_ = icon->height_;
#ifdef _WIN32
    if (data_.empty() && icon->handle_) handle_.Reset(::CopyIcon(icon->handle_.Get()));
#endif
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}

#ifndef _WIN32

void TIcon::SaveToStream(TStream& stream) {
  if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TIcon::Draw(TCanvas*, const TRect&) {}

#else

HICON TIcon::Handle() {
  if (!handle_ && !entries_.empty()) {
    const TIconEntry& e = entries_[PreferredEntry(entries_)];
    handle_.Reset(::CreateIconFromResourceEx(data_.data() + e.Offset, e.Size, TRUE, 0x00030000,
                                             e.Width, e.Height, LR_DEFAULTCOLOR));
    if (!handle_) InvalidIcon();
  }
  return handle_.Get();
}

void TIcon::SetHandle(HICON value) {
  if (value && value == handle_.Get()) return;
  Clear();
  handle_.Reset(value);
  if (value) {
    ICONINFO info{};
    if (::GetIconInfo(value, &info)) {
      // GetIconInfo hands out copies of both bitmaps: they are ours to delete.
      TGdiObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
      BITMAP bm{};
      if (color && ::GetObjectA(color.Get(), sizeof(bm), &bm)) {
        width_ = bm.bmWidth;
        height_ = bm.bmHeight;
      } else if (mask && ::GetObjectA(mask.Get(), sizeof(bm), &bm)) {
        width_ = bm.bmWidth;
        height_ = bm.bmHeight / 2;  // a monochrome icon keeps AND and XOR masks stacked
      }
    }
  }
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  HICON released = Handle();
  handle_.Release();
  Clear();
  return released;
}

void TIcon::SaveToStream(TStream& stream) {
  if (!data_.empty()) {
    stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
    return;
  }
  if (!handle_) return;
  ICONINFO info{};
  if (!::GetIconInfo(handle_.Get(), &info)) InvalidIcon();
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
  ::DrawIconEx(canvas->Handle(), r.Left, r.Top, Handle(), r.Width(), r.Height(), 0, nullptr,
               DI_NORMAL);
}

#endif
