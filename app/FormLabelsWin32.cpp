#include "app/FormLabelsWin32.h"

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                  int top, const std::string& caption) {
  auto* label = new TLabel(owner);
  label->SetName(name);
  label->SetParent(parent);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(caption);
  return label;
}
