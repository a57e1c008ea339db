#include "ooxml/word/Views.h"

#include "automation/Dispatch.h"
#include "ooxml/word/Hyperlinks.h"
#include "ooxml/word/Layout.h"
#include "ooxml/word/Objects.h"

namespace ooxml::word {

namespace {

constexpr int wdNormalView = 1, wdOutlineView = 2, wdPaneFootnotes = 7, wdPaneEndnotes = 8;
constexpr int wdSeekFootnotes = 7, wdSeekEndnotes = 8, wdSeekCurrentPageFooter = 10;

bool showsHeaderFooter(const ViewState& v) { return (v.seekView >= 1 && v.seekView <= 6) || v.seekView >= 9; }

void enter(DocumentState& d, Story* story) {
  if (!d.current) {
    // Leaving the main text: the section there is the one headers and footers belong to.
    DocumentLayout& layout = layoutOf(d);
    d.view.section = layout.sectionAt(d.selection.start);
    d.view.atSectionStart = d.selection.start == layout.sectionStart(d.view.section);
  }
  d.current = story == &d.doc->mainStory() ? nullptr : story;
  d.selection = SelectionState{};
}

}  // namespace

DocumentLayout& layoutOf(DocumentState& d) {
  if (!d.layout) d.layout = std::make_shared<DocumentLayout>(*d.doc);
  return *d.layout;
}

Hyperlinks& hyperlinksOf(DocumentState& d) {
  if (!d.hyperlinks) d.hyperlinks = std::make_shared<Hyperlinks>(*d.doc);
  return *d.hyperlinks;
}

void seekView(DocumentState& d, int view) {
  if (view < 0 || view > 10) throw automation::AutomationError("The SeekView value " + std::to_string(view) + " is out of range.");
  if (d.view.type == wdNormalView || d.view.type == wdOutlineView)
    throw automation::AutomationError("This view is not available in normal or outline view (SeekView).");
  DocumentLayout& layout = layoutOf(d);
  if (view == 0) {
    enter(d, &d.doc->mainStory());
  } else if (view == wdSeekFootnotes || view == wdSeekEndnotes) {
    enter(d, &layout.notes(view == wdSeekFootnotes ? NoteKind::Foot : NoteKind::End));
  } else {
    bool fromHeaderFooter = d.current && showsHeaderFooter(d.view);
    enter(d, nullptr);  // records the section when leaving the main text
    bool footer = view == wdSeekCurrentPageFooter || (view >= 4 && view <= 6);
    int kind = d.view.kind;
    if (view <= 6) {
      kind = (view - 1) % 3 + 1;
    } else if (!fromHeaderFooter) {
      // The current page is the section's first page: its own header when it has a distinct one.
      kind = d.view.atSectionStart && layout.differentFirstPage(d.view.section) ? 2 : 1;
    }
    d.view.kind = kind;
    d.current = &layout.headerFooter(d.view.section, footer, kind);
  }
  d.view.seekView = view;
}

void setViewType(DocumentState& d, int type) {
  if (type < 1 || type > 7) throw automation::AutomationError("The view type " + std::to_string(type) + " is out of range.");
  d.view.type = type;
  if ((type == wdNormalView || type == wdOutlineView) && d.view.seekView != 0) {
    enter(d, &d.doc->mainStory());
    d.view.seekView = 0;
  }
}

void setSplitSpecial(DocumentState& d, int pane) {
  if (pane == 0) {
    closeSplit(d);
    return;
  }
  d.view.split = pane;
  if (pane == wdPaneFootnotes || pane == wdPaneEndnotes)
    enter(d, &layoutOf(d).notes(pane == wdPaneFootnotes ? NoteKind::Foot : NoteKind::End));
}

void closeSplit(DocumentState& d) {
  if (d.view.split == 0) return;
  if (d.view.split == wdPaneFootnotes || d.view.split == wdPaneEndnotes) enter(d, &d.doc->mainStory());
  d.view.split = 0;
}

void goToSection(DocumentState& d, int section) {
  DocumentLayout& layout = layoutOf(d);
  size_t count = layout.sectionCount();
  // As Word does, a number past the last section goes to the last one.
  size_t n = section < 1 ? 1 : std::min<size_t>(static_cast<size_t>(section), count);
  enter(d, &d.doc->mainStory());
  d.view.seekView = 0;
  d.selection.start = d.selection.end = layout.sectionStart(n);
}

void selectShape(DocumentState& d, size_t index) {
  Story& story = layoutOf(d).shapeStory(index);
  enter(d, &story);
  d.selection.end = story.length();
}

}  // namespace ooxml::word
