// Command-line front of the split engine, for comparing it with other tools:
//   kestrava_split generate <file> <bytes>
//   kestrava_split open <file>                                 opens the file into the line
//                                                             list and prints its line count
//   kestrava_split split <file> <folder> <bytes> [sql|csv]    loads the lines first, as the
//                                                             window does
//   kestrava_split stream <file> <folder> <bytes> [sql|csv]   reads them straight from a
//                                                             mapping of the file
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/PieceFileSink.h"
#include "app/SplitEngine.h"
#include "bench/DumpGenerator.h"
#include "editor/KedEditFileBytes.h"
#include "editor/KedEditTextBuffer.h"
#include "framework/SysUtils.h"

namespace {

// The lines of a mapped file, front to back without an index: the engine reads each line
// once, and the one before it where a cut may fall. Breaks as the line list reads them:
// CR LF, a lone CR or a lone LF; a final break leaves an empty last line.
class TMappedLineSource : public TSplitLineSource {
 public:
  explicit TMappedLineSource(std::string_view text) : text_(text) {
    size_t at = 0;
    while (at < text_.size()) {
      NextLine(at);
      ++count_;
    }
    if (!text_.empty() && (text_.back() == '\r' || text_.back() == '\n')) ++count_;
  }
  int Count() const override { return count_; }
  std::string_view Line(int index) const override {
    if (index == index_ - 1) return previous_;
    if (index < index_) {  // not asked for by the engine: start over
      index_ = -1;
      next_ = 0;
    }
    while (index_ < index) {
      previous_ = current_;
      const size_t start = next_;
      current_ = text_.substr(start, NextLine(next_) - start);
      ++index_;
    }
    return current_;
  }

 private:
  // Moves `at` past the line starting there; returns where the line's text ends.
  size_t NextLine(size_t& at) const {
    const char* const begin = text_.data() + at;
    const size_t rest = text_.size() - at;
    const char* lf = static_cast<const char*>(std::memchr(begin, '\n', rest));
    const size_t upTo = lf ? static_cast<size_t>(lf - begin) : rest;
    const char* cr = static_cast<const char*>(std::memchr(begin, '\r', upTo));
    const size_t end = at + (cr ? static_cast<size_t>(cr - begin) : upTo);
    at = end;
    if (at < text_.size() && text_[at] == '\r') ++at;
    if (at < text_.size() && text_[at] == '\n') ++at;
    return end;
  }

  std::string_view text_;
  int count_ = 0;
  mutable int index_ = -1;
  mutable size_t next_ = 0;
  mutable std::string_view current_;
  mutable std::string_view previous_;
};

class QuietObserver : public TSplitObserver {
 public:
  void PieceCreated(int, const std::string&) override {}
  void PieceFinished(int, const std::string&) override {}
  void Progress(const TSplitProgress&) override {}
};

// A byte count is a whole number of decimal digits that fits 63 bits: "10MB" is no 10 and
// 2^64 no largest value, both are errors.
int64_t ByteCount(const std::string& text, int64_t smallest) {
  int64_t value = 0;
  bool digits = !text.empty();
  for (char c : text) digits = digits && c >= '0' && c <= '9';
  if (!digits || !TryStrToInt64(text, value) || value < smallest)
    throw std::invalid_argument("size \"" + text + "\" is not a whole number of bytes from " +
                                std::to_string(smallest) + " to " +
                                std::to_string(std::numeric_limits<int64_t>::max()));
  return value;
}

int Usage() {
  std::fprintf(stderr,
               "usage: kestrava_split generate <file> <bytes>\n"
               "       kestrava_split open <file>\n"
               "       kestrava_split split|stream <file> <folder> <bytes> [sql|csv]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  try {
    if (command == "generate" && argc == 4) {
      GenerateDump(argv[2], static_cast<uint64_t>(ByteCount(argv[3], 0)));
      return 0;
    }
    if (command == "open" && argc == 3) {
      TKedEditStringList lines;
      lines.LoadFromFile(argv[2]);
      std::printf("%d lines\n", lines.Count());
      return 0;
    }
    if ((command == "split" || command == "stream") && (argc == 5 || argc == 6)) {
      const int64_t sizeLimit = ByteCount(argv[4], 1);  // before the dump is read
      using Clock = std::chrono::steady_clock;
      const auto start = Clock::now();
      TKedEditStringList lines;
      std::unique_ptr<TKedEditTextBytes> mapping;
      std::unique_ptr<TSplitLineSource> source;
      if (command == "stream" && (mapping = MapFileReadOnly(argv[2]))) {
        source =
            std::make_unique<TMappedLineSource>(std::string_view(mapping->Data(), mapping->Size()));
      } else {
        lines.LoadFromFile(argv[2]);
        source = std::make_unique<TLineListSource>(lines);
      }
      const auto loaded = Clock::now();
      TSplitOptions options;
      options.Folder = argv[3];
      options.BaseName = "piece";
      options.SizeLimit = sizeLimit;
      options.CsvMode = !(argc == 6 && std::string(argv[5]) == "sql");
      TPieceFileSink sink;
      QuietObserver observer;
      const TSplitResult result = RunSplit(*source, options, sink, observer);
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
