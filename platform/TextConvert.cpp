#include "platform/Text.h"

#include <algorithm>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {
namespace {

#include "platform/CodePages.inc"

constexpr char16_t kReplacement = 0xFFFD;

void appendUtf16(WideString& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

const char16_t* highHalf(int codePage) {
  switch (codePage) {
    case 1250: return kCp1250High;
    case 1251: return kCp1251High;
    case 1252: return kCp1252High;
    default: throw std::invalid_argument("unsupported code page " + std::to_string(codePage));
  }
}

}  // namespace

ByteOrderMark byteOrderMarkOf(std::string_view b) {
  if (b.size() >= 3 && b.compare(0, 3, "\xEF\xBB\xBF") == 0) return ByteOrderMark::Utf8;
  if (b.size() >= 2 && b.compare(0, 2, "\xFF\xFE") == 0) return ByteOrderMark::Utf16Le;
  if (b.size() >= 2 && b.compare(0, 2, "\xFE\xFF") == 0) return ByteOrderMark::Utf16Be;
  return ByteOrderMark::None;
}

size_t byteOrderMarkSize(ByteOrderMark mark) {
  return mark == ByteOrderMark::Utf8 ? 3 : mark == ByteOrderMark::None ? 0 : 2;
}

WideString utf16BytesToWide(std::string_view bytes, bool littleEndian) {
  WideString out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]), second = static_cast<unsigned char>(bytes[2 * i + 1]);
    out[i] = static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second);
  }
  return out;
}

std::string wideToUtf16Bytes(std::u16string_view text, bool littleEndian) {
  std::string out(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const char low = static_cast<char>(text[i] & 0xFF), high = static_cast<char>(text[i] >> 8);
    out[2 * i] = littleEndian ? low : high;
    out[2 * i + 1] = littleEndian ? high : low;
  }
  return out;
}

WideString utf8ToWide(std::string_view s) {
  // Most texts (member names, table cells, markup values) are plain ASCII: that part is
  // widened in one pass, a character at a time only from the first byte past it.
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  WideString out(i, u'\0');
  std::copy(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(i), out.begin());
  if (i == s.size()) return out;
  out.reserve(s.size());
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int len = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (b > 0xF4) len = 0;
    char32_t cp = len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    bool ok = len > 0 && i + len <= s.size();
    for (int k = 1; ok && k < len; ++k) {
      unsigned char c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Reject overlong forms, surrogates and values past U+10FFFF.
    if (ok && ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
               (cp >= 0xD800 && cp <= 0xDFFF)))
      ok = false;
    if (!ok) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    appendUtf16(out, cp);
    i += len;
  }
  return out;
}

std::string wideToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;  // a lone surrogate has no UTF-8 form
    }
    appendUtf8(out, c);
  }
  return out;
}

#ifdef _WIN32
std::string ansiToUtf8(std::string_view s) { return wideToUtf8(ansiToWide(s)); }

WideString ansiToWide(std::string_view s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  WideString out(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

size_t ansiCharLength(std::string_view s) {
  if (s.empty()) return 0;
  return s.size() >= 2 && IsDBCSLeadByte(static_cast<BYTE>(s[0])) ? 2 : 1;
}

AnsiString wideToAnsi(std::u16string_view s) {
  if (s.empty()) return {};
  auto* w = reinterpret_cast<const wchar_t*>(s.data());
  int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  AnsiString out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}
#else
std::string ansiToUtf8(std::string_view s) { return std::string(s); }
WideString ansiToWide(std::string_view s) { return utf8ToWide(s); }
AnsiString wideToAnsi(std::u16string_view s) { return wideToUtf8(s); }

size_t ansiCharLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto lead = static_cast<unsigned char>(s[0]);
  const size_t want = lead < 0xC2 || lead > 0xF4 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (want == 1 || s.size() < want) return 1;
  for (size_t i = 1; i < want; ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
  return want;
}
#endif

WideString codePageToWide(std::string_view bytes, int codePage) {
  const char16_t* high = highHalf(codePage);
  WideString out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) out.push_back(b < 0x80 ? char16_t(b) : high[b - 0x80]);
  return out;
}

std::string wideToCodePage(std::u16string_view text, int codePage) {
  const char16_t* high = highHalf(codePage);
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char mapped = '?';
    for (int i = 0; i < 128; ++i)
      if (high[i] == c) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    out.push_back(mapped);
  }
  return out;
}

}  // namespace platform
