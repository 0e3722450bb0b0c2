#include "translate/KxTranslator.h"

#include <algorithm>
#include <climits>
#include <map>

#include "framework/ShortCuts.h"
#include "framework/TypInfo.h"
#include "translate/KxTranslatorItems.h"

namespace {

// The first "\n" (backslash, letter n) becomes a line break; later ones stay as written.
std::string FirstLineBreak(const std::string& text) {
  return StringReplace(text, "\\n", "\r\n", 0);
}

bool IsAttributeKind(TTypeKind kind) {
  return kind == tkInteger || kind == tkEnumeration || kind == tkSet || kind == tkString;
}

// An enumeration from a number ("0" or any non-zero whole number) or a value name; an
// unknown name gives 0. A number outside the type's values is refused for this property.
void SetEnumFromText(TObject* object, const TPropInfo* prop, const std::string& text) {
  int value = 0;
  if (text == "0" || StrToIntDef(text, 0) != 0) {
    value = StrToIntDef(text, 0);
  } else {
    value = std::max(GetEnumValue(prop, text), 0);
  }
  if (!prop->EnumNames.empty() && (value < 0 || value >= static_cast<int>(prop->EnumNames.size())))
    return;
  SetOrdProp(object, prop, value);
}

std::map<std::string, TKxItemListAccess>& ItemLists() {
  static std::map<std::string, TKxItemListAccess> lists;
  return lists;
}

int64_t IntAttribute(TKxSimpleXMLElem* element, const char* name, int64_t defaultValue) {
  return element->GetProps()->GetIntegerValue(name, defaultValue);
}

// Each child element names an item by "Index" (and, with columns, a "Column"); one that names
// no existing item is skipped. Tree nodes have their caption only, column 0.
void TranslateItemTexts(TObject* list, const TKxItemListAccess* access, TKxSimpleXMLElem* element,
                        bool withColumns) {
  if (access == nullptr || !element->HasChildren()) return;
  TKxSimpleXMLElems* children = element->GetChildren();
  for (int i = 0; i < children->GetCount(); ++i) {
    TKxSimpleXMLElem* child = children->GetItem(i);
    const int64_t index = IntAttribute(child, "Index", INT_MAX);
    const int64_t column = withColumns ? IntAttribute(child, "Column", INT_MAX) : 0;
    if (index < 0 || index >= access->Count(list) || column < 0 || column == INT_MAX) continue;
    access->SetText(list, static_cast<int>(index), static_cast<int>(column),
                    child->GetProps()->GetStringValue("Value", ""));
  }
}

bool TextLess(const std::string& a, const std::string& b) { return CompareText(a, b) < 0; }

}  // namespace

void RegisterKxItemList(const std::string& className, TKxItemListAccess access) {
  ItemLists()[className] = std::move(access);
}

const TKxItemListAccess* FindKxItemList(const TObject* list, const std::string& className) {
  if (!TKxTranslator::InheritsFromNamed(list->ClassInfo(), className)) return nullptr;
  auto it = ItemLists().find(className);
  return it != ItemLists().end() ? &it->second : nullptr;
}

// ---- TKxTranslatorStrings ------------------------------------------------------------------

void TKxTranslatorStrings::Add(const std::string& name, std::string* variable) {
  names_.Add(name);
  variables_.push_back(variable);
}

void TKxTranslatorStrings::Clear() {
  names_.Clear();
  variables_.clear();
}

std::string* TKxTranslatorStrings::Find(const std::string& name) const {
  const int index = names_.IndexOf(name);
  return index >= 0 ? variables_[static_cast<size_t>(index)] : nullptr;
}

// ---- TKxTranslator -------------------------------------------------------------------------

TKxTranslator::TKxTranslator(TComponent* owner)
    : TKxComponent(owner), document_(std::make_unique<TKxSimpleXML>(nullptr)) {
#ifdef _WIN32
  RegisterWindowedItemLists();
#endif
  // No translation file may rename a component.
  AddExclusion(TComponent::StaticClassInfo(), "Name");
}

TKxTranslator::~TKxTranslator() = default;

void TKxTranslator::TranslateForm(const std::string& fileName, TComponent* control) {
  try {
    document_->LoadFromFile(fileName);
    TranslateControl(control);
  } catch (...) {
    // A translation is a cosmetic step: a bad or missing file must not stop the program.
  }
}

void TKxTranslator::TranslateControl(TComponent* control) {
  if (control == nullptr) return;
  std::string name = control->Name();
  const size_t underscore = name.find('_');
  if (underscore != std::string::npos) name.resize(underscore);
  if (TKxSimpleXMLElem* element = FindElement(nullptr, name, true))
    TranslateComponent(control, element);
}

