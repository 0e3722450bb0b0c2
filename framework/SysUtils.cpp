#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>


void Abort() { throw EAbort(""); }

// ---- numbers <-> text ---------------------------------------------------------------

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(int64_t value, int digits) {
  static const char hex[] = "0123456789ABCDEF";
  uint64_t v = static_cast<uint64_t>(value);
  std::string s;
  do {
    s.insert(s.begin(), hex[v & 15]);
    v >>= 4;
  } while (v != 0);
  if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
  return s;
}

namespace {

// The classic Val: leading blanks, a sign, decimal or "$"/"0x" hexadecimal, nothing after.
// Hexadecimal wraps into the integer's width (so "$FFFFFFFF" is -1 for 32 bits).
bool ParseInteger(const std::string& text, int bits, int64_t& result) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return false;
  uint64_t value = 0;
  const uint64_t hexLimit = bits == 64 ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull;
  for (; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    if (hex) {
      if (value > (hexLimit >> 4)) return false;
      value = value * 16 + digit;
    } else {
      if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) return false;
      value = value * 10 + digit;
    }
  }
  int64_t signedValue;
  if (hex) {
    signedValue = bits == 64
                      ? static_cast<int64_t>(value)
                      : static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(value)));
    if (negative) signedValue = static_cast<int64_t>(0 - static_cast<uint64_t>(signedValue));
  } else {
    const uint64_t maxPositive = bits == 64 ? uint64_t{INT64_MAX} : uint64_t{INT32_MAX};
    if (value > maxPositive + (negative ? 1 : 0)) return false;
    signedValue = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
  }
  result = signedValue;
  return true;
}

[[noreturn]] void InvalidInteger(const std::string& text) {
  throw EConvertError("'" + text + "' is not a valid integer value");
}

}  // namespace

bool TryStrToInt(const std::string& text, int& value) {
  int64_t v;
  if (!ParseInteger(text, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(const std::string& text, int64_t& value) {
  return ParseInteger(text, 64, value);
}

int StrToInt(const std::string& text) {
  int v;
  if (!TryStrToInt(text, v)) InvalidInteger(text);
  return v;
}

int64_t StrToInt64(const std::string& text) {
  int64_t v;
  if (!TryStrToInt64(text, v)) InvalidInteger(text);
  return v;
}

int StrToIntDef(const std::string& text, int fallback) {
  int v;
  return TryStrToInt(text, v) ? v : fallback;
}

std::string BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? "True" : "False";
  return value ? "-1" : "0";
}

// ---- text ------------------------------------------------------------------------------

std::string TrimLeft(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  return s.substr(i);
}

std::string TrimRight(const std::string& s) {
  size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
  return s.substr(0, n);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Windows-1252 letters: ASCII, the Latin-1 block (without × and ÷; ß and ÿ/Ÿ apart) and
// Š, Œ, Ž in the 0x80 block.
unsigned char AnsiUpperByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A:
      return 0x8A;
    case 0x9C:
      return 0x8C;
    case 0x9E:
      return 0x8E;
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}
unsigned char AnsiLowerByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

template <class F>
int CompareBy(const std::string& a, const std::string& b, F fold) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = fold(static_cast<unsigned char>(a[i]));
    int cb = fold(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = AsciiLower(c);
  return r;
}

std::string AnsiUpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = static_cast<char>(AnsiUpperByte(static_cast<unsigned char>(c)));
  return r;
}

std::string AnsiLowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = static_cast<char>(AnsiLowerByte(static_cast<unsigned char>(c)));
  return r;
}

int CompareStr(const std::string& a, const std::string& b) {
  return CompareBy(a, b, [](unsigned char c) { return c; });
}

int CompareText(const std::string& a, const std::string& b) {
  return CompareBy(a, b, [](unsigned char c) { return static_cast<unsigned char>(AsciiUpper(c)); });
}

int AnsiCompareStr(const std::string& a, const std::string& b) { return CompareStr(a, b); }

int AnsiCompareText(const std::string& a, const std::string& b) {
  return CompareBy(a, b, [](unsigned char c) { return AnsiLowerByte(c); });
}

