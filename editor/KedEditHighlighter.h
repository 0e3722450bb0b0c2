// What every syntax highlighter of the editor is: a component that owns named display
// attributes, scans one line at a time into tokens, carries a small scan state (the range)
// from the end of one line to the start of the next, and tells its editors when anything
// that changes the painting changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/KedEditMiscClasses.h"
#include "editor/KedEditTypes.h"
#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Graphics.h"
#include "framework/Strings.h"

#ifdef _WIN32
class TRegistry;
struct HKEY__;
#endif

// The opaque scan state a highlighter keeps between lines; the editor stores one per line.
using TKedHighlighterRange = intptr_t;

// Background and foreground colour and font style of one kind of token.
class TKedHighlighterAttributes : public TPersistent {
  K_CLASS_PUBLISHED(TKedHighlighterAttributes, TPersistent)

  explicit TKedHighlighterAttributes(const std::string& name);

  const std::string& Name() const { return name_; }

  // clNone means: the editor's colour.
  TColor Background() const { return background_; }
  void SetBackground(TColor value);
  TColor Foreground() const { return foreground_; }
  void SetForeground(TColor value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);

  // A value is written to the form resource only when it differs from its default.
  bool BackgroundStored() const { return background_ != defaultBackground_; }
  bool ForegroundStored() const { return foreground_ != defaultForeground_; }
  bool StyleStored() const { return style_ != defaultStyle_; }
  // The current values become the defaults.
  void SaveDefaultValues();

  // From another attribute: the name, then colours and style as one change.
  void Assign(TPersistent* source) override;
  // Calls OnChange with this attribute as sender.
  virtual void Changed();

#ifdef _WIN32
  // Registry storage, which the program itself never uses. The attribute's values sit in a
  // subkey named after it, below the key `registry` has open: the integers "Background",
  // "Foreground" and "Style" (1 bold, 2 italic, 4 underline, 8 strike-out). Both go back to
  // the key open before and answer false only when the subkey cannot be opened (or made).
  // Values missing from the subkey keep the attribute's own; a value of the wrong kind raises
  // ERegistryException before anything is changed.
  bool LoadFromRegistry(TRegistry& registry);
  bool SaveToRegistry(TRegistry& registry);
  // Colours and style from an editor's colour settings, in their old layout (a string value
  // `name` of comma-separated fields under `key`) or their new one (a subkey `name` under
  // `key`). False, with the attribute unchanged, when the settings are missing or malformed.
  virtual bool ImportFromEditorRegistry(HKEY__* rootKey, const std::string& key,
                                        const std::string& name, bool oldStyle);
#endif

  TNotifyEvent OnChange;

 protected:
  // Both colours and the style as one change: one notice when anything differs.
  void SetColorsAndStyle(TColor background, TColor foreground, TFontStyles style);

 private:
  TColor background_ = clNone;
  TColor defaultBackground_ = clNone;
  TColor foreground_ = clNone;
  TColor defaultForeground_ = clNone;
  std::string name_;
  TFontStyles style_;
  TFontStyles defaultStyle_;
};

// The base of the SQL and the general highlighter. The editor drives it per line:
// RestoreRange with the previous line's range (ClearRange for the first line), StartLine,
// then TokenStart/TokenText/TokenAttribute and ScanNextToken until AtLineEnd; CurrentRange
// is what it stores for the line.
// When a highlighter is freed, its listeners hear of it while its change-hook chain still
// exists, so an editor may unhook itself as it drops the highlighter.
class TKedCustomHighlighter : public TComponent {
  K_CLASS_PUBLISHED(TKedCustomHighlighter, TComponent)

  explicit TKedCustomHighlighter(TComponent* owner);
  ~TKedCustomHighlighter() override;

  // ---- attributes ----
  virtual int AttributeCount() const;
  // nullptr outside 0..AttributeCount()-1; the list is sorted by name.
  virtual TKedHighlighterAttributes* AttributeAt(int index) const;
  // Generic kinds: 0 comment, 1 identifier, 2 keyword, 3 string, 4 whitespace, 5 symbol.
  virtual TKedHighlighterAttributes* DefaultAttribute(int kind) const = 0;

  // ---- language description ----
  virtual std::string GetDefaultFilter() const { return defaultFilter_; }
  virtual void SetDefaultFilter(const std::string& value) { defaultFilter_ = value; }
  virtual bool FilterIsStored() const { return true; }
  // Characters that may appear in a word of the language: 33..255 in the base.
  virtual TKedCharSet GetIdentChars() const;
  virtual std::string SampleSource() const { return std::string(); }
  virtual void StoreSampleSource(const std::string&) {}
  virtual std::string LanguageName() const { return "<Unknown>"; }
  virtual bool MatchesKeyword(const std::string&) const { return false; }

