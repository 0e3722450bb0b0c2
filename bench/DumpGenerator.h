// Writes a synthetic SQL dump of a given size for the benchmarks: comment and
// blank lines, CREATE TABLE blocks and INSERT lines of 60 to 160 bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

inline void GenerateDump(const std::string& path, uint64_t bytes, const char* lineBreak = "\r\n") {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + path);
  std::string chunk;
  uint64_t written = 0;
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  int table = 0;
  while (written < bytes) {
    chunk.clear();
    chunk += "-- Table structure for table `t" + std::to_string(table) + "`" + lineBreak;
    chunk += lineBreak;
    chunk += "DROP TABLE IF EXISTS `t" + std::to_string(table) + "`;" + lineBreak;
    chunk += "CREATE TABLE `t" + std::to_string(table) + "` (" + lineBreak;
    chunk += "  `id` int(11) NOT NULL," + std::string(lineBreak);
    chunk += "  `name` varchar(200) DEFAULT NULL" + std::string(lineBreak);
    chunk += ") ENGINE=InnoDB;" + std::string(lineBreak);
    chunk += "/*!40000 ALTER TABLE `t" + std::to_string(table) + "` DISABLE KEYS */;" + lineBreak;
    for (int row = 0; row < 2000; ++row) {
      chunk += "INSERT INTO `t" + std::to_string(table) + "` VALUES (" + std::to_string(row) + ",'";
      const int length = 40 + static_cast<int>(next() % 100);
      for (int i = 0; i < length; ++i) chunk += static_cast<char>('a' + next() % 26);
      chunk += "');";
      chunk += lineBreak;
      if (row % 500 == 499) chunk += lineBreak;
    }
    chunk += lineBreak;
    if (written + chunk.size() > bytes) chunk.resize(bytes - written);
    if (std::fwrite(chunk.data(), 1, chunk.size(), f) != chunk.size()) {
      std::fclose(f);
      throw std::runtime_error("cannot write " + path);
    }
    written += chunk.size();
    ++table;
  }
  std::fclose(f);
}

// The dump of `bytes` under the temp folder, generated once and reused.
inline std::string BenchDump(uint64_t bytes) {
  const auto folder = std::filesystem::temp_directory_path() / "kestrava-bench";
  std::filesystem::create_directories(folder);
  const auto path = folder / ("dump-" + std::to_string(bytes >> 20) + "mb.sql");
  if (!std::filesystem::exists(path) || std::filesystem::file_size(path) != bytes)
    GenerateDump(path.string(), bytes);
  return path.string();
}
