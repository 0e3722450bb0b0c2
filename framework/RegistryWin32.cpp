// TRegistry over the Windows registry functions.
#include "framework/RegistryWin32.h"

#include <vector>

namespace {

// A path as the registry functions take it: relative to `base`, without the backslashes that
// only say where it starts or ends.
std::string TrimBackslashes(const std::string& path) {
  size_t begin = 0;
  size_t end = path.size();
  while (begin < end && path[begin] == '\\') ++begin;
  while (end > begin && path[end - 1] == '\\') --end;
  return path.substr(begin, end - begin);
}

[[noreturn]] void RaiseValueError(const std::string& name, const char* what) {
  throw ERegistryException("Registry value \"" + name + "\": " + what);
}

}  // namespace

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY value) {
  CloseKey();
  rootKey_ = value;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  return Open(key, KEY_READ | KEY_WRITE, canCreate);
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) { return Open(key, KEY_READ, false); }

bool TRegistry::Open(const std::string& key, REGSAM access, bool canCreate) {
  const bool fromRoot = !key.empty() && key[0] == '\\';
  const std::string relative = TrimBackslashes(key);
  HKEY base = fromRoot || currentKey_ == nullptr ? rootKey_ : currentKey_;
  HKEY opened = nullptr;
  LONG status;
  if (canCreate) {
    status = ::RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                               nullptr, &opened, nullptr);
  } else {
    status = ::RegOpenKeyExA(base, relative.c_str(), 0, access, &opened);
  }
  if (status != ERROR_SUCCESS) return false;
  std::string path;
  if (fromRoot || currentKey_ == nullptr) {
    path = relative;
  } else if (relative.empty()) {
    path = currentPath_;
  } else {
    path = currentPath_.empty() ? relative : currentPath_ + "\\" + relative;
  }
  CloseKey();
  currentKey_ = opened;
  currentPath_ = std::move(path);
  return true;
}

void TRegistry::CloseKey() {
  if (currentKey_ != nullptr) ::RegCloseKey(currentKey_);
  currentKey_ = nullptr;
  currentPath_.clear();
}

HKEY TRegistry::KeyForValues() const { return currentKey_ != nullptr ? currentKey_ : rootKey_; }

bool TRegistry::ValueExists(const std::string& name) const {
  return ::RegQueryValueExA(KeyForValues(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

int TRegistry::ReadInteger(const std::string& name) const {
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof(value);
  const LONG status = ::RegQueryValueExA(KeyForValues(), name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
  if (status == ERROR_FILE_NOT_FOUND) RaiseValueError(name, "not found");
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) RaiseValueError(name, "cannot be read");
  if (type != REG_DWORD || size != sizeof(value)) RaiseValueError(name, "is not an integer");
  return static_cast<int>(value);
}

std::string TRegistry::ReadString(const std::string& name) const {
  DWORD type = 0;
  DWORD size = 0;
  LONG status = ::RegQueryValueExA(KeyForValues(), name.c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) return std::string();
  if (status != ERROR_SUCCESS) RaiseValueError(name, "cannot be read");
  if (type != REG_SZ && type != REG_EXPAND_SZ) RaiseValueError(name, "is not a string");
  // The value may change between the two calls: ask again while it grows.
  std::vector<char> data;
  do {
    data.resize(size + 1);
    size = static_cast<DWORD>(data.size());
    status = ::RegQueryValueExA(KeyForValues(), name.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
  } while (status == ERROR_MORE_DATA);
  if (status != ERROR_SUCCESS) RaiseValueError(name, "cannot be read");
  if (type != REG_SZ && type != REG_EXPAND_SZ) RaiseValueError(name, "is not a string");
  std::string text(data.data(), size);
  // The stored terminator (or terminators) is no part of the text.
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

void TRegistry::WriteInteger(const std::string& name, int value) {
  const DWORD data = static_cast<DWORD>(value);
  if (::RegSetValueExA(KeyForValues(), name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof(data)) != ERROR_SUCCESS)
    RaiseValueError(name, "cannot be written");
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  if (::RegSetValueExA(KeyForValues(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    RaiseValueError(name, "cannot be written");
}
