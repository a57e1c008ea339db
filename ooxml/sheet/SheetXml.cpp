#include "ooxml/sheet/SheetXml.h"

#include <charconv>
#include <cmath>

#include "ooxml/package/PackageError.h"

namespace ooxml::sheet {
namespace {
constexpr size_t kMaxNodesPerSlice = 2'000'000;

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
}
bool endsName(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/'; }

int hexValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Where "<name" or "<prefix:name" starts (as a start tag, or an end tag when closing), from `from`.
size_t findTag(const std::string& s, std::string_view local, size_t from, bool closing) {
  for (size_t at = s.find(local, from); at != std::string::npos; at = s.find(local, at + 1)) {
    size_t after = at + local.size();
    if (after >= s.size() || !(closing ? s[after] == '>' : endsName(s[after]))) continue;
    size_t b = at;
    if (b > 0 && s[b - 1] == ':') {
      --b;
      while (b > 0 && isNameChar(s[b - 1])) --b;
    }
    if (closing) {
      if (b >= 2 && s[b - 1] == '/' && s[b - 2] == '<') return b - 2;
    } else if (b >= 1 && s[b - 1] == '<') {
      return b - 1;
    }
  }
  return std::string::npos;
}

// Where the search for the next tag goes on: past the end of the one found at `at`.
size_t afterTag(const std::string& s, size_t at) {
  size_t end = s.find('>', at);
  return end == std::string::npos ? s.size() : end + 1;
}

}  // namespace

std::string_view localName(xml::Node n) {
  std::string_view name = n.name();
  size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

xml::Node childNamed(xml::Node parent, std::string_view local) {
  for (xml::Node c = parent.firstElement(); c; c = c.nextElement())
    if (localName(c) == local) return c;
  return {};
}

xml::Node nextNamed(xml::Node sibling, std::string_view local) {
  for (xml::Node c = sibling.nextElement(); c; c = c.nextElement())
    if (localName(c) == local) return c;
  return {};
}

xml::Node findDescendant(xml::Node from, std::string_view local, int depth) {
  if (depth < 0) return {};
  for (xml::Node c = from.firstElement(); c; c = c.nextElement()) {
    if (localName(c) == local) return c;
    if (xml::Node d = findDescendant(c, local, depth - 1)) return d;
  }
  return {};
}

std::string_view attr(xml::Node n, std::string_view name) { return n.attribute(name); }

std::string_view attrByLocalName(xml::Node n, std::string_view local) {
  for (xml::Attribute a = n.firstAttribute(); a; a = a.next()) {
    std::string_view name = a.name();
    size_t colon = name.find(':');
    if (colon != std::string_view::npos && name.substr(colon + 1) == local && name.substr(0, colon) != "xmlns") return a.value();
  }
  return {};
}

std::string textOf(xml::Node n) {
  // Every piece: a comment or a CDATA section inside a text must not cut it short.
  std::string out;
  for (xml::Node c = n.firstChild(); c; c = c.nextSibling())
    if (c.type() == xml::NodeType::Text || c.type() == xml::NodeType::CData) out += c.value();
  return out;
}

WideString utf8(std::string_view text) {
  WideString w = platform::utf8ToWide(text);
  if (w.find(u"_x") == WideString::npos) return w;
  WideString out;
  for (size_t i = 0; i < w.size(); ++i) {
    if (w[i] == '_' && i + 6 < w.size() && w[i + 1] == 'x' && w[i + 6] == '_') {
      int v = 0;
      bool ok = true;
      for (size_t k = 2; k < 6 && ok; ++k) {
        int h = hexValue(w[i + k]);
        ok = h >= 0;
        v = v * 16 + h;
      }
      if (ok) {
        out.push_back(static_cast<char16_t>(v));
        i += 6;
        continue;
      }
    }
    out.push_back(w[i]);
  }
  return out;
}

std::string toXmlText(const WideString& text) {
  WideString escaped;
  static const char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    bool control = c < 0x20 && c != '\t' && c != '\n' && c != '\r';
    bool literalEscape = c == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_';
    if (control || c == 0xFFFE || c == 0xFFFF || literalEscape) {
      char16_t v = literalEscape ? u'_' : c;
      escaped += u"_x";
      for (int shift = 12; shift >= 0; shift -= 4) escaped.push_back(static_cast<char16_t>(kHex[(v >> shift) & 0xF]));
      escaped += u"_";
    } else {
      escaped.push_back(c);
    }
  }
  return platform::wideToUtf8(escaped);
}

uint32_t columnOfReference(std::string_view reference) {
  uint32_t column = 0;
  size_t i = 0;
  for (; i < reference.size(); ++i) {
    char c = reference[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c < 'A' || c > 'Z') break;
    column = column * 26 + static_cast<uint32_t>(c - 'A' + 1);
    if (column > 16384) return 0;
  }
  return i == 0 ? 0 : column;
}

std::string columnName(uint32_t column) {
  std::string name;
  for (; column > 0; column = (column - 1) / 26) name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
  return name;
}

bool isoDateToSerial(std::string_view text, bool date1904, double& serial) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double s = 0;
  auto num = [&](size_t at, size_t len, int& out) {
    if (at + len > text.size()) return false;
    auto r = std::from_chars(text.data() + at, text.data() + at + len, out);
    return r.ec == std::errc() && r.ptr == text.data() + at + len;
  };
  if (!num(0, 4, y) || text.size() < 10 || !num(5, 2, mo) || !num(8, 2, d)) return false;
  if (text.size() >= 16 && text[10] == 'T') {
    if (!num(11, 2, h) || !num(14, 2, mi)) return false;
    if (text.size() >= 19) {
      size_t end = 17;
      while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) ++end;
      std::from_chars(text.data() + 17, text.data() + end, s);
    }
  }
  if (mo < 1 || mo > 12 || d < 1 || d > 31) return false;
  // Days from civil, then to the serial count of the workbook's date system.
  long long yy = y - (mo <= 2);
  long long era = (yy >= 0 ? yy : yy - 399) / 400;
  long long yoe = yy - era * 400;
  long long doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long long days = era * 146097 + doe - 719468 + 25569;  // days from 1899-12-30
  double ole = static_cast<double>(days) + (h * 3600 + mi * 60 + s) / 86400.0;
  serial = date1904 ? ole - 1462 : (ole < 61 ? ole - 1 : ole);
  return true;
}

