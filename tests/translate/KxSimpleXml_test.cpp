#include "translate/KxSimpleXml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string ParseError(const std::string& text) {
  TKxSimpleXML xml(nullptr);
  try {
    xml.LoadFromString(text);
  } catch (const EKxSimpleXMLError& e) {
    return e.Message();
  }
  return "(no error)";
}

struct TErrorCase {
  const char* Input;
  const char* Message;
};

TEST(KxSimpleXmlReader, MalformedInputRaisesItsExactMessage) {
  const TErrorCase cases[] = {
      {"<a></b>", "Invalid XML Element: Erroneous end of tag, expecting </a> but </b> found"},
      {"<x:a></x:b>", "Invalid XML Element: Erroneous end of tag, expecting </a> but </x:b> found"},
      {"<a x=1/>",
       "Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' "
       "but \"1\"  found"},
      {"<a #='1'/>",
       "Invalid XML Element: Unexpected character in property declaration (\"#\" found)"},
      {"<a x y='1'/>",
       "Invalid XML Element: Unexpected character in property declaration (\"y\" found)"},
      {"hello <a/>", "Invalid Document: Unexpected text in file prolog"},
      {"< a/>", "Invalid XML Element: malformed tag found (no valid name)"},
      {"<a/x>", "Invalid XML Element: Expected end of tag but \"x\" found"},
      {"<a><!-- x -- y --></a>", "Invalid Comment: \"--\" not allowed inside comments"},
      {"<a><!-- x", "Invalid Comment: Unexpected end of data"},
      {"<a><![CDATA[x]]", "Invalid CDATA: Unexpected end of data"},
      {"<?xml-stylesheet href='a'/>", "Invalid Stylesheet: expected \"?\" but found \"/\""},
      {"<?xml-stylesheet href='a'", "Invalid Stylesheet: Unexpected end of data"},
      {"<?xml version='1.0'/>", "Invalid Header: expected \"?\" but found \"/\""},
      // End of data anywhere inside a tag, an attribute or a child list.
      {"", "Invalid XML Element: Unexpected end of data"},
      {"<a", "Invalid XML Element: Unexpected end of data"},
      {"<a x", "Invalid XML Element: Unexpected end of data"},
      {"<a x='1", "Invalid XML Element: Unexpected end of data"},
      {"<a>", "Invalid XML Element: Unexpected end of data"},
      {"<a><b>text", "Invalid XML Element: Unexpected end of data"},
      {"<a></a", "Invalid XML Element: Unexpected end of data"},
      {"<?xml version='1.0'", "Invalid Header: Unexpected end of data"},
      {"<!DOCTYPE a [ <!ELEMENT a ANY>", "Invalid Header: Unexpected end of data"},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(ParseError(c.Input), c.Message) << c.Input;
}

TEST(KxSimpleXmlReader, DeepNestingIsRefusedInsteadOfExhaustingTheStack) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "<a>";
  const std::string message = ParseError(text);
  EXPECT_NE(message.find("nested deeper than"), std::string::npos) << message;

  // A document at a reasonable depth still loads.
  std::string fine;
  for (int i = 0; i < 50; ++i) fine += "<a>";
  for (int i = 0; i < 50; ++i) fine += "</a>";
  EXPECT_EQ(ParseError(fine), "(no error)");
}

TEST(KxSimpleXmlReader, ReadsRootAttributesAndChildren) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<Form1 Caption='Datei &amp; Mehr'><sBitBtn1 Caption='Open'/></Form1>");
  TKxSimpleXMLElemClassic* root = xml.Root();
  EXPECT_EQ(root->Name(), "Form1");
  EXPECT_EQ(root->GetProps()->GetStringValue("Caption", "?"), "Datei & Mehr");
  ASSERT_EQ(root->GetChildren()->GetCount(), 1);
  EXPECT_EQ(root->GetChildren()->GetItem(0)->Name(), "sBitBtn1");
  EXPECT_EQ(root->GetChildren()->GetItem(0)->GetProps()->GetStringValue("Caption", ""), "Open");
  EXPECT_EQ(root->GetChildren()->GetItem(1), nullptr);
}

