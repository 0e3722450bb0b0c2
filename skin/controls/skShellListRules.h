// The shell list view's rules for names, without the shell: which names a mask list lets in,
// and which item an incremental search lands on.
#pragma once

#include <functional>
#include <string_view>

// The capital of a Windows-1251 character: a-z and the Cyrillic small letters; other bytes
// stay as they are.
char UpperCase1251(char c);

// "?" matches any one character and "*" any run, the empty one included; other characters
// match when equal or equal once both are capitals (UpperCase1251). Without a "*" the lengths
// must be equal and the name not empty.
bool MatchesFileMask(std::string_view name, std::string_view mask);
// masks holds masks separated by ";"; empty words are skipped. True when one of them matches.
bool MatchesMaskList(std::string_view name, std::string_view masks);
// masks has at least one word.
bool HasMaskWords(std::string_view masks);

// The first of count items, from start to the last and then, with wrap, from the first up to
// start - 1, whose name (nameOf) begins with prefix, capitals ignored; -1 when none.
int FindItemByPrefix(int count, int start, bool wrap, std::string_view prefix,
                     const std::function<std::string(int)>& nameOf);