TKxSimpleXMLElem* TKxTranslator::FindElement(TKxSimpleXMLElem* start, const std::string& name,
                                             bool recursive) {
  if (start == nullptr) start = document_->Root();
  if (SameText(start->Name(), name)) return start;
  if (!start->HasChildren()) return nullptr;
  TKxSimpleXMLElems* children = start->GetChildren();
  if (!recursive) return children->FindNamed(name);
  for (int i = 0; i < children->GetCount(); ++i)
    if (TKxSimpleXMLElem* hit = FindElement(children->GetItem(i), name, true)) return hit;
  return nullptr;
}

void TKxTranslator::TranslateComponent(TObject* object, TKxSimpleXMLElem* element) {
  if (object == nullptr || element == nullptr) return;
  if (InheritsFromNamed(object->ClassInfo(), "TKxTranslatorStrings")) {
    TranslateStringsComponent(static_cast<TKxTranslatorStrings*>(object), element);
    return;
  }
  try {
    if (!IsClassExcluded(object)) ApplyAttributes(object, element);
    if (!element->HasChildren()) return;
    TKxSimpleXMLElems* children = element->GetChildren();
    auto* component = dynamic_cast<TComponent*>(object);
    for (int i = 0; i < children->GetCount(); ++i) {
      TKxSimpleXMLElem* child = children->GetItem(i);
      if (component != nullptr) {
        TComponent* owned = component->FindComponent(child->Name());
        if (owned != nullptr && !child->Name().empty()) {
          TranslateComponent(owned, child);
          continue;
        }
      }
      const TPropInfo* prop = GetPropInfo(object, child->Name());
      if (prop == nullptr || IsPropertyExcluded(object, prop->Name)) continue;
      // A property that holds no object (an element named "Caption") is skipped alone.
      if (prop->Kind != tkClass) continue;
      TranslateObjectProperty(GetObjectProp(object, prop), child);
    }
  } catch (...) {
    // A failure ends this component's remaining child elements, nothing more.
  }
}

void TKxTranslator::TranslateObjectProperty(TObject* value, TKxSimpleXMLElem* element) {
  if (value == nullptr) return;
  const TClassInfo* cls = value->ClassInfo();
  if (InheritsFromNamed(cls, "TStrings")) {
    TranslateStrings(static_cast<TStrings*>(value), element);
  } else if (InheritsFromNamed(cls, "TTreeNodes")) {
    TranslateTreeNodes(value, element);
  } else if (InheritsFromNamed(cls, "TListItems")) {
    TranslateListItems(value, element);
  } else {
    ApplyAttributes(value, element);
    ApplyChildElements(value, element);
  }
}

void TKxTranslator::TranslateStringsComponent(TKxTranslatorStrings* strings,
                                              TKxSimpleXMLElem* element) {
  if (!element->HasChildren()) return;
  TKxSimpleXMLElems* children = element->GetChildren();
  for (int i = 0; i < children->GetCount(); ++i) {
    TKxSimpleXMLProps* props = children->GetItem(i)->GetProps();
    const std::string name = props->GetStringValue("Name", "");
    const std::string value = props->GetStringValue("Value", "");
    if (std::string* variable = strings->Find(name))
      *variable = StringReplace(value, "\\n", "\r\n", rfReplaceAll);
  }
}

void TKxTranslator::ApplyAttributes(TObject* object, TKxSimpleXMLElem* element) {
  if (object == nullptr || !element->HasProps()) return;
  TKxSimpleXMLProps* props = element->GetProps();
  for (int i = 0; i < props->GetCount(); ++i) {
    try {
      TKxSimpleXMLProp* attribute = props->GetItem(i);
      const TPropInfo* prop = GetPropInfo(object, attribute->Name());
      if (prop == nullptr || !IsAttributeKind(prop->Kind) || !prop->IsWritable() ||
          IsPropertyExcluded(object, prop->Name))
        continue;
      const std::string& text = attribute->Value();
      switch (prop->Kind) {
        case tkInteger:
          if (SameText(prop->Name, "ShortCut"))
            SetOrdProp(object, prop, TextToShortCut(text));
          else
            SetOrdProp(object, prop, attribute->ValueAsInteger());
          break;
        case tkEnumeration:
          SetEnumFromText(object, prop, text);
          break;
        case tkString:
          SetStrProp(object, prop, FirstLineBreak(text));
          break;
        case tkSet:
          SetSetProp(object, prop, text);
          break;
        default:
          break;
      }
    } catch (...) {
      // A value the property refuses skips this attribute only.
    }
  }
}

