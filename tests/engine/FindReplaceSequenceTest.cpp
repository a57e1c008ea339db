#include "WordFake.h"

#include "engine/SearchControlWord.h"

using automation::AutomationError;
using automation::Variant;

namespace {

constexpr const char* kNoMatchCaseExecute =
    "Sel.Find.Execute(\"x\", False, False, False, False, False, True, 1, False, \"\", 0)";

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

class FindReplace : public WordFake {
 protected:
  // What was done to the selection: its methods and assignments, in order.
  std::vector<std::string> selActions() const {
    std::vector<std::string> out;
    for (const auto& l : fake.calls("Sel."))
      if (endsWith(l, ")") || l.find(" = ") != std::string::npos) out.push_back(l);
    return out;
  }
  std::vector<std::string> seekViews() const { return calls(std::string(kSeekView) + " = "); }
  std::vector<std::string> texts() const { return calls("Sel.Text = "); }
  // Section i shows only the primary header and footer; from the second section on, both are
  // linked to the previous section's as given.
  void plainSection(int i, bool headerLinked = false, bool footerLinked = false) {
    const std::string s = "Document.Sections.Item(" + std::to_string(i) + ").";
    fake.setProperty(s + "PageSetup.DifferentFirstPageHeaderFooter", 0);
    fake.setProperty(s + "PageSetup.OddAndEvenPagesHeaderFooter", 0);
    fake.setProperty(s + "Headers.Item(1).LinkToPrevious", headerLinked ? -1 : 0);
    fake.setProperty(s + "Footers.Item(1).LinkToPrevious", footerLinked ? -1 : 0);
  }
};

TEST_F(FindReplace, EachSearchClearsFormattingThenExecutesWithElevenArguments) {
  auto word = openWord();
  scriptHits({{10, 11, u"x"}});
  EXPECT_EQ(word->ReplaceInSelection(u"x", u"y", 0, nullptr, nullptr), 1);
  EXPECT_EQ(selActions(), (std::vector<std::string>{
                              "Sel.Start = 0",
                              "Sel.End = 0",
                              "Sel.Find.ClearFormatting()",
                              "Sel.Find.Replacement.ClearFormatting()",
                              kNoMatchCaseExecute,
                              "Sel.Text = \"y\"",
                              "Sel.Find.ClearFormatting()",
                              "Sel.Find.Replacement.ClearFormatting()",
                              kNoMatchCaseExecute,
                          }));
  EXPECT_EQ(word->Stage(), 5);
  // The selection's Find and its Replacement are asked for once a loop, not once a search.
  EXPECT_EQ(std::count(fake.log().begin(), fake.log().end(), "Sel.Find"), 1);
  EXPECT_EQ(std::count(fake.log().begin(), fake.log().end(), "Sel.Find.Replacement"), 1);
}

TEST_F(FindReplace, RowOverridesReplaceTheControlWordBits) {
  auto word = openWord();
  scriptHits({});
  word->ReplaceInSelection(u"x", u"y", scwCaseSensitive | scwControlCards | scwWholeWord, nullptr, nullptr);
  TFormating row;
  row.MatchCase = 0;
  row.Wildcards = 0;
  word->ReplaceInSelection(u"x", u"y", scwCaseSensitive | scwControlCards | scwWholeWord, &row, nullptr);
  row = TFormating();
  row.WholeWord = 1;
  word->ReplaceInSelection(u"x", u"y", 0, &row, nullptr);
  EXPECT_EQ(calls("Sel.Find.Execute"),
            (std::vector<std::string>{
                "Sel.Find.Execute(\"x\", True, True, True, False, False, True, 1, False, \"\", 0)",
                "Sel.Find.Execute(\"x\", False, True, False, False, False, True, 1, False, \"\", 0)",
                "Sel.Find.Execute(\"x\", False, True, False, False, False, True, 1, False, \"\", 0)",
            }));
}

TEST_F(FindReplace, AHitBeforeThePreviousOneMeansTheSearchWrapped) {
  auto word = openWord();
  scriptHits({{10, 13, u"abc"}, {2, 5, u"abc"}, {20, 23, u"abc"}});
  EXPECT_EQ(word->ReplaceInSelection(u"abc", u"xyz", 0, nullptr, nullptr), 1);
  EXPECT_EQ(count("Sel.Find.Execute"), 2u);
  EXPECT_EQ(texts().size(), 1u);
}

TEST_F(FindReplace, TheSameHitThreeTimesIsActedOnOnce) {
  auto word = openWord();
  scriptHits({{10, 13, u"abc"}, {10, 13, u"abc"}, {10, 13, u"abc"}, {20, 23, u"abc"}});
  EXPECT_EQ(word->ReplaceInSelection(u"abc", u"abc", 0, nullptr, nullptr), 1);
  EXPECT_EQ(count("Sel.Find.Execute"), 3u);
}

TEST_F(FindReplace, AHitInsideTheLastReplacementIsSkipped) {
  auto word = openWord();
  scriptHits({{10, 20, u"x"}, {12, 15, u"x"}, {30, 31, u"x"}});
  EXPECT_EQ(word->ReplaceInSelection(u"x", u"y", 0, nullptr, nullptr), 2);
  EXPECT_EQ(count("Sel.Find.Execute"), 4u);
  EXPECT_EQ(texts().size(), 2u);
}

TEST_F(FindReplace, FoundTextAndCaretCodesGoIntoTheReplacementAndCountOncePerHit) {
  auto word = openWord();
  scriptHits({{1, 2, u"x"}, {5, 6, u"x"}}, 0);
  word->ReplaceRow(u"x", u"[^&]", 0, nullptr, nullptr);
  EXPECT_EQ(texts(), (std::vector<std::string>{"Sel.Text = \"[x]\"", "Sel.Text = \"[x]\""}));
  EXPECT_EQ(word->ReplacementCount(), 2);

  fake.clearLog();
  scriptHits({{1, 2, u"x"}}, 0);
  word->ReplaceRow(u"x", u"a^pb", 0, nullptr, nullptr);
  EXPECT_EQ(texts(), std::vector<std::string>{"Sel.Text = \"a\rb\""});
  EXPECT_EQ(word->ReplacementCount(), 3);
}

TEST_F(FindReplace, FoundTextThatLooksLikeACaretCodeGoesInVerbatim) {
  auto word = openWord();
  scriptHits({{1, 3, u"^t"}, {8, 10, u"a\\"}});
  word->ReplaceInSelection(u"x", u"<^&>^p", 0, nullptr, nullptr);
  EXPECT_EQ(texts(), (std::vector<std::string>{"Sel.Text = \"<^t>\r\"", "Sel.Text = \"<a\\>\r\""}));
}

TEST_F(FindReplace, CapitalOfTheFoundTextCarriesOverUnlessCaseMatters) {
  auto word = openWord();
  TUserParameters params;
  params.SetBoolParameter("LeaveCapitalAsIs", true);
  word->Parameters = &params;
  const std::vector<Hit> hits{{1, 5, u"Word"}, {10, 14, u"word"}, {20, 24, u"1word"}};

  scriptHits(hits);
  word->ReplaceInSelection(u"word", u"term", 0, nullptr, nullptr);
  EXPECT_EQ(texts(), (std::vector<std::string>{"Sel.Text = \"Term\"", "Sel.Text = \"term\"", "Sel.Text = \"term\""}));

  for (int pass = 0; pass < 3; ++pass) {
    fake.clearLog();
    scriptHits(hits);
    TFormating row;
    row.MatchCase = 1;
    if (pass == 0) word->ReplaceInSelection(u"word", u"term", scwCaseSensitive, nullptr, nullptr);
    if (pass == 1) word->ReplaceInSelection(u"word", u"term", 0, &row, nullptr);
    if (pass == 2) {
      params.SetBoolParameter("LeaveCapitalAsIs", false);
      word->ReplaceInSelection(u"word", u"term", 0, nullptr, nullptr);
    }
    EXPECT_EQ(texts(), std::vector<std::string>(3, "Sel.Text = \"term\"")) << "pass " << pass;
  }

  TUserParameters empty;  // the parameter is not registered: the row fails
  word->Parameters = &empty;
  scriptHits(hits);
  EXPECT_THROW(word->ReplaceInSelection(u"word", u"term", 0, nullptr, nullptr), std::runtime_error);
}

TEST_F(FindReplace, AFailingSearchLeavesTheRowWithItsStageAndTheHighlightDefaultCleared) {
  auto word = openWord();
  word->SetFormattingSet = fmtHighlight;
  scriptHits({}, 0);
  word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr);
  EXPECT_EQ(word->Stage(), 800);
  EXPECT_EQ(calls("Options.DefaultHighlightColorIndex = "),
            (std::vector<std::string>{"Options.DefaultHighlightColorIndex = 0", "Options.DefaultHighlightColorIndex = 7"}));

