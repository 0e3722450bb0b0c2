// Command-line front of the split engine, for comparing it with other tools:
//   kestrava_split generate <file> <bytes>
//   kestrava_split split <file> <folder> <bytes> [sql|csv]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/PieceFileSink.h"
#include "app/SplitEngine.h"
#include "bench/DumpGenerator.h"
#include "editor/KedEditTextBuffer.h"

namespace {

class QuietObserver : public TSplitObserver {
 public:
  void PieceCreated(int, const std::string&) override {}
  void PieceFinished(int, const std::string&) override {}
  void Progress(const TSplitProgress&) override {}
};

int Usage() {
  std::fprintf(stderr,
               "usage: kestrava_split generate <file> <bytes>\n"
               "       kestrava_split split <file> <folder> <bytes> [sql|csv]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  try {
    if (command == "generate" && argc == 4) {
      GenerateDump(argv[2], std::strtoull(argv[3], nullptr, 10));
      return 0;
    }
    if (command == "split" && (argc == 5 || argc == 6)) {
      using Clock = std::chrono::steady_clock;
      const auto start = Clock::now();
      TKedEditStringList lines;
      lines.LoadFromFile(argv[2]);
      const auto loaded = Clock::now();
      TSplitOptions options;
      options.Folder = argv[3];
      options.BaseName = "piece";
      options.SizeLimit = std::strtoll(argv[4], nullptr, 10);
      options.CsvMode = !(argc == 6 && std::string(argv[5]) == "sql");
      TLineListSource source(lines);
      TPieceFileSink sink;
      QuietObserver observer;
      const TSplitResult result = RunSplit(source, options, sink, observer);
      const auto done = Clock::now();
      const auto seconds = [](auto d) { return std::chrono::duration<double>(d).count(); };
      std::printf("%d pieces, %lld bytes, load %.3f s, split %.3f s\n", result.Pieces,
                  static_cast<long long>(result.BytesTotal), seconds(loaded - start),
                  seconds(done - loaded));
      return 0;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava_split: %s\n", e.what());
    return 1;
  }
  return Usage();
}
