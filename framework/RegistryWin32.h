// TRegistry: keys and values of the Windows registry, opened by path.
//
// A path without a leading backslash is taken relative to the key open now; with one, from
// the root key. The current path grows with every relative open, so a caller can remember it,
// open a subkey and come back with "\" + the remembered path. Values are read and written as
// strings (REG_SZ) and integers (REG_DWORD); reading a value of the other kind raises.
#pragma once

#include <windows.h>

#include <string>

#include "framework/SysUtils.h"
#include "framework/System.h"

K_EXCEPTION(ERegistryException, Exception);

class TRegistry : public TObject {
  K_CLASS(TRegistry, TObject)

  TRegistry() = default;
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // The root the paths start from; HKEY_CURRENT_USER unless set. Setting it closes the key.
  HKEY RootKey() const { return rootKey_; }
  void SetRootKey(HKEY value);

  // Opens the key for reading and writing, and creates it first when `canCreate` is true and
  // it is missing. False when it cannot be opened; the key open before stays open then.
  bool OpenKey(const std::string& key, bool canCreate);
  // Opens the key for reading only; false when it is missing or cannot be read.
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();

  HKEY CurrentKey() const { return currentKey_; }
  // The open key's path below the root, without a leading backslash.
  const std::string& CurrentPath() const { return currentPath_; }

  bool ValueExists(const std::string& name) const;
  // Raise ERegistryException when the value is missing or of another kind.
  int ReadInteger(const std::string& name) const;
  // An empty string when the value is missing; raises when it is of another kind.
  std::string ReadString(const std::string& name) const;
  // Raise ERegistryException when the value cannot be written (no key open, no right).
  void WriteInteger(const std::string& name, int value);
  void WriteString(const std::string& name, const std::string& value);

 private:
  bool Open(const std::string& key, REGSAM access, bool canCreate);
  HKEY KeyForValues() const;

  HKEY rootKey_ = HKEY_CURRENT_USER;
  HKEY currentKey_ = nullptr;
  std::string currentPath_;
};
