#include "framework/Mask.h"

#include <algorithm>

namespace {

unsigned char U(char ch) { return static_cast<unsigned char>(ch); }

// The mask's fields: ';' separates them unless a '\' escapes it.
std::vector<std::string> SplitFields(const std::string& mask) {
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == '\\' && i + 1 < mask.size()) {
      fields.back() += mask.substr(i, 2);
      ++i;
    } else if (mask[i] == ';') {
      fields.emplace_back();
    } else {
      fields.back() += mask[i];
    }
  }
  return fields;
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

}  // namespace

bool IsMaskLetter(char ch) {
  const unsigned char c = U(ch);
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
      return true;
    case 0xD7:
    case 0xF7:
      return false;
    default:
      return c >= 0xC0;
  }
}

char MaskUpper(char ch) {
  const unsigned char c = U(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 0x20);
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return static_cast<char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return static_cast<char>(0x8A);
    case 0x9C:
      return static_cast<char>(0x8C);
    case 0x9E:
      return static_cast<char>(0x8E);
    case 0xFF:
      return static_cast<char>(0x9F);
    default:
      return ch;
  }
}

char MaskLower(char ch) {
  const unsigned char c = U(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 0x20);
  switch (c) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return ch;
  }
}

TEditMask::TEditMask(const std::string& mask) {
  const std::vector<std::string> fields = SplitFields(mask);
  if (fields.size() > 1) saveLiterals_ = fields[1] != "0";
  if (fields.size() > 2 && !fields[2].empty()) blank_ = fields[2][0];
  const std::string& m = fields[0];
  TMaskCase mode = TMaskCase::None;
  auto input = [&](TMaskCharKind kind, bool required) {
    places_.push_back(TMaskPlace{.Kind = kind, .Required = required, .Case = mode});
  };
  auto literal = [&](char ch) { places_.push_back(TMaskPlace{.Literal = ch}); };
  for (size_t i = 0; i < m.size(); ++i) {
    const char ch = m[i];
    switch (ch) {
      case '\\':
        if (i + 1 < m.size()) literal(m[++i]);
        break;
      case '!':
        break;
      case '>':
        mode = TMaskCase::Upper;
        break;
      case '<':
        if (i + 1 < m.size() && m[i + 1] == '>') {
          mode = TMaskCase::None;
          ++i;
        } else {
          mode = TMaskCase::Lower;
        }
        break;
      case 'L':
        input(TMaskCharKind::Letter, true);
        break;
      case 'l':
        input(TMaskCharKind::Letter, false);
        break;
      case 'A':
        input(TMaskCharKind::AlphaNum, true);
        break;
      case 'a':
        input(TMaskCharKind::AlphaNum, false);
        break;
      case 'C':
        input(TMaskCharKind::AnyChar, true);
        break;
      case 'c':
        input(TMaskCharKind::AnyChar, false);
        break;
      case '0':
        input(TMaskCharKind::Digit, true);
        break;
      case '9':
        input(TMaskCharKind::Digit, false);
        break;
      case '#':
        input(TMaskCharKind::DigitOrSign, false);
        break;
      case '_':
        literal(' ');
        break;
      default:
        literal(ch);
        break;
    }
  }
  // A mask of case marks alone has no places: the edit stays free, and the other fields
  // mean nothing then.
  if (places_.empty()) *this = TEditMask();
}

bool TEditMask::IsInput(int pos) const {
  return pos >= 0 && pos < Length() &&
         places_[static_cast<size_t>(pos)].Kind != TMaskCharKind::Literal;
}

std::string TEditMask::BlankText() const {
  std::string text;
  text.reserve(places_.size());
  for (const TMaskPlace& p : places_) text += p.Kind == TMaskCharKind::Literal ? p.Literal : blank_;
  return text;
}

std::optional<char> TEditMask::Accept(int pos, char ch) const {
  if (!IsInput(pos)) return std::nullopt;
  const TMaskPlace& p = places_[static_cast<size_t>(pos)];
  bool fits = false;
  switch (p.Kind) {
    case TMaskCharKind::Letter:
      fits = IsMaskLetter(ch);
      break;
    case TMaskCharKind::AlphaNum:
      fits = IsMaskLetter(ch) || IsDigit(ch);
      break;
    case TMaskCharKind::AnyChar:
      fits = U(ch) >= 0x20 && U(ch) != 0x7F;
      break;
    case TMaskCharKind::Digit:
      fits = IsDigit(ch);
      break;
    case TMaskCharKind::DigitOrSign:
      fits = IsDigit(ch) || ch == '+' || ch == '-';
      break;
    case TMaskCharKind::Literal:
      break;
  }
  if (!fits) return std::nullopt;
  if (p.Case == TMaskCase::Upper) return MaskUpper(ch);
  if (p.Case == TMaskCase::Lower) return MaskLower(ch);
  return ch;
}

