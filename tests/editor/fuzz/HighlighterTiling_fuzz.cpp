// libFuzzer target: any line, any start range, any configuration; the tokens must tile it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/editor/HighlighterTiling.h"
#include "tests/editor/ShiftJisLeadBytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte chooses the subject, the start range and the lead-byte table.
  const int selector = data[0];
  static TTilingSubject subjects[kTilingSubjectCount] = {};
  const int index = selector % kTilingSubjectCount;
  if (!subjects[index].Highlighter) subjects[index] = MakeTilingSubject(index);
  TTilingSubject& subject = subjects[index];
  const bool farEast = (selector & 0x80) != 0;
  TKedLeadBytesScope scope(farEast ? ShiftJisLeadBytes() : TKedLeadByteTable{});
  const TKedHighlighterRange span = subject.MaxRange - subject.MinRange + 1;
  const TKedHighlighterRange start = subject.MinRange + (selector / kTilingSubjectCount) % span;
  const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string broken =
      CheckTiling(*subject.Highlighter, line, start, subject.MinRange, subject.MaxRange);
  if (!broken.empty()) {
    std::fprintf(stderr, "tiling broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
