#include <gtest/gtest.h>

#include "automation/FakeAutomation.h"
#include "automation/Ole.h"

using namespace automation;

TEST(FakeAutomation, LogsEveryCallWithItsArgumentsRendered) {
  FakeAutomation fake;
  Ole word(fake.root());
  Ole sel = word.get("Selection");
  sel.get("Find").call("Execute", u"x", false, false, false, false, false, true, 1, false, u"", 0);
  sel.put("Text", u"y");
  word.call("Quit", 0, Variant(), Variant());
  EXPECT_EQ(fake.log(), (std::vector<std::string>{
                            "Selection",
                            "Selection.Find",
                            "Selection.Find.Execute(\"x\", False, False, False, False, False, True, 1, False, \"\", 0)",
                            "Selection.Text = \"y\"",
                            "Quit(0, Empty, Empty)",
                        }));
}

TEST(FakeAutomation, ScriptedAnswersComeInTurnAndTheLastRepeats) {
  FakeAutomation fake;
  fake.returns("Selection.Find.Execute", {true, true, false});
  Ole find = Ole(fake.root()).get("Selection").get("Find");
  EXPECT_TRUE(find.call("Execute").toBool());
  EXPECT_TRUE(find.call("Execute").toBool());
  EXPECT_FALSE(find.call("Execute").toBool());
  EXPECT_FALSE(find.call("Execute").toBool());
}

TEST(FakeAutomation, ScriptedFailureRaisesOnceOrAlways) {
  FakeAutomation fake;
  Ole word(fake.root());
  fake.fails("Documents.Open", "cannot open");
  try {
    word.get("Documents").call("Open", u"a.docx");
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_STREQ(e.what(), "cannot open");
  }
  EXPECT_NO_THROW(word.get("Documents").call("Open", u"a.docx"));
  fake.failsAlways("Quit", "gone");
  EXPECT_THROW(word.call("Quit"), AutomationError);
  EXPECT_THROW(word.call("Quit"), AutomationError);
}

TEST(FakeAutomation, PutThenGetReturnsTheValueAndNamedObjectsLogByName) {
  FakeAutomation fake;
  Ole word(fake.root());
  word.get("ActiveWindow").get("View").put("Type", 3);
  EXPECT_EQ(word.get("ActiveWindow").get("View").get("Type").toInt(), 3);
  fake.returns("Documents.Open", {Variant(fake.object("Document"))});
  Ole doc = word.get("Documents").call("Open", u"a");
  doc.call("Close", 0, Variant(), Variant());
  EXPECT_EQ(fake.calls("Document."), std::vector<std::string>{"Document.Close(0, Empty, Empty)"});
}

TEST(FakeAutomation, HandlersComputeAnswersAndIndexedChildrenKeepTheirArguments) {
  FakeAutomation fake;
  int calls = 0;
  fake.handles("Documents.Count", [&](const std::vector<Variant>&) { return Variant(++calls); });
  Ole word(fake.root());
  EXPECT_EQ(word.get("Documents").get("Count").toInt(), 1);
  EXPECT_EQ(word.get("Documents").get("Count").toInt(), 2);
  word.get("HyperLinks").call("Item", 2).put("Address", u"a.htm");
  EXPECT_EQ(fake.log().back(), "HyperLinks.Item(2).Address = \"a.htm\"");
}

TEST(Ole, CallingAMemberOnANonObjectRaises) {
  Ole empty;
  EXPECT_FALSE(empty.isObject());
  EXPECT_THROW(empty.get("Count"), AutomationError);
  EXPECT_THROW(Ole(Variant(1)).call("Item", 1), AutomationError);
}
