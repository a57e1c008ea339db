#include "settings/TextIniFile.h"

#include <exception>
#include <vector>

#include "platform/Files.h"
#include "platform/Text.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool sameName(std::string_view a, const AnsiString& b) {
  if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin())) return true;
  return platform::toLower(platform::ansiToWide(a)) == platform::toLower(platform::ansiToWide(b));
}

struct Line {
  std::string_view text;
  bool isSection = false;
  std::string_view name;  // section name or key name, trimmed
  bool hasValue = false;
  std::string_view value;
};

Line parseLine(std::string_view text) {
  Line line;
  line.text = text;
  std::string_view t = trim(text);
  size_t close = t.rfind(']');
  if (!t.empty() && t[0] == '[' && close != std::string_view::npos) {
    line.isSection = true;
    line.name = trim(t.substr(1, close - 1));
  } else if (size_t eq = t.find('='); eq != std::string_view::npos) {
    line.name = trim(t.substr(0, eq));
    line.hasValue = true;
    line.value = trim(t.substr(eq + 1));
  } else {
    line.name = t;
  }
  return line;
}

// Calls f with each line of text (CR, LF or CR LF end one) until f returns false.
template <class F>
void forEachLine(std::string_view text, F f) {
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (!f(parseLine(text.substr(start, end - start)))) return;
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

std::vector<Line> splitLines(std::string_view text) {
  std::vector<Line> lines;
  forEachLine(text, [&](const Line& l) {
    lines.push_back(l);
    return true;
  });
  return lines;
}

// Index of the first section header named so, or lines.size().
size_t findSection(const std::vector<Line>& lines, const AnsiString& section) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].isSection && sameName(lines[i].name, section)) return i;
  return lines.size();
}

AnsiString unquote(std::string_view v) {
  v = v.substr(0, v.find('\0'));
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
  return AnsiString(v.substr(0, IniFile::kMaxValueLength));
}

// A settings file as the profile functions see it: ANSI text, or UTF-16 with its byte order
// mark (what Notepad writes when told "Unicode"), which they read and write as such.
enum class Encoding { Ansi, Utf16Le, Utf16Be };

struct IniText {
  AnsiString text;
  Encoding encoding = Encoding::Ansi;
  bool exact = true;  // false when the file holds characters the ANSI code page cannot
};

IniText decode(std::string raw) {
  IniText out;
  const platform::ByteOrderMark mark = platform::byteOrderMarkOf(raw);
  if (mark != platform::ByteOrderMark::Utf16Le && mark != platform::ByteOrderMark::Utf16Be) {
    out.text = std::move(raw);
    return out;
  }
  out.encoding = mark == platform::ByteOrderMark::Utf16Le ? Encoding::Utf16Le : Encoding::Utf16Be;
  const WideString wide = platform::utf16BytesToWide(std::string_view(raw).substr(2), out.encoding == Encoding::Utf16Le);
  out.text = platform::wideToAnsi(wide);
  out.exact = platform::ansiToWide(out.text) == wide;
  return out;
}

std::string encode(const AnsiString& text, Encoding encoding) {
  if (encoding == Encoding::Ansi) return text;
  const bool little = encoding == Encoding::Utf16Le;
  return (little ? "\xFF\xFE" : "\xFE\xFF") + platform::wideToUtf16Bytes(platform::ansiToWide(text), little);
}

}  // namespace

std::optional<AnsiString> FindIniValue(std::string_view text, const AnsiString& section, const AnsiString& key) {
  // One pass and no list of lines: a file of millions of empty lines costs no more memory
  // than its own bytes.
  std::optional<AnsiString> found;
  bool inSection = false;
  forEachLine(text, [&](const Line& l) {
    if (l.isSection) {
      if (inSection) return false;  // only the first section of the name counts
      inSection = sameName(l.name, section);
      return true;
    }
    if (!inSection || l.name.empty() || !sameName(l.name, key)) return true;
    if (l.hasValue) found = unquote(l.value);
    return false;
  });
  return found;
}

AnsiString SetIniValue(std::string_view text, const AnsiString& section, const AnsiString& key,
                       const AnsiString& value) {
  auto lines = splitLines(text);
  AnsiString out;
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) out += kUtf8Mark;
  auto add = [&](std::string_view line) {
    out += line;
    out += "\r\n";
  };
  const AnsiString entry = key + "=" + value;
  size_t s = findSection(lines, section);
  if (s == lines.size()) {
    for (auto& l : lines) add(l.text);
    if (!lines.empty() && !trim(lines.back().text).empty()) add("");
    add("[" + section + "]");
    add(entry);
    return out;
  }
  size_t end = s + 1;
  while (end < lines.size() && !lines[end].isSection) ++end;
  const size_t none = lines.size();
  size_t match = none, lastEntry = s;
  for (size_t i = s + 1; i < end; ++i) {
    if (!trim(lines[i].text).empty()) lastEntry = i;
    if (match == none && !lines[i].name.empty() && sameName(lines[i].name, key)) match = i;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == match) {
      add(AnsiString(lines[i].name) + "=" + value);
      continue;
    }
    add(lines[i].text);
    if (match == none && i == lastEntry) add(entry);
  }
  return out;
}

AnsiString TextIniFile::ReadString(const AnsiString& section, const AnsiString& key,
                                   const AnsiString& defaultValue) {
  try {
    auto v = FindIniValue(decode(platform::readFile(path_, kMaxFileBytes)).text, section, key);
    return v ? *v : defaultValue.substr(0, kMaxValueLength);
  } catch (const std::exception&) {
    return defaultValue.substr(0, kMaxValueLength);
  }
}

bool TextIniFile::WriteLine(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  IniText file;
  if (platform::exists(path_)) {
    try {
      file = decode(platform::readFile(path_, kMaxFileBytes));
    } catch (const std::exception&) {
      return false;  // never rewrite a file we could not read whole
    }
  }
  // Written back through the ANSI code page, other programs' texts in other scripts would be lost.
  if (!file.exact) return false;
  return platform::writeFileAtomically(path_, encode(SetIniValue(file.text, section, key, value), file.encoding));
}

#ifndef _WIN32
std::unique_ptr<IniFile> OpenIniFile(const AnsiString& path) { return std::make_unique<TextIniFile>(path); }
#endif