void TKxTranslator::ApplyChildElements(TObject* object, TKxSimpleXMLElem* element) {
  if (object == nullptr || !element->HasChildren()) return;
  TKxSimpleXMLElems* children = element->GetChildren();
  if (InheritsFromNamed(object->ClassInfo(), "TCollection")) {
    auto* collection = static_cast<TCollection*>(object);
    for (int i = 0; i < children->GetCount(); ++i) {
      TKxSimpleXMLElem* child = children->GetItem(i);
      const int64_t index = IntAttribute(child, "Index", -1);
      // A negative index (or a word) names no item: that entry alone is skipped.
      if (index < 0 || index >= collection->Count()) continue;
      TCollectionItem* item = collection->Items(static_cast<int>(index));
      ApplyAttributes(item, child);
      ApplyChildElements(item, child);
    }
    return;
  }
  for (int i = 0; i < children->GetCount(); ++i) {
    try {
      TKxSimpleXMLElem* child = children->GetItem(i);
      const TPropInfo* prop = GetPropInfo(object, child->Name());
      if (prop == nullptr || !(IsAttributeKind(prop->Kind) || prop->Kind == tkClass) ||
          !prop->IsWritable() || IsPropertyExcluded(object, prop->Name))
        continue;
      switch (prop->Kind) {
        case tkInteger:
          SetOrdProp(object, prop, child->ValueAsInteger());
          break;
        case tkEnumeration:
          SetEnumFromText(object, prop, child->Value());
          break;
        case tkSet:
          SetSetProp(object, prop, child->Value());
          break;
        case tkString:
          SetStrProp(object, prop, FirstLineBreak(child->Value()));
          break;
        case tkClass: {
          TObject* value = GetObjectProp(object, prop);
          ApplyAttributes(value, child);
          ApplyChildElements(value, child);
          break;
        }
        default:
          break;
      }
    } catch (...) {
      // A value the property refuses skips this element only.
    }
  }
}

void TKxTranslator::TranslateStrings(TStrings* list, TKxSimpleXMLElem* element) {
  if (!element->HasChildren()) return;
  TKxSimpleXMLElems* children = element->GetChildren();
  if (dynamic_cast<TKxSimpleXMLElemCData*>(children->GetItem(0)) != nullptr) {
    list->SetText(children->GetItem(0)->Value());
    return;
  }
  for (int i = 0; i < children->GetCount(); ++i) {
    TKxSimpleXMLElem* child = children->GetItem(i);
    const int64_t index = IntAttribute(child, "Index", INT_MAX);
    if (index < 0 || index >= list->Count()) continue;
    list->SetStrings(static_cast<int>(index), child->GetProps()->GetStringValue("Value", ""));
  }
}

void TKxTranslator::TranslateTreeNodes(TObject* nodes, TKxSimpleXMLElem* element) {
  TranslateItemTexts(nodes, FindKxItemList(nodes, "TTreeNodes"), element, false);
}

void TKxTranslator::TranslateListItems(TObject* items, TKxSimpleXMLElem* element) {
  TranslateItemTexts(items, FindKxItemList(items, "TListItems"), element, true);
}

// ---- exclusions ---------------------------------------------------------------------------

void TKxTranslator::AddExclusion(const TClassInfo* cls, const std::string& propertyName) {
  if (cls == nullptr) return;
  if (cls->InheritsFrom(TPersistent::StaticClassInfo())) RegisterClassInfo(cls);
  if (!exclusions_) exclusions_ = std::make_unique<std::vector<TExclusion>>();
  for (TExclusion& entry : *exclusions_) {
    if (entry.Class != cls) continue;
    if (propertyName.empty()) {
      entry.Names.clear();
    } else if (!entry.Names.empty()) {
      auto at = std::lower_bound(entry.Names.begin(), entry.Names.end(), propertyName, TextLess);
      if (at == entry.Names.end() || !SameText(*at, propertyName))
        entry.Names.insert(at, propertyName);
    }
    return;
  }
  TExclusion entry{cls, {}};
  if (!propertyName.empty()) entry.Names.push_back(propertyName);
  exclusions_->push_back(std::move(entry));
}

void TKxTranslator::ClearExclusions() {
  if (exclusions_) exclusions_->clear();
}

bool TKxTranslator::IsClassExcluded(const TObject* object) {
  if (!exclusions_ || object == nullptr) return false;
  for (size_t i = 0; i < exclusions_->size(); ++i) {
    TExclusion& entry = (*exclusions_)[i];
    if (entry.Names.empty() && object->InheritsFrom(entry.Class)) {
      // Forms test the same few classes again and again: keep a hit in front.
      std::rotate(exclusions_->begin(), exclusions_->begin() + static_cast<ptrdiff_t>(i),
                  exclusions_->begin() + static_cast<ptrdiff_t>(i) + 1);
      return true;
    }
  }
  return false;
}

bool TKxTranslator::IsPropertyExcluded(const TObject* object,
                                       const std::string& propertyName) const {
  if (!exclusions_ || object == nullptr) return false;
  for (const TExclusion& entry : *exclusions_) {
    if (!object->InheritsFrom(entry.Class)) continue;
    if (std::binary_search(entry.Names.begin(), entry.Names.end(), propertyName, TextLess))
      return true;
  }
  return false;
}

bool TKxTranslator::InheritsFromNamed(const TClassInfo* cls, const std::string& className) {
  for (; cls != nullptr; cls = cls->ClassParent())
    if (SameText(cls->ClassName(), className)) return true;
  return false;
}
