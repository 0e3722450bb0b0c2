#include "framework/TypInfo.h"

#include <gtest/gtest.h>

#include "framework/Component.h"
#include "framework/Strings.h"

namespace {

enum TAlign { alNone, alTop, alBottom, alClient };
enum TStyle { stBold, stItalic, stUnderline };
using TStyles = TSet<TStyle>;

class TTestFont : public TPersistent {
  K_CLASS_PUBLISHED(TTestFont, TPersistent)
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }
  TStyles Style() const { return style_; }
  void SetStyle(TStyles v) { style_ = v; }

 private:
  std::string name_ = "Arial";
  int size_ = 8;
  TStyles style_;
};

K_PUBLISH(TTestFont) {
  p.Prop("Name", &TTestFont::Name, &TTestFont::SetName);
  p.Prop("Size", &TTestFont::Size, &TTestFont::SetSize);
  p.Set("Style", &TTestFont::Style, &TTestFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline"});
}

class TTestControl : public TComponent {
  K_CLASS_PUBLISHED(TTestControl, TComponent)
  explicit TTestControl(TComponent* owner) : TComponent(owner) {}

  int Left() const { return left_; }
  void SetLeft(int v) { left_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign v) { align_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  char Accel() const { return accel_; }
  void SetAccel(char v) { accel_ = v; }
  uint16_t ShortCut() const { return shortCut_; }
  void SetShortCut(uint16_t v) { shortCut_ = v; }
  TTestFont* Font() const { return font_.get(); }
  void SetFont(TTestFont* v) { font_->SetName(v->Name()); }
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }

 private:
  int left_ = 0;
  std::string caption_;
  TAlign align_ = alNone;
  bool visible_ = true;
  char accel_ = 'A';
  uint16_t shortCut_ = 0;
  std::unique_ptr<TTestFont> font_ = std::make_unique<TTestFont>();
  std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
};

K_PUBLISH(TTestControl) {
  p.Prop("Left", &TTestControl::Left, &TTestControl::SetLeft);
  p.Prop("Caption", &TTestControl::Caption, &TTestControl::SetCaption);
  p.Enum("Align", &TTestControl::Align, &TTestControl::SetAlign,
         {"alNone", "alTop", "alBottom", "alClient"});
  p.Prop("Visible", &TTestControl::Visible, &TTestControl::SetVisible);
  p.Prop("Accel", &TTestControl::Accel, &TTestControl::SetAccel);
  p.Prop("ShortCut", &TTestControl::ShortCut, &TTestControl::SetShortCut);
  p.Prop("Font", &TTestControl::Font, &TTestControl::SetFont);
  p.Prop("Items", &TTestControl::Items, &TTestControl::SetItems);
  p.Prop("Width", [](TTestControl* c) { return c->Left() + 100; });  // read-only
}

// A descendant without properties of its own, and one that adds and redeclares.
class TTestButton : public TTestControl {
  K_CLASS(TTestButton, TTestControl)
  using TTestControl::TTestControl;
};

class TTestEdit : public TTestControl {
  K_CLASS_PUBLISHED(TTestEdit, TTestControl)
  using TTestControl::TTestControl;
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v) { text_ = v; }

 private:
  std::string text_;
};

K_PUBLISH(TTestEdit) {
  p.Prop("Text", &TTestEdit::Text, &TTestEdit::SetText);
  p.Prop("Left", &TTestEdit::Left);  // redeclared read-only
}

}  // namespace

TEST(ClassInfo, NamesTheClassAndItsAncestors) {
  TTestButton button(nullptr);
  EXPECT_EQ(button.ClassName(), "TTestButton");
  EXPECT_EQ(button.ClassParent()->ClassName(), "TTestControl");
  EXPECT_TRUE(button.InheritsFrom(TComponent::StaticClassInfo()));
  EXPECT_TRUE(button.Is<TPersistent>());
  EXPECT_FALSE(button.Is<TTestEdit>());
  EXPECT_TRUE(button.ClassNameIs("ttestbutton"));
  TObject* obj = &button;
  EXPECT_EQ(As<TTestControl>(obj), &button);
  EXPECT_THROW(As<TStringList>(obj), EInvalidCast);
}

