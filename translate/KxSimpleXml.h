// A small XML document model: a component that reads a file or stream into a tree of
// elements with attributes, and writes that tree back as indented text.
//
// Text is read as 8-bit bytes without any character-set conversion; only the five
// predefined entities and numeric character references are decoded in values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Classes.h"

class TKxSimpleXML;
class TKxSimpleXMLElem;
class TKxSimpleXMLElems;
class TKxSimpleXMLProps;

K_EXCEPTION(EKxSimpleXMLError, Exception);

enum TKxSimpleXMLOption {
  sxoAutoCreate,
  sxoAutoIndent,
  sxoAutoEncodeValue,
  sxoAutoEncodeEntity,
  sxoDoNotSaveProlog
};
using TKxSimpleXMLOptions = TSet<TKxSimpleXMLOption>;

using TKxOnSimpleXMLParsed = TMethod<void(TObject* sender, const std::string& name)>;
using TKxOnValueParsed =
    TMethod<void(TObject* sender, const std::string& name, const std::string& value)>;
using TKxOnSimpleProgress = TMethod<void(TObject* sender, int64_t position, int64_t total)>;
using TKxSimpleXMLEncodeEvent = TMethod<void(TObject* sender, std::string& value)>;
using TKxSimpleXMLEncodeStreamEvent =
    TMethod<void(TObject* sender, TStream* inStream, TStream* outStream)>;

// Reads up to `count` bytes into `buffer`; answers how many were read.
int StreamReadChars(TStream* stream, char* buffer, int count);
void StreamWriteChars(TStream* stream, const std::string& text, int count);
inline void StreamWriteChars(TStream* stream, const std::string& text) {
  StreamWriteChars(stream, text, static_cast<int>(text.size()));
}

// The value codecs the document uses by default.
std::string EncodeXmlValue(const std::string& value);      // entities and &#xhh; above 127
std::string EncodeEntitiesOnly(const std::string& value);  // the five entities only
std::string DecodeXmlValue(const std::string& value);
std::string DecodeEntitiesOnly(const std::string& value);

// ---- attributes ---------------------------------------------------------------------------

class TKxSimpleXMLProp : public TObject {
  K_CLASS(TKxSimpleXMLProp, TObject)

  TKxSimpleXMLProp(TKxSimpleXMLProps* parent, const std::string& name, const std::string& value);

  const std::string& Name() const { return name_; }
  const std::string& Value() const { return value_; }
  void SetValue(const std::string& value) { value_ = value; }
  const std::string& NameSpace() const { return nameSpace_; }
  void SetNameSpace(const std::string& value) { nameSpace_ = value; }
  TKxSimpleXMLProps* Parent() const { return parent_; }
  std::string FullName() const;
  // -1 when the value is not a number.
  int64_t ValueAsInteger() const;
  void SaveToStream(TStream* stream, TKxSimpleXML* document) const;

  void* Data = nullptr;

 private:
  TKxSimpleXMLProps* parent_;
  std::string name_;
  std::string value_;
  std::string nameSpace_;
};

class TKxSimpleXMLProps : public TObject {
  K_CLASS(TKxSimpleXMLProps, TObject)

  explicit TKxSimpleXMLProps(TKxSimpleXMLElem* parent);
  ~TKxSimpleXMLProps() override;
  TKxSimpleXMLProps(const TKxSimpleXMLProps&) = delete;
  TKxSimpleXMLProps& operator=(const TKxSimpleXMLProps&) = delete;

  TKxSimpleXMLElem* Parent() const { return parent_; }
  int GetCount() const;
  int Count() const { return GetCount(); }
  // nullptr past the end.
  TKxSimpleXMLProp* GetItem(int index) const;
  TKxSimpleXMLProp* Add(const std::string& name, const std::string& value);
  // The first attribute of that name, case ignored; with sxoAutoCreate a missing one is
  // added holding `defaultValue`, else nullptr.
  TKxSimpleXMLProp* Find(const std::string& name, const std::string& defaultValue = "");
  int64_t GetIntegerValue(const std::string& name, int64_t defaultValue);
  std::string GetStringValue(const std::string& name, const std::string& defaultValue);
  void Delete(int index);
  virtual void Clear();

