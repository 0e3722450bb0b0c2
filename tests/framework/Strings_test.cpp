#include "framework/Strings.h"

#include <gtest/gtest.h>

#include "framework/Collection.h"
#include "framework/Lists.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

namespace {
std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> v;
  for (int i = 0; i < s.Count(); ++i) v.push_back(s[i]);
  return v;
}
using V = std::vector<std::string>;
}  // namespace

TEST(StringsText, SplitsAtEveryLineBreakStyle) {
  struct Case {
    const char* text;
    V lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks
      {"\r\n", {""}},
      {"a\r\n\r\n", {"a", ""}},
      {"x\ry\nz\r\nw", {"x", "y", "z", "w"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(Lines(list), c.lines) << "text: " << c.text;
  }
}

TEST(StringsText, JoinsEveryLineWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("a");
  list.Add("");
  list.Add("b");
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringsNamesValues, ReadAndWriteNameValueLines) {
  TStringList list;
  list.SetText("Language=de\nEmpty=\nNoValue\nPath=C:\\a=b\n");
  EXPECT_EQ(list.Values("language"), "de");
  EXPECT_EQ(list.Values("Path"), "C:\\a=b");  // only the first "=" separates
  EXPECT_EQ(list.Values("Missing"), "");
  EXPECT_EQ(list.Names(0), "Language");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.ValueFromIndex(3), "C:\\a=b");
  EXPECT_EQ(list.IndexOfName("EMPTY"), 1);
  EXPECT_EQ(list.IndexOfName("NoValue"), -1);

  list.SetValues("Language", "en");
  EXPECT_EQ(list[0], "Language=en");
  list.SetValues("New", "1");
  EXPECT_EQ(list[4], "New=1");
  list.SetValues("Language", "");
  EXPECT_EQ(list.IndexOfName("Language"), -1);
}

TEST(StringList, IndexErrorsNameTheIndex) {
  TStringList list;
  list.Add("a");
  try {
    list.Get(1);
    ADD_FAILURE();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (1)");
  }
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(2, "x"), EListError);
  EXPECT_THROW(list.SetObjects(5, nullptr), EListError);
}

TEST(StringList, SortedListsKeepOrderAndApplyTheDuplicatesRule) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupError);
  list.Add("delta");
  list.Add("Alpha");
  list.Add("charlie");
  EXPECT_EQ(Lines(list), (V{"Alpha", "charlie", "delta"}));
  try {
    list.Add("ALPHA");  // case-insensitive unless CaseSensitive
    ADD_FAILURE();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "String list does not allow duplicates");
  }
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);

  list.SetDuplicates(dupIgnore);
  EXPECT_EQ(list.Add("CHARLIE"), 1);  // answers the existing line
  EXPECT_EQ(list.Count(), 3);
  list.SetDuplicates(dupAccept);
  list.Add("Charlie");
  EXPECT_EQ(list.Count(), 4);

  int index = -1;
  EXPECT_TRUE(list.Find("charlie", index));
  EXPECT_EQ(index, 1);  // the first of equal lines
  EXPECT_FALSE(list.Find("bravo", index));
  EXPECT_EQ(index, 1);  // where it would go
  EXPECT_FALSE(list.Find("zulu", index));
  EXPECT_EQ(index, 4);
  EXPECT_EQ(list.IndexOf("DELTA"), 3);
  EXPECT_EQ(list.IndexOf("echo"), -1);
}

TEST(StringList, CaseSensitiveListsCompareExactly) {
  TStringList list;
  list.SetCaseSensitive(true);
  list.Add("abc");
  EXPECT_EQ(list.IndexOf("ABC"), -1);
  list.SetCaseSensitive(false);
  EXPECT_EQ(list.IndexOf("ABC"), 0);
  list.SetSorted(true);
  list.SetCaseSensitive(true);
  list.SetDuplicates(dupError);
  list.Add("ABC");  // differs only in case: not a duplicate now
  EXPECT_EQ(list.Count(), 2);
}

TEST(StringList, SortingKeepsObjectsWithTheirLines) {
  TStringList list;
  TObject a, b, c;
  list.AddObject("b", &b);
  list.AddObject("c", &c);
  list.AddObject("a", &a);
  list.Sort();
  EXPECT_EQ(Lines(list), (V{"a", "b", "c"}));
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.Objects(2), &c);
  list.CustomSort([](TStringList* l, int i, int j) { return CompareStr(l->Get(j), l->Get(i)); });
  EXPECT_EQ(Lines(list), (V{"c", "b", "a"}));
  EXPECT_EQ(list.IndexOfObject(&c), 0);
  list.Exchange(0, 2);
  EXPECT_EQ(list.Objects(0), &a);
  list.Move(0, 2);
  EXPECT_EQ(Lines(list), (V{"b", "c", "a"}));
  EXPECT_EQ(list.Objects(2), &a);
}

