// The general highlighter's keyword list in the registry, beside its attributes.
#include <windows.h>

#include "editor/KedHighlighterGeneral.h"
#include "framework/RegistryWin32.h"
#include "framework/Strings.h"

bool TKedGeneralHl::LoadFromRegistry(HKEY__* rootKey, const std::string& key) {
  {
    TRegistry registry;
    registry.SetRootKey(rootKey);
    if (!registry.OpenKeyReadOnly(key)) return false;
    if (registry.ValueExists("KeyWords")) {
      TStringList keyWords;
      keyWords.SetText(registry.ReadString("KeyWords"));
      SetKeyWords(&keyWords);
    }
  }
  return inherited::LoadFromRegistry(rootKey, key);
}

bool TKedGeneralHl::SaveToRegistry(HKEY__* rootKey, const std::string& key) {
  {
    TRegistry registry;
    registry.SetRootKey(rootKey);
    if (!registry.OpenKey(key, true)) return false;
    registry.WriteString("KeyWords", KeyWords()->Text());
  }
  return inherited::SaveToRegistry(rootKey, key);
}
