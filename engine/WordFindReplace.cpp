// Applying one table row to every part of the open document: Word finds, we act on each hit.
#include <array>

#include "engine/Guard.h"
#include "engine/InStringReplace.h"
#include "engine/SearchControlWord.h"
#include "engine/TWordObject.h"
#include "settings/TUserParameters.h"
#include "tables/TFormating.h"

using automation::Ole;
using automation::Variant;

namespace {

constexpr int32_t wdPaneNone = 0;
constexpr int32_t wdPaneFootnotes = 7;
constexpr int32_t wdPaneEndnotes = 8;
constexpr int32_t wdNormalView = 1;
constexpr int32_t wdOutlineView = 2;
constexpr int32_t wdPrintView = 3;
constexpr int32_t wdPrintPreview = 4;
constexpr int32_t wdMasterView = 5;
constexpr int32_t wdWebView = 6;
constexpr int32_t wdSeekMainDocument = 0;
constexpr int32_t wdSeekPrimaryHeader = 1;
constexpr int32_t wdSeekFirstPageHeader = 2;
constexpr int32_t wdSeekEvenPagesHeader = 3;
constexpr int32_t wdSeekPrimaryFooter = 4;
constexpr int32_t wdSeekFirstPageFooter = 5;
constexpr int32_t wdSeekEvenPagesFooter = 6;
constexpr int32_t wdSeekFootnotes = 7;
constexpr int32_t wdSeekEndnotes = 8;
constexpr int32_t wdGoToSection = 0;
constexpr int32_t wdGoToAbsolute = 1;
constexpr int32_t wdGoToPage = 1;
constexpr int32_t wdGoToFirst = 1;
constexpr int32_t wdFindContinue = 1;
constexpr int32_t wdReplaceNone = 0;
constexpr int32_t wdNoHighlight = 0;

constexpr int32_t wdHeaderFooterPrimary = 1;
constexpr int32_t wdHeaderFooterFirstPage = 2;
constexpr int32_t wdHeaderFooterEvenPages = 3;

// The kinds of header and footer a section can show, in the order they are searched, with the
// index each has in Headers and Footers and the views that open them.
struct HeaderFooterKind {
  int32_t index;
  int32_t headerView;
  int32_t footerView;
};
constexpr HeaderFooterKind kHeaderFooterKinds[] = {
    {wdHeaderFooterPrimary, wdSeekPrimaryHeader, wdSeekPrimaryFooter},
    {wdHeaderFooterFirstPage, wdSeekFirstPageHeader, wdSeekFirstPageFooter},
    {wdHeaderFooterEvenPages, wdSeekEvenPagesHeader, wdSeekEvenPagesFooter},
};
constexpr size_t kHeaderFooterStories = 2 * std::size(kHeaderFooterKinds);  // a header and a footer of each kind

// Word 8 and older (and a Word whose version we could not learn) get the plain row.
constexpr int32_t kLastLegacyWordVersion = 8;

constexpr const char16_t* kPropertyNames[] = {u"title", u"keywords", u"subject", u"author", u"manager", u"company"};

}  // namespace

const Ole& TWordObject::window() const {
  if (!window_.isObject()) window_ = document_.get("Windows").call("Item", 1);
  return window_;
}

const Ole& TWordObject::activeView() const {
  if (!activeView_.isObject()) activeView_ = window().get("ActivePane").get("View");
  return activeView_;
}

void TWordObject::setSeekView(int32_t view) const { activeView().put("SeekView", view); }

int32_t TWordObject::replaceIn(const FindArgs& a) {
  return ReplaceInSelection(a.find, a.replacement, a.controlWord, a.findRecord, a.replacementRecord);
}

