#include "ooxml/word/Objects.h"

#include <cstring>

#include <algorithm>
#include <tuple>

#include "automation/AutomationFactory.h"
#include "ooxml/word/FindDriver.h"
#include "ooxml/word/FontObjects.h"
#include "ooxml/word/Layout.h"
#include "ooxml/word/StoryObjects.h"
#include "ooxml/word/WordApplication.h"
#include "ooxml/wordfind/WildcardMatcher.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace ooxml::word {

using automation::AutomationError;
using automation::CallKind;
using automation::Variant;
using automation::Args;

namespace {

// Up to seven bytes as one word, by two overlapping loads: a byte-wise copy read back at
// once would stall on every call.
uint64_t loadShort(const char* p, size_t size) {
  auto load = [p]<class T>(size_t at, T) {
    T v;
    std::memcpy(&v, p + at, sizeof v);
    return static_cast<uint64_t>(v);
  };
  if (size >= 4) return load(0, uint32_t{}) | load(size - 4, uint32_t{}) << 8 * (size - 4);
  if (size >= 2) return load(0, uint16_t{}) | load(size - 2, uint16_t{}) << 8 * (size - 2);
  return size == 1 ? static_cast<unsigned char>(p[0]) : 0;
}

}  // namespace

Variant WordObject::invoke(std::string_view name, CallKind kind, const Args& args) {
  // Member names are short: lower-cased on the stack, eight letters at a time, as every call
  // of the batch comes through here.
  char buffer[64];
  std::string heap;
  std::string_view lower;
  const size_t size = name.size();
  if (size <= sizeof buffer) {
    auto lowerEight = [](uint64_t w) {
      constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
      uint64_t low7 = w & ~kHigh;
      uint64_t upper = (low7 + (0x80 - 'A') * kOnes) & ~(low7 + (0x7F - 'Z') * kOnes) & ~w & kHigh;
      return w | upper >> 2;  // 'A'..'Z' gain 0x20
    };
    uint64_t w = 0;
    if (size < 8) {
      w = loadShort(name.data(), size);
      w = lowerEight(w);
      std::memcpy(buffer, &w, 8);
    } else {
      for (size_t i = 0; i + 8 <= size; i += 8) {
        std::memcpy(&w, name.data() + i, 8);
        w = lowerEight(w);
        std::memcpy(buffer + i, &w, 8);
      }
      // The last eight letters again, overlapping what is done: no letter-by-letter tail.
      std::memcpy(&w, name.data() + size - 8, 8);
      w = lowerEight(w);
      std::memcpy(buffer + size - 8, &w, 8);
    }
    lower = std::string_view(buffer, size);
  } else {
    heap.assign(name);
    for (char& c : heap) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    lower = heap;
  }
  // Members take an assignment's value as the last argument: a put without one is refused here.
  if (kind == CallKind::Put && args.empty())
    throw AutomationError("An assignment to " + std::string(typeName_) + "." + std::string(name) + " needs a value.",
                          static_cast<int32_t>(0x8002000E));  // DISP_E_BADPARAMCOUNT
  Variant result;
  try {
    if (member(lower, kind, args, result)) return result;
  } catch (const AutomationError&) {
    throw;
  } catch (const std::exception& e) {
    throw AutomationError(std::string(typeName_) + "." + std::string(name) + ": " + e.what());
  }
  throw AutomationError("This Word does not implement " + std::string(typeName_) + "." + std::string(name) +
                        (kind == CallKind::Put ? " (assignment)" : "") + ".");
}

const Variant& WordObject::arg(const Args& args, size_t i) {
  static const Variant empty;
  return i < args.size() ? args[i] : empty;
}

void WordObject::unsupported(const std::string& what) const {
  throw AutomationError("This Word does not support " + what + " in " + typeName_ + ".");
}

Variant object(std::shared_ptr<automation::Dispatch> d) { return Variant(automation::DispatchPtr(std::move(d))); }

void checkOpen(const DocPtr& doc) {
  if (!doc || doc->closed) throw AutomationError("The document has been closed.");
}

