#include "translate/KxTranslator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "framework/ShortCuts.h"
#include "framework/TypInfo.h"

namespace {

enum TTestAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTestStyle { tsBold, tsItalic, tsUnderline };
using TTestStyles = TSet<TTestStyle>;

// A sub-object reached through an object property.
class TTestFont : public TPersistent {
  K_CLASS_PUBLISHED(TTestFont, TPersistent)
  std::string name = "Arial";
  int size = 8;
};
K_PUBLISH(TTestFont) {
  p.Prop(
      "Name", [](TTestFont* f) { return f->name; },
      [](TTestFont* f, const std::string& v) { f->name = v; });
  p.Prop(
      "Size", [](TTestFont* f) { return f->size; }, [](TTestFont* f, int v) { f->size = v; });
}

class TTestPanel : public TCollectionItem {
  K_CLASS_PUBLISHED(TTestPanel, TCollectionItem)
  explicit TTestPanel(TCollection* c) : TCollectionItem(c) {}
  std::string text;
};
K_PUBLISH(TTestPanel) {
  p.Prop(
      "Text", [](TTestPanel* t) { return t->text; },
      [](TTestPanel* t, const std::string& v) { t->text = v; });
}

// One published property of each kind the translator handles.
class TTestControl : public TComponent {
  K_CLASS_PUBLISHED(TTestControl, TComponent)
  explicit TTestControl(TComponent* owner) : TComponent(owner) {
    items.Add("KB");
    items.Add("MB");
    items.Add("GB");
    panels.Add();
    panels.Add();
  }
  std::string caption = "Datei";
  std::string hint;
  int width = 10;
  TShortCut shortCut = 0;
  TTestAlignment alignment = taLeftJustify;
  bool visible = true;
  TTestStyles style;
  TStringList items;
  TTestFont font;
  TCollection panels{TTestPanel::StaticClassInfo()};
  std::string fixed = "fixed";
};
K_PUBLISH(TTestControl) {
  p.Prop(
      "Caption", [](TTestControl* c) { return c->caption; },
      [](TTestControl* c, const std::string& v) { c->caption = v; });
  p.Prop(
      "Hint", [](TTestControl* c) { return c->hint; },
      [](TTestControl* c, const std::string& v) { c->hint = v; });
  p.Prop(
      "Width", [](TTestControl* c) { return c->width; },
      [](TTestControl* c, int v) { c->width = v; });
  p.Prop(
      "ShortCut", [](TTestControl* c) { return c->shortCut; },
      [](TTestControl* c, TShortCut v) { c->shortCut = v; });
  p.Enum(
      "Alignment", [](TTestControl* c) { return c->alignment; },
      [](TTestControl* c, TTestAlignment v) { c->alignment = v; },
      {"taLeftJustify", "taRightJustify", "taCenter"});
  p.Prop(
      "Visible", [](TTestControl* c) { return c->visible; },
      [](TTestControl* c, bool v) { c->visible = v; });
  p.Set(
      "Style", [](TTestControl* c) { return c->style; },
      [](TTestControl* c, TTestStyles v) { c->style = v; }, {"tsBold", "tsItalic", "tsUnderline"});
  p.Prop("Items", [](TTestControl* c) { return static_cast<TStrings*>(&c->items); });
  p.Prop("Font", [](TTestControl* c) { return &c->font; });
  p.Prop("Panels", [](TTestControl* c) { return &c->panels; });
  p.Prop("Fixed", [](TTestControl* c) { return c->fixed; });  // read-only
}

// A small window: a root component owning two controls, one of which owns another.
class TranslatorFixture : public ::testing::Test {
 protected:
  TranslatorFixture() : form(nullptr) {
    form.SetName("Form1");
    button = new TTestControl(&form);
    button->SetName("sBitBtn1");
    box = new TTestControl(&form);
    box->SetName("sComboBox1");
    inner = new TTestControl(box);
    inner->SetName("Inner");
    translator = new TKxTranslator(&form);
    translator->SetName("KxTranslator1");
  }

  void Translate(const std::string& xml, TComponent* target = nullptr) {
    translator->Document()->LoadFromString(xml);
    translator->TranslateControl(target != nullptr ? target : &form);
  }

