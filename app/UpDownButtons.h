// The system's up-down arrows bound to an edit: they step the edit's number.
#pragma once

#include "framework/Controls.h"

class TUpDownButtons : public TWinControl {
  K_CLASS(TUpDownButtons, TWinControl)

  explicit TUpDownButtons(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 16, 21); }

  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* value) { associate_ = value; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  void SetPosition(int value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  TWinControl* associate_ = nullptr;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};