  fake.clearLog();
  fake.fails("Sel.Find.Execute", "Word stopped");
  EXPECT_THROW(word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr), AutomationError);
  EXPECT_EQ(word->Stage(), 304);
  EXPECT_EQ(calls("Options.DefaultHighlightColorIndex = "),
            std::vector<std::string>{"Options.DefaultHighlightColorIndex = 0"});
  EXPECT_EQ(fake.property("Options.DefaultHighlightColorIndex").toInt(), 0);
}

TEST_F(FindReplace, AnEmptyReplacementDeletesOrIsIgnoredEntirely) {
  auto word = openWord();
  fake.setProperty("Document.HyperLinks.count", 1);
  scriptHits({}, 0);
  word->ReplaceRow(u"x", u"", scwSecondCellEmptyIgnore, nullptr, nullptr);
  EXPECT_TRUE(fake.log().empty());

  scriptHits({{1, 2, u"x"}}, 0);
  word->ReplaceRow(u"x", u"", 0, nullptr, nullptr);
  EXPECT_EQ(texts(), std::vector<std::string>{"Sel.Text = \"\""});
  EXPECT_EQ(count("Document.HyperLinks.count"), 1u);
}

TEST_F(FindReplace, OldOrUnknownWordGetsThePlainRow) {
  for (const std::string version : {"", "Word.Application.8"}) {
    auto word = openWord(version);
    word->SearchFormattingSet = fmtBold;
    word->SetFormattingSet = fmtHighlight | fmtBold;
    fake.setProperty("Document.HyperLinks.count", 1);
    fake.setProperty("Document.Shapes.count", 1);
    TFormating findRecord;
    findRecord.MatchCase = 1;
    TFormating replacementRecord;
    scriptHits({{1, 2, u"x"}}, 0);
    word->ReplaceRow(u"x", u"y", 0, &findRecord, &replacementRecord);
    // Main text twice, then the primary header and footer.
    EXPECT_EQ(calls("Sel.Find.Execute"),
              std::vector<std::string>(4, "Sel.Find.Execute(\"x\", False, False, False, False, False, True, 1, True, "
                                          "\"\", 0)"))
        << version;
    EXPECT_EQ(calls("Options.DefaultHighlightColorIndex = "),
              std::vector<std::string>{"Options.DefaultHighlightColorIndex = 0"});
    EXPECT_EQ(count("Sel.Find.Font"), 0u);
    EXPECT_EQ(count("Sel.Font"), 0u);
    EXPECT_EQ(count("Sel.Range"), 0u);
    EXPECT_EQ(count("Document.HyperLinks"), 0u);
    EXPECT_EQ(count("Document.Shapes"), 0u);
    EXPECT_EQ(count("Document.BuiltinDocumentProperties"), 0u);
    EXPECT_EQ(count("Document.FootNotes.Count"), 1u);
    EXPECT_EQ(word->ReplacementCount(), 1);
    EXPECT_EQ(word->WordVersion(), version.empty() ? 0 : 8) << "an unknown version is asked for again next row";
    word.reset();
    fake.clearLog();
  }
}

