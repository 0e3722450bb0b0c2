#include "translate/KxSimpleXml.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <vector>

namespace {

// Bound on element nesting: each level of a document costs stack in the readers, and a
// translation file is a handful of levels deep.
constexpr int kMaxDepth = 256;
constexpr int kBlockSize = 8191;

const char* const kElementEnd = "Invalid XML Element: Unexpected end of data";
const char* const kHeaderEnd = "Invalid Header: Unexpected end of data";
const char* const kDocTypeEnd = "Invalid Header: Unexpected end of data";
const char* const kOutOfMemory = "Out of memory while reading the document";

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

[[noreturn]] void Fail(const std::string& message) { throw EKxSimpleXMLError(message); }

// Reads a stream byte by byte through a block buffer and, when done, leaves the stream at
// the byte after the last one consumed, so the next reader starts exactly there. A memory
// stream (what LoadFromFile fills) is read in place: every element starts a reader, and
// refilling a block for each would copy the rest of the document again and again.
class TByteReader {
 public:
  explicit TByteReader(TStream* stream) : stream_(stream), start_(stream->Position()) {
    if (auto* memory = dynamic_cast<TMemoryStream*>(stream)) {
      const int64_t size = memory->Size();
      if (start_ < size) {
        block_ = reinterpret_cast<const char*>(memory->Memory()) + start_;
        len_ = size - start_;
      }
      inPlace_ = true;
    }
  }

  bool Next(char& c) {
    if (pos_ == len_ && !Refill()) return false;
    c = block_[pos_++];
    return true;
  }
  // Like Next, but the end of the data raises `endMessage`.
  char Need(const char* endMessage) {
    char c;
    if (!Next(c)) Fail(endMessage);
    return c;
  }
  // Puts the last byte back.
  void Back() {
    if (pos_ > 0) --pos_;
  }
  int64_t Offset() const { return start_ + consumedBefore_ + pos_; }
  // Positions the stream after the last consumed byte.
  void Finish() { stream_->SetPosition(Offset()); }

 private:
  bool Refill() {
    if (inPlace_) return false;
    if (buffer_.empty()) buffer_.resize(kBlockSize + 1);
    consumedBefore_ += len_;
    pos_ = 0;
    len_ = std::max(StreamReadChars(stream_, buffer_.data(), kBlockSize), 0);
    block_ = buffer_.data();
    return len_ > 0;
  }

  TStream* stream_;
  int64_t start_;
  int64_t consumedBefore_ = 0;
  bool inPlace_ = false;
  std::vector<char> buffer_;
  const char* block_ = nullptr;
  int64_t len_ = 0;
  int64_t pos_ = 0;
};

// Checks that the reader starts with `expected`; a wrong byte raises `prefix` + the
// expected/found message, the end of the data `endMessage`.
void ExpectText(TByteReader& in, const std::string& expected, const std::string& prefix,
                const char* endMessage) {
  for (char e : expected) {
    char c = in.Need(endMessage);
    if (c != e)
      Fail(Format(prefix + ": expected \"%0:s\" but found \"%1:s\"", std::string(1, e),
                  std::string(1, c)));
  }
}

class TDepthGuard {
 public:
  TDepthGuard() {
    if (++depth_ > kMaxDepth) {
      --depth_;
      Fail(Format("Invalid XML Element: elements nested deeper than %d levels", kMaxDepth));
    }
  }
  ~TDepthGuard() { --depth_; }
  TDepthGuard(const TDepthGuard&) = delete;
  TDepthGuard& operator=(const TDepthGuard&) = delete;

