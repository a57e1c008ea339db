#include "ooxml/word/StoryObjects.h"

#include "ooxml/docprops/DocumentProperties.h"
#include "ooxml/word/Hyperlinks.h"
#include "ooxml/word/Layout.h"

namespace ooxml::word {

using automation::AutomationError;
using automation::CallKind;
using automation::Variant;
using automation::Args;

namespace {

constexpr int32_t wdUndefined = 9999999;

[[noreturn]] void noSuchMember() { throw AutomationError("The requested member of the collection does not exist."); }

// Collections are numbered from 1; returns the index from 0.
size_t itemIndex(const Args& a, size_t count) {
  int64_t i = a.empty() ? 0 : a[0].toInt64();
  if (i < 1 || static_cast<uint64_t>(i) > count) noSuchMember();
  return static_cast<size_t>(i - 1);
}

Variant wordBool(bool b) { return Variant(static_cast<int32_t>(b ? -1 : 0)); }

class PageSetup : public WordObject {
 public:
  // section 0: the whole document, whose values read as undefined where sections differ.
  PageSetup(DocPtr d, size_t section) : WordObject("PageSetup"), d_(std::move(d)), section_(section) {}
  bool member(std::string_view n, CallKind kind, const Args&, Variant& r) override {
    checkOpen(d_);
    if (kind == CallKind::Put) return false;
    DocumentLayout& layout = layoutOf(*d_);
    if (n == "differentfirstpageheaderfooter") {
      if (section_ != 0) {
        r = wordBool(layout.differentFirstPage(section_));
        return true;
      }
      bool first = layout.differentFirstPage(1);
      for (size_t i = 2; i <= layout.sectionCount(); ++i)
        if (layout.differentFirstPage(i) != first) {
          r = Variant(wdUndefined);
          return true;
        }
      r = wordBool(first);
      return true;
    }
    if (n == "oddandevenpagesheaderfooter") {
      r = wordBool(layout.oddAndEvenPages());
      return true;
    }
    return false;
  }

 private:
  DocPtr d_;
  size_t section_;
};

class HeaderFooter : public WordObject {
 public:
  HeaderFooter(DocPtr d, size_t section, bool footer, int kind)
      : WordObject(footer ? "Footer" : "Header"), d_(std::move(d)), section_(section), footer_(footer), kind_(kind) {}
  bool member(std::string_view n, CallKind kind, const Args&, Variant& r) override {
    checkOpen(d_);
    DocumentLayout& layout = layoutOf(*d_);
    if (kind == CallKind::Put) {
      if (n == "linktoprevious") unsupported("changing LinkToPrevious");
      return false;
    }
    if (n == "linktoprevious") {
      // A reference to the part the section before uses is a link too: it is the same text, and
      // a batch searching it once per section would replace in it again and again.
      r = Variant(section_ > 1 && (!layout.hasOwn(section_, footer_, kind_) ||
                                   &layout.headerFooter(section_, footer_, kind_) ==
                                       &layout.headerFooter(section_ - 1, footer_, kind_)));
      return true;
    }
    if (n == "exists") {
      // The primary one always exists; the others only where the section shows them.
      bool exists = kind_ == 1 || (kind_ == 2 ? layout.differentFirstPage(section_) : layout.oddAndEvenPages());
      r = Variant(exists);
      return true;
    }
    if (n == "index") {
      r = Variant(kind_);
      return true;
    }
    if (n == "isheader") {
      r = Variant(!footer_);
      return true;
    }
    if (n == "range") {
      Story& story = layout.headerFooter(section_, footer_, kind_);
      r = makeRange(d_, 0, story.length(), &story);
      return true;
    }
    return false;
  }

 private:
  DocPtr d_;
  size_t section_;
  bool footer_;
  int kind_;
};

class HeadersFooters : public WordObject {
 public:
  HeadersFooters(DocPtr d, size_t section, bool footer)
      : WordObject(footer ? "Footers" : "Headers"), d_(std::move(d)), section_(section), footer_(footer) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (kind == CallKind::Put) return false;
    if (n == "count") {
      r = Variant(3);
      return true;
    }
    if (n == "item") {
      r = object(std::make_shared<HeaderFooter>(d_, section_, footer_, static_cast<int>(itemIndex(a, 3)) + 1));
      return true;
    }
    return false;
  }

