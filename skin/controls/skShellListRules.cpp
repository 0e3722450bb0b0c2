#include "skin/controls/skShellListRules.h"

#include <string>

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool SameLetter(char a, char b) { return a == b || UpperCase1251(a) == UpperCase1251(b); }

// pattern (no "*" in it) matches name at pos, "?" taking any character.
bool PartMatchesAt(std::string_view name, size_t pos, std::string_view part) {
  if (pos + part.size() > name.size()) return false;
  for (size_t i = 0; i < part.size(); ++i)
    if (part[i] != '?' && !SameLetter(part[i], name[pos + i])) return false;
  return true;
}

template <class F>
void ForEachWord(std::string_view text, F f) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start && f(text.substr(start, end - start))) return;
    start = end + 1;
  }
}

}  // namespace

char UpperCase1251(char c) {
  // Small letters of code page 1251 outside the two contiguous runs, with their capitals.
  static constexpr unsigned char kPairs[][2] = {
      {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D},
      {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xBC, 0xA3}, {0xB4, 0xA5},
      {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD}};
  unsigned char b = Byte(c);
  if ((b >= 'a' && b <= 'z') || b >= 0xE0) return static_cast<char>(b - 32);
  for (const auto& pair : kPairs)
    if (pair[0] == b) return static_cast<char>(pair[1]);
  return c;
}

bool MatchesFileMask(std::string_view name, std::string_view mask) {
  size_t star = mask.find('*');
  if (star == std::string_view::npos)
    return !name.empty() && name.size() == mask.size() && PartMatchesAt(name, 0, mask);
  std::string_view head = mask.substr(0, star);
  if (!PartMatchesAt(name, 0, head)) return false;
  size_t pos = head.size();
  size_t lastStar = mask.rfind('*');
  std::string_view tail = mask.substr(lastStar + 1);
  // The parts between stars take their first place after what came before; the tail must
  // end the name and may not reach back into what the other parts took.
  for (size_t from = star + 1; from <= lastStar;) {
    size_t next = mask.find('*', from);
    std::string_view part = mask.substr(from, next - from);
    from = next + 1;
    if (part.empty()) continue;
    size_t at = pos;
    while (at + part.size() <= name.size() && !PartMatchesAt(name, at, part)) ++at;
    if (at + part.size() > name.size()) return false;
    pos = at + part.size();
  }
  if (tail.size() > name.size() - pos) return false;
  return PartMatchesAt(name, name.size() - tail.size(), tail);
}

bool MatchesMaskList(std::string_view name, std::string_view masks) {
  bool matched = false;
  ForEachWord(masks, [&](std::string_view mask) { return matched = MatchesFileMask(name, mask); });
  return matched;
}

bool HasMaskWords(std::string_view masks) {
  bool any = false;
  ForEachWord(masks, [&](std::string_view) { return any = true; });
  return any;
}

int FindItemByPrefix(int count, int start, bool wrap, std::string_view prefix,
                     const std::function<std::string(int)>& nameOf) {
  if (count <= 0) return -1;
  if (start < 0 || start >= count) start = 0;
  auto begins = [&](int i) {
    std::string name = nameOf(i);
    if (name.size() < prefix.size()) return false;
    for (size_t k = 0; k < prefix.size(); ++k)
      if (UpperCase1251(name[k]) != UpperCase1251(prefix[k])) return false;
    return true;
  };
  for (int i = start; i < count; ++i)
    if (begins(i)) return i;
  if (wrap)
    for (int i = 0; i < start; ++i)
      if (begins(i)) return i;
  return -1;
}