 private:
  static thread_local int depth_;
};
thread_local int TDepthGuard::depth_ = 0;

std::string Crlf() { return "\r\n"; }

// Every list here holds its objects; the string lists themselves do not free them.
void FreeObjects(THashedStringList& list) {
  std::vector<TObject*> objects;
  for (int i = 0; i < list.Count(); ++i) objects.push_back(list.Objects(i));
  list.Clear();
  for (TObject* o : objects) delete o;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct TNamedEntity {
  const char* Text;
  char Byte;
};
constexpr TNamedEntity kEntities[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};

// A named entity at `i`: its length and byte, 0 when there is none.
size_t MatchEntity(const std::string& s, size_t i, char& byte) {
  for (const TNamedEntity& e : kEntities) {
    const std::string text = e.Text;
    if (i + text.size() <= s.size() && SameText(s.substr(i, text.size()), text)) {
      byte = e.Byte;
      return text.size();
    }
  }
  return 0;
}

// A numeric reference "&#...;" at `i`: its length and byte, 0 when there is none or when
// it would give the byte 0 (a NUL would cut the text short wherever it goes next).
size_t MatchNumeric(const std::string& s, size_t i, char& byte) {
  size_t j = i + 2;
  if (i + 1 >= s.size() || s[i + 1] != '#') return 0;
  int base = 10;
  if (j < s.size() && (s[j] == 'x' || s[j] == 'X')) {
    base = 16;
    ++j;
  }
  const size_t digitsStart = j;
  unsigned low = 0;  // the number modulo 256: only its low byte is kept
  bool positive = false;
  for (; j < s.size(); ++j) {
    const int d = base == 16 ? HexDigit(s[j]) : (s[j] >= '0' && s[j] <= '9' ? s[j] - '0' : -1);
    if (d < 0) break;
    if (d != 0) positive = true;
    low = (low * static_cast<unsigned>(base) + static_cast<unsigned>(d)) & 0xFF;
  }
  if (j == digitsStart || j >= s.size() || s[j] != ';' || !positive || low == 0) return 0;
  byte = static_cast<char>(low);
  return j + 1 - i;
}

std::string Decode(const std::string& value, bool numeric) {
  if (value.find('&') == std::string::npos) return value;
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size();) {
    char byte = 0;
    size_t len = 0;
    if (value[i] == '&') {
      len = numeric ? MatchNumeric(value, i, byte) : 0;
      if (len == 0) len = MatchEntity(value, i, byte);
    }
    if (len > 0) {
      out += byte;
      i += len;
    } else {
      out += value[i++];
    }
  }
  return out;
}

std::string Encode(const std::string& value, bool highBytes) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '"':
        out += "&quot;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        if (highBytes && static_cast<unsigned char>(c) >= 128) {
          // Lower-case digits: the text of "&#x%.2x;" in C's printf, not the upper-case
          // hex of the framework's Format.
          const char* const digits = "0123456789abcdef";
          const auto b = static_cast<unsigned char>(c);
          out += "&#x";
          out += digits[b >> 4];
          out += digits[b & 15];
          out += ';';
        } else
          out += c;
    }
  }
  return out;
}

int64_t TextAsInteger(const std::string& text) {
  int64_t v;
  return TryStrToInt64(text, v) ? v : -1;
}

std::string EncodedValue(TKxSimpleXML* document, const std::string& value) {
  std::string v = value;
  if (document != nullptr) document->EncodeValue(v);
  return v;
}

// The prolog's element kinds by their opening text.
enum class TPrologKind { None, End, Comment, Sheet, Header, DocType };

TPrologKind ClassifyPrologText(const std::string& text) {
  if (text == "<![CDATA[") return TPrologKind::End;
  if (text == "<!--") return TPrologKind::Comment;
  if (text == "<?xml-stylesheet") return TPrologKind::Sheet;
  if (text == "<?xml ") return TPrologKind::Header;
  if (text == "<!DOCTYPE") return TPrologKind::DocType;
  if (text.size() >= 2 && text[1] != '!' && text[1] != '?') return TPrologKind::End;
  // A text that can no longer become one of the openings above ends the prolog too;
  // collecting on would only run to the end of the data and end it there.
  for (const char* p : {"<![CDATA[", "<!--", "<?xml-stylesheet", "<?xml ", "<!DOCTYPE"})
    if (std::string_view(p).starts_with(text)) return TPrologKind::None;
  return TPrologKind::End;
}

}  // namespace

namespace {
// An empty element of the same class as `model`.
std::unique_ptr<TKxSimpleXMLElem> NewElementLike(const TKxSimpleXMLElem* model,
                                                 TKxSimpleXMLElem* parent) {
  if (dynamic_cast<const TKxSimpleXMLElemText*>(model))
    return std::make_unique<TKxSimpleXMLElemText>(parent);
  if (dynamic_cast<const TKxSimpleXMLElemComment*>(model))
    return std::make_unique<TKxSimpleXMLElemComment>(parent);
  if (dynamic_cast<const TKxSimpleXMLElemCData*>(model))
    return std::make_unique<TKxSimpleXMLElemCData>(parent);
  if (dynamic_cast<const TKxSimpleXMLElemDocType*>(model))
    return std::make_unique<TKxSimpleXMLElemDocType>(parent);
  if (dynamic_cast<const TKxSimpleXMLElemSheet*>(model))
    return std::make_unique<TKxSimpleXMLElemSheet>(parent);
  if (dynamic_cast<const TKxSimpleXMLElemHeader*>(model))
    return std::make_unique<TKxSimpleXMLElemHeader>(parent);
  return std::make_unique<TKxSimpleXMLElemClassic>(parent);
}
}  // namespace

int StreamReadChars(TStream* stream, char* buffer, int count) {
  return stream->Read(buffer, count);
}

void StreamWriteChars(TStream* stream, const std::string& text, int count) {
  if (count > static_cast<int>(text.size())) count = static_cast<int>(text.size());
  if (count > 0) stream->WriteBuffer(text.data(), count);
}

std::string EncodeXmlValue(const std::string& value) { return Encode(value, true); }
std::string EncodeEntitiesOnly(const std::string& value) { return Encode(value, false); }
std::string DecodeXmlValue(const std::string& value) { return Decode(value, true); }
std::string DecodeEntitiesOnly(const std::string& value) { return Decode(value, false); }

// ---- attributes -------------------------------------------------------------------------

TKxSimpleXMLProp::TKxSimpleXMLProp(TKxSimpleXMLProps* parent, const std::string& name,
                                   const std::string& value)
    : parent_(parent), name_(name), value_(value) {}