TEST(KxSimpleXmlReader, ValuesAreDecodedOnceAndNulReferencesStayText) {
  struct {
    const char* Input;
    const char* Value;
  } const cases[] = {
      {"<a>x &amp;lt; y</a>", "x &lt; y"},
      {"<a>&#228;&#xE4;&#0;</a>", "\xE4\xE4&#0;"},
      // Only the low byte of the number counts; a low byte 0 must not inject a NUL.
      {"<a>&#256;&#x141;</a>", "&#256;A"},
      {"<a>&AMP;&Lt;&gT;&apos;&QUOT;</a>", "&<>'\""},
      {"<a>&#65&#;&#x;&nbsp;&</a>", "&#65&#;&#x;&nbsp;&"},
      {"<a>&#-5;&#99999999999999999999999;</a>", "&#-5;\xFF"},
      {"<a>trailing  </a>", "trailing  "},
  };
  for (const auto& c : cases) {
    TKxSimpleXML xml(nullptr);
    xml.LoadFromString(c.Input);
    EXPECT_EQ(xml.Root()->Value(), c.Value) << c.Input;
  }
}

TEST(KxSimpleXmlReader, OnlyALoneTextChildBecomesTheValue) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<a><![CDATA[<b>]]></a>");
  EXPECT_EQ(xml.Root()->Value(), "");
  ASSERT_EQ(xml.Root()->GetChildren()->GetCount(), 1);
  auto* cdata = dynamic_cast<TKxSimpleXMLElemCData*>(xml.Root()->GetChildren()->GetItem(0));
  ASSERT_NE(cdata, nullptr);
  EXPECT_EQ(cdata->Value(), "<b>");

  xml.LoadFromString("<a>one<b/>two</a>");
  EXPECT_EQ(xml.Root()->Value(), "");
  EXPECT_EQ(xml.Root()->GetChildren()->GetCount(), 3);
}

TEST(KxSimpleXmlReader, ClosingNamesCompareWithoutCaseAndKeepTheNamespace) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<A></a>");
  EXPECT_EQ(xml.Root()->Name(), "A");
  xml.LoadFromString("<ns:a ns:x='1'></NS:A>");
  EXPECT_EQ(xml.Root()->Name(), "a");
  EXPECT_EQ(xml.Root()->NameSpace(), "ns");
  EXPECT_EQ(xml.Root()->FullName(), "ns:a");
  EXPECT_EQ(xml.Root()->GetProps()->GetItem(0)->NameSpace(), "ns");
  EXPECT_EQ(xml.Root()->GetProps()->GetItem(0)->FullName(), "ns:x");
}

TEST(KxSimpleXmlReader, PrologElementsAreReadBeforeTheRoot) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString(
      "\r\n<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\n"
      "<?xml-stylesheet type='text/xsl' href='a.xsl'?>\n"
      "<!DOCTYPE  root [ <!ELEMENT root ANY> ]  >\n"
      "<!-- made by hand -->\n"
      "<root>\xC3\xA4</root>");
  TKxSimpleXMLElemsProlog* prolog = xml.Prolog();
  ASSERT_EQ(prolog->GetCount(), 4);
  auto* header = dynamic_cast<TKxSimpleXMLElemHeader*>(prolog->GetItem(0));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->Version, "1.0");
  EXPECT_EQ(header->Encoding, "UTF-8");
  EXPECT_TRUE(header->Standalone);
  EXPECT_FALSE(header->HasProps());
  auto* sheet = dynamic_cast<TKxSimpleXMLElemSheet*>(prolog->GetItem(1));
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->GetProps()->GetStringValue("href", ""), "a.xsl");
  auto* docType = dynamic_cast<TKxSimpleXMLElemDocType*>(prolog->GetItem(2));
  ASSERT_NE(docType, nullptr);
  EXPECT_EQ(docType->Value(), "root [ <!ELEMENT root ANY> ]");
  EXPECT_EQ(prolog->GetItem(3)->Value(), " made by hand ");
  // The declared encoding is recorded only: the bytes stay as they were.
  EXPECT_EQ(xml.Root()->Value(), "\xC3\xA4");
}

