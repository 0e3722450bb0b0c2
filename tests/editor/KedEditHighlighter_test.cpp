#include "editor/KedEditHighlighter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/KedHighlighterGeneral.h"
#include "editor/KedHighlighterSQL.h"
#include "framework/SysUtils.h"

namespace {

// Records every change notice with its sender.
struct TNoticeLog {
  std::vector<TObject*> Senders;
  TNotifyEvent Hook() {
    return [this](TObject* sender) { Senders.push_back(sender); };
  }
};

// A highlighter whose sample source can be stored, to see whether Assign copies it.
class TSampleHl : public TKedGeneralHl {
  K_CLASS(TSampleHl, TKedGeneralHl)
  using TKedGeneralHl::TKedGeneralHl;
  std::string SampleSource() const override { return sample_; }
  void StoreSampleSource(const std::string& value) override { sample_ = value; }
  void AddExtraAttribute(const std::string& name) {
    AddAttribute(new TKedHighlighterAttributes(name));
  }

 private:
  std::string sample_;
};

}  // namespace

TEST(KedEditHighlighter, AttributeAtAnswersNilOutsideTheList) {
  TKedGeneralHl hl(nullptr);
  EXPECT_EQ(hl.AttributeAt(-1), nullptr);
  EXPECT_EQ(hl.AttributeAt(hl.AttributeCount()), nullptr);
  EXPECT_NE(hl.AttributeAt(hl.AttributeCount() - 1), nullptr);
}

TEST(KedEditHighlighter, AddingASecondAttributeOfTheSameNameFails) {
  TSampleHl hl(nullptr);
  EXPECT_THROW(hl.AddExtraAttribute("Comment"), EStringListError);
  EXPECT_EQ(hl.AttributeCount(), 8);
  hl.AddExtraAttribute("Extra");
  EXPECT_EQ(hl.AttributeCount(), 9);
}

TEST(KedEditHighlighter, EnabledNotifiesOnlyWhenItChanges) {
  TKedGeneralHl hl(nullptr);
  TNoticeLog log;
  hl.AddChangeHook(log.Hook());
  hl.SetEnabled(true);
  EXPECT_TRUE(log.Senders.empty());
  hl.SetEnabled(false);
  EXPECT_EQ(log.Senders, (std::vector<TObject*>{nullptr}));
}

TEST(KedEditHighlighter, AttributeNotifiesOnlyRealChangesWithItselfAsSender) {
  TKedGeneralHl hl(nullptr);
  TNoticeLog log;
  hl.AddChangeHook(log.Hook());
  TKedHighlighterAttributes* attr = hl.StringAttri();
  attr->SetForeground(attr->Foreground());
  attr->SetBackground(attr->Background());
  attr->SetStyle(attr->Style());
  EXPECT_TRUE(log.Senders.empty());
  attr->SetForeground(clRed);
  attr->SetStyle({fsUnderline});
  EXPECT_EQ(log.Senders, (std::vector<TObject*>{attr, attr}));
  EXPECT_TRUE(attr->ForegroundStored());
  EXPECT_FALSE(attr->BackgroundStored());
}

TEST(KedEditHighlighter, RemovingAHookRemovesEveryRegistrationOfIt) {
  TKedGeneralHl hl(nullptr);
  TNoticeLog log, other;
  TNotifyEvent hook = log.Hook();
  hl.AddChangeHook(hook);
  hl.AddChangeHook(other.Hook());
  hl.AddChangeHook(hook);
  hl.SetEnabled(false);
  EXPECT_EQ(log.Senders.size(), 2u);
  hl.RemoveChangeHook(hook);
  hl.SetEnabled(true);
  EXPECT_EQ(log.Senders.size(), 2u);
  EXPECT_EQ(other.Senders.size(), 2u);
}

TEST(KedEditHighlighter, LoadingSuppressesNoticesAndEndsWithOne) {
  TComponent form(nullptr);
  auto* hl = new TKedSQLHl(&form);
  TNoticeLog log;
  hl->AddChangeHook(log.Hook());
  form.BeginLoading();
  hl->SetSQLDialect(sqlMySQL);
  hl->KeyAttri()->SetForeground(clBlue);
  EXPECT_TRUE(log.Senders.empty());
  form.EndLoading();
  EXPECT_EQ(log.Senders, (std::vector<TObject*>{nullptr}));
}

TEST(KedEditHighlighter, AssignBetweenClassesCopiesMatchingAttributesAndSettings) {
  TKedSQLHl sql(nullptr);
  sql.CommentAttri()->SetForeground(clGreen);
  sql.StringAttri()->SetStyle({fsBold});
  sql.VariableAttri()->SetForeground(clRed);  // the general highlighter has no "Variable"
  sql.SetEnabled(false);
  TKedCharSet breaks;
  breaks.set('x');
  sql.AssignWordBreakChars(breaks);

  TSampleHl general(nullptr);
  general.StoreSampleSource("kept");
  general.Assign(&sql);
  EXPECT_EQ(general.CommentAttri()->Foreground(), clGreen);
  EXPECT_EQ(general.StringAttri()->Style(), (TFontStyles{fsBold}));
  EXPECT_EQ(general.WordBreakChars(), breaks);
  EXPECT_EQ(general.GetDefaultFilter(), "SQL Files (*.sql)|*.sql");
  EXPECT_FALSE(general.Enabled());
  EXPECT_EQ(general.SampleSource(), "kept");

  TSampleHl copy(nullptr);
  copy.Assign(&general);
  EXPECT_EQ(copy.SampleSource(), "kept");
}

TEST(KedEditHighlighter, AttributeAssignTakesNameColoursAndStyleAsOneChange) {
  TKedHighlighterAttributes a("A"), b("B");
  b.SetForeground(clRed);
  b.SetBackground(clBlue);
  b.SetStyle({fsItalic});
  int changes = 0;
  a.OnChange = [&changes](TObject*) { ++changes; };
  a.Assign(&b);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(a.Name(), "B");
  EXPECT_EQ(a.Foreground(), clRed);
  EXPECT_EQ(a.Background(), clBlue);
  EXPECT_EQ(a.Style(), (TFontStyles{fsItalic}));
}

TEST(KedEditHighlighter, BaseDefaultsDescribeAnUnknownLanguage) {
  TKedGeneralHl hl(nullptr);
  const TKedCharSet breaks = hl.WordBreakChars();
  for (int c = 0; c < 256; ++c) {
    const bool expected =
        std::string("!\"'()*+,-./:;=?[\\]^{}|").find(static_cast<char>(c)) != std::string::npos &&
        c != 0;
    EXPECT_EQ(breaks.test(static_cast<size_t>(c)), expected) << c;
  }
  EXPECT_EQ(hl.GetDefaultFilter(), "");
  EXPECT_TRUE(hl.FilterIsStored());
  EXPECT_TRUE(hl.Enabled());
  EXPECT_GE(GetPlaceableHighlighters().IndexOf(TKedGeneralHl::StaticClassInfo()), 0);
}
