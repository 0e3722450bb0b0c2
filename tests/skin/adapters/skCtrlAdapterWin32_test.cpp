// The control adapter of a skinned form under Wine: the form's provider gives each foreign
// control the adapter its class's list names (also inside containers, also controls that
// appear later), leaves alone what no list names, what carries the never-skinned tag and
// what the form's event vetoes; the adapted edit paints from the skin and still takes typed
// text; removing the skin lets go of every window, past a later subclass on top; and a walk
// started while another runs does nothing.
#include "skin/adapters/skCtrlAdapterWin32.h"

#include <gtest/gtest.h>

#include "framework/ExtCtrlsWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skComboBoxWndWin32.h"
#include "skin/adapters/skEditWndWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/adapters/EditTestSkinWin32.h"

namespace {

using namespace edittest;

constexpr COLORREF kLabelFont = 0x3060C0;  // the skin's global font colour

struct ControlAdapter : EditAdapters {
  static void SetUpTestSuite() {
    EditAdapters::SetUpTestSuite();
    InitSkinRuntime();
    InstallControlAdapters();
  }
  static void TearDownTestSuite() { SetControlAdapterFactory(nullptr); }
  void SetUp() override {
    EditAdapters::SetUp();
    // The form's provider skins a form only with a skin that has a form section.
    std::string skin = Skin() + "[FORM]\nCOLOR=12632256\nTRANSPARENCY=0\nSTATES=1\n";
    const std::string border = "BORDERCOLOR=255\n";
    skin.insert(skin.find(border) + border.size(),
                "FONTCOLOR=" + std::to_string(kLabelFont) + "\n");
    f.AddFolderSkin("EditsForm", skin, {{"MASTER.BMP", Master()}});
    f.Manager->SetSkinName("EditsForm");
    InstallSkinRuntime(*f.Manager);
    ThirdPartyList& third = *f.Manager->ThirdParty();
    third.Texts[tpEdits] = "TEdit";
    third.Texts[tpComboBoxes] = "TComboBox\nTEdit";
    third.Texts[tpButtons] = "TButton";
    f.Manager->ReadThirdParty(false);
  }
  void TearDown() override { ktest::Pump(); }
  template <class T>
  T* Add(TWinControl* parent, int left, int top, int width, int height) {
    auto* c = new T(form.Form);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
  TsSkinProvider* MakeProvider() {
    auto* provider = new TsSkinProvider(form.Form);
    provider->SkinData()->SetSkinManager(f.Manager.get());
    provider->InitFormSkin();
    return provider;
  }
  void ShowAndSettle() {
    form.Show();
    SetForegroundWindow(form.Form->Handle());
    Settle(form.Form->Handle(), 200);
  }
  static bool Named(TWinControl* c) { return GetPropA(c->Handle(), AdapterPropName) != nullptr; }
};

TEST_F(ControlAdapter, ForeignControlsGetTheAdapterOfTheirLowestListAndNothingElseDoes) {
  auto* edit = Add<TEdit>(form.Form, 10, 10, 120, 26);
  auto* combo = Add<TComboBox>(form.Form, 10, 50, 120, 24);
  auto* button = Add<TButton>(form.Form, 10, 90, 80, 26);  // its adapter is not built
  auto* memo = Add<TMemo>(form.Form, 150, 10, 100, 60);    // in no list
  auto* panel = Add<TPanel>(form.Form, 150, 90, 200, 100);
  auto* inner = Add<TEdit>(panel, 10, 10, 120, 26);
  auto* tagged = Add<TEdit>(form.Form, 10, 130, 120, 26);
  tagged->SetTag(-98);
  auto* vetoed = Add<TEdit>(form.Form, 10, 170, 120, 26);
  TsSkinProvider* provider = MakeProvider();
  provider->SetOnSkinItem([vetoed](TComponent* item, bool& canBeAdded, std::string&) {
    if (item == vetoed) canBeAdded = false;
  });
  ShowAndSettle();
  ASSERT_NE(provider->ControlAdapter(), nullptr);

  // TEdit stands in the edits' and the combo boxes' lists: the edits' list comes first.
  for (TEdit* e : {edit, inner}) {
    TskMainWnd* adapter = GetWindowAdapter(e->Handle());
    ASSERT_NE(adapter, nullptr);
    EXPECT_NE(dynamic_cast<TskEditWnd*>(adapter), nullptr);
    EXPECT_EQ(dynamic_cast<TskComboBoxWnd*>(adapter), nullptr);
  }
  EXPECT_NE(dynamic_cast<TskComboBoxWnd*>(GetWindowAdapter(combo->Handle())), nullptr);
  for (TWinControl* c : std::initializer_list<TWinControl*>{button, memo, panel, tagged, vetoed})
    EXPECT_FALSE(Named(c)) << c->ClassName();
  EXPECT_EQ(static_cast<TskCtrlAdapter*>(provider->ControlAdapter())->ItemCount(), 3);

  // The adapted edit paints its border from the skin, the others keep theirs.
  EXPECT_EQ(WindowPixel(edit->Handle(), 0, 0), kBorder);
  EXPECT_EQ(WindowPixel(inner->Handle(), 0, 0), kBorder);
  EXPECT_NE(WindowPixel(tagged->Handle(), 0, 0), kBorder);

  // Typed text still reaches the adapted edit.
  ktest::Click(ktest::ClientCentreOf(edit->Handle()));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->Handle(); }));
  ktest::TypeText("abc");
  EXPECT_TRUE(PumpUntil([&] { return edit->Text() == "abc"; })) << edit->Text();

  // A second walk keeps what it has and adds nothing twice.
  provider->ControlAdapter()->AdaptChildren(nullptr);
  EXPECT_EQ(static_cast<TskCtrlAdapter*>(provider->ControlAdapter())->ItemCount(), 3);
  delete provider;
  EXPECT_FALSE(Named(edit));
}

