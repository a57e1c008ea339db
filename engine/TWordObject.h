#pragma once
// The one handle on Word for a batch: starts the application, opens, checks, saves and closes the
// document being processed, and applies table rows to every part of it. Word is reached only by
// late-bound calls through automation::Ole, so tests can put the recording fake in its place.
#include <array>
#include <cstdint>
#include <optional>

#include "automation/Ole.h"
#include "engine/Cancellation.h"
#include "platform/Text.h"

struct TFormating;
class TUserParameters;

class TWordObject {
 public:
  static constexpr int32_t kModeReplace = 1;
  static constexpr int32_t kModeSetFormattingOnly = 1024;

  // Starts Word at once; WordRunning() tells whether that worked. owner may be null.
  explicit TWordObject(IReplaceOwner* owner);
  // Closes the document without saving and quits Word when it holds no other document.
  ~TWordObject();
  TWordObject(const TWordObject&) = delete;
  TWordObject& operator=(const TWordObject&) = delete;

  // Application and document.
  void StartApplication();
  void ReleaseApplication(bool quitWord);
  void SetVisible(bool visible);
  void OpenDocument(const WideString& path);
  bool IsProtected();
  void SaveDocument(const WideString& path);  // empty path: save in place
  void CloseDocument();
  int32_t DocumentCount();
  int32_t DetectWordVersion();
  bool IsCancelled() const;

  // One table row over the whole document; the only entry point the driver uses per row.
  void ReplaceRow(const WideString& find, const WideString& replacement, int32_t controlWord,
                  const TFormating* findRecord, const TFormating* replacementRecord);

  // Batch settings, set by the driver before the first file.
  TUserParameters* Parameters = nullptr;  // not owned; read for "LeaveCapitalAsIs"
  int32_t Mode = kModeReplace;
  int32_t SetFormattingSet = 0;
  int32_t SearchFormattingSet = 0;

  // State the driver reads.
  bool WordRunning() const { return wordRunning_; }
  bool HasDocument() const { return document_.isObject(); }
  int32_t ReplacementCount() const { return replacementCount_; }
  int32_t Stage() const { return stage_; }
  int32_t WordVersion() const { return wordVersion_; }
  bool RestrictToSelection() const { return restrictToSelection_; }

  // The pieces of a row, public so that each can be exercised on its own.
  void ReplaceRowLegacy(const WideString& find, const WideString& replacement, int32_t controlWord);
  void SelectDocumentStart();
  int32_t ReplaceInSelection(const WideString& find, const WideString& replacement, int32_t controlWord,
                             const TFormating* findRecord, const TFormating* replacementRecord);
  int32_t ReplaceInHeadersFooters(const WideString& find, const WideString& replacement, int32_t controlWord,
                                  const TFormating* findRecord, const TFormating* replacementRecord);
  int32_t ReplaceInNotes(const WideString& find, const WideString& replacement, int32_t controlWord,
                         const TFormating* findRecord, const TFormating* replacementRecord);
  void ReplaceInHyperlinks(const WideString& find, const WideString& replacement);
  int32_t ReplaceInShapes(const WideString& find, const WideString& replacement, int32_t controlWord,
                          const TFormating* findRecord, const TFormating* replacementRecord);
  void ReplaceInProperties(const WideString& find, const WideString& replacement, int32_t controlWord);

  // Formatting of the found text (on Sel.Find, before a search) and of what replaced it (on Sel).
  void ApplySearchFormatting(const automation::Ole& sel, const TFormating* findRecord);
  void ApplyReplacementFormatting(const automation::Ole& sel, const TFormating* replacementRecord);

  // The in-string replace-all, counting each match into the replacement count.
  WideString ReplaceAllInText(const WideString& source, const WideString& find, const WideString& replacement,
                              int32_t flags);

 private:
  struct FindArgs {
    const WideString& find;
    const WideString& replacement;
    int32_t controlWord;
    const TFormating* findRecord;
    const TFormating* replacementRecord;
  };

  const automation::Ole& window() const;  // document.Windows.Item(1), fetched once per row
  void setSeekView(int32_t view) const;
  void checkCancelled() const;
  int32_t replaceIn(const FindArgs& a);
  // Every header and footer a section shows, section by section, each story searched once however
  // many sections link to it; false when the walk broke off (the fallback pass then runs).
  bool ReplaceInSectionHeadersFooters(const FindArgs& a, int32_t sections, int32_t& total);
  void ReplaceInHeadersFootersFallback(const FindArgs& a, int32_t& total);
  int32_t ReplaceInNoteStory(const FindArgs& a, int32_t kind);
  void ReplaceInHyperlink(int32_t index, const WideString& find, const WideString& replacement);
  bool adjustCapital(const automation::Ole& sel, bool matchCase, std::optional<bool>& leaveCapital, WideString& replacement) const;

  bool restrictToSelection_ = false;
  automation::Ole application_;
  automation::Ole document_;
  // Word hands out the same window for a document as long as it is open; asking again for every
  // pane and view switch doubled the calls a row makes.
  mutable automation::Ole window_;
  // Its active pane's view, likewise, until the panes change (a split opened or closed).
  mutable automation::Ole activeView_;
  const automation::Ole& activeView() const;
  void forgetWindow() const {
    window_ = automation::Ole();
    activeView_ = automation::Ole();
  }
  // The document's built-in properties the rows rewrite, asked for once per document.
  std::array<automation::Ole, 6> properties_;
  void forgetDocumentObjects() {
    forgetWindow();
    properties_ = {};
  }
  int32_t replacementCount_ = 0;
  IReplaceOwner* owner_ = nullptr;
  int32_t wordVersion_ = 0;
  bool wordRunning_ = false;
  int32_t stage_ = 0;
};
