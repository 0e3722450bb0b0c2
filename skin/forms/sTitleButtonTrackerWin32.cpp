#include "skin/forms/sTitleButtonTrackerWin32.h"

#include "framework/ScopeExit.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "skin/forms/sSystemMenuWin32.h"
#include "skin/forms/sTitleButtonWin32.h"

namespace {

bool IsTitleButtonCode(int code) {
  return code == TitleHitMinimize || code == TitleHitMaximize || code == TitleHitClose ||
         code == TitleHitHelp || code >= TitleHitUserButton;
}

POINT ToWindow(HWND wnd, POINT screen) {
  RECT window;
  GetWindowRect(wnd, &window);
  return POINT{screen.x - window.left, screen.y - window.top};
}

}  // namespace

int TsTitleButtonTracker::HitTest(POINT screen) {
  HWND wnd = p_.Form()->Handle();
  const int code = p_.TitleButtonHitAt(ToWindow(wnd, screen));
  // While a press is held, the press decides the look.
  if (!Holding()) p_.SetHotButton(IsTitleButtonCode(code) ? code : 0, true);
  return code;
}

void TsTitleButtonTracker::NonClientMouseMoved() {
  if (leaveAsked_ || Holding()) return;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE | TME_NONCLIENT;
  track.hwndTrack = p_.Form()->Handle();
  leaveAsked_ = TrackMouseEvent(&track) != FALSE;
}

void TsTitleButtonTracker::NonClientMouseLeft() {
  leaveAsked_ = false;
  if (!Holding()) p_.SetHotButton(0, true);
}

bool TsTitleButtonTracker::Press(int hitCode) {
  if (!IsTitleButtonCode(hitCode)) return false;
  p_.SetPressedButton(hitCode);
  if (!p_.TitleButtonPressed() || p_.HotButtonCode() != hitCode) return true;
  if (TsTitleButton* user = p_.UserTitleButton(hitCode)) {
    POINT at;
    GetCursorPos(&at);
    user->DoMouseDown(mbLeft, {}, at.x, at.y);
  }
  holding_ = hitCode;
  SetCapture(p_.Form()->Handle());
  return true;
}

bool TsTitleButtonTracker::Over(POINT screen) const {
  return p_.TitleButtonHitAt(ToWindow(p_.Form()->Handle(), screen)) == holding_;
}

void TsTitleButtonTracker::HeldMouseMoved(POINT screen) {
  if (Holding()) p_.ShowPressedButton(Over(screen));
}

void TsTitleButtonTracker::Released(POINT screen) {
  if (!Holding()) return;
  const int code = holding_;
  const bool over = Over(screen) && p_.TitleButtonPressed();
  holding_ = 0;
  if (GetCapture() == p_.Form()->Handle()) ReleaseCapture();
  p_.SetHotButton(0, true);
  if (over) Act(code, screen);
}

void TsTitleButtonTracker::CaptureLost() {
  if (!Holding()) return;
  holding_ = 0;
  p_.SetHotButton(0, true);
}

void TsTitleButtonTracker::Act(int hitCode, POINT screen) {
  HWND wnd = p_.Form()->Handle();
  TsSystemMenu* menu = p_.SystemMenu();
  switch (hitCode) {
    case TitleHitClose:
      SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
    case TitleHitMinimize:
      if (IsIconic(wnd)) {
        SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
      } else {
        // The main form goes to the task bar at once, without its hide animation.
        const bool mainForm = !Application->MainForm() || Application->MainForm() == p_.Form();
        p_.SetSkipHideAnimation(mainForm);
        TScopeExit animateAgain([this] { p_.SetSkipHideAnimation(false); });
        SendMessageA(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      }
      return;
    case TitleHitMaximize:
      SendMessageA(wnd, WM_SYSCOMMAND, IsZoomed(wnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
      if (menu) menu->UpdateItems(false);
      return;
    case TitleHitHelp:
      SendMessageA(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
      if (menu) menu->UpdateItems(false);
      return;
    default:
      if (TsTitleButton* user = p_.UserTitleButton(hitCode))
        user->DoMouseUp(mbLeft, {}, screen.x, screen.y);
      return;
  }
}
