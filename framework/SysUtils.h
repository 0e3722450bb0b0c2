// Run-time library: exceptions and text, number and file helpers.
// Positions in strings are 1-based as everywhere in the program's dialect.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// Base of every failure the program raises; carries the message text shown to the user.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// One line per class: `K_EXCEPTION(EFoo, Exception);`.
#define K_EXCEPTION(Name, Base) \
  class Name : public Base {    \
   public:                      \
    using Base::Base;           \
  }

K_EXCEPTION(EAbort, Exception);  // the silent exception: callers stop, nobody is told
K_EXCEPTION(EConvertError, Exception);
K_EXCEPTION(EListError, Exception);
K_EXCEPTION(EStringListError, EListError);
K_EXCEPTION(EInOutError, Exception);
K_EXCEPTION(EInvalidOperation, Exception);
K_EXCEPTION(EInvalidPointer, Exception);
K_EXCEPTION(EInvalidCast, Exception);
K_EXCEPTION(EOutOfMemory, Exception);
K_EXCEPTION(EIntError, Exception);
K_EXCEPTION(EIntOverflow, EIntError);
K_EXCEPTION(ERangeError, EIntError);
K_EXCEPTION(EDivByZero, EIntError);
K_EXCEPTION(EStreamError, Exception);
K_EXCEPTION(EReadError, EStreamError);
K_EXCEPTION(EWriteError, EStreamError);
K_EXCEPTION(EFilerError, EStreamError);
K_EXCEPTION(EFCreateError, EStreamError);
K_EXCEPTION(EFOpenError, EStreamError);
K_EXCEPTION(EComponentError, Exception);
K_EXCEPTION(EPropertyError, Exception);
// A broken internal contract (a call made out of order), never a user's mistake.
K_EXCEPTION(EAssertionFailed, Exception);
K_EXCEPTION(EClassNotFound, EFilerError);
K_EXCEPTION(EThread, Exception);
K_EXCEPTION(EOSError, Exception);

// Raises EAbort with an empty message.
[[noreturn]] void Abort();

// ---- numbers <-> text ---------------------------------------------------------

std::string IntToStr(int64_t value);
std::string IntToHex(int64_t value, int digits);  // upper-case, at least `digits` digits
// Decimal or "$"/"0x" hexadecimal, optional sign, surrounding blanks allowed.
// Raises EConvertError "'%s' is not a valid integer value" otherwise (also on overflow of int32).
int StrToInt(const std::string& text);
int64_t StrToInt64(const std::string& text);
int StrToIntDef(const std::string& text, int fallback);
bool TryStrToInt(const std::string& text, int& value);
bool TryStrToInt64(const std::string& text, int64_t& value);
std::string BoolToStr(bool value, bool useBoolStrs = false);  // "-1"/"0" or "True"/"False"

// ---- text ----------------------------------------------------------------------

std::string Trim(const std::string& s);  // blanks and control characters (<= ' ') on both ends
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string UpperCase(const std::string& s);  // ASCII letters only
std::string LowerCase(const std::string& s);
std::string AnsiUpperCase(const std::string& s);  // Windows-1252 letters too
std::string AnsiLowerCase(const std::string& s);
int CompareStr(const std::string& a, const std::string& b);   // byte order; <0, 0, >0
int CompareText(const std::string& a, const std::string& b);  // ASCII case ignored
int AnsiCompareStr(const std::string& a, const std::string& b);
int AnsiCompareText(const std::string& a, const std::string& b);  // Windows-1252 case ignored
bool SameText(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);
std::string QuotedStr(const std::string& s);  // 'it''s'

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
std::string StringReplace(const std::string& s, const std::string& oldPattern,
                          const std::string& newPattern, TReplaceFlags flags);

// 1-based position of `sub` in `s`, 0 when absent (or when `sub` is empty).
int Pos(const std::string& sub, const std::string& s);
int Pos(char c, const std::string& s);
// `count` characters from 1-based `index`; index and count are clamped to the string.
std::string Copy(const std::string& s, int index, int count);
// Removes `count` characters from 1-based `index` (clamped).
void Delete(std::string& s, int index, int count);
void Insert(const std::string& source, std::string& s, int index);
// 1-based position of the last character of `s` that is in `delimiters`, 0 when none.
int LastDelimiter(const std::string& delimiters, const std::string& s);