void TWordObject::ReplaceRow(const WideString& find, const WideString& replacement, int32_t controlWord,
                             const TFormating* findRecord, const TFormating* replacementRecord) {
  if (wordVersion_ == 0) wordVersion_ = DetectWordVersion();
  forgetWindow();
  if ((controlWord & scwSecondCellEmptyIgnore) != 0 && replacement.empty()) return;
  if (wordVersion_ <= kLastLegacyWordVersion) {
    ReplaceRowLegacy(find, replacement, controlWord);
    return;
  }

  const FindArgs a{find, replacement, controlWord, findRecord, replacementRecord};
  int32_t rowTotal = 0;
  stage_ = 100;
  const bool highlight = (SetFormattingSet & fmtHighlight) != 0;
  Variant keptHighlight = application_.get("Options").get("DefaultHighlightColorIndex").value();
  stage_ = 200;
  if (highlight) application_.get("Options").put("DefaultHighlightColorIndex", wdNoHighlight);
  stage_ = 300;

  SelectDocumentStart();
  if ((controlWord & scwSkipMainDocument) == 0) rowTotal += replaceIn(a);
  checkCancelled();
  if ((controlWord & scwSkipHeaderFooter) == 0) rowTotal += ReplaceInHeadersFooters(find, replacement, controlWord,
                                                                                     findRecord, replacementRecord);
  checkCancelled();
  if ((controlWord & scwSkipFootnotesEndnotes) == 0)
    rowTotal += ReplaceInNotes(find, replacement, controlWord, findRecord, replacementRecord);
  checkCancelled();
  if ((controlWord & scwSkipHyperlinks) == 0) ReplaceInHyperlinks(find, replacement);
  checkCancelled();
  rowTotal += ReplaceInShapes(find, replacement, controlWord, findRecord, replacementRecord);
  checkCancelled();
  if (Mode == kModeReplace) ReplaceInProperties(find, replacement, controlWord);
  checkCancelled();

  stage_ = 800;
  if (highlight) swallowErrors([&] { application_.get("Options").put("DefaultHighlightColorIndex", keptHighlight); });
  replacementCount_ += rowTotal;
}

void TWordObject::ReplaceRowLegacy(const WideString& find, const WideString& replacement, int32_t controlWord) {
  forgetWindow();
  application_.get("Options").put("DefaultHighlightColorIndex", wdNoHighlight);
  int32_t total = 0;
  if ((controlWord & scwSkipMainDocument) == 0) total += ReplaceInSelection(find, replacement, controlWord, nullptr, nullptr);
  if ((controlWord & scwSkipHeaderFooter) == 0)
    total += ReplaceInHeadersFooters(find, replacement, controlWord, nullptr, nullptr);
  if ((controlWord & scwSkipFootnotesEndnotes) == 0)
    total += ReplaceInNotes(find, replacement, controlWord, nullptr, nullptr);
  replacementCount_ += total;
}

void TWordObject::SelectDocumentStart() {
  swallowErrors([&] {
    document_.get("Paragraphs").call("Item", 1).get("Range").call("Select");
    document_.call("Range").call("GoTo", wdGoToPage, wdGoToFirst);
  });
}

bool TWordObject::adjustCapital(const Ole& sel, bool matchCase, std::optional<bool>& leaveCapital, WideString& replacement) const {
  if (matchCase || Parameters == nullptr) return false;
  // Read at the loop's first hit, not at every hit: looking a setting up by name costs more
  // than the rest of a hit's work.
  if (!leaveCapital) leaveCapital = Parameters->GetBoolParameter("LeaveCapitalAsIs");
  if (!*leaveCapital || replacement.empty()) return false;
  WideString found = sel.get("Text").toString();
  if (found.empty()) return false;
  const bool lowerFirst = found[0] == platform::toLower(found[0]);
  replacement[0] = lowerFirst ? platform::toLower(replacement[0]) : platform::toUpper(replacement[0]);
  return true;
}

