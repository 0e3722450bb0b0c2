#include "app/BaseName.h"

#include "framework/SysUtils.h"

std::string ProposedBaseName(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const std::string extension = ExtractFileExt(path);
  if (extension.empty()) return name;
  return StringReplace(name, extension, "_split", rfReplaceAll | rfIgnoreCase);
}

std::string ProposedFolder(const std::string& path) { return ExtractFilePath(path); }
