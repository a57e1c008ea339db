#include "WordFake.h"

using automation::AutomationError;
using automation::Variant;

class HyperlinksIntact : public WordFake {
 protected:
  std::unique_ptr<TWordObject> word;

  void SetUp() override { word = openWord(); }

  static std::string key(int i, const char* member) {
    return "Document.HyperLinks.Item(" + std::to_string(i) + ")." + member;
  }
  void link(int i, const WideString& address, const WideString& subAddress) {
    fake.setProperty(key(i, "Address"), address);
    fake.setProperty(key(i, "SubAddress"), subAddress);
  }
  std::vector<std::string> writes() const {
    std::vector<std::string> out;
    for (const auto& l : calls("Document.HyperLinks.Item("))
      if (l.find(" = ") != std::string::npos) out.push_back(l);
    return out;
  }
};

TEST_F(HyperlinksIntact, ALinkToABookmarkIsLeftAsItIs) {
  fake.setProperty("Document.HyperLinks.count", 2);
  link(1, u"", u"_Toc1234");  // a table of contents entry
  link(2, u"toc.htm", u"");
  word->ReplaceInHyperlinks(u"toc", u"index");
  EXPECT_EQ(calls(key(1, "")), std::vector<std::string>{key(1, "Address")});
  EXPECT_EQ(writes(), std::vector<std::string>{key(2, "Address") + " = \"index.htm\""});
  EXPECT_EQ(word->ReplacementCount(), 1);
}

TEST_F(HyperlinksIntact, ALinkWithoutAMatchKeepsItsAddressAndAnchor) {
  fake.setProperty("Document.HyperLinks.count", 2);
  link(1, u"a.htm", u"top");
  link(2, u"b.htm", u"");
  word->ReplaceInHyperlinks(u"x", u"y");
  EXPECT_TRUE(writes().empty());
  EXPECT_EQ(fake.property(key(1, "SubAddress")).toString(), u"top");

  word->ReplaceInHyperlinks(u"a.htm", u"a.htm");  // matched, but the same text: nothing to write
  EXPECT_TRUE(writes().empty());
}

TEST_F(HyperlinksIntact, AnAnchorIsClearedOnlyOnceTheAddressHoldsIt) {
  fake.setProperty("Document.HyperLinks.count", 2);
  link(1, u"a.htm", u"top");
  fake.handles(key(1, "Address"), [](const std::vector<Variant>& args) {
    if (!args.empty()) throw AutomationError("the address is locked");
    return Variant(u"a.htm");
  });
  link(2, u"a.htm", u"top");
  word->ReplaceInHyperlinks(u"A.HTM", u"b.htm");
  EXPECT_EQ(writes(), (std::vector<std::string>{key(1, "Address") + " = \"b.htm#top\"",
                                                key(2, "Address") + " = \"b.htm#top\"",
                                                key(2, "SubAddress") + " = \"\""}));
  EXPECT_EQ(fake.property(key(1, "SubAddress")).toString(), u"top");
}