std::string TKxSimpleXMLProp::FullName() const {
  return nameSpace_.empty() ? name_ : nameSpace_ + ":" + name_;
}

int64_t TKxSimpleXMLProp::ValueAsInteger() const { return TextAsInteger(value_); }

void TKxSimpleXMLProp::SaveToStream(TStream* stream, TKxSimpleXML* document) const {
  StreamWriteChars(stream, " " + FullName() + "=\"" + EncodedValue(document, value_) + "\"");
}

TKxSimpleXMLProps::TKxSimpleXMLProps(TKxSimpleXMLElem* parent) : parent_(parent) {}

TKxSimpleXMLProps::~TKxSimpleXMLProps() { FreeObjects(list_); }

int TKxSimpleXMLProps::GetCount() const { return list_.Count(); }

TKxSimpleXMLProp* TKxSimpleXMLProps::GetItem(int index) const {
  if (index < 0 || index >= list_.Count()) return nullptr;
  return static_cast<TKxSimpleXMLProp*>(list_.Objects(index));
}

TKxSimpleXMLProp* TKxSimpleXMLProps::Add(const std::string& name, const std::string& value) {
  auto prop = std::make_unique<TKxSimpleXMLProp>(this, name, value);
  list_.AddObject(name, prop.get());
  return prop.release();
}

TKxSimpleXMLProp* TKxSimpleXMLProps::Find(const std::string& name,
                                          const std::string& defaultValue) {
  const int index = list_.IndexOf(name);
  if (index >= 0) return GetItem(index);
  TKxSimpleXML* document = parent_ != nullptr ? parent_->GetDocument() : nullptr;
  if (document != nullptr && document->Options().Contains(sxoAutoCreate))
    return Add(name, defaultValue);
  return nullptr;
}

int64_t TKxSimpleXMLProps::GetIntegerValue(const std::string& name, int64_t defaultValue) {
  TKxSimpleXMLProp* prop = Find(name, IntToStr(defaultValue));
  return prop != nullptr ? prop->ValueAsInteger() : defaultValue;
}

std::string TKxSimpleXMLProps::GetStringValue(const std::string& name,
                                              const std::string& defaultValue) {
  TKxSimpleXMLProp* prop = Find(name, defaultValue);
  return prop != nullptr ? prop->Value() : defaultValue;
}

void TKxSimpleXMLProps::Delete(int index) {
  TKxSimpleXMLProp* prop = GetItem(index);
  if (prop == nullptr) return;
  list_.Delete(index);
  delete prop;
}

void TKxSimpleXMLProps::Clear() { FreeObjects(list_); }

void TKxSimpleXMLProps::LoadFromStream(TStream* stream) {
  enum { BeforeName, InName, AfterName, BeforeValue, InValue } state = BeforeName;
  TByteReader in(stream);
  std::string name, nameSpace, value;
  char quote = 0;
  auto unexpected = [](char c) {
    Fail(Format("Invalid XML Element: Unexpected character in property declaration (\"%s\" found)",
                std::string(1, c)));
  };
  for (;;) {
    const char c = in.Need(kElementEnd);
    switch (state) {
      case BeforeName:
        if (IsWhite(c)) break;
        if (IsNameByte(c)) {
          name.assign(1, c);
          nameSpace.clear();
          state = InName;
        } else if (c == '/' || c == '>' || c == '?') {
          in.Back();
          in.Finish();
          return;
        } else {
          unexpected(c);
        }
        break;
      case InName:
        if (IsNameByte(c)) {
          name += c;
        } else if (c == ':') {
          nameSpace = name;
          name.clear();
        } else if (c == '=') {
          state = BeforeValue;
        } else if (IsWhite(c)) {
          state = AfterName;
        } else {
          unexpected(c);
        }
        break;
      case AfterName:
        if (IsWhite(c)) break;
        if (c == '=')
          state = BeforeValue;
        else
          unexpected(c);
        break;
      case BeforeValue:
        if (IsWhite(c)) break;
        if (c == '"' || c == '\'') {
          quote = c;
          value.clear();
          state = InValue;
        } else {
          Fail(
              Format("Invalid XML Element: Unexpected character in property declaration. "
                     "Expecting \" or ' but \"%s\"  found",
                     std::string(1, c)));
        }
        break;
      case InValue:
        if (c != quote) {
          value += c;
          break;
        }
        if (TKxSimpleXML* document = parent_ != nullptr ? parent_->GetDocument() : nullptr)
          document->DecodeValue(value);
        Add(name, value)->SetNameSpace(nameSpace);
        state = BeforeName;
        break;
    }
  }
}

void TKxSimpleXMLProps::SaveToStream(TStream* stream, TKxSimpleXML* document) const {
  for (int i = 0; i < GetCount(); ++i) GetItem(i)->SaveToStream(stream, document);
}

// ---- elements ---------------------------------------------------------------------------

TKxSimpleXMLElem::TKxSimpleXMLElem(TKxSimpleXMLElem* parent) : parent_(parent) {}