TEST(StringList, ChangeEventsFireOncePerUpdate) {
  TStringList list;
  int changes = 0, changings = 0;
  list.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changes;
  };
  list.OnChanging = [&](TObject*) { ++changings; };
  list.Add("a");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(changings, 1);
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.Delete(0);
  EXPECT_EQ(changes, 1);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
  list.SetText("x\ny\nz");
  EXPECT_EQ(changes, 3);  // Text is one change
}

TEST(StringList, AChangeThatFailsHalfwayStillEndsTheUpdate) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupError);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  TStringList twice;
  twice.SetText("a\na");
  EXPECT_THROW(list.Assign(&twice), EStringListError);
  EXPECT_THROW(list.SetCommaText("b,b"), EStringListError);
  EXPECT_EQ(list.UpdateCount(), 0);
  changes = 0;
  list.Add("c");
  EXPECT_EQ(changes, 1) << "change events are not held back after a failed change";
}

TEST(StringList, OwnedObjectsAreFreedWithTheirLines) {
  struct TCounted : TObject {
    explicit TCounted(int* n) : n_(n) { ++*n_; }
    ~TCounted() override { --*n_; }
    int* n_;
  };
  int alive = 0;
  {
    TStringList list;
    list.SetOwnsObjects(true);
    list.AddObject("a", new TCounted(&alive));
    list.AddObject("b", new TCounted(&alive));
    list.AddObject("c", new TCounted(&alive));
    list.Delete(0);
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 0);
}

TEST(Strings, CommaTextQuotesWhatNeedsIt) {
  TStringList list;
  list.Add("plain");
  list.Add("two words");
  list.Add("say \"hi\"");
  list.Add("");
  list.Add("a,b");
  EXPECT_EQ(list.CommaText(), "plain,\"two words\",\"say \"\"hi\"\"\",\"\",\"a,b\"");
  TStringList back;
  back.SetCommaText(list.CommaText());
  EXPECT_EQ(Lines(back), Lines(list));
  back.SetCommaText("a b, c,");
  EXPECT_EQ(Lines(back), (V{"a", "b", "c", ""}));
}

TEST(Strings, AssignAndAddStringsCopyLinesAndObjects) {
  TStringList a, b;
  TObject o;
  a.AddObject("x", &o);
  a.Add("y");
  b.Add("old");
  b.Assign(&a);
  EXPECT_EQ(Lines(b), (V{"x", "y"}));
  EXPECT_EQ(b.Objects(0), &o);
  b.AddStrings(&b);  // adding a list to itself doubles it once
  EXPECT_EQ(b.Count(), 4);
  EXPECT_TRUE(a.Equals(&a));
  EXPECT_FALSE(a.Equals(&b));
  EXPECT_THROW(b.Assign(nullptr), EConvertError);
}

TEST(Strings, StreamRoundTripKeepsTheLines) {
  TStringList list;
  list.SetText("eins\nzwei\xE4\n\ndrei");
  TMemoryStream stream;
  list.SaveToStream(&stream);
  EXPECT_EQ(stream.Size(), 21);
  stream.SetPosition(0);
  TStringList back;
  back.LoadFromStream(&stream);
  EXPECT_EQ(Lines(back), Lines(list));

  const std::string file = IncludeTrailingPathDelimiter(testing::TempDir()) + "kfw_strings.txt";
  list.SaveToFile(file);
  TStringList fromFile;
  fromFile.LoadFromFile(file);
  EXPECT_EQ(Lines(fromFile), Lines(list));
  DeleteFile(file);
  EXPECT_THROW(fromFile.LoadFromFile(file), EFOpenError);
}

TEST(HashedStringList, LookupsFollowChanges) {
  THashedStringList list;
  for (int i = 0; i < 1000; ++i) list.Add("key" + IntToStr(i) + "=" + IntToStr(i * 2));
  EXPECT_EQ(list.IndexOf("KEY10=20"), 10);
  EXPECT_EQ(list.IndexOfName("key999"), 999);
  list.Delete(0);
  EXPECT_EQ(list.IndexOfName("key999"), 998);
  EXPECT_EQ(list.IndexOfName("key0"), -1);
  list.Insert(0, "dup=1");
  list.Add("DUP=2");
  EXPECT_EQ(list.IndexOfName("dup"), 0);  // the first one
  list.SetStrings(0, "other=1");
  EXPECT_EQ(list.IndexOfName("dup"), 1000);
}

