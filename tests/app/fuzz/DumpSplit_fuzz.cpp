// libFuzzer entry: bytes read as a dump by the line list, cleaned and split at a size taken
// from the input (see DumpSplitExercise.h); a failed check is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/app/DumpSplitExercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string failure = CheckDumpSplit(data, size);
  if (failure.empty()) return 0;
  std::fprintf(stderr, "dump split: %s\n", failure.c_str());
  std::abort();
}
