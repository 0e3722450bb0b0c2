// libFuzzer entry: the bytes up to the first NUL are a mask, the rest a value and a run of
// keys. Whatever they hold, every edit text keeps the mask's length and its literals.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/Mask.h"

namespace {

void Check(const TEditMask& mask, const std::string& text) {
  const std::string blank = mask.BlankText();
  if (text.size() != blank.size()) std::abort();
  for (int i = 0; i < mask.Length(); ++i)
    if (!mask.IsInput(i) && text[static_cast<size_t>(i)] != blank[static_cast<size_t>(i)])
      std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  const std::string maskText = input.substr(0, nul);
  const std::string rest = nul == std::string::npos ? std::string() : input.substr(nul + 1);
  const TEditMask mask(maskText);
  if (mask.Empty()) return 0;
  std::string text = mask.EditTextOf(rest);
  Check(mask, text);
  mask.TextOf(rest);
  // Each key is a byte for where it lands and a byte for what it is.
  for (size_t i = 0; i + 1 < rest.size(); i += 2) {
    const int at = static_cast<unsigned char>(rest[i]) % (mask.Length() + 2) - 1;
    const int to = at + static_cast<unsigned char>(rest[i]) % 3;
    const char key = rest[i + 1];
    if (key == '\b') {
      text = mask.Backspace(text, at, to).Text;
    } else if (key == '\x7F') {
      text = mask.Delete(text, at, to).Text;
    } else if (key == '\x16') {
      text = mask.Paste(text, at, to, rest.substr(i)).Text;
    } else if (auto typed = mask.Type(text, at, to, key)) {
      text = typed->Text;
    }
    Check(mask, text);
  }
  return 0;
}
