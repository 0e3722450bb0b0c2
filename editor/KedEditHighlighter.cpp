#include "editor/KedEditHighlighter.h"

#include <algorithm>

#include "framework/TypInfo.h"

// ---- TKedHighlighterAttributes ---------------------------------------------------------

K_PUBLISH(TKedHighlighterAttributes) {
  p.Prop("Background", &TKedHighlighterAttributes::Background,
         &TKedHighlighterAttributes::SetBackground);
  p.Prop("Foreground", &TKedHighlighterAttributes::Foreground,
         &TKedHighlighterAttributes::SetForeground);
  p.Set("Style", &TKedHighlighterAttributes::Style, &TKedHighlighterAttributes::SetStyle,
        {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
}

TKedHighlighterAttributes::TKedHighlighterAttributes(const std::string& name) : name_(name) {}

void TKedHighlighterAttributes::SetBackground(TColor value) {
  if (background_ == value) return;
  background_ = value;
  Changed();
}

void TKedHighlighterAttributes::SetForeground(TColor value) {
  if (foreground_ == value) return;
  foreground_ = value;
  Changed();
}

void TKedHighlighterAttributes::SetStyle(TFontStyles value) {
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void TKedHighlighterAttributes::SaveDefaultValues() {
  defaultBackground_ = background_;
  defaultForeground_ = foreground_;
  defaultStyle_ = style_;
}

void TKedHighlighterAttributes::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TKedHighlighterAttributes*>(source);
  if (src == nullptr) {
    inherited::Assign(source);
    return;
  }
  name_ = src->name_;
  SetColorsAndStyle(src->background_, src->foreground_, src->style_);
}

void TKedHighlighterAttributes::SetColorsAndStyle(TColor background, TColor foreground,
                                                  TFontStyles style) {
  const bool changed = background_ != background || foreground_ != foreground || style_ != style;
  background_ = background;
  foreground_ = foreground;
  style_ = style;
  if (changed) Changed();
}

void TKedHighlighterAttributes::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TKedCustomHighlighter -------------------------------------------------------------

K_PUBLISH(TKedCustomHighlighter) {
  p.Prop("DefaultFilter", &TKedCustomHighlighter::GetDefaultFilter,
         &TKedCustomHighlighter::SetDefaultFilter);
  p.Prop("Enabled", &TKedCustomHighlighter::Enabled, &TKedCustomHighlighter::SetEnabled);
}

namespace {

TKedCharSet DefaultWordBreakChars() {
  TKedCharSet set;
  for (unsigned char c : std::string_view("!\"'()*+,-./:;=?[\\]^{}|")) set.set(c);
  return set;
}

}  // namespace

TKedCustomHighlighter::TKedCustomHighlighter(TComponent* owner)
    : TComponent(owner), changeHooks_(this), wordBreakChars_(DefaultWordBreakChars()) {
  attributes_.SetSorted(true);
  attributes_.SetDuplicates(dupError);
}

TKedCustomHighlighter::~TKedCustomHighlighter() {
  // Before the hook chain goes: listeners unhook themselves as they drop us.
  SendFreeNotifications();
}

int TKedCustomHighlighter::AttributeCount() const { return attributes_.Count(); }

TKedHighlighterAttributes* TKedCustomHighlighter::AttributeAt(int index) const {
  if (index < 0 || index >= attributes_.Count()) return nullptr;
  return static_cast<TKedHighlighterAttributes*>(attributes_.Objects(index));
}

TKedCharSet TKedCustomHighlighter::GetIdentChars() const {
  TKedCharSet set;
  for (int c = 33; c < 256; ++c) set.set(static_cast<size_t>(c));
  return set;
}

void TKedCustomHighlighter::StartLine(std::string_view line, int) {
  line_ = line;
  run_ = 0;
  ScanNextToken();
}

std::string TKedCustomHighlighter::TokenText() const {
  return std::string(line_.substr(tokenPos_, run_ - tokenPos_));
}

void TKedCustomHighlighter::ScanToLineEnd() {
  while (!AtLineEnd()) ScanNextToken();
}

void TKedCustomHighlighter::ScanRangeOfLine(std::string_view line) {
  StartLine(line, 0);
  ScanToLineEnd();
}

void TKedCustomHighlighter::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  SignalChange(nullptr);
}

void TKedCustomHighlighter::AddChangeHook(TNotifyEvent handler) {
  changeHooks_.AddHandler(handler);
}

void TKedCustomHighlighter::RemoveChangeHook(TNotifyEvent handler) {
  changeHooks_.RemoveHandler(handler);
}

void TKedCustomHighlighter::SignalChange(TObject* sender) {
  if (ComponentState().Contains(csLoading)) return;
  changeHooks_.SetSender(sender);
  changeHooks_.InvokeAll();
}

void TKedCustomHighlighter::Loaded() {
  inherited::Loaded();
  SignalChange(nullptr);
}

void TKedCustomHighlighter::AddAttribute(TKedHighlighterAttributes* attr) {
  std::unique_ptr<TKedHighlighterAttributes> owned(attr);
  attributes_.AddObject(attr->Name(), attr);
  ownedAttributes_.push_back(std::move(owned));
}

void TKedCustomHighlighter::AttachAttributeHandlers(TNotifyEvent handler) {
  for (int i = attributes_.Count() - 1; i >= 0; --i) {
    TKedHighlighterAttributes* attr = AttributeAt(i);
    attr->OnChange = handler;
    attr->SaveDefaultValues();
  }
}

void TKedCustomHighlighter::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TKedCustomHighlighter*>(source);
  if (src == nullptr) {
    inherited::Assign(source);
    return;
  }
  for (int i = 0; i < AttributeCount(); ++i) {
    TKedHighlighterAttributes* own = AttributeAt(i);
    for (int j = 0; j < src->AttributeCount(); ++j) {
      TKedHighlighterAttributes* other = src->AttributeAt(j);
      if (other->Name() == own->Name()) {
        own->Assign(other);
        break;
      }
    }
  }
  if (src->InheritsFrom(ClassInfo())) StoreSampleSource(src->SampleSource());
  wordBreakChars_ = src->wordBreakChars_;
  SetDefaultFilter(src->GetDefaultFilter());
  SetEnabled(src->Enabled());
}

// ---- highlighter classes ---------------------------------------------------------------

int TKedHighlighterList::IndexOf(const TClassInfo* cls) const {
  auto it = std::find(classes_.begin(), classes_.end(), cls);
  return it == classes_.end() ? -1 : static_cast<int>(it - classes_.begin());
}

void TKedHighlighterList::Add(const TClassInfo* cls) { classes_.push_back(cls); }

TKedHighlighterList& GetPlaceableHighlighters() {
  static TKedHighlighterList list;
  return list;
}

void RegisterHighlighterClass(const TClassInfo* cls) {
  TKedHighlighterList& list = GetPlaceableHighlighters();
  if (list.IndexOf(cls) < 0) list.Add(cls);
}
