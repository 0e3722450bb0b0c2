// The skin INI ("Options.dat") in memory: sections and keys in file order, names compared
// exactly (case-sensitive), blanks around keys and values dropped, a value being the text
// after the first "=". Lines that begin with ";" and empty lines are ignored; a section
// named twice collects its keys in its first place.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The largest skin INI text a skin may have: many times any real skin's, and small enough that
// reading it cannot cost much time or memory.
constexpr int64_t kMaxSkinIniSize = 4 * 1024 * 1024;

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
  // Through an index of the names, so finding a section does not grow with the skin.
  const TSection* FindSection(const std::string& name) const;
  // The section's position in Sections(), -1 when there is none of that name.
  int IndexOfSection(const std::string& name) const;
  bool SectionExists(const std::string& name) const { return FindSection(name) != nullptr; }
  // The first key of that name in the section; nullptr when either is missing.
  const std::string* FindValue(const std::string& section, const std::string& key) const;
  // How many times FindValue was asked (tests check that reading a skin asks a bounded number
  // of times per section, whatever its PARENTCLASS chains).
  uint64_t ValueLookups() const { return valueLookups_; }
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // The value as an integer (ParseSkinInteger); the default when missing or not a number.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;

 private:
  std::vector<TSection> sections_;
  std::unordered_map<std::string, size_t> index_;  // name -> position in sections_
  mutable uint64_t valueLookups_ = 0;
};

// Decimal with an optional sign and leading blanks, or hexadecimal after "$", "0x" or "x".
bool TryParseSkinInteger(const std::string& text, int& value);
// The same; raises EConvertError "'<text>' is not a valid integer value" otherwise.
int ParseSkinInteger(const std::string& text);