  TTestControl form;
  TTestControl* button;
  TTestControl* box;
  TTestControl* inner;
  TKxTranslator* translator;
};

TEST_F(TranslatorFixture, EachPropertyKindTakesItsAttribute) {
  Translate(
      "<Form1 Caption='Main' Width='120' ShortCut='Ctrl+O' Alignment='taCenter' Visible='0' "
      "Style='[tsBold,tsUnderline]' Hint='tip'/>");
  EXPECT_EQ(form.caption, "Main");
  EXPECT_EQ(form.width, 120);
  EXPECT_EQ(form.shortCut, TextToShortCut("Ctrl+O"));
  EXPECT_NE(form.shortCut, 0);
  EXPECT_EQ(form.alignment, taCenter);
  EXPECT_FALSE(form.visible);
  EXPECT_EQ(form.style, (TTestStyles{tsBold, tsUnderline}));
  EXPECT_EQ(form.hint, "tip");
}

TEST_F(TranslatorFixture, EnumerationsTakeNamesOrNumbers) {
  struct {
    const char* Text;
    TTestAlignment Expected;
  } const cases[] = {
      {"taCenter", taCenter}, {"2", taCenter},      {"TARIGHTJUSTIFY", taRightJustify},
      {"", taLeftJustify},    {"0", taLeftJustify}, {"noSuchName", taLeftJustify},
  };
  for (const auto& c : cases) {
    form.alignment = taRightJustify;
    if (c.Expected == taRightJustify) form.alignment = taCenter;
    Translate(std::string("<Form1 Alignment='") + c.Text + "'/>");
    EXPECT_EQ(form.alignment, c.Expected) << c.Text;
  }
}

TEST_F(TranslatorFixture, AnEnumerationOutOfRangeIsRefusedForThatAttributeOnly) {
  form.alignment = taRightJustify;
  Translate("<Form1 Alignment='7' Caption='still applied' Style='[tsNothing]' Width='5'/>");
  EXPECT_EQ(form.alignment, taRightJustify);
  EXPECT_EQ(form.caption, "still applied");
  EXPECT_TRUE(form.style.Empty());
  EXPECT_EQ(form.width, 5);
}

TEST_F(TranslatorFixture, IntegersThatAreNotNumbersBecomeMinusOne) {
  Translate("<Form1 Width='wide'/>");
  EXPECT_EQ(form.width, -1);
}

TEST_F(TranslatorFixture, OnlyTheFirstBackslashNBecomesALineBreak) {
  Translate("<Form1 Caption='Zeile 1\\nZeile 2\\nZeile 3'/>");
  EXPECT_EQ(form.caption, "Zeile 1\r\nZeile 2\\nZeile 3");
}

TEST_F(TranslatorFixture, NameAndReadOnlyPropertiesAreNeverWritten) {
  Translate("<Form1 Name='Renamed' Fixed='changed' Unknown='x' Caption='ok'/>");
  EXPECT_EQ(form.Name(), "Form1");
  EXPECT_EQ(form.fixed, "fixed");
  EXPECT_EQ(form.caption, "ok");
}

TEST_F(TranslatorFixture, OwnedComponentsAreFoundByNameAtAnyDepth) {
  Translate(
      "<Form1><SBITBTN1 Caption='Open'/><sComboBox1 Caption='Box'><Inner Caption='deep'/>"
      "</sComboBox1><NotThere Caption='x'/></Form1>");
  EXPECT_EQ(button->caption, "Open");
  EXPECT_EQ(box->caption, "Box");
  EXPECT_EQ(inner->caption, "deep");
}

TEST_F(TranslatorFixture, AControlNameIsCutAtItsFirstUnderscore) {
  form.SetName("Form1_2");
  Translate("<Form1 Caption='by prefix'/>");
  EXPECT_EQ(form.caption, "by prefix");
}

TEST_F(TranslatorFixture, TheElementIsFoundAnywhereInTheFile) {
  Translate("<Languages><English><Other/><Form1 Caption='found'/></English></Languages>");
  EXPECT_EQ(form.caption, "found");
  // A component can be translated on its own from its element.
  Translate("<Form1><sBitBtn1 Caption='alone'/></Form1>", button);
  EXPECT_EQ(button->caption, "alone");
}

TEST_F(TranslatorFixture, StringListEntriesAreReplacedByIndex) {
  Translate(
      "<Form1><sComboBox1><Items><Item Index='0' Value='KiB'/><Item Index='5' Value='x'/>"
      "<Item Index='-1' Value='bad'/><Item Index='word' Value='bad'/><Item Value='no index'/>"
      "<Item Index='2' Value='GiB'/></Items></sComboBox1></Form1>");
  EXPECT_EQ(box->items.Text(), "KiB\r\nMB\r\nGiB\r\n");
}

TEST_F(TranslatorFixture, ACDataSectionReplacesTheWholeStringList) {
  Translate("<Form1><Items><![CDATA[one\r\ntwo]]></Items></Form1>");
  EXPECT_EQ(form.items.Text(), "one\r\ntwo\r\n");
}

TEST_F(TranslatorFixture, SubObjectsAndCollectionItemsTakeTheirAttributes) {
  Translate(
      "<Form1><Font Name='Courier' Size='12'/><Panels><Panel Index='1' Text='second'/>"
      "<Panel Index='9' Text='x'/><Panel Index='-3' Text='x'/><Panel Index='0' Text='first'/>"
      "</Panels></Form1>");
  EXPECT_EQ(form.font.name, "Courier");
  EXPECT_EQ(form.font.size, 12);
  EXPECT_EQ(static_cast<TTestPanel*>(form.panels.Items(0))->text, "first");
  EXPECT_EQ(static_cast<TTestPanel*>(form.panels.Items(1))->text, "second");
}

TEST_F(TranslatorFixture, AChildNamedAfterAPlainPropertyIsSkippedAlone) {
  Translate("<Form1><Caption>not an object</Caption><sBitBtn1 Caption='after'/></Form1>");
  EXPECT_EQ(form.caption, "Datei");
  EXPECT_EQ(button->caption, "after");
}

TEST_F(TranslatorFixture, ExcludedClassesKeepTheirAttributesButTheirChildrenAreTranslated) {
  translator->AddExclusion(TTestControl::StaticClassInfo());
  Translate("<Form1 Caption='no'><sBitBtn1 Caption='no either'/><Font Name='Courier'/></Form1>");
  EXPECT_EQ(form.caption, "Datei");
  EXPECT_EQ(button->caption, "Datei");
  EXPECT_EQ(form.font.name, "Courier");
}

TEST_F(TranslatorFixture, ExcludedPropertiesAreLeftAlone) {
  translator->AddExclusion(TTestControl::StaticClassInfo(), "caption");
  translator->AddExclusion(TTestControl::StaticClassInfo(), "Items");
  Translate("<Form1 Caption='no' Width='3'><Items><I Index='0' Value='x'/></Items></Form1>");
  EXPECT_EQ(form.caption, "Datei");
  EXPECT_EQ(form.width, 3);
  EXPECT_EQ(form.items.Strings(0), "KB");
  EXPECT_TRUE(translator->IsPropertyExcluded(button, "CAPTION"));
  EXPECT_TRUE(translator->IsPropertyExcluded(button, "Name"));
  EXPECT_FALSE(translator->IsPropertyExcluded(button, "Width"));
  EXPECT_FALSE(translator->IsClassExcluded(button));

  // A whole-class entry stays whole when names are added afterwards.
  translator->AddExclusion(TTestControl::StaticClassInfo());
  translator->AddExclusion(TTestControl::StaticClassInfo(), "Width");
  EXPECT_TRUE(translator->IsClassExcluded(button));
  translator->ClearExclusions();
  EXPECT_FALSE(translator->IsClassExcluded(button));
  EXPECT_FALSE(translator->IsPropertyExcluded(button, "Name"));
}

TEST(KxTranslator, InheritsFromNamedWalksTheAncestors) {
  EXPECT_TRUE(TKxTranslator::InheritsFromNamed(TStringList::StaticClassInfo(), "tstrings"));
  EXPECT_TRUE(TKxTranslator::InheritsFromNamed(TKxTranslator::StaticClassInfo(), "TComponent"));
  EXPECT_FALSE(TKxTranslator::InheritsFromNamed(TStringList::StaticClassInfo(), "TCollection"));
}

TEST(KxTranslator, StringVariablesTakeEveryLineBreak) {
  TTestControl form(nullptr);
  form.SetName("Form1");
  auto* translator = new TKxTranslator(&form);
  auto* strings = new TKxTranslatorStrings(&form);
  strings->SetName("KxTranslatorStrings1");
  std::string greeting = "Hallo", other = "unchanged";
  strings->Add("Greeting", &greeting);
  strings->Add("Other", &other);
  translator->Document()->LoadFromString(
      "<Form1><KxTranslatorStrings1 Caption='ignored'><S Name='greeting' Value='Hi\\nthere\\nall'/>"
      "<S Name='Missing' Value='x'/></KxTranslatorStrings1></Form1>");
  translator->TranslateControl(&form);
  EXPECT_EQ(greeting, "Hi\r\nthere\r\nall");
  EXPECT_EQ(other, "unchanged");
}

TEST(KxTranslator, MissingOrMalformedFilesChangeNothingAndRaiseNothing) {
  TTestControl form(nullptr);
  form.SetName("Form1");
  auto* translator = new TKxTranslator(&form);
  EXPECT_NO_THROW(translator->TranslateForm("/nonexistent/main.xml", &form));
  EXPECT_EQ(form.caption, "Datei");

  const std::string path = ::testing::TempDir() + "kx_malformed.xml";
  std::ofstream(path, std::ios::binary) << "<Form1 Caption='x'><broken></Form1>";
  EXPECT_NO_THROW(translator->TranslateForm(path, &form));
  EXPECT_EQ(form.caption, "Datei");
  EXPECT_NO_THROW(translator->TranslateForm(path, nullptr));

  std::ofstream(path, std::ios::binary) << "<Form1 Caption='from file'/>";
  translator->TranslateForm(path, &form);
  EXPECT_EQ(form.caption, "from file");
  std::remove(path.c_str());
}

TEST(KxTranslator, FindElementSearchesDepthFirstOrOneLevel) {
  TKxTranslator translator(nullptr);
  translator.Document()->LoadFromString("<r><a><t n='deep'/></a><t n='flat'/></r>");
  TKxSimpleXMLElem* deep = translator.FindElement(nullptr, "T", true);
  ASSERT_NE(deep, nullptr);
  EXPECT_EQ(deep->GetProps()->GetStringValue("n", ""), "deep");
  TKxSimpleXMLElem* flat = translator.FindElement(nullptr, "t", false);
  ASSERT_NE(flat, nullptr);
  EXPECT_EQ(flat->GetProps()->GetStringValue("n", ""), "flat");
  EXPECT_EQ(translator.FindElement(nullptr, "R", false), translator.Document()->Root());
  EXPECT_EQ(translator.FindElement(nullptr, "none", true), nullptr);
}

}  // namespace
