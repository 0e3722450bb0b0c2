#include "skin/adapters/skStaticText.h"

#include <cctype>

namespace {
constexpr uint32_t kTabStop = 0x10000;
constexpr uint32_t kStaticEdge = 0x20000;
constexpr uint32_t kExRight = 0x1000;

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The length of an anchor tag that starts at `at` ("<a", optional attributes, ">" or "</a>"
// with optional spaces); 0 when none starts there.
size_t AnchorTagAt(const std::string& text, size_t at) {
  size_t i = at;
  if (i >= text.size() || text[i] != '<') return 0;
  ++i;
  const bool closing = i < text.size() && text[i] == '/';
  if (closing) ++i;
  if (i >= text.size() || Lower(text[i]) != 'a') return 0;
  ++i;
  if (i >= text.size()) return 0;
  if (text[i] == '>') return i + 1 - at;
  if (!IsSpace(text[i])) return 0;  // "<abbr>" is no anchor
  const size_t end = text.find('>', i);
  if (end == std::string::npos) return 0;
  if (closing) {
    for (size_t k = i; k < end; ++k)
      if (!IsSpace(text[k])) return 0;
  }
  return end + 1 - at;
}
}  // namespace

bool StaticPaintsItself(uint32_t style, uint32_t exStyle) {
  return (style & kTabStop) != 0 || (exStyle & kStaticEdge) != 0;
}

uint32_t StaticTextFlags(uint32_t exStyle) {
  uint32_t flags = 0x150;  // DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP
  if (exStyle & kExRight) flags |= 0x2;
  return flags;
}

bool ShowsIcon(uint32_t style) { return (style & 0x3) == 0x3; }

std::string StripLinkMarkup(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (const size_t tag = AnchorTagAt(text, i)) {
      i += tag;
      continue;
    }
    shown += text[i++];
  }
  return shown;
}
