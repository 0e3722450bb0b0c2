#include "editor/KedHighlighterSQL.h"

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
  keywords_.Add(hash, std::make_unique<TKedHashEntry>(word, kind));
}

void TKedSQLHl::BuildKeywordTable() {
  keywords_.Clear();
  identifiers_ = IsMSSQL() ? &CharTables().IdentB : &CharTables().IdentA;
  hashValues_ = IsMSSQL() ? &CharTables().HashB : &CharTables().HashA;
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
