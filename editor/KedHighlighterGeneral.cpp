#include "editor/KedHighlighterGeneral.h"

#include "editor/KedEditMiscProcs.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

namespace {

bool IsWordChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsHexDigit(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

K_PUBLISH(TKedGeneralHl) {
  p.Prop("CommentAttri", &TKedGeneralHl::CommentAttri);
  p.Set("Comments", &TKedGeneralHl::Comments, &TKedGeneralHl::SetComments,
        {"csAnsiStyle", "csPasStyle", "csCStyle", "csAsmStyle", "csBasStyle", "csCPPStyle"});
  p.Prop("DetectPreprocessor", &TKedGeneralHl::DetectPreprocessor,
         &TKedGeneralHl::SetDetectPreprocessor);
  p.Prop("IdentifierAttri", &TKedGeneralHl::IdentifierAttri);
  p.Prop("IdentifierChars", &TKedGeneralHl::IdentifierChars, &TKedGeneralHl::SetIdentifierChars);
  p.Prop("KeyAttri", &TKedGeneralHl::KeyAttri);
  p.Prop("KeyWords", &TKedGeneralHl::KeyWords, &TKedGeneralHl::SetKeyWords);
  p.Prop("NumberAttri", &TKedGeneralHl::NumberAttri);
  p.Prop("PreprocessorAttri", &TKedGeneralHl::PreprocessorAttri);
  p.Prop("SpaceAttri", &TKedGeneralHl::SpaceAttri);
  p.Prop("StringAttri", &TKedGeneralHl::StringAttri);
  p.Enum("StringDelim", &TKedGeneralHl::StringDelim, &TKedGeneralHl::SetStringDelim,
         {"sdSingleQuote", "sdDoubleQuote"});
  p.Prop("SymbolAttri", &TKedGeneralHl::SymbolAttri);
}

TKedHighlighterAttributes* TKedGeneralHl::NewAttribute(const char* name, TFontStyles style) {
  auto* attr = new TKedHighlighterAttributes(name);
  AddAttribute(attr);
  attr->SetStyle(style);
  return attr;
}

TKedGeneralHl::TKedGeneralHl(TComponent* owner)
    : TKedCustomHighlighter(owner), keyWords_(std::make_unique<TStringList>()) {
  keyWords_->SetSorted(true);
  keyWords_->SetDuplicates(dupIgnore);
  commentAttri_ = NewAttribute("Comment", {fsItalic});
  identifierAttri_ = NewAttribute("Identifier", {});
  keyAttri_ = NewAttribute("Reserved Word", {fsBold});
  numberAttri_ = NewAttribute("Number", {});
  spaceAttri_ = NewAttribute("Space", {});
  stringAttri_ = NewAttribute("String", {});
  symbolAttri_ = NewAttribute("Symbol", {});
  preprocessorAttri_ = NewAttribute("Preprocessor", {});
  AttachAttributeHandlers(MakeEvent<&TKedGeneralHl::AttributeChanged>(this));
  identChars_ = TKedCustomHighlighter::GetIdentChars();
}

TKedGeneralHl::~TKedGeneralHl() = default;

// ---- properties --------------------------------------------------------------------------

void TKedGeneralHl::SetComments(TCommentStyles value) {
  if (comments_ == value) return;
  comments_ = value;
  SignalChange(nullptr);
}

void TKedGeneralHl::SetDetectPreprocessor(bool value) {
  if (detectPreprocessor_ == value) return;
  detectPreprocessor_ = value;
  SignalChange(nullptr);
}

std::string TKedGeneralHl::IdentifierChars() const {
  std::string text;
  for (size_t c = 0; c < 256 && text.size() < 255; ++c)
    if (identChars_.test(c)) text += static_cast<char>(c);
  return text;
}

void TKedGeneralHl::SetIdentifierChars(const std::string& value) {
  TKedCharSet set;
  for (unsigned char c : value) set.set(c);
  identChars_ = set;
  AssignWordBreakChars(WordBreakChars() & ~identChars_);
}

void TKedGeneralHl::SetKeyWords(TStrings* value) {
  if (value != nullptr) {
    value->BeginUpdate();
    {
      TScopeExit cleanup([&] { value->EndUpdate(); });
      for (int i = 0; i < value->Count(); ++i) value->Put(i, AnsiUpperCase(value->Strings(i)));
    }
  }
  keyWords_->Assign(value);
  SignalChange(nullptr);
}

void TKedGeneralHl::SetStringDelim(TStringDelim value) {
  stringDelimCh_ = value == sdDoubleQuote ? '"' : '\'';
}

bool TKedGeneralHl::MatchesKeyword(const std::string& word) const {
  int index = 0;
  return keyWords_->Find(AnsiUpperCase(word), index);
}

TKedHighlighterAttributes* TKedGeneralHl::DefaultAttribute(int kind) const {
  switch (kind) {
    case 0:
      return commentAttri_;
    case 1:
      return identifierAttri_;
    case 2:
      return keyAttri_;
    case 3:
      return stringAttri_;
    case 4:
      return spaceAttri_;
    case 5:
      return symbolAttri_;
    default:
      return nullptr;
  }
}

// ---- scanner -------------------------------------------------------------------------------

TKedHighlighterAttributes* TKedGeneralHl::TokenAttribute() const {
  switch (tokenKind_) {
    case TGeneralTokenKind::Comment:
      return commentAttri_;
    case TGeneralTokenKind::Identifier:
      return identifierAttri_;
    case TGeneralTokenKind::Key:
      return keyAttri_;
    case TGeneralTokenKind::Null:
      return nullptr;
    case TGeneralTokenKind::Number:
      return numberAttri_;
    case TGeneralTokenKind::Preprocessor:
      return preprocessorAttri_;
    case TGeneralTokenKind::Space:
      return spaceAttri_;
    case TGeneralTokenKind::String:
      return stringAttri_;
    case TGeneralTokenKind::Symbol:
      return symbolAttri_;
    case TGeneralTokenKind::Unknown:
      return symbolAttri_;
  }
  return nullptr;
}

void TKedGeneralHl::ScanNextToken() {
  tokenPos_ = run_;
  if (run_ >= line_.size()) {
    tokenKind_ = TGeneralTokenKind::Null;
    return;
  }
  const unsigned char c = Ch(run_);
  if (range_ != kRangeNormal) {
    if (c == '\n' || c == '\r') {
      ScanLineBreak();
    } else {
      tokenKind_ = TGeneralTokenKind::Comment;
      ScanComment();
    }
    return;
  }
  if (c == static_cast<unsigned char>(stringDelimCh_)) {
    ScanString();
    return;
  }
  switch (c) {
    case '\n':
    case '\r':
      ScanLineBreak();
      return;
    case '#':
      ScanHash();
      return;
    case '$':
      ScanHexNumber();
      return;
    case '(':
      ScanRoundOpen();
      return;
    case '{':
      ScanBraceOpen();
      return;
    case '/':
      ScanSlash();
      return;
    case ';':
      ScanSemicolon();
      return;
    default:
      break;
  }
  if (c >= 1 && c <= 32)
    ScanSpace();
  else if (c >= '0' && c <= '9')
    ScanNumber();
  else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
    ScanWord();
  else
    ScanOther();
}

void TKedGeneralHl::ToLineEnd(TGeneralTokenKind kind) {
  tokenKind_ = kind;
  while (!AtBreak(run_)) ++run_;
}

void TKedGeneralHl::ScanLineBreak() {
  tokenKind_ = TGeneralTokenKind::Space;
  const bool cr = Ch(run_) == '\r';
  ++run_;
  if (cr && run_ < line_.size() && Ch(run_) == '\n') ++run_;
}

void TKedGeneralHl::ScanSpace() {
  tokenKind_ = TGeneralTokenKind::Space;
  ++run_;
  while (run_ < line_.size()) {
    const unsigned char c = Ch(run_);
    if (c == 0 || c > 32 || c == '\n' || c == '\r') break;
    ++run_;
  }
}

void TKedGeneralHl::ScanString() {
  tokenKind_ = TGeneralTokenKind::String;
  const unsigned char delim = static_cast<unsigned char>(stringDelimCh_);
  // Two more delimiters right after the opening one belong to the opening.
  if (run_ + 2 < line_.size() && Ch(run_ + 1) == delim && Ch(run_ + 2) == delim) run_ += 2;
  do {
    ++run_;
  } while (!AtBreak(run_) && Ch(run_) != delim);
  if (run_ < line_.size() && Ch(run_) == delim) ++run_;
}

void TKedGeneralHl::ScanHash() {
  if (detectPreprocessor_) {
    ToLineEnd(TGeneralTokenKind::Preprocessor);
    return;
  }
  // A character given by its code, as in #13.
  tokenKind_ = TGeneralTokenKind::String;
  ++run_;
  while (run_ < line_.size() && Ch(run_) >= '0' && Ch(run_) <= '9') ++run_;
}

void TKedGeneralHl::ScanHexNumber() {
  tokenKind_ = TGeneralTokenKind::Number;
  ++run_;
  while (run_ < line_.size() && IsHexDigit(Ch(run_))) ++run_;
}

void TKedGeneralHl::ScanNumber() {
  tokenKind_ = TGeneralTokenKind::Number;
  ++run_;
  while (run_ < line_.size()) {
    const unsigned char c = Ch(run_);
    if (c == 'x') {
      // A C-style hexadecimal number: the rest are hexadecimal digits.
      ScanHexNumber();
      return;
    }
    if (c == '.' && run_ + 1 < line_.size() && Ch(run_ + 1) == '.') return;
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E')) return;
    ++run_;
  }
}

void TKedGeneralHl::ScanWord() {
  while (run_ < line_.size() && IsWordChar(Ch(run_))) ++run_;
  tokenKind_ = MatchesKeyword(TokenText()) ? TGeneralTokenKind::Key : TGeneralTokenKind::Identifier;
}

void TKedGeneralHl::ScanRoundOpen() {
  const unsigned char next = run_ + 1 < line_.size() ? Ch(run_ + 1) : 0;
  if (comments_.Contains(csAnsiStyle) && next == '*') {
    tokenKind_ = TGeneralTokenKind::Comment;
    range_ = kRangeAnsiComment;
    run_ += 2;
    ScanComment();
    return;
  }
  tokenKind_ = TGeneralTokenKind::Symbol;
  run_ += comments_.Contains(csAnsiStyle) && next == '.' ? 2 : 1;
}

void TKedGeneralHl::ScanBraceOpen() {
  if (comments_.Contains(csPasStyle)) {
    tokenKind_ = TGeneralTokenKind::Comment;
    range_ = kRangePasComment;
    ++run_;
    ScanComment();
    return;
  }
  tokenKind_ = TGeneralTokenKind::Symbol;
  ++run_;
}

void TKedGeneralHl::ScanSlash() {
  const unsigned char next = run_ + 1 < line_.size() ? Ch(run_ + 1) : 0;
  if (next == '*' && comments_.Contains(csCStyle)) {
    tokenKind_ = TGeneralTokenKind::Comment;
    range_ = kRangeCComment;
    run_ += 2;
    ScanComment();
  } else if (next == '/' && comments_.Contains(csCPPStyle)) {
    ToLineEnd(TGeneralTokenKind::Comment);
  } else {
    tokenKind_ = TGeneralTokenKind::Symbol;
    ++run_;
  }
}

void TKedGeneralHl::ScanSemicolon() {
  if (comments_.Contains(csAsmStyle) || comments_.Contains(csBasStyle)) {
    ToLineEnd(TGeneralTokenKind::Comment);
  } else {
    tokenKind_ = TGeneralTokenKind::Symbol;
    ++run_;
  }
}

void TKedGeneralHl::ScanOther() {
  tokenKind_ = TGeneralTokenKind::Unknown;
  // A lead byte takes its trail byte along, unless it is the last byte of the line.
  if (IsKedLeadByte(Ch(run_)) && run_ + 1 < line_.size()) ++run_;
  ++run_;
}

void TKedGeneralHl::ScanComment() {
  while (!AtBreak(run_)) {
    const unsigned char c = Ch(run_);
    const unsigned char next = run_ + 1 < line_.size() ? Ch(run_ + 1) : 0;
    size_t terminator = 0;
    if (range_ == kRangeAnsiComment && c == '*' && next == ')') terminator = 2;
    if (range_ == kRangePasComment && c == '}') terminator = 1;
    if (range_ == kRangeCComment && c == '*' && next == '/') terminator = 2;
    if (terminator > 0) {
      run_ += terminator;
      range_ = kRangeNormal;
      return;
    }
    ++run_;
  }
}

// Words, numbers, spaces and symbols consist of characters that start nothing, so they
// are passed a character at a time; only strings, comments and double-byte pairs are
// followed as the full scan does.
void TKedGeneralHl::ScanRangeOfLine(std::string_view line) {
  const size_t n = line.size();
  const auto at = [&line, n](size_t i) -> unsigned char {
    return i < n ? static_cast<unsigned char>(line[i]) : 0;
  };
  const auto isBreak = [&line, n](size_t i) {
    return i >= n || line[i] == '\n' || line[i] == '\r';
  };
  const auto toBreak = [&line, n](size_t from) {
    const size_t end = line.find_first_of("\r\n", from);
    return end == std::string_view::npos ? n : end;
  };
  const unsigned char delim = static_cast<unsigned char>(stringDelimCh_);
  uint8_t range = range_;
  size_t r = 0;
  while (r < n) {
    if (range != kRangeNormal) {
      // The terminator may lie beyond line breaks inside the text: they are tokens of
      // their own and the comment goes on after them.
      size_t end = std::string_view::npos;
      if (range == kRangeAnsiComment || range == kRangeCComment) {
        const char close = range == kRangeAnsiComment ? ')' : '/';
        for (size_t star = line.find('*', r); star != std::string_view::npos;
             star = line.find('*', star + 1)) {
          if (star + 1 < n && line[star + 1] == close) {
            end = star + 2;
            break;
          }
        }
      } else if (range == kRangePasComment) {
        end = line.find('}', r);
        if (end != std::string_view::npos) ++end;
      }
      if (end == std::string_view::npos) break;
      r = end;
      range = kRangeNormal;
      continue;
    }
    const unsigned char c = at(r);
    const unsigned char next = at(r + 1);
    if (c == delim) {
      // Two more delimiters right after the opening one belong to the opening.
      if (r + 2 < n && next == delim && at(r + 2) == delim) r += 2;
      do {
        ++r;
      } while (!isBreak(r) && at(r) != delim);
      if (r < n && at(r) == delim) ++r;
      continue;
    }
    switch (c) {
      case '#':
        r = detectPreprocessor_ ? toBreak(r) : r + 1;
        break;
      case '(':
        if (comments_.Contains(csAnsiStyle) && next == '*') {
          range = kRangeAnsiComment;
          r += 2;
        } else {
          ++r;
        }
        break;
      case '{':
        if (comments_.Contains(csPasStyle)) range = kRangePasComment;
        ++r;
        break;
      case '/':
        if (next == '*' && comments_.Contains(csCStyle)) {
          range = kRangeCComment;
          r += 2;
        } else if (next == '/' && comments_.Contains(csCPPStyle)) {
          r = toBreak(r);
        } else {
          ++r;
        }
        break;
      case ';':
        r = comments_.Contains(csAsmStyle) || comments_.Contains(csBasStyle) ? toBreak(r) : r + 1;
        break;
      default: {
        const bool other =
            !(c == '\n' || c == '\r' || c == '$' || (c >= 1 && c <= 32) || IsWordChar(c));
        r += other && IsKedLeadByte(c) && r + 1 < n ? 2 : 1;
        break;
      }
    }
  }
  line_ = line;
  range_ = range;
  run_ = n;
  tokenPos_ = n;
  tokenKind_ = TGeneralTokenKind::Null;
}

namespace {
// The unit makes its class known to the list of highlighters when the program starts.
const bool registered = (RegisterHighlighterClass(TKedGeneralHl::StaticClassInfo()), true);
}  // namespace