TEST_F(FindReplace, HeadersAndFootersAreVisitedSectionBySection) {
  auto word = openWord();
  fake.setProperty("Document.Sections.Count", 2);
  fake.setProperty("Document.Windows.Item(1).View.SplitSpecial", 7);
  fake.setProperty("Document.Windows.Item(1).View.Type", 1);
  plainSection(1);
  plainSection(2, true, false);
  scriptHits({{1, 2, u"x"}}, 1);
  EXPECT_EQ(word->ReplaceInHeadersFooters(u"x", u"y", 0, nullptr, nullptr), 1);
  EXPECT_GE(indexOf("Document.Windows.Item(1).Panes.Item(2).Close()"), 0);
  EXPECT_GE(indexOf("Document.Windows.Item(1).ActivePane.View.Type = 5"), 0);
  std::vector<std::string> walk;
  for (const auto& l : fake.log())
    if (l.rfind("Document.Application.Selection.GoTo", 0) == 0 || l.rfind(kSeekView, 0) == 0) walk.push_back(l);
  const std::string seek = std::string(kSeekView) + " = ";
  // The second section's header is the first one's: only its own footer is searched there.
  EXPECT_EQ(walk, (std::vector<std::string>{"Document.Application.Selection.GoTo(0, 1, 1)", seek + "1", seek + "4",
                                            seek + "0", "Document.Application.Selection.GoTo(0, 1, 2)", seek + "4",
                                            seek + "0"}));
  EXPECT_EQ(count("Document.PageSetup"), 0u);
}

