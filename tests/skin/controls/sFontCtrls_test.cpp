#include "skin/controls/sFontCtrls.h"

#include <gtest/gtest.h>

#include <cctype>

#include "framework/Strings.h"

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::vector<std::string> Names(const TFontFamilies& families) {
  std::vector<std::string> names;
  for (const auto& f : families) names.push_back(f->Name);
  return names;
}

TEST(FontFamilies, EachFamilyIsListedOnceWithItsKind) {
  TFontFamilies families;
  struct TReport {
    std::string Face;
    uint32_t Type;
  } const reports[] = {
      {"Arial", 4},
      {"", 4},       // an empty name after the first family is skipped
      {"ARIAL", 4},  // the same family again, in another script
      {"Courier", 1},
      {"Printer Font", 2},
      {"Odd", 0},
      {"Odd Both", 6},
      {std::string(40, 'x'), 4},
      {std::string(32, 'x') + "yz", 4},  // the same first 32 characters
  };
  for (const TReport& r : reports) AddFontFamily(families, r.Face, r.Type, SameIgnoringCase);
  EXPECT_EQ(Names(families), (std::vector<std::string>{"Arial", "Courier", "Printer Font", "Odd",
                                                       "Odd Both", std::string(32, 'x')}));
  const TFontKind kinds[] = {TFontKind::TrueType, TFontKind::Raster,  TFontKind::Device,
                             TFontKind::Unknown,  TFontKind::Unknown, TFontKind::TrueType};
  for (size_t i = 0; i < families.size(); ++i) EXPECT_EQ(families[i]->Kind, kinds[i]) << i;
}

TEST(FontFamilies, AnEmptyFirstNameIsKept) {
  TFontFamilies families;
  AddFontFamily(families, "", 4, SameIgnoringCase);
  AddFontFamily(families, "", 4, SameIgnoringCase);
  EXPECT_EQ(Names(families), (std::vector<std::string>{""}));
}

TEST(FontFamilies, TheFilterAndTheControlsOwnSayChooseTheItems) {
  TFontFamilies families;
  for (auto [face, type] :
       {std::pair{"Tahoma", 4u}, {"Fixedsys", 1u}, {"Printer", 2u}, {"Strange", 0u}, {"Arial", 4u}})
    AddFontFamily(families, face, type, SameIgnoringCase);
  struct TCase {
    const char* What;
    TFilterOptions Filter;
    bool HideArial;
    std::vector<std::string> Items;
  } const cases[] = {
      {"TrueType only, plus unknown kinds", {ShowTrueType}, false, {"Tahoma", "Strange", "Arial"}},
      {"everything", AllFontFilters, false, {"Tahoma", "Fixedsys", "Printer", "Strange", "Arial"}},
      {"raster and device",
       {ShowRaster, ShowPostScript},
       false,
       {"Fixedsys", "Printer", "Strange"}},
      {"nothing but unknown", {}, false, {"Strange"}},
      {"the control refuses one", {ShowTrueType}, true, {"Tahoma", "Strange"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TStringList items;
    items.Add("left over");
    int asked = 0;
    FillFontItems(items, families, c.Filter, [&](TFontClass& family) {
      ++asked;
      return !(c.HideArial && family.Name == "Arial");
    });
    EXPECT_EQ(asked, 5) << "every family is offered to the control";
    std::vector<std::string> names;
    for (int i = 0; i < items.Count(); ++i) {
      names.push_back(items[i]);
      EXPECT_EQ(static_cast<TFontClass*>(items.Objects(i))->Name, items[i]);
    }
    EXPECT_EQ(names, c.Items);
  }
}

}  // namespace