TEST_F(ControlAdapter, RemovingTheSkinLetsGoOfEveryWindowPastALaterSubclass) {
  auto* edit = Add<TEdit>(form.Form, 10, 10, 120, 26);
  auto* combo = Add<TComboBox>(form.Form, 10, 50, 120, 24);
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(Named(edit));
  ASSERT_TRUE(Named(combo));
  int spied = 0;
  TWindowSubclass spy(edit->Handle(), [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_CHAR) ++spied;
    return false;
  });
  f.Manager->SetActive(false);
  Settle(form.Form->Handle(), 200);
  EXPECT_EQ(provider->ControlAdapter(), nullptr);
  EXPECT_FALSE(Named(edit));
  EXPECT_FALSE(Named(combo));
  EXPECT_EQ(GetWindowAdapter(edit->Handle()), nullptr);
  EXPECT_NE(WindowPixel(edit->Handle(), 0, 0), kBorder);
  // The later subclass and the edit's own behaviour are both still there.
  ktest::Click(ktest::ClientCentreOf(edit->Handle()));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->Handle(); }));
  ktest::TypeText("xy");
  EXPECT_TRUE(PumpUntil([&] { return edit->Text() == "xy"; })) << edit->Text();
  EXPECT_EQ(spied, 2);

  // The skin back: adapted again.
  f.Manager->SetActive(true);
  Settle(form.Form->Handle(), 200);
  EXPECT_TRUE(Named(edit));
  EXPECT_EQ(WindowPixel(edit->Handle(), 0, 0), kBorder);
}

TEST_F(ControlAdapter, ControlsThatAppearLaterAreAdaptedWhenTheirContainerIsNamedChanged) {
  auto* panel = Add<TPanel>(form.Form, 10, 10, 200, 100);
  MakeProvider();
  ShowAndSettle();
  auto* late = Add<TEdit>(panel, 10, 10, 120, 26);
  late->HandleNeeded();
  EXPECT_FALSE(Named(late));
  NotifyControlChanged(panel);  // the form walks the panel
  EXPECT_TRUE(Named(late));
}

TEST_F(ControlAdapter, WithoutTheForeignControlsRuleNothingIsAdapted) {
  auto* edit = Add<TEdit>(form.Form, 10, 10, 120, 26);
  f.Manager->SetSkinningRules(TskSkinningRules{srStdForms, srStdDialogs});
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  EXPECT_FALSE(Named(edit));
  ASSERT_NE(provider->ControlAdapter(), nullptr);
  EXPECT_EQ(static_cast<TskCtrlAdapter*>(provider->ControlAdapter())->ItemCount(), 0);
}

TEST_F(ControlAdapter, TheFormsEventNamesTheSectionAControlIsPaintedWith) {
  auto* edit = Add<TEdit>(form.Form, 10, 10, 120, 26);
  auto* plain = Add<TEdit>(form.Form, 10, 50, 120, 26);
  TsSkinProvider* provider = MakeProvider();
  provider->SetOnSkinItem([edit](TComponent* item, bool&, std::string& section) {
    if (item == edit) section = "combobox";
  });
  ShowAndSettle();
  auto* adapter = static_cast<TskCtrlAdapter*>(provider->ControlAdapter());
  ASSERT_NE(adapter->FindItem(edit), nullptr);
  EXPECT_EQ(adapter->FindItem(edit)->ItemSkinData().SkinSection(), "COMBOBOX");
  EXPECT_EQ(ktest::ClientPixel(edit->Handle(), 100, 5), kComboFace);
  EXPECT_EQ(ktest::ClientPixel(plain->Handle(), 100, 5), kEditFace);
}