namespace {

// Find.Execute with its eleven positional arguments; what this Word cannot do yet raises.
bool executeFind(DocumentState& d, const Args& a) {
  auto flag = [&](size_t i) { return i < a.size() && !a[i].isEmpty() && a[i].toBool(); };
  WideString findText = a.empty() || a[0].isEmpty() ? WideString() : a[0].toString();
  if (flag(4) || flag(5)) throw AutomationError("This Word does not support MatchSoundsLike or MatchAllWordForms.");
  if (a.size() > 6 && !a[6].isEmpty() && !a[6].toBool()) throw AutomationError("This Word does not support backward searches.");
  if (a.size() > 10 && !a[10].isEmpty() && a[10].toInt() != 0)
    throw AutomationError("This Word does not support Find.Execute with Replace other than 0 (wdReplaceNone).");
  int wrapArg = a.size() > 7 && !a[7].isEmpty() ? a[7].toInt() : 0;
  Wrap wrap = wrapArg == 1 ? Wrap::Continue : Wrap::Stop;
  Story& story = d.story();
  // Format true: each hit must carry what Find.Font asks; with no find text the formatting alone is sought.
  const FormatRequirements* want = flag(8) ? &formattingOf(d).find : nullptr;
  if (want && want->empty()) want = nullptr;
  std::optional<FormatCheck> check;
  if (want) check.emplace(story, stylesOf(d), *want);
  // A hit never splits a character of two units (an emoji): "?" or "^?" taking half of one
  // would leave the other half, which no file can hold.
  auto splitsPair = [&](size_t p) {
    return p > 0 && p < story.length() && story.at(p - 1) >= 0xD800 && story.at(p - 1) <= 0xDBFF &&
           story.at(p) >= 0xDC00 && story.at(p) <= 0xDFFF;
  };
  const bool mayTakeHalves = flag(3) || findText.find(u'^') != WideString::npos ||
                             std::any_of(findText.begin(), findText.end(), [](char16_t c) { return c >= 0xD800 && c <= 0xDFFF; });
  HitFilter accept;
  if (check || mayTakeHalves)
    accept = [&](const Hit& h) {
      return !splitsPair(h.start) && !splitsPair(h.end) && (!check || check->heldOver(h.start, h.end));
    };
  if (findText.empty()) {
    if (!check) return false;
    return findNext(story, d.selection, [&](size_t from, size_t limit, size_t readTo) { return check->firstStretch(from, limit, readTo); },
                    wrap);
  }
  if (flag(3)) {
    // Wildcards: case-sensitive whatever MatchCase says; MatchWholeWord does not apply.
    DocumentState::LastWildcardFind& lastWild = d.lastWildcardFind;
    if (!lastWild.matcher || lastWild.text != findText) {
      lastWild.matcher = std::make_shared<const wordfind::WildcardMatcher>(findText);
      lastWild.text = findText;
    }
    std::shared_ptr<const wordfind::WildcardMatcher> keptWild = lastWild.matcher;
    const wordfind::WildcardMatcher& m = *keptWild;
    return findNext(story, d.selection, [&](size_t from, size_t limit, size_t readTo) -> std::optional<Hit> {
      auto h = m.find(story.searchable(0, readTo), from, limit);
      if (!h) return std::nullopt;
      return Hit{h->first, h->second};
    }, wrap, accept);
  }
  DocumentState::LastFind& last = d.lastFind;
  if (!last.matcher || last.text != findText || last.matchCase != flag(1) || last.wholeWord != flag(2)) {
    last.matcher = d.matchers ? d.matchers->get(findText, flag(1), flag(2))
                              : std::make_shared<const Matcher>(findText, flag(1), flag(2));
    last.text = findText;
    last.matchCase = flag(1);
    last.wholeWord = flag(2);
  }
  std::shared_ptr<const Matcher> kept = last.matcher;
  const Matcher& m = *kept;
  if (!accept) return findNext(story, d.selection, m, wrap);
  return findNext(story, d.selection, [&](size_t from, size_t limit, size_t readTo) { return searchStory(story, m, from, limit, readTo); },
                  wrap, accept);
}

class Replacement : public WordObject {
 public:
  Replacement() : WordObject("Replacement") {}
  bool member(std::string_view n, CallKind, const Args&, Variant&) override { return n == "clearformatting"; }
};

class Find : public WordObject {
 public:
  explicit Find(DocPtr d) : WordObject("Find"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (n == "clearformatting") {
      formattingOf(*d_).find.clear();
      return true;
    }
    if (n == "font") {
      r = makeFindFont(d_);
      return true;
    }
    if (n == "replacement") {
      r = object(std::make_shared<Replacement>());
      return true;
    }
    if (n == "execute") {
      r = Variant(executeFind(*d_, a));
      return true;
    }
    return false;
  }

