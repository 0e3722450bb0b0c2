#include "skin/adapters/skCtrlAdapterWin32.h"

#include <utility>

#include "framework/ButtonsWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "framework/SysUtils.h"
#include "skin/adapters/skComboBoxWndWin32.h"
#include "skin/adapters/skEditWndWin32.h"
#include "skin/adapters/skListViewWndWin32.h"
#include "skin/adapters/skSpeedButtonHandlerWin32.h"
#include "skin/adapters/skTabControlWndWin32.h"
#include "skin/adapters/skTreeViewWndWin32.h"
#include "skin/adapters/skWWComboBoxWndWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// Auxiliary windows of the skinning carry this tag and are never adapted.
constexpr int kNeverSkinnedTag = -98;
// A label with this tag keeps its own look.
constexpr int kOwnLookLabelTag = 98;
// The kind of an adapted control's skin data: painted as an edit unless it names a section.
constexpr auto kAdaptedControlKind = static_cast<TsControlKind>(227);

// How deep walks are nested right now. A count, not a flag: the end of a walk into a child
// container must not open the way for a second walk while the outer one still runs.
int WalkDepth = 0;

class TWalkScope {
 public:
  TWalkScope() { ++WalkDepth; }
  ~TWalkScope() { --WalkDepth; }
  TWalkScope(const TWalkScope&) = delete;
  TWalkScope& operator=(const TWalkScope&) = delete;
};

bool FreeingAllItems = false;

bool AnswersSkinned(TWinControl* control) { return PerformSkinCmd(control, CmdIsSkinned, 0) != 0; }

bool HasWindowAndParent(TWinControl* control) {
  return control->HandleAllocated() && control->Parent() != nullptr;
}

}  // namespace

// ---- one adapted control ----------------------------------------------------------------------

TskAdapterItem::TskAdapterItem(TskCtrlAdapter& owner, TWinControl* control)
    : owner_(owner), control_(control), host_(control), skinData_(&host_, true) {
  skinData_.ControlKind = kAdaptedControlKind;
}

TskAdapterItem::~TskAdapterItem() { adapter_.reset(); }

void TskAdapterItem::AttachAdapter() {
  if (control_->Tag() == kNeverSkinnedTag || !HasWindowAndParent(control_) ||
      AnswersSkinned(control_))
    return;
  TsSkinManager* manager = owner_.Manager();
  if (!manager) return;
  HWND handle = control_->Handle();
  const std::string section = skinData_.SkinSection();
  switch (ChooseAdapterKind(*manager, control_->ClassName())) {
    case TskAdapterKind::Edit:
      adapter_ = TskMainWnd::Make<TskEditWnd>(handle, &skinData_, manager, section, true);
      break;
    case TskAdapterKind::ComboBox:
      adapter_ = TskMainWnd::Make<TskComboBoxWnd>(handle, &skinData_, manager, section, true);
      break;
    case TskAdapterKind::WWComboBox:
      adapter_ = TskWWComboBoxWnd::CreateForControl(control_, &skinData_, manager, section, true);
      break;
    case TskAdapterKind::ListView:
      adapter_ = TskMainWnd::Make<TskListViewWnd>(handle, &skinData_, manager, section, true);
      break;
    case TskAdapterKind::TreeView:
      adapter_ = TskMainWnd::Make<TskTreeViewWnd>(handle, &skinData_, manager, section, true);
      break;
    case TskAdapterKind::TabControl:
      adapter_ = TskMainWnd::Make<TskTabControlWnd>(handle, &skinData_, manager, section, true);
      break;
    case TskAdapterKind::PageControl:
      adapter_ = TskMainWnd::Make<TskPageControlWnd>(handle, &skinData_, manager, section, true);
      break;
    default:
      // The other kinds' adapters are not built: such a control keeps its own look.
      break;
  }
}

// ---- one adapted control without a window --------------------------------------------------