TKxSimpleXMLElem::~TKxSimpleXMLElem() {
  // Children first: their destructors must not reach a half-dead parent.
  children_.reset();
  props_.reset();
}

void TKxSimpleXMLElem::Assign(TKxSimpleXMLElem* source) {
  Clear();
  if (source == nullptr) return;
  SetName(source->Name());
  value_ = source->Value();
  nameSpace_ = source->NameSpace();
  if (source->HasProps()) {
    TKxSimpleXMLProps* from = source->GetProps();
    for (int i = 0; i < from->GetCount(); ++i) {
      TKxSimpleXMLProp* p = from->GetItem(i);
      GetProps()->Add(p->Name(), p->Value())->SetNameSpace(p->NameSpace());
    }
  }
  if (source->HasChildren()) {
    TKxSimpleXMLElems* from = source->GetChildren();
    for (int i = 0; i < from->GetCount(); ++i) {
      TKxSimpleXMLElem* child = from->GetItem(i);
      std::unique_ptr<TKxSimpleXMLElem> copy = NewElementLike(child, this);
      copy->Assign(child);
      GetChildren()->Add(copy.release());
    }
  }
}

void TKxSimpleXMLElem::Clear() {
  if (children_) children_->Clear();
  if (props_) props_->Clear();
}

std::string TKxSimpleXMLElem::FullName() const {
  return nameSpace_.empty() ? name_ : nameSpace_ + ":" + name_;
}

void TKxSimpleXMLElem::SetName(const std::string& value) {
  if (value.empty() || value == name_) return;
  if (!name_.empty() && container_ != nullptr) container_->Rename(this, value);
  name_ = value;
}

TKxSimpleXMLElems* TKxSimpleXMLElem::GetChildren() {
  if (!children_) children_ = std::make_unique<TKxSimpleXMLElems>(this);
  return children_.get();
}

TKxSimpleXMLProps* TKxSimpleXMLElem::GetProps() {
  if (!props_) props_ = std::make_unique<TKxSimpleXMLProps>(this);
  return props_.get();
}

bool TKxSimpleXMLElem::HasChildren() const { return children_ && children_->GetCount() > 0; }
bool TKxSimpleXMLElem::HasProps() const { return props_ && props_->GetCount() > 0; }

TKxSimpleXML* TKxSimpleXMLElem::GetDocument() const {
  const TKxSimpleXMLElem* e = this;
  while (e->parent_ != nullptr) e = e->parent_;
  return e->document_;
}

int64_t TKxSimpleXMLElem::ValueAsInteger() const { return TextAsInteger(value_); }

void TKxSimpleXMLElem::RaiseError(const std::string& message) const { Fail(message); }

void TKxSimpleXMLElem::SaveChildren(TStream* stream, const std::string& indent,
                                    TKxSimpleXML* document) {
  if (!children_) return;
  std::string childIndent = indent;
  if (document != nullptr && document->Options().Contains(sxoAutoIndent))
    childIndent += document->IndentString();
  for (int i = 0; i < children_->GetCount(); ++i)
    children_->GetItem(i)->SaveToStream(stream, childIndent, document);
}

void TKxSimpleXMLElemClassic::LoadFromStream(TStream* stream, TKxSimpleXML* document) {
  TDepthGuard depth;
  auto in = std::make_unique<TByteReader>(stream);
  const char first = in->Need(kElementEnd);
  if (first != '<')
    Fail(Format("Invalid XML Element: Expected beginning of tag but \"%s\" found",
                std::string(1, first)));
  std::string name, nameSpace;
  for (;;) {
    const char c = in->Need(kElementEnd);
    if (IsWhite(c)) {
      if (name.empty()) Fail("Invalid XML Element: malformed tag found (no valid name)");
      in->Finish();
      GetProps()->LoadFromStream(stream);
      in = std::make_unique<TByteReader>(stream);
    } else if (c == '/') {
      const char end = in->Need(kElementEnd);
      if (end != '>')
        Fail(Format("Invalid XML Element: Expected end of tag but \"%s\" found",
                    std::string(1, end)));
      in->Finish();
      break;
    } else if (c == '>') {
      in->Finish();
      // The document goes to this element's own list only: parse events and progress
      // come from the first two levels.
      const std::string closing = GetChildren()->LoadFromStream(stream, document);
      const std::string opening = nameSpace.empty() ? name : nameSpace + ":" + name;
      if (!SameText(closing, opening))
        Fail(
            Format("Invalid XML Element: Erroneous end of tag, expecting </%0:s> but </%1:s> "
                   "found",
                   name, closing));
      break;
    } else if (c == ':') {
      nameSpace = name;
      name.clear();
    } else {
      name += c;
    }
  }
  TKxSimpleXMLElems* children = GetChildren();
  if (children->GetCount() == 1) {
    if (auto* text = dynamic_cast<TKxSimpleXMLElemText*>(children->GetItem(0))) {
      SetValue(text->Value());
      children->Clear();
    }
  }
  SetName(name);
  SetNameSpace(nameSpace);
  if (document != nullptr) {
    if (document->OnTagParsed) document->OnTagParsed(document, name);
    if (document->OnValueParsed) document->OnValueParsed(document, name, Value());
  }
}