TEST_F(FindReplace, HeadersAndFootersFallBackToTheFixedViewsWhenTheWalkCannotRun) {
  const std::string seek = std::string(kSeekView) + " = ";
  auto word = openWord();
  fake.setProperty("Document.PageSetup.DifferentFirstPageHeaderFooter", -1);
  fake.setProperty("Document.PageSetup.OddAndEvenPagesHeaderFooter", 0);
  scriptHits({{1, 2, u"x"}}, 5);
  EXPECT_EQ(word->ReplaceInHeadersFooters(u"x", u"y", 0, nullptr, nullptr), 1);
  EXPECT_EQ(seekViews(), (std::vector<std::string>{seek + "2", seek + "5", seek + "1", seek + "4", seek + "0"}));

  fake.clearLog();
  fake.setProperty("Document.Sections.Count", 1);
  fake.fails("Document.Application.Selection.GoTo", "no such section");
  fake.setProperty("Document.PageSetup.DifferentFirstPageHeaderFooter", 0);
  fake.setProperty("Document.PageSetup.OddAndEvenPagesHeaderFooter", -1);
  fake.fails("Sel.Find.Execute", "even-page header is broken");  // one failing pass does not stop the next
  scriptHits({{1, 2, u"x"}}, 4);
  EXPECT_EQ(word->ReplaceInHeadersFooters(u"x", u"y", 0, nullptr, nullptr), 1);
  EXPECT_EQ(seekViews(), (std::vector<std::string>{seek + "3", seek + "1", seek + "4", seek + "0"}));
}

TEST_F(FindReplace, CancellingDuringHeadersStopsEverySectionAndFailsTheRowAfterThePass) {
  auto word = openWord();
  fake.setProperty("Document.Sections.Count", 3);
  fake.setProperty("Document.FootNotes.Count", 1);
  for (int i = 1; i <= 3; ++i) plainSection(i);
  fake.handles("Sel.Find.Execute", [this](const std::vector<Variant>&) {
    if (seekView() == 1) owner.terminate = true;
    return Variant(false);
  });
  try {
    word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr);
    FAIL() << "the row should have been cancelled";
  } catch (const CancellationError& e) {
    EXPECT_STREQ(e.what(), "");
  }
  const std::string seek = std::string(kSeekView) + " = ";
  EXPECT_EQ(count("Document.Application.Selection.GoTo"), 3u);
  EXPECT_EQ(seekViews(), (std::vector<std::string>{seek + "1", seek + "4", seek + "1", seek + "1"}));
  EXPECT_EQ(count("Sel.Find.Execute"), 2u);  // main text, then the first header
  EXPECT_EQ(count("Document.FootNotes"), 0u);
  EXPECT_EQ(word->ReplacementCount(), 0);
}

TEST_F(FindReplace, NotesAreReachedThroughTheSeekViewOrTheSplitPane) {
  const std::string seek = std::string(kSeekView) + " = ";
  auto word = openWord();
  fake.setProperty("Document.FootNotes.Count", 2);
  fake.setProperty("Document.EndNotes.Count", 1);
  scriptHits({{1, 2, u"x"}}, 8);
  EXPECT_EQ(word->ReplaceInNotes(u"x", u"y", 0, nullptr, nullptr), 1);
  EXPECT_EQ(seekViews(), (std::vector<std::string>{seek + "7", seek + "8", seek + "0"}));

  fake.clearLog();
  fake.setProperty("Document.Windows.Item(1).ActivePane.View.Type", 1);
  fake.setProperty("Document.EndNotes.Count", 0);
  word->ReplaceInNotes(u"x", u"y", 0, nullptr, nullptr);
  EXPECT_EQ(calls("Document.Windows.Item(1).ActivePane.View.SplitSpecial = "),
            std::vector<std::string>{"Document.Windows.Item(1).ActivePane.View.SplitSpecial = 7"});
  EXPECT_EQ(count("Document.Windows.Item(1).ActivePane.View.Type"), 3u);
  EXPECT_EQ(seekViews(), std::vector<std::string>{seek + "0"});
}

