// Rewrites the published properties of a window and of every component it owns from an
// XML translation file.
//
// The file mirrors the window: an element named after the window whose attributes are
// property names and values; child elements named after owned components are translated
// the same way, other child elements name object-valued properties (string lists, tree
// nodes, list items, collections and other sub-objects).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "translate/KxComponentBase.h"
#include "translate/KxSimpleXml.h"

// Names mapped to string variables that a translation may overwrite.
class TKxTranslatorStrings : public TKxComponent {
  K_CLASS(TKxTranslatorStrings, TKxComponent)

  explicit TKxTranslatorStrings(TComponent* owner) : TKxComponent(owner) {}

  // `variable` must outlive this component (or be removed with Clear).
  void Add(const std::string& name, std::string* variable);
  void Clear();
  int Count() const { return names_.Count(); }
  // The variable of that name (case ignored), nullptr when none.
  std::string* Find(const std::string& name) const;

 private:
  THashedStringList names_;
  std::vector<std::string*> variables_;
};

class TKxTranslator : public TKxComponent {
  K_CLASS(TKxTranslator, TKxComponent)

  explicit TKxTranslator(TComponent* owner);
  ~TKxTranslator() override;

  TKxSimpleXML* Document() const { return document_.get(); }

  // Loads the file and translates `control`. Nothing is ever reported: a missing or
  // malformed file, or a nil control, changes nothing (or keeps what was applied before
  // an error).
  void TranslateForm(const std::string& fileName, TComponent* control);
  // Translates with the element named like the control's Name up to its first "_".
  void TranslateControl(TComponent* control);
  // Start nil means the root. Depth first, the first hit wins.
  virtual TKxSimpleXMLElem* FindElement(TKxSimpleXMLElem* start, const std::string& name,
                                        bool recursive);
  virtual void TranslateComponent(TObject* object, TKxSimpleXMLElem* element);

  // An empty property name excludes the whole class and its descendants.
  void AddExclusion(const TClassInfo* cls, const std::string& propertyName = "");
  void ClearExclusions();
  bool IsClassExcluded(const TObject* object);
  bool IsPropertyExcluded(const TObject* object, const std::string& propertyName) const;
  // The class or one of its ancestors has that name (case ignored).
  static bool InheritsFromNamed(const TClassInfo* cls, const std::string& className);

 protected:
  void ApplyAttributes(TObject* object, TKxSimpleXMLElem* element);
  void ApplyChildElements(TObject* object, TKxSimpleXMLElem* element);
  void TranslateStrings(TStrings* list, TKxSimpleXMLElem* element);
  void TranslateTreeNodes(TObject* nodes, TKxSimpleXMLElem* element);
  void TranslateListItems(TObject* items, TKxSimpleXMLElem* element);

 private:
  struct TExclusion {
    const TClassInfo* Class;
    std::vector<std::string> Names;  // sorted, case ignored; empty: the whole class
  };
  void TranslateStringsComponent(TKxTranslatorStrings* strings, TKxSimpleXMLElem* element);
  void TranslateObjectProperty(TObject* value, TKxSimpleXMLElem* element);

  std::unique_ptr<TKxSimpleXML> document_;
  std::unique_ptr<std::vector<TExclusion>> exclusions_;  // made on first use
};