TEST(KxSimpleXmlReader, CommentsKeepSingleDashesAndDashPairsBeforeTheEnd) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<a><!-- a-b --x> c --></a>");
  ASSERT_EQ(xml.Root()->GetChildren()->GetCount(), 1);
  EXPECT_EQ(xml.Root()->GetChildren()->GetItem(0)->Value(), " a-b --x> c ");
}

TEST(KxSimpleXmlReader, ParseEventsComeFromTheRootAndItsOwnChildrenOnly) {
  TKxSimpleXML xml(nullptr);
  std::vector<std::string> tags;
  xml.OnTagParsed = [&](TObject*, const std::string& name) { tags.push_back(name); };
  xml.LoadFromString("<root><a><deep/></a><b/></root>");
  EXPECT_EQ(tags, (std::vector<std::string>{"root"}));
  // Elements below the root are read without the document: only the root reports.
}

TEST(KxSimpleXmlReader, StreamsReadInBlocksGiveTheSameTreeAsMemory) {
  // Elements and values that straddle the 8191-byte blocks of a non-memory stream.
  std::string text = "<?xml version='1.0'?>\r\n<root>";
  for (int i = 0; i < 400; ++i)
    text += "<item n='" + std::to_string(i) + "' v='" +
            std::string(static_cast<size_t>(i % 97), 'x') + "'>text &amp; " + std::to_string(i) +
            "</item><!-- c --><![CDATA[d]]>";
  text += "</root>";
  const std::string path = ::testing::TempDir() + "kx_blocks.xml";
  {
    TFileStream out(path, fmCreate);
    out.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  }
  TKxSimpleXML fromMemory(nullptr);
  fromMemory.LoadFromString(text);
  TKxSimpleXML fromFile(nullptr);
  {
    TFileStream in(path, fmOpenRead);
    fromFile.LoadFromStream(&in);
  }
  std::remove(path.c_str());
  EXPECT_EQ(fromFile.Root()->GetChildren()->GetCount(), 1200);
  EXPECT_EQ(fromFile.SaveToString(), fromMemory.SaveToString());
}

TEST(KxSimpleXmlReader, MissingFileRaisesTheFileError) {
  TKxSimpleXML xml(nullptr);
  EXPECT_THROW(xml.LoadFromFile("/nonexistent/folder/file.xml"), EFOpenError);
}

TEST(KxSimpleXmlReader, LoadReplacesTheWholeTree) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<?xml version='1.0'?><a x='1'><b/></a>");
  xml.LoadFromString("<c/>");
  EXPECT_EQ(xml.Root()->Name(), "c");
  EXPECT_FALSE(xml.Root()->HasChildren());
  EXPECT_FALSE(xml.Root()->HasProps());
  EXPECT_EQ(xml.Prolog()->GetCount(), 0);
}

// ---- lists -------------------------------------------------------------------------------

TEST(KxSimpleXmlLists, LookupIgnoresCaseAndAnswersTheFirstDuplicate) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<r><item n='1'/><Item n='2'/><other/></r>");
  TKxSimpleXMLElems* children = xml.Root()->GetChildren();
  ASSERT_NE(children->FindNamed("ITEM"), nullptr);
  EXPECT_EQ(children->FindNamed("ITEM")->GetProps()->GetStringValue("n", ""), "1");
  EXPECT_EQ(children->FindNamed("missing"), nullptr);
  EXPECT_EQ(xml.Root()->GetProps()->Find("missing"), nullptr);
  EXPECT_EQ(children->GetCount(), 3);
}