TEST(ClassInfo, FindsAndCreatesClassesByName) {
  RegisterClassInfo(TTestButton::StaticClassInfo());
  EXPECT_EQ(GetClass("TTESTBUTTON"), TTestButton::StaticClassInfo());
  EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
  EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);

  TTestControl owner(nullptr);
  TObject* made = FindClass("TTestButton")->CreateInstance(&owner);
  ASSERT_TRUE(made->Is<TTestButton>());
  EXPECT_EQ(static_cast<TComponent*>(made)->Owner(), &owner);  // freed with its owner

  TObject* list = TStringList::StaticClassInfo()->CreateInstance();
  EXPECT_EQ(list->ClassName(), "TStringList");
  delete list;
  EXPECT_THROW(TStrings::StaticClassInfo()->CreateInstance(), EInvalidOperation);  // abstract
}

TEST(PublishedProperties, ReadAndWriteEachKindByName) {
  TTestControl c(nullptr);
  SetOrdProp(&c, "left", 17);  // names are case-insensitive
  EXPECT_EQ(c.Left(), 17);
  EXPECT_EQ(GetOrdProp(&c, "Left"), 17);

  SetStrProp(&c, "Caption", "&Öffnen");
  EXPECT_EQ(c.Caption(),
            "&\xD6"
            "ffnen");
  EXPECT_EQ(GetStrProp(&c, "Caption"), c.Caption());

  SetOrdProp(&c, "ShortCut", 0x4000 | 'O');
  EXPECT_EQ(c.ShortCut(), 0x4000 | 'O');
  EXPECT_EQ(GetPropInfo(&c, "ShortCut")->Kind, tkInteger);

  EXPECT_EQ(GetPropInfo(&c, "Accel")->Kind, tkChar);
  SetPropValue(&c, "Accel", "Z");
  EXPECT_EQ(c.Accel(), 'Z');

  EXPECT_EQ(GetPropInfo(&c, "Visible")->Kind, tkEnumeration);
  SetEnumProp(&c, "Visible", "False");
  EXPECT_FALSE(c.Visible());
  EXPECT_EQ(GetEnumProp(&c, "Visible"), "False");
}

TEST(PublishedProperties, EnumerationsTakeNamesOrNumbers) {
  TTestControl c(nullptr);
  SetEnumProp(&c, "Align", "alclient");
  EXPECT_EQ(c.Align(), alClient);
  EXPECT_EQ(GetEnumProp(&c, "Align"), "alClient");
  SetEnumProp(&c, "Align", "1");
  EXPECT_EQ(c.Align(), alTop);
  SetOrdProp(&c, "Align", 2);
  EXPECT_EQ(c.Align(), alBottom);

  const TPropInfo* align = GetPropInfo(&c, "Align");
  EXPECT_EQ(GetEnumValue(align, "ALNONE"), 0);
  EXPECT_EQ(GetEnumValue(align, "alLeft"), -1);
  EXPECT_EQ(GetEnumName(align, 3), "alClient");
  EXPECT_EQ(GetEnumName(align, 9), "");

  EXPECT_THROW(SetEnumProp(&c, "Align", "alLeft"), EPropertyError);
  EXPECT_THROW(SetOrdProp(&c, "Align", 4), ERangeError);  // never stores a value without a name
  EXPECT_THROW(SetOrdProp(&c, "Align", -1), ERangeError);
  EXPECT_EQ(c.Align(), alBottom);
}

TEST(PublishedProperties, SetsAsTextAndAsBits) {
  TTestControl c(nullptr);
  SetSetProp(&c, "Font.Style", "[fsBold, fsUnderline]");
  EXPECT_EQ(c.Font()->Style(), (TStyles{stBold, stUnderline}));
  EXPECT_EQ(GetSetProp(&c, "Font.Style"), "[fsBold,fsUnderline]");
  EXPECT_EQ(GetSetProp(&c, "Font.Style", false), "fsBold,fsUnderline");
  EXPECT_EQ(GetOrdProp(&c, "Font.Style"), 0b101);

  SetOrdProp(&c, "Font.Style", 0b010);
  EXPECT_EQ(c.Font()->Style(), TStyles{stItalic});
  SetSetProp(&c, "Font.Style", "[]");
  EXPECT_TRUE(c.Font()->Style().Empty());

  EXPECT_THROW(SetSetProp(&c, "Font.Style", "[fsBold,fsStrike]"), EPropertyError);
  EXPECT_TRUE(c.Font()->Style().Empty());  // a bad element changes nothing
  EXPECT_THROW(SetOrdProp(&c, "Font.Style", 0b1000), ERangeError);
}