std::unique_ptr<xml::Document> parseXml(std::string text) {
  // A whole part (styles, workbook, theme) is bounded as a slice is: a few hundred kilobytes
  // of <font/> or <xf/> would otherwise become tens of millions of nodes and gigabytes.
  xml::ParseLimits limits;
  limits.maxNodes = kMaxNodesPerSlice;
  return xml::Document::parse(std::move(text), limits);
}

void forEachItem(const std::string& part, std::string_view local, const std::function<void(xml::Node)>& each,
                 size_t sliceBytes) {
  size_t begin = findTag(part, local, 0, false);
  if (begin == std::string::npos) return;
  while (begin < part.size()) {
    size_t cut = std::min(part.size(), begin + sliceBytes);
    size_t close = cut >= part.size() ? std::string::npos : findTag(part, local, cut, true);
    size_t sliceEnd;
    if (close == std::string::npos) {
      // The last slice: up to the start of the container's end tag, which follows the last item.
      size_t lastItemClose = std::string::npos;
      for (size_t at = findTag(part, local, begin, true); at != std::string::npos; at = findTag(part, local, afterTag(part, at), true))
        lastItemClose = at;
      size_t lastItemOpen = begin;
      for (size_t at = findTag(part, local, begin, false); at != std::string::npos; at = findTag(part, local, afterTag(part, at), false))
        lastItemOpen = at;
      size_t stop = lastItemOpen;
      if (lastItemClose != std::string::npos && lastItemClose > stop) stop = lastItemClose;
      sliceEnd = part.find('>', stop);
      if (sliceEnd == std::string::npos) throw XmlError("the part ends inside an element", part.size());
      ++sliceEnd;
    } else {
      sliceEnd = part.find('>', close) + 1;
    }
    std::string slice = "<slice>";
    slice.append(part, begin, sliceEnd - begin);
    slice += "</slice>";
    // A slice holds items of a few hundred kilobytes at most (a full row is well under one
    // megabyte); an item of millions of elements is refused before it takes gigabytes.
    xml::ParseLimits limits;
    limits.maxNodes = kMaxNodesPerSlice;
    auto doc = xml::Document::parse(std::move(slice), limits);
    for (xml::Node n = doc->documentElement().firstElement(); n; n = n.nextElement())
      if (localName(n) == local) each(n);
    if (close == std::string::npos) return;
    begin = findTag(part, local, sliceEnd, false);
    if (begin == std::string::npos) return;
  }
}

}  // namespace ooxml::sheet
