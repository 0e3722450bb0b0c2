// The Windows half of the GIF image: drawing on a device context, the clipboard, the
// display's colour depth, and the message pump of painters that play on the caller's thread.
#include <windows.h>
// timeGetTime; needs the types of <windows.h> first.
#include <mmsystem.h>

#include <cstring>

// The picture class's own RegisterClipboardFormat, not the Win32 macro.
#undef RegisterClipboardFormat

#include "framework/CanvasWin32.h"
#include "framework/HandlesWin32.h"
#include "imaging/GIFImage.h"

namespace {

// Copies what a device context shows in `r` into a new 24-bit bitmap of r's size.
std::unique_ptr<TBitmap> GrabArea(HDC dc, const TRect& r) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(r.Width(), r.Height());
  ::BitBlt(bitmap->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), dc, r.Left, r.Top, SRCCOPY);
  return bitmap;
}

// The bytes of a global memory block, ready to read; false when the block cannot be locked.
bool CopyGlobalMemory(HGLOBAL memory, TMemoryStream& stream) {
  TGlobalLock lock(memory);
  if (lock.Data() == nullptr) return false;
  stream.WriteBuffer(lock.Data(), static_cast<int64_t>(lock.Size()));
  stream.SetPosition(0);
  return true;
}

// Painters that play on the caller's thread keep its window responsive between frames.
class TWin32PainterServices : public TGIFPainterServices {
 public:
  uint32_t Now() override { return ::timeGetTime(); }
  void Sleep(uint32_t ms) override { ::Sleep(ms); }
  bool WaitForWake(TEvent& event, uint32_t ms) override { return event.WaitFor(ms) == wrSignaled; }
  bool PumpMessages(const std::function<bool()>& stop) override {
    MSG msg;
    while (!stop() && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The caller's own loop has to see it too.
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    return true;
  }
};

TWin32PainterServices win32Services;

}  // namespace

void RegisterGIFImageWin32() {
  ClipboardFormatGIF = ::RegisterClipboardFormatA("GIF Image");
  TPicture::RegisterClipboardFormat(ClipboardFormatGIF, TGIFImage::StaticClassInfo());
  const TWindowDC screen(nullptr);
  const int depth =
      ::GetDeviceCaps(screen.Get(), BITSPIXEL) * ::GetDeviceCaps(screen.Get(), PLANES);
  DisplayNeedsDither = depth < 9;
  DisplayIsPaletted = depth < 9;
  SetDefaultPainterServices(&win32Services);
}

void TGIFImage::Draw(TCanvas* canvas, const TRect& rect) {
  if (canvas == nullptr || Empty() || rect.Width() <= 0 || rect.Height() <= 0) return;
  HDC dc = canvas->Handle();
  const bool animated = FrameCount() > 1 && (paintFlags_ & dfAnimate) != 0;
  if (animated && (paintFlags_ & dfPaintDirect) != 0) {
    // The painter draws on a copy of the area and shows every frame on the canvas.
    directBitmap_ = GrabArea(dc, rect);
    TBitmap* surface = directBitmap_.get();
    DrawImpl(*surface, Rect(0, 0, rect.Width(), rect.Height()), canvas,
             [surface, canvas, rect] { surface->Draw(canvas, rect); });
    return;
  }
  std::unique_ptr<TBitmap> area = GrabArea(dc, rect);
  DrawImpl(*area, Rect(0, 0, rect.Width(), rect.Height()), canvas, {});
  area->Draw(canvas, rect);
}

void TGIFImage::LoadFromClipboardFormat(uint16_t format, void* data, void* /*palette*/) {
  HANDLE handle = static_cast<HANDLE>(data);
  if (handle == nullptr) handle = ::GetClipboardData(format);
  if (handle != nullptr && format == ClipboardFormatGIF) {
    TMemoryStream stream;
    if (CopyGlobalMemory(handle, stream)) {
      LoadFromStream(stream);
      return;
    }
  }
  if (handle != nullptr && format == CF_BITMAP) {
    TBitmap bitmap;
    SetBitmapHandle(&bitmap, static_cast<HBITMAP>(::CopyImage(handle, IMAGE_BITMAP, 0, 0, 0)));
    Assign(&bitmap);
    return;
  }
  RaiseGIFError("Format der Zwischenablage wird nicht unterstützt");
}

void TGIFImage::SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette) {
  if (Empty()) return;
  TBitmap* bitmap = CurrentBitmap();
  TBitmap copy;
  copy.Assign(bitmap);
  format = CF_BITMAP;
  data = ReleaseBitmapHandle(&copy);
  palette = nullptr;

  TMemoryStream stream;
  SaveToStream(stream);
  TGlobalHandle block(::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(stream.Size())));
  if (block.Get() == nullptr) return;
  {
    TGlobalLock lock(block.Get());
    // An unfilled block would put garbage on the clipboard: place nothing, as above.
    if (lock.Data() == nullptr) return;
    std::memcpy(lock.Data(), stream.Memory(), static_cast<size_t>(stream.Size()));
  }
  if (::SetClipboardData(ClipboardFormatGIF, block.Get()) == nullptr)
    RaiseGIFError("Failed to store GIF on clipboard");
  block.Release();  // the clipboard owns it now
}
