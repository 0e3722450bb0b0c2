#include "app/UpDownButtons.h"

#include <commctrl.h>

void TUpDownButtons::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, UPDOWN_CLASSA);
  params.Style |= UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
}

void TUpDownButtons::CreateWnd() {
  TWinControl::CreateWnd();
  if (associate_) SendMessageA(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
  SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageA(Handle(), UDM_SETPOS32, 0, static_cast<LPARAM>(position_));
}

void TUpDownButtons::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  if (HandleAllocated())
    SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}

void TUpDownButtons::SetPosition(int value) {
  position_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), UDM_SETPOS32, 0, static_cast<LPARAM>(position_));
}
