#include "skin/core/pixels/skUtils.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

TCharSet MakeCharSet(std::string_view characters) {
  TCharSet set;
  for (char c : characters) set.set(static_cast<uint8_t>(c));
  return set;
}

int RectWidth(const TRect& r, bool clamp) {
  const int w = r.Right - r.Left;
  return clamp && w < 0 ? 0 : w;
}

int RectHeight(const TRect& r, bool clamp) {
  const int h = r.Bottom - r.Top;
  return clamp && h < 0 ? 0 : h;
}

TRect RectIntersection(const TRect& a, const TRect& b) {
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
}

bool RectsOverlap(const TRect& a, const TRect& b) {
  return !(a.Top >= b.Bottom || a.Left >= b.Right || b.Left >= a.Right || b.Top >= a.Bottom ||
           RectIsEmpty(b));
}

bool RectContainsRect(const TRect& outer, const TRect& inner) {
  auto contains = [&](int x, int y) {
    return x >= outer.Left && x <= outer.Right && y >= outer.Top && y <= outer.Bottom;
  };
  return contains(inner.Left, inner.Top) && contains(inner.Right, inner.Bottom);
}

namespace {

// Start (0-based) and length of word n, or false.
bool FindWord(int n, std::string_view text, const TCharSet& separators, size_t& start,
              size_t& length) {
  int count = 0;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && InCharSet(text[i], separators)) ++i;
    if (i == text.size()) break;
    const size_t begin = i;
    while (i < text.size() && !InCharSet(text[i], separators)) ++i;
    if (++count == n) {
      start = begin;
      length = i - begin;
      return true;
    }
  }
  return false;
}

}  // namespace

int WordCount(std::string_view text, const TCharSet& separators) {
  int count = 0;
  bool inWord = false;
  for (char c : text) {
    const bool separator = InCharSet(c, separators);
    if (!separator && !inWord) ++count;
    inWord = !separator;
  }
  return count;
}

int WordCountInSet(std::string_view text, const TCharSet& separators) {
  return WordCount(text, separators);
}

int WordPosition(int n, std::string_view text, const TCharSet& separators) {
  size_t start, length;
  return FindWord(n, text, separators, start, length) ? static_cast<int>(start) + 1 : 0;
}

int WordPositionInSet(int n, std::string_view text, const TCharSet& separators) {
  return WordPosition(n, text, separators);
}

std::string GetNthWord(int n, std::string_view text, const TCharSet& separators) {
  size_t start, length;
  if (!FindWord(n, text, separators, start, length)) return {};
  return std::string(text.substr(start, length));
}

int GetNthWordInt(int n, std::string_view text, const TCharSet& separators) {
  return StrToIntDef(GetNthWord(n, text, separators), 0);
}

std::string NextToken(std::string_view text, int& position, const TCharSet& separators) {
  if (position < 1 || static_cast<size_t>(position) > text.size()) return {};
  size_t i = static_cast<size_t>(position) - 1;
  const size_t begin = i;
  while (i < text.size() && !InCharSet(text[i], separators)) ++i;
  position = static_cast<int>(std::min(i + 1, text.size()) + 1);
  return std::string(text.substr(begin, i - begin));
}

std::string RemoveChar(std::string_view text, char c) {
  std::string result;
  result.reserve(text.size());
  for (char ch : text)
    if (ch != c) result += ch;
  return result;
}

std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText) {
  if (oldText.empty()) return std::string(text);
  std::string result;
  size_t pos = 0;
  for (size_t found; (found = text.find(oldText, pos)) != std::string_view::npos;
       pos = found + oldText.size()) {
    result.append(text.substr(pos, found - pos));
    result.append(newText);
  }
  result.append(text.substr(pos));
  return result;
}

std::string MakeCharString(int length, char c) {
  return length < 1 ? std::string() : std::string(static_cast<size_t>(length), c);
}

std::string NormalizeDirPath(const std::string& path) {
  std::string result = path;
  if (result.empty() || result.back() == '\\') return result;
  if (result.back() == '/')
    result.back() = '\\';
  else
    result.append(result.size() == 1 ? ":\\" : "\\");
  return result;
}

bool FolderExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

void SplitIniSections(const TStrings& lines, TStringList& result) {
  result.SetOwnsObjects(true);
  result.Clear();
  TStringList* current = nullptr;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& line = lines.Strings(i);
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      auto section = std::make_unique<TStringList>();
      current = section.get();
      result.AddObject(line.substr(1, line.size() - 2), section.release());
    } else if (current) {
      current->Add(line);
    }
  }
}

std::string ReadSectionString(const TStringList& sections, const std::string& section,
                              const std::string& defaultValue, const std::string& key) {
  const int s = sections.IndexOf(section);
  if (s < 0) return defaultValue;
  const auto* lines = dynamic_cast<const TStrings*>(sections.Objects(s));
  if (!lines) return defaultValue;
  const int k = lines->IndexOfName(key);
  if (k < 0) return defaultValue;
  const std::string& line = lines->Strings(k);
  return line.size() > key.size() + 1 ? line.substr(key.size() + 1) : std::string();
}

int ReadSectionInteger(const TStringList& sections, const std::string& section, int defaultValue,
                       const std::string& key) {
  // The framework's integer reading takes "0x" hexadecimal as well as decimal.
  int value;
  return TryStrToInt(ReadSectionString(sections, section, "", key), value) ? value : defaultValue;
}

// ---- published properties -----------------------------------------------------------------

namespace {

const TPropInfo* OrdinalProp(TObject* object, const std::string& name) {
  const TPropInfo* prop = object ? GetPropInfo(object, name) : nullptr;
  return prop && prop->GetOrd ? prop : nullptr;
}

// The bit of the element in the set property; -1 when either is unknown.
int SetElementBit(const TPropInfo* prop, const std::string& element) {
  if (!prop || prop->Kind != tkSet) return -1;
  const int value = GetEnumValue(prop, element);
  return value >= 0 && value < 64 ? value : -1;
}

}  // namespace

bool HasProperty(TObject* object, const std::string& name) {
  return object && GetPropInfo(object, name) != nullptr;
}

int64_t GetOrdProperty(TObject* object, const std::string& name) {
  const TPropInfo* prop = OrdinalProp(object, name);
  return prop ? prop->GetOrd(object) : -1;
}

void SetOrdProperty(TObject* object, const std::string& name, int64_t value) {
  const TPropInfo* prop = OrdinalProp(object, name);
  if (prop && prop->SetOrd) SetOrdProp(object, prop, value);
}

TObject* GetObjectProperty(TObject* object, const std::string& name) {
  const TPropInfo* prop = object ? GetPropInfo(object, name) : nullptr;
  return prop && prop->Kind == tkClass && prop->GetObj ? prop->GetObj(object) : nullptr;
}

bool SetPropContains(TObject* object, const std::string& setName, const std::string& element) {
  const TPropInfo* prop = OrdinalProp(object, setName);
  const int bit = SetElementBit(prop, element);
  return bit >= 0 && (static_cast<uint64_t>(prop->GetOrd(object)) >> bit) & 1;
}

void ChangeSetProp(TObject* object, const std::string& setName, const std::string& element,
                   bool include) {
  const TPropInfo* prop = OrdinalProp(object, setName);
  const int bit = SetElementBit(prop, element);
  if (bit < 0 || !prop->SetOrd) return;
  uint64_t bits = static_cast<uint64_t>(prop->GetOrd(object));
  const uint64_t mask = uint64_t{1} << bit;
  bits = include ? bits | mask : bits & ~mask;
  prop->SetOrd(object, static_cast<int64_t>(bits));
}
