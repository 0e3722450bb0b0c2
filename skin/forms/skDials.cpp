#include "skin/forms/skDials.h"

#include <algorithm>
#include <cctype>

#include "skin/forms/sFrameMouse.h"

namespace {

// Window style bits, as the system numbers them.
constexpr uint32_t WsPopup = 0x80000000u;
constexpr uint32_t WsChild = 0x40000000u;
constexpr uint32_t WsMinimize = 0x20000000u;
constexpr uint32_t WsCaption = 0x00C00000u;
constexpr uint32_t WsBorder = 0x00800000u;
constexpr uint32_t WsSysMenu = 0x00080000u;
constexpr uint32_t WsThickFrame = 0x00040000u;
constexpr uint32_t WsMinimizeBox = 0x00020000u;
constexpr uint32_t WsMaximizeBox = 0x00010000u;
constexpr uint32_t DsModalFrame = 0x80u;
constexpr uint32_t WsExStaticEdge = 0x00020000u;
constexpr uint32_t WsExContextHelp = 0x00000400u;
constexpr uint32_t SbsSizeGrip = 0x10u;
constexpr uint32_t TcsOwnerDrawFixed = 0x2000u;
constexpr uint32_t TbStyleWrapable = 0x200u;

bool AllBits(uint32_t value, uint32_t bits) { return (value & bits) == bits; }

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

TskDialogChildChoice Adapter(TskDialogChildKind kind, std::string section,
                             bool dialogPaintsClient = false) {
  TskDialogChildChoice c;
  c.Kind = kind;
  c.Section = std::move(section);
  c.DialogPaintsClient = dialogPaintsClient;
  return c;
}

TskDialogChildChoice NoAdapter(std::string reason, bool dialogPaintsClient = false) {
  TskDialogChildChoice c;
  c.Reason = std::move(reason);
  c.DialogPaintsClient = dialogPaintsClient;
  return c;
}

TskDialogChildChoice StaticChoice(const TskChildWindowFacts& f) {
  const uint32_t type = f.Style & 0x1F;
  // Frames and rectangles drawn with the edge colours (SS_BLACKFRAME .. SS_ETCHEDFRAME).
  if (AllBits(f.Style, 0x3) || AllBits(f.Style, 0xE)) {
    if (f.ExStyle & WsExStaticEdge) return Adapter(TskDialogChildKind::Edge, "EDIT");
    return Adapter(TskDialogChildKind::Icon, "CHECKBOX");
  }
  if (AllBits(f.Style, 0xD) || type == 5 || type == 6)
    return NoAdapter("a frame or rectangle the dialog's own colours draw");
  return Adapter(TskDialogChildKind::Static, "CHECKBOX");
}

}  // namespace

// ---- which windows the hook skins ------------------------------------------------------------

bool ShouldSkinDialog(const TskNewWindowFacts& f) {
  if (!f.ManagerActive || f.AnswersSkinned || f.AlreadySkinned) return false;
  // A border-less popup (a tool tip, a drop-down) is not a dialog to frame.
  if ((f.Style & WsPopup) && !(f.Style & WsBorder)) return false;
  if (f.ClassName != "#32770" || (f.Style & WsChild) || !f.StdDialogsRule) return false;
  if (f.VisibleSkinnedDialogs > 1 && !f.HasToolBarChild) return false;
  return true;
}

// ---- the child windows' adapters -------------------------------------------------------------

const char* DialogChildKindName(TskDialogChildKind kind) {
  switch (kind) {
    case TskDialogChildKind::None:
      return "none";
    case TskDialogChildKind::Edge:
      return "edge";
    case TskDialogChildKind::Icon:
      return "icon";
    case TskDialogChildKind::Static:
      return "static";
    case TskDialogChildKind::TransPanel:
      return "transparent panel";
    case TskDialogChildKind::DlgPanel:
      return "dialog panel";
    case TskDialogChildKind::Edit:
      return "edit";
    case TskDialogChildKind::GroupBox:
      return "group box";
    case TskDialogChildKind::Button:
      return "button";
    case TskDialogChildKind::CheckBox:
      return "check box";
    case TskDialogChildKind::ComboBox:
      return "combo box";
    case TskDialogChildKind::ComboList:
      return "combo list";
    case TskDialogChildKind::Sizer:
      return "size grip";
    case TskDialogChildKind::TabControl:
      return "tab control";
    case TskDialogChildKind::ListView:
      return "list view";
    case TskDialogChildKind::Spin:
      return "spin";
    case TskDialogChildKind::TrackBar:
      return "track bar";
    case TskDialogChildKind::ListBox:
      return "list box";
    case TskDialogChildKind::Link:
      return "link";
    case TskDialogChildKind::ToolBar:
      return "tool bar";
    case TskDialogChildKind::TreeView:
      return "tree view";
  }
  return "?";
}

