// libFuzzer entry: any bytes either load or raise the reader's own error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "translate/KxSimpleXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TKxSimpleXML xml(nullptr);
  try {
    xml.LoadFromString(std::string(reinterpret_cast<const char*>(data), size));
    xml.SaveToString();
  } catch (const EKxSimpleXMLError&) {
  }
  return 0;
}