int32_t TWordObject::ReplaceInSelection(const WideString& find, const WideString& replacement, int32_t controlWord,
                                        const TFormating* findRecord, const TFormating* replacementRecord) {
  checkCancelled();
  ++stage_;
  Ole sel = window().get("Selection");
  ++stage_;
  int32_t limitStart = 0, limitEnd = 0;
  if (restrictToSelection_) {
    limitStart = sel.get("Start").toInt();
    limitEnd = sel.get("End").toInt();
  }
  sel.put("Start", 0);
  ++stage_;
  sel.put("End", 0);

  int32_t previousStart = 0, previousEnd = 0, repeats = 0, acted = 0;
  int32_t keptUntil = 0;  // a paragraph or cell end the last replacement could not take away ends here
  bool first = true;
  WideString text = replacement;  // the capital letter rule changes it for the rest of this loop
  std::optional<bool> leaveCapital;
  ++stage_;

  const Ole findObject = sel.get("Find");
  const Ole replacementObject = findObject.get("Replacement");
  for (;;) {
    checkCancelled();
    findObject.call("ClearFormatting");
    replacementObject.call("ClearFormatting");
    if (SearchFormattingSet != 0) ApplySearchFormatting(sel, findRecord);

    bool matchCase = (controlWord & scwCaseSensitive) != 0;
    bool wholeWord = (controlWord & scwWholeWord) != 0;
    bool wildcards = (controlWord & scwControlCards) != 0;
    if (findRecord != nullptr) {
      if (findRecord->MatchCase != -1) matchCase = findRecord->MatchCase != 0;
      if (findRecord->WholeWord != -1) wholeWord = findRecord->WholeWord != 0;
      if (findRecord->Wildcards != -1) wildcards = findRecord->Wildcards != 0;
    }
    const bool found = findObject
                           .call("Execute", find, matchCase, wholeWord, wildcards, false, false, true, wdFindContinue,
                                 SearchFormattingSet != 0, u"", wdReplaceNone)
                           .toBool();
    if (!found) break;

    adjustCapital(sel, matchCase, leaveCapital, text);

    const int32_t start = sel.get("Start").toInt();
    const int32_t end = sel.get("End").toInt();
    if (restrictToSelection_ && (limitStart > start || limitEnd < start)) break;

    if (!first) {
      if (previousStart > start) break;  // the search wrapped round to an earlier place
      if (previousStart == start && previousStart != previousEnd) {
        if (++repeats > 1) break;  // the same hit again and again
        continue;
      }
      // A hit in what we just put in place, or reaching into it (found after a wrap), is not
      // text of the document's own.
      if (start < previousEnd) {
        previousStart = start;
        continue;
      }
      // The mark the last replacement had to leave (a story's last, one before a table) is
      // found again right after the new text: acting on it again would never end.
      if (start < keptUntil) {
        previousStart = start;
        previousEnd = end;
        continue;
      }
    }

    repeats = 0;
    int32_t insertedLength = end - start;
    if (Mode == kModeReplace) {
      const int32_t keptCount = replacementCount_;
      const WideString foundText = sel.get("Text").toString();
      // Codes first, then the found text, so that the document's own text goes in verbatim.
      const WideString result = ReplaceAllInText(ExpandSpecialCodes(text), u"^&", foundText, 0);
      // Only a paragraph or cell end can outlive its replacement; the story's length tells.
      const bool holdsMark = foundText.find_first_of(u"\r\a") != WideString::npos;
      const int32_t lengthBefore = holdsMark ? sel.get("StoryLength").toInt() : 0;
      sel.put("Text", result);
      replacementCount_ = keptCount;
      insertedLength = static_cast<int32_t>(result.size());
      const int32_t kept = holdsMark ? sel.get("StoryLength").toInt() - (lengthBefore - (end - start) + insertedLength) : 0;
      keptUntil = kept > 0 ? sel.get("End").toInt() + kept : 0;
    }
    // The shape's text grew or shrank by what was really put in place.
    if (restrictToSelection_) limitEnd += insertedLength - (end - start);

    previousStart = sel.get("Start").toInt();
    previousEnd = sel.get("End").toInt();
    ApplyReplacementFormatting(sel, replacementRecord);
    first = false;
    ++acted;
  }
  ++stage_;
  return acted;
}