// ---- Format --------------------------------------------------------------------

// One argument of Format: an integer, a floating-point number, a text or a pointer.
class TVarRec {
 public:
  enum Kind { vtInteger, vtExtended, vtString, vtPointer };
  template <class T>
  requires((std::is_integral_v<T> && !std::is_same_v<T, char>) || std::is_enum_v<T>) TVarRec(T v)
      : kind_(vtInteger), int_(static_cast<int64_t>(v)) {}
  TVarRec(char c) : kind_(vtString), str_(1, c) {}  // a character formats with %s
  TVarRec(double v) : kind_(vtExtended), float_(v) {}
  TVarRec(float v) : kind_(vtExtended), float_(v) {}
  TVarRec(const std::string& v) : kind_(vtString), str_(v) {}
  TVarRec(std::string_view v) : kind_(vtString), str_(v) {}
  TVarRec(const char* v) : kind_(vtString), str_(v ? v : "") {}
  TVarRec(const void* v) : kind_(vtPointer), ptr_(v) {}

  Kind VKind() const { return kind_; }
  int64_t AsInteger() const { return int_; }
  double AsExtended() const { return float_; }
  const std::string& AsString() const { return str_; }
  const void* AsPointer() const { return ptr_; }

 private:
  Kind kind_;
  int64_t int_ = 0;
  double float_ = 0;
  std::string str_;
  const void* ptr_ = nullptr;
};

// Format strings: %[index:][-][width][.prec]type with types d u x s f g e n m p and %%;
// '*' takes width or precision from the arguments. An argument of the wrong kind or a
// missing one raises EConvertError "Format '%s' invalid or incompatible with argument".
std::string FormatV(const std::string& format, const std::vector<TVarRec>& args);
template <class... Args>
std::string Format(const std::string& format, const Args&... args) {
  return FormatV(format, std::vector<TVarRec>{TVarRec(args)...});
}

// ---- arithmetic ----------------------------------------------------------------

// a * b / c with a 64-bit intermediate, rounded half away from zero as Windows does;
// -1 when c is 0 or the result does not fit 32 bits. On Windows it is the system's own.
#ifdef _WIN32
extern "C" __declspec(dllimport) int __stdcall MulDiv(int a, int b, int c);
#else
int MulDiv(int a, int b, int c);
#endif
template <class T>
constexpr T Min(T a, T b) {
  return b < a ? b : a;
}
template <class T>
constexpr T Max(T a, T b) {
  return a < b ? b : a;
}

// ---- file names (both '\' and '/' separate folders) -----------------------------

extern const char PathDelim;                               // '\' on Windows, '/' elsewhere
std::string ExtractFilePath(const std::string& fileName);  // with the trailing delimiter
std::string ExtractFileDir(const std::string& fileName);   // without it
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName);  // with the dot, "" when none
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExcludeTrailingPathDelimiter(const std::string& path);

// ---- files and folders (answers false instead of raising) ------------------------

bool FileExists(const std::string& fileName);  // a file, not a folder
bool DirectoryExists(const std::string& dirName);
bool CreateDir(const std::string& dirName);         // one level
bool ForceDirectories(const std::string& dirName);  // every missing level
bool RemoveFile(const std::string& fileName);
// <windows.h> maps DeleteFile to DeleteFileA with a macro; both spellings reach RemoveFile
// whichever header comes first.
#ifdef _WIN32
inline bool DeleteFileA(const std::string& fileName) { return RemoveFile(fileName); }
#endif
#ifndef DeleteFile
inline bool DeleteFile(const std::string& fileName) { return RemoveFile(fileName); }
#endif
bool RemoveDir(const std::string& dirName);
bool RenameFile(const std::string& oldName, const std::string& newName);
int64_t FileSizeOf(const std::string& fileName);  // -1 when it does not exist
