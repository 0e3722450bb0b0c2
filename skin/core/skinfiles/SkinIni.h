// The skin INI ("Options.dat") in memory: sections and keys in file order, names compared
// exactly (case-sensitive), blanks around keys and values dropped, a value being the text
// after the first "=". Lines that begin with ";" and empty lines are ignored; a section
// named twice collects its keys in its first place.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TSkinIni {
 public:
  struct TKey {
    std::string Name;
    std::string Value;
  };
  struct TSection {
    std::string Name;
    std::vector<TKey> Keys;
  };

  TSkinIni() = default;
  explicit TSkinIni(const std::string& text) { SetText(text); }

  // Lines end with CR LF, LF or CR.
  void SetText(const std::string& text);
  void SetLines(const std::vector<std::string>& lines);

  const std::vector<TSection>& Sections() const { return sections_; }
  const TSection* FindSection(const std::string& name) const;
  bool SectionExists(const std::string& name) const { return FindSection(name) != nullptr; }
  // The first key of that name in the section; nullptr when either is missing.
  const std::string* FindValue(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // The value as an integer (ParseSkinInteger); the default when missing or not a number.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;

 private:
  std::vector<TSection> sections_;
};

// Decimal with an optional sign and leading blanks, or hexadecimal after "$", "0x" or "x".
bool TryParseSkinInteger(const std::string& text, int& value);
// The same; raises EConvertError "'<text>' is not a valid integer value" otherwise.
int ParseSkinInteger(const std::string& text);