bool SameText(const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }
bool AnsiSameText(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

std::string QuotedStr(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r + "'";
}

std::string StringReplace(const std::string& s, const std::string& oldPattern,
                          const std::string& newPattern, TReplaceFlags flags) {
  if (oldPattern.empty()) return s;
  const bool ignoreCase = (flags & rfIgnoreCase) != 0;
  const std::string hay = ignoreCase ? AnsiUpperCase(s) : s;
  const std::string needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
  std::string result;
  size_t from = 0;
  while (true) {
    size_t at = hay.find(needle, from);
    if (at == std::string::npos) break;
    result.append(s, from, at - from);
    result += newPattern;
    from = at + needle.size();
    if ((flags & rfReplaceAll) == 0) break;
  }
  result.append(s, from, std::string::npos);
  return result;
}

int Pos(const std::string& sub, const std::string& s) {
  if (sub.empty()) return 0;
  size_t at = s.find(sub);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

int Pos(char c, const std::string& s) {
  size_t at = s.find(c);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(const std::string& s, int index, int count) {
  if (index < 1) index = 1;
  const int size = static_cast<int>(s.size());
  if (index > size || count <= 0) return std::string();
  count = std::min(count, size - index + 1);
  return s.substr(index - 1, count);
}

void Delete(std::string& s, int index, int count) {
  const int size = static_cast<int>(s.size());
  if (index < 1 || index > size || count <= 0) return;
  s.erase(index - 1, std::min(count, size - index + 1));
}

void Insert(const std::string& source, std::string& s, int index) {
  if (index < 1) index = 1;
  if (index > static_cast<int>(s.size()) + 1) index = static_cast<int>(s.size()) + 1;
  s.insert(index - 1, source);
}

int LastDelimiter(const std::string& delimiters, const std::string& s) {
  size_t at = s.find_last_of(delimiters);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

// ---- Format -------------------------------------------------------------------------------

namespace {

[[noreturn]] void FormatError(const std::string& format) {
  throw EConvertError("Format '" + format + "' invalid or incompatible with argument");
}

std::string InsertThousands(const std::string& digits) {
  // `digits` is the integer part without sign.
  std::string r;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) r += ',';
    r += digits[i];
  }
  return r;
}

// Exponent with sign and at least three digits: "E+003".
std::string FixExponent(std::string s) {
  size_t e = s.find('E');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  char sign = '+';
  size_t i = e + 1;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) sign = s[i++];
  std::string digits = s.substr(i);
  if (digits.size() < 3) digits.insert(digits.begin(), 3 - digits.size(), '0');
  mantissa += 'E';
  mantissa += sign;
  mantissa += digits;
  return mantissa;
}

std::string FormatFloatKind(char type, double v, int prec) {
  char buf[512];
  switch (type) {
    case 'f':
      std::snprintf(buf, sizeof buf, "%.*f", prec < 0 ? 2 : std::min(prec, 18), v);
      return buf;
    case 'n': {
      std::snprintf(buf, sizeof buf, "%.*f", prec < 0 ? 2 : std::min(prec, 18), v);
      std::string s = buf;
      bool negative = !s.empty() && s[0] == '-';
      if (negative) s.erase(0, 1);
      size_t dot = s.find('.');
      std::string intPart = s.substr(0, dot);
      std::string rest = dot == std::string::npos ? "" : s.substr(dot);
      std::string r = negative ? std::string(1, '-') : std::string();
      r += InsertThousands(intPart);
      r += rest;
      return r;
    }
    case 'e': {
      int digits = prec < 0 ? 15 : std::clamp(prec, 1, 18);
      std::snprintf(buf, sizeof buf, "%.*E", digits - 1, v);
      return FixExponent(buf);
    }
    default: {  // 'g'
      int digits = prec < 0 ? 15 : std::clamp(prec, 1, 18);
      std::snprintf(buf, sizeof buf, "%.*G", digits, v);
      std::string s = buf;
      // "1E+20" reads "1E20" in the classic general format; negative exponents keep "-".
      size_t e = s.find('E');
      if (e != std::string::npos) {
        std::string mant = s.substr(0, e);
        char sign = s[e + 1];
        std::string exp = s.substr(e + 2);
        while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
        s = mant;
        s += 'E';
        if (sign == '-') s += '-';
        s += exp;
      }
      return s;
    }
  }
}

}  // namespace

std::string FormatV(const std::string& format, const std::vector<TVarRec>& args) {
  std::string out;
  size_t argIndex = 0;
  const size_t n = format.size();
  size_t i = 0;
  auto nextArg = [&]() -> const TVarRec& {
    if (argIndex >= args.size()) FormatError(format);
    return args[argIndex++];
  };
  auto readNumber = [&](int& value) -> bool {  // digits or '*'; false when neither
    if (i < n && format[i] == '*') {
      const TVarRec& a = nextArg();
      if (a.VKind() != TVarRec::vtInteger) FormatError(format);
      value = static_cast<int>(a.AsInteger());
      ++i;
      return true;
    }
    if (i < n && format[i] >= '0' && format[i] <= '9') {
      value = 0;
      while (i < n && format[i] >= '0' && format[i] <= '9') {
        value = std::min(value * 10 + (format[i] - '0'), 100000);
        ++i;
      }
      return true;
    }
    return false;
  };

  while (i < n) {
    char c = format[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < n && format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // [index ":"] ["-"] [width] ["." prec] type
    int number = -1;
    bool leftAlign = false;
    int width = -1;
    int prec = -1;
    if (readNumber(number)) {
      if (i < n && format[i] == ':') {
        if (number < 0) FormatError(format);
        argIndex = static_cast<size_t>(number);
        ++i;
        number = -1;
      } else {
        width = number;
      }
    }
    if (width < 0) {
      if (i < n && format[i] == '-') {
        leftAlign = true;
        ++i;
      }
      readNumber(width);
    }
    if (i < n && format[i] == '.') {
      ++i;
      if (!readNumber(prec)) prec = 0;
    }
    if (i >= n) FormatError(format);
    char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i++])));
    const TVarRec& a = nextArg();
    std::string piece;
    switch (type) {
      case 'd':
      case 'u': {
        if (a.VKind() != TVarRec::vtInteger) FormatError(format);
        int64_t v = a.AsInteger();
        uint64_t mag;
        bool negative = false;
        if (type == 'u') {
          // Unsigned of the argument's width: 32 bits when it fits an int32.
          mag = (v >= INT32_MIN && v <= INT32_MAX) ? static_cast<uint32_t>(v)
                                                   : static_cast<uint64_t>(v);
        } else {
          negative = v < 0;
          mag = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        }
        piece = std::to_string(mag);
        if (prec > 0 && static_cast<int>(piece.size()) < prec)
          piece.insert(0, prec - piece.size(), '0');
        if (negative) piece.insert(piece.begin(), '-');
        break;
      }
      case 'x': {
        if (a.VKind() != TVarRec::vtInteger) FormatError(format);
        int64_t v = a.AsInteger();
        uint64_t bits = (v >= INT32_MIN && v <= INT32_MAX) ? static_cast<uint32_t>(v)
                                                           : static_cast<uint64_t>(v);
        piece = IntToHex(static_cast<int64_t>(bits), prec > 0 ? prec : 1);
        break;
      }
      case 's':
        if (a.VKind() != TVarRec::vtString) FormatError(format);
        piece = a.AsString();
        if (prec >= 0 && static_cast<int>(piece.size()) > prec) piece.resize(prec);
        break;
      case 'f':
      case 'e':
      case 'g':
      case 'n':
      case 'm': {
        double v;
        if (a.VKind() == TVarRec::vtExtended) {
          v = a.AsExtended();
        } else {
          FormatError(format);
        }
        piece = FormatFloatKind(type == 'm' ? 'n' : type, v, prec);
        break;
      }
      case 'p': {
        if (a.VKind() != TVarRec::vtPointer) FormatError(format);
        piece = IntToHex(static_cast<int64_t>(reinterpret_cast<uintptr_t>(a.AsPointer())),
                         static_cast<int>(sizeof(void*) * 2));
        break;
      }
      default:
        FormatError(format);
    }
    if (width > static_cast<int>(piece.size())) {
      if (leftAlign) {
        piece.append(width - piece.size(), ' ');
      } else {
        piece.insert(0, width - piece.size(), ' ');
      }
    }
    out += piece;
  }
  return out;
}