TskGraphItem::TskGraphItem(TGraphicControl* control, TsSkinManager* manager)
    : host_(control), skinData_(&host_, true) {
  skinData_.SetSkinManager(manager);
  auto* speed = dynamic_cast<TSpeedButton*>(control);
  const std::string section = speed && speed->Flat() ? "SPEEDBUTTON_SMALL" : "SPEEDBUTTON";
  handler_ = std::make_unique<TskSpeedButtonHandler>(control, &skinData_, manager, section, false);
}

TskGraphItem::~TskGraphItem() { handler_.reset(); }

TControl* TskGraphItem::Control() const { return handler_ ? handler_->Button() : nullptr; }

// ---- the form's control adapter ---------------------------------------------------------------

TskCtrlAdapter::TskCtrlAdapter(TsSkinProvider& provider) : provider_(provider) {}

TskCtrlAdapter::~TskCtrlAdapter() {
  RemoveDeadItems();
  FreeAllItems();
}

void TskCtrlAdapter::AdaptChildren(TWinControl* container) {
  if (WalkDepth > 0) return;
  TsSkinManager* manager = Manager();
  if (!manager || !manager->SkinningRules().Contains(srThirdParty)) return;
  TWalkScope walking;
  Walk(container ? container : provider_.Form());
}

void TskCtrlAdapter::Walk(TWinControl* container) {
  if (!container) return;
  TWalkScope walking;
  RemoveDeadItems();
  // Components and child controls are walked from copies: adapting may add or remove some.
  std::vector<TComponent*> components;
  for (int i = 0; i < container->ComponentCount(); ++i)
    components.push_back(container->Components(i));
  for (TComponent* component : components) {
    auto* control = dynamic_cast<TControl*>(component);
    if (!control) continue;
    if (IsControlSupported(control) && !dynamic_cast<TSpeedButton*>(control)) AdaptOne(control);
    WalkInto(control);
  }
  std::vector<TControl*> children;
  for (int i = 0; i < container->ControlCount(); ++i) children.push_back(container->Controls(i));
  for (TControl* child : children) {
    if (IsControlSupported(child)) AdaptOne(child);
    WalkInto(child);
  }
}

void TskCtrlAdapter::AdaptOne(TControl* control) {
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    AddItemWithSection(windowed, "");
  } else if (auto* label = dynamic_cast<TCustomLabel*>(control)) {
    SkinLabel(label);
  } else if (auto* speed = dynamic_cast<TSpeedButton*>(control)) {
    AddGraphItem(speed);
  }
}

void TskCtrlAdapter::AddGraphItem(TGraphicControl* control) {
  if (FindGraphItem(control) || PerformSkinCmd(control, CmdIsSkinned, 0) != 0) return;
  graphItems_.push_back(std::make_unique<TskGraphItem>(control, Manager()));
  control->Invalidate();
}

TskGraphItem* TskCtrlAdapter::FindGraphItem(const TControl* control) const {
  for (const auto& item : graphItems_)
    if (item->Control() == control) return item.get();
  return nullptr;
}

void TskCtrlAdapter::WalkInto(TControl* control) {
  auto* windowed = dynamic_cast<TWinControl*>(control);
  if (windowed && HasWindowAndParent(windowed)) Walk(windowed);
}

void TskCtrlAdapter::SkinLabel(TCustomLabel* label) {
  if (label->Tag() == kOwnLookLabelTag) return;
  label->SetControlStyle(label->ControlStyle() - csOpaque);
  TsSkinManager* manager = DefaultManager;
  if (manager && manager->GetSectionIndex("GLOBALINFO") >= 0)
    label->Font()->SetColor(manager->GlobalFontColor());
}

bool TskCtrlAdapter::Vetoed(TComponent* control, std::string& section) {
  bool canBeAdded = true;
  if (provider_.OnSkinItem()) provider_.OnSkinItem()(control, canBeAdded, section);
  return !canBeAdded;
}