  // Reads attributes from the stream's position up to "/", ">" or "?", which stays unread.
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream, TKxSimpleXML* document) const;

 private:
  TKxSimpleXMLElem* parent_;
  THashedStringList list_;
};

// ---- elements -------------------------------------------------------------------------

class TKxSimpleXMLElem : public TObject {
  K_CLASS(TKxSimpleXMLElem, TObject)

  explicit TKxSimpleXMLElem(TKxSimpleXMLElem* parent);
  ~TKxSimpleXMLElem() override;
  TKxSimpleXMLElem(const TKxSimpleXMLElem&) = delete;
  TKxSimpleXMLElem& operator=(const TKxSimpleXMLElem&) = delete;

  virtual void Assign(TKxSimpleXMLElem* source);
  virtual void Clear();
  virtual void LoadFromStream(TStream* stream, TKxSimpleXML* document) = 0;
  virtual void SaveToStream(TStream* stream, const std::string& indent, TKxSimpleXML* document) = 0;
  // Namespace, ":" and name, or the name alone without a namespace.
  virtual std::string FullName() const;

  const std::string& Name() const { return name_; }
  // An empty or unchanged name is ignored; a renamed child is renamed in its parent's list.
  void SetName(const std::string& value);
  const std::string& Value() const { return value_; }
  void SetValue(const std::string& value) { value_ = value; }
  const std::string& NameSpace() const { return nameSpace_; }
  void SetNameSpace(const std::string& value) { nameSpace_ = value; }
  TKxSimpleXMLElem* Parent() const { return parent_; }
  TKxSimpleXMLElems* Container() const { return container_; }

  // The lists are made on first use.
  TKxSimpleXMLElems* GetChildren();
  TKxSimpleXMLElems* Items() { return GetChildren(); }
  TKxSimpleXMLProps* GetProps();
  TKxSimpleXMLProps* Properties() { return GetProps(); }
  bool HasChildren() const;
  bool HasProps() const;
  // The document of the root above this element, nullptr when there is none.
  TKxSimpleXML* GetDocument() const;
  // -1 when the value is not a number.
  int64_t ValueAsInteger() const;
  [[noreturn]] void RaiseError(const std::string& message) const;

  void* Data = nullptr;

 protected:
  void SaveChildren(TStream* stream, const std::string& indent, TKxSimpleXML* document);

 private:
  friend class TKxSimpleXMLElems;
  friend class TKxSimpleXML;
  std::string name_;
  TKxSimpleXMLElem* parent_;
  std::unique_ptr<TKxSimpleXMLElems> children_;
  std::unique_ptr<TKxSimpleXMLProps> props_;
  std::string value_;
  std::string nameSpace_;
  TKxSimpleXML* document_ = nullptr;  // set on the root only
  TKxSimpleXMLElems* container_ = nullptr;
};

// An element with a tag: "<name attributes>children</name>".
class TKxSimpleXMLElemClassic : public TKxSimpleXMLElem {
  K_CLASS(TKxSimpleXMLElemClassic, TKxSimpleXMLElem)
  explicit TKxSimpleXMLElemClassic(TKxSimpleXMLElem* parent) : TKxSimpleXMLElem(parent) {}
  void LoadFromStream(TStream* stream, TKxSimpleXML* document) override;
  void SaveToStream(TStream* stream, const std::string& indent, TKxSimpleXML* document) override;
};

class TKxSimpleXMLElemText : public TKxSimpleXMLElem {
  K_CLASS(TKxSimpleXMLElemText, TKxSimpleXMLElem)
  explicit TKxSimpleXMLElemText(TKxSimpleXMLElem* parent) : TKxSimpleXMLElem(parent) {}
  void LoadFromStream(TStream* stream, TKxSimpleXML* document) override;
  void SaveToStream(TStream* stream, const std::string& indent, TKxSimpleXML* document) override;
};

