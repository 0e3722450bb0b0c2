#include "editor/KedHighlighterSQL.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#endif

#include "editor/KedEditMiscProcs.h"
#include "editor/KedSQLKeywords.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

namespace {

const char* const kSQLDefaultFilter = "SQL Files (*.sql)|*.sql";

using TCharTable = std::array<bool, 256>;
using THashTable = std::array<uint32_t, 256>;

// Tables A serve every dialect but the two MS SQL ones, which use tables B (A plus the at
// sign, so that @@ names hash and compare as words).
struct TSQLCharTables {
  TCharTable IdentA{};
  THashTable HashA{};
  TCharTable IdentB{};
  THashTable HashB{};

  TSQLCharTables() {
    for (int c = 0; c < 256; ++c) {
      const bool lower = c >= 'a' && c <= 'z';
      const bool upper = c >= 'A' && c <= 'Z';
      const bool digit = c >= '0' && c <= '9';
      IdentA[static_cast<size_t>(c)] = lower || upper || digit || c == '_' || c == '#' || c == '$';
      if (c == '_') HashA[static_cast<size_t>(c)] = 1;
      if (lower) HashA[static_cast<size_t>(c)] = static_cast<uint32_t>(c - 'a' + 2);
      if (upper) HashA[static_cast<size_t>(c)] = static_cast<uint32_t>(c - 'A' + 2);
    }
    IdentB = IdentA;
    HashB = HashA;
    IdentB['@'] = true;
    HashB['@'] = HashA['Z'] + 1;
  }
};

const TSQLCharTables& CharTables() {
  static const TSQLCharTables tables;
  return tables;
}

// What the scanner does with the first character of a token.
enum class TSQLRoutine : uint8_t {
  LF,
  CR,
  Space,
  SymbolEq,
  Ampersand,
  Plus,
  Bar,
  EqualGreater,
  Less,
  Minus,
  Slash,
  Hash,
  Quote,
  DoubleQuote,
  BackQuote,
  Bracket,
  Digit,
  Letter,
  Variable,
  Other,
  Symbol
};

struct TSQLRoutineTable {
  std::array<TSQLRoutine, 256> Routine{};
  TSQLRoutineTable() {
    for (int c = 0; c < 256; ++c) {
      TSQLRoutine r = TSQLRoutine::Symbol;
      if (c == 0)
        r = TSQLRoutine::Other;  // a NUL inside the text is just a character
      else if (c == '\n')
        r = TSQLRoutine::LF;
      else if (c == '\r')
        r = TSQLRoutine::CR;
      else if (c <= 32)
        r = TSQLRoutine::Space;
      else if (c >= '0' && c <= '9')
        r = TSQLRoutine::Digit;
      else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
        r = TSQLRoutine::Letter;
      else if (c >= 127)
        r = TSQLRoutine::Other;
      Routine[static_cast<size_t>(c)] = r;
    }
    for (unsigned char c : std::string_view("!%*^")) Routine[c] = TSQLRoutine::SymbolEq;
    Routine['&'] = TSQLRoutine::Ampersand;
    Routine['+'] = TSQLRoutine::Plus;
    Routine['|'] = TSQLRoutine::Bar;
    Routine['='] = TSQLRoutine::EqualGreater;
    Routine['>'] = TSQLRoutine::EqualGreater;
    Routine['<'] = TSQLRoutine::Less;
    Routine['-'] = TSQLRoutine::Minus;
    Routine['/'] = TSQLRoutine::Slash;
    Routine['#'] = TSQLRoutine::Hash;
    Routine['\''] = TSQLRoutine::Quote;
    Routine['"'] = TSQLRoutine::DoubleQuote;
    Routine['`'] = TSQLRoutine::BackQuote;
    Routine['['] = TSQLRoutine::Bracket;
    Routine[':'] = TSQLRoutine::Variable;
    Routine['@'] = TSQLRoutine::Variable;
    Routine['$'] = TSQLRoutine::Other;
    Routine['\\'] = TSQLRoutine::Other;
  }
};

const TSQLRoutineTable& Routines() {
  static const TSQLRoutineTable table;
  return table;
}

void AddKeyword(TKedSQLHl* highlighter, const std::string& word, int kind) {
  highlighter->InsertKeyword(word, kind);
}

bool IsKeywordKind(TSQLTokenKind kind) {
  switch (kind) {
    case TSQLTokenKind::DataType:
    case TSQLTokenKind::DefaultPackage:
    case TSQLTokenKind::Exception:
    case TSQLTokenKind::Function:
    case TSQLTokenKind::Key:
    case TSQLTokenKind::PLSQL:
      return true;
    default:
      return false;
  }
}

}  // namespace

