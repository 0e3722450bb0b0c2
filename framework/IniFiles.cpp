#include "framework/IniFiles.h"

#include <cstddef>
#include <cstdio>
#include <memory>
#include <vector>

#include "framework/Streams.h"
#include "framework/Strings.h"

namespace {

// The file as lines, with the positions of sections and keys worked out on demand.
struct TIniText {
  std::vector<std::string> lines;

  static bool IsComment(const std::string& trimmed) {
    return !trimmed.empty() && trimmed[0] == ';';
  }

  // Section name of a "[name]" line; false for any other line.
  static bool SectionOf(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    size_t close = t.find(']');
    name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
  }

  // Key and raw value of a "key=value" line; false for comments and lines without "=".
  static bool EntryOf(const std::string& line, std::string& key, std::string& value) {
    std::string t = Trim(line);
    if (t.empty() || IsComment(t) || t[0] == '[') return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
  }

  // [first, end) line ranges of the body of every section with that name.
  std::vector<std::pair<size_t, size_t>> Sections(const std::string& section) const {
    std::vector<std::pair<size_t, size_t>> result;
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!SectionOf(lines[i], name) || !AnsiSameText(name, section)) continue;
      size_t end = i + 1;
      std::string other;
      while (end < lines.size() && !SectionOf(lines[end], other)) ++end;
      result.emplace_back(i + 1, end);
    }
    return result;
  }

  // Line index of the key inside the section, or -1.
  std::ptrdiff_t FindKey(const std::string& section, const std::string& ident) const {
    std::string key, value;
    for (auto [first, end] : Sections(section)) {
      for (size_t i = first; i < end; ++i) {
        if (EntryOf(lines[i], key, value) && AnsiSameText(key, ident))
          return static_cast<std::ptrdiff_t>(i);
      }
    }
    return -1;
  }
};

TIniText Load(const std::string& fileName) {
  TIniText ini;
  if (!FileExists(fileName)) return ini;
  try {
    TStringList list;
    list.LoadFromFile(fileName);
    for (int i = 0; i < list.Count(); ++i) ini.lines.push_back(list[i]);
  } catch (const Exception&) {
    // An unreadable file reads as an empty one, as the system's profile functions do.
  }
  return ini;
}

void Save(const std::string& fileName, const TIniText& ini) {
  std::string text;
  for (const std::string& line : ini.lines) {
    text += line;
    text += "\r\n";
  }
  try {
    TFileStream stream(fileName, fmCreate);
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  } catch (const EStreamError&) {
    throw EIniFileException("Unable to write to " + fileName);
  }
}

// Values in matching single or double quotes lose them.
std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

TIniFile::TIniFile(const std::string& fileName) : fileName_(fileName) {}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) const {
  TIniText ini = Load(fileName_);
  std::ptrdiff_t i = ini.FindKey(section, ident);
  if (i < 0) return defaultValue;
  std::string key, value;
  TIniText::EntryOf(ini.lines[i], key, value);
  return Unquote(value);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) {
  TIniText ini = Load(fileName_);
  const std::string cleanIdent = Trim(ident);
  std::ptrdiff_t i = ini.FindKey(section, cleanIdent);
  if (i >= 0) {
    // Keep the key as it is spelt in the file; only the value changes.
    std::string key, old;
    TIniText::EntryOf(ini.lines[i], key, old);
    ini.lines[i] = key + "=" + value;
  } else {
    auto sections = ini.Sections(section);
    if (sections.empty()) {
      if (!ini.lines.empty() && !Trim(ini.lines.back()).empty()) ini.lines.push_back("");
      ini.lines.push_back("[" + section + "]");
      ini.lines.push_back(cleanIdent + "=" + value);
    } else {
      // After the section's last non-blank line, so blank separators stay below it.
      auto [first, end] = sections.front();
      size_t at = end;
      while (at > first && Trim(ini.lines[at - 1]).empty()) --at;
      ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(at),
                       cleanIdent + "=" + value);
    }
  }
  Save(fileName_, ini);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident,
                          int defaultValue) const {
  return StrToIntDef(ReadString(section, ident, ""), defaultValue);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident,
                        bool defaultValue) const {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TIniFile::ReadSection(const std::string& section, TStrings* strings) const {
  WhileUpdating(strings, [&] {
    strings->Clear();
    TIniText ini = Load(fileName_);
    std::string key, value;
    for (auto [first, end] : ini.Sections(section)) {
      for (size_t i = first; i < end; ++i) {
        if (TIniText::EntryOf(ini.lines[i], key, value)) strings->Add(key);
      }
    }
  });
}

void TIniFile::ReadSections(TStrings* strings) const {
  WhileUpdating(strings, [&] {
    strings->Clear();
    TIniText ini = Load(fileName_);
    std::string name;
    for (const std::string& line : ini.lines) {
      if (TIniText::SectionOf(line, name)) strings->Add(name);
    }
  });
}

void TIniFile::ReadSectionValues(const std::string& section, TStrings* strings) const {
  WhileUpdating(strings, [&] {
    strings->Clear();
    TIniText ini = Load(fileName_);
    std::string key, value;
    for (auto [first, end] : ini.Sections(section)) {
      for (size_t i = first; i < end; ++i) {
        if (TIniText::EntryOf(ini.lines[i], key, value)) strings->Add(key + "=" + Unquote(value));
      }
    }
  });
}

bool TIniFile::SectionExists(const std::string& section) const {
  return !Load(fileName_).Sections(section).empty();
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
  return Load(fileName_).FindKey(section, ident) >= 0;
}

void TIniFile::EraseSection(const std::string& section) {
  TIniText ini = Load(fileName_);
  auto sections = ini.Sections(section);
  if (sections.empty()) return;
  // Last first, so earlier ranges keep their positions; the header goes with its body.
  for (auto it = sections.rbegin(); it != sections.rend(); ++it) {
    ini.lines.erase(ini.lines.begin() + static_cast<std::ptrdiff_t>(it->first) - 1,
                    ini.lines.begin() + static_cast<std::ptrdiff_t>(it->second));
  }
  Save(fileName_, ini);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  TIniText ini = Load(fileName_);
  std::ptrdiff_t i = ini.FindKey(section, ident);
  if (i < 0) return;
  ini.lines.erase(ini.lines.begin() + i);
  Save(fileName_, ini);
}
