// Speed of the SQL highlighter and of the search engine over a generated 100 MB MySQL
// dump held in memory: tokens per second of a full scan as the editor does it line by line,
// and bytes per second of the search.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "editor/KedEditSearch.h"
#include "editor/KedHighlighterSQL.h"

namespace {

constexpr size_t kDumpBytes = 100u << 20;

// A dump in the shape a MySQL export has: header comments, conditional comments, table
// definitions with back-quoted names, and extended INSERT lines with numbers, NULLs and
// strings holding escapes.
std::string MakeDump(size_t bytes) {
  std::string dump;
  dump.reserve(bytes + 8192);
  uint32_t seed = 20261210;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  dump +=
      "-- MySQL dump 10.13\r\n--\r\n-- Host: localhost    Database: shop\r\n"
      "/*!40101 SET @OLD_CHARACTER_SET_CLIENT=@@CHARACTER_SET_CLIENT */;\r\n"
      "/*!40101 SET NAMES utf8 */;\r\n\r\n";
  for (int table = 0; dump.size() < bytes; ++table) {
    const std::string name = "`orders_" + std::to_string(table) + "`";
    dump += "--\r\n-- Table structure for table " + name + "\r\n--\r\n\r\n";
    dump += "DROP TABLE IF EXISTS " + name + ";\r\n";
    dump += "CREATE TABLE " + name + " (\r\n";
    dump += "  `id` int(11) unsigned NOT NULL AUTO_INCREMENT,\r\n";
    dump += "  `customer` varchar(120) NOT NULL DEFAULT '',\r\n";
    dump += "  `amount` decimal(10,2) DEFAULT NULL,\r\n";
    dump += "  `created` datetime NOT NULL,\r\n";
    dump += "  PRIMARY KEY (`id`)\r\n) ENGINE=MyISAM DEFAULT CHARSET=latin1;\r\n\r\n";
    dump += "LOCK TABLES " + name + " WRITE;\r\n";
    dump += "/*!40000 ALTER TABLE " + name + " DISABLE KEYS */;\r\n";
    for (int line = 0; line < 200 && dump.size() < bytes; ++line) {
      dump += "INSERT INTO " + name + " VALUES ";
      for (int row = 0; row < 20; ++row) {
        if (row > 0) dump += ',';
        dump += '(' + std::to_string(line * 20 + row) + ",'";
        const int words = 2 + static_cast<int>(next() % 6);
        for (int w = 0; w < words; ++w) {
          if (w > 0) dump += ' ';
          const int length = 3 + static_cast<int>(next() % 8);
          for (int i = 0; i < length; ++i) dump += static_cast<char>('a' + next() % 26);
          if (next() % 16 == 0) dump += "\\'s";
        }
        dump += "',";
        if (next() % 8 == 0)
          dump += "NULL";
        else
          dump += std::to_string(next() % 10000) + '.' + std::to_string(10 + next() % 90);
        dump += ",'2024-0" + std::to_string(1 + next() % 9) + "-1" + std::to_string(next() % 10) +
                " 12:" + std::to_string(10 + next() % 50) + ":00')";
      }
      dump += ";\r\n";
    }
    dump += "/*!40000 ALTER TABLE " + name + " ENABLE KEYS */;\r\nUNLOCK TABLES;\r\n\r\n";
  }
  return dump;
}

struct TDump {
  std::string Text;
  std::vector<std::string_view> Lines;
};

const TDump& Dump() {
  static const TDump dump = [] {
    TDump d;
    d.Text = MakeDump(kDumpBytes);
    std::string_view all(d.Text);
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find("\r\n", start);
      if (end == std::string_view::npos) end = all.size();
      d.Lines.push_back(all.substr(start, end - start));
      start = end + 2;
    }
    return d;
  }();
  return dump;
}

// The whole dump scanned line by line, each line starting in the previous line's range.
void BM_HighlightMySQLDump(benchmark::State& state) {
  const TDump& dump = Dump();
  TKedSQLHl hl(nullptr);
  hl.SetSQLDialect(sqlMySQL);
  int64_t tokens = 0;
  for (auto _ : state) {
    hl.ClearRange();
    for (std::string_view line : dump.Lines) {
      hl.RestoreRange(hl.CurrentRange());
      hl.StartLine(line, 0);
      while (!hl.AtLineEnd()) {
        benchmark::DoNotOptimize(hl.TokenKind());
        ++tokens;
        hl.ScanNextToken();
      }
    }
  }
  state.SetItemsProcessed(tokens);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(dump.Text.size()));
  state.counters["tokens"] = static_cast<double>(tokens) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HighlightMySQLDump)->Unit(benchmark::kMillisecond)->Iterations(3);

// Only the end ranges, as the editor computes them after loading a file: arg 0 through
// every token, arg 1 with the ranges-only scan the editor uses.
void BM_ScanRangesMySQLDump(benchmark::State& state) {
  const TDump& dump = Dump();
  TKedSQLHl hl(nullptr);
  hl.SetSQLDialect(sqlMySQL);
  const bool rangesOnly = state.range(0) == 1;
  for (auto _ : state) {
    hl.ClearRange();
    for (std::string_view line : dump.Lines) {
      if (rangesOnly) {
        hl.ScanRangeOfLine(line);
      } else {
        hl.StartLine(line, 0);
        hl.ScanToLineEnd();
      }
    }
    benchmark::DoNotOptimize(hl.CurrentRange());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(dump.Text.size()));
}
BENCHMARK(BM_ScanRangesMySQLDump)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The peer of the ranges scan: one memchr pass over the same text, counting line feeds.
void BM_MemchrPassMySQLDump(benchmark::State& state) {
  const TDump& dump = Dump();
  const char* const end = dump.Text.data() + dump.Text.size();
  for (auto _ : state) {
    size_t count = 0;
    for (const char* p = dump.Text.data();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))); ++p)
      ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(dump.Text.size()));
}
BENCHMARK(BM_MemchrPassMySQLDump)->Unit(benchmark::kMillisecond)->Iterations(3);

// Search over the whole dump: arg 0 a frequent pattern, 1 a rare one, 2 a missing one;
// arg 1 selects match case (0/1) and whole words (2).
void BM_SearchDump(benchmark::State& state) {
  const TDump& dump = Dump();
  static const char* const patterns[] = {"INSERT INTO", "ENABLE KEYS", "no such pattern here"};
  TKedEditSearch search(nullptr);
  search.SetPattern(patterns[state.range(0)]);
  TKedSearchOptions options;
  if (state.range(1) & 1) options += ssoMatchCase;
  if (state.range(1) & 2) options += ssoWholeWord;
  search.SetOptions(options);
  int matches = 0;
  for (auto _ : state) matches = search.FindAll(dump.Text);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(dump.Text.size()));
  state.counters["matches"] = matches;
}
BENCHMARK(BM_SearchDump)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