void ForEachKeyword(int kind, std::string_view listText, const TKedCharSet& wordChars,
                    TKedKeywordAddProc addProc, TKedSQLHl* highlighter) {
  if (addProc == nullptr || listText.empty()) return;
  size_t i = 0;
  const size_t n = listText.size();
  while (i < n) {
    while (i < n && !wordChars.test(static_cast<unsigned char>(listText[i]))) ++i;
    const size_t start = i;
    while (i < n && wordChars.test(static_cast<unsigned char>(listText[i]))) ++i;
    if (i > start) addProc(highlighter, std::string(listText.substr(start, i - start)), kind);
  }
}

// ---- construction ----------------------------------------------------------------------

K_PUBLISH(TKedSQLHl) {
  p.Prop("CommentAttri", &TKedSQLHl::CommentAttri);
  p.Prop("ConditionalCommentAttri", &TKedSQLHl::ConditionalCommentAttri);
  p.Prop("DataTypeAttri", &TKedSQLHl::DataTypeAttri);
  p.Prop("DefaultPackageAttri", &TKedSQLHl::DefaultPackageAttri);
  p.Prop("DelimitedIdentifierAttri", &TKedSQLHl::DelimitedIdentifierAttri);
  p.Prop("ExceptionAttri", &TKedSQLHl::ExceptionAttri);
  p.Prop("FunctionAttri", &TKedSQLHl::FunctionAttri);
  p.Prop("IdentifierAttri", &TKedSQLHl::IdentifierAttri);
  p.Prop("KeyAttri", &TKedSQLHl::KeyAttri);
  p.Prop("NumberAttri", &TKedSQLHl::NumberAttri);
  p.Prop("PLSQLAttri", &TKedSQLHl::PLSQLAttri);
  p.Prop("SpaceAttri", &TKedSQLHl::SpaceAttri);
  p.Prop("SQLPlusAttri", &TKedSQLHl::SQLPlusAttri);
  p.Prop("StringAttri", &TKedSQLHl::StringAttri);
  p.Prop("SymbolAttri", &TKedSQLHl::SymbolAttri);
  p.Prop("TableNameAttri", &TKedSQLHl::TableNameAttri);
  p.Prop("VariableAttri", &TKedSQLHl::VariableAttri);
  p.Prop("TableNames", &TKedSQLHl::TableNames, &TKedSQLHl::SetTableNames);
  p.Enum("SQLDialect", &TKedSQLHl::SQLDialect, &TKedSQLHl::SetSQLDialect,
         {"sqlStandard", "sqlInterbase6", "sqlMSSQL7", "sqlMySQL", "sqlOracle", "sqlSybase",
          "sqlIngres", "sqlMSSQL2K"});
}

TKedHighlighterAttributes* TKedSQLHl::NewAttribute(const char* name, TFontStyles style) {
  auto* attr = new TKedHighlighterAttributes(name);
  AddAttribute(attr);
  attr->SetStyle(style);
  return attr;
}

TKedSQLHl::TKedSQLHl(TComponent* owner)
    : TKedCustomHighlighter(owner),
      tableNames_(std::make_unique<TStringList>()),
      identifiers_(&CharTables().IdentA),
      hashValues_(&CharTables().HashA) {
  tableNames_->OnChange = MakeEvent<&TKedSQLHl::OnTableNamesChange>(this);
  commentAttri_ = NewAttribute("Comment", {fsItalic});
  conditionalCommentAttri_ = NewAttribute("Conditional Comment", {fsItalic});
  dataTypeAttri_ = NewAttribute("Data Type", {fsBold});
  defaultPackageAttri_ = NewAttribute("Default Packages", {fsBold});
  delimitedIdentifierAttri_ = NewAttribute("Delimited Identifier", {});
  exceptionAttri_ = NewAttribute("Exception", {fsItalic});
  functionAttri_ = NewAttribute("Function", {fsBold});
  identifierAttri_ = NewAttribute("Identifier", {});
  keyAttri_ = NewAttribute("Reserved Word", {fsBold});
  numberAttri_ = NewAttribute("Number", {});
  plsqlAttri_ = NewAttribute("PL/SQL Reserved Word", {fsBold});
  spaceAttri_ = NewAttribute("Space", {});
  sqlPlusAttri_ = NewAttribute("SQL*Plus Command", {fsBold});
  stringAttri_ = NewAttribute("String", {});
  symbolAttri_ = NewAttribute("Symbol", {});
  tableNameAttri_ = NewAttribute("Table Name", {});
  variableAttri_ = NewAttribute("Variable", {});
  AttachAttributeHandlers(MakeEvent<&TKedSQLHl::AttributeChanged>(this));
  SetDefaultFilter(kSQLDefaultFilter);
  BuildKeywordTable();
}

TKedSQLHl::~TKedSQLHl() = default;

// ---- properties --------------------------------------------------------------------------

void TKedSQLHl::SetSQLDialect(TSQLDialect value) {
  if (value == dialect_) return;
  dialect_ = value;
  BuildKeywordTable();
}

void TKedSQLHl::SetTableNames(TStrings* value) { tableNames_->Assign(value); }

void TKedSQLHl::OnTableNamesChange(TObject*) { BuildKeywordTable(); }

