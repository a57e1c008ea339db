#include "ooxml/word/FontObjects.h"

#include <cmath>
#include <set>

namespace ooxml::word {

using automation::AutomationError;
using automation::CallKind;
using automation::Variant;
using automation::Args;

constexpr int32_t kToggle = 9999998;  // wdToggle

FormattingState& formattingOf(DocumentState& d) {
  if (!d.formatting) d.formatting = std::make_shared<FormattingState>();
  return *d.formatting;
}

const StyleSheet& stylesOf(DocumentState& d) {
  FormattingState& f = formattingOf(d);
  if (!f.styles) {
    Package& package = d.doc->package();
    f.styles = std::make_unique<StyleSheet>(package, package.mainPartName());
  }
  return *f.styles;
}

namespace {

// The formatting of every character of a range, one entry per run. A collapsed range reads
// the character before it (else the one at it), as typing there would take it.
std::vector<RunFont> fontsOver(DocumentState& d, Story& story, size_t start, size_t end) {
  const StyleSheet& styles = stylesOf(d);
  std::vector<RunFont> out;
  if (start == end) {
    xml::Node run = start > 0 ? story.runAt(start - 1) : xml::Node();
    if (!run) run = story.runAt(start);
    out.push_back(run ? styles.effective(run) : styles.defaults());
    return out;
  }
  std::set<xml::NodeData*> seen;
  for (size_t p = start; p < end; ++p) {
    xml::Node run = story.runAt(p);
    if (run && seen.insert(run.data()).second) out.push_back(styles.effective(run));
  }
  if (out.empty()) out.push_back(styles.defaults());  // marks only
  return out;
}

// One attribute over the range: its value when all characters agree, else `mixed`.
template <class Get>
Variant uniform(const std::vector<RunFont>& fonts, Get get, Variant mixed) {
  auto first = get(fonts.front());
  for (const RunFont& f : fonts)
    if (!(get(f) == first)) return mixed;
  return Variant(first);
}

int32_t checkedColor(const Variant& v) {
  int32_t c = v.toInt();
  if (!isColorValue(c)) throw AutomationError("The colour " + std::to_string(c) + " is not a colour this Word can give text.");
  return c;
}

double checkedSize(const Variant& v) {
  double s = v.toDouble();
  if (!isSizeValue(s)) throw AutomationError("The font size must be between 1 and 1638 points.");
  return s;
}

int32_t checkedUnderline(const Variant& v) {
  int32_t u = v.toInt();
  if (!isUnderlineValue(u)) throw AutomationError("The underline value " + std::to_string(u) + " is not one Word knows.");
  return u;
}

WideString checkedName(const Variant& v) {
  WideString name = v.toString();
  if (name.empty()) throw AutomationError("The font name is empty.");
  return name;
}

class RangeShading : public WordObject {
 public:
  RangeShading(DocPtr d, Story& story, size_t s, size_t e)
      : WordObject("Shading"), d_(std::move(d)), story_(story), start_(s), end_(e) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (n != "backgroundpatterncolor") return false;
    if (kind == CallKind::Put) {
      int32_t c = checkedColor(a.back());
      story_.forEachRunIn(start_, end_, [&](xml::Node run) { setShading(run, c); });
    } else {
      r = uniform(fontsOver(*d_, story_, start_, end_), [](const RunFont& f) { return f.shading; }, Variant(kUndefined));
    }
    return true;
  }

 private:
  DocPtr d_;
  Story& story_;
  size_t start_, end_;
};

class RangeFont : public WordObject {
 public:
  RangeFont(DocPtr d, Story& story, size_t s, size_t e)
      : WordObject("Font"), d_(std::move(d)), story_(story), start_(s), end_(e) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (n == "shading") {
      r = object(std::make_shared<RangeShading>(d_, story_, start_, end_));
      return true;
    }
    if (kind == CallKind::Put) return put(n, a.back());
    const Variant undefined(kUndefined);
    auto fonts = fontsOver(*d_, story_, start_, end_);
    if (n == "name") r = uniform(fonts, [](const RunFont& f) { return f.name; }, Variant(u""));
    else if (n == "size") r = uniform(fonts, [](const RunFont& f) { return f.size; }, undefined);
    else if (n == "color") r = uniform(fonts, [](const RunFont& f) { return f.color; }, undefined);
    else if (n == "bold") r = uniform(fonts, [](const RunFont& f) { return f.bold ? -1 : 0; }, undefined);
    else if (n == "italic") r = uniform(fonts, [](const RunFont& f) { return f.italic ? -1 : 0; }, undefined);
    else if (n == "underline") r = uniform(fonts, [](const RunFont& f) { return f.underline; }, undefined);
    else return false;
    if (n == "size" && r.type() == automation::VarType::R8) r = Variant::r4(static_cast<float>(r.toDouble()));
    return true;
  }

