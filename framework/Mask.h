// Edit masks: which character each place of a masked edit takes, which places are fixed
// literals, and how a typed key, a deleted range or a whole value lands on the edit text.
//
// A mask has up to three fields separated by ';': the places, then '0' when the text leaves
// the literals out (anything else keeps them, the default), then the character shown at a
// place not yet filled (default '_'). Places: 'L' letter, 'A' letter or digit, 'C' any
// character, '0' digit (required); 'l', 'a', 'c', '9' the same but optional; '#' digit or
// sign, optional; '>' upper case and '<' lower case from here on ('<>' ends both); '\' takes
// the next character as a literal; '_' is a literal space; '!' is accepted and ignored;
// every other character is a literal.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class TMaskCharKind { Literal, Letter, AlphaNum, AnyChar, Digit, DigitOrSign };
enum class TMaskCase { None, Upper, Lower };

struct TMaskPlace {
  TMaskCharKind Kind = TMaskCharKind::Literal;
  bool Required = false;
  TMaskCase Case = TMaskCase::None;
  char Literal = 0;  // the fixed character of a literal place
  bool operator==(const TMaskPlace&) const = default;
};

class TEditMask {
 public:
  TEditMask() = default;
  explicit TEditMask(const std::string& mask);

  // An empty mask leaves the edit free.
  bool Empty() const { return places_.empty(); }
  int Length() const { return static_cast<int>(places_.size()); }
  const std::vector<TMaskPlace>& Places() const { return places_; }
  bool SavesLiterals() const { return saveLiterals_; }
  char BlankChar() const { return blank_; }
  bool IsInput(int pos) const;

  // The edit text with every input place blank: what an empty masked edit shows.
  std::string BlankText() const;
  // The edit text that shows a value. With literals saved the value is read place by place
  // (a literal place takes a matching character of the value); without, the value's
  // characters fill the input places in turn. A character a place does not take leaves it
  // blank; a space leaves it blank too.
  std::string EditTextOf(const std::string& value) const;
  // The value an edit text stands for: blanks read as spaces, literals only when saved.
  std::string TextOf(const std::string& editText) const;

  // The character a place takes for a typed one (case converted), or none.
  std::optional<char> Accept(int pos, char ch) const;
  // The first input place at or after pos, or -1.
  int InputAtOrAfter(int pos) const;
  // The last input place before pos, or -1.
  int InputBefore(int pos) const;

  // What a key does to an edit text: the new text and where the caret goes.
  struct TMaskChange {
    std::string Text;
    int Caret = 0;
  };
  // A typed character over the selection [selStart, selEnd): the selection's input places
  // turn blank and the character lands on the first input place from selStart; none when no
  // place takes it (the text stays as it was).
  std::optional<TMaskChange> Type(const std::string& editText, int selStart, int selEnd,
                                  char ch) const;
  // Backspace: a selection turns blank; without one the input place before the caret does.
  TMaskChange Backspace(const std::string& editText, int selStart, int selEnd) const;
  // Delete: a selection turns blank; without one the input place at the caret does.
  TMaskChange Delete(const std::string& editText, int selStart, int selEnd) const;
  // Pasted text: the selection turns blank, then each character lands as if typed; a
  // character no place takes is skipped.
  TMaskChange Paste(const std::string& editText, int selStart, int selEnd,
                    const std::string& pasted) const;

 private:
  // An edit text of the mask's length: shorter texts are padded with the blank text's
  // characters, longer ones cut, so no key ever reads past the places.
  std::string Fit(const std::string& editText) const;
  void Blank(std::string& text, int from, int to) const;

  std::vector<TMaskPlace> places_;
  bool saveLiterals_ = true;
  char blank_ = '_';
};

// Windows-1252 letters and their cases, as the mask edit's places see them.
bool IsMaskLetter(char ch);
char MaskUpper(char ch);
char MaskLower(char ch);