TEST_F(FindReplace, HyperlinkAddressesTakeTheirAnchorAndAreMatchedLoosely) {
  auto word = openWord();
  fake.setProperty("Document.HyperLinks.count", 3);
  fake.setProperty("Document.HyperLinks.Item(1).Address", u"PAGE.htm");
  fake.setProperty("Document.HyperLinks.Item(1).SubAddress", u"top");
  fake.failsAlways("Document.HyperLinks.Item(2).Address", "broken link");
  fake.setProperty("Document.HyperLinks.Item(3).Address", u"Pages.htm");
  fake.setProperty("Document.HyperLinks.Item(3).SubAddress", u"");
  scriptHits({});
  word->ReplaceRow(u"page", u"doc", scwCaseSensitive | scwWholeWord, nullptr, nullptr);
  EXPECT_EQ(calls("Document.HyperLinks.Item(1)."),
            (std::vector<std::string>{"Document.HyperLinks.Item(1).Address", "Document.HyperLinks.Item(1).SubAddress",
                                      "Document.HyperLinks.Item(1).Address = \"doc.htm#top\"",
                                      "Document.HyperLinks.Item(1).SubAddress = \"\""}));
  EXPECT_EQ(fake.property("Document.HyperLinks.Item(3).Address").toString(), u"docs.htm");
  EXPECT_EQ(word->ReplacementCount(), 2);
}

TEST_F(FindReplace, PropertiesAreMatchedWithTheRowsCaseAndWholeWordBits) {
  auto word = openWord();
  fake.setProperty(property("title"), u"an apple");
  fake.setProperty(property("subject"), u"banana");
  fake.setProperty(property("company"), u"AN Inc");
  scriptHits({});
  word->ReplaceRow(u"an", u"one", scwWholeWord, nullptr, nullptr);
  std::vector<std::string> written;
  for (const auto& l : calls("Document.BuiltinDocumentProperties"))
    if (l.find(" = ") != std::string::npos) written.push_back(l);
  EXPECT_EQ(written, (std::vector<std::string>{property("title") + " = \"one apple\"", property("keywords") + " = \"\"",
                                               property("subject") + " = \"banana\"", property("author") + " = \"\"",
                                               property("manager") + " = \"\"",
                                               property("company") + " = \"one Inc\""}));
  EXPECT_EQ(word->ReplacementCount(), 2);
}

TEST_F(FindReplace, ShapesAreSearchedOnlyInsideTheSelectedShape) {
  auto word = openWord();
  fake.setProperty("Document.Shapes.count", 3);
  fake.handles("Document.Shapes.Item(1).Select", [this](const std::vector<Variant>&) {
    fake.setProperty("Sel.Start", 50);
    fake.setProperty("Sel.End", 60);
    return Variant();
  });
  fake.fails("Document.Shapes.Item(2).Select", "not a text shape");
  fake.handles("Document.Shapes.Item(3).Select", [this](const std::vector<Variant>&) {
    fake.setProperty("Sel.Start", 45);
    fake.setProperty("Sel.End", 48);
    return Variant();
  });
  scriptHits({{52, 55, u"abc"}, {70, 73, u"abc"}, {40, 43, u"abc"}});
  EXPECT_EQ(word->ReplaceInShapes(u"abc", u"abcd", 0, nullptr, nullptr), 1);
  EXPECT_EQ(texts().size(), 1u);
  EXPECT_EQ(count("Sel.Find.Execute"), 3u);
  EXPECT_FALSE(word->RestrictToSelection());
}

TEST_F(FindReplace, AShapeKeepsItsLimitWhenTextIsOnlyFormatted) {
  auto word = openWord();
  word->Mode = TWordObject::kModeSetFormattingOnly;
  fake.setProperty("Document.Shapes.count", 1);
  fake.handles("Document.Shapes.Item(1).Select", [this](const std::vector<Variant>&) {
    fake.setProperty("Sel.Start", 0);
    fake.setProperty("Sel.End", 17);
    return Variant();
  });
  scriptHits({{0, 5, u"hello"}, {6, 11, u"hello"}, {12, 17, u"hello"}});
  EXPECT_EQ(word->ReplaceInShapes(u"hello", u"hi", 0, nullptr, nullptr), 3);
}

TEST_F(FindReplace, AFailedShapeCountDoesNotLeaveTheNextRowsConfined) {
  auto word = openWord();
  fake.fails("Document.Shapes.count", "no drawing layer");
  scriptHits({}, 0);
  EXPECT_THROW(word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr), AutomationError);
  EXPECT_FALSE(word->RestrictToSelection());
}

