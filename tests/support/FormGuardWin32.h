// Test helper for window tests: a form that is freed at the end of a test, even when an
// assertion fails, with the controls a test puts on it.
#pragma once

#include "framework/FormsWin32.h"
#include "tests/support/MessagePumpWin32.h"

namespace ktest {

class TGuardedForm : public TForm {
  K_CLASS(TGuardedForm, TForm)
  explicit TGuardedForm(TComponent* owner) : TForm(owner) {}
};

struct TFormGuard {
  TGuardedForm* Form;
  TFormGuard() : Form(new TGuardedForm(Application)) { Form->SetBounds(60, 60, 400, 300); }
  ~TFormGuard() { delete Form; }
  TFormGuard(const TFormGuard&) = delete;
  TFormGuard& operator=(const TFormGuard&) = delete;
  // A new control of type T, a child of the form.
  template <class T>
  T* Add() {
    auto* c = new T(Form);
    c->SetParent(Form);
    return c;
  }
  void Show() {
    Form->Show();
    Pump();
  }
  // Shows the form without activating it. Under Wine every activation also moves the X
  // input focus, and the focus events of one activation can arrive after the next one:
  // Wine then activates and raises the earlier window again, and two windows of a test
  // trade the foreground (and their places in the z-order) for seconds. A window that is
  // only a backdrop of the test is shown this way.
  void ShowInactive() {
    ShowWindow(Form->Handle(), SW_SHOWNOACTIVATE);
    Pump();
  }
};

}  // namespace ktest