void TKxSimpleXMLElemClassic::SaveToStream(TStream* stream, const std::string& indent,
                                           TKxSimpleXML* document) {
  if (Name().empty()) {
    SaveChildren(stream, indent, document);
  } else {
    std::string open = indent + "<" + FullName();
    StreamWriteChars(stream, open);
    if (HasProps()) GetProps()->SaveToStream(stream, document);
    if (HasChildren()) {
      StreamWriteChars(stream, ">" + Crlf());
      SaveChildren(stream, indent, document);
      StreamWriteChars(stream, indent + "</" + FullName() + ">" + Crlf());
    } else if (!Value().empty()) {
      StreamWriteChars(stream,
                       ">" + EncodedValue(document, Value()) + "</" + FullName() + ">" + Crlf());
    } else {
      StreamWriteChars(stream, "/>" + Crlf());
    }
  }
  if (document != nullptr) document->ReportSaveProgress();
}

void TKxSimpleXMLElemText::LoadFromStream(TStream* stream, TKxSimpleXML* document) {
  TByteReader in(stream);
  std::string text;
  char c;
  while (in.Next(c)) {
    if (c == '<') {
      in.Back();
      break;
    }
    text += c;
  }
  in.Finish();
  if (TKxSimpleXML* owner = GetDocument()) owner->DecodeValue(text);
  SetValue(text);
  if (document != nullptr && document->OnValueParsed) document->OnValueParsed(document, "", text);
}

void TKxSimpleXMLElemText::SaveToStream(TStream* stream, const std::string& indent,
                                        TKxSimpleXML* document) {
  if (!Value().empty()) StreamWriteChars(stream, indent + EncodedValue(document, Value()) + Crlf());
  if (document != nullptr) document->ReportSaveProgress();
}

void TKxSimpleXMLElemComment::LoadFromStream(TStream* stream, TKxSimpleXML*) {
  const char* const endMessage = "Invalid Comment: Unexpected end of data";
  TByteReader in(stream);
  ExpectText(in, "<!--", "Invalid Comment", endMessage);
  std::string content;
  for (;;) {
    const char c = in.Need(endMessage);
    if (c != '-') {
      content += c;
      continue;
    }
    const char d = in.Need(endMessage);
    if (d != '-') {
      content += c;
      content += d;
      continue;
    }
    const char e = in.Need(endMessage);
    if (e == '>') break;
    if (in.Need(endMessage) != '>') Fail("Invalid Comment: \"--\" not allowed inside comments");
    // "--x>": the three bytes are content; the ">" is read again as content.
    in.Back();
    content += "--";
    content += e;
  }
  in.Finish();
  SetValue(content);
}

void TKxSimpleXMLElemComment::SaveToStream(TStream* stream, const std::string& indent,
                                           TKxSimpleXML* document) {
  StreamWriteChars(stream, indent + "<!--" + Value() + "-->" + Crlf());
  if (document != nullptr) document->ReportSaveProgress();
}

void TKxSimpleXMLElemCData::LoadFromStream(TStream* stream, TKxSimpleXML*) {
  const char* const endMessage = "Invalid CDATA: Unexpected end of data";
  TByteReader in(stream);
  ExpectText(in, "<![CDATA[", "Invalid CDATA", endMessage);
  std::string content;
  for (;;) {
    content += in.Need(endMessage);
    const size_t n = content.size();
    if (n >= 3 && content.compare(n - 3, 3, "]]>") == 0) {
      content.resize(n - 3);
      break;
    }
  }
  in.Finish();
  SetValue(content);
}

void TKxSimpleXMLElemCData::SaveToStream(TStream* stream, const std::string& indent,
                                         TKxSimpleXML* document) {
  StreamWriteChars(stream, indent + "<![CDATA[" + Value() + "]]>" + Crlf());
  if (document != nullptr) document->ReportSaveProgress();
}

void TKxSimpleXMLElemDocType::LoadFromStream(TStream* stream, TKxSimpleXML*) {
  TByteReader in(stream);
  ExpectText(in, "<!DOCTYPE", "Invalid Header", kDocTypeEnd);
  std::string content;
  bool inSubset = false;  // inside "[...]" a ">" belongs to the content
  for (;;) {
    const char c = in.Need(kDocTypeEnd);
    if (!inSubset && c == '>') break;
    if (c == '[') inSubset = true;
    if (c == ']') inSubset = false;
    content += c;
  }
  in.Finish();
  SetValue(Trim(content));
}

void TKxSimpleXMLElemDocType::SaveToStream(TStream* stream, const std::string&,
                                           TKxSimpleXML* document) {
  StreamWriteChars(stream, "<!DOCTYPE " + Value() + ">" + Crlf());
  if (document != nullptr) document->ReportSaveProgress();
}