TEST(KxSimpleXmlLists, AutoCreateAddsMissingElementsAndAttributes) {
  TKxSimpleXML xml(nullptr);
  xml.SetOptions(xml.Options() + sxoAutoCreate);
  xml.LoadFromString("<r/>");
  TKxSimpleXMLElem* made = xml.Root()->GetChildren()->FindNamed("new");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Name(), "new");
  EXPECT_EQ(xml.Root()->GetChildren()->GetCount(), 1);
  EXPECT_EQ(xml.Root()->GetProps()->GetStringValue("x", "fallback"), "fallback");
  EXPECT_EQ(xml.Root()->GetProps()->GetCount(), 1);
  EXPECT_EQ(xml.Root()->GetProps()->GetIntegerValue("n", 7), 7);
  EXPECT_EQ(xml.Root()->GetProps()->Find("n")->Value(), "7");
}

TEST(KxSimpleXmlLists, RenamingAndMovingKeepEveryListConsistent) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<r><a/><dup/><dup/></r>");
  TKxSimpleXMLElems* children = xml.Root()->GetChildren();
  children->GetItem(0)->SetName("renamed");
  EXPECT_EQ(children->FindNamed("a"), nullptr);
  EXPECT_EQ(children->FindNamed("renamed"), children->GetItem(0));

  // Moving the second of two same-named elements must take that one, not its twin.
  TKxSimpleXMLElem* second = children->GetItem(2);
  TKxSimpleXMLElem* target = children->GetItem(0);
  target->GetChildren()->Add(second);
  EXPECT_EQ(children->GetCount(), 2);
  EXPECT_NE(children->GetItem(1), second);
  EXPECT_EQ(target->GetChildren()->GetItem(0), second);
  EXPECT_EQ(second->Parent(), target);
  EXPECT_EQ(second->Container(), target->GetChildren());
}

TEST(KxSimpleXmlLists, NumbersReadAsMinusOneWhenNotNumeric) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<r n='42' w='x' big='5000000000'>12a</r>");
  TKxSimpleXMLProps* props = xml.Root()->GetProps();
  EXPECT_EQ(props->GetIntegerValue("n", 0), 42);
  EXPECT_EQ(props->GetIntegerValue("w", 0), -1);
  EXPECT_EQ(props->GetIntegerValue("big", 0), 5000000000LL);
  EXPECT_EQ(props->GetIntegerValue("none", 9), 9);
  EXPECT_EQ(xml.Root()->ValueAsInteger(), -1);
}

TEST(KxSimpleXmlLists, AssignCopiesTheWholeSubtree) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString("<r a='1'><b>text</b><!--c--><![CDATA[d]]></r>");
  TKxSimpleXMLElemClassic copy(nullptr);
  copy.Assign(xml.Root());
  EXPECT_EQ(copy.Name(), "r");
  EXPECT_EQ(copy.GetProps()->GetStringValue("a", ""), "1");
  ASSERT_EQ(copy.GetChildren()->GetCount(), 3);
  EXPECT_EQ(copy.GetChildren()->GetItem(0)->Value(), "text");
  EXPECT_NE(dynamic_cast<TKxSimpleXMLElemComment*>(copy.GetChildren()->GetItem(1)), nullptr);
  EXPECT_NE(dynamic_cast<TKxSimpleXMLElemCData*>(copy.GetChildren()->GetItem(2)), nullptr);
}

TEST(KxSimpleXmlDocument, IndentStringAcceptsBlanksAndTabsOnly) {
  TKxSimpleXML xml(nullptr);
  EXPECT_EQ(xml.IndentString(), "  ");
  xml.SetIndentString("\t ");
  EXPECT_EQ(xml.IndentString(), "\t ");
  xml.SetIndentString(" x");
  EXPECT_EQ(xml.IndentString(), "\t ");
}

// ---- writing -----------------------------------------------------------------------------

