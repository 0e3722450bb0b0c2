#include "skin/forms/sFrameMouse.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool Inside(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// The sizing edge or corner of a point b pixels or nearer to the window's sides; 0 for none.
int SizingHit(const TsFormFacts& f, TPoint p) {
  const int b = GetBorderWidth(f, true);
  int code = fhNowhere;
  if (p.Y < b) code = fhTop;
  if (p.Y >= f.Height - b) code = fhBottom;
  if (p.X < b)
    code = code == fhTop ? fhTopLeft : code == fhBottom ? fhBottomLeft : fhLeft;
  else if (p.X >= f.Width - b)
    code = code == fhTop ? fhTopRight : code == fhBottom ? fhBottomRight : fhRight;
  return code;
}

}  // namespace

int FrameHitTest(const TsFrameHitFacts& f, TPoint p) {
  const TsFormFacts& form = f.Form;
  // A border window sizes the form from its own edges.
  if (!form.Maximized && form.ThickFrame && !form.BorderWindow)
    if (const int sizing = SizingHit(form, p)) return sizing;
  const int captionBottom = GetStdBorderWidth(form, true) + GetCaptionHeight(form, false);
  if (p.Y >= 0 && p.Y < captionBottom) return Inside(f.IconRect, p) ? fhSysMenu : fhCaption;
  if (form.MenuLines > 0 && p.Y < GetClientOffsetY(form)) return fhMenu;
  if (f.GripVisible && Inside(f.GripRect, p)) return fhBottomRight;
  return fhClient;
}

TsCaptionDoubleClick CaptionDoubleClick(const TsCaptionDoubleClickFacts& f) {
  const bool toggles =
      (f.CloseVisible && (f.MaxEnabled || f.RestoreEnabled)) || (!f.Framed && f.Minimized);
  if (toggles)
    return f.Maximized || f.Minimized ? TsCaptionDoubleClick::Restore
                                      : TsCaptionDoubleClick::Maximize;
  return f.Minimized ? TsCaptionDoubleClick::Restore : TsCaptionDoubleClick::None;
}

TRect SizedFrameRect(const TsRubberFrame& r, TPoint mouse) {
  const int dx = mouse.X - r.Start.X, dy = mouse.Y - r.Start.Y;
  TRect out = r.Form;
  const int code = r.HitCode;
  if (code == fhTop || code == fhTopLeft || code == fhTopRight)
    out.Top = std::min(r.Form.Top + dy, out.Bottom - r.MinSize.cy);
  if (code == fhBottom || code == fhBottomLeft || code == fhBottomRight)
    out.Bottom = std::max(r.Form.Bottom + dy, out.Top + r.MinSize.cy);
  if (code == fhLeft || code == fhTopLeft || code == fhBottomLeft)
    out.Left = std::min(r.Form.Left + dx, out.Right - r.MinSize.cx);
  if (code == fhRight || code == fhTopRight || code == fhBottomRight)
    out.Right = std::max(r.Form.Right + dx, out.Left + r.MinSize.cx);
  return out;
}

TRect MovedFrameRect(const TRect& form, TPoint start, TPoint mouse) {
  const int dx = mouse.X - start.X, dy = mouse.Y - start.Y;
  return TRect{form.Left + dx, form.Top + dy, form.Right + dx, form.Bottom + dy};
}

TSize RubberMinSize(TSize constraints, TSize systemMinTrack) {
  return TSize{std::max(constraints.cx, systemMinTrack.cx),
               std::max(constraints.cy, systemMinTrack.cy)};
}

void SnapToEdge(int& pos, int edge, int buffer, int offset) {
  if (std::abs(pos + offset - edge) < buffer) pos = edge - offset;
}

TPoint SnapFormPosition(TPoint pos, const TsSnapFacts& s) {
  SnapToEdge(pos.X, s.WorkArea.Right, s.Buffer, s.Size.cx + s.SideOffset);
  SnapToEdge(pos.Y, s.WorkArea.Bottom, s.Buffer, s.Size.cy + s.SideOffset);
  SnapToEdge(pos.X, s.WorkArea.Left, s.Buffer, -s.SideOffset);
  SnapToEdge(pos.Y, s.WorkArea.Top, s.Buffer, s.TopOffset);
  return pos;
}
