// Small RAII holders for Win32 handles: every DC, GDI object, region, module,
// file, event, thread and hook the program opens is released on every path.
#pragma once

#include <windows.h>

#include <utility>

// One owner of one handle. Traits give the "no handle" value and how to free it;
// freeing never throws, so holders are safe in destructors and on unwinding.
template <typename H, typename Traits>
class TUniqueHandle {
 public:
  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(H handle) noexcept : handle_(handle) {}
  ~TUniqueHandle() { Reset(); }

  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& other) noexcept : handle_(other.Release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  H Get() const noexcept { return handle_; }
  bool Valid() const noexcept { return handle_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return Valid(); }

  // Gives the handle up without freeing it.
  H Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

  void Reset(H handle = Traits::Invalid()) noexcept {
    H old = std::exchange(handle_, handle);
    if (old != Traits::Invalid() && old != handle) Traits::Close(old);
  }

  // For APIs that return the handle through an out parameter.
  H* Put() noexcept {
    Reset();
    return &handle_;
  }

 private:
  H handle_ = Traits::Invalid();
};

namespace winhandles {

template <typename H>
struct TGdiObjectTraits {
  static H Invalid() noexcept { return nullptr; }
  static void Close(H h) noexcept { ::DeleteObject(reinterpret_cast<HGDIOBJ>(h)); }
};
struct TOwnedDCTraits {
  static HDC Invalid() noexcept { return nullptr; }
  static void Close(HDC h) noexcept { ::DeleteDC(h); }
};
struct TModuleTraits {
  static HMODULE Invalid() noexcept { return nullptr; }
  static void Close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
// CreateFile reports failure as INVALID_HANDLE_VALUE, not as null.
struct TFileTraits {
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct TKernelTraits {
  static HANDLE Invalid() noexcept { return nullptr; }
  static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct THookTraits {
  static HHOOK Invalid() noexcept { return nullptr; }
  static void Close(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }
};
struct TIconTraits {
  static HICON Invalid() noexcept { return nullptr; }
  static void Close(HICON h) noexcept { ::DestroyIcon(h); }
};
struct TCursorTraits {
  static HCURSOR Invalid() noexcept { return nullptr; }
  static void Close(HCURSOR h) noexcept { ::DestroyCursor(h); }
};
struct TMenuTraits {
  static HMENU Invalid() noexcept { return nullptr; }
  static void Close(HMENU h) noexcept { ::DestroyMenu(h); }
};
struct TWindowTraits {
  static HWND Invalid() noexcept { return nullptr; }
  static void Close(HWND h) noexcept { ::DestroyWindow(h); }
};
struct TGlobalTraits {
  static HGLOBAL Invalid() noexcept { return nullptr; }
  static void Close(HGLOBAL h) noexcept { ::GlobalFree(h); }
};
// FindFirstFile reports failure as INVALID_HANDLE_VALUE.
struct TFindTraits {
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::FindClose(h); }
};
// FindFirstChangeNotification reports failure as INVALID_HANDLE_VALUE.
struct TChangeNotificationTraits {
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::FindCloseChangeNotification(h); }
};

}  // namespace winhandles

// Any GDI object (pen, brush, font, bitmap, palette, region): DeleteObject.
template <typename H = HGDIOBJ>
using TGdiObject = TUniqueHandle<H, winhandles::TGdiObjectTraits<H>>;
using TRegion = TGdiObject<HRGN>;
// A DC the program created (CreateCompatibleDC, CreateDC): DeleteDC.
using TDCHandle = TUniqueHandle<HDC, winhandles::TOwnedDCTraits>;
using TModuleHandle = TUniqueHandle<HMODULE, winhandles::TModuleTraits>;
using TFileHandle = TUniqueHandle<HANDLE, winhandles::TFileTraits>;
using TEventHandle = TUniqueHandle<HANDLE, winhandles::TKernelTraits>;
using TThreadHandle = TUniqueHandle<HANDLE, winhandles::TKernelTraits>;
using TKernelHandle = TUniqueHandle<HANDLE, winhandles::TKernelTraits>;
using THookHandle = TUniqueHandle<HHOOK, winhandles::THookTraits>;
using TIconHandle = TUniqueHandle<HICON, winhandles::TIconTraits>;
using TCursorHandle = TUniqueHandle<HCURSOR, winhandles::TCursorTraits>;
using TMenuHandle = TUniqueHandle<HMENU, winhandles::TMenuTraits>;
// A window the program made for its own use (not a control's, which its control owns).
using TWindowHandle = TUniqueHandle<HWND, winhandles::TWindowTraits>;
// Global memory, as the clipboard wants it; once SetClipboardData succeeds the
// clipboard owns it: Release() then.
using TGlobalHandle = TUniqueHandle<HGLOBAL, winhandles::TGlobalTraits>;
using TFindHandle = TUniqueHandle<HANDLE, winhandles::TFindTraits>;
using TChangeNotificationHandle = TUniqueHandle<HANDLE, winhandles::TChangeNotificationTraits>;

// GlobalLock/GlobalUnlock as a scope; Data() is null when the lock failed.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL memory) noexcept : memory_(memory), data_(::GlobalLock(memory)) {}
  ~TGlobalLock() {
    if (data_) ::GlobalUnlock(memory_);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;

  void* Data() const noexcept { return data_; }
  size_t Size() const noexcept { return data_ ? ::GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  void* data_;
};

// A window's DC from GetDC/GetWindowDC: ReleaseDC needs the window too.
class TWindowDC {
 public:
  TWindowDC() noexcept = default;
  // wnd may be null: the screen DC.
  explicit TWindowDC(HWND wnd, bool wholeWindow = false) noexcept
      : wnd_(wnd), dc_(wholeWindow ? ::GetWindowDC(wnd) : ::GetDC(wnd)) {}
  ~TWindowDC() { Reset(); }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  TWindowDC(TWindowDC&& other) noexcept
      : wnd_(other.wnd_), dc_(std::exchange(other.dc_, nullptr)) {}
  TWindowDC& operator=(TWindowDC&& other) noexcept {
    if (this != &other) {
      Reset();
      wnd_ = other.wnd_;
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }

  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }
  void Reset() noexcept {
    if (dc_) ::ReleaseDC(wnd_, std::exchange(dc_, nullptr));
  }

 private:
  HWND wnd_ = nullptr;
  HDC dc_ = nullptr;
};

// BeginPaint/EndPaint as a scope.
class TPaintDC {
 public:
  explicit TPaintDC(HWND wnd) noexcept : wnd_(wnd), dc_(::BeginPaint(wnd, &ps_)) {}
  ~TPaintDC() { ::EndPaint(wnd_, &ps_); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;

  HDC Get() const noexcept { return dc_; }
  const PAINTSTRUCT& Info() const noexcept { return ps_; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC for a scope and puts the previous one back, so
// the object can be deleted afterwards (GDI refuses to delete a selected object).
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) noexcept
      : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~TSelectObject() {
    if (old_) ::SelectObject(dc_, old_);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SaveDC/RestoreDC as a scope: clip region, mapping, colours and selections.
class TSaveDC {
 public:
  explicit TSaveDC(HDC dc) noexcept : dc_(dc), state_(::SaveDC(dc)) {}
  ~TSaveDC() {
    if (state_) ::RestoreDC(dc_, state_);
  }
  TSaveDC(const TSaveDC&) = delete;
  TSaveDC& operator=(const TSaveDC&) = delete;

 private:
  HDC dc_;
  int state_;
};