 private:
  DocPtr d_;
  size_t section_;
  bool footer_;
};

class Section : public WordObject {
 public:
  Section(DocPtr d, size_t section) : WordObject("Section"), d_(std::move(d)), section_(section) {}
  bool member(std::string_view n, CallKind kind, const Args&, Variant& r) override {
    checkOpen(d_);
    if (kind == CallKind::Put) return false;
    if (n == "pagesetup") r = object(std::make_shared<PageSetup>(d_, section_));
    else if (n == "headers" || n == "footers") r = object(std::make_shared<HeadersFooters>(d_, section_, n == "footers"));
    else if (n == "index") r = Variant(static_cast<int32_t>(section_));
    else return false;
    return true;
  }

 private:
  DocPtr d_;
  size_t section_;
};

class Sections : public WordObject {
 public:
  explicit Sections(DocPtr d) : WordObject("Sections"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (kind == CallKind::Put) return false;
    size_t count = layoutOf(*d_).sectionCount();
    if (n == "count") r = Variant(static_cast<int32_t>(count));
    else if (n == "item") r = object(std::make_shared<Section>(d_, itemIndex(a, count) + 1));
    else return false;
    return true;
  }

 private:
  DocPtr d_;
};

class Notes : public WordObject {
 public:
  Notes(DocPtr d, NoteKind kind) : WordObject(kind == NoteKind::Foot ? "Footnotes" : "Endnotes"), d_(std::move(d)), kind_(kind) {}
  bool member(std::string_view n, CallKind kind, const Args&, Variant& r) override {
    checkOpen(d_);
    if (kind == CallKind::Put || n != "count") return false;
    r = Variant(static_cast<int32_t>(layoutOf(*d_).userNotes(kind_)));
    return true;
  }

 private:
  DocPtr d_;
  NoteKind kind_;
};

class Hyperlink : public WordObject {
 public:
  Hyperlink(DocPtr d, size_t index) : WordObject("Hyperlink"), d_(std::move(d)), index_(index) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    Hyperlinks& links = hyperlinksOf(*d_);
    if (n == "address") {
      if (kind == CallKind::Put) links.setAddress(index_, a.back().toString());
      else r = Variant(links.address(index_));
      return true;
    }
    if (n == "subaddress") {
      if (kind == CallKind::Put) links.setSubAddress(index_, a.back().toString());
      else r = Variant(links.subAddress(index_));
      return true;
    }
    return false;
  }

 private:
  DocPtr d_;
  size_t index_;
};

class Shape : public WordObject {
 public:
  Shape(DocPtr d, size_t index) : WordObject("Shape"), d_(std::move(d)), index_(index) {}
  bool member(std::string_view n, CallKind kind, const Args&, Variant&) override {
    checkOpen(d_);
    if (kind != CallKind::Method || n != "select") return false;
    selectShape(*d_, index_);
    return true;
  }

 private:
  DocPtr d_;
  size_t index_;
};

// A collection of the document's hyperlinks or shapes: Count, and Item(i) made on demand.
template <class Item, size_t (*countOf)(DocumentState&)>
class ItemList : public WordObject {
 public:
  ItemList(const char* name, DocPtr d) : WordObject(name), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (kind == CallKind::Put) return false;
    size_t count = countOf(*d_);
    if (n == "count") r = Variant(static_cast<int32_t>(count));
    else if (n == "item") r = object(std::make_shared<Item>(d_, itemIndex(a, count)));
    else return false;
    return true;
  }

 private:
  DocPtr d_;
};

size_t hyperlinkCount(DocumentState& d) { return hyperlinksOf(d).count(); }
size_t shapeCount(DocumentState& d) { return layoutOf(d).shapeCount(); }

class DocumentProperty : public WordObject {
 public:
  DocumentProperty(DocPtr d, WideString name)
      : WordObject("DocumentProperty"), d_(std::move(d)), name_(std::move(name)),
        index_(docprops::DocumentProperties::indexOf(name_)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    docprops::DocumentProperties& props = d_->doc->properties();
    if (n == "value") {
      if (kind != CallKind::Put) r = Variant(props.value(index_));
      else if (a.back().type() == automation::VarType::String ? props.setValue(index_, a.back().rawText())
                                                              : props.setValue(index_, a.back().toString()))
        d_->doc->noteChanged();
      return true;
    }
    if (n == "name" && kind != CallKind::Put) {
      r = Variant(name_);
      return true;
    }
    return false;
  }

 private:
  DocPtr d_;
  WideString name_;
  size_t index_;
};

Variant property(const DocPtr& d, const Variant& name) {
  // A property asked for by the name it was first asked by is found without a copy.
  if (name.type() == automation::VarType::String)
    for (auto& [kept, object] : d->keptProperties)
      if (kept == name.rawText()) return Variant(automation::DispatchPtr(object));
  WideString n = name.toString();
  if (!docprops::DocumentProperties::isBuiltinName(n))
    throw AutomationError("This Word has no built-in document property \"" + platform::wideToUtf8(n) + "\".");
  for (auto& [kept, object] : d->keptProperties)
    if (kept == n) return Variant(automation::DispatchPtr(object));
  d->keptProperties.emplace_back(n, std::make_shared<DocumentProperty>(d, n));
  return Variant(automation::DispatchPtr(d->keptProperties.back().second));
}

