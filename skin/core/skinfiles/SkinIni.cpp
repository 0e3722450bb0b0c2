#include "skin/core/skinfiles/SkinIni.h"

#include <cstdint>

#include "framework/SysUtils.h"

namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

}  // namespace

bool TryParseSkinInteger(const std::string& text, int& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  }
  if (i >= text.size()) return false;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (hex ? !IsHexDigit(c) : (c < '0' || c > '9')) return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(hex ? HexValue(c) : c - '0');
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  // Hexadecimal colours fill all 32 bits (system colours are 0xFF0000xx).
  if (hex) {
    uint32_t bits = static_cast<uint32_t>(magnitude);
    value = static_cast<int>(negative ? 0u - bits : bits);
    return true;
  }
  if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
  value = negative ? static_cast<int>(0 - static_cast<int64_t>(magnitude))
                   : static_cast<int>(magnitude);
  return true;
}

int ParseSkinInteger(const std::string& text) {
  int value = 0;
  if (!TryParseSkinInteger(text, value))
    throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

void TSkinIni::SetText(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      if (i < text.size() || start < i) lines.push_back(text.substr(start, i - start));
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  SetLines(lines);
}

void TSkinIni::SetLines(const std::vector<std::string>& lines) {
  sections_.clear();
  index_.clear();
  TSection* current = nullptr;
  for (const std::string& raw : lines) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      std::string name = Trim(line.substr(1, line.size() - 2));
      const auto [at, added] = index_.emplace(name, sections_.size());
      if (added) sections_.push_back(TSection{std::move(name), {}});
      current = &sections_[at->second];
      continue;
    }
    size_t eq = line.find('=');
    if (!current || eq == std::string::npos) continue;
    current->Keys.push_back(TKey{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
  }
}

const TSkinIni::TSection* TSkinIni::FindSection(const std::string& name) const {
  const int index = IndexOfSection(name);
  return index < 0 ? nullptr : &sections_[static_cast<size_t>(index)];
}

int TSkinIni::IndexOfSection(const std::string& name) const {
  const auto found = index_.find(name);
  return found == index_.end() ? -1 : static_cast<int>(found->second);
}

const std::string* TSkinIni::FindValue(const std::string& section, const std::string& key) const {
  ++valueLookups_;
  const TSection* s = FindSection(section);
  if (!s) return nullptr;
  for (const TKey& k : s->Keys)
    if (k.Name == key) return &k.Value;
  return nullptr;
}

std::string TSkinIni::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const std::string* value = FindValue(section, key);
  return value ? *value : defaultValue;
}

int TSkinIni::ReadInteger(const std::string& section, const std::string& key,
                          int defaultValue) const {
  const std::string* text = FindValue(section, key);
  int value = 0;
  return text && TryParseSkinInteger(*text, value) ? value : defaultValue;
}