 private:
  DocPtr d_;
};

// A range of the main story: a selection, or a fixed range of positions.
class RangeObject : public WordObject {
 public:
  RangeObject(const char* type, DocPtr d) : WordObject(type), d_(std::move(d)) {}

 protected:
  virtual size_t& startRef() = 0;
  virtual size_t& endRef() = 0;
  virtual void textAssigned() {}
  virtual Story& story() { return d_->story(); }

  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    Story& story = this->story();
    size_t& start = startRef();
    size_t& end = endRef();
    size_t length = story.length();
    start = std::min(start, length);
    end = std::min(std::max(end, start), length);
    if (n == "start" || n == "end") {
      bool isStart = n == "start";
      if (kind != CallKind::Put) {
        r = Variant(static_cast<int32_t>(isStart ? start : end));
        return true;
      }
      int64_t v = std::clamp<int64_t>(a.back().toInt64(), 0, static_cast<int64_t>(length));
      // Word keeps Start <= End by moving the other end along.
      if (isStart) {
        start = static_cast<size_t>(v);
        end = std::max(end, start);
      } else {
        end = static_cast<size_t>(v);
        start = std::min(start, end);
      }
      return true;
    }
    if (n == "storylength") {
      r = Variant(static_cast<int32_t>(length));
      return true;
    }
    if (n == "text") {
      if (kind != CallKind::Put) {
        r = Variant(story.text(start, end));
        return true;
      }
      std::tie(start, end) = story.replace(start, end, a.back().toString());
      textAssigned();
      return true;
    }
    if (n == "font") {
      r = makeRangeFont(d_, story, start, end);
      return true;
    }
    if (n == "highlightcolorindex") {
      if (kind == CallKind::Put) setHighlightOf(story, start, end, a.back());
      else r = highlightOf(*d_, story, start, end);
      return true;
    }
    if (n == "select") {
      d_->current = &story == &d_->doc->mainStory() ? nullptr : &story;
      d_->selection.start = start;
      d_->selection.end = end;
      return true;
    }
    if (n == "goto" && kind == CallKind::Method) {
      int what = arg(a, 0).isEmpty() ? 1 : arg(a, 0).toInt();
      int which = arg(a, 1).isEmpty() ? 1 : arg(a, 1).toInt();
      int count = arg(a, 2).isEmpty() ? 1 : arg(a, 2).toInt();
      // Sections begin where their text does; page 1 is where the main text begins, and the
      // layout that places later pages is not modelled here.
      if ((what == 0 && which == 1) || (what == 1 && which == 1 && count == 1)) {
        r = goTo(what == 0 ? count : 1);
        return true;
      }
      unsupported("GoTo(" + std::to_string(what) + ", " + std::to_string(which) + ", " + std::to_string(count) + ")");
    }
    return false;
  }
  virtual Variant goTo(int section) {
    DocumentLayout& layout = layoutOf(*d_);
    size_t n = static_cast<size_t>(std::clamp<int64_t>(section, 1, static_cast<int64_t>(layout.sectionCount())));
    size_t pos = layout.sectionStart(n);
    return makeRange(d_, pos, pos, &d_->doc->mainStory());
  }

  DocPtr d_;
};

class Range : public RangeObject {
 public:
  Range(DocPtr d, size_t s, size_t e, Story* story)
      : RangeObject("Range", std::move(d)), start_(s), end_(e), story_(story ? story : &d_->story()) {}

