#include "WordFake.h"

using automation::AutomationError;
using automation::Variant;

using WordObject = WordFake;

TEST_F(WordObject, StartsWordWithAlertsOffAndToleratesAMissingWord) {
  {
    TWordObject absent(&owner);  // nothing registered yet
    EXPECT_FALSE(absent.WordRunning());
    EXPECT_TRUE(fake.log().empty());
  }
  installWord();
  TWordObject word(&owner);
  EXPECT_TRUE(word.WordRunning());
  EXPECT_EQ(fake.log(), std::vector<std::string>{"DisplayAlerts = 0"});
  EXPECT_EQ(word.Mode, 1);
  EXPECT_EQ(word.SetFormattingSet, 0);
  EXPECT_EQ(word.SearchFormattingSet, 0);
  EXPECT_EQ(word.Stage(), 0);
  EXPECT_FALSE(word.HasDocument());
}

TEST_F(WordObject, OpenPassesTenArgumentsAndSilencesProofing) {
  installWord();
  TWordObject word(&owner);
  fake.returns("Documents.Open", {Variant(fake.object("Document"))});
  word.ReplaceAllInText(u"aa", u"a", u"b", 0);
  ASSERT_EQ(word.ReplacementCount(), 2);
  fake.clearLog();
  word.OpenDocument(u"c:\\docs\\\"a\".docx");
  EXPECT_EQ(word.ReplacementCount(), 0);
  EXPECT_EQ(fake.log(), (std::vector<std::string>{
                            "DisplayAlerts = 0",
                            "Documents",
                            "Documents.Open(\"c:\\docs\\\"\"a\"\".docx\", False, False, False, \"\", \"\", False, \"\", "
                            "\"\", 0)",
                            "Document.ShowGrammaticalErrors = False",
                            "Document.ShowSpellingErrors = False",
                        }));
  EXPECT_TRUE(word.HasDocument());
}

TEST_F(WordObject, ProofingErrorsAreSwallowedButOpenErrorsReachTheCaller) {
  installWord();
  TWordObject word(&owner);
  fake.returns("Documents.Open", {Variant(fake.object("Document"))});
  fake.fails("Document.ShowGrammaticalErrors", "no proofing");
  EXPECT_NO_THROW(word.OpenDocument(u"a.docx"));
  EXPECT_TRUE(word.HasDocument());
  word.CloseDocument();

  fake.fails("Documents.Open", "The file is corrupt");
  EXPECT_THROW(word.OpenDocument(u"b.docx"), AutomationError);
  EXPECT_FALSE(word.HasDocument());
  EXPECT_TRUE(word.IsProtected()) << "a document that did not open counts as protected";
}

TEST_F(WordObject, ProtectionIsAnythingButMinusOne) {
  installWord();
  TWordObject word(&owner);
  EXPECT_TRUE(word.IsProtected()) << "before any document";
  fake.returns("Documents.Open", {Variant(fake.object("Document"))});
  word.OpenDocument(u"a.docx");
  fake.returns("Document.ProtectionType", {-1, 0, 3});
  EXPECT_FALSE(word.IsProtected());
  EXPECT_TRUE(word.IsProtected());
  EXPECT_TRUE(word.IsProtected());
}

TEST_F(WordObject, SavesInPlaceOrUnderAPathAndClosesOnce) {
  installWord();
  TWordObject word(&owner);
  fake.returns("Documents.Open", {Variant(fake.object("Document"))});
  word.OpenDocument(u"a.docx");
  fake.clearLog();
  word.SaveDocument(u"");
  word.SaveDocument(u"c:\\out\\b.docx");
  word.CloseDocument();
  word.CloseDocument();
  EXPECT_EQ(fake.log(), (std::vector<std::string>{"Document.Save()", "Document.SaveAs(\"c:\\out\\b.docx\")",
                                                  "Document.Close(0, Empty, Empty)"}));
}

TEST_F(WordObject, DestroyQuitsOnlyAWordThatHoldsNoOtherDocument) {
  installWord();
  fake.returns("Documents.Open", {Variant(fake.object("Document"))});
  {
    TWordObject word(&owner);
    word.OpenDocument(u"a.docx");
    fake.setProperty("Documents.Count", 1);  // somebody else's document
    fake.clearLog();
  }
  EXPECT_EQ(fake.log(), (std::vector<std::string>{"Document.Close(0, Empty, Empty)", "Documents", "Documents.Count"}));

  fake.setProperty("Documents.Count", 0);
  fake.failsAlways("Quit", "Word is busy");
  {
    TWordObject word(&owner);
    word.OpenDocument(u"a.docx");
    fake.clearLog();
  }  // the failing Quit is swallowed
  EXPECT_EQ(fake.calls("Quit"), std::vector<std::string>{"Quit(0, Empty, Empty)"});
}

TEST_F(WordObject, ReleaseWithoutQuitOnlyDropsTheReferences) {
  installWord();
  TWordObject word(&owner);
  fake.returns("Documents.Open", {Variant(fake.object("Document"))});
  word.OpenDocument(u"a.docx");
  fake.clearLog();
  word.ReleaseApplication(false);
  EXPECT_TRUE(fake.log().empty());
  EXPECT_FALSE(word.HasDocument());
  EXPECT_THROW(word.DocumentCount(), AutomationError);
  word.StartApplication();
  fake.setProperty("Documents.Count", 2);
  EXPECT_EQ(word.DocumentCount(), 2);
}

TEST_F(WordObject, ADocumentThatWillNotCloseDoesNotThrowFromTheDestructor) {
  installWord();
  fake.returns("Documents.Open", {Variant(fake.object("Document"))});
  fake.failsAlways("Document.Close", "busy");
  auto word = std::make_unique<TWordObject>(&owner);
  word->OpenDocument(u"a.docx");
  EXPECT_THROW(word->CloseDocument(), AutomationError);
  EXPECT_TRUE(word->HasDocument());
  EXPECT_NO_THROW(word.reset());
}

TEST_F(WordObject, VersionIsTheDigitsOfTheVersionedProgId) {
  struct Case {
    std::string versioned;
    int32_t version;
  } cases[] = {{"Word.Application.16", 16}, {"Word.Application.8", 8}, {"Word.Application", 0},
               {"Word.Application.99999999999", 0}, {"", 0}};
  for (const auto& c : cases) {
    automation::InProcessFactory own;
    auto root = fake.root();
    own.registerClass(c.versioned.empty() ? "{1}" : kWordClassId, "Word.Application", c.versioned,
                      [root] { return root; });
    automation::ScopedAutomationFactory use(own);
    TWordObject word(nullptr);
    EXPECT_EQ(word.DetectWordVersion(), c.version) << c.versioned;
  }
}

TEST_F(WordObject, CancelledOnlyWhenAnOwnerAsksForIt) {
  installWord();
  TWordObject orphan(nullptr);
  TWordObject owned(&owner);
  EXPECT_FALSE(orphan.IsCancelled());
  EXPECT_FALSE(owned.IsCancelled());
  owner.terminate = true;
  EXPECT_TRUE(owned.IsCancelled());
  EXPECT_FALSE(orphan.IsCancelled());
}