namespace {
// The "?>" that closes an instruction after its attributes.
void ExpectInstructionEnd(TStream* stream, const std::string& prefix, const char* endMessage) {
  TByteReader in(stream);
  ExpectText(in, "?>", prefix, endMessage);
  in.Finish();
}

// Attribute errors inside an instruction speak of the instruction: the end of the data
// gets the instruction's own message.
void LoadInstructionProps(TKxSimpleXMLProps* props, TStream* stream, const char* endMessage) {
  try {
    props->LoadFromStream(stream);
  } catch (const EKxSimpleXMLError& e) {
    if (e.Message() == kElementEnd) Fail(endMessage);
    throw;
  }
}
}  // namespace

void TKxSimpleXMLElemSheet::LoadFromStream(TStream* stream, TKxSimpleXML*) {
  const char* const endMessage = "Invalid Stylesheet: Unexpected end of data";
  {
    TByteReader in(stream);
    ExpectText(in, "<?xml-stylesheet", "Invalid Stylesheet", endMessage);
    in.Finish();
  }
  LoadInstructionProps(GetProps(), stream, endMessage);
  ExpectInstructionEnd(stream, "Invalid Stylesheet", endMessage);
  SetName("xml-stylesheet");
}

void TKxSimpleXMLElemSheet::SaveToStream(TStream* stream, const std::string& indent,
                                         TKxSimpleXML* document) {
  StreamWriteChars(stream, indent + "<?xml-stylesheet");
  if (HasProps()) GetProps()->SaveToStream(stream, document);
  StreamWriteChars(stream, "?>" + Crlf());
  if (document != nullptr) document->ReportSaveProgress();
}

TKxSimpleXMLElemHeader::TKxSimpleXMLElemHeader(TKxSimpleXMLElem* parent)
    : TKxSimpleXMLElem(parent) {}

void TKxSimpleXMLElemHeader::Assign(TKxSimpleXMLElem* source) {
  TKxSimpleXMLElem::Assign(source);
  if (auto* header = dynamic_cast<TKxSimpleXMLElemHeader*>(source)) {
    Standalone = header->Standalone;
    Encoding = header->Encoding;
    Version = header->Version;
  }
}

void TKxSimpleXMLElemHeader::LoadFromStream(TStream* stream, TKxSimpleXML*) {
  {
    TByteReader in(stream);
    ExpectText(in, "<?xml", "Invalid Header", kHeaderEnd);
    in.Finish();
  }
  TKxSimpleXMLProps* props = GetProps();
  LoadInstructionProps(props, stream, kHeaderEnd);
  auto value = [props](const char* name) {
    for (int i = 0; i < props->GetCount(); ++i)
      if (SameText(props->GetItem(i)->Name(), name)) return props->GetItem(i)->Value();
    return std::string();
  };
  Version = value("version");
  Encoding = value("encoding");
  Standalone = SameText(value("standalone"), "yes");
  props->Clear();
  ExpectInstructionEnd(stream, "Invalid Header", kHeaderEnd);
  SetName("xml");
}

void TKxSimpleXMLElemHeader::SaveToStream(TStream* stream, const std::string& indent,
                                          TKxSimpleXML* document) {
  std::string text = indent + "<?xml version=\"" + Version + "\"";
  if (!Encoding.empty()) text += " encoding=\"" + Encoding + "\"";
  if (Standalone) text += " standalone=\"yes\"";
  StreamWriteChars(stream, text + "?>" + Crlf());
  if (document != nullptr) document->ReportSaveProgress();
}

// ---- element lists ----------------------------------------------------------------------

TKxSimpleXMLElems::TKxSimpleXMLElems(TKxSimpleXMLElem* parent) : parent_(parent) {}

TKxSimpleXMLElems::~TKxSimpleXMLElems() { Clear(); }

int TKxSimpleXMLElems::GetCount() const { return list_.Count(); }

TKxSimpleXMLElem* TKxSimpleXMLElems::GetItem(int index) const {
  if (index < 0 || index >= list_.Count()) return nullptr;
  return static_cast<TKxSimpleXMLElem*>(list_.Objects(index));
}

TKxSimpleXMLElem* TKxSimpleXMLElems::FindNamed(const std::string& name) {
  const int index = list_.IndexOf(name);
  if (index >= 0) return GetItem(index);
  TKxSimpleXML* document = parent_ != nullptr ? parent_->GetDocument() : nullptr;
  if (document != nullptr && document->Options().Contains(sxoAutoCreate)) return Add(name);
  return nullptr;
}

TKxSimpleXMLElem* TKxSimpleXMLElems::Add(TKxSimpleXMLElem* element) {
  if (element == nullptr) return nullptr;
  // Removed by identity: with duplicate names a lookup by name could find a sibling.
  if (element->container_ != nullptr) element->container_->Extract(element);
  list_.AddObject(element->Name(), element);
  element->container_ = this;
  element->parent_ = parent_;
  return element;
}

TKxSimpleXMLElemClassic* TKxSimpleXMLElems::Add(const std::string& name, const std::string& value) {
  auto element = std::make_unique<TKxSimpleXMLElemClassic>(parent_);
  element->SetName(name);
  element->SetValue(value);
  Add(element.get());
  return element.release();
}