 private:
  size_t& startRef() override { return start_; }
  size_t& endRef() override { return end_; }
  Story& story() override { return *story_; }
  size_t start_, end_;
  Story* story_;
};

class Selection : public RangeObject {
 public:
  explicit Selection(DocPtr d) : RangeObject("Selection", std::move(d)) {}

 private:
  size_t& startRef() override { return d_->selection.start; }
  size_t& endRef() override { return d_->selection.end; }
  void textAssigned() override { d_->selection.lastHit.reset(); }
  Variant goTo(int section) override {
    goToSection(*d_, section);
    return makeSelection(d_);
  }
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    if (n == "find") {
      checkOpen(d_);
      r = d_->keptObject<Find>(DocumentState::Kept::Find, d_);
      return true;
    }
    if (n == "range" && kind != CallKind::Put) {
      checkOpen(d_);
      r = makeRange(d_, d_->selection.start, d_->selection.end);
      return true;
    }
    return RangeObject::member(n, kind, a, r);
  }
};

class Paragraph : public WordObject {
 public:
  Paragraph(DocPtr d, size_t s, size_t e) : WordObject("Paragraph"), d_(std::move(d)), start_(s), end_(e) {}
  bool member(std::string_view n, CallKind, const Args&, Variant& r) override {
    if (n != "range") return false;
    r = makeRange(d_, start_, end_, &d_->doc->mainStory());
    return true;
  }

 private:
  DocPtr d_;
  size_t start_, end_;
};

// The next paragraph or cell end (\r or \a) at or after k, or the size: four characters at a
// time, as the first paragraph is looked for before every row.
size_t nextParagraphEnd(std::u16string_view text, size_t k) {
  constexpr uint64_t kLanes = 0x0001000100010001ull, kHigh = 0x8000800080008000ull;
  auto hasLane = [](uint64_t v) { return ((v - kLanes) & ~v & kHigh) != 0; };
  for (; k + 4 <= text.size(); k += 4) {
    uint64_t w;
    std::memcpy(&w, text.data() + k, 8);
    if (hasLane(w ^ (kLanes * u'\r')) || hasLane(w ^ (kLanes * u'\a'))) break;
  }
  for (; k < text.size(); ++k)
    if (text[k] == u'\r' || text[k] == u'\a') return k;
  return text.size();
}

class Paragraphs : public WordObject {
 public:
  explicit Paragraphs(DocPtr d) : WordObject("Paragraphs"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind, const Args& a, Variant& r) override {
    checkOpen(d_);
    Story& story = d_->doc->mainStory();
    if (n == "count") {
      std::u16string_view text = story.searchable(0, story.length());
      r = Variant(static_cast<int32_t>(std::count(text.begin(), text.end(), u'\r') +
                                       std::count(text.begin(), text.end(), u'\a')));
      return true;
    }
    if (n == "item") {
      // Read up to the paragraph asked for only: the first one is asked for before every row.
      int want = arg(a, 0).toInt();
      const uint64_t generation = d_->doc->generation();
      if (found_.generation == generation && found_.index == want) {
        r = Variant(object(std::make_shared<Paragraph>(d_, found_.start, found_.end)));
        return true;
      }
      size_t start = 0;
      int index = 0;
      // Read in growing pieces: the text is not gathered whole, nor its edit gap moved, for a short
      // first paragraph.
      size_t step = 512;
      for (size_t from = 0, length = story.length(); from < length; from += step, step = std::min<size_t>(2 * step, 1 << 16)) {
        std::u16string_view piece = story.searchable(from, std::min(length, from + step));
        for (size_t k = 0; (k = nextParagraphEnd(piece, k)) < piece.size(); ++k) {
          if (++index == want) {
            found_ = {generation, want, start, from + k + 1};
            r = Variant(object(std::make_shared<Paragraph>(d_, start, from + k + 1)));
            return true;
          }
          start = from + k + 1;
        }
      }
      throw AutomationError("The requested member of the collection does not exist.");
    }
    return false;
  }