class TKxSimpleXMLElemComment : public TKxSimpleXMLElem {
  K_CLASS(TKxSimpleXMLElemComment, TKxSimpleXMLElem)
  explicit TKxSimpleXMLElemComment(TKxSimpleXMLElem* parent) : TKxSimpleXMLElem(parent) {}
  void LoadFromStream(TStream* stream, TKxSimpleXML* document) override;
  void SaveToStream(TStream* stream, const std::string& indent, TKxSimpleXML* document) override;
};

class TKxSimpleXMLElemCData : public TKxSimpleXMLElem {
  K_CLASS(TKxSimpleXMLElemCData, TKxSimpleXMLElem)
  explicit TKxSimpleXMLElemCData(TKxSimpleXMLElem* parent) : TKxSimpleXMLElem(parent) {}
  void LoadFromStream(TStream* stream, TKxSimpleXML* document) override;
  void SaveToStream(TStream* stream, const std::string& indent, TKxSimpleXML* document) override;
};

class TKxSimpleXMLElemDocType : public TKxSimpleXMLElem {
  K_CLASS(TKxSimpleXMLElemDocType, TKxSimpleXMLElem)
  explicit TKxSimpleXMLElemDocType(TKxSimpleXMLElem* parent) : TKxSimpleXMLElem(parent) {}
  void LoadFromStream(TStream* stream, TKxSimpleXML* document) override;
  void SaveToStream(TStream* stream, const std::string& indent, TKxSimpleXML* document) override;
};

// A "<?xml-stylesheet ...?>" instruction.
class TKxSimpleXMLElemSheet : public TKxSimpleXMLElem {
  K_CLASS(TKxSimpleXMLElemSheet, TKxSimpleXMLElem)
  explicit TKxSimpleXMLElemSheet(TKxSimpleXMLElem* parent) : TKxSimpleXMLElem(parent) {}
  void LoadFromStream(TStream* stream, TKxSimpleXML* document) override;
  void SaveToStream(TStream* stream, const std::string& indent, TKxSimpleXML* document) override;
};

// The XML declaration. The encoding is recorded only: bytes are never converted.
class TKxSimpleXMLElemHeader : public TKxSimpleXMLElem {
  K_CLASS(TKxSimpleXMLElemHeader, TKxSimpleXMLElem)
  explicit TKxSimpleXMLElemHeader(TKxSimpleXMLElem* parent);
  void Assign(TKxSimpleXMLElem* source) override;
  void LoadFromStream(TStream* stream, TKxSimpleXML* document) override;
  void SaveToStream(TStream* stream, const std::string& indent, TKxSimpleXML* document) override;

  bool Standalone = false;
  std::string Encoding = "iso-8859-1";
  std::string Version = "1.0";
};

// ---- element lists ----------------------------------------------------------------------

// Children in document order; names are looked up without regard to case, duplicates are
// allowed and a lookup answers the first.
class TKxSimpleXMLElems : public TObject {
  K_CLASS(TKxSimpleXMLElems, TObject)

  explicit TKxSimpleXMLElems(TKxSimpleXMLElem* parent);
  ~TKxSimpleXMLElems() override;
  TKxSimpleXMLElems(const TKxSimpleXMLElems&) = delete;
  TKxSimpleXMLElems& operator=(const TKxSimpleXMLElems&) = delete;

  TKxSimpleXMLElem* Parent() const { return parent_; }
  int GetCount() const;
  int Count() const { return GetCount(); }
  // nullptr past the end.
  TKxSimpleXMLElem* GetItem(int index) const;
  // The first element of that name, case ignored; with sxoAutoCreate a missing one is
  // added as an empty ordinary element, else nullptr.
  TKxSimpleXMLElem* FindNamed(const std::string& name);
  // Takes the element over from the list that held it and appends it under its name.
  TKxSimpleXMLElem* Add(TKxSimpleXMLElem* element);
  // A new ordinary element with that name and value.
  TKxSimpleXMLElemClassic* Add(const std::string& name, const std::string& value = "");
  virtual void Clear();