void TKxSimpleXMLElems::Clear() {
  std::vector<TObject*> objects;
  for (int i = 0; i < list_.Count(); ++i) objects.push_back(list_.Objects(i));
  list_.Clear();
  for (TObject* o : objects) {
    static_cast<TKxSimpleXMLElem*>(o)->container_ = nullptr;
    delete o;
  }
}

void TKxSimpleXMLElems::Extract(TKxSimpleXMLElem* element) {
  const int index = list_.IndexOfObject(element);
  if (index >= 0) list_.Delete(index);
  element->container_ = nullptr;
}

void TKxSimpleXMLElems::Rename(TKxSimpleXMLElem* element, const std::string& name) {
  const int index = list_.IndexOfObject(element);
  if (index >= 0) list_.Put(index, name);
}

std::string TKxSimpleXMLElems::LoadFromStream(TStream* stream, TKxSimpleXML* document) {
  Clear();
  for (;;) {
    TByteReader in(stream);
    char c = in.Need(kElementEnd);
    while (IsWhite(c)) c = in.Need(kElementEnd);
    if (c != '<') {
      in.Back();
      in.Finish();
      auto text = std::make_unique<TKxSimpleXMLElemText>(parent_);
      text->LoadFromStream(stream, document);
      Add(text.release());
      continue;
    }
    const int64_t start = in.Offset() - 1;
    std::string tag = "<";
    std::unique_ptr<TKxSimpleXMLElem> element;
    bool closing = false;
    while (!element && !closing) {
      const char b = in.Need(kElementEnd);
      if (b == ' ' || b == ':' || b == '>') {
        element = std::make_unique<TKxSimpleXMLElemClassic>(parent_);
      } else if (b == '/') {
        if (tag == "<")
          closing = true;
        else
          element = std::make_unique<TKxSimpleXMLElemClassic>(parent_);
      } else {
        if (!(tag == "<![CDATA" && IsWhite(b))) tag += b;
        if (tag == "<![CDATA[")
          element = std::make_unique<TKxSimpleXMLElemCData>(parent_);
        else if (tag == "<!--")
          element = std::make_unique<TKxSimpleXMLElemComment>(parent_);
      }
    }
    if (closing) {
      std::string name, nameSpace;
      for (;;) {
        const char b = in.Need(kElementEnd);
        if (b == '>') break;
        if (b == ':') {
          nameSpace = name;
          name.clear();
        } else {
          name += b;
        }
      }
      in.Finish();
      return nameSpace.empty() ? name : nameSpace + ":" + name;
    }
    stream->SetPosition(start);
    // Elements deeper than this list are read without the document.
    element->LoadFromStream(stream, nullptr);
    Add(element.release());
  }
}

// ---- prolog -----------------------------------------------------------------------------

TKxSimpleXMLElemsProlog::TKxSimpleXMLElemsProlog() = default;

TKxSimpleXMLElemsProlog::~TKxSimpleXMLElemsProlog() { FreeObjects(list_); }

int TKxSimpleXMLElemsProlog::GetCount() const { return list_.Count(); }

TKxSimpleXMLElem* TKxSimpleXMLElemsProlog::GetItem(int index) const {
  if (index < 0 || index >= list_.Count()) return nullptr;
  return static_cast<TKxSimpleXMLElem*>(list_.Objects(index));
}

TKxSimpleXMLElem* TKxSimpleXMLElemsProlog::Add(TKxSimpleXMLElem* element) {
  list_.AddObject(element->Name(), element);
  return element;
}

void TKxSimpleXMLElemsProlog::Clear() { FreeObjects(list_); }

void TKxSimpleXMLElemsProlog::LoadFromStream(TStream* stream, TKxSimpleXML* document) {
  for (;;) {
    TByteReader in(stream);
    char c;
    bool more = in.Next(c);
    while (more && IsWhite(c)) more = in.Next(c);
    if (!more) {
      in.Finish();
      return;
    }
    if (c != '<') Fail("Invalid Document: Unexpected text in file prolog");
    const int64_t start = in.Offset() - 1;
    std::string text = "<";
    TPrologKind kind = TPrologKind::None;
    while (kind == TPrologKind::None) {
      if (!in.Next(c)) {
        kind = TPrologKind::End;
        break;
      }
      if (!(text == "<![CDATA" && IsWhite(c))) text += c;
      kind = ClassifyPrologText(text);
    }
    stream->SetPosition(start);
    std::unique_ptr<TKxSimpleXMLElem> element;
    switch (kind) {
      case TPrologKind::Comment:
        element = std::make_unique<TKxSimpleXMLElemComment>(nullptr);
        break;
      case TPrologKind::Sheet:
        element = std::make_unique<TKxSimpleXMLElemSheet>(nullptr);
        break;
      case TPrologKind::Header:
        element = std::make_unique<TKxSimpleXMLElemHeader>(nullptr);
        break;
      case TPrologKind::DocType:
        element = std::make_unique<TKxSimpleXMLElemDocType>(nullptr);
        break;
      default:
        return;  // the root begins at this "<"
    }
    element->LoadFromStream(stream, document);
    Add(element.release());
  }
}