 private:
  DocPtr d_;
  // The paragraph last handed out, kept till the main text changes.
  struct Found {
    uint64_t generation = ~uint64_t{0};
    int index = 0;
    size_t start = 0, end = 0;
  } found_;
};

class Window : public WordObject {
 public:
  explicit Window(DocPtr d) : WordObject("Window"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (windowViewMember(d_, n, kind, a, r)) return true;
    if (n != "selection") return false;
    r = makeSelection(d_);
    return true;
  }

 private:
  DocPtr d_;
};

class Windows : public WordObject {
 public:
  explicit Windows(DocPtr d) : WordObject("Windows"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (n == "count") {
      r = Variant(1);
      return true;
    }
    if (n == "item") {
      if (arg(a, 0).toInt() != 1) throw AutomationError("The requested member of the collection does not exist.");
      r = d_->keptObject<Window>(DocumentState::Kept::Window, d_);
      return true;
    }
    return false;
  }

 private:
  DocPtr d_;
};

class Document : public WordObject {
 public:
  Document(AppPtr app, DocPtr d) : WordObject("Document"), app_(std::move(app)), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (n == "close") {
      int save = arg(a, 0).isEmpty() ? 0 : arg(a, 0).toInt();
      if (save == -1) d_->doc->save();
      d_->closed = true;
      d_->letKeptObjectsGo();
      auto& docs = app_->documents;
      docs.erase(std::remove(docs.begin(), docs.end(), d_), docs.end());
      return true;
    }
    if (n == "save") {
      d_->doc->save();
      return true;
    }
    if (n == "saveas" || n == "saveas2") {
      if (a.empty() || a[0].isEmpty()) throw AutomationError("SaveAs needs a file name.");
      if (given(a, 1)) unsupported("a file format argument");
      d_->doc->saveAs(platform::wideToAnsi(a[0].toString()));
      return true;
    }
    if (n == "protectiontype") {
      r = Variant(d_->doc->protectionType());
      return true;
    }
    if (n == "showgrammaticalerrors" || n == "showspellingerrors") {
      bool& flag = n == "showgrammaticalerrors" ? d_->showGrammar : d_->showSpelling;
      if (kind == CallKind::Put) flag = a.back().toBool();
      else r = Variant(flag);
      return true;
    }
    if (n == "windows" || n == "activewindow") {
      r = n == "windows" ? d_->keptObject<Windows>(DocumentState::Kept::Windows, d_)
                         : d_->keptObject<Window>(DocumentState::Kept::Window, d_);
      return true;
    }
    if (n == "paragraphs") {
      r = d_->keptObject<Paragraphs>(DocumentState::Kept::Paragraphs, d_);
      return true;
    }
    if (n == "range" || n == "content") {
      Story& main = d_->doc->mainStory();
      size_t length = main.length();
      size_t s = given(a, 0) ? static_cast<size_t>(std::clamp<int64_t>(a[0].toInt64(), 0, length)) : 0;
      size_t e = given(a, 1) ? static_cast<size_t>(std::clamp<int64_t>(a[1].toInt64(), 0, length)) : length;
      r = makeRange(d_, s, std::max(s, e), &main);
      return true;
    }
    if (documentStoryMember(d_, n, kind, a, r)) return true;
    if (n == "fullname" || n == "name" || n == "path") {
      const AnsiString& p = d_->doc->path();
      r = Variant(platform::ansiToWide(n == "fullname" ? p : n == "name" ? platform::fileNameOf(p) : platform::folderOf(p)));
      return true;
    }
    if (n == "saved") {
      r = Variant(!d_->doc->changed());
      return true;
    }
    if (n == "application") {
      r = object(createWordApplicationFor(app_));
      return true;
    }
    return false;
  }
  static std::shared_ptr<automation::Dispatch> createWordApplicationFor(AppPtr app);

 private:
  AppPtr app_;
  DocPtr d_;
};