void TKedSQLHl::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* src = dynamic_cast<TKedSQLHl*>(source)) SetSQLDialect(src->SQLDialect());
}

TKedHighlighterAttributes* TKedSQLHl::DefaultAttribute(int kind) const {
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

bool TKedSQLHl::FilterIsStored() const { return GetDefaultFilter() != kSQLDefaultFilter; }

TKedCharSet TKedSQLHl::GetIdentChars() const {
  TKedCharSet set;
  for (int c = '0'; c <= '9'; ++c) set.set(static_cast<size_t>(c));
  for (int c = 'A'; c <= 'Z'; ++c) set.set(static_cast<size_t>(c));
  for (int c = 'a'; c <= 'z'; ++c) set.set(static_cast<size_t>(c));
  set.set('_');
  for (int c = 192; c <= 255; ++c)
    if (c != 215 && c != 247) set.set(static_cast<size_t>(c));
  if (IsMSSQL()) set.set('@');
  if (dialect_ == sqlOracle) {
    set.set('#');
    set.set('$');
  }
  return set;
}

// ---- keyword table -------------------------------------------------------------------------

uint8_t TKedSQLHl::HashWord(std::string_view text, size_t& wordLength) const {
  const TCharTable& ident = *identifiers_;
  const THashTable& values = *hashValues_;
  uint32_t hash = 0;
  size_t i = 0;
  while (i < text.size() && ident[static_cast<unsigned char>(text[i])]) {
    hash = 2 * hash + values[static_cast<unsigned char>(text[i])];
    ++i;
  }
  wordLength = i;
  return static_cast<uint8_t>(hash);
}

TSQLTokenKind TKedSQLHl::LookupWordKind(std::string_view text, size_t& wordLength) const {
  const uint8_t hash = HashWord(text, wordLength);
  // Comparing through hash values A ignores case and makes digits, "#", "$" and the at
  // sign equal to one another.
  const THashTable& values = CharTables().HashA;
  for (const TKedHashEntry* entry = keywords_.Get(hash); entry != nullptr; entry = entry->Next()) {
    const size_t len = static_cast<size_t>(entry->KeywordLen());
    if (len > wordLength) break;
    if (len != wordLength) continue;
    const std::string& keyword = entry->Keyword();
    size_t i = 0;
    while (i < len && values[static_cast<unsigned char>(keyword[i])] ==
                          values[static_cast<unsigned char>(text[i])])
      ++i;
    if (i == len) return static_cast<TSQLTokenKind>(entry->Kind());
  }
  return TSQLTokenKind::Identifier;
}

bool TKedSQLHl::MatchesKeyword(const std::string& word) const {
  size_t length = 0;
  return IsKeywordKind(LookupWordKind(word, length));
}

void TKedSQLHl::InsertKeyword(const std::string& word, int kind) {
  size_t length = 0;
  const uint8_t hash = HashWord(word, length);
  if (kind == static_cast<int>(TSQLTokenKind::Comment) && !word.empty()) {
    // Words are compared through hash values A: every character with the same value as
    // the keyword's first may start it.
    const THashTable& values = CharTables().HashA;
    const uint32_t first = values[static_cast<unsigned char>(word[0])];
    for (size_t c = 0; c < 256; ++c) {
      if (values[c] != first) continue;
      commentWordStarts_[c] = true;
      rangeScanStops_[c] = true;
      rangeScanStopsInTokens_[c] = true;
    }
    ListRangeScanStops();
  }
  keywords_.Add(hash, std::make_unique<TKedHashEntry>(word, kind));
}

void TKedSQLHl::BuildKeywordTable() {
  keywords_.Clear();
  commentWordStarts_.fill(false);
  rangeScanStops_.fill(false);
  rangeScanStopsInTokens_.fill(false);
  for (unsigned char c : std::string_view("'-/\"")) rangeScanStops_[c] = true;
  rangeScanStopsInTokens_['-'] = true;
  if (dialect_ == sqlMySQL) {
    rangeScanStops_['#'] = rangeScanStopsInTokens_['#'] = true;
    rangeScanStops_['`'] = true;
  }
  if (IsMSSQL()) rangeScanStops_['['] = true;
  for (size_t c = 0; c < 256; ++c) {
    // A double-byte pair takes the character after it along.
    if (Routines().Routine[c] == TSQLRoutine::Other) rangeScanStops_[c] = true;
  }
  // A dollar is part of a word, and could be a lead byte.
  rangeScanStopsInTokens_['$'] = true;
  ListRangeScanStops();
  identifiers_ = IsMSSQL() ? &CharTables().IdentB : &CharTables().IdentA;
  hashValues_ = IsMSSQL() ? &CharTables().HashB : &CharTables().HashA;
  for (size_t c = 0; c < 256; ++c) {
    switch (Routines().Routine[c]) {
      case TSQLRoutine::LF:
      case TSQLRoutine::CR:
      case TSQLRoutine::Space:
      case TSQLRoutine::SymbolEq:
      case TSQLRoutine::Ampersand:
      case TSQLRoutine::Plus:
      case TSQLRoutine::Bar:
      case TSQLRoutine::EqualGreater:
      case TSQLRoutine::Less:
      case TSQLRoutine::Symbol:
        passedByRangeScan_[c] = true;
        break;
      case TSQLRoutine::Hash:
        passedByRangeScan_[c] = dialect_ != sqlMySQL;
        break;
      case TSQLRoutine::BackQuote:
        passedByRangeScan_[c] = dialect_ != sqlMySQL;
        break;
      case TSQLRoutine::Bracket:
        passedByRangeScan_[c] = !IsMSSQL();
        break;
      default:
        passedByRangeScan_[c] = false;
        break;
    }
  }
  TKedCharSet wordChars = GetIdentChars();
  if (dialect_ == sqlStandard) wordChars.set('-');
  for (const TKedKeywordList& list : KedSQLKeywordLists(dialect_))
    ForEachKeyword(list.Kind, list.Words, wordChars, &AddKeyword, this);
  for (int i = 0; i < tableNames_->Count(); ++i) {
    const std::string name = tableNames_->Strings(i);
    size_t length = 0;
    const uint8_t hash = HashWord(name, length);
    const std::string upper = UpperCase(name);
    bool known = false;
    for (const TKedHashEntry* e = keywords_.Get(hash); e != nullptr && !known; e = e->Next())
      known = UpperCase(e->Keyword()) == upper;
    if (!known) InsertKeyword(name, static_cast<int>(TSQLTokenKind::TableName));
  }
  SignalChange(this);
}

// ---- scanner -------------------------------------------------------------------------------

void TKedSQLHl::RestoreRange(TKedHighlighterRange value) { range_ = static_cast<uint8_t>(value); }

TKedHighlighterAttributes* TKedSQLHl::TokenAttribute() const {
  switch (tokenKind_) {
    case TSQLTokenKind::Comment:
      return commentAttri_;
    case TSQLTokenKind::DataType:
      return dataTypeAttri_;
    case TSQLTokenKind::DefaultPackage:
      return defaultPackageAttri_;
    case TSQLTokenKind::Exception:
      return exceptionAttri_;
    case TSQLTokenKind::Function:
      return functionAttri_;
    case TSQLTokenKind::Identifier:
      return identifierAttri_;
    case TSQLTokenKind::Key:
      return keyAttri_;
    case TSQLTokenKind::Null:
      return nullptr;
    case TSQLTokenKind::Number:
      return numberAttri_;
    case TSQLTokenKind::Space:
      return spaceAttri_;
    case TSQLTokenKind::PLSQL:
      return plsqlAttri_;
    case TSQLTokenKind::SQLPlus:
      return sqlPlusAttri_;
    case TSQLTokenKind::String:
      return stringAttri_;
    case TSQLTokenKind::Symbol:
      return symbolAttri_;
    case TSQLTokenKind::TableName:
      return tableNameAttri_;
    case TSQLTokenKind::Unknown:
      return identifierAttri_;
    case TSQLTokenKind::Variable:
      return variableAttri_;
    case TSQLTokenKind::ConditionalComment:
      return conditionalCommentAttri_;
    case TSQLTokenKind::DelimitedIdentifier:
      return delimitedIdentifierAttri_;
  }
  return nullptr;
}

void TKedSQLHl::ScanNextToken() {
  tokenPos_ = run_;
  if (range_ == kRangeComment || range_ == kRangeConditionalComment) {
    ScanBlockComment();
    return;
  }
  if (range_ == kRangeString) {
    ScanString();
    return;
  }
  if (run_ >= line_.size()) {
    tokenKind_ = TSQLTokenKind::Null;
    return;
  }
  switch (Routines().Routine[Ch(run_)]) {
    case TSQLRoutine::LF:
      ScanLineBreak();
      break;
    case TSQLRoutine::CR:
      ScanLineBreak();
      break;
    case TSQLRoutine::Space:
      ScanSpace();
      break;
    case TSQLRoutine::SymbolEq:
      ScanSymbolThen("=");
      break;
    case TSQLRoutine::Ampersand:
      ScanSymbolThen("&=");
      break;
    case TSQLRoutine::Plus:
      ScanSymbolThen("+=");
      break;
    case TSQLRoutine::Bar:
      ScanSymbolThen("|=");
      break;
    case TSQLRoutine::EqualGreater:
      ScanSymbolThen("=>");
      break;
    case TSQLRoutine::Less:
      ScanLess();
      break;
    case TSQLRoutine::Minus:
      ScanMinus();
      break;
    case TSQLRoutine::Slash:
      ScanSlash();
      break;
    case TSQLRoutine::Hash:
      ScanHash();
      break;
    case TSQLRoutine::Quote:
      ScanString();
      break;
    case TSQLRoutine::DoubleQuote:
      ScanDoubleQuoted();
      break;
    case TSQLRoutine::BackQuote:
      ScanBackQuoted();
      break;
    case TSQLRoutine::Bracket:
      ScanBracket();
      break;
    case TSQLRoutine::Digit:
      ScanNumber();
      break;
    case TSQLRoutine::Letter:
      ScanWord();
      break;
    case TSQLRoutine::Variable:
      ScanVariable();
      break;
    case TSQLRoutine::Other:
      ScanOther();
      break;
    case TSQLRoutine::Symbol:
      ++run_;
      tokenKind_ = TSQLTokenKind::Symbol;
      break;
  }
}

void TKedSQLHl::ToLineEnd(TSQLTokenKind kind) {
  tokenKind_ = kind;
  while (!AtBreak(run_)) ++run_;
}

void TKedSQLHl::ScanSpace() {
  tokenKind_ = TSQLTokenKind::Space;
  ++run_;
  while (run_ < line_.size()) {
    const unsigned char c = Ch(run_);
    if (c == 0 || c > 32 || c == '\n' || c == '\r') break;
    ++run_;
  }
}

void TKedSQLHl::ScanLineBreak() {
  tokenKind_ = TSQLTokenKind::Space;
  const bool cr = Ch(run_) == '\r';
  ++run_;
  if (cr && run_ < line_.size() && Ch(run_) == '\n') ++run_;
}

void TKedSQLHl::ScanSymbolThen(std::string_view followers) {
  tokenKind_ = TSQLTokenKind::Symbol;
  ++run_;
  if (run_ < line_.size() && followers.find(static_cast<char>(Ch(run_))) != std::string_view::npos)
    ++run_;
}

void TKedSQLHl::ScanLess() {
  tokenKind_ = TSQLTokenKind::Symbol;
  ++run_;
  if (run_ >= line_.size()) return;
  if (Ch(run_) == '=') {
    ++run_;
  } else if (Ch(run_) == '<') {
    ++run_;
    if (run_ < line_.size() && Ch(run_) == '=') ++run_;
  }
}

void TKedSQLHl::ScanMinus() {
  if (run_ + 1 < line_.size() && Ch(run_ + 1) == '-') {
    ToLineEnd(TSQLTokenKind::Comment);
  } else {
    tokenKind_ = TSQLTokenKind::Symbol;
    ++run_;
  }
}

void TKedSQLHl::ScanSlash() {
  const unsigned char next = run_ + 1 < line_.size() ? Ch(run_ + 1) : 0;
  if (next == '*') {
    const bool conditional = dialect_ == sqlMySQL && run_ + 2 < line_.size() && Ch(run_ + 2) == '!';
    range_ = conditional ? kRangeConditionalComment : kRangeComment;
    run_ += 2;
    ScanBlockComment();
    return;
  }
  tokenKind_ = TSQLTokenKind::Symbol;
  run_ += next == '=' ? 2 : 1;
}

void TKedSQLHl::ScanBlockComment() {
  // At the start of a continued comment line the ends of the line are their usual tokens.
  if (run_ == tokenPos_) {
    if (run_ >= line_.size()) {
      tokenKind_ = TSQLTokenKind::Null;
      return;
    }
    if (Ch(run_) == '\n' || Ch(run_) == '\r') {
      ScanLineBreak();
      return;
    }
  }
  tokenKind_ = range_ == kRangeConditionalComment ? TSQLTokenKind::ConditionalComment
                                                  : TSQLTokenKind::Comment;
  while (!AtBreak(run_)) {
    if (Ch(run_) == '*' && run_ + 1 < line_.size() && Ch(run_ + 1) == '/') {
      run_ += 2;
      range_ = kRangeNormal;
      return;
    }
    ++run_;
  }
}

void TKedSQLHl::ScanHash() {
  if (dialect_ == sqlMySQL) {
    ToLineEnd(TSQLTokenKind::Comment);
  } else {
    tokenKind_ = TSQLTokenKind::Unknown;
    ++run_;
  }
}

void TKedSQLHl::ScanDelimited(char close) {
  tokenKind_ = TSQLTokenKind::DelimitedIdentifier;
  ++run_;
  while (!AtBreak(run_)) {
    if (Ch(run_) == static_cast<unsigned char>(close)) {
      ++run_;
      // A doubled closing character stands for itself and keeps the name open.
      if (run_ < line_.size() && Ch(run_) == static_cast<unsigned char>(close)) {
        ++run_;
        continue;
      }
      return;
    }
    ++run_;
  }
}

void TKedSQLHl::ScanDoubleQuoted() { ScanDelimited('"'); }

void TKedSQLHl::ScanBackQuoted() {
  if (dialect_ == sqlMySQL) {
    ScanDelimited('`');
  } else {
    tokenKind_ = TSQLTokenKind::Unknown;
    ++run_;
  }
}

void TKedSQLHl::ScanBracket() {
  if (IsMSSQL()) {
    ScanDelimited(']');
  } else {
    tokenKind_ = TSQLTokenKind::Symbol;
    ++run_;
  }
}

void TKedSQLHl::ScanNumber() {
  tokenKind_ = TSQLTokenKind::Number;
  ++run_;
  while (run_ < line_.size()) {
    const unsigned char c = Ch(run_);
    if (c == '.' && run_ + 1 < line_.size() && Ch(run_ + 1) == '.') break;
    if (!((c >= '0' && c <= '9') || c == '-' || c == '.')) break;
    ++run_;
  }
}

void TKedSQLHl::ScanWord() {
  size_t length = 0;
  tokenKind_ = LookupWordKind(line_.substr(run_), length);
  run_ += length;
  if (tokenKind_ == TSQLTokenKind::Comment) {
    // A comment word (REM in SQL*Plus) comments out the rest of the line.
    while (!AtBreak(run_)) ++run_;
    return;
  }
  while (run_ < line_.size() && (*identifiers_)[Ch(run_)]) ++run_;
}

void TKedSQLHl::ScanVariable() {
  const unsigned char c = Ch(run_);
  if (IsMSSQL() && c == '@' && run_ + 1 < line_.size() && Ch(run_ + 1) == '@') {
    ScanWord();
    return;
  }
  const bool symbol = (c == '@' && (dialect_ == sqlMySQL || dialect_ == sqlOracle)) ||
                      (c == ':' && dialect_ != sqlOracle && dialect_ != sqlIngres);
  ++run_;
  if (symbol) {
    tokenKind_ = TSQLTokenKind::Symbol;
    return;
  }
  tokenKind_ = TSQLTokenKind::Variable;
  while (run_ < line_.size() && (*identifiers_)[Ch(run_)]) ++run_;
}

void TKedSQLHl::ScanOther() {
  tokenKind_ = TSQLTokenKind::Unknown;
  // A lead byte takes its trail byte along, unless it is the last byte of the line.
  if (IsKedLeadByte(Ch(run_)) && run_ + 1 < line_.size()) ++run_;
  ++run_;
}

void TKedSQLHl::ScanString() {
  if (run_ >= line_.size()) {
    tokenKind_ = TSQLTokenKind::Null;
    return;
  }
  tokenKind_ = TSQLTokenKind::String;
  if (range_ == kRangeString && run_ == 0 && Ch(0) == '\'') {
    ++run_;
    range_ = kRangeNormal;
    return;
  }
  range_ = kRangeString;
  bool closed = false;
  if (dialect_ == sqlMySQL) {
    // A quote after a backslash is part of the text.
    do {
      if (Ch(run_) != '\\' && run_ + 1 < line_.size() && Ch(run_ + 1) == '\'') {
        ++run_;
        closed = true;
        break;
      }
      ++run_;
    } while (!AtBreak(run_));
  } else {
    do {
      ++run_;
    } while (!AtBreak(run_) && Ch(run_) != '\'');
    closed = run_ < line_.size() && Ch(run_) == '\'';
  }
  if (closed) {
    ++run_;
    range_ = kRangeNormal;
  }
}

// ---- ranges only ---------------------------------------------------------------------------

namespace {

constexpr size_t kMaxListedStops = 12;

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define SQL_RANGE_SCAN_SSE2 1
#define SQL_RANGE_SCAN_TARGET __attribute__((target("sse2")))
#else
#define SQL_RANGE_SCAN_TARGET
#endif

// The first stop at or after `from`, or the line's length. Where the stops below 128 are
// listed (all from 128 up being stops), 16 bytes are searched at a time.
SQL_RANGE_SCAN_TARGET size_t FindStop(std::string_view line, size_t from, const std::string& listed,
                                      const std::array<bool, 256>& stops) {
  const size_t n = line.size();
  const char* const p = line.data();
  size_t i = from;
#ifdef SQL_RANGE_SCAN_SSE2
  if (!listed.empty()) {
    // Every slot is compared, so the loop has no branch per stop; spare slots repeat one.
    __m128i wanted[kMaxListedStops];
    for (size_t k = 0; k < kMaxListedStops; ++k)
      wanted[k] = _mm_set1_epi8(listed[k < listed.size() ? k : 0]);
    for (; i + 16 <= n; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      __m128i hits = _mm_cmpeq_epi8(v, wanted[0]);
      for (size_t k = 1; k < kMaxListedStops; ++k)
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, wanted[k]));
      // The sign bits mark the bytes from 128 up.
      const int mask = _mm_movemask_epi8(_mm_or_si128(hits, v));
      if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
  }
#else
  (void)listed;
#endif
  while (i < n && !stops[static_cast<unsigned char>(p[i])]) ++i;
  return i;
}

// The first CR or LF at or after `from`, or the line's length.
size_t BreakFrom(std::string_view line, size_t from) {
  const size_t end = line.find_first_of("\r\n", from);
  return end == std::string_view::npos ? line.size() : end;
}

// Just past the first "*/" at or after `from`; npos when there is none.
size_t CommentEnd(std::string_view line, size_t from) {
  for (size_t star = line.find('*', from); star != std::string_view::npos;
       star = line.find('*', star + 1)) {
    if (star + 1 < line.size() && line[star + 1] == '/') return star + 2;
  }
  return std::string_view::npos;
}

}  // namespace