  // Reads the children after an opening tag up to its closing tag and answers the closing
  // tag's full name.
  std::string LoadFromStream(TStream* stream, TKxSimpleXML* document);

 private:
  friend class TKxSimpleXMLElem;
  // Gives the element up without freeing it.
  void Extract(TKxSimpleXMLElem* element);
  void Rename(TKxSimpleXMLElem* element, const std::string& name);
  TKxSimpleXMLElem* parent_;
  THashedStringList list_;
};

// The elements before the root: declaration, document type, style sheets and comments.
class TKxSimpleXMLElemsProlog : public TObject {
  K_CLASS(TKxSimpleXMLElemsProlog, TObject)

  TKxSimpleXMLElemsProlog();
  ~TKxSimpleXMLElemsProlog() override;
  TKxSimpleXMLElemsProlog(const TKxSimpleXMLElemsProlog&) = delete;
  TKxSimpleXMLElemsProlog& operator=(const TKxSimpleXMLElemsProlog&) = delete;

  int GetCount() const;
  int Count() const { return GetCount(); }
  TKxSimpleXMLElem* GetItem(int index) const;
  TKxSimpleXMLElem* Add(TKxSimpleXMLElem* element);
  void Clear();
  // Reads prolog elements and leaves the stream at the "<" where the root begins.
  void LoadFromStream(TStream* stream, TKxSimpleXML* document);
  void SaveToStream(TStream* stream, TKxSimpleXML* document);

 private:
  THashedStringList list_;
};

// ---- the document ----------------------------------------------------------------------

class TKxSimpleXML : public TComponent {
  K_CLASS_PUBLISHED(TKxSimpleXML, TComponent)

  explicit TKxSimpleXML(TComponent* owner);
  ~TKxSimpleXML() override;

  const std::string& FileName() const { return fileName_; }
  // Stores the name and loads that file at once.
  void SetFileName(const std::string& value);
  TKxSimpleXMLOptions Options() const { return options_; }
  void SetOptions(TKxSimpleXMLOptions value) { options_ = value; }
  const std::string& IndentString() const { return indentString_; }
  // Accepted only when it holds blanks and tabs alone.
  void SetIndentString(const std::string& value);

  TKxSimpleXMLElemClassic* Root() const { return root_.get(); }
  TKxSimpleXMLElemsProlog* Prolog() const { return prolog_.get(); }

  // A failed open raises the framework's file error; malformed text, and text too large for
  // the memory left, EKxSimpleXMLError.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(TStream* stream);
  void LoadFromString(const std::string& text);
  void SaveToStream(TStream* stream);
  void SaveToFile(const std::string& fileName);
  std::string SaveToString();

  virtual void EncodeValue(std::string& value);
  virtual void DecodeValue(std::string& value);

  void ReportLoadProgress(int64_t position, int64_t total);
  void ReportSaveProgress();

  TKxOnSimpleXMLParsed OnTagParsed;
  TKxOnValueParsed OnValueParsed;
  TKxOnSimpleProgress OnLoadProgress;
  TKxOnSimpleProgress OnSaveProgress;
  TKxSimpleXMLEncodeEvent OnEncodeValue;
  TKxSimpleXMLEncodeEvent OnDecodeValue;
  TKxSimpleXMLEncodeStreamEvent OnEncodeStream;
  TKxSimpleXMLEncodeStreamEvent OnDecodeStream;

 private:
  std::string fileName_;
  TKxSimpleXMLOptions options_{sxoAutoIndent, sxoAutoEncodeValue, sxoAutoEncodeEntity};
  std::string indentString_ = "  ";
  std::unique_ptr<TKxSimpleXMLElemClassic> root_;
  std::unique_ptr<TKxSimpleXMLElemsProlog> prolog_;
  int64_t saveCount_ = 0;
  int64_t saveCurrent_ = 0;
};
