#include "ooxml/package/XmlEncoding.h"

#include <string_view>

#include "ooxml/package/PackageError.h"
#include "platform/Text.h"

namespace ooxml::xml {
namespace {

struct Declared {
  size_t at = std::string::npos, length = 0;  // the value inside its quotes
};

// Where the declaration names the encoding; nothing when it does not.
Declared declaredEncoding(std::string_view s) {
  const size_t start = s.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  if (s.substr(start, 5) != "<?xml") return {};
  const size_t end = s.substr(0, 512).find("?>", start);  // a declaration is short
  if (end == std::string_view::npos) return {};
  std::string_view decl = s.substr(0, end);
  size_t key = decl.find("encoding", start);
  if (key == std::string_view::npos) return {};
  size_t i = key + 8;
  while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n' || decl[i] == '=')) ++i;
  if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\'')) return {};
  size_t close = decl.find(decl[i], i + 1);
  if (close == std::string_view::npos) return {};
  return {i + 1, close - i - 1};
}

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

WideString fromUtf16(const std::string& s) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const bool marked = s.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF));
  const bool little = marked ? byte(0) == 0xFF : byte(1) == 0;
  const size_t start = marked ? 2 : 0;
  if ((s.size() - start) % 2) throw XmlError("a UTF-16 part of an odd length", s.size());
  WideString w;
  w.reserve((s.size() - start) / 2);
  for (size_t i = start; i + 1 < s.size(); i += 2)
    w += static_cast<char16_t>(little ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1));
  return w;
}

bool isUtf16(const std::string& s) {
  std::string_view v(s);
  return v.substr(0, 2) == "\xFF\xFE" || v.substr(0, 2) == "\xFE\xFF" || v.substr(0, 4) == std::string_view("<\0?\0", 4) ||
         v.substr(0, 4) == std::string_view("\0<\0?", 4);
}

}  // namespace

std::string partAsUtf8(std::string source) {
  WideString wide;
  if (isUtf16(source)) {
    wide = fromUtf16(source);
  } else {
    const Declared d = declaredEncoding(source);
    const std::string name = d.at == std::string::npos ? "" : lowerAscii(std::string_view(source).substr(d.at, d.length));
    if (name.empty() || name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii") return source;
    if (name == "iso-8859-1" || name == "latin1" || name == "iso_8859-1") {
      for (unsigned char c : source) wide += static_cast<char16_t>(c);
    } else if (name == "windows-1250" || name == "windows-1251" || name == "windows-1252") {
      wide = platform::codePageToWide(source, std::stoi(name.substr(8)));
    } else {
      throw XmlError("the part is written in the encoding \"" + name + "\", which cannot be read", d.at);
    }
  }
  std::string utf8 = platform::wideToUtf8(wide);
  if (const Declared d = declaredEncoding(utf8); d.at != std::string::npos) utf8.replace(d.at, d.length, "UTF-8");
  return utf8;
}

}  // namespace ooxml::xml