void TKedSQLHl::ListRangeScanStops() {
  rangeScanStopList_.clear();
  for (size_t c = 0; c < 128; ++c)
    if (rangeScanStops_[c]) rangeScanStopList_.push_back(static_cast<char>(c));
  bool allHighStop = true;
  for (size_t c = 128; c < 256; ++c) allHighStop = allHighStop && rangeScanStops_[c];
  if (rangeScanStopList_.size() > kMaxListedStops || !allHighStop) rangeScanStopList_.clear();
}

size_t TKedSQLHl::StringEnd(std::string_view line, size_t from) const {
  if (dialect_ == sqlMySQL) {
    // Closed by a quote whose preceding character (from `from` on) is no backslash; line
    // breaks inside do not stop the search.
    for (size_t quote = line.find('\'', from + 1); quote != std::string_view::npos;
         quote = line.find('\'', quote + 1)) {
      if (line[quote - 1] != '\\') return quote + 1;
    }
    return std::string_view::npos;
  }
  const size_t quote = line.find('\'', from);
  return quote == std::string_view::npos ? quote : quote + 1;
}

void TKedSQLHl::ScanRangeOfLine(std::string_view line) {
  const size_t n = line.size();
  const TCharTable& ident = *identifiers_;
  const auto at = [&line, n](size_t i) -> unsigned char {
    return i < n ? static_cast<unsigned char>(line[i]) : 0;
  };
  const auto isBreak = [&line, n](size_t i) {
    return i >= n || line[i] == '\n' || line[i] == '\r';
  };
  const TCharTable& passed = passedByRangeScan_;
  const TCharTable& stops = rangeScanStops_;
  const TSQLRoutineTable& routines = Routines();
  uint8_t range = range_;
  size_t r = 0;
  size_t exactUntil = 0;  // tokens before this position are followed one by one
  while (r < n) {
    if (range == kRangeComment || range == kRangeConditionalComment) {
      r = CommentEnd(line, r);
      if (r == std::string_view::npos) break;
      range = kRangeNormal;
      continue;
    }
    if (range == kRangeString) {
      // A line that starts inside a string and with a quote closes it right there.
      if (r == 0 && line[0] == '\'') {
        r = 1;
      } else {
        r = StringEnd(line, r);
        if (r == std::string_view::npos) break;
      }
      range = kRangeNormal;
      continue;
    }
    if (r >= exactUntil) {
      // Nothing up to the next stop can matter: jump there. A stop the token before may
      // swallow is reached token by token from here.
      const size_t stop = FindStop(line, r, rangeScanStopList_, stops);
      if (stop >= n) {
        r = n;
        break;
      }
      if (rangeScanStopsInTokens_[static_cast<unsigned char>(line[stop])]) {
        exactUntil = stop + 1;
      } else {
        r = stop;
      }
    }
    while (r < n && passed[static_cast<unsigned char>(line[r])]) ++r;
    if (r >= n) break;
    const unsigned char c = at(r);
    switch (routines.Routine[c]) {
      case TSQLRoutine::Minus:
        r = at(r + 1) == '-' ? BreakFrom(line, r) : r + 1;
        break;
      case TSQLRoutine::Slash:
        if (at(r + 1) == '*') {
          const bool conditional = dialect_ == sqlMySQL && at(r + 2) == '!';
          range = conditional ? kRangeConditionalComment : kRangeComment;
          r += 2;
        } else {
          ++r;
        }
        break;
      case TSQLRoutine::Hash:
        r = dialect_ == sqlMySQL ? BreakFrom(line, r) : r + 1;
        break;
      case TSQLRoutine::Quote:
        range = kRangeString;
        if (dialect_ == sqlMySQL) {
          // The opening quote itself may be the character before a closing one ('').
          r = StringEnd(line, r);
        } else {
          r = StringEnd(line, r + 1);
        }
        if (r == std::string_view::npos) {
          r = n;
        } else {
          range = kRangeNormal;
        }
        break;
      case TSQLRoutine::DoubleQuote:
      case TSQLRoutine::BackQuote:
      case TSQLRoutine::Bracket: {
        const bool delimited =
            c == '"' || (c == '`' && dialect_ == sqlMySQL) || (c == '[' && IsMSSQL());
        const unsigned char close = c == '[' ? ']' : c;
        ++r;
        if (!delimited) break;
        // A doubled closing character stands for itself and keeps the name open.
        while (!isBreak(r)) {
          if (at(r) == close) {
            ++r;
            if (at(r) != close) break;
          }
          ++r;
        }
        break;
      }
      case TSQLRoutine::Digit:
        ++r;
        while (r < n) {
          const unsigned char d = at(r);
          if (d == '.' && at(r + 1) == '.') break;
          if (!((d >= '0' && d <= '9') || d == '-' || d == '.')) break;
          ++r;
        }
        break;
      case TSQLRoutine::Variable:
        if (!(IsMSSQL() && c == '@' && at(r + 1) == '@')) {
          const bool symbol = (c == '@' && (dialect_ == sqlMySQL || dialect_ == sqlOracle)) ||
                              (c == ':' && dialect_ != sqlOracle && dialect_ != sqlIngres);
          ++r;
          if (!symbol)
            while (r < n && ident[at(r)]) ++r;
          break;
        }
        [[fallthrough]];  // @@ starts a word
      case TSQLRoutine::Letter:
        if (commentWordStarts_[c]) {
          size_t length = 0;
          if (LookupWordKind(line.substr(r), length) == TSQLTokenKind::Comment) {
            r = BreakFrom(line, r + length);
            break;
          }
        }
        while (r < n && ident[at(r)]) ++r;
        break;
      case TSQLRoutine::Other:
        r += IsKedLeadByte(c) && r + 1 < n ? 2 : 1;
        break;
      default:
        // Spaces, line breaks and symbols hide nothing: a symbol's second character is
        // never one that starts a string or a comment.
        ++r;
        break;
    }
  }
  line_ = line;
  range_ = range;
  run_ = n;
  tokenPos_ = n;
  tokenKind_ = TSQLTokenKind::Null;
}