int32_t TWordObject::ReplaceInHeadersFooters(const WideString& find, const WideString& replacement,
                                             int32_t controlWord, const TFormating* findRecord,
                                             const TFormating* replacementRecord) {
  const FindArgs a{find, replacement, controlWord, findRecord, replacementRecord};
  int32_t total = 0;
  swallowErrors([&] {
    Ole windowView = window().get("View");
    if (windowView.get("SplitSpecial").toInt() != wdPaneNone) {
      activeView_ = Ole();  // the pane that was active may be the one closed
      window().get("Panes").call("Item", 2).call("Close");
      windowView = window().get("View");
    }
    if (windowView.get("Type").toInt() == wdNormalView || activeView().get("Type").toInt() == wdOutlineView)
      activeView().put("Type", wdMasterView);
  });
  const int32_t sections = document_.get("Sections").get("Count").toInt();
  if (sections != 0 && ReplaceInSectionHeadersFooters(a, sections, total)) return total;
  ReplaceInHeadersFootersFallback(a, total);
  return total;
}

bool TWordObject::ReplaceInSectionHeadersFooters(const FindArgs& a, int32_t sections, int32_t& total) {
  try {
    // Per story (header, then footer, of each kind): whether the one the previous section uses has
    // been searched. A story linked to such a one is the same text and is not searched again; a
    // story linked to one nobody searched yet (hidden there, or missed by a failing section) is.
    std::array<bool, kHeaderFooterStories> searched{};
    for (int32_t i = 1; i <= sections; ++i) {
      document_.get("Application").get("Selection").call("GoTo", wdGoToSection, wdGoToAbsolute, i);
      std::array<bool, kHeaderFooterStories> covered{};
      swallowErrors([&] {
        const Ole section = document_.get("Sections").call("Item", i);
        const Ole pageSetup = section.get("PageSetup");
        const bool shown[] = {true, pageSetup.get("DifferentFirstPageHeaderFooter").toBool(),
                              pageSetup.get("OddAndEvenPagesHeaderFooter").toBool()};
        for (size_t k = 0; k < std::size(kHeaderFooterKinds); ++k) {
          const HeaderFooterKind& kind = kHeaderFooterKinds[k];
          for (const bool footer : {false, true}) {
            const size_t story = 2 * k + (footer ? 1 : 0);
            auto linked = [&] {
              return section.get(footer ? "Footers" : "Headers").call("Item", kind.index).get("LinkToPrevious").toBool();
            };
            if (!shown[k]) {
              // Hidden here, but a later section may show it through its link.
              if (searched[story]) swallowErrors([&] { covered[story] = linked(); });
              continue;
            }
            if (searched[story] && linked()) {
              covered[story] = true;
              continue;
            }
            setSeekView(footer ? kind.footerView : kind.headerView);
            total += replaceIn(a);
            covered[story] = true;
          }
        }
        setSeekView(wdSeekMainDocument);
      });
      searched = covered;
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void TWordObject::ReplaceInHeadersFootersFallback(const FindArgs& a, int32_t& total) {
  swallowErrors([&] {
    swallowErrors([&] {
      if (document_.get("PageSetup").get("DifferentFirstPageHeaderFooter").toInt() != 0) {
        setSeekView(wdSeekFirstPageHeader);
        total += replaceIn(a);
        setSeekView(wdSeekFirstPageFooter);
        total += replaceIn(a);
      }
    });
    swallowErrors([&] {
      if (document_.get("PageSetup").get("OddAndEvenPagesHeaderFooter").toInt() != 0) {
        setSeekView(wdSeekEvenPagesHeader);
        total += replaceIn(a);
        setSeekView(wdSeekEvenPagesFooter);
        total += replaceIn(a);
      }
    });
    swallowErrors([&] {
      setSeekView(wdSeekPrimaryHeader);
      total += replaceIn(a);
      setSeekView(wdSeekPrimaryFooter);
      total += replaceIn(a);
      setSeekView(wdSeekMainDocument);
    });
  });
}

int32_t TWordObject::ReplaceInNoteStory(const FindArgs& a, int32_t kind) {
  auto paneViewType = [&] { return activeView().get("Type").toInt(); };
  if (paneViewType() == wdPrintView || paneViewType() == wdWebView || paneViewType() == wdPrintPreview)
    setSeekView(kind);
  else {
    const Ole view = activeView();
    activeView_ = Ole();  // the notes pane the split opens is the active one from now on
    view.put("SplitSpecial", kind);
  }
  return replaceIn(a);
}

int32_t TWordObject::ReplaceInNotes(const WideString& find, const WideString& replacement, int32_t controlWord,
                                    const TFormating* findRecord, const TFormating* replacementRecord) {
  static_assert(wdSeekFootnotes == wdPaneFootnotes && wdSeekEndnotes == wdPaneEndnotes);
  const FindArgs a{find, replacement, controlWord, findRecord, replacementRecord};
  int32_t total = 0;
  if (document_.get("FootNotes").get("Count").toInt() != 0)
    swallowErrors([&] { total += ReplaceInNoteStory(a, wdSeekFootnotes); });
  if (document_.get("EndNotes").get("Count").toInt() != 0)
    swallowErrors([&] { total += ReplaceInNoteStory(a, wdSeekEndnotes); });
  swallowErrors([&] { setSeekView(wdSeekMainDocument); });
  return total;
}

void TWordObject::ReplaceInHyperlinks(const WideString& find, const WideString& replacement) {
  const int32_t links = document_.get("HyperLinks").get("count").toInt();
  for (int32_t i = 1; i <= links; ++i) swallowErrors([&] { ReplaceInHyperlink(i, find, replacement); });
}

void TWordObject::ReplaceInHyperlink(int32_t index, const WideString& find, const WideString& replacement) {
  const Ole link = document_.get("HyperLinks").call("Item", index);
  const WideString address = link.get("Address").toString();
  // A link inside the document names a bookmark, which the batch never renames: left as it is.
  if (address.empty()) return;
  const WideString subAddress = link.get("SubAddress").toString();
  const WideString joined = subAddress.empty() ? address : address + u"#" + subAddress;
  // Addresses are matched literally and without regard to case, whatever the row asks for.
  const WideString replaced = ReplaceAllInText(joined, find, replacement, 0);
  if (replaced == joined) return;
  link.put("Address", replaced);
  // The anchor now travels in the address; cleared only once the address holds it.
  if (!subAddress.empty()) link.put("SubAddress", u"");
}

int32_t TWordObject::ReplaceInShapes(const WideString& find, const WideString& replacement, int32_t controlWord,
                                     const TFormating* findRecord, const TFormating* replacementRecord) {
  const FindArgs a{find, replacement, controlWord, findRecord, replacementRecord};
  restrictToSelection_ = true;
  // Off again on every way out: left on, it would confine the next rows' main-text search.
  struct SwitchOff {
    bool& flag;
    ~SwitchOff() { flag = false; }
  } switchOff{restrictToSelection_};
  int32_t total = 0;
  const int32_t shapes = document_.get("Shapes").get("count").toInt();
  for (int32_t i = 1; i <= shapes; ++i)
    swallowErrors([&] {
      document_.get("Shapes").call("Item", i).call("Select");
      total += replaceIn(a);
    });
  return total;
}

void TWordObject::ReplaceInProperties(const WideString& find, const WideString& replacement, int32_t controlWord) {
  // The replacement as the document's text gets it: caret codes turned into characters, and
  // "^&" standing for each match's own text (a title never shows a literal "^&", and matching
  // without case keeps the property's own spelling).
  const WideString put = ExpandSpecialCodes(replacement);
  static_assert(std::size(kPropertyNames) == std::tuple_size_v<decltype(properties_)>);
  for (size_t i = 0; i < std::size(kPropertyNames); ++i) {
    Ole& property = properties_[i];
    if (!property.isObject()) property = document_.get("BuiltinDocumentProperties", kPropertyNames[i]);
    const WideString value = property.get("Value").toString();
    property.put("Value", ::ReplaceAllInText(value, find, put, controlWord, replacementCount_, u"^&"));
  }
}
