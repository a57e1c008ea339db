#pragma once
// A Word made of the recording fake: the application is the fake's root, the open document logs
// as "Document" and its window's selection as "Sel". Hits of Sel.Find.Execute are scripted as
// (start, end, text) triples.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "automation/AutomationFactory.h"
#include "automation/FakeAutomation.h"
#include "engine/TWordObject.h"
#include "settings/TUserParameters.h"
#include "tables/TFormating.h"

struct TestOwner : IReplaceOwner {
  std::atomic<bool> terminate{false};
  bool TerminateRequested() const override { return terminate.load(std::memory_order_acquire); }
};

struct Hit {
  int32_t start, end;
  WideString text;
};

class WordFake : public ::testing::Test {
 protected:
  static constexpr const char* kWordClassId = "{000209FF-0000-0000-C000-000000000046}";
  static constexpr const char* kSeekView = "Document.Windows.Item(1).ActivePane.View.SeekView";

  automation::FakeAutomation fake;
  automation::InProcessFactory factory;
  automation::ScopedAutomationFactory scope{factory};
  TestOwner owner;

  // Registers Word with the given versioned ProgID; an empty one registers it under another class
  // id, so that the version lookup fails.
  void installWord(const std::string& versioned = "Word.Application.16") {
    auto root = fake.root();
    factory.registerClass(versioned.empty() ? "{00000000-0000-0000-0000-000000000001}" : kWordClassId,
                          "Word.Application", versioned, [root] { return root; });
  }

  // Word started, a document open, every collection empty, the log cleared.
  std::unique_ptr<TWordObject> openWord(const std::string& versioned = "Word.Application.16") {
    installWord(versioned);
    auto word = std::make_unique<TWordObject>(&owner);
    fake.setProperty("Options.DefaultHighlightColorIndex", 7);
    openDocument(*word, "Document", u"c:\\docs\\a.docx");
    return word;
  }

  // Opens the next document, which logs as `object`: every collection empty, the log cleared.
  void openDocument(TWordObject& word, const std::string& object, const WideString& path) {
    fake.returns("Documents.Open", {automation::Variant(fake.object(object))});
    fake.returns(object + ".Windows.Item(1).Selection", {automation::Variant(fake.object("Sel"))});
    for (const char* count : {".Sections.Count", ".FootNotes.Count", ".EndNotes.Count", ".HyperLinks.count", ".Shapes.count"})
      fake.setProperty(object + count, 0);
    fake.setProperty(object + ".Windows.Item(1).View.SplitSpecial", 0);
    fake.setProperty(object + ".Windows.Item(1).View.Type", 3);
    fake.setProperty(object + ".Windows.Item(1).ActivePane.View.Type", 3);
    for (const char* name : {"title", "keywords", "subject", "author", "manager", "company"})
      fake.setProperty(object + ".BuiltinDocumentProperties(\"" + name + "\").Value", u"");
    word.OpenDocument(path);
    fake.clearLog();
  }

  static std::string property(const std::string& name) {
    return "Document.BuiltinDocumentProperties(\"" + name + "\").Value";
  }

  // Each Execute reports the next hit (selecting it), then "not found" once the list is used up.
  // onlyInView: hits are reported only while SeekView has that value (-1: anywhere).
  void scriptHits(std::vector<Hit> hits, int32_t onlyInView = -1) {
    auto next = std::make_shared<size_t>(0);
    fake.handles("Sel.Find.Execute", [this, hits, next, onlyInView](const std::vector<automation::Variant>&) {
      if (onlyInView >= 0 && seekView() != onlyInView) return automation::Variant(false);
      if (*next >= hits.size()) return automation::Variant(false);
      const Hit& h = hits[(*next)++];
      fake.setProperty("Sel.Start", h.start);
      fake.setProperty("Sel.End", h.end);
      fake.setProperty("Sel.Text", h.text);
      return automation::Variant(true);
    });
  }

  int32_t seekView() const {
    automation::Variant v = fake.property(kSeekView);
    return v.isEmpty() ? 0 : v.toInt();
  }

  std::vector<std::string> calls(const std::string& prefix) const { return fake.calls(prefix); }
  size_t count(const std::string& prefix) const { return fake.calls(prefix).size(); }
  // Position of the first log line equal to line, or -1.
  long indexOf(const std::string& line) const {
    const auto& log = fake.log();
    for (size_t i = 0; i < log.size(); ++i)
      if (log[i] == line) return static_cast<long>(i);
    return -1;
  }
};