bool TskCtrlAdapter::IsControlSupported(TControl* control) {
  if (!control || control->Tag() == kNeverSkinnedTag) return false;
  TsSkinManager* manager = Manager();
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    if (!windowed->HandleAllocated() || AnswersSkinned(windowed)) return false;
    return manager && FindThirdPartyList(*manager, control->ClassName()) >= 0;
  }
  std::string section;
  if (dynamic_cast<TCustomLabel*>(control)) return !Vetoed(control, section);
  if (dynamic_cast<TSpeedButton*>(control)) {
    section = "SPEEDBUTTON";
    return manager && FindThirdPartyList(*manager, control->ClassName()) >= 0 &&
           !Vetoed(control, section);
  }
  return false;
}

void TskCtrlAdapter::AddItem(TControl* control) {
  if (auto* windowed = dynamic_cast<TWinControl*>(control))
    AddItemWithSection(windowed, StandardSection);
}

void TskCtrlAdapter::AddItemWithSection(TWinControl* control, const std::string& section) {
  if (!control || control->Tag() == kNeverSkinnedTag || !control->Parent() ||
      AnswersSkinned(control))
    return;
  std::string chosen = section;
  if (Vetoed(control, chosen)) return;
  TskAdapterItem* item = FindItem(control);
  const bool fresh = item == nullptr;
  if (fresh) {
    items_.push_back(std::make_unique<TskAdapterItem>(*this, control));
    item = items_.back().get();
  }
  item->ItemSkinData().SetSkinSection(UpperCase(chosen));
  if (!fresh) {
    if (item->Adapter() && item->Adapter()->Detached()) {
      item->FreeAdapter();
      item->AttachAdapter();
    }
    return;
  }
  item->AttachAdapter();
  if (!item->Adapter()) items_.pop_back();
}

void TskCtrlAdapter::RemoveItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  items_[static_cast<size_t>(index)] = std::move(items_.back());
  items_.pop_back();
}

void TskCtrlAdapter::BroadcastToItems(const TMessage& message) {
  // Copied first: a message may make an adapter drop its window.
  std::vector<HWND> windows;
  for (const auto& item : items_)
    if (item->Alive() && item->Control()->Parent())
      windows.push_back(item->Adapter()->WindowHandle());
  for (HWND wnd : windows) {
    // The skin command goes through its sender, so the adapter knows it as our own.
    if (message.Msg == SM_SKINCMD)
      SendSkinCmd(wnd, HIWORD(message.WParam), message.LParam, LOWORD(message.WParam));
    else
      SendMessageA(wnd, message.Msg, message.WParam, message.LParam);
  }
}

TskAdapterItem* TskCtrlAdapter::GetItem(int index) const {
  if (index < 0 || index >= ItemCount()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

TskAdapterItem* TskCtrlAdapter::FindItem(const TControl* control) const {
  for (const auto& item : items_)
    if (item->Control() == control) return item.get();
  return nullptr;
}

void TskCtrlAdapter::RemoveDeadItems() {
  std::erase_if(
      items_, [](const std::unique_ptr<TskAdapterItem>& item) { return !item || !item->Alive(); });
  // A button freed, or given its own method back when the skin went, needs its item no more.
  std::erase_if(graphItems_, [](const std::unique_ptr<TskGraphItem>& item) {
    return !item || !item->Control() || !item->Handler()->Hooked();
  });
}

void TskCtrlAdapter::FreeAllItems() {
  if (FreeingAllItems) return;
  FreeingAllItems = true;
  while (!items_.empty()) items_.pop_back();
  while (!graphItems_.empty()) graphItems_.pop_back();
  FreeingAllItems = false;
}

void InstallControlAdapters() {
  SetControlAdapterFactory([](TsSkinProvider& provider) -> std::unique_ptr<IFormControlAdapter> {
    return std::make_unique<TskCtrlAdapter>(provider);
  });
}