class Documents : public WordObject {
 public:
  explicit Documents(AppPtr app) : WordObject("Documents"), app_(std::move(app)) {}
  bool member(std::string_view n, CallKind, const Args& a, Variant& r) override {
    if (n == "count") {
      r = Variant(static_cast<int32_t>(app_->documents.size()));
      return true;
    }
    if (n == "item") {
      int i = arg(a, 0).toInt();
      if (i < 1 || static_cast<size_t>(i) > app_->documents.size())
        throw AutomationError("The requested member of the collection does not exist.");
      r = makeDocument(app_, app_->documents[static_cast<size_t>(i - 1)]);
      return true;
    }
    if (n == "open") {
      if (a.empty() || a[0].isEmpty()) throw AutomationError("Documents.Open needs a file name.");
      AnsiString path = platform::wideToAnsi(a[0].toString());
      for (auto& d : app_->documents) {
        if (d->doc->path() == path) {
          r = makeDocument(app_, d);
          return true;
        }
      }
      auto d = std::make_shared<DocumentState>();
      d->doc = WordDocument::open(path);
      d->matchers = app_->matchers;
      app_->documents.push_back(d);
      r = makeDocument(app_, d);
      return true;
    }
    return false;
  }

 private:
  AppPtr app_;
};

class Options : public WordObject {
 public:
  explicit Options(AppPtr app) : WordObject("Options"), app_(std::move(app)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    if (n != "defaulthighlightcolorindex") return false;
    if (kind == CallKind::Put) {
      int v = a.back().toInt();
      if (v < 0 || v > 16) throw AutomationError("The highlight colour index is out of range.");
      app_->defaultHighlight = v;
    } else {
      r = Variant(app_->defaultHighlight);
    }
    return true;
  }

 private:
  AppPtr app_;
};

class Application : public WordObject {
 public:
  explicit Application(AppPtr app) : WordObject("Application"), app_(std::move(app)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    if (n == "documents") {
      r = object(std::make_shared<Documents>(app_));
      return true;
    }
    if (n == "displayalerts") {
      if (kind == CallKind::Put) app_->displayAlerts = a.back().toInt();
      else r = Variant(app_->displayAlerts);
      return true;
    }
    if (n == "visible") {
      if (kind == CallKind::Put) app_->visible = a.back().toBool();
      else r = Variant(app_->visible);
      return true;
    }
    if (n == "version") {
      r = Variant(u"16.0");
      return true;
    }
    if (n == "name") {
      r = Variant(u"Microsoft Word");
      return true;
    }
    if (n == "options") {
      r = object(std::make_shared<Options>(app_));
      return true;
    }
    if (n == "selection" || n == "activedocument") {
      auto d = app_->active();
      if (!d) throw AutomationError("No document is open.");
      r = n == "selection" ? makeSelection(d) : makeDocument(app_, d);
      return true;
    }
    if (n == "quit") {
      // Whatever the first argument asks, nothing is saved: the plug-in quits with wdDoNotSaveChanges.
      for (auto& d : app_->documents) {
        d->closed = true;
        d->letKeptObjectsGo();
      }
      app_->documents.clear();
      return true;
    }
    if (n == "application") {
      r = object(std::make_shared<Application>(app_));
      return true;
    }
    return false;
  }

 private:
  AppPtr app_;
};

std::shared_ptr<automation::Dispatch> Document::createWordApplicationFor(AppPtr app) {
  return std::make_shared<Application>(std::move(app));
}

}  // namespace

Variant makeDocument(AppPtr app, DocPtr doc) { return object(std::make_shared<Document>(std::move(app), std::move(doc))); }
Variant makeSelection(DocPtr doc) { return doc->keptObject<Selection>(DocumentState::Kept::Selection, doc); }
Variant makeRange(DocPtr doc, size_t start, size_t end, Story* story) {
  return object(std::make_shared<Range>(std::move(doc), start, end, story));
}

}  // namespace ooxml::word

namespace ooxml {

automation::DispatchPtr createWordApplication() {
  return std::make_shared<word::Application>(std::make_shared<word::ApplicationState>());
}

void registerWordInProcess() {
  static bool done = false;
  if (done) return;
  done = true;
  automation::inProcessFactory().registerClass(kWordClassId, kWordProgId, kWordVersionedProgId, [] { return createWordApplication(); });
}

}  // namespace ooxml
