#include "skin/forms/skMinTimerWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>

#include "framework/HandlesWin32.h"
#include "framework/ScopeExit.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/forms/sVclUtils.h"

namespace {

std::atomic<int> AliveTimers{0};

// A process handle closed on every way out.
struct TProcessHandle {
  HANDLE Handle = nullptr;
  ~TProcessHandle() {
    if (Handle) CloseHandle(Handle);
  }
};

// Memory reserved in another process, released on every way out.
struct TRemoteMemory {
  HANDLE Process = nullptr;
  void* Address = nullptr;
  ~TRemoteMemory() {
    if (Address) VirtualFreeEx(Process, Address, 0, MEM_RELEASE);
  }
};

bool ProcessIs64Bit(HANDLE process) {
  BOOL wow64 = FALSE;
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  const bool system64 = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                        info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
  if (!system64) return false;
  // A 32-bit process on a 64-bit system runs under WOW64.
  return IsWow64Process(process, &wow64) && !wow64;
}

bool ReadRemote(HANDLE process, const void* address, void* buffer, size_t size) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, address, buffer, size, &read) && read == size;
}

}  // namespace

bool FindTaskBarButtonRect(HWND appWindow, TRect& rect) {
  HWND toolbar = FindWindowA("Shell_TrayWnd", nullptr);
  for (const char* cls : {"ReBarWindow32", "MSTaskSwWClass", "ToolbarWindow32"})
    if (toolbar) toolbar = FindWindowExA(toolbar, nullptr, cls, nullptr);
  if (!toolbar || !appWindow) return false;
  const LRESULT count = SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
  DWORD processId = 0;
  GetWindowThreadProcessId(toolbar, &processId);
  // Reading the records needs no more than this: no all-access handle, no executable page.
  TProcessHandle process{
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                  processId)};
  if (!process.Handle) return false;
  TRemoteMemory memory{process.Handle, VirtualAllocEx(process.Handle, nullptr, 4096,
                                                      MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)};
  if (!memory.Address) return false;
  const TskToolbarButtonLayout layout = ToolbarButtonLayout(ProcessIs64Bit(process.Handle));
  for (LRESULT i = 0; i < count; ++i) {
    if (!SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i),
                      reinterpret_cast<LPARAM>(memory.Address)))
      continue;
    uint8_t button[32] = {};
    if (!ReadRemote(process.Handle, memory.Address, button, static_cast<size_t>(layout.Size)))
      continue;
    if (SkipsToolbarButton(button[layout.StateOffset], button[layout.StyleOffset])) continue;
    uint64_t data = 0;
    memcpy(&data, button + layout.DataOffset, static_cast<size_t>(layout.DataSize));
    // The data word points at the button's record of the window it stands for.
    uint64_t window = 0;
    if (!data || !ReadRemote(process.Handle, reinterpret_cast<const void*>(data), &window,
                             static_cast<size_t>(layout.DataSize)))
      continue;
    if (window != reinterpret_cast<uintptr_t>(appWindow)) continue;
    if (!SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i),
                      reinterpret_cast<LPARAM>(memory.Address)))
      return false;
    RECT r{};
    if (!ReadRemote(process.Handle, memory.Address, &r, sizeof r)) return false;
    RECT bar{};
    GetWindowRect(toolbar, &bar);
    rect = TRect{r.left + bar.left, r.top + bar.top, r.right + bar.left, r.bottom + bar.top};
    return true;
  }
  return false;
}

TRect GetTaskBarTarget(HWND appWindow, const TRect& formRect, bool composition) {
  HWND taskBar = FindWindowA("Shell_TrayWnd", nullptr);
  RECT bar{};
  if (taskBar && IsWindowVisible(taskBar) && GetWindowRect(taskBar, &bar)) {
    TRect button;
    if (!composition && FindTaskBarButtonRect(appWindow, button)) return button;
    const TPoint p = TaskBarEdgePoint(TRect{bar.left, bar.top, bar.right, bar.bottom},
                                      (formRect.Left + formRect.Right) / 2,
                                      (formRect.Top + formRect.Bottom) / 2);
    return TRect{p.X, p.Y, p.X, p.Y};
  }
  RECT work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
    work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return TrayFallbackTarget(TRect{work.left, work.top, work.right, work.bottom});
}