TskDialogChildChoice ChooseDialogChildAdapter(const TskChildWindowFacts& f) {
  const std::string cls = Lower(f.ClassName);
  const std::string parent = Lower(f.ParentClassName);
  if (cls == "static") return StaticChoice(f);
  if (cls == "#32770" || cls == "shbrowseforfolder")
    return Adapter(TskDialogChildKind::TransPanel, "CHECKBOX");
  if (cls == "tpanel" || cls == "tsilentpaintpanel")
    return Adapter(TskDialogChildKind::DlgPanel, "PANEL");
  if (cls == "edit") {
    // The edit of a combo box is painted with its combo box, which has the adapter.
    if (parent == "combobox" || parent == "comboboxex32")
      return NoAdapter("the edit part of a combo box, painted by the combo box's adapter", true);
    if (!f.Visible) return NoAdapter("a hidden edit", true);
    return Adapter(TskDialogChildKind::Edit, "EDIT", true);
  }
  if (cls == "button") {
    const uint32_t type = f.Style & 0xF;
    if (type == 7 || type == 15) return Adapter(TskDialogChildKind::GroupBox, "GROUPBOX");
    if (type == 0 || type == 1 || type == 8) return Adapter(TskDialogChildKind::Button, "BUTTON");
    return Adapter(TskDialogChildKind::CheckBox, "CHECKBOX");
  }
  if (cls == "combobox") return Adapter(TskDialogChildKind::ComboBox, "COMBOBOX", true);
  if (cls == "comboboxex32")
    // The extended combo box is a frame around a combo box of its own, which gets the adapter.
    return NoAdapter("the frame of an extended combo box; its inner combo box has the adapter",
                     true);
  if (cls == "combolbox") return Adapter(TskDialogChildKind::ComboList, "COMBOBOX", true);
  if (cls == "scrollbar") {
    if (f.Style & SbsSizeGrip) return Adapter(TskDialogChildKind::Sizer, "CHECKBOX");
    return NoAdapter("a scroll bar control keeps the standard look");
  }
  if (cls == "systabcontrol32") {
    if (f.Style & TcsOwnerDrawFixed) return NoAdapter("an owner-drawn tab control draws itself");
    return Adapter(TskDialogChildKind::TabControl, "PAGECONTROL");
  }
  if (cls == "syslistview32") return Adapter(TskDialogChildKind::ListView, "EDIT");
  if (cls == "msctls_updown32") {
    TskDialogChildChoice c = Adapter(TskDialogChildKind::Spin, "SPEEDBUTTON_SMALL");
    c.PaintOffset = 2;
    return c;
  }
  if (cls == "msctls_trackbar32") return Adapter(TskDialogChildKind::TrackBar, "TRACKBAR");
  if (cls == "listbox") return Adapter(TskDialogChildKind::ListBox, "EDIT", true);
  if (cls == "link window" || cls == "syslink")
    return Adapter(TskDialogChildKind::Link, "CHECKBOX");
  if (cls == "toolbarwindow32")
    return Adapter(TskDialogChildKind::ToolBar, (f.Style & TbStyleWrapable) ? "BAR" : "CHECKBOX");
  if (cls == "systreeview32") return Adapter(TskDialogChildKind::TreeView, "EDIT");
  // Windows the file dialogs hold that paint nothing of their own, or are painted by a parent
  // that has the adapter.
  if (cls == "shelldll_defview")
    return NoAdapter("the shell view's frame; its list view has the adapter");
  if (cls == "sysheader32") return NoAdapter("the header of a list view, painted by the list view");
  if (cls == "msctls_progress32") return NoAdapter("a progress bar keeps the standard look");
  if (cls == "directuihwnd" || cls == "duiviewwndclassname")
    return NoAdapter("the system's own drawn view keeps its look");
  return {};
}

bool UnknownChildClass(const TskDialogChildChoice& choice) {
  return choice.Kind == TskDialogChildKind::None && choice.Reason.empty();
}

// ---- the dialog's frame ----------------------------------------------------------------------

TskDialogFrameKind DialogFrameKind(uint32_t style) {
  if ((style & WsPopup) && !AllBits(style, WsCaption)) return TskDialogFrameKind::None;
  if (style & WsThickFrame) return TskDialogFrameKind::Sizeable;
  if (style & DsModalFrame) return TskDialogFrameKind::Dialog;
  return TskDialogFrameKind::Single;
}

TsFormFacts DialogFormFacts(const TskDialogFacts& d) {
  TsFormFacts f;
  switch (DialogFrameKind(d.SavedStyle)) {
    case TskDialogFrameKind::Dialog:
      f.Border = TsFrameBorder::Dialog;
      break;
    case TskDialogFrameKind::Single:
      f.Border = TsFrameBorder::Single;
      break;
    case TskDialogFrameKind::None:
      f.Border = TsFrameBorder::None;
      break;
    case TskDialogFrameKind::Sizeable:
      f.Border = TsFrameBorder::Sizeable;
      break;
  }
  f.ThickFrame = (d.Style & WsThickFrame) != 0;
  f.BorderBit = (d.Style & WsBorder) != 0;
  f.CaptionBits = AllBits(d.Style, WsCaption);
  f.ChildBit = (d.Style & WsChild) != 0;
  f.Minimized = d.Minimized || (d.Style & WsMinimize) != 0;
  f.Maximized = d.Maximized;
  // A dialog is no main form: a minimized one keeps only its title.
  f.MainForm = false;
  f.Width = d.Width;
  f.Height = d.Height;
  f.ClientWidth = d.ClientWidth;
  f.ClientHeight = d.ClientHeight;
  f.Skin = d.Skin;
  f.Metrics = d.Metrics;
  return f;
}

