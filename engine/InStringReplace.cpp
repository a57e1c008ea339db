#include "engine/InStringReplace.h"

namespace {

bool isDelimiterChar(char16_t c) {
  if (c == 13 || c == 10 || c == 32) return true;
  return (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 94) || c == 96 || (c >= 123 && c <= 126);
}

// The dash that the ANSI code page holds at code; Latin code pages (and UTF-8 builds) give fallback.
char16_t ansiDash(unsigned char code, char16_t fallback) {
  WideString w = platform::ansiToWide(std::string(1, static_cast<char>(code)));
  if (w.size() == 1 && w[0] != 0 && w[0] != 0xFFFD) return w[0];
  return fallback;
}

}  // namespace

bool IsWordDelimiter(std::u16string_view source, int64_t j) {
  if (j < 1 || j > static_cast<int64_t>(source.size())) return true;
  return isDelimiterChar(source[static_cast<size_t>(j - 1)]);
}

WideString ReplaceAllInText(std::u16string_view source, std::u16string_view find, std::u16string_view replacement,
                            int32_t flags, int32_t& matches, std::u16string_view foundTextCode) {
  const int64_t length = static_cast<int64_t>(source.size());
  const int64_t f = static_cast<int64_t>(find.size());
  if (f <= 0 || length < f) return WideString(source);

  WideString upper(find), lower(find);
  if ((flags & kInStringCaseSensitive) == 0) {
    upper = platform::toUpper(find);
    lower = platform::toLower(find);
  }
  const bool wholeWord = (flags & kInStringWholeWord) != 0;

  WideString result;
  result.reserve(source.size());
  int64_t i = 1;
  bool leftBoundary = true;
  while (i <= length - f + 1) {
    bool match = true;
    if (wholeWord) {
      if (!leftBoundary) match = false;
      // Taken where this attempt starts, so the next attempt sees it as its left neighbour.
      leftBoundary = IsWordDelimiter(source, i);
    }
    for (int64_t k = 0; match && k < f; ++k) {
      char16_t c = source[static_cast<size_t>(i - 1 + k)];
      if (c != upper[static_cast<size_t>(k)] && c != lower[static_cast<size_t>(k)]) match = false;
    }
    if (wholeWord && match && !IsWordDelimiter(source, i + f)) match = false;
    if (match && !foundTextCode.empty()) {
      int32_t uncounted = 0;
      result += ReplaceAllInText(replacement, foundTextCode, source.substr(static_cast<size_t>(i - 1), static_cast<size_t>(f)),
                                 kInStringCaseSensitive, uncounted);
      i += f;
      ++matches;
    } else if (match) {
      result += replacement;
      i += f;
      ++matches;
    } else {
      result += source[static_cast<size_t>(i - 1)];
      ++i;
    }
  }
  result += source.substr(static_cast<size_t>(i - 1));
  return result;
}

WideString ExpandSpecialCodes(std::u16string_view text) {
  WideString out;
  out.reserve(text.size());
  char16_t pending = 0;
  for (char16_t c : text) {
    if (pending != 0) {
      char16_t code = 0;
      if (pending == u'^') {
        switch (c) {
          case u'p': code = 13; break;
          case u't': code = 9; break;
          case u'l': code = 11; break;
          case u'n': code = 14; break;
          case u's': code = 160; break;
          case u'~': code = 30; break;
          case u'=': code = ansiDash(150, u'\u2013'); break;
          case u'+': code = ansiDash(151, u'\u2014'); break;
          default: break;
        }
      }
      if (code != 0) {
        out += code;
      } else {
        out += pending;
        out += c;
      }
      pending = 0;
    } else if (c == u'\\' || c == u'^') {
      pending = c;
    } else {
      out += c;
    }
  }
  if (pending != 0) out += pending;
  return out;
}