class DocumentProperties : public WordObject {
 public:
  explicit DocumentProperties(DocPtr d) : WordObject("DocumentProperties"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    if (kind == CallKind::Put || n != "item" || a.empty()) return false;
    r = property(d_, a[0]);
    return true;
  }

 private:
  DocPtr d_;
};

class View : public WordObject {
 public:
  explicit View(DocPtr d) : WordObject("View"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    ViewState& v = d_->view;
    bool put = kind == CallKind::Put;
    if (n == "type") {
      if (put) setViewType(*d_, a.back().toInt());
      else r = Variant(v.type);
    } else if (n == "seekview") {
      if (put) seekView(*d_, a.back().toInt());
      else r = Variant(v.seekView);
    } else if (n == "splitspecial") {
      if (put) setSplitSpecial(*d_, a.back().toInt());
      else r = Variant(v.split);
    } else {
      return false;
    }
    return true;
  }

 private:
  DocPtr d_;
};

class Pane : public WordObject {
 public:
  Pane(DocPtr d, int index) : WordObject("Pane"), d_(std::move(d)), index_(index) {}
  bool member(std::string_view n, CallKind kind, const Args&, Variant& r) override {
    checkOpen(d_);
    if (kind == CallKind::Put) return false;
    if (n == "view") {
      r = d_->keptObject<View>(DocumentState::Kept::View, d_);
      return true;
    }
    if (n == "selection") {
      r = makeSelection(d_);
      return true;
    }
    if (n == "close") {
      // Closing either pane of a split leaves one pane; the only pane cannot be closed.
      if (d_->view.split == 0) unsupported("closing the only pane");
      closeSplit(*d_);
      return true;
    }
    if (n == "index") {
      r = Variant(index_);
      return true;
    }
    return false;
  }

 private:
  DocPtr d_;
  int index_;
};

class Panes : public WordObject {
 public:
  explicit Panes(DocPtr d) : WordObject("Panes"), d_(std::move(d)) {}
  bool member(std::string_view n, CallKind kind, const Args& a, Variant& r) override {
    checkOpen(d_);
    if (kind == CallKind::Put) return false;
    size_t count = d_->view.split == 0 ? 1 : 2;
    if (n == "count") r = Variant(static_cast<int32_t>(count));
    else if (n == "item") r = object(std::make_shared<Pane>(d_, static_cast<int>(itemIndex(a, count)) + 1));
    else return false;
    return true;
  }

 private:
  DocPtr d_;
};

}  // namespace

bool documentStoryMember(const DocPtr& d, std::string_view n, CallKind kind, const Args& a, Variant& r) {
  if (n == "builtindocumentproperties") {
    if (kind == CallKind::Put) return false;
    r = a.empty() ? object(std::make_shared<DocumentProperties>(d)) : property(d, a[0]);
    return true;
  }
  if (kind == CallKind::Put) return false;
  using Kept = DocumentState::Kept;
  if (n == "sections") r = d->keptObject<Sections>(Kept::Sections, d);
  else if (n == "pagesetup") r = d->keptObject<PageSetup>(Kept::PageSetup, d, 0);
  else if (n == "footnotes") r = d->keptObject<Notes>(Kept::Footnotes, d, NoteKind::Foot);
  else if (n == "endnotes") r = d->keptObject<Notes>(Kept::Endnotes, d, NoteKind::End);
  else if (n == "hyperlinks") r = d->keptObject<ItemList<Hyperlink, hyperlinkCount>>(Kept::Hyperlinks, "Hyperlinks", d);
  else if (n == "shapes") r = d->keptObject<ItemList<Shape, shapeCount>>(Kept::Shapes, "Shapes", d);
  else return false;
  return true;
}

bool windowViewMember(const DocPtr& d, std::string_view n, CallKind kind, const Args&, Variant& r) {
  if (kind == CallKind::Put) return false;
  if (n == "view") r = d->keptObject<View>(DocumentState::Kept::View, d);
  else if (n == "activepane")
    r = d->view.split == 0 ? d->keptObject<Pane>(DocumentState::Kept::FirstPane, d, 1) : d->keptObject<Pane>(DocumentState::Kept::SecondPane, d, 2);
  else if (n == "panes") r = object(std::make_shared<Panes>(d));
  else return false;
  return true;
}

}  // namespace ooxml::word
