#include "skin/core/pixels/skUtilsWin32.h"

#include <shellapi.h>

#include "framework/FormsWin32.h"
#include "framework/IconWin32.h"

namespace {

bool CaptionFont(LOGFONTA& font) {
  // The record size of the system's first NONCLIENTMETRICS layout (without the padded
  // width of later systems), which every version accepts.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  font = metrics.lfCaptionFont;
  return true;
}

}  // namespace

int WindowsMajorVersion() { return LOBYTE(LOWORD(GetVersion())); }

int CaptionFontHeight() {
  LOGFONTA font;
  return CaptionFont(font) ? font.lfHeight : 0;
}

HFONT CreateCaptionFont() {
  LOGFONTA font;
  return CaptionFont(font) ? CreateFontIndirectA(&font) : nullptr;
}

bool IsWindowAnimationOn() {
  ANIMATIONINFO info{};
  info.cbSize = sizeof(info);
  if (!SystemParametersInfoA(SPI_GETANIMATION, sizeof(info), &info, 0)) return false;
  return info.iMinAnimate != 0;
}

void SetWindowAnimation(bool on) {
  ANIMATIONINFO info{};
  info.cbSize = sizeof(info);
  info.iMinAnimate = on ? 1 : 0;
  SystemParametersInfoA(SPI_SETANIMATION, sizeof(info), &info, 0);
}

void WaitProcessingMessages(unsigned milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) break;
    // Wakes for every message; the rest of the time passes in the kernel.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    if (Application) Application->ProcessMessages();
  }
}

namespace {

// Both system calls answer the length they need when the buffer is too small, 0 on failure.
template <class F>
std::string ResolvedPath(const std::string& path, F resolve) {
  if (path.empty()) return path;
  std::string result(MAX_PATH, '\0');
  DWORD length = resolve(path.c_str(), result.data(), static_cast<DWORD>(result.size()));
  if (length >= result.size()) {
    result.resize(length);
    length = resolve(path.c_str(), result.data(), static_cast<DWORD>(result.size()));
  }
  if (length == 0 || length >= result.size()) return path;
  result.resize(length);
  return result;
}

}  // namespace

std::string LongPathName(const std::string& path) { return ResolvedPath(path, GetLongPathNameA); }

std::string ShortPathName(const std::string& path) { return ResolvedPath(path, GetShortPathNameA); }

bool IconicPreviewEnabled = false;

void EnableIconicPreview(HWND window, bool on) {
  using TDwmSetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static const TDwmSetWindowAttribute setAttribute = []() -> TDwmSetWindowAttribute {
    HMODULE dwm = LoadLibraryA("dwmapi.dll");  // kept for the rest of the run
    return dwm ? reinterpret_cast<TDwmSetWindowAttribute>(
                     reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")))
               : nullptr;
  }();
  IconicPreviewEnabled = on;
  if (!setAttribute || !window) return;
  // DWMWA_FORCE_ICONIC_REPRESENTATION and DWMWA_HAS_ICONIC_BITMAP.
  constexpr DWORD kForceIconicRepresentation = 7;
  constexpr DWORD kHasIconicBitmap = 10;
  const BOOL value = on ? TRUE : FALSE;
  setAttribute(window, kForceIconicRepresentation, &value, sizeof(value));
  setAttribute(window, kHasIconicBitmap, &value, sizeof(value));
}

std::unique_ptr<TIcon> GetShellFileIcon(const std::string& fileName, UINT flags) {
  if (GetFileAttributesA(fileName.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
  SHFILEINFOA info{};
  if (!SHGetFileInfoA(fileName.c_str(), 0, &info, sizeof info, flags | SHGFI_ICON) ||
      !info.hIcon)
    return nullptr;
  auto icon = std::make_unique<TIcon>();
  SetIconHandle(icon.get(), info.hIcon);
  if (icon->Empty()) return nullptr;
  return icon;
}