// ---- samples -------------------------------------------------------------------------------

std::string TKedSQLHl::SampleSource() const {
  switch (dialect_) {
    case sqlStandard:
      return "-- ANSI SQL sample source\r\n"
             "SELECT name, LastName, Age\r\n"
             "FROM employees\r\n"
             "WHERE age > 25 AND name LIKE 'J%'\r\n";
    case sqlInterbase6:
      return "/* Interbase sample source */\r\n"
             "SET TERM !! ;\r\n"
             "CREATE PROCEDURE HelloWorld(P_MSG VARCHAR(80)) RETURNS (S VARCHAR(80))\r\n"
             "AS\r\n"
             "BEGIN\r\n"
             "  S = 'Hello, ' || :P_MSG;\r\n"
             "  SUSPEND;\r\n"
             "END !!\r\n"
             "SET TERM ; !!\r\n";
    case sqlMSSQL7:
    case sqlMSSQL2K:
      return "/* MS SQL sample source */\r\n"
             "SET QUOTED_IDENTIFIER ON\r\n"
             "GO\r\n"
             "SET ANSI_NULLS ON\r\n"
             "GO\r\n"
             "CREATE PROCEDURE [dbo].[GetOrders] @CustomerId INT, @Since DATETIME\r\n"
             "AS\r\n"
             "  SELECT * FROM [Orders] WHERE CustomerId = @CustomerId AND OrderDate >= @Since\r\n"
             "  RETURN @@ROWCOUNT\r\n"
             "GO\r\n";
    case sqlMySQL:
      return "/* MySQL sample source */\r\n"
             "SET @variable = 1;\r\n"
             "/*!40101 SET NAMES utf8 */;\r\n"
             "CREATE TABLE sample (\r\n"
             "  id INT(10) UNSIGNED NOT NULL AUTO_INCREMENT,\r\n"
             "  name VARCHAR(40) DEFAULT 'none',\r\n"
             "  PRIMARY KEY (id)\r\n"
             ");\r\n"
             "CREATE TABLE `log entries` (stamp DATETIME, note TEXT);\r\n"
             "SELECT DATE_ADD(stamp, INTERVAL 1 DAY) FROM `log entries`;\r\n"
             "# end of sample\r\n";
    case sqlOracle:
      return "PROMPT Oracle sample source\r\n"
             "DECLARE\r\n"
             "  v_count NUMBER := 0;\r\n"
             "BEGIN\r\n"
             "  SELECT COUNT(*) INTO v_count FROM employees WHERE salary > 1000;\r\n"
             "  DBMS_OUTPUT.PUT_LINE('Count: ' || TO_CHAR(v_count));\r\n"
             "EXCEPTION\r\n"
             "  WHEN NO_DATA_FOUND THEN\r\n"
             "    NULL;\r\n"
             "END;\r\n"
             "/\r\n";
    case sqlSybase:
      return "/* Sybase sample source */\r\n"
             "declare @name varchar(30), @total int\r\n"
             "select @name = \"first name\" + ' ' + \"last name\" from \"customers\"\r\n"
             "select @total = count(*) from orders\r\n";
    case sqlIngres:
      return "/* Ingres sample source */\r\n"
             "DELETE FROM t1\r\n"
             "WHERE EXISTS\r\n"
             "  (SELECT t2.column1 FROM t2 WHERE t1.column1 = t2.column1);\r\n";
  }
  return std::string();
}

namespace {
// The unit makes its class known to the list of highlighters when the program starts.
const bool registered = (RegisterHighlighterClass(TKedSQLHl::StaticClassInfo()), true);
}  // namespace