  // Characters that end a word for the editor's word-wise operations.
  const TKedCharSet& WordBreakChars() const { return wordBreakChars_; }
  virtual void AssignWordBreakChars(const TKedCharSet& chars) { wordBreakChars_ = chars; }

  // ---- scanner ----
  // Begins scanning a line and reads its first token. The highlighter keeps a view of the
  // text: it must stay alive and unchanged until the next StartLine.
  virtual void StartLine(std::string_view line, int lineNumber);
  virtual void ScanNextToken() = 0;
  virtual bool AtLineEnd() const = 0;
  virtual std::string TokenText() const;
  virtual TKedHighlighterAttributes* TokenAttribute() const = 0;
  virtual int TokenKind() const = 0;
  virtual int TokenStart() const { return static_cast<int>(tokenPos_); }  // 0-based
  virtual TKedHighlighterRange CurrentRange() const { return 0; }
  virtual void RestoreRange(TKedHighlighterRange) {}
  virtual void ClearRange() {}
  // Scans the rest of the line when only its end range is needed.
  void ScanToLineEnd();
  // Carries the current range over a whole line without producing its tokens; the range
  // after it equals the one StartLine and ScanToLineEnd leave, and the scanner stands at
  // the line's end. The base does exactly that; highlighters override it with a scan that
  // only follows the delimiters of strings and comments.
  virtual void ScanRangeOfLine(std::string_view line);

  // ---- notification ----
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  void AddChangeHook(TNotifyEvent handler);
  // Removes every registration of handler.
  void RemoveChangeHook(TNotifyEvent handler);
  // Tells every editor using this highlighter that sender changed; silent while the
  // component is being loaded.
  void SignalChange(TObject* sender);

  // From another highlighter: attributes of the same name (case-sensitive), the sample
  // source when source is of this class, then the word-break set, the filter and Enabled.
  void Assign(TPersistent* source) override;

#ifdef _WIN32
  // Every attribute's colours below `key` of `rootKey` (see the attribute's own storage).
  // False when the key cannot be opened or any attribute's subkey is missing; the attributes
  // whose subkeys exist are loaded all the same.
  virtual bool LoadFromRegistry(HKEY__* rootKey, const std::string& key);
  // Opens or makes the key; false when it cannot, or when an attribute's subkey cannot be made.
  virtual bool SaveToRegistry(HKEY__* rootKey, const std::string& key);
#endif

 protected:
  void Loaded() override;
  // Takes ownership and files the attribute under its name; a repeated name raises the
  // string list's duplicate error.
  void AddAttribute(TKedHighlighterAttributes* attr);
  // Gives every attribute handler as OnChange and makes its current values its defaults.
  void AttachAttributeHandlers(TNotifyEvent handler);
  // The change handler the concrete highlighters attach to their attributes.
  void AttributeChanged(TObject* sender) { SignalChange(sender); }

 protected:
  // The line being scanned and the current token, shared by every scanner: a token runs
  // from tokenPos_ to run_.
  unsigned char Ch(size_t i) const {
    return i < line_.size() ? static_cast<unsigned char>(line_[i]) : 0;
  }
  // The end of the text, or a line break inside it.
  bool AtBreak(size_t i) const { return i >= line_.size() || line_[i] == '\n' || line_[i] == '\r'; }

  std::string_view line_;
  size_t run_ = 0;
  size_t tokenPos_ = 0;

 private:
  TStringList attributes_;  // sorted by name; objects owned through ownedAttributes_
  std::vector<std::unique_ptr<TKedHighlighterAttributes>> ownedAttributes_;
  TKedNotifyEventChain changeHooks_;
  bool enabled_ = true;
  TKedCharSet wordBreakChars_;
  std::string defaultFilter_;
};

// Classes of the highlighters the program knows.
class TKedHighlighterList {
 public:
  int Count() const { return static_cast<int>(classes_.size()); }
  const TClassInfo* Items(int index) const { return classes_.at(static_cast<size_t>(index)); }
  int IndexOf(const TClassInfo* cls) const;
  void Add(const TClassInfo* cls);

 private:
  std::vector<const TClassInfo*> classes_;
};

TKedHighlighterList& GetPlaceableHighlighters();
// Adds the class to the global list unless it is already there.
void RegisterHighlighterClass(const TClassInfo* cls);