TEST_F(ControlAdapter, LabelsShowTheSkinsFontColourUntilTheSkinGoesUnlessTheyKeepTheirOwn) {
  auto* panel = Add<TPanel>(form.Form, 10, 60, 200, 60);
  TLabel* labels[3];
  for (int i = 0; i < 3; ++i) {
    labels[i] = new TLabel(form.Form);
    labels[i]->SetParent(i == 1 ? static_cast<TWinControl*>(panel) : form.Form);
    labels[i]->SetBounds(10, 10 + 20 * i, 80, 16);
    labels[i]->SetCaption("label");
  }
  labels[2]->SetTag(98);  // keeps its own look
  labels[2]->Font()->SetColor(clRed);
  MakeProvider();
  ShowAndSettle();
  EXPECT_EQ(ColorToRGB(labels[0]->Font()->Color()), kLabelFont);
  EXPECT_EQ(ColorToRGB(labels[1]->Font()->Color()), kLabelFont) << "inside a container too";
  EXPECT_EQ(labels[2]->Font()->Color(), clRed);
  f.Manager->SetActive(false);
  Settle(form.Form->Handle());
  EXPECT_EQ(labels[0]->Font()->Color(), clWindowText);
  EXPECT_EQ(labels[1]->Font()->Color(), clWindowText);
  EXPECT_EQ(labels[2]->Font()->Color(), clRed);
}

// A walk into a container ends before the outer walk does: a walk asked for after it (here
// by the form's event, as any message sent while adapting could) must still find the way
// shut.
TEST_F(ControlAdapter, AWalkAskedForDuringAWalkDoesNothingAlsoAfterAContainerWasWalked) {
  auto* panel = Add<TPanel>(form.Form, 10, 10, 200, 60);
  Add<TEdit>(panel, 10, 10, 120, 26);
  auto* after = Add<TEdit>(form.Form, 10, 100, 120, 26);
  TsSkinProvider* provider = MakeProvider();
  int depth = 0, nestedAsks = 0;
  provider->SetOnSkinItem([&](TComponent* item, bool&, std::string&) {
    if (depth > 0) ++nestedAsks;
    if (item != after || !provider->ControlAdapter()) return;
    ++depth;
    provider->ControlAdapter()->AdaptChildren(nullptr);
    --depth;
  });
  ShowAndSettle();
  EXPECT_TRUE(Named(after));
  EXPECT_EQ(nestedAsks, 0) << "a second walk ran inside the first";
}

}  // namespace

namespace {

using namespace edittest;

// What a skinned control does with its adapter variable when the skin comes, changes or goes:
// one adapter while skinned, a let-go one replaced, none without the skin.
TEST_F(EditAdapters, SkinnedControlsKeepOneAdapterWhileSkinnedAndNoneWithout) {
  auto* list = form.Add<TListBox>();
  list->SetBounds(10, 10, 100, 80);
  for (int i = 0; i < 20; ++i) list->Items()->Add("item " + std::to_string(i));
  form.Show();
  TControlSkinHost host(list);
  TsCommonData data(&host, true);
  data.SetSkinSection("EDIT");
  std::unique_ptr<TskEditWnd> adapter;
  UpdateEditAdapter(&data, adapter);
  ASSERT_NE(adapter, nullptr);
  TskEditWnd* first = adapter.get();
  UpdateEditAdapter(&data, adapter);
  EXPECT_EQ(adapter.get(), first) << "a second call keeps the adapter";
  Settle(form.Form->Handle());
  EXPECT_EQ(WindowPixel(list->Handle(), 0, 0), kBorder);

  // Let go without being freed: the bars go with it, the next call makes a new adapter.
  ReleaseScrollAdapter(false, true, adapter);
  ASSERT_NE(adapter, nullptr);
  EXPECT_TRUE(adapter->Detached());
  EXPECT_EQ(adapter->VertBar, nullptr);
  EXPECT_EQ(GetWindowAdapter(list->Handle()), nullptr);
  UpdateEditAdapter(&data, adapter);
  ASSERT_NE(adapter, nullptr);
  EXPECT_FALSE(adapter->Detached());
  EXPECT_EQ(GetWindowAdapter(list->Handle()), adapter.get());

  f.Manager->SetActive(false);
  UpdateEditAdapter(&data, adapter);
  EXPECT_EQ(adapter, nullptr);
  EXPECT_EQ(GetPropA(list->Handle(), AdapterPropName), nullptr);
}

}  // namespace
