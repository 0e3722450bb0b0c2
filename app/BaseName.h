// What opening a dump proposes for the split: the pieces' base name and folder.
#pragma once

#include <string>

// The file name with every occurrence of the path's extension (with its dot,
// case ignored) replaced by "_split": dump.sql -> dump_split, a.SQL.sql -> a_split_split.
std::string ProposedBaseName(const std::string& path);
// The path's folder with its trailing delimiter.
std::string ProposedFolder(const std::string& path);