TEST(KxSimpleXmlWriter, EncodersFollowTheOptions) {
  EXPECT_EQ(EncodeXmlValue("A&\xFC"), "A&amp;&#xfc;");
  EXPECT_EQ(EncodeEntitiesOnly("A&\xFC"), "A&amp;\xFC");
  EXPECT_EQ(EncodeXmlValue("\"'<>"), "&quot;&apos;&lt;&gt;");

  TKxSimpleXML xml(nullptr);
  std::string v = "A&\xFC";
  xml.EncodeValue(v);
  EXPECT_EQ(v, "A&amp;&#xfc;");
  xml.SetOptions(TKxSimpleXMLOptions{sxoAutoEncodeEntity});
  v = "A&\xFC";
  xml.EncodeValue(v);
  EXPECT_EQ(v, "A&amp;\xFC");
  xml.SetOptions(TKxSimpleXMLOptions{});
  v = "A&\xFC";
  xml.EncodeValue(v);
  EXPECT_EQ(v, "A&\xFC");
}

TEST(KxSimpleXmlWriter, ElementsAreWrittenInTheirIndentedForms) {
  TKxSimpleXML xml(nullptr);
  TKxSimpleXMLElemClassic* root = xml.Root();
  root->SetName("r");
  root->GetChildren()->Add("b")->GetProps()->Add("x", "1");
  root->GetChildren()->Add("v", "a<b");
  auto* text = new TKxSimpleXMLElemText(root);
  root->GetChildren()->Add(text);  // empty text: writes nothing
  auto* comment = new TKxSimpleXMLElemComment(root);
  comment->SetValue(" note ");
  root->GetChildren()->Add(comment);
  auto* cdata = new TKxSimpleXMLElemCData(root);
  cdata->SetValue("<raw>");
  root->GetChildren()->Add(cdata);
  EXPECT_EQ(xml.SaveToString(),
            "<r>\r\n"
            "  <b x=\"1\"/>\r\n"
            "  <v>a&lt;b</v>\r\n"
            "  <!-- note -->\r\n"
            "  <![CDATA[<raw>]]>\r\n"
            "</r>\r\n");

  xml.SetOptions(xml.Options() - sxoAutoIndent);
  EXPECT_EQ(xml.SaveToString().substr(0, 15), "<r>\r\n<b x=\"1\"/>");
}

TEST(KxSimpleXmlWriter, PrologIsWrittenUnlessSwitchedOff) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString(
      "<?xml version='1.0' standalone='yes'?><!DOCTYPE r><?xml-stylesheet href='s'?><r/>");
  EXPECT_EQ(xml.SaveToString(),
            "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
            "<!DOCTYPE r>\r\n"
            "<?xml-stylesheet href=\"s\"?>\r\n"
            "<r/>\r\n");
  xml.SetOptions(xml.Options() + sxoDoNotSaveProlog);
  EXPECT_EQ(xml.SaveToString(), "<r/>\r\n");
}

TEST(KxSimpleXmlWriter, WrittenDocumentReadsBackTheSame) {
  const std::string source =
      "<Form1 Caption='Zeile &amp; \xE4' Tag=\"3\">\n"
      " <Items><Item Index='0' Value='&lt;KB&gt;'/><Item Index='1' Value='\"MB\"'/></Items>\n"
      " <Memo><![CDATA[line 1\r\nline 2]]></Memo>\n"
      " <Text>a &apos;b&apos; \xFC</Text>\n"
      "</Form1>";
  TKxSimpleXML first(nullptr);
  first.LoadFromString(source);
  const std::string written = first.SaveToString();
  TKxSimpleXML second(nullptr);
  second.LoadFromString(written);
  EXPECT_EQ(second.SaveToString(), written);
  EXPECT_EQ(second.Root()->GetProps()->GetStringValue("Caption", ""), "Zeile & \xE4");
  TKxSimpleXMLElem* items = second.Root()->GetChildren()->FindNamed("Items");
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->GetChildren()->GetItem(1)->GetProps()->GetStringValue("Value", ""), "\"MB\"");
  EXPECT_EQ(second.Root()->GetChildren()->FindNamed("Memo")->GetChildren()->GetItem(0)->Value(),
            "line 1\r\nline 2");
  EXPECT_EQ(second.Root()->GetChildren()->FindNamed("Text")->Value(), "a 'b' \xFC");
}

}  // namespace
