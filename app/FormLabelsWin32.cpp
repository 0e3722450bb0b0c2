#include "app/FormLabelsWin32.h"

namespace {

template <class TLabelClass>
TLabelClass* PlaceLabel(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                        int top, const std::string& caption) {
  auto* label = new TLabelClass(owner);
  label->SetName(name);
  label->SetParent(parent);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(caption);
  return label;
}

}  // namespace

TsLabel* MakeLabel(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                   int top, const std::string& caption) {
  return PlaceLabel<TsLabel>(owner, parent, name, left, top, caption);
}

TLabel* MakePlainLabel(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                       int top, const std::string& caption) {
  return PlaceLabel<TLabel>(owner, parent, name, left, top, caption);
}
