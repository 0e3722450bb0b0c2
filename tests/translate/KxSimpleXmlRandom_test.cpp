// Bounded random input for the XML reader: whatever the bytes, it loads or raises its own
// error, and never reads or writes out of bounds (the native tree runs under sanitizers).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "translate/KxSimpleXml.h"

namespace {

// Pieces that steer random text into the reader's interesting states.
const char* const kPieces[] = {
    "<",         ">",     "/",         "</",   "/>",     "<a",     "</a>", "<b ",
    "x",         "=",     "'",         "\"",   " ",      "\n",     ":",    "ns:",
    "&",         "&amp;", "&#",        "&#x",  ";",      "0",      "9",    "<!--",
    "--",        "-->",   "<![CDATA[", "]]>",  "]",      "<?xml ", "?>",   "<?xml-stylesheet",
    "<!DOCTYPE", "[",     "\xE4",      "&#0;", "&#256;", "?"};

std::string RandomDocument(std::mt19937& random) {
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> coin(0, 9);
  std::string text;
  for (int i = length(random); i > 0; --i) {
    if (coin(random) == 0)
      text += static_cast<char>(byte(random));
    else
      text += kPieces[piece(random)];
  }
  return text;
}

void LoadOrRaiseOwnError(const std::string& text) {
  TKxSimpleXML xml(nullptr);
  try {
    xml.LoadFromString(text);
    xml.SaveToString();
  } catch (const EKxSimpleXMLError&) {
  }
}

TEST(KxSimpleXmlRandomInput, AnyTextLoadsOrRaisesTheReadersError) {
  std::mt19937 random(20261210);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = RandomDocument(random);
    EXPECT_NO_FATAL_FAILURE(LoadOrRaiseOwnError(text));
    ASSERT_NO_THROW(LoadOrRaiseOwnError(text)) << text;
  }
}

TEST(KxSimpleXmlRandomInput, TruncatedAndMutatedDocumentsNeverEscapeTheReader) {
  const std::string valid =
      "<?xml version='1.0' encoding='iso-8859-1'?>\r\n<!-- c -->\r\n<!DOCTYPE r [<!x>]>"
      "<Form1 Caption='A &amp; B' x:y=\"1\"><sBitBtn1 Caption='&#228;'/><Items>"
      "<Item Index='0' Value='KB'/></Items><Memo><![CDATA[a]b]]></Memo>text</Form1>";
  for (size_t cut = 0; cut <= valid.size(); ++cut)
    ASSERT_NO_THROW(LoadOrRaiseOwnError(valid.substr(0, cut))) << cut;
  std::mt19937 random(7);
  std::uniform_int_distribution<size_t> at(0, valid.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < 5000; ++i) {
    std::string text = valid;
    for (int k = 0; k < 3; ++k) text[at(random)] = static_cast<char>(byte(random));
    ASSERT_NO_THROW(LoadOrRaiseOwnError(text)) << text;
  }
}

}  // namespace
