#pragma once
// Replacement inside plain strings (hyperlink addresses, document properties, the found text in a
// replacement) and the caret codes a replacement text may hold.
#include <cstdint>

#include "platform/Text.h"

// Search control word bits read by the in-string replace-all.
constexpr int32_t kInStringCaseSensitive = 1;
constexpr int32_t kInStringWholeWord = 4;

// True when the character at the 1-based position j of source ends a word; positions outside
// the source count as word ends.
bool IsWordDelimiter(std::u16string_view source, int64_t j);

// Literal, non-overlapping replace-all, left to right. flags: bit 1 case-sensitive, bit 4 whole
// word; other bits are ignored (no wildcards here). Adds the number of matches to matches.
// With foundTextCode given, that code in the replacement stands for each match's own text.
WideString ReplaceAllInText(std::u16string_view source, std::u16string_view find, std::u16string_view replacement,
                            int32_t flags, int32_t& matches, std::u16string_view foundTextCode = {});

// Turns ^p ^t ^l ^n ^s ^~ ^= ^+ into the characters Word puts in their place; any other pair
// (backslash pairs included) is copied unchanged.
WideString ExpandSpecialCodes(std::u16string_view text);