TEST_F(FindReplace, SetFormattingOnlyKeepsTheTextButCountsAndSkipsProperties) {
  auto word = openWord();
  word->Mode = TWordObject::kModeSetFormattingOnly;
  word->SetFormattingSet = fmtBold;
  fake.setProperty("Document.HyperLinks.count", 1);
  fake.setProperty("Document.HyperLinks.Item(1).Address", u"x.htm");
  fake.setProperty("Document.HyperLinks.Item(1).SubAddress", u"");
  TFormating bold;
  bold.Bold = -1;
  scriptHits({{1, 2, u"x"}, {4, 5, u"X"}}, 0);
  word->ReplaceRow(u"x", u"^&^p", 0, nullptr, &bold);
  EXPECT_TRUE(texts().empty());
  EXPECT_EQ(calls("Sel.Font.Bold"), std::vector<std::string>(2, "Sel.Font.Bold = -1"));
  EXPECT_EQ(fake.property("Document.HyperLinks.Item(1).Address").toString(), u"^&^p.htm");
  EXPECT_EQ(count("Document.BuiltinDocumentProperties"), 0u);
  EXPECT_EQ(word->ReplacementCount(), 3);
}

TEST_F(FindReplace, APropertyGetsTheFoundTextAndCaretCodesNotTheirLiteralText) {
  auto word = openWord();
  fake.setProperty(property("title"), u"x title");
  scriptHits({});
  word->ReplaceRow(u"x", u"[^&]^t", scwWholeWord, nullptr, nullptr);
  EXPECT_EQ(fake.property(property("title")).toString(), u"[x]\t title");
  EXPECT_EQ(word->ReplacementCount(), 1);  // the found-text substitution counts nothing
}

TEST_F(FindReplace, ARowAsksForTheWindowOnceADocumentForItsPropertiesOnceAndAnotherDocumentForItsOwn) {
  auto word = openWord();
  fake.setProperty("Document.Sections.Count", 1);
  plainSection(1);
  scriptHits({});
  auto asked = [this](const std::string& line) { return std::count(fake.log().begin(), fake.log().end(), line); };
  word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr);
  EXPECT_EQ(asked("Document.Windows"), 1);
  word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr);
  EXPECT_EQ(asked("Document.Windows"), 2);
  EXPECT_GE(count("Document.Windows.Item(1).ActivePane.View.SeekView = "), 6u);  // through the one window
  // The properties each row rewrites are asked for by name once a document.
  EXPECT_EQ(asked("Document.BuiltinDocumentProperties(\"title\")"), 1);
  EXPECT_EQ(count("Document.BuiltinDocumentProperties(\"title\").Value = "), 2u);

  // The next document's rows go to its own window, never to the closed one's.
  word->CloseDocument();
  openDocument(*word, "Other", u"c:\\docs\\b.docx");
  word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr);
  EXPECT_EQ(asked("Other.Windows"), 1);
  EXPECT_EQ(asked("Other.BuiltinDocumentProperties(\"company\")"), 1);
  EXPECT_EQ(count("Document."), 0u);
}

TEST_F(FindReplace, ARowAsksForThePaneViewOnceUntilASplitOpensOrCloses) {
  auto word = openWord();
  fake.setProperty("Document.Sections.Count", 1);
  fake.setProperty("Document.FootNotes.Count", 1);
  plainSection(1);
  scriptHits({});
  const std::string pane = "Document.Windows.Item(1).ActivePane";
  auto asked = [this](const std::string& line) { return std::count(fake.log().begin(), fake.log().end(), line); };
  word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr);
  EXPECT_EQ(asked(pane), 1);
  EXPECT_GE(count(pane + ".View.SeekView = "), 4u);  // header, footer, notes, back to the main text

  // A split closed before the headers, and a notes pane opened in normal view: the pane asked
  // for after each is the one that is active then.
  fake.clearLog();
  fake.setProperty("Document.Windows.Item(1).View.SplitSpecial", 7);
  fake.setProperty(pane + ".View.Type", 1);
  word->ReplaceRow(u"x", u"y", 0, nullptr, nullptr);
  const auto& log = fake.log();
  auto firstAfter = [&](const std::string& line, const std::string& mark) {
    auto at = std::find(log.begin(), log.end(), mark);
    return at != log.end() && std::find(at, log.end(), line) != log.end();
  };
  EXPECT_TRUE(firstAfter(pane, "Document.Windows.Item(1).Panes.Item(2).Close()"));
  EXPECT_TRUE(firstAfter(pane, pane + ".View.SplitSpecial = 7"));
  EXPECT_EQ(asked(pane), 2);
}