bool DialogHasSysMenu(const TskDialogFacts& d) { return (d.SavedStyle & WsSysMenu) != 0; }
bool DialogHasMaxButton(const TskDialogFacts& d) { return (d.SavedStyle & WsMaximizeBox) != 0; }
bool DialogHasMinButton(const TskDialogFacts& d) { return (d.SavedStyle & WsMinimizeBox) != 0; }
bool DialogHasHelpButton(const TskDialogFacts& d) {
  return (d.SavedExStyle & WsExContextHelp) != 0;
}
bool DialogIsCloseEnabled(const TskDialogFacts& d) {
  return DialogHasSysMenu(d) && !d.NoCloseClass;
}
bool DialogCanMaximize(const TskDialogFacts& d) {
  const TskDialogFrameKind kind = DialogFrameKind(d.SavedStyle);
  return DialogHasMaxButton(d) && !d.Maximized &&
         (kind == TskDialogFrameKind::Single || kind == TskDialogFrameKind::Sizeable);
}
bool DialogCanMinimize(const TskDialogFacts& d) { return DialogHasMinButton(d) && !d.Minimized; }
bool DialogCanRestore(const TskDialogFacts& d) {
  return DialogHasMaxButton(d) && (d.Minimized || d.Maximized);
}

TskDialogMenuItems DialogMenuItems(const TskDialogFacts& d) {
  const TskDialogFrameKind kind = DialogFrameKind(d.SavedStyle);
  const bool sizeable = kind == TskDialogFrameKind::Single || kind == TskDialogFrameKind::Sizeable;
  TskDialogMenuItems m;
  m.RestoreVisible = sizeable && DialogHasSysMenu(d);
  m.RestoreEnabled = DialogCanRestore(d);
  m.MoveVisible = true;
  m.MoveEnabled = !d.Maximized;
  m.SizeVisible = sizeable;
  m.SizeEnabled = kind != TskDialogFrameKind::Single && !d.Minimized;
  m.MinimizeVisible = DialogHasMinButton(d);
  m.MinimizeEnabled = DialogCanMinimize(d);
  m.MaximizeVisible = DialogHasMaxButton(d);
  m.MaximizeEnabled = DialogCanMaximize(d);
  m.CloseVisible = DialogHasSysMenu(d);
  m.CloseEnabled = true;
  return m;
}

bool DialogWantsBigButtons(TskDialogFrameKind kind) {
  return kind == TskDialogFrameKind::Single || kind == TskDialogFrameKind::Sizeable;
}

TsTitleButtonsSetup DialogTitleButtonsSetup(const TskDialogFacts& d, const TskDialogButtonMasks& m,
                                            int biRight, int biSpace) {
  TsTitleButtonsSetup s;
  s.HasSystemMenu = DialogHasSysMenu(d);
  s.Menu.VisibleClose = DialogHasSysMenu(d);
  s.Menu.VisibleMax = DialogHasMaxButton(d);
  s.Menu.VisibleMin = DialogHasMinButton(d);
  s.Menu.EnabledMax = DialogCanMaximize(d);
  s.Menu.EnabledMin = DialogCanMinimize(d);
  s.Menu.EnabledRestore = DialogCanRestore(d);
  s.HelpIcon = DialogHasHelpButton(d);
  s.Close = m.Close;
  s.Max = m.Max;
  s.Norm = m.Norm;
  s.Min = m.Min;
  s.Help = m.Help;
  s.Big = m.Big;
  s.HelpBig = m.Big;
  s.BIRight = biRight;
  s.BISpace = biSpace;
  return s;
}

int DialogHitTest(const TskDialogHitFacts& f, TPoint p) {
  const TsFormFacts form = DialogFormFacts(f.Dialog);
  if (f.Dialog.Maximized && (p.X < 2 || p.Y < 2 || p.X >= form.Width - 2 || p.Y >= form.Height - 2))
    return DialogHitTransparent;
  const std::vector<TsPlacedTitleButton> buttons = LayoutTitleButtons(form, f.Buttons);
  const int button = TitleButtonHitTest(form, f.Buttons, buttons, p);
  if (button != TitleHitNowhere) return button;
  if (!HasFrame(form)) return TitleHitNowhere;
  TsFrameHitFacts hit;
  hit.Form = form;
  hit.IconRect = f.IconRect;
  const int frame = FrameHitTest(hit, p);
  // The client and the plain border are the dialog's own to answer.
  return frame == fhClient ? TitleHitNowhere : frame;
}