int TEditMask::InputAtOrAfter(int pos) const {
  for (int i = std::max(pos, 0); i < Length(); ++i)
    if (IsInput(i)) return i;
  return -1;
}

int TEditMask::InputBefore(int pos) const {
  for (int i = std::min(pos, Length()) - 1; i >= 0; --i)
    if (IsInput(i)) return i;
  return -1;
}

std::string TEditMask::EditTextOf(const std::string& value) const {
  std::string text = BlankText();
  size_t v = 0;
  for (int i = 0; i < Length() && v < value.size(); ++i) {
    const TMaskPlace& p = places_[static_cast<size_t>(i)];
    if (p.Kind == TMaskCharKind::Literal) {
      if (saveLiterals_) {
        if (value[v] == p.Literal) ++v;
      }
      continue;
    }
    const char ch = value[v++];
    if (auto accepted = Accept(i, ch)) text[static_cast<size_t>(i)] = *accepted;
  }
  return text;
}

std::string TEditMask::TextOf(const std::string& editText) const {
  const std::string fitted = Fit(editText);
  std::string text;
  for (int i = 0; i < Length(); ++i) {
    const char ch = fitted[static_cast<size_t>(i)];
    if (!IsInput(i)) {
      if (saveLiterals_) text += places_[static_cast<size_t>(i)].Literal;
    } else {
      text += ch == blank_ ? ' ' : ch;
    }
  }
  return text;
}

std::string TEditMask::Fit(const std::string& editText) const {
  std::string text = BlankText();
  const size_t n = std::min(text.size(), editText.size());
  for (size_t i = 0; i < n; ++i)
    if (IsInput(static_cast<int>(i))) text[i] = editText[i];
  return text;
}

void TEditMask::Blank(std::string& text, int from, int to) const {
  for (int i = std::max(from, 0); i < std::min(to, Length()); ++i)
    if (IsInput(i)) text[static_cast<size_t>(i)] = blank_;
}

std::optional<TEditMask::TMaskChange> TEditMask::Type(const std::string& editText, int selStart,
                                                      int selEnd, char ch) const {
  const int pos = InputAtOrAfter(selStart);
  if (pos < 0) return std::nullopt;
  std::optional<char> accepted = Accept(pos, ch);
  // A space clears an optional place, as an unfilled place reads as a space.
  if (!accepted && ch == ' ' && !places_[static_cast<size_t>(pos)].Required) accepted = blank_;
  if (!accepted) return std::nullopt;
  TMaskChange e{Fit(editText), 0};
  Blank(e.Text, selStart, selEnd);
  e.Text[static_cast<size_t>(pos)] = *accepted;
  const int next = InputAtOrAfter(pos + 1);
  e.Caret = next < 0 ? Length() : next;
  return e;
}

TEditMask::TMaskChange TEditMask::Backspace(const std::string& editText, int selStart,
                                            int selEnd) const {
  TMaskChange e{Fit(editText), std::clamp(selStart, 0, Length())};
  if (selEnd > selStart) {
    Blank(e.Text, selStart, selEnd);
    return e;
  }
  const int pos = InputBefore(selStart);
  if (pos >= 0) {
    e.Text[static_cast<size_t>(pos)] = blank_;
    e.Caret = pos;
  }
  return e;
}

TEditMask::TMaskChange TEditMask::Delete(const std::string& editText, int selStart,
                                         int selEnd) const {
  TMaskChange e{Fit(editText), std::clamp(selStart, 0, Length())};
  if (selEnd > selStart) {
    Blank(e.Text, selStart, selEnd);
    return e;
  }
  if (IsInput(selStart)) e.Text[static_cast<size_t>(selStart)] = blank_;
  return e;
}

TEditMask::TMaskChange TEditMask::Paste(const std::string& editText, int selStart, int selEnd,
                                        const std::string& pasted) const {
  TMaskChange e{Fit(editText), std::clamp(selStart, 0, Length())};
  Blank(e.Text, selStart, selEnd);
  for (char ch : pasted) {
    if (e.Caret >= Length()) break;
    if (auto typed = Type(e.Text, e.Caret, e.Caret, ch)) e = *typed;
  }
  return e;
}
