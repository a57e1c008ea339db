#pragma once
// Where the selection stands when it leaves the main text: the header or footer of a section,
// the notes, a text box. Word's views (SeekView, SplitSpecial, Panes) and GoTo move it there.
#include <cstddef>

namespace ooxml::word {

struct DocumentState;
class DocumentLayout;
class Hyperlinks;

struct ViewState {
  int type = 3;      // print layout, as a document opens
  int seekView = 0;  // the main document
  int split = 0;     // no second pane
  // The section and kind of the header or footer being shown, and whether the selection stood
  // at the start of that section when it left the main text (its first page then shows).
  size_t section = 1;
  int kind = 1;
  bool atSectionStart = true;
};

DocumentLayout& layoutOf(DocumentState& d);
Hyperlinks& hyperlinksOf(DocumentState& d);

// Each of these puts the selection at the start of the story it names.
void seekView(DocumentState& d, int view);  // 0 to 10, Word's SeekView values
void setViewType(DocumentState& d, int type);
void setSplitSpecial(DocumentState& d, int pane);
void closeSplit(DocumentState& d);
void goToSection(DocumentState& d, int section);  // the main text, at the start of that section
// A floating shape of the main text: the selection covers the whole text of its text box.
void selectShape(DocumentState& d, size_t index);

}  // namespace ooxml::word
