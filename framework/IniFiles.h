// TIniFile: settings in an INI file, read and written as Windows reads and writes them.
//
// Every call reads the file anew and every write goes to disk at once, so two objects on
// one file (or another program) see each other's changes. Section and key names are
// compared without regard to case; blanks around keys and values are dropped and a value
// enclosed in matching single or double quotes loses them. Writing creates the file and
// the section when they are missing and keeps every other line (comments included) where
// it was. Lines end with CR LF.
#pragma once

#include <string>

#include "framework/SysUtils.h"
#include "framework/System.h"

class TStrings;

K_EXCEPTION(EIniFileException, Exception);

class TIniFile : public TObject {
  K_CLASS(TIniFile, TObject)

  explicit TIniFile(const std::string& fileName);

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) const;
  // Raises EIniFileException "Unable to write to <file>" when the file cannot be written.
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  // Decimal, "$" or "0x" hexadecimal; the default for anything else.
  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const;
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  // Any non-zero number is true; writes "1" or "0".
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const;
  void WriteBool(const std::string& section, const std::string& ident, bool value);

  // Fill `strings` (cleared first): the keys of a section, the section names, or the
  // section's "key=value" lines.
  void ReadSection(const std::string& section, TStrings* strings) const;
  void ReadSections(TStrings* strings) const;
  void ReadSectionValues(const std::string& section, TStrings* strings) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& ident) const;
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& ident);
  // Writes are never held back; kept for callers that flush.
  void UpdateFile() {}

 private:
  std::string fileName_;
};