void TKxSimpleXMLElemsProlog::SaveToStream(TStream* stream, TKxSimpleXML* document) {
  for (int i = 0; i < GetCount(); ++i) GetItem(i)->SaveToStream(stream, "", document);
}

// ---- the document ----------------------------------------------------------------------

K_PUBLISH(TKxSimpleXML) {
  p.Prop("FileName", &TKxSimpleXML::FileName, &TKxSimpleXML::SetFileName);
  p.Set("Options", &TKxSimpleXML::Options, &TKxSimpleXML::SetOptions,
        {"sxoAutoCreate", "sxoAutoIndent", "sxoAutoEncodeValue", "sxoAutoEncodeEntity",
         "sxoDoNotSaveProlog"});
  p.Prop("IndentString", &TKxSimpleXML::IndentString, &TKxSimpleXML::SetIndentString);
}

TKxSimpleXML::TKxSimpleXML(TComponent* owner)
    : TComponent(owner),
      root_(std::make_unique<TKxSimpleXMLElemClassic>(nullptr)),
      prolog_(std::make_unique<TKxSimpleXMLElemsProlog>()) {
  root_->document_ = this;
}

TKxSimpleXML::~TKxSimpleXML() = default;

void TKxSimpleXML::SetFileName(const std::string& value) {
  fileName_ = value;
  LoadFromFile(value);
}

void TKxSimpleXML::SetIndentString(const std::string& value) {
  for (char c : value)
    if (c != ' ' && c != '\t') return;
  indentString_ = value;
}

void TKxSimpleXML::LoadFromFile(const std::string& fileName) {
  TMemoryStream stream;
  stream.LoadFromFile(fileName);
  LoadFromStream(&stream);
}

void TKxSimpleXML::LoadFromString(const std::string& text) {
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

void TKxSimpleXML::LoadFromStream(TStream* stream) {
  root_->Clear();
  prolog_->Clear();
  // A document too large for the memory left (a huge attribute, say) cannot be read, like a
  // malformed one: the caller gets the reader's own error, not a bare allocation failure.
  try {
    std::unique_ptr<TMemoryStream> decoded;
    if (OnDecodeStream) {
      decoded = std::make_unique<TMemoryStream>();
      OnDecodeStream(this, stream, decoded.get());
      decoded->SetPosition(0);
      stream = decoded.get();
    }
    if (OnLoadProgress) {
      const int64_t size = stream->Size();
      ReportLoadProgress(stream->Position(), size);
      prolog_->LoadFromStream(stream, this);
      root_->LoadFromStream(stream, this);
      ReportLoadProgress(stream->Position(), size);
    } else if (OnTagParsed || OnValueParsed) {
      prolog_->LoadFromStream(stream, this);
      root_->LoadFromStream(stream, this);
    } else {
      prolog_->LoadFromStream(stream, nullptr);
      root_->LoadFromStream(stream, nullptr);
    }
  } catch (const std::bad_alloc&) {
    Fail(kOutOfMemory);
  } catch (const EOutOfMemory&) {
    Fail(kOutOfMemory);
  }
}

void TKxSimpleXML::SaveToStream(TStream* stream) {
  std::unique_ptr<TMemoryStream> plain;
  TStream* target = stream;
  if (OnEncodeStream) {
    plain = std::make_unique<TMemoryStream>();
    target = plain.get();
  }
  saveCurrent_ = 0;
  saveCount_ = 0;
  if (!options_.Contains(sxoDoNotSaveProlog)) prolog_->SaveToStream(target, this);
  root_->SaveToStream(target, "", this);
  if (plain) {
    plain->SetPosition(0);
    OnEncodeStream(this, plain.get(), stream);
  }
}

void TKxSimpleXML::SaveToFile(const std::string& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

std::string TKxSimpleXML::SaveToString() {
  TMemoryStream stream;
  SaveToStream(&stream);
  return std::string(reinterpret_cast<const char*>(stream.Memory()),
                     static_cast<size_t>(stream.Size()));
}

void TKxSimpleXML::EncodeValue(std::string& value) {
  if (OnEncodeValue)
    OnEncodeValue(this, value);
  else if (options_.Contains(sxoAutoEncodeValue))
    value = EncodeXmlValue(value);
  else if (options_.Contains(sxoAutoEncodeEntity))
    value = EncodeEntitiesOnly(value);
}

void TKxSimpleXML::DecodeValue(std::string& value) {
  if (OnDecodeValue)
    OnDecodeValue(this, value);
  else if (options_.Contains(sxoAutoEncodeValue))
    value = DecodeXmlValue(value);
  else if (options_.Contains(sxoAutoEncodeEntity))
    value = DecodeEntitiesOnly(value);
}

void TKxSimpleXML::ReportLoadProgress(int64_t position, int64_t total) {
  if (OnLoadProgress) OnLoadProgress(this, position, total);
}

void TKxSimpleXML::ReportSaveProgress() {
  ++saveCurrent_;
  if (saveCurrent_ > saveCount_) saveCount_ = saveCurrent_;
  if (OnSaveProgress) OnSaveProgress(this, saveCurrent_, saveCount_);
}