TEST(PublishedProperties, ObjectPropertiesLeadToNestedObjects) {
  TTestControl c(nullptr);
  SetStrProp(&c, "Font.Name", "Consolas");
  EXPECT_EQ(c.Font()->Name(), "Consolas");
  SetOrdProp(&c, "Font.Size", 12);
  EXPECT_EQ(c.Font()->Size(), 12);

  TObject* items = GetObjectProp(&c, "Items");
  ASSERT_NE(items, nullptr);
  EXPECT_TRUE(items->Is<TStrings>());
  EXPECT_EQ(GetPropInfo(&c, "Items")->PropClass, TStrings::StaticClassInfo());

  TStringList source;
  source.Add("one");
  SetObjectProp(&c, "Items", &source);
  EXPECT_EQ(c.Items()->Text(), "one\r\n");
  TTestFont wrong;
  EXPECT_THROW(SetObjectProp(&c, "Items", &wrong), EPropertyError);
}

TEST(PublishedProperties, ReadOnlyAndMissingPropertiesAreRefused) {
  TTestControl c(nullptr);
  c.SetLeft(5);
  EXPECT_EQ(GetOrdProp(&c, "Width"), 105);
  EXPECT_FALSE(GetPropInfo(&c, "Width")->IsWritable());
  try {
    SetOrdProp(&c, "Width", 1);
    ADD_FAILURE();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Property Width is read-only");
  }
  EXPECT_EQ(GetPropInfo(&c, "Nothing"), nullptr);
  EXPECT_FALSE(IsPublishedProp(&c, "Nothing"));
  EXPECT_THROW(GetOrdProp(&c, "Nothing"), EPropertyError);
  EXPECT_THROW(SetStrProp(&c, "Font.Nothing", "x"), EPropertyError);
  EXPECT_THROW(SetStrProp(&c, "Left", "x"), EPropertyError);  // wrong kind
}

TEST(PublishedProperties, DescendantsInheritAndMayRedeclare) {
  TTestButton button(nullptr);
  SetStrProp(&button, "Caption", "OK");
  EXPECT_EQ(button.Caption(), "OK");
  SetStrProp(&button, "Name", "Button1");  // from TComponent
  EXPECT_EQ(button.Name(), "Button1");

  TTestEdit edit(nullptr);
  SetStrProp(&edit, "Text", "abc");
  EXPECT_EQ(edit.Text(), "abc");
  EXPECT_THROW(SetOrdProp(&edit, "Left", 3), EPropertyError);  // redeclared read-only

  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(&edit)) names.push_back(p->Name);
  const std::vector<std::string> expected = {"Name",  "Tag",     "Left",  "Caption",
                                             "Align", "Visible", "Accel", "ShortCut",
                                             "Font",  "Items",   "Width", "Text"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(GetPropList(&edit)[2]->Owner, TTestEdit::StaticClassInfo());
}

TEST(PublishedProperties, GenericTextAccessCoversEveryKind) {
  TTestControl c(nullptr);
  SetPropValue(&c, "Left", "-3");
  SetPropValue(&c, "Align", "alTop");
  SetPropValue(&c, "Font.Style", "[fsItalic]");
  SetPropValue(&c, "Caption", "x");
  EXPECT_EQ(GetPropValue(&c, "Left"), "-3");
  EXPECT_EQ(GetPropValue(&c, "Align"), "alTop");
  EXPECT_EQ(GetPropValue(&c, "Font.Style"), "[fsItalic]");
  EXPECT_EQ(GetPropValue(&c, "Caption"), "x");
  EXPECT_EQ(GetPropValue(&c, "Visible"), "True");
  EXPECT_THROW(SetPropValue(&c, "Left", "abc"), EConvertError);
  EXPECT_THROW(GetPropValue(&c, "Font"), EPropertyError);
}
