#include "updater/UpdateList.h"

#include <array>

int SplitFields(std::vector<std::string>& fields, const std::string& separator,
                const std::string& line) {
  fields.clear();
  if (separator.empty()) {
    fields.push_back(line);
    return 1;
  }
  // Walks the line with the separator appended, so the last field ends like the others.
  const std::string work = line + separator;
  size_t start = 0;
  while (start < work.size()) {
    size_t at = work.find(separator, start);
    fields.push_back(work.substr(start, at - start));
    start = at + separator.size();
  }
  return static_cast<int>(fields.size());
}

std::vector<std::string> ListLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

std::vector<TUpdateListEntry> ParseUpdateList(std::string_view text) {
  std::vector<TUpdateListEntry> entries;
  std::vector<std::string> fields;
  for (const std::string& line : ListLines(text)) {
    if (SplitFields(fields, kUpdateFieldSeparator, line) < 3) continue;
    entries.push_back({fields[0], fields[1], fields[2]});
  }
  return entries;
}

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Names Windows opens as devices in every folder, with or without an extension.
bool IsDeviceName(std::string_view part) {
  std::string_view stem = part.substr(0, part.find('.'));
  // "CON .txt" is CON as well: blanks before the extension do not count.
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kFixed = {"CON", "PRN",    "AUX",
                                                             "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kFixed) {
    if (SameFileName(stem, device)) return true;
  }
  if (stem.size() == 4) {
    std::string_view kind = stem.substr(0, 3);
    char digit = stem[3];
    // COM1 to COM9 and LPT1 to LPT9; also the superscript digits ¹ ² ³ (Windows-1252).
    bool isDigit =
        (digit >= '1' && digit <= '9') || digit == '\xB9' || digit == '\xB2' || digit == '\xB3';
    if (isDigit && (SameFileName(kind, "COM") || SameFileName(kind, "LPT"))) return true;
  }
  return false;
}

bool IsPlainPart(std::string_view part) {
  if (part.empty() || part == "." || part == "..") return false;
  if (part.back() == '.' || part.back() == ' ') return false;
  for (char c : part) {
    unsigned char u = static_cast<unsigned char>(c);
    // ':' names a drive or an alternate data stream; the rest Windows refuses or expands.
    if (u < 0x20 || u == 0x7F) return false;
    if (c == ':' || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*') {
      return false;
    }
  }
  return !IsDeviceName(part);
}

}  // namespace

std::optional<std::string> LocalPathInFolder(std::string_view localName) {
  if (localName.empty()) return std::nullopt;
  // Rooted ("\x", "/x") and UNC names; drives fall to the ':' test of the parts.
  if (localName.front() == '\\' || localName.front() == '/') return std::nullopt;
  std::string path;
  size_t start = 0;
  for (;;) {
    size_t end = localName.find_first_of("\\/", start);
    std::string_view part = localName.substr(start, end - start);
    if (!IsPlainPart(part)) return std::nullopt;
    path.append(part);
    if (end == std::string_view::npos) break;
    path += '\\';
    start = end + 1;
  }
  // A limit well below MAX_PATH once the program folder is put in front.
  if (path.size() > 200) return std::nullopt;
  return path;
}

bool SameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}