TskMinTimer::TskMinTimer(const TskMinimizePlan& plan, std::unique_ptr<TBitmap> image,
                         std::function<void()> finished)
    : TskThreadedTimer(nullptr, nullptr, true),
      plan_(plan),
      image_(std::move(image)),
      finished_(std::move(finished)) {
  ++AliveTimers;
  frameWindow_ = new TForm(nullptr);
  frameWindow_->SetTag(kDialogHookSkipTag);
  frameWindow_->SetBorderStyle(bsNone);
  HWND wnd = frameWindow_->Handle();
  SetWindowLongPtrA(wnd, GWL_EXSTYLE,
                    WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT);
  running_ = true;
  ShowFrame(MinimizeFrameAt(plan_, 0));
  SetInterval(12);
  SetEnabled(true);
}

TskMinTimer::~TskMinTimer() {
  // The ticks stop before the window and pictures they use go.
  SetEnabled(false);
  --AliveTimers;
  TForm* window = frameWindow_;
  frameWindow_ = nullptr;
  try {
    delete window;
  } catch (...) {
    // Nothing leaves a destructor.
  }
}

int TskMinTimer::Alive() { return AliveTimers.load(); }

HWND TskMinTimer::FrameWindow() const {
  return frameWindow_ && frameWindow_->HandleAllocated() ? frameWindow_->Handle() : nullptr;
}

void TskMinTimer::Tick() {
  if (inTick_ || !running_) return;
  inTick_ = true;
  TScopeExit out([this] { inTick_ = false; });
  step_ += restoring_ ? -1 : 1;
  if (restoring_ ? step_ <= 0 : step_ >= plan_.Steps) {
    Finish();
    return;
  }
  ShowFrame(MinimizeFrameAt(plan_, step_));
}

bool TskMinTimer::Fly(bool toTaskBar, std::function<void()> landed) {
  if (!image_ || plan_.Steps <= 0) return false;
  restoring_ = !toTaskBar;
  finished_ = std::move(landed);
  step_ = std::clamp(step_, 0, plan_.Steps);
  running_ = true;
  ShowFrame(MinimizeFrameAt(plan_, step_));
  SetEnabled(true);
  return true;
}

void TskMinTimer::ShowFrame(const TskMinimizeFrame& frame) {
  HWND wnd = FrameWindow();
  const int w = frame.Rect.Width(), h = frame.Rect.Height();
  if (!wnd || !image_ || w <= 0 || h <= 0) return;
  if (!frameImage_ || frameImage_->Width() != w || frameImage_->Height() != h)
    frameImage_ = CreateBmp32(w, h);
  HDC dest = frameImage_->Canvas()->Handle();
  SetStretchBltMode(dest, COLORONCOLOR);
  StretchBlt(dest, 0, 0, w, h, image_->Canvas()->Handle(), 0, 0, image_->Width(), image_->Height(),
             SRCCOPY);
  TWindowDC screen(nullptr);
  POINT position{frame.Rect.Left, frame.Rect.Top};
  SIZE size{w, h};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(frame.Alpha), AC_SRC_ALPHA};
  CallUpdateLayeredWindow(wnd, screen.Get(), &position, &size, dest, &origin, 0, &blend, ULW_ALPHA);
  if (!IsWindowVisible(wnd)) ShowWindow(wnd, SW_SHOWNOACTIVATE);
  ++framesShown_;
}

void TskMinTimer::Finish() {
  running_ = false;
  SetEnabled(false);
  if (HWND wnd = FrameWindow()) ShowWindow(wnd, SW_HIDE);
  // The picture stays for the flight back.
  frameImage_.reset();
  if (finished_) finished_();
}