 private:
  bool put(std::string_view n, const Variant& v) {
    auto each = [&](auto set) { story_.forEachRunIn(start_, end_, set); };
    if (n == "name") {
      WideString name = checkedName(v);
      each([&](xml::Node run) { setFontName(run, name); });
    } else if (n == "size") {
      double s = checkedSize(v);
      each([&](xml::Node run) { setSize(run, s); });
    } else if (n == "color") {
      int32_t c = checkedColor(v);
      each([&](xml::Node run) { setColor(run, c); });
    } else if (n == "bold" || n == "italic") {
      bool isBold = n == "bold";
      bool on = v.toInt() == kToggle ? !allOn(isBold) : v.toBool();
      each([&](xml::Node run) { isBold ? setBold(run, on) : setItalic(run, on); });
    } else if (n == "underline") {
      int32_t u = checkedUnderline(v);
      each([&](xml::Node run) { setUnderline(run, u); });
    } else {
      return false;
    }
    return true;
  }

  bool allOn(bool bold) {
    for (const RunFont& f : fontsOver(*d_, story_, start_, end_))
      if (!(bold ? f.bold : f.italic)) return false;
    return true;
  }

  DocPtr d_;
  Story& story_;
  size_t start_, end_;
};

// Find.Font: an unset requirement reads as Word's undefined (an empty name).
class FindShading : public WordObject {
 public:
  explicit FindShading(DocPtr d) : WordObject("Shading"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (n != "backgroundpatterncolor") return false;
    auto& want = formattingOf(*d_).find.shading;
    if (kind == CallKind::Put) {
      if (a.back().toInt() == kUndefined) want.reset();
      else want = checkedColor(a.back());
    } else {
      r = Variant(want.value_or(kUndefined));
    }
    return true;
  }

 private:
  DocPtr d_;
};

class FindFont : public WordObject {
 public:
  explicit FindFont(DocPtr d) : WordObject("Font"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (n == "shading") {
      r = object(std::make_shared<FindShading>(d_));
      return true;
    }
    FormatRequirements& want = formattingOf(*d_).find;
    bool put = kind == CallKind::Put;
    const Variant v = put ? a.back() : Variant();
    bool clear = put && v.type() != automation::VarType::String && v.toDouble() == kUndefined;
    auto boolOf = [](const std::optional<bool>& b) { return b ? Variant(*b ? -1 : 0) : Variant(kUndefined); };
    if (n == "name") {
      if (!put) r = Variant(want.name.value_or(u""));
      else if (v.toString().empty()) want.name.reset();
      else want.name = v.toString();
    } else if (n == "size") {
      if (!put) r = want.size ? Variant::r4(static_cast<float>(*want.size)) : Variant(kUndefined);
      else if (clear) want.size.reset();
      else want.size = checkedSize(v);
    } else if (n == "color" || n == "underline") {
      auto& slot = n == "color" ? want.color : want.underline;
      if (!put) r = Variant(slot.value_or(kUndefined));
      else if (clear) slot.reset();
      else slot = n == "color" ? checkedColor(v) : checkedUnderline(v);
    } else if (n == "bold" || n == "italic") {
      auto& slot = n == "bold" ? want.bold : want.italic;
      if (!put) r = boolOf(slot);
      else if (clear) slot.reset();
      else slot = v.toBool();
    } else {
      return false;
    }
    return true;
  }

 private:
  DocPtr d_;
};

}  // namespace

Variant makeRangeFont(DocPtr d, Story& story, size_t start, size_t end) {
  return object(std::make_shared<RangeFont>(std::move(d), story, start, end));
}
Variant makeFindFont(DocPtr d) { return object(std::make_shared<FindFont>(std::move(d))); }

Variant highlightOf(DocumentState& d, Story& story, size_t start, size_t end) {
  return uniform(fontsOver(d, story, start, end), [](const RunFont& f) { return f.highlight; }, Variant(kUndefined));
}

void setHighlightOf(Story& story, size_t start, size_t end, const Variant& value) {
  int32_t index = value.toInt();
  if (!isHighlightIndex(index)) throw AutomationError("The highlight colour index " + std::to_string(index) + " is out of range.");
  story.forEachRunIn(start, end, [&](xml::Node run) { setHighlight(run, index); });
}

}  // namespace ooxml::word
