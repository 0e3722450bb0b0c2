#include "app/StatusPanels.h"

TStatusPanels::TStatusPanels(TComponent* owner, int panelCount, int panelWidth)
    : TCustomControl(owner), texts_(static_cast<size_t>(panelCount)), panelWidth_(panelWidth) {
  SetBounds(0, 0, panelCount * panelWidth, 19);
  SetColor(clBtnFace);
  SetAlign(alBottom);
}

const std::string& TStatusPanels::PanelText(int index) const {
  static const std::string empty;
  if (index < 0 || index >= PanelCount()) return empty;
  return texts_[static_cast<size_t>(index)];
}

TRect TStatusPanels::PanelRect(int index) const {
  return Bounds(index * panelWidth_, 0, panelWidth_, Height());
}

void TStatusPanels::SetPanelText(int index, const std::string& text) {
  if (index < 0 || index >= PanelCount()) return;
  std::string& current = texts_[static_cast<size_t>(index)];
  if (current == text) return;
  current = text;
  if (!HandleAllocated()) return;
  // The split repaints between message pumps: paint the panel now.
  const TRect r = PanelRect(index);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  InvalidateRect(Handle(), &rc, TRUE);
  UpdateWindow(Handle());
}

void TStatusPanels::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(Bounds(0, 0, Width(), Height()));
  canvas->Font()->Assign(Font());
  for (int i = 0; i < PanelCount(); ++i) {
    const TRect r = PanelRect(i);
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(Bounds(r.Left + 1, r.Top + 2, r.Width() - 2, r.Height() - 3));
    canvas->Brush()->SetStyle(bsClear);
    const TRect inner = Bounds(r.Left + 4, r.Top + 3, r.Width() - 8, r.Height() - 5);
    canvas->TextRect(inner, inner.Left, inner.Top, texts_[static_cast<size_t>(i)]);
    canvas->Brush()->SetStyle(bsSolid);
  }
}
