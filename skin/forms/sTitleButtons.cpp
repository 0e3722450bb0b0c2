#include "skin/forms/sTitleButtons.h"

namespace {

constexpr int MissingMaskSize = 21;
// The gap between the standard buttons and the user buttons.
constexpr int UserButtonsGap = 8;

int WidthOf(const TsButtonMask& m) { return m.Valid ? m.Width : MissingMaskSize; }

int ButtonHeight(const TsTitleButtonsSetup& s) {
  return s.Close.Valid ? s.Close.Height : MissingMaskSize;
}

// The standard buttons shown, each with the mask it shows and whether it acts.
struct TStandardButton {
  TsTitleButtonKind Kind;
  int HitCode;
  const TsButtonMask* Mask;
  bool Big;
  bool Enabled;
  bool ShowsRestore;
};

std::vector<TStandardButton> StandardButtons(const TsFormFacts& f, const TsTitleButtonsSetup& s) {
  std::vector<TStandardButton> buttons;
  if (!s.HasSystemMenu || !s.Menu.VisibleClose) return buttons;
  buttons.push_back({TsTitleButtonKind::Close, TitleHitClose, &s.Close, s.Big, true, false});
  if (s.Menu.VisibleMax) {
    if (f.Maximized)
      buttons.push_back(
          {TsTitleButtonKind::Max, TitleHitMaximize, &s.Norm, s.Big, s.Menu.EnabledRestore, true});
    else
      buttons.push_back(
          {TsTitleButtonKind::Max, TitleHitMaximize, &s.Max, s.Big, s.Menu.EnabledMax, false});
  }
  if (s.Menu.VisibleMin) {
    if (f.Minimized)
      buttons.push_back(
          {TsTitleButtonKind::Min, TitleHitMinimize, &s.Norm, s.Big, s.Menu.EnabledRestore, true});
    else
      buttons.push_back(
          {TsTitleButtonKind::Min, TitleHitMinimize, &s.Min, s.Big, s.Menu.EnabledMin, false});
  }
  if (s.HelpIcon && s.Help.Valid)
    buttons.push_back({TsTitleButtonKind::Help, TitleHitHelp, &s.Help, s.HelpBig, true, false});
  return buttons;
}

bool HasVisibleUserButton(const TsTitleButtonsSetup& s) {
  for (const TsUserButtonFacts& u : s.User)
    if (u.Visible) return true;
  return false;
}

}  // namespace

int TitleButtonsWidth(const TsFormFacts& f, const TsTitleButtonsSetup& s) {
  const int space = HasBigButtons(f) ? s.BISpace : 0;
  int width = s.BIRight;
  bool first = true;
  for (const TStandardButton& b : StandardButtons(f, s)) {
    width += WidthOf(*b.Mask) + (first ? 0 : space);
    first = false;
  }
  if (HasVisibleUserButton(s)) {
    width += UserButtonsGap;
    for (const TsUserButtonFacts& u : s.User)
      if (u.Visible) width += u.Width + space;
  }
  return width;
}

int TitleButtonTop(const TsFormFacts& f, bool big, int height) {
  const TRect shadow = GetShadowMargins(f);
  const bool borderWindow = f.BorderWindow;
  const int border = GetBorderWidth(f, false);
  const bool titleHeightsDiffer = f.Skin.MaxHeight != 0 && f.Skin.MaxHeight != f.Skin.TitleHeight;
  int top;
  if (big && f.Skin.BIVAlign == 1) {
    // Aligned to the top of the title; BITOP counts only with a border window.
    if (!borderWindow)
      top = shadow.Top;
    else if (f.Maximized && f.Skin.BITop != 0)
      top = border + shadow.Top;
    else
      top = shadow.Top + f.Skin.BITop;
    if (f.Maximized) {
      if (!f.HasMaxConstraints) top += border - 1;
      if (borderWindow) {
        if (titleHeightsDiffer) top += f.Skin.TitleHeight - f.Skin.MaxHeight;
        top += f.Skin.CenterOffset;
      }
    }
    return top;
  }
  top = (GetStdBorderWidth(f, false) + GetCaptionHeight(f, true) - height) / 2 + shadow.Top;
  if (borderWindow) top += f.Skin.CenterOffset;
  if (f.Maximized && borderWindow) {
    top -= 2;
    if (titleHeightsDiffer)
      top += (f.Skin.TitleHeight - f.Skin.MaxHeight - f.Skin.CenterOffset) / 2 - 2;
    top += border / 2;
  }
  if (HasBigButtons(f) && height < 16) top += 2;
  return top;
}