TEST(List, PointerListOperations) {
  TList list;
  int a = 1, b = 2, c = 3;
  list.Add(&a);
  list.Add(nullptr);
  list.Add(&b);
  list.Insert(0, &c);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.IndexOf(&b), 3);
  list.Pack();
  EXPECT_EQ(list.Count(), 3);
  list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  EXPECT_EQ(list.First(), &a);
  EXPECT_EQ(list.Last(), &c);
  list.Move(0, 2);
  EXPECT_EQ(list[2], &a);
  list.Exchange(0, 1);
  EXPECT_EQ(list[0], &c);
  EXPECT_EQ(list.Remove(&b), 1);
  EXPECT_EQ(list.Remove(&b), -1);
  try {
    list.Items(2);
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (2)");
  }
  list.SetCount(4);
  EXPECT_EQ(list[3], nullptr);
}

namespace {
class TNamedItem : public TCollectionItem {
  K_CLASS(TNamedItem, TCollectionItem)
  explicit TNamedItem(TCollection* c) : TCollectionItem(c) {}
  std::string Text;
  void Assign(TPersistent* source) override {
    if (source != nullptr && source->Is<TNamedItem>()) {
      Text = static_cast<TNamedItem*>(source)->Text;
      return;
    }
    TCollectionItem::Assign(source);
  }
  std::string GetDisplayName() const override { return Text; }
};
class TCountingCollection : public TCollection {
 public:
  explicit TCountingCollection(TPersistent* owner)
      : TCollection(TNamedItem::StaticClassInfo(), owner) {}
  int Updates = 0;

 protected:
  void Update(TCollectionItem*) override { ++Updates; }
};
}  // namespace

TEST(Collection, AddsMovesAssignsAndFreesItems) {
  TStringList owner;
  TCountingCollection items(&owner);
  auto* first = static_cast<TNamedItem*>(items.Add());
  first->Text = "one";
  auto* second = static_cast<TNamedItem*>(items.Add());
  second->Text = "two";
  EXPECT_EQ(items.Count(), 2);
  EXPECT_EQ(first->Collection(), &items);
  EXPECT_EQ(first->GetOwner(), &items);
  EXPECT_EQ(items.GetOwner(), &owner);
  EXPECT_EQ(second->Index(), 1);
  EXPECT_EQ(items.FindItemID(second->ID()), second);

  second->SetIndex(0);
  EXPECT_EQ(items.Items(0), second);
  EXPECT_EQ(first->Index(), 1);
  second->SetIndex(99);  // clamped
  EXPECT_EQ(second->Index(), 1);

  int before = items.Updates;
  items.BeginUpdate();
  items.Add();
  items.Delete(2);
  EXPECT_EQ(items.Updates, before);
  items.EndUpdate();
  EXPECT_EQ(items.Updates, before + 1);

  TCountingCollection copy(nullptr);
  copy.Add();
  copy.Assign(&items);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Items(0)->DisplayName(), "one");
  EXPECT_EQ(copy.Items(1)->DisplayName(), "two");

  delete first;  // an item freed directly leaves its collection
  EXPECT_EQ(items.Count(), 1);
  EXPECT_THROW(items.Items(1), EListError);
  TNamedItem* inserted = static_cast<TNamedItem*>(items.Insert(0));
  EXPECT_EQ(inserted->Index(), 0);
}

namespace {
// Reads every item's own part whenever it hears of a change, as a list view's columns do.
class TReadingCollection : public TCollection {
 public:
  TReadingCollection() : TCollection(TNamedItem::StaticClassInfo(), nullptr) {}
  std::vector<std::string> Seen;

 protected:
  void Update(TCollectionItem*) override {
    Seen.clear();
    for (int i = 0; i < Count(); ++i) Seen.push_back(static_cast<TNamedItem*>(Items(i))->Text);
  }
};
}  // namespace

TEST(Collection, HearsOfANewItemOnlyOnceTheItemIsWhole) {
  TReadingCollection items;
  items.Add();
  items.Add();
  EXPECT_EQ(items.Seen, (std::vector<std::string>{"", ""}));
}