// ---- arithmetic ----------------------------------------------------------------------------

// MulDiv: the system's own on Windows, SysUtilsPosix.cpp elsewhere.

// ---- file names ---------------------------------------------------------------------------

// PathDelim: in the system half.

namespace {
// Folder separators and the drive colon end the folder part of a name.
constexpr const char* kFolderDelims = "\\/:";
bool IsFolderDelim(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string ExtractFilePath(const std::string& fileName) {
  return fileName.substr(0, LastDelimiter(kFolderDelims, fileName));
}

std::string ExtractFileDir(const std::string& fileName) {
  int i = LastDelimiter(kFolderDelims, fileName);
  // Keep the delimiter of a root ("\", "C:\") and of a bare drive ("C:").
  if (i > 1 && IsFolderDelim(fileName[i - 1]) &&
      LastDelimiter(kFolderDelims, fileName.substr(0, i - 1)) != i - 1) {
    --i;
  }
  return fileName.substr(0, i);
}

std::string ExtractFileName(const std::string& fileName) {
  return fileName.substr(LastDelimiter(kFolderDelims, fileName));
}

std::string ExtractFileExt(const std::string& fileName) {
  int i = LastDelimiter(std::string(kFolderDelims) + ".", fileName);
  if (i > 0 && fileName[i - 1] == '.') return fileName.substr(i - 1);
  return std::string();
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
  int i = LastDelimiter(std::string(kFolderDelims) + ".", fileName);
  if (i == 0 || fileName[i - 1] != '.') i = static_cast<int>(fileName.size()) + 1;
  return fileName.substr(0, i - 1) + extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && IsFolderDelim(path.back())) return path;
  return path + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && IsFolderDelim(path.back())) return path.substr(0, path.size() - 1);
  return path;
}

// ---- files and folders ----------------------------------------------------------------------

// FileExists, DirectoryExists, CreateDir, RemoveFile, RemoveDir, RenameFile and FileSizeOf
// are in the system half: SysUtilsWin32.cpp or SysUtilsPosix.cpp.

bool ForceDirectories(const std::string& dirName) {
  std::string dir = ExcludeTrailingPathDelimiter(dirName);
  if (dir.empty()) return false;
  if (DirectoryExists(dir)) return true;
  std::string parent = ExtractFileDir(dir);
  // A name without a parent part (or a drive root) cannot be climbed further.
  if (parent.empty() || parent == dir) return CreateDir(dir);
  return ForceDirectories(parent) && (CreateDir(dir) || DirectoryExists(dir));
}