std::vector<TsPlacedTitleButton> LayoutTitleButtons(const TsFormFacts& f,
                                                    const TsTitleButtonsSetup& s) {
  std::vector<TsPlacedTitleButton> placed;
  if (!HasFrame(f) || GetCaptionHeight(f, true) <= 0) return placed;
  const int space = HasBigButtons(f) ? s.BISpace : 0;
  const int height = ButtonHeight(s);
  int x = GetImageWidth(f) - s.BIRight - GetShadowMargins(f).Right - GetBorderWidth(f, true);
  auto place = [&](TsPlacedTitleButton b, int width, bool big) {
    b.Rect.Right = x;
    b.Rect.Left = x - width;
    b.Rect.Top = TitleButtonTop(f, big, height);
    b.Rect.Bottom = b.Rect.Top + height;
    x = b.Rect.Left - space;
    placed.push_back(b);
  };
  for (const TStandardButton& b : StandardButtons(f, s))
    place(TsPlacedTitleButton{.Kind = b.Kind,
                              .HitCode = b.HitCode,
                              .Rect = {},
                              .Drawn = b.Mask->Valid,
                              .Enabled = b.Enabled,
                              .ShowsRestore = b.ShowsRestore},
          WidthOf(*b.Mask), b.Big);
  if (HasVisibleUserButton(s)) {
    x -= UserButtonsGap;
    for (size_t i = 0; i < s.User.size(); ++i) {
      const TsUserButtonFacts& u = s.User[i];
      if (!u.Visible) continue;
      place(TsPlacedTitleButton{.Kind = TsTitleButtonKind::User,
                                .HitCode = TitleHitUserButton + static_cast<int>(i),
                                .UserIndex = static_cast<int>(i),
                                .Rect = {},
                                .Drawn = u.Drawn,
                                .Enabled = u.Enabled},
            u.Width, s.Big);
    }
  }
  return placed;
}

int TitleButtonHitTest(const TsFormFacts& f, const TsTitleButtonsSetup& s,
                       const std::vector<TsPlacedTitleButton>& buttons, TPoint p) {
  for (const TsPlacedTitleButton& b : buttons) {
    const TRect& r = b.Rect;
    if (p.X < r.Left || p.X >= r.Right || p.Y < r.Top || p.Y >= r.Bottom) continue;
    switch (b.Kind) {
      case TsTitleButtonKind::Close:
      case TsTitleButtonKind::Help:
        return b.HitCode;
      case TsTitleButtonKind::Max:
        // A disabled maximize still restores a maximized form; otherwise it is caption.
        if (s.Menu.EnabledMax) return TitleHitMaximize;
        return !s.Menu.EnabledRestore || f.Minimized ? TitleHitCaption : TitleHitMaximize;
      case TsTitleButtonKind::Min:
        return f.Minimized || s.Menu.EnabledMin ? TitleHitMinimize : TitleHitCaption;
      case TsTitleButtonKind::User:
        return b.Enabled ? b.HitCode : TitleHitClient;
    }
  }
  return TitleHitNowhere;
}

const TsPlacedTitleButton* FindTitleButton(const std::vector<TsPlacedTitleButton>& buttons,
                                           int hitCode) {
  for (const TsPlacedTitleButton& b : buttons)
    if (b.HitCode == hitCode) return &b;
  return nullptr;
}

TSize TitleIconSize(const TsFormFacts& f, int width, int height) {
  const int standard = IconSizeForHeight(GetCaptionHeight(f, true));
  return TSize{width > 0 ? width : standard, height > 0 ? height : standard};
}

TRect TitleIconRect(const TsFormFacts& f, TSize size, int biLeft) {
  const TRect shadow = GetShadowMargins(f);
  TRect r;
  r.Left = GetBorderWidth(f, true) + biLeft + shadow.Left;
  r.Right = r.Left + size.cx;
  r.Top = GetBorderWidth(f, false) / 2 + shadow.Top - 1;
  r.Top +=
      (GetStdBorderWidth(f, false) + GetCaptionHeight(f, true) + shadow.Top - r.Top - size.cy) / 2;
  if (f.BorderWindow) {
    r.Top += f.Skin.CenterOffset;
    if (f.Maximized && f.Skin.MaxHeight != 0 && f.Skin.MaxHeight != f.Skin.TitleHeight)
      r.Top += (f.Skin.TitleHeight - f.Skin.MaxHeight) / 2 - 2;
  }
  r.Bottom = r.Top + size.cy;
  return r;
}

TsButtonMask ButtonMaskOf(const TsMaskData& mask) {
  TsButtonMask facts;
  facts.Valid = true;
  facts.Width = mask.Image && mask.ImageCount > 0 ? mask.Image->Width() / mask.ImageCount
                                                  : MaskStateWidth(mask);
  facts.Height = MaskStateHeight(mask);
  return facts;
}

int TitleButtonMaskIndex(const TsPlacedTitleButton& button, const TsTitleButtonMaskIndexes& masks) {
  switch (button.Kind) {
    case TsTitleButtonKind::Close:
      return masks.Close;
    case TsTitleButtonKind::Max:
      return button.ShowsRestore ? masks.Norm : masks.Max;
    case TsTitleButtonKind::Min:
      return button.ShowsRestore ? masks.Norm : masks.Min;
    case TsTitleButtonKind::Help:
      return masks.Help;
    case TsTitleButtonKind::User:
      return button.Drawn ? masks.User : -1;
  }
  return -1;
}
