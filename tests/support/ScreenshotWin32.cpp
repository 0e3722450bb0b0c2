#include "tests/support/ScreenshotWin32.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "framework/HandlesWin32.h"

namespace ktest {

COLORREF TScreenshot::ColorAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return CLR_INVALID;
  uint32_t p = Pixels[static_cast<size_t>(y) * Width + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool CaptureDrawing(int w, int h, const std::function<bool(HDC)>& draw, TScreenshot& shot) {
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down, so rows come out in reading order
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TWindowDC screen(nullptr);
  TGdiObject<HBITMAP> dib(::CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  TDCHandle memory(::CreateCompatibleDC(screen.Get()));
  if (!dib || !memory || !bits) return false;
  {
    TSelectObject select(memory.Get(), dib.Get());
    if (!draw(memory.Get())) return false;
    ::GdiFlush();
  }
  shot.Width = w;
  shot.Height = h;
  const auto* src = static_cast<const uint32_t*>(bits);
  shot.Pixels.assign(src, src + static_cast<size_t>(w) * h);
  for (uint32_t& p : shot.Pixels) p &= 0x00FFFFFF;
  return true;
}

bool CaptureArea(HDC dc, int x, int y, int w, int h, TScreenshot& shot) {
  TWindowDC screen(nullptr);
  HDC source = dc ? dc : screen.Get();
  return CaptureDrawing(
      w, h, [&](HDC memory) { return ::BitBlt(memory, 0, 0, w, h, source, x, y, SRCCOPY) != 0; },
      shot);
}

RECT ClientRectInWindow(HWND wnd) {
  RECT window{}, client{};
  POINT origin{0, 0};
  ::GetWindowRect(wnd, &window);
  ::GetClientRect(wnd, &client);
  ::ClientToScreen(wnd, &origin);
  const int x = origin.x - window.left, y = origin.y - window.top;
  return RECT{x, y, x + client.right, y + client.bottom};
}

bool CaptureWindow(HWND wnd, TScreenshot& shot) {
  RECT r;
  if (!::IsWindow(wnd) || !::GetWindowRect(wnd, &r)) return false;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;

  // Pending WM_PAINTs would otherwise leave stale pixels on the screen.
  ::RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::GdiFlush();

  TWindowDC screen(nullptr);
  return CaptureDrawing(
      w, h,
      [&](HDC memory) {
        bool done = false;
        if (::IsWindowVisible(wnd) && !::IsIconic(wnd))
          done = ::BitBlt(memory, 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY | CAPTUREBLT);
        if (!done) done = ::PrintWindow(wnd, memory, 0);
        return done;
      },
      shot);
}

COLORREF WindowPixel(HWND wnd, int x, int y) {
  TScreenshot shot;
  if (!CaptureWindow(wnd, shot)) return CLR_INVALID;
  return shot.ColorAt(x, y);
}

COLORREF ClientPixel(HWND wnd, int x, int y) {
  RECT client;
  if (!::GetClientRect(wnd, &client)) return CLR_INVALID;
  if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) return CLR_INVALID;
  const RECT inWindow = ClientRectInWindow(wnd);
  return WindowPixel(wnd, x + inWindow.left, y + inWindow.top);
}

namespace {

void PutBigEndian(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::string body(type, 4);
  body += data;
  out += body;
  PutBigEndian(
      out, crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
}

}  // namespace

bool WritePng(const std::string& path, const TScreenshot& shot) {
  if (shot.Width <= 0 || shot.Height <= 0 ||
      shot.Pixels.size() != static_cast<size_t>(shot.Width) * shot.Height)
    return false;
  // Each row: filter byte 0 (none), then R, G, B.
  std::string raw;
  raw.reserve((static_cast<size_t>(shot.Width) * 3 + 1) * shot.Height);
  for (int y = 0; y < shot.Height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < shot.Width; ++x) {
      uint32_t p = shot.Pixels[static_cast<size_t>(y) * shot.Width + x];
      raw.push_back(static_cast<char>((p >> 16) & 0xFF));
      raw.push_back(static_cast<char>((p >> 8) & 0xFF));
      raw.push_back(static_cast<char>(p & 0xFF));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                Z_BEST_SPEED) != Z_OK)
    return false;
  packed.resize(packedSize);

  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(shot.Width));
  PutBigEndian(header, static_cast<uint32_t>(shot.Height));
  header +=
      std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace

  std::string file("\x89PNG\r\n\x1a\n", 8);
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", packed);
  PutChunk(file, "IEND", std::string());

  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  return std::fwrite(file.data(), 1, file.size(), f.get()) == file.size();
}

std::string SaveScreenshot(HWND wnd, const std::string& name) {
  TScreenshot shot;
  if (!CaptureWindow(wnd, shot)) return std::string();
  const char* binary = std::getenv("KESTRAVA_BINARY_DIR");
  std::filesystem::path folder = std::filesystem::path(binary ? binary : ".") / "screenshots";
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  std::string path = (folder / (name + ".png")).string();
  return WritePng(path, shot) ? path : std::string();
}

}  // namespace ktest
